#pragma once

#include "store/BookmarkDocument.h"

namespace quillary {

// The tree merge: adds to a destination document every folder and bookmark of a source that the
// destination lacks, without removing, renaming or reordering anything. Folders are matched by
// name within their parent, bookmarks by address within their folder. One object per merge.
class TUtil {
public:
  // Both documents must have a root; the source is not changed.
  void MergeDocuments(BookmarkDocument& destination, const BookmarkDocument& source);
};

} // namespace quillary
