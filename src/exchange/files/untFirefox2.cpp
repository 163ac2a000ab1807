#include "exchange/files/untFirefox2.h"

#include "platform/Error.h"

namespace quillary {

// Placeholder until this exchanger is built.
std::unique_ptr<BookmarkDocument> TFirefox2Ojb::ImportBookmarks() {
  throw Error("Netscape bookmark-file bookmarks cannot be imported yet.");
}

void TFirefox2Ojb::ExportBookmarks(BookmarkDocument&) {
  throw Error("Netscape bookmark-file bookmarks cannot be exported yet.");
}

} // namespace quillary
