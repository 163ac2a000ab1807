#include "exchange/db/untSafari.h"

#include "base/Error.h"
#include "exchange/db/PlistFile.h"
#include "platform/Files.h"
#include "store/DocumentWalk.h"

#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillary {

namespace {

bool Is(plist_t node, plist_type type) {
  return node && plist_get_node_type(node) == type;
}

bool KeyIs(plist_t key, const char* text) {
  return key && plist_key_val_compare(key, text) == 0;
}

std::string StringOf(plist_t node) {
  uint64_t length = 0;
  const char* text = Is(node, PLIST_STRING) ? plist_get_string_ptr(node, &length) : nullptr;
  return text ? std::string(text, length) : std::string();
}

// The library's iterators are allocated and freed with the C library.
struct FreeIterator {
  void operator()(void* iterator) const { std::free(iterator); }
};
using Iterator = std::unique_ptr<void, FreeIterator>;

// Calls visit(key, value) for each entry of the dictionary in file order, until it returns
// false; work counts the entries.
template <class Visit> void ForEachEntry(plist_t dict, std::size_t& work, Visit&& visit) {
  plist_dict_iter raw = nullptr;
  plist_dict_new_iter(dict, &raw);
  const Iterator iterator(raw);
  for (;;) {
    plist_t value = nullptr;
    plist_dict_next_item(dict, raw, nullptr, &value);
    if (!value)
      return;
    ++work;
    if (!visit(plist_dict_item_get_key(value), value))
      return;
  }
}

// The items of a list, one at a time.
class Items {
public:
  Items(plist_t array, std::size_t& work) : array_(array), work_(&work) {
    plist_array_iter raw = nullptr;
    plist_array_new_iter(array, &raw);
    iterator_.reset(raw);
  }
  plist_t Next() {
    plist_t item = nullptr;
    plist_array_next_item(array_, iterator_.get(), &item);
    *work_ += item != nullptr;
    return item;
  }

private:
  plist_t array_;
  std::size_t* work_;
  Iterator iterator_;
};

enum class DictKind { Folder, Bookmark, Other };

// What the rules ask of a dictionary, gathered in one pass over its entries.
struct DictSummary {
  plist_t firstKey = nullptr;
  plist_t children = nullptr;   // the value of "Children"
  plist_t type = nullptr;       // of "WebBookmarkType"
  plist_t uri = nullptr;        // of "URIDictionary"
  plist_t urlString = nullptr;  // of "URLString"
  plist_t firstDict = nullptr;  // the first value that is a dictionary
  plist_t firstArray = nullptr; // the first value that is a list

  // The first key decides in the files older Safari wrote. Current files put other keys first,
  // so a leaf type marks a bookmark and a "Children" key anywhere a folder.
  bool OldFolder() const { return KeyIs(firstKey, "Children"); }
  bool OldBookmark() const {
    return KeyIs(firstKey, "URIDictionary") || KeyIs(firstKey, "Generation");
  }
  DictKind Kind() const {
    if (OldFolder())
      return DictKind::Folder;
    if (OldBookmark() ||
        (Is(type, PLIST_STRING) && plist_string_val_compare(type, "WebBookmarkTypeLeaf") == 0))
      return DictKind::Bookmark;
    return children ? DictKind::Folder : DictKind::Other;
  }
  // The list a folder's entries go into.
  plist_t List() const { return !OldFolder() && Is(children, PLIST_ARRAY) ? children : firstArray; }
};

DictSummary Summarise(plist_t dict, std::size_t& work) {
  DictSummary summary;
  ForEachEntry(dict, work, [&](plist_t key, plist_t value) {
    if (!summary.firstKey)
      summary.firstKey = key;
    if (KeyIs(key, "Children"))
      summary.children = value;
    else if (KeyIs(key, "WebBookmarkType"))
      summary.type = value;
    else if (KeyIs(key, "URIDictionary"))
      summary.uri = value;
    else if (KeyIs(key, "URLString"))
      summary.urlString = value;
    if (!summary.firstDict && Is(value, PLIST_DICT))
      summary.firstDict = value;
    if (!summary.firstArray && Is(value, PLIST_ARRAY))
      summary.firstArray = value;
    return true;
  });
  return summary;
}

void AppendString(plist_t dict, const char* key, const std::string& text) {
  plist_dict_set_item(dict, key, plist_new_string(text.c_str()));
}

} // namespace

// The import walk, with its open lists in a vector instead of on the call stack.
class TSafariOjb::Reader {
public:
  Reader(const std::string& subject, std::size_t& work) : subject_(subject), work_(work) {}

