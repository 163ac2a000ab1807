#pragma once

#include "store/Exchanger.h"

#include <cstddef>
#include <memory>

namespace quillary {

// Safari's bookmark file, a property list in XML or binary form. Import reads its folders and
// bookmarks; export adds the collection's to the file, reusing a folder of the same title at its
// level and skipping a bookmark whose address that folder already holds, and writes the file back
// in the form it had.
class TSafariOjb final : public Exchanger {
public:
  TSafariOjb();
  ~TSafariOjb() override;

  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;

  // How many dictionary entries and list items the last operation looked at: every rule reads
  // each of them a bounded number of times, which the tests hold it to.
  std::size_t EntriesLookedAt() const { return entriesLookedAt_; }

private:
  struct TargetIndex;
  struct TargetIndexes;
  class Reader;

  std::size_t entriesLookedAt_ = 0;
};

} // namespace quillary
