#include "store/FolderWalk.h"

#include "store/DocumentWalk.h"

#include <cstring>

namespace quillary {

namespace {

bool HasGid(Node node, std::string_view gid) {
  return std::string_view(AttributeText(node, "gid")) == gid;
}

// The first folder or bookmark, depth first from start and its following siblings, that matches.
template <typename Matches> Node Walk(Node start, const Matches& matches) {
  struct Search {
    const Matches& matches;
    Node found;
    WalkStep Check(Node node) {
      if (!matches(node))
        return WalkStep::Continue;
      found = node;
      return WalkStep::Stop;
    }
    WalkStep EnterFolder(Node folder, std::size_t) { return Check(folder); }
    WalkStep Bookmark(Node bookmark, std::size_t) { return Check(bookmark); }
  } search{matches, {}};
  WalkSiblings(start, search);
  return search.found;
}

} // namespace

Node FindFolder(Node start, std::string_view gid) {
  return Walk(start, [gid](Node node) { return IsFolder(node) && HasGid(node, gid); });
}

Node FindBookmark(Node start, std::string_view gid) {
  return Walk(start, [gid](Node node) { return IsBookmark(node) && HasGid(node, gid); });
}

Node FolderAction(Node start, std::string_view gid, const Tdata& data, std::string_view url,
                  std::string_view name, TFolderAction action) {
  Node folder = FindFolder(start, gid);
  if (!folder)
    return {};
  switch (action) {
  case TFolderAction::Open:
    break;
  case TFolderAction::AddFolder: {
    Node added = AppendElement(folder, "Folder");
    SetAttribute(added, "name", data.name);
    SetAttribute(added, "gid", data.gid);
    break;
  }
  case TFolderAction::Rename:
    SetAttribute(folder, "name", data.name);
    break;
  case TFolderAction::Delete:
    if (folder.parent())
      RemoveElement(folder);
    break;
  case TFolderAction::AddBookmark: {
    Node added = AppendElement(folder, "url");
    SetAttribute(added, "name", name);
    SetAttribute(added, "url", url);
    SetAttribute(added, "gid", data.gid);
    break;
  }
  }
  return folder;
}

bool BookmarkAction(Node start, const Tdata& data, std::string_view name, TBookmarkAction action,
                    std::string_view url) {
  Node bookmark = FindBookmark(start, data.gid);
  if (!bookmark)
    return false;
  if (action == TBookmarkAction::Change) {
    SetAttribute(bookmark, "name", name);
    SetAttribute(bookmark, "url", url);
  } else {
    RemoveElement(bookmark);
  }
  return true;
}

int CountBookmarks(Node first) {
  struct Count {
    int bookmarks = 0;
    void Bookmark(Node, std::size_t) { ++bookmarks; }
  } count;
  WalkSiblings(first, count);
  return count.bookmarks;
}

std::vector<ListRow> ListRowsOf(Node firstChild, bool withParentRow) {
  std::vector<ListRow> rows;
  if (withParentRow)
    rows.push_back({kImageFolder, std::string(kParentRowCaption), {}, std::nullopt});
  for (Node node = firstChild; node; node = node.next_sibling()) {
    if (IsFolder(node)) {
      std::string name = GetAttribute(node, "name");
      rows.push_back({kImageFolder, name, {}, Tdata{name, GetAttribute(node, "gid")}});
    }
  }
  for (Node node = firstChild; node; node = node.next_sibling()) {
    if (IsBookmark(node)) {
      std::string name = GetAttribute(node, "name");
      rows.push_back({kImageBookmark, name, GetAttribute(node, "url"),
                      Tdata{name, GetAttribute(node, "gid")}});
    }
  }
  return rows;
}

TRowKind RowKindOf(int image, std::string_view caption) {
  if (caption == kParentRowCaption)
    return TRowKind::Parent;
  return image == kImageFolder ? TRowKind::Folder : TRowKind::Bookmark;
}

bool IsBlankText(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 32)
      return false;
  }
  return true;
}

} // namespace quillary
