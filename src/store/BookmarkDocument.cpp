#include "store/BookmarkDocument.h"

#include "base/Error.h"
#include "base/Text.h"
#include "platform/Platform.h"
#include "store/DocumentWalk.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quillary {

namespace {

// Turns every LF that pugixml writes between nodes into CR LF. Attribute values never hold a
// literal line break (they are written as character references), so nothing else changes.
class CrLfWriter final : public pugi::xml_writer {
public:
  explicit CrLfWriter(std::string& out) : out_(out) {}
  void write(const void* data, size_t size) override {
    const char* begin = static_cast<const char*>(data);
    const char* end = begin + size;
    while (begin < end) {
      const char* lf = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
      if (!lf) {
        out_.append(begin, end);
        break;
      }
      out_.append(begin, lf);
      out_.append("\r\n");
      begin = lf + 1;
    }
  }

private:
  std::string& out_;
};

} // namespace

std::string NewGid() {
  static constexpr char digits[] = "0123456789ABCDEF";
  const platform::GuidBytes bytes = platform::Current().GetGuids().NewGuid();
  std::string gid;
  gid.reserve(36);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10)
      gid.push_back('-');
    gid.push_back(digits[bytes[i] >> 4]);
    gid.push_back(digits[bytes[i] & 0x0F]);
  }
  return gid;
}

void SetUpBookmarkDocument(BookmarkDocument& document, std::string_view encoding,
                           const std::string& rootGid) {
  if (document.document_element())
    throw Error("The document already has a root element.");
  Node declaration = document.prepend_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  declaration.append_attribute("encoding").set_value(std::string(encoding).c_str());
  Node root = document.append_child("folder");
  SetAttribute(root, "name", "bookmarks");
  SetAttribute(root, "gid", rootGid);
}

std::unique_ptr<BookmarkDocument> NewBookmarkDocument(std::string_view encoding) {
  auto document = std::make_unique<BookmarkDocument>();
  SetUpBookmarkDocument(*document, encoding, NewGid());
  return document;
}

Node Root(const BookmarkDocument& document) {
  return document.document_element();
}

ElementKind KindOf(Node node) {
  if (node.type() != pugi::node_element)
    return ElementKind::Other;
  const char* name = node.name();
  if (EqualsIgnoringAsciiCase(name, "folder"))
    return ElementKind::Folder;
  if (EqualsIgnoringAsciiCase(name, "url"))
    return ElementKind::Bookmark;
  return ElementKind::Other;
}

bool IsExactFolder(Node node) {
  return node.type() == pugi::node_element && std::strcmp(node.name(), "folder") == 0;
}

bool IsExactBookmark(Node node) {
  return node.type() == pugi::node_element && std::strcmp(node.name(), "url") == 0;
}

std::string GetAttribute(Node node, const char* name) {
  return AttributeText(node, name);
}

const char* AttributeText(Node node, const char* name) {
  return node.attribute(name).as_string("");
}

void SetAttribute(Node node, const char* name, std::string_view value) {
  pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute)
    attribute = node.append_attribute(name);
  attribute.set_value(value.data(), value.size());
}

Node AppendElement(Node parent, const char* tag) {
  return parent.append_child(tag);
}

Node InsertElementAt(Node parent, const char* tag, std::size_t index) {
  Node before = parent.first_child();
  for (std::size_t i = 0; before && i < index; ++i)
    before = before.next_sibling();
  return before ? parent.insert_child_before(tag, before) : parent.append_child(tag);
}

void RemoveElement(Node element) {
  element.parent().remove_child(element);
}

std::size_t NestingDepth(Node node) {
  struct Deepest {
    std::size_t depth = 0;
    void EnterFolder(Node, std::size_t level) { depth = std::max(depth, level); }
    void Bookmark(Node, std::size_t level) { depth = std::max(depth, level); }
  } deepest;
  WalkTree(node, deepest);
  return deepest.depth;
}

void CheckNestingDepth(const BookmarkDocument& document, std::string_view subject) {
  try {
    // The walk itself refuses what lies too deep.
    if (Node root = Root(document))
      WalkTree(root, [] {});
  } catch (const NestingError&) {
    throw NestedTooDeep(subject);
  }
}

std::string Serialise(const BookmarkDocument& document) {
  if (!document.document_element())
    throw Error("The document has no root element.");
  std::string out;
  CrLfWriter writer(out);
  // The declaration, when there is one, is a node of the document; none is added.
  document.save(writer, "  ", pugi::format_indent | pugi::format_no_declaration,
                pugi::encoding_utf8);
  return out;
}

void Parse(BookmarkDocument& document, std::string_view bytes) {
  document.reset();
  pugi::xml_parse_result result =
      document.load_buffer(bytes.data(), bytes.size(),
                           pugi::parse_default | pugi::parse_declaration, pugi::encoding_auto);
  if (!result) {
    document.reset();
    throw Error(std::string(result.description()) + " at offset " + std::to_string(result.offset));
  }
  size_t elements = 0;
  for (Node child : document.children())
    if (child.type() == pugi::node_element)
      ++elements;
  if (elements != 1) {
    document.reset();
    throw Error(elements == 0 ? "No document element found"
                              : "More than one document element found");
  }
}

} // namespace quillary
