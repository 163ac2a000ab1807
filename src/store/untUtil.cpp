#include "store/untUtil.h"

#include "base/Error.h"
#include "store/DocumentWalk.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillary {

// What one destination folder holds, kept up to date as the merge appends to it, so that each
// lookup costs constant time instead of a scan of the folder's children. Only the first exact
// "folder" child of a name is kept: it is the one a scan in document order would find. The views
// point into the attribute values of the document, which the merge never changes once set.
struct TUtil::FolderIndex {
  std::unordered_map<std::string_view, Node> folders;
  std::unordered_set<std::string_view> urls;
};

struct TUtil::Indexes {
  std::unordered_map<pugi::xml_node_struct*, FolderIndex> byFolder;
};

TUtil::TUtil() : indexes_(std::make_unique<Indexes>()) {}

TUtil::~TUtil() = default;

TUtil::FolderIndex& TUtil::IndexOf(Node target) {
  auto [it, created] = indexes_->byFolder.try_emplace(target.internal_object());
  FolderIndex& index = it->second;
  if (created) {
    for (Node child : target.children()) {
      if (IsExactFolder(child))
        index.folders.try_emplace(AttributeText(child, "name"), child);
      else if (IsExactBookmark(child))
        index.urls.insert(AttributeText(child, "url"));
    }
  }
  return index;
}

void TUtil::MergeDocuments(BookmarkDocument& destination, const BookmarkDocument& source) {
  Node destinationRoot = Root(destination);
  Node sourceRoot = Root(source);
  if (!destinationRoot || !sourceRoot)
    throw Error("A bookmark document without a root cannot be merged.");
  CheckNestingDepth(source, "The bookmarks to merge");
  // The source root itself is not matched: its name and gid are dropped.
  MergeChildren(destinationRoot, sourceRoot.first_child());
}

void TUtil::MergeChildren(Node target, Node first) {
  // The whole subtree of a source folder is merged before its next sibling; targets holds the
  // destination folder of every source folder open in the walk.
  struct Merge {
    TUtil& util;
    std::vector<Node> targets;
    void EnterFolder(Node folder, std::size_t) {
      targets.push_back(util.FindOrAddFolder(targets.back(), folder));
    }
    void LeaveFolder(Node, std::size_t) { targets.pop_back(); }
    void Bookmark(Node bookmark, std::size_t) { util.FindOrAddUrl(targets.back(), bookmark); }
  };
  WalkSiblings(first, Merge{*this, {target}});
}

Node TUtil::FindOrAddFolder(Node target, Node sourceFolder) {
  const char* name = AttributeText(sourceFolder, "name");
  FolderIndex& index = IndexOf(target);
  if (auto found = index.folders.find(name); found != index.folders.end())
    return found->second;
  Node folder = AppendElement(target, "folder");
  SetAttribute(folder, "name", name);
  SetAttribute(folder, "gid", AttributeText(sourceFolder, "gid"));
  index.folders.emplace(AttributeText(folder, "name"), folder);
  return folder;
}

void TUtil::FindOrAddUrl(Node target, Node sourceBookmark) {
  const char* url = AttributeText(sourceBookmark, "url");
  FolderIndex& index = IndexOf(target);
  if (index.urls.contains(url))
    return;
  Node bookmark = AppendElement(target, "url");
  SetAttribute(bookmark, "name", AttributeText(sourceBookmark, "name"));
  SetAttribute(bookmark, "url", url);
  SetAttribute(bookmark, "gid", AttributeText(sourceBookmark, "gid"));
  index.urls.insert(AttributeText(bookmark, "url"));
}

} // namespace quillary
