#include "exchange/db/untFirefox3.h"

#include "platform/Error.h"

namespace quillary {

// Placeholder until this exchanger is built.
std::unique_ptr<BookmarkDocument> TFirefox3Ojb::ImportBookmarks() {
  throw Error("Firefox places database bookmarks cannot be imported yet.");
}

void TFirefox3Ojb::ExportBookmarks(BookmarkDocument&) {
  throw Error("Firefox places database bookmarks cannot be exported yet.");
}

} // namespace quillary
