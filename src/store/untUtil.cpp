#include "store/untUtil.h"

#include "platform/Error.h"

namespace quillary {

void TUtil::MergeDocuments(BookmarkDocument&, const BookmarkDocument&) {
  throw Error("not yet");
}

} // namespace quillary
