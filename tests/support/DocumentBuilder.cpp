#include "support/DocumentBuilder.h"

namespace quillary::test {

Node AddFolder(Node parent, const char* name, const char* tag) {
  Node folder = AppendElement(parent, tag);
  SetAttribute(folder, "name", name);
  SetAttribute(folder, "gid", NewGid());
  return folder;
}

Node AddBookmark(Node parent, const char* name, const char* url, const char* tag) {
  Node bookmark = AppendElement(parent, tag);
  SetAttribute(bookmark, "name", name);
  SetAttribute(bookmark, "url", url);
  SetAttribute(bookmark, "gid", NewGid());
  return bookmark;
}

std::string Outline(Node parent) {
  std::string out;
  for (Node child = parent.first_child(); child; child = child.next_sibling()) {
    if (!out.empty())
      out += ",";
    out += GetAttribute(child, "name");
    if (IsFolder(child))
      out += "[" + Outline(child) + "]";
    else
      out += "<" + GetAttribute(child, "url") + ">";
  }
  return out;
}

} // namespace quillary::test
