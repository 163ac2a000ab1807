#pragma once

#include "store/Exchanger.h"

#include <string>
#include <string_view>

namespace quillary {

// The Opera hotlist: a UTF-8 text file of "#FOLDER" and "#URL" blocks with TAB-indented field
// lines, a line "-" closing the innermost open folder.
class TOperaOjb final : public Exchanger {
public:
  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;

  // A new GUID in the NewGid form without its hyphens: 32 upper-case hexadecimal digits.
  static std::string NewUniqueId();

  // Reads the folders of the text, then the bookmarks left outside them, into parent. The text
  // has CR LF line ends and a single TAB before every field line (see NormaliseHotlist).
  static void ReadLevel(std::string_view text, Node parent);

  // Appends the hotlist blocks of node and of each following sibling.
  static void WriteEntries(Node node, std::string& out);
};

namespace opera {

// Hotlists as browsers and people write them, in the form the reader expects: every line end
// becomes CR LF, the blanks and tabs that start a field line become one TAB, and a line holding
// only blanks becomes empty.
std::string NormaliseHotlist(std::string_view bytes);

// The bookmark pass over text that holds no folder block.
void ReadBookmarks(std::string_view text, Node parent);

// The value of the first "NAME=" (or other key) among a block's own lines, up to the end of its
// line; npos in keyAt when the block holds none. The search starts at from.
std::string_view FieldValue(std::string_view block, std::string_view key, std::size_t from,
                            std::size_t& keyAt);

// The end of the lines that belong to the block starting at begin: its blank line, the first line
// of a next block, or the end of the text.
std::size_t BlockLinesEnd(std::string_view text, std::size_t begin);

} // namespace opera

} // namespace quillary