  void ReadPlistLevel(plist_t top, Node target) {
    ReadDict(top, target, 0);
    while (!open_.empty()) {
      Level& level = open_.back();
      plist_t item = level.items.Next();
      if (!item) {
        open_.pop_back();
        continue;
      }
      ReadDict(item, level.target, level.depth);
    }
  }

private:
  struct Level {
    Items items;
    Node target;
    std::size_t depth; // folders around the target
  };

  void Open(plist_t contents, Node target, std::size_t depth) {
    if (contents)
      open_.push_back({Items(contents, work_), target, depth});
  }

  void ReadDict(plist_t node, Node target, std::size_t depth) {
    if (!Is(node, PLIST_DICT))
      return;
    const DictSummary summary = Summarise(node, work_);
    const DictKind kind = summary.Kind();
    if (kind == DictKind::Folder)
      ReadFolderDict(node, summary, target, depth);
    else if (kind == DictKind::Bookmark)
      ReadBookmarkDict(summary, target, depth);
  }

  // What is appended to target lies depth + 1 levels below the root.
  void CheckRoomBelow(std::size_t depth) const {
    if (depth >= kMaxFolderDepth)
      throw NestedTooDeep(subject_);
  }

  // The contents are the last list seen before the key that settles the dictionary; where
  // "Children" is not the first key, the list it names.
  void ReadFolderDict(plist_t dict, const DictSummary& summary, Node target, std::size_t depth) {
    const bool old = summary.OldFolder();
    plist_t contents = old || !Is(summary.children, PLIST_ARRAY) ? nullptr : summary.children;
    ForEachEntry(dict, work_, [&](plist_t key, plist_t value) {
      if (KeyIs(key, "Title")) {
        if (Is(value, PLIST_STRING)) {
          CheckRoomBelow(depth);
          Node folder = AppendElement(target, "folder");
          SetAttribute(folder, "name", StringOf(value));
          SetAttribute(folder, "gid", NewGid());
          Open(contents, folder, depth + 1);
        }
        return false;
      }
      if (KeyIs(key, "WebBookmarkGroupVersionString")) {
        Open(contents, target, depth);
        return false;
      }
      if (old && Is(value, PLIST_ARRAY))
        contents = value;
      return true;
    });
  }

  // A bookmark dictionary gives a "url" element at its inner dictionary's "title" key; without
  // that key it gives nothing.
  void ReadBookmarkDict(const DictSummary& summary, Node target, std::size_t depth) {
    plist_t inner = summary.OldBookmark() ? summary.firstDict
                                          : (Is(summary.uri, PLIST_DICT) ? summary.uri : nullptr);
    if (!inner)
      return;
    bool hasEmptyKey = false;
    ForEachEntry(inner, work_,
                 [&](plist_t key, plist_t) { return !(hasEmptyKey = KeyIs(key, "")); });
    std::string url;
    ForEachEntry(inner, work_, [&](plist_t key, plist_t value) {
      if (KeyIs(key, "")) {
        if (Is(value, PLIST_STRING))
          url = StringOf(value);
        return true;
      }
      if (!KeyIs(key, "title"))
        return true;
      // Current files keep the address only under "URLString".
      if (!hasEmptyKey && Is(summary.urlString, PLIST_STRING))
        url = StringOf(summary.urlString);
      CheckRoomBelow(depth);
      Node bookmark = AppendElement(target, "url");
      SetAttribute(bookmark, "name", StringOf(value));
      SetAttribute(bookmark, "url", url);
      SetAttribute(bookmark, "gid", NewGid());
      return false;
    });
  }

  const std::string& subject_;
  std::size_t& work_;
  std::vector<Level> open_;
};

// The folders a target list holds by title (the last one wins) and the addresses of its
// bookmarks: what a scan over the list's items would find, kept up to date as we append.
struct TSafariOjb::TargetIndex {
  std::unordered_map<std::string, plist_t> folderLists;
  std::unordered_set<std::string> bookmarkUrls;
};

struct TSafariOjb::TargetIndexes {
  std::size_t& work;
  std::unordered_map<plist_t, TargetIndex> byTarget;

  TargetIndex& Of(plist_t target) {
    auto [found, added] = byTarget.try_emplace(target);
    TargetIndex& index = found->second;
    if (!added)
      return index;
    Items items(target, work);
    while (plist_t dict = items.Next()) {
      if (!Is(dict, PLIST_DICT))
        continue;
      const DictSummary summary = Summarise(dict, work);
      if (summary.Kind() == DictKind::Bookmark) {
        if (Is(summary.urlString, PLIST_STRING))
          index.bookmarkUrls.insert(StringOf(summary.urlString));
        continue;
      }
      // Any other dictionary with a title is a folder candidate, as long as it has a list to
      // write into; one without (a proxy such as History) is passed over.
      plist_t list = summary.List();
      if (!list)
        continue;
      ForEachEntry(dict, work, [&](plist_t key, plist_t value) {
        if (KeyIs(key, "Title") && Is(value, PLIST_STRING))
          index.folderLists[StringOf(value)] = list;
        return true;
      });
    }
    return index;
  }

