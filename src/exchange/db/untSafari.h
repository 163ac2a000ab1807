#pragma once

#include "store/Exchanger.h"

#include <memory>

namespace quillary {

// Safari's bookmark file, an XML property list. Import reads its folders and bookmarks; export
// adds the collection's to the file, reusing a folder of the same title at its level and
// skipping a bookmark whose address that folder already holds.
class TSafariOjb final : public Exchanger {
public:
  TSafariOjb();
  ~TSafariOjb() override;

  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;

private:
  struct TargetIndex;
  struct TargetIndexes;

  void ReadPlistLevel(Node first, Node target, int depth);
  void WritePlistLevel(Node first, Node target, int depth);
  Node WritePlistFolder(Node folder, Node target);
  void WritePlistBookmark(Node bookmark, Node target);
  TargetIndex& IndexOf(Node target);

  // Export only: what each target array already holds, so that each lookup is one probe.
  std::unique_ptr<TargetIndexes> indexes_;
};

} // namespace quillary
