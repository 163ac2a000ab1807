#include "exchange/files/untOpera.h"

#include "platform/Error.h"

namespace quillary {

// Placeholder until this exchanger is built.
std::unique_ptr<BookmarkDocument> TOperaOjb::ImportBookmarks() {
  throw Error("Opera hotlist bookmarks cannot be imported yet.");
}

void TOperaOjb::ExportBookmarks(BookmarkDocument&) {
  throw Error("Opera hotlist bookmarks cannot be exported yet.");
}

} // namespace quillary
