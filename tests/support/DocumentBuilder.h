#pragma once

#include "store/BookmarkDocument.h"

#include <string>

// Building and describing small documents in tests.
namespace quillary::test {

Node AddFolder(Node parent, const char* name, const char* tag = "folder");
Node AddBookmark(Node parent, const char* name, const char* url, const char* tag = "url");

// The tree below parent in one line: name[children] for a folder, name<url> for a bookmark,
// siblings separated by commas.
std::string Outline(Node parent);

} // namespace quillary::test
