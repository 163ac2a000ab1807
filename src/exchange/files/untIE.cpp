#include "exchange/files/untIE.h"

#include "platform/Error.h"

namespace quillary {

// Placeholder until this exchanger is built.
std::unique_ptr<BookmarkDocument> TIEObj::ImportBookmarks() {
  throw Error("Internet Explorer Favorites bookmarks cannot be imported yet.");
}

void TIEObj::ExportBookmarks(BookmarkDocument&) {
  throw Error("Internet Explorer Favorites bookmarks cannot be exported yet.");
}

} // namespace quillary
