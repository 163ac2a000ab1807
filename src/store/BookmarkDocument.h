#pragma once

#include "base/NestingLimit.h"

#include <cstddef>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>

// The bookmark document: a tree of folder and url elements under a root folder "bookmarks".
// Element names are read without regard to ASCII case; attribute values are plain UTF-8 text.
namespace quillary {

using BookmarkDocument = pugi::xml_document;
using Node = pugi::xml_node;

enum class ElementKind { Folder, Bookmark, Other };

// A fresh identifier: a random GUID as 36 upper-case characters with hyphens, without braces.
std::string NewGid();

// A new document with the declaration and the root folder "bookmarks" carrying a fresh gid.
std::unique_ptr<BookmarkDocument> NewBookmarkDocument(std::string_view encoding = "UTF-8");

// Sets an empty document up as NewBookmarkDocument does, with the given root gid. Fails when the
// document already holds a root element.
void SetUpBookmarkDocument(BookmarkDocument& document, std::string_view encoding,
                           const std::string& rootGid);

// The root element, or an empty node for an empty document.
Node Root(const BookmarkDocument& document);

// Folder, bookmark or other, by the element name compared without regard to ASCII case.
ElementKind KindOf(Node node);
inline bool IsFolder(Node node) {
  return KindOf(node) == ElementKind::Folder;
}
inline bool IsBookmark(Node node) {
  return KindOf(node) == ElementKind::Bookmark;
}

// The exact lower-case names, for the readers that accept nothing else.
bool IsExactFolder(Node node);
bool IsExactBookmark(Node node);

// An attribute's text; empty when absent. The pointer form copies nothing.
std::string GetAttribute(Node node, const char* name);
const char* AttributeText(Node node, const char* name);

// Creates or replaces an attribute; a new attribute goes after the existing ones.
void SetAttribute(Node node, const char* name, std::string_view value);

// Adds an element after the last child of parent, or before the child at index (at the end when
// index is past the last child), and returns it.
Node AppendElement(Node parent, const char* tag);
Node InsertElementAt(Node parent, const char* tag, std::size_t index);

// Removes an element with its whole subtree.
void RemoveElement(Node element);

// The number of folder and bookmark levels below node (0 for a folder without children).
std::size_t NestingDepth(Node node);

// Fails with NestedTooDeep(subject) when the document nests deeper than kMaxFolderDepth.
void CheckNestingDepth(const BookmarkDocument& document,
                       std::string_view subject = "The collection");

// The document in its stored XML text form: declaration, root on its own line, two spaces of
// indentation per level, CR LF line ends.
std::string Serialise(const BookmarkDocument& document);

// Replaces the document's content by the tree parsed from the bytes. Fails with the parser's
// error text and leaves the document empty when the bytes are not a well-formed document.
void Parse(BookmarkDocument& document, std::string_view bytes);

} // namespace quillary
