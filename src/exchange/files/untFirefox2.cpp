#include "exchange/files/untFirefox2.h"

#include "base/Error.h"
#include "base/NestingLimit.h"
#include "base/Text.h"
#include "exchange/files/HtmlCharacterReferences.h"
#include "exchange/files/LegacyCharsets.h"
#include "platform/Files.h"
#include "store/DocumentWalk.h"

#include <string_view>
#include <vector>

namespace quillary {

namespace {

constexpr std::string_view kHeader =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
    "<!-- This is an automatically generated file.\r\n"
    "It will be read and overwritten.\r\n"
    "DO NOT EDIT! -->\r\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
    "<TITLE>Bookmarks</TITLE>\r\n"
    "<H1 LAST_MODIFIED=\"1228094300\">Bookmarks</H1>\r\n"
    "<DL><p>\r\n"
    "<DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\" ID=\"\"></H3><DL><p></DL><p>";
static_assert(kHeader.size() == 352);

const THTMLTag* TagAt(const THTMLParser& parser, std::size_t index) {
  return index < parser.Items.size() ? std::get_if<THTMLTag>(&parser.Items[index]) : nullptr;
}

const THTMLText* TextAt(const THTMLParser& parser, std::size_t index) {
  return index < parser.Items.size() ? std::get_if<THTMLText>(&parser.Items[index]) : nullptr;
}

bool NameIs(const THTMLItem& name, std::string_view upperCase) {
  return EqualsIgnoringAsciiCase(name.View(), upperCase);
}

const THTMLParam* FindParam(const THTMLTag& tag, std::string_view upperCase) {
  for (const THTMLParam& param : tag.Params)
    if (NameIs(param.Name, upperCase))
      return &param;
  return nullptr;
}

// Whether an "H3" has a list of its own: the first tag after it that is not its "/H3", a
// description or a paragraph is a "DL". Some browsers write an empty folder as a bare "H3".
bool OpensOwnList(const THTMLParser& parser, std::size_t h3) {
  for (std::size_t j = h3 + 1; j < parser.Items.size(); ++j) {
    const THTMLTag* tag = TagAt(parser, j);
    if (!tag)
      continue;
    if (NameIs(tag->Name, "/H3") || NameIs(tag->Name, "DD") || NameIs(tag->Name, "P"))
      continue;
    return NameIs(tag->Name, "DL");
  }
  return false;
}

// The text the importer works on: UTF-8 as it stands, else decoded from the page's charset,
// wrapped so that the tokenizer always tokenizes.
std::string ImportText(std::string bytes) {
  if (!IsWellFormedUtf8(bytes))
    bytes = html::DecodeLegacyText(bytes);
  std::string text;
  text.reserve(bytes.size() + 13);
  text += "<body>";
  text += bytes;
  text += "</body>";
  return text;
}

void AppendFolderStart(Node folder, std::string& out) {
  out += "<DT><H3 ";
  if (folder.attribute("PERSONAL_TOOLBAR_FOLDER"))
    out += "PERSONAL_TOOLBAR_FOLDER=\"true\"";
  out += " ID=\"\">";
  std::string repaired;
  html::AppendEscapedMarkup(out, AsUtf8(AttributeText(folder, "name"), repaired));
  out += "</H3>\r\n<DL><p>\r\n";
}

void AppendBookmark(Node bookmark, std::string& out) {
  out += "<DT><A HREF=\"";
  std::string repaired;
  html::AppendEscapedMarkup(out, AsUtf8(AttributeText(bookmark, "url"), repaired));
  out += "\" ID=\"\">";
  html::AppendEscapedMarkup(out, AsUtf8(AttributeText(bookmark, "name"), repaired));
  out += "</A>\r\n";
}

constexpr std::string_view kListEnd = "</DL><p>\r\n";

} // namespace

const std::string& TFirefox2Ojb::Header() {
  static const std::string header(kHeader);
  return header;
}

std::size_t TFirefox2Ojb::ReadItems(const THTMLParser& parser, std::size_t start, Node parent) {
  // One level per open folder, kept here rather than on the call stack so that a hostile depth
  // of nesting cannot exhaust it.
  struct Level {
    Node folder;
    std::size_t unnamedLists = 0; // open lists of unnamed "H3"s that belong to this level
  };
  std::vector<Level> levels{{parent}};
  const std::size_t count = parser.Items.size();
  for (std::size_t i = start; i < count; ++i) {
    const THTMLTag* tag = TagAt(parser, i);
    if (!tag)
      continue;
    Level& level = levels.back();
    // What is appended here lies levels.size() levels below the root.
    if (levels.size() > kMaxFolderDepth && (NameIs(tag->Name, "H3") || NameIs(tag->Name, "A")))
      throw NestedTooDeep("The bookmark file");
    if (NameIs(tag->Name, "H3")) {
      const THTMLText* title = TextAt(parser, i + 1);
      if (!title)
        title = TextAt(parser, i + 2);
      const std::string name =
          title ? html::DecodeCharacterReferences(title->View()) : std::string();
      if (name.empty()) {
        // Nothing is created; the folder's bookmarks go into the current one.
        if (OpensOwnList(parser, i))
          ++level.unnamedLists;
        continue;
      }
      Node folder = AppendElement(level.folder, "folder");
      SetAttribute(folder, "name", name);
      SetAttribute(folder, "gid", NewGid());
      if (FindParam(*tag, "PERSONAL_TOOLBAR_FOLDER"))
        SetAttribute(folder, "PERSONAL_TOOLBAR_FOLDER", "true");
      // Without a list the folder stays empty, and what follows belongs to the current level.
      if (OpensOwnList(parser, i))
        levels.push_back({folder});
    } else if (NameIs(tag->Name, "/DL")) {
      if (level.unnamedLists > 0) {
        --level.unnamedLists;
      } else if (levels.size() > 1) {
        levels.pop_back();
      } else {
        return i;
      }
    } else if (NameIs(tag->Name, "A")) {
      Node bookmark = AppendElement(level.folder, "url");
      if (const THTMLText* title = TextAt(parser, i + 1))
        SetAttribute(bookmark, "name", html::DecodeCharacterReferences(title->View()));
      if (const THTMLParam* href = FindParam(*tag, "HREF"))
        SetAttribute(bookmark, "url", html::DecodeCharacterReferences(href->Value.View()));
      SetAttribute(bookmark, "gid", NewGid());
    }
  }
  return count;
}

std::unique_ptr<BookmarkDocument> TFirefox2Ojb::ImportBookmarks() {
  std::string bytes;
  bytes = platform::ReadFileChecked(SourcePath);
  auto document = NewBookmarkDocument("utf-8");
  THTMLParser parser;
  parser.Source = ImportText(std::move(bytes));
  parser.Parse();
  try {
    ReadItems(parser, 0, Root(*document));
  } catch (const NestingError&) {
    throw NestedTooDeep("The file \"" + SourcePath + "\"");
  }
  return document;
}

void TFirefox2Ojb::WriteSiblings(Node node, std::string& out) {
  struct Writer {
    std::string& out;
    void EnterFolder(Node folder, std::size_t) { AppendFolderStart(folder, out); }
    void LeaveFolder(Node, std::size_t) { out += kListEnd; }
    void Bookmark(Node bookmark, std::size_t) { AppendBookmark(bookmark, out); }
  };
  WalkSiblings(node, Writer{out});
}

void TFirefox2Ojb::ExportBookmarks(BookmarkDocument& document) {
  const Node root = Root(document);
  // Writing nothing over the browser's file would lose its bookmarks; refuse instead.
  if (!root)
    throw Error("The document has no root element.");
  std::string out(kHeader);
  WriteSiblings(root.first_child(), out);
  out += kListEnd;
  out += "\r\n";
  platform::WriteFileChecked(SourcePath, out);
}

} // namespace quillary