  plist_t WritePlistFolder(Node folder, plist_t target) {
    const std::string name = AttributeText(folder, "name");
    TargetIndex& index = Of(target);
    if (auto found = index.folderLists.find(name); found != index.folderLists.end())
      return found->second;
    plist_t dict = plist_new_dict();
    plist_t list = plist_new_array();
    plist_dict_set_item(dict, "Children", list);
    AppendString(dict, "Title", name);
    AppendString(dict, "WebBookmarkType", "WebBookmarkTypeList");
    AppendString(dict, "WebBookmarkUUID", NewGid());
    plist_array_append_item(target, dict);
    index.folderLists.emplace(name, list);
    return list;
  }

  void WritePlistBookmark(Node bookmark, plist_t target) {
    const std::string url = AttributeText(bookmark, "url");
    TargetIndex& index = Of(target);
    if (!index.bookmarkUrls.insert(url).second)
      return;
    plist_t dict = plist_new_dict();
    plist_t inner = plist_new_dict();
    AppendString(inner, "", url);
    AppendString(inner, "title", AttributeText(bookmark, "name"));
    plist_dict_set_item(dict, "URIDictionary", inner);
    AppendString(dict, "URLString", url);
    AppendString(dict, "WebBookmarkType", "WebBookmarkTypeLeaf");
    AppendString(dict, "WebBookmarkUUID", NewGid());
    plist_array_append_item(target, dict);
  }

  // Writes first and its following siblings into target: only elements named exactly "folder"
  // and "url" are written, and nothing inside another element.
  void WritePlistLevel(Node first, plist_t target) {
    struct Writer {
      TargetIndexes& indexes;
      std::vector<plist_t> lists; // the list of every open folder, innermost last
      WalkStep EnterFolder(Node folder, std::size_t) {
        if (!IsExactFolder(folder)) {
          lists.push_back(nullptr);
          return WalkStep::SkipChildren;
        }
        lists.push_back(indexes.WritePlistFolder(folder, lists.back()));
        return WalkStep::Continue;
      }
      void LeaveFolder(Node, std::size_t) { lists.pop_back(); }
      void Bookmark(Node bookmark, std::size_t) {
        if (IsExactBookmark(bookmark))
          indexes.WritePlistBookmark(bookmark, lists.back());
      }
    };
    WalkSiblings(first, Writer{*this, {target}});
  }
};

namespace {

std::string Subject(const std::string& path) {
  return "The Safari bookmark file " + path;
}

} // namespace

TSafariOjb::TSafariOjb() = default;
TSafariOjb::~TSafariOjb() = default;

std::unique_ptr<BookmarkDocument> TSafariOjb::ImportBookmarks() {
  entriesLookedAt_ = 0;
  const std::string bytes = platform::ReadFileChecked(SourcePath);
  const std::string subject = Subject(SourcePath);
  const plist::Measured measured = plist::Measure(bytes, subject);
  std::unique_ptr<BookmarkDocument> document;
  plist::RunWithRoomFor(measured.nesting, [&] {
    const plist::Parsed parsed = plist::Parse(bytes, measured, subject);
    document = NewBookmarkDocument("UTF-8");
    Reader(subject, entriesLookedAt_).ReadPlistLevel(parsed.root.get(), Root(*document));
  });
  return document;
}

void TSafariOjb::ExportBookmarks(BookmarkDocument& document) {
  entriesLookedAt_ = 0;
  const std::string original = platform::ReadFileChecked(SourcePath);
  const std::string subject = Subject(SourcePath);
  const plist::Measured measured = plist::Measure(original, subject);
  // Each folder written adds a dictionary and a list.
  const Node root = Root(document);
  const std::size_t nesting = measured.nesting + (root ? 2 * NestingDepth(root) + 4 : 0);
  std::string rewritten;
  plist::RunWithRoomFor(nesting, [&] {
    const plist::Parsed parsed = plist::Parse(original, measured, subject);
    plist_t top = parsed.root.get();
    if (!Is(top, PLIST_DICT))
      throw Error(subject + " has no top dictionary.");
    plist_t target = Summarise(top, entriesLookedAt_).List();
    if (!target)
      throw Error(subject + " has no bookmark list in its top dictionary.");
    TargetIndexes indexes{entriesLookedAt_, {}};
    indexes.WritePlistLevel(root.first_child(), target);
    rewritten = plist::Serialise(top, parsed.format);
  });
  platform::WriteFileChecked(SourcePath, rewritten);
}

} // namespace quillary
