#include "exchange/db/untSafari.h"

#include "base/Error.h"
#include "platform/Files.h"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace quillary {

namespace {

// Deeper nesting than any browser writes; a hostile file must not exhaust the stack.
constexpr int kMaxDepth = 1000;

bool IsElement(Node node, const char* name) {
  return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The whole text content of an element, as the DOM's text property gives it.
std::string TextOf(Node node) {
  Node only = node.first_child();
  if (!only)
    return {};
  if (!only.next_sibling() && (only.type() == pugi::node_pcdata || only.type() == pugi::node_cdata))
    return only.value();
  std::string text;
  for (Node descendant = only; descendant;) {
    if (descendant.type() == pugi::node_pcdata || descendant.type() == pugi::node_cdata)
      text += descendant.value();
    if (descendant.first_child()) {
      descendant = descendant.first_child();
      continue;
    }
    while (descendant && !descendant.next_sibling() && descendant != node)
      descendant = descendant.parent();
    if (!descendant || descendant == node)
      break;
    descendant = descendant.next_sibling();
  }
  return text;
}

bool IsKey(Node node, std::string_view text) {
  if (!IsElement(node, "key"))
    return false;
  // The usual key holds one text node or none; compare it without copying.
  Node only = node.first_child();
  if (!only)
    return text.empty();
  if (!only.next_sibling() && only.type() == pugi::node_pcdata)
    return text == only.value();
  return TextOf(node) == text;
}

// The value element after the first key of that text; empty when there is none.
Node ValueOf(Node dict, std::string_view key) {
  for (Node child = dict.first_child(); child; child = child.next_sibling())
    if (IsKey(child, key))
      return child.next_sibling();
  return {};
}

bool StartsWithBookmarkKey(Node dict) {
  Node first = dict.first_child();
  return IsKey(first, "URIDictionary") || IsKey(first, "Generation");
}

enum class DictKind { Folder, Bookmark, Other };

// The first key decides in the files older Safari wrote. Current files put other keys first,
// so a leaf type marks a bookmark and a "Children" key anywhere a folder.
DictKind KindOfDict(Node dict) {
  Node first = dict.first_child();
  if (IsKey(first, "Children"))
    return DictKind::Folder;
  if (StartsWithBookmarkKey(dict))
    return DictKind::Bookmark;
  Node type = ValueOf(dict, "WebBookmarkType");
  if (IsElement(type, "string") && TextOf(type) == "WebBookmarkTypeLeaf")
    return DictKind::Bookmark;
  if (ValueOf(dict, "Children"))
    return DictKind::Folder;
  return DictKind::Other;
}

std::string ErrorPrefix(const std::string& path) {
  return "The Safari bookmark file " + path;
}

// Parses the file as UTF-8 whatever its declaration says; the document type is kept and nothing
// it names is fetched.
void ParsePlist(pugi::xml_document& plist, const std::string& path, const std::string& bytes) {
  if (bytes.starts_with("bplist"))
    throw Error(ErrorPrefix(path) +
                " is a binary property list; only XML property lists can be read.");
  const unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                           pugi::parse_comments | pugi::parse_pi | pugi::parse_ws_pcdata_single;
  pugi::xml_parse_result result =
      plist.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
  if (!result)
    throw Error(ErrorPrefix(path) + " is not well-formed XML: " + result.description() +
                " at offset " + std::to_string(result.offset) + ".");
  if (!IsElement(plist.document_element(), "plist"))
    throw Error(ErrorPrefix(path) + " is not a property list: it has no plist element.");
}

Node FirstElementChild(Node node) {
  Node child = node.first_child();
  while (child && child.type() != pugi::node_element)
    child = child.next_sibling();
  return child;
}

Node FirstArrayChild(Node node) {
  for (Node child = node.first_child(); child; child = child.next_sibling())
    if (IsElement(child, "array"))
      return child;
  return {};
}

// Tab indentation as Safari itself writes, with CR LF line ends; a line end inside a value reads
// back as the same LF, since XML readers normalise line ends.
std::string SerialisePlist(const pugi::xml_document& plist) {
  class CrLfWriter final : public pugi::xml_writer {
  public:
    explicit CrLfWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
      std::string_view bytes(static_cast<const char*>(data), size);
      for (size_t lf; (lf = bytes.find('\n')) != std::string_view::npos;) {
        out_.append(bytes.substr(0, lf)).append("\r\n");
        bytes.remove_prefix(lf + 1);
      }
      out_.append(bytes);
    }

  private:
    std::string& out_;
  };
  std::string out;
  CrLfWriter writer(out);
  plist.save(writer, "\t", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
  return out;
}

void AppendText(Node parent, const char* name, std::string_view text) {
  Node element = parent.append_child(name);
  if (!text.empty())
    element.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
}

// A bookmark dictionary gives a "url" element at its inner dictionary's "title" key; without
// that key it gives nothing.
void ReadBookmarkDict(Node dict, Node target) {
  Node inner;
  if (StartsWithBookmarkKey(dict)) {
    for (Node child = dict.first_child().next_sibling(); child && !inner;
         child = child.next_sibling())
      if (IsElement(child, "dict"))
        inner = child;
  } else if (Node value = ValueOf(dict, "URIDictionary"); IsElement(value, "dict")) {
    inner = value;
  }
  std::string url;
  bool hasEmptyKey = false;
  for (Node child = inner.first_child(); child; child = child.next_sibling())
    if (IsKey(child, "")) {
      hasEmptyKey = true;
      break;
    }
  for (Node child = inner.first_child(); child; child = child.next_sibling()) {
    if (IsKey(child, "")) {
      if (Node value = child.next_sibling(); IsElement(value, "string")) {
        url = TextOf(value);
        child = value;
      }
    } else if (IsKey(child, "title")) {
      Node value = child.next_sibling();
      // Current files keep the address only under "URLString".
      if (!hasEmptyKey)
        if (Node address = ValueOf(dict, "URLString"); IsElement(address, "string"))
          url = TextOf(address);
      Node bookmark = AppendElement(target, "url");
      SetAttribute(bookmark, "name", IsElement(value, "string") ? TextOf(value) : "");
      SetAttribute(bookmark, "url", url);
      SetAttribute(bookmark, "gid", NewGid());
      break;
    }
  }
}

} // namespace

// The folders a target array holds by title (the last one wins) and the addresses of its
// bookmarks: the answers the scans over the array's children give, kept up to date as we append.
struct TSafariOjb::TargetIndex {
  std::unordered_map<std::string, Node> folderArrays;
  std::unordered_set<std::string> bookmarkUrls;
};

struct TSafariOjb::TargetIndexes {
  std::unordered_map<pugi::xml_node_struct*, TargetIndex> byTarget;
};

TSafariOjb::TSafariOjb() = default;
TSafariOjb::~TSafariOjb() = default;

std::unique_ptr<BookmarkDocument> TSafariOjb::ImportBookmarks() {
  auto document = NewBookmarkDocument("UTF-8");
  pugi::xml_document plist;
  ParsePlist(plist, SourcePath, platform::ReadFileChecked(SourcePath));
  ReadPlistLevel(plist.document_element().first_child(), Root(*document), 0);
  return document;
}

void TSafariOjb::ReadPlistLevel(Node first, Node target, int depth) {
  if (depth > kMaxDepth)
    throw Error(ErrorPrefix(SourcePath) + " is nested too deeply.");
  for (Node node = first; node; node = node.next_sibling()) {
    if (!IsElement(node, "dict"))
      continue;
    const DictKind kind = KindOfDict(node);
    if (kind == DictKind::Folder) {
      // The contents are the last array seen before the key that settles the dictionary; where
      // "Children" is not the first key, the array it names.
      Node contents;
      Node walk = node.first_child().next_sibling();
      if (!IsKey(node.first_child(), "Children")) {
        contents = ValueOf(node, "Children");
        contents = IsElement(contents, "array") ? contents.first_child() : Node();
        walk = node.first_child();
      }
      for (; walk; walk = walk.next_sibling()) {
        if (IsElement(walk, "array") && IsKey(node.first_child(), "Children")) {
          contents = walk.first_child();
        } else if (IsKey(walk, "Title")) {
          Node title = walk.next_sibling();
          if (IsElement(title, "string")) {
            Node folder = AppendElement(target, "folder");
            SetAttribute(folder, "name", TextOf(title));
            SetAttribute(folder, "gid", NewGid());
            ReadPlistLevel(contents, folder, depth + 1);
          }
          break;
        } else if (IsKey(walk, "WebBookmarkGroupVersionString")) {
          ReadPlistLevel(contents, target, depth + 1);
          break;
        }
      }
    } else if (kind == DictKind::Bookmark) {
      ReadBookmarkDict(node, target);
    }
  }
}

void TSafariOjb::ExportBookmarks(BookmarkDocument& document) {
  const std::string original = platform::ReadFileChecked(SourcePath);
  pugi::xml_document plist;
  ParsePlist(plist, SourcePath, original);
  Node top = FirstElementChild(plist.document_element());
  if (!IsElement(top, "dict"))
    throw Error(ErrorPrefix(SourcePath) + " has no top dictionary.");
  Node target = FirstArrayChild(top);
  if (!IsKey(top.first_child(), "Children"))
    if (Node children = ValueOf(top, "Children"); IsElement(children, "array"))
      target = children;
  if (!target)
    throw Error(ErrorPrefix(SourcePath) + " has no bookmark list in its top dictionary.");

  indexes_ = std::make_unique<TargetIndexes>();
  WritePlistLevel(Root(document).first_child(), target, 0);
  indexes_.reset();

  // The bytes are written as UTF-8, so a declaration must not claim another encoding.
  for (Node child : plist.children())
    if (child.type() == pugi::node_declaration && child.attribute("encoding"))
      child.attribute("encoding").set_value("UTF-8");
  platform::WriteFileChecked(SourcePath, SerialisePlist(plist));
}

void TSafariOjb::WritePlistLevel(Node first, Node target, int depth) {
  if (depth > kMaxDepth)
    throw Error("The collection is nested too deeply to be written to " + SourcePath + ".");
  for (Node node = first; node; node = node.next_sibling()) {
    if (IsExactFolder(node)) {
      Node array = WritePlistFolder(node, target);
      if (node.first_child())
        WritePlistLevel(node.first_child(), array, depth + 1);
    } else if (IsExactBookmark(node)) {
      WritePlistBookmark(node, target);
    }
  }
}

TSafariOjb::TargetIndex& TSafariOjb::IndexOf(Node target) {
  auto [found, added] = indexes_->byTarget.try_emplace(target.internal_object());
  TargetIndex& index = found->second;
  if (!added)
    return index;
  for (Node child = target.first_child(); child;) {
    Node next = child.next_sibling();
    // Whitespace kept only because it was alone in an empty array; new entries replace it.
    if (child.type() == pugi::node_pcdata &&
        std::string_view(child.value()).find_first_not_of(" \t\r\n") == std::string_view::npos)
      target.remove_child(child);
    child = next;
  }
  for (Node dict = target.first_child(); dict; dict = dict.next_sibling()) {
    if (!IsElement(dict, "dict"))
      continue;
    const DictKind kind = KindOfDict(dict);
    if (kind == DictKind::Bookmark) {
      for (Node child = dict.first_child(); child; child = child.next_sibling())
        if (IsKey(child, "URLString") && child.next_sibling())
          index.bookmarkUrls.insert(TextOf(child.next_sibling()));
      continue;
    }
    // Any other dictionary with a title is a folder candidate, as long as it has a list to
    // write into; one without (a proxy such as History) is passed over.
    Node array = FirstArrayChild(dict);
    if (!IsKey(dict.first_child(), "Children"))
      if (Node children = ValueOf(dict, "Children"); IsElement(children, "array"))
        array = children;
    if (!array)
      continue;
    for (Node child = dict.first_child(); child; child = child.next_sibling())
      if (IsKey(child, "Title") && IsElement(child.next_sibling(), "string"))
        index.folderArrays[TextOf(child.next_sibling())] = array;
  }
  return index;
}

Node TSafariOjb::WritePlistFolder(Node folder, Node target) {
  const std::string name = AttributeText(folder, "name");
  TargetIndex& index = IndexOf(target);
  if (auto found = index.folderArrays.find(name); found != index.folderArrays.end())
    return found->second;
  Node dict = target.append_child("dict");
  AppendText(dict, "key", "Children");
  Node array = dict.append_child("array");
  AppendText(dict, "key", "Title");
  AppendText(dict, "string", name);
  AppendText(dict, "key", "WebBookmarkType");
  AppendText(dict, "string", "WebBookmarkTypeList");
  AppendText(dict, "key", "WebBookmarkUUID");
  AppendText(dict, "string", NewGid());
  index.folderArrays.emplace(name, array);
  return array;
}

void TSafariOjb::WritePlistBookmark(Node bookmark, Node target) {
  const std::string url = AttributeText(bookmark, "url");
  const std::string name = AttributeText(bookmark, "name");
  TargetIndex& index = IndexOf(target);
  if (!index.bookmarkUrls.insert(url).second)
    return;
  Node dict = target.append_child("dict");
  AppendText(dict, "key", "URIDictionary");
  Node inner = dict.append_child("dict");
  AppendText(inner, "key", "");
  AppendText(inner, "string", url);
  AppendText(inner, "key", "title");
  AppendText(inner, "string", name);
  AppendText(dict, "key", "URLString");
  AppendText(dict, "string", url);
  AppendText(dict, "key", "WebBookmarkType");
  AppendText(dict, "string", "WebBookmarkTypeLeaf");
  AppendText(dict, "key", "WebBookmarkUUID");
  AppendText(dict, "string", NewGid());
}

} // namespace quillary
