#include "store/FolderWalk.h"

#include <cstring>

namespace quillary {

namespace {

bool HasGid(Node node, std::string_view gid) {
  return std::string_view(AttributeText(node, "gid")) == gid;
}

// Depth-first through folders only; matches decides which node ends the walk.
template <typename Matches> Node Walk(Node start, const Matches& matches) {
  for (Node node = start; node; node = node.next_sibling()) {
    if (matches(node))
      return node;
    if (IsFolder(node) && node.first_child()) {
      if (Node found = Walk(node.first_child(), matches))
        return found;
    }
  }
  return {};
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
  int count = 0;
  for (Node node = first; node; node = node.next_sibling()) {
    if (IsFolder(node))
      count += CountBookmarks(node.first_child());
    else if (IsBookmark(node))
      ++count;
  }
  return count;
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
