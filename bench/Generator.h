#pragma once

#include "store/BookmarkDocument.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Deterministic large collections for the benchmarks: the same shape and seed give the same
// document, gids included.
namespace quillary::bench {

struct CollectionShape {
  std::size_t bookmarks = 100000;
  std::size_t folders = 5000;
  std::size_t fanOut = 8;     // subfolders per folder, level by level
  std::size_t maxDepth = 6;   // levels below the root
  double nonAsciiShare = 0.1; // share of names with non-ASCII letters
  std::uint32_t seed = 1;
  // Bookmark k (for k from firstBookmark on) gets the k-th address. Those with k in
  // [flatFrom, flatFrom + flatFolder) go into one extra folder "Flat" below the root, the others
  // into folder k modulo the folder count. Two collections with overlapping ranges thus share
  // the bookmarks of the overlap, each in the same folder.
  std::size_t firstBookmark = 0;
  std::size_t flatFolder = 0;
  std::size_t flatFrom = 0;
};

std::unique_ptr<BookmarkDocument> GenerateCollection(const CollectionShape& shape);

// Counts the url elements (any letter case) below the root.
std::size_t CountBookmarks(const BookmarkDocument& document);

} // namespace quillary::bench
