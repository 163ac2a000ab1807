#pragma once

#include "store/BookmarkDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules behind the main window's folder tree and bookmark list that need no widget: the
// depth-first lookups by gid, the rows a folder lists and how a row's kind is told.
namespace quillary {

// What a tree node or list row remembers of its element.
struct Tdata {
  std::string name;
  std::string gid;
};

// The codes are the ones the views have always used; tests and the window share them.
enum class TFolderAction { Open = 1, AddFolder = 2, Rename = 3, Delete = 4, AddBookmark = 5 };
enum class TBookmarkAction { Change = 6, Delete = 7 };
enum class TSyncAction { Select = 0, Rename = 3, Delete = 4 };

// The three pictures the views share.
enum TImage : int { kImageFolder = 0, kImageFolderOpen = 1, kImageBookmark = 2 };

inline constexpr std::string_view kParentRowCaption = "[ .. ]";
inline constexpr std::string_view kRootFolderName = "bookmarks";

// The first folder, depth-first in document order from start and its following siblings, whose
// gid is exactly gid. Only folders are descended into. Empty when there is none.
Node FindFolder(Node start, std::string_view gid);

// The same walk for the first bookmark with that gid.
Node FindBookmark(Node start, std::string_view gid);

// Finds the folder with gid and applies the action to the document: AddFolder appends a
// "Folder" element named and identified by data, Rename sets its name to data.name, Delete
// removes it with its subtree, AddBookmark appends a "url" element (name, url, data.gid). Open
// changes nothing; the window lists the folder. Returns the folder found (empty when none;
// after Delete the handle is no longer usable and only tells that one was found).
Node FolderAction(Node start, std::string_view gid, const Tdata& data, std::string_view url,
                  std::string_view name, TFolderAction action);

// Finds the bookmark with data.gid; Change sets its name and url, Delete removes it. True when
// one was found.
bool BookmarkAction(Node start, const Tdata& data, std::string_view name, TBookmarkAction action,
                    std::string_view url);

// The bookmarks the tree build counts: url elements among the sibling run from first and inside
// its folders, through folders only.
int CountBookmarks(Node first);

struct ListRow {
  int image = kImageFolder;
  std::string caption;
  std::string url;
  std::optional<Tdata> data; // none for the parent row
};

// The rows that list a folder's children: the parent row when withParentRow, then every folder,
// then every bookmark, each group in document order.
std::vector<ListRow> ListRowsOf(Node firstChild, bool withParentRow);

enum class TRowKind { Parent, Folder, Bookmark };

// The parent row is told by its caption alone, so a folder named "[ .. ]" behaves as one.
TRowKind RowKindOf(int image, std::string_view caption);

// The top-level folder that Edit and Delete leave alone.
inline bool IsRootNode(std::string_view text, bool hasParent) {
  return !hasParent && text == kRootFolderName;
}

// True when the text holds nothing but characters with codes up to 32.
bool IsBlankText(std::string_view text);

} // namespace quillary
