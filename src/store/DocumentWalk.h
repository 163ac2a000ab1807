#pragma once

#include "base/NestingLimit.h"
#include "store/BookmarkDocument.h"

#include <concepts>
#include <cstddef>
#include <type_traits>
#include <vector>

// The one walk over a document's folders and bookmarks, depth first in document order. It keeps
// its open folders in a vector instead of on the call stack, so no nesting depth can exhaust the
// stack, and refuses an element more than kMaxFolderDepth levels below its document's root with
// NestedTooDeep, wherever the walk starts.
//
// A visitor has any of these members; a missing one is a visit that does nothing:
//   EnterFolder(Node folder, std::size_t depth)  returning WalkStep or nothing
//   LeaveFolder(Node folder, std::size_t depth)  after the folder's children
//   Bookmark(Node bookmark, std::size_t depth)   returning WalkStep or nothing
// depth is the number of open folders around the node, 0 for the first level of the walk.
// Elements that are neither folders nor bookmarks are passed over with everything in them.
namespace quillary {

enum class WalkStep {
  Continue,     // go on, into the folder's children
  SkipChildren, // go on, but not into this folder (its LeaveFolder still comes)
  Stop          // end the walk here; no LeaveFolder for the folders still open
};

namespace walk_detail {

template <class Result, class Call> WalkStep StepOf(Call&& call) {
  if constexpr (std::is_same_v<Result, WalkStep>) {
    return call();
  } else {
    call();
    return WalkStep::Continue;
  }
}

template <class Visitor> WalkStep Enter(Visitor& visitor, Node folder, std::size_t depth) {
  if constexpr (requires { visitor.EnterFolder(folder, depth); })
    return StepOf<decltype(visitor.EnterFolder(folder, depth))>(
        [&] { return visitor.EnterFolder(folder, depth); });
  else
    return WalkStep::Continue;
}

template <class Visitor> void Leave(Visitor& visitor, Node folder, std::size_t depth) {
  if constexpr (requires { visitor.LeaveFolder(folder, depth); })
    visitor.LeaveFolder(folder, depth);
}

template <class Visitor> WalkStep Visit(Visitor& visitor, Node bookmark, std::size_t depth) {
  if constexpr (requires { visitor.Bookmark(bookmark, depth); })
    return StepOf<decltype(visitor.Bookmark(bookmark, depth))>(
        [&] { return visitor.Bookmark(bookmark, depth); });
  else
    return WalkStep::Continue;
}

// The node's level below its document's root: 0 for the root, 1 for its children.
inline std::size_t LevelOf(Node node) {
  std::size_t level = 0;
  for (Node above = node.parent(); above && above.type() == pugi::node_element;
       above = above.parent())
    ++level;
  return level;
}

// The walk from first, over its following siblings too when withSiblings. False when stopped.
template <class Visitor> bool Walk(Node first, bool withSiblings, Visitor& visitor) {
  // Levels left before the limit, counted from the document's root and not from first.
  const std::size_t firstLevel = LevelOf(first);
  const std::size_t deepest = kMaxFolderDepth > firstLevel ? kMaxFolderDepth - firstLevel : 0;
  std::vector<Node> open; // the folders entered and not yet left, innermost last
  Node node = first;
  for (;;) {
    if (!node) {
      if (open.empty())
        return true;
      const Node folder = open.back();
      open.pop_back();
      Leave(visitor, folder, open.size());
      if (open.empty() && !withSiblings)
        return true;
      node = folder.next_sibling();
      continue;
    }
    const ElementKind kind = KindOf(node);
    const std::size_t depth = open.size();
    if (kind != ElementKind::Other && depth > deepest)
      throw NestedTooDeep("The collection");
    if (kind == ElementKind::Folder) {
      const WalkStep step = Enter(visitor, node, depth);
      if (step == WalkStep::Stop)
        return false;
      if (step == WalkStep::Continue) {
        open.push_back(node);
        node = node.first_child();
        continue;
      }
      Leave(visitor, node, depth);
    } else if (kind == ElementKind::Bookmark) {
      if (Visit(visitor, node, depth) == WalkStep::Stop)
        return false;
    }
    if (open.empty() && !withSiblings)
      return true;
    node = node.next_sibling();
  }
}

} // namespace walk_detail

// Walks first and each of its following siblings with everything below them. False when the
// visitor stopped the walk.
template <class Visitor> bool WalkSiblings(Node first, Visitor&& visitor) {
  return walk_detail::Walk(first, true, visitor);
}

// Walks start alone (its siblings are left out) with everything below it.
template <class Visitor> bool WalkTree(Node start, Visitor&& visitor) {
  return walk_detail::Walk(start, false, visitor);
}

// Calls visit(node, depth) for start and every folder and bookmark below it, folders before
// their contents, with depth 0 for start.
template <class Visit> void WalkFoldersAndBookmarks(Node start, Visit&& visit) {
  struct Visitor {
    Visit& visit;
    void EnterFolder(Node folder, std::size_t depth) { visit(folder, depth); }
    void Bookmark(Node bookmark, std::size_t depth) { visit(bookmark, depth); }
  };
  WalkTree(start, Visitor{visit});
}

} // namespace quillary
