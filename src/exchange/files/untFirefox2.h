#pragma once

#include "exchange/files/untHtmlpars2.h"
#include "store/Exchanger.h"

#include <cstddef>
#include <string>

namespace quillary {

// The bookmark file of Firefox 2, Netscape and SeaMonkey ("bookmarks.html"): read through the
// HTML tokenizer, written directly with a fixed header.
class TFirefox2Ojb final : public Exchanger {
public:
  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;

  // The walk over the tokenizer's items: "H3" opens a folder, "/DL" closes it, "A" is a
  // bookmark. Returns the index it stopped at.
  static std::size_t ReadItems(const THTMLParser& parser, std::size_t start, Node parent);

  // Appends the folders and bookmarks of the node and its following siblings.
  static void WriteSiblings(Node node, std::string& out);

  // The fixed start of every file written.
  static const std::string& Header();
};

} // namespace quillary
