#pragma once

#include "store/BookmarkDocument.h"

#include <memory>

namespace quillary {

// The tree merge: adds to a destination document every folder and bookmark of a source that the
// destination lacks, without removing, renaming or reordering anything. Folders are matched by
// name within their parent, bookmarks by address within their folder; only the exact lower-case
// element names count on the destination side. One object serves one run or one merge;
// nothing else may change the destination while it is in use, because it keeps an index of
// what each destination folder holds.
class TUtil {
public:
  TUtil();
  ~TUtil();
  TUtil(const TUtil&) = delete;
  TUtil& operator=(const TUtil&) = delete;

  // Merges the children of the source root into the destination root. Both documents must have
  // a root; the source is not changed.
  void MergeDocuments(BookmarkDocument& destination, const BookmarkDocument& source);

  // Merges a run of sibling source nodes, from first on, into the target folder.
  void MergeChildren(Node target, Node first);

  // The target's subfolder matching the source folder by name, created when there is none.
  Node FindOrAddFolder(Node target, Node sourceFolder);

  // Makes sure the target holds a bookmark with the source's address.
  void FindOrAddUrl(Node target, Node sourceBookmark);

private:
  struct FolderIndex;
  FolderIndex& IndexOf(Node target);

  struct Indexes;
  std::unique_ptr<Indexes> indexes_;
};

} // namespace quillary
