#pragma once

#include "store/BookmarkDocument.h"

#include <cstddef>
#include <vector>

namespace quillary {

// Visits start and every folder and bookmark below it, depth first in document order, as
// visit(node, depth) with depth 0 for start. Folders are descended; other nodes are skipped
// with everything in them. No recursion, so no nesting depth can exhaust the stack.
template <class Visit> void WalkFoldersAndBookmarks(Node start, Visit&& visit) {
  std::vector<Node> cursors{start};
  while (!cursors.empty()) {
    Node node = cursors.back();
    if (!node) {
      cursors.pop_back();
      continue;
    }
    cursors.back() = node == start ? Node() : node.next_sibling();
    const std::size_t depth = cursors.size() - 1;
    switch (KindOf(node)) {
    case ElementKind::Folder:
      visit(node, depth);
      cursors.push_back(node.first_child());
      break;
    case ElementKind::Bookmark:
      visit(node, depth);
      break;
    case ElementKind::Other:
      break;
    }
  }
}

} // namespace quillary
