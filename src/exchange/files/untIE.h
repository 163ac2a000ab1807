#pragma once

#include "store/Exchanger.h"

#include <string>
#include <string_view>

namespace quillary {

// Internet Explorer Favorites: a directory tree in which every sub-directory is a folder and
// every ".url" shortcut file (an INI file, the extension in any letter case) a bookmark.
class TIEObj final : public Exchanger {
public:
  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;

  // Appends the entries of the directory (sorted by name) to parent, sub-directories depth first.
  // Each directory is read once: a link to one already read, or to one outside path, gives an
  // empty folder.
  static void ReadFolder(const std::string& path, Node parent);

  // Writes node and each following sibling into the directory path; existing files stay.
  static void WriteFolder(const std::string& path, Node node);

  // The text without the characters a file name cannot hold: \ / * ? " < > |
  static std::string FileSafeName(std::string_view text);
};

} // namespace quillary
