#include "exchange/db/untSafari.h"

#include "platform/Error.h"

namespace quillary {

// Placeholder until this exchanger is built.
std::unique_ptr<BookmarkDocument> TSafariOjb::ImportBookmarks() {
  throw Error("Safari property-list bookmarks cannot be imported yet.");
}

void TSafariOjb::ExportBookmarks(BookmarkDocument&) {
  throw Error("Safari property-list bookmarks cannot be exported yet.");
}

} // namespace quillary
