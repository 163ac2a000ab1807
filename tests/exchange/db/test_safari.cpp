#include "base/Error.h"
#include "exchange/db/untSafari.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <sstream>

using namespace quillary;

namespace {

// A folder as "name{...}", a bookmark as "name<url>", siblings separated by blanks.
std::string Describe(Node parent) {
  std::string text;
  for (Node child : parent.children()) {
    if (!text.empty())
      text += " ";
    if (IsFolder(child))
      text += GetAttribute(child, "name") + "{" + Describe(child) + "}";
    else
      text += GetAttribute(child, "name") + "<" + GetAttribute(child, "url") + ">";
  }
  return text;
}

std::string Plist(std::string_view topDictBody) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n<dict>\n" +
         std::string(topDictBody) + "</dict>\n</plist>\n";
}

// Old-shape dictionaries, as earlier Safari versions wrote them.
std::string Leaf(std::string_view title, std::string_view url) {
  return "<dict><key>URIDictionary</key><dict><key></key><string>" + std::string(url) +
         "</string><key>title</key><string>" + std::string(title) +
         "</string></dict><key>URLString</key><string>" + std::string(url) +
         "</string><key>WebBookmarkType</key><string>WebBookmarkTypeLeaf</string></dict>\n";
}

std::string List(std::string_view title, std::string_view children) {
  return "<dict><key>Children</key><array>" + std::string(children) +
         "</array><key>Title</key><string>" + std::string(title) +
         "</string><key>WebBookmarkType</key><string>WebBookmarkTypeList</string></dict>\n";
}

// A top dictionary without a title: its children go straight under the root.
std::string TopLevel(std::string_view children) {
  return Plist("<key>Children</key><array>" + std::string(children) +
               "</array><key>WebBookmarkGroupVersionString</key><string>1.0</string>\n");
}

class SafariTest : public testing::Test {
protected:
  std::unique_ptr<BookmarkDocument> ImportText(std::string_view text) {
    test::WriteFile(path, text);
    return ImportFile(path);
  }
  std::unique_ptr<BookmarkDocument> ImportFile(const std::string& file) {
    TSafariOjb safari;
    safari.SourcePath = file;
    return safari.ImportBookmarks();
  }
  std::string ImportedTree(std::string_view text) { return Describe(Root(*ImportText(text))); }
  void Export(BookmarkDocument& collection, const std::string& file) {
    TSafariOjb safari;
    safari.SourcePath = file;
    safari.ExportBookmarks(collection);
  }

  test::TempDir dir;
  std::string path = dir / "Bookmarks.plist";
};

struct ImportCase {
  const char* name;
  std::string plist;
  const char* tree;
};

TEST_F(SafariTest, ImportReadsEachShape) {
  const ImportCase cases[] = {
      {"top dictionary with an empty title is one folder holding everything",
       Plist("<key>Children</key><array>" + Leaf("A", "http://a/") +
             "</array><key>Title</key><string></string>\n"),
       "{A<http://a/>}"},
      {"group version string without a title: children under the root",
       TopLevel(Leaf("A", "http://a/") + List("F", Leaf("B", "http://b/"))),
       "A<http://a/> F{B<http://b/>}"},
      {"group version string after a title does not matter",
       Plist("<key>Children</key><array>" + Leaf("A", "http://a/") +
             "</array><key>Title</key><string>T</string>"
             "<key>WebBookmarkGroupVersionString</key><string>1.0</string>\n"),
       "T{A<http://a/>}"},
      {"folder without Children, non-dictionaries and unknown dictionaries are ignored",
       TopLevel("<dict><key>Title</key><string>History</string><key>WebBookmarkType</key>"
                "<string>WebBookmarkTypeProxy</string></dict><string>x</string><integer>1"
                "</integer><dict><key>Other</key><array>" +
                Leaf("Lost", "http://lost/") + "</array></dict>" + Leaf("A", "http://a/")),
       "A<http://a/>"},
      {"folder whose title is not a string adds nothing",
       TopLevel("<dict><key>Children</key><array>" + Leaf("A", "http://a/") +
                "</array><key>Title</key><integer>5</integer></dict>"),
       ""},
      {"the last array before the title holds the contents",
       TopLevel("<dict><key>Children</key><array>" + Leaf("A", "http://a/") +
                "</array><key>Extra</key><array>" + Leaf("B", "http://b/") +
                "</array><key>Title</key><string>F</string></dict>"),
       "F{B<http://b/>}"},
      {"bookmark without a title entry adds nothing",
       TopLevel("<dict><key>URIDictionary</key><dict><key></key><string>http://a/</string>"
                "</dict></dict>"),
       ""},
      {"the empty key gives the address, not URLString",
       TopLevel("<dict><key>URIDictionary</key><dict><key></key><string>http://inner/</string>"
                "<key>title</key><string>A</string></dict><key>URLString</key>"
                "<string>http://outer/</string></dict>"),
       "A<http://inner/>"},
      {"an empty key after the title leaves the address empty",
       TopLevel("<dict><key>URIDictionary</key><dict><key>title</key><string>A</string>"
                "<key></key><string>http://late/</string></dict><key>URLString</key>"
                "<string>http://outer/</string></dict>"),
       "A<>"},
      {"Generation first, then the first dictionary after it",
       TopLevel("<dict><key>Generation</key><integer>2</integer><key>URIDictionary</key><dict>"
                "<key></key><string>http://g/</string><key>title</key><string>G</string></dict>"
                "</dict>"),
       "G<http://g/>"},
      {"title that is not a string gives an empty name",
       TopLevel("<dict><key>URIDictionary</key><dict><key></key><string>http://a/</string>"
                "<key>title</key><integer>1</integer></dict></dict>"),
       "<http://a/>"},
      {"address only under URLString is taken from there",
       TopLevel("<dict><key>URIDictionary</key><dict><key>title</key><string>A</string></dict>"
                "<key>URLString</key><string>http://only/</string></dict>"),
       "A<http://only/>"},
      {"current leaf with other keys before URIDictionary",
       TopLevel("<dict><key>ReadingListNonSync</key><dict><key>neverFetchMetadata</key><false/>"
                "</dict><key>URIDictionary</key><dict><key>title</key><string>P</string></dict>"
                "<key>URLString</key><string>https://p/</string><key>WebBookmarkType</key>"
                "<string>WebBookmarkTypeLeaf</string></dict>"),
       "P<https://p/>"},
      {"current folder with Children after other keys",
       TopLevel("<dict><key>ShouldOmitFromUI</key><true/><key>Title</key><string>R</string>"
                "<key>Children</key><array>" +
                Leaf("A", "http://a/") + "</array></dict>"),
       "R{A<http://a/>}"},
      {"names and addresses decoded from UTF-8 and character references",
       TopLevel(Leaf("Caf\xC3\xA9 &amp; &lt;b&gt;", "http://x/?a=1&amp;b=2") +
                "<dict><key>URIDictionary</key><dict><key></key><string><![CDATA[http://c/]]>"
                "</string><key>title</key><string>  </string></dict></dict>"),
       "Caf\xC3\xA9 & <b><http://x/?a=1&b=2>   <http://c/>"},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ImportedTree(c.plist), c.tree);
  }
}

TEST_F(SafariTest, ImportBuildsTheDocumentLikeEveryExchanger) {
  auto document = ImportText(TopLevel(List("F", Leaf("A", "http://a/"))));
  Node root = Root(*document);
  EXPECT_STREQ(root.name(), "folder");
  EXPECT_EQ(GetAttribute(root, "name"), "bookmarks");
  const std::regex gid("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  Node folder = root.first_child();
  Node url = folder.first_child();
  std::vector<std::string> folderAttributes, urlAttributes;
  for (auto attribute : folder.attributes())
    folderAttributes.push_back(attribute.name());
  for (auto attribute : url.attributes())
    urlAttributes.push_back(attribute.name());
  EXPECT_EQ(folderAttributes, (std::vector<std::string>{"name", "gid"}));
  EXPECT_EQ(urlAttributes, (std::vector<std::string>{"name", "url", "gid"}));
  EXPECT_TRUE(std::regex_match(GetAttribute(folder, "gid"), gid));
  EXPECT_TRUE(std::regex_match(GetAttribute(url, "gid"), gid));
  EXPECT_NE(GetAttribute(folder, "gid"), GetAttribute(url, "gid"));
}

TEST_F(SafariTest, ImportsTheOldFormatFixture) {
  auto document = ImportFile(test::DataPath("plist/old-format.plist"));
  EXPECT_EQ(Describe(Root(*document)),
            "BookmarksBar{Apple<http://www.apple.com/> "
            "News{Caf\xC3\xA9 & Co<http://www.example.com/caf%C3%A9>}} BookmarksMenu{}");
}

TEST_F(SafariTest, ImportsTheRealSampleWithItsAddresses) {
  QUILLARY_REQUIRE_SAMPLE(sample, "plist/safari-bookmarks-cli__Bookmarks.xml");
  auto document = ImportFile(sample);
  EXPECT_EQ(Describe(Root(*document)),
            "{BookmarksBar{Safari Bookmarks CLI<https://github.com/evilmarty/safari-bookmarks-cli> "
            "Python<https://www.python.org> Safari<http://apple.com/safari>} "
            "com.apple.ReadingList{Linux From Scratch<https://linuxfromscratch.org/lfs/view/"
            "development/> Creating Generative SVG Grids<https://frontend.horse/articles/"
            "generative-grids/>}}");
}

// A collection built in code: folders and bookmarks under the root.
class Collection {
public:
  Collection() : document_(NewBookmarkDocument()) {}
  Node Folder(Node parent, const char* name, const char* tag = "folder") {
    return test::AddFolder(parent, name, tag);
  }
  Node Url(Node parent, const char* name, const char* url, const char* tag = "url") {
    return test::AddBookmark(parent, name, url, tag);
  }
  Node Root() const { return quillary::Root(*document_); }
  BookmarkDocument& Document() { return *document_; }

private:
  std::unique_ptr<BookmarkDocument> document_;
};

// The children of a written dictionary as "key:text" or "element:text" (an array as "array").
std::string Shape(Node dict) {
  std::string shape;
  for (Node child : dict.children()) {
    shape += shape.empty() ? "" : " ";
    shape += child.name();
    if (std::string(child.name()) != "array" && std::string(child.name()) != "dict")
      shape += std::string(":") + child.text().get();
  }
  return shape;
}

TEST_F(SafariTest, ExportAppendsTheSpecifiedShapesAndReadsBack) {
  test::WriteFile(path, TopLevel(Leaf("Existing", "http://e/")));
  Collection c;
  Node folder = c.Folder(c.Root(), "News");
  c.Url(folder, "Caf\xC3\xA9 & <Co>", "http://n/?a=1&b=2");
  c.Url(c.Root(), "", "");
  Export(c.Document(), path);

  const std::string text = test::ReadFile(path);
  EXPECT_TRUE(text.ends_with("</plist>\r\n")) << text;
  EXPECT_NE(text.find("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"),
            std::string::npos);
  pugi::xml_document written;
  ASSERT_TRUE(written.load_string(text.c_str()));
  Node array = written.child("plist").child("dict").child("array");
  std::vector<Node> dicts(array.children("dict").begin(), array.children("dict").end());
  ASSERT_EQ(dicts.size(), 3u);
  const std::regex uuid(" string:[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
  EXPECT_TRUE(std::regex_search(Shape(dicts[1]), uuid));
  EXPECT_EQ(std::regex_replace(Shape(dicts[1]), uuid, ""),
            "key:Children array key:Title string:News key:WebBookmarkType "
            "string:WebBookmarkTypeList key:WebBookmarkUUID");
  EXPECT_EQ(std::regex_replace(Shape(dicts[2]), uuid, ""),
            "key:URIDictionary dict key:URLString string: key:WebBookmarkType "
            "string:WebBookmarkTypeLeaf key:WebBookmarkUUID");
  Node bookmark = dicts[1].child("array").child("dict");
  EXPECT_EQ(Shape(bookmark.child("dict")),
            "key: string:http://n/?a=1&b=2 key:title string:Caf\xC3\xA9 & <Co>");
  EXPECT_EQ(bookmark.child("string").text().get(), std::string("http://n/?a=1&b=2"));

  EXPECT_EQ(Describe(Root(*ImportFile(path))),
            "Existing<http://e/> News{Caf\xC3\xA9 & <Co><http://n/?a=1&b=2>} <>");
}

TEST_F(SafariTest, ExportingTwiceAddsNothing) {
  test::WriteFile(path, test::ReadFile(test::DataPath("plist/old-format.plist")));
  Collection c;
  Node bar = c.Folder(c.Root(), "BookmarksBar");
  c.Url(bar, "Apple again", "http://www.apple.com/"); // already in that folder
  Node news = c.Folder(bar, "News");
  c.Url(news, "New", "http://new/");
  c.Url(c.Folder(c.Root(), "Fresh"), "F", "http://f/");
  Export(c.Document(), path);
  const std::string once = test::ReadFile(path);
  Export(c.Document(), path);
  EXPECT_EQ(test::ReadFile(path), once);
  EXPECT_EQ(
      Describe(Root(*ImportFile(path))),
      "BookmarksBar{Apple<http://www.apple.com/> News{Caf\xC3\xA9 & Co<http://www.example.com/"
      "caf%C3%A9> New<http://new/>}} BookmarksMenu{} Fresh{F<http://f/>}");
}

TEST_F(SafariTest, ExportIntoTheRealSampleTwiceAddsNothing) {
  QUILLARY_REQUIRE_SAMPLE(sample, "plist/safari-bookmarks-cli__Bookmarks.xml");
  test::WriteFile(path, test::ReadFile(sample));
  // The top dictionary's own title makes the import one folder; what it holds is the top array.
  auto imported = ImportFile(sample);
  Collection collection;
  for (Node child : Root(*imported).first_child().children())
    collection.Root().append_copy(child);
  Export(collection.Document(), path); // everything is there already
  const std::string once = test::ReadFile(path);
  Export(collection.Document(), path);
  EXPECT_EQ(test::ReadFile(path), once);
  EXPECT_EQ(Describe(Root(*ImportFile(path))), Describe(Root(*imported)));
  // Nothing of the file was lost on the way: the same tree with every key and value.
  pugi::xml_document before, after;
  ASSERT_TRUE(before.load_file(sample.c_str()));
  ASSERT_TRUE(after.load_file(path.c_str()));
  std::ostringstream a, b;
  before.save(a, "", pugi::format_raw);
  after.save(b, "", pugi::format_raw);
  EXPECT_EQ(b.str(), a.str());
}

TEST_F(SafariTest, ExportFindsDuplicatesOnlyAmongTheTargetsChildren) {
  test::WriteFile(path, TopLevel(List("Same", Leaf("Early", "http://early/")) +
                                 List("Same", Leaf("Late", "http://late/")) +
                                 List("Other", Leaf("X", "http://x/"))));
  Collection c;
  c.Url(c.Root(), "X at the top", "http://x/"); // only in another folder: added
  c.Url(c.Folder(c.Root(), "Same"), "Into the later", "http://late/");
  Node twice = c.Folder(c.Root(), "Twice");
  c.Url(twice, "First", "http://dup/");
  c.Url(twice, "Second", "http://dup/");
  c.Url(c.Folder(c.Root(), "Twice"), "From the second", "http://second/");
  Node skipped = c.Folder(c.Root(), "Caps", "Folder");
  c.Url(skipped, "Inside", "http://inside/");
  c.Url(c.Root(), "Upper", "http://upper/", "URL");
  Export(c.Document(), path);
  EXPECT_EQ(Describe(Root(*ImportFile(path))),
            "Same{Early<http://early/>} Same{Late<http://late/>} Other{X<http://x/>} "
            "X at the top<http://x/> Twice{First<http://dup/> From the second<http://second/>}");
}

TEST_F(SafariTest, ExportOfAnEmptyCollectionStillRewritesTheFile) {
  const std::string original = TopLevel("");
  test::WriteFile(path, original);
  Collection c;
  Export(c.Document(), path);
  const std::string text = test::ReadFile(path);
  EXPECT_NE(text, original); // rewritten in our layout
  EXPECT_TRUE(text.ends_with("</plist>\r\n"));
  EXPECT_EQ(ImportedTree(text), "");
}

TEST_F(SafariTest, ExportKeepsWhitespaceValuesAndWritesAProxyTitleNextToIt) {
  test::WriteFile(path, TopLevel("<dict><key>Title</key><string>History</string></dict>"
                                 "<dict><key>Children</key><array>\n  </array><key>Title</key>"
                                 "<string> </string></dict>"));
  Collection c;
  c.Url(c.Folder(c.Root(), "History"), "H", "http://h/"); // the proxy has no list to write into
  c.Url(c.Folder(c.Root(), " "), "Blank", "http://blank/");
  Export(c.Document(), path);
  EXPECT_EQ(Describe(Root(*ImportFile(path))), " {Blank<http://blank/>} History{H<http://h/>}");
}

// The lookups as plain scans over the target's children, the way the index must answer them.
namespace plain {

bool IsKey(Node node, const char* text) {
  return std::string(node.name()) == "key" && std::string(node.text().get()) == text;
}

Node ValueOf(Node dict, const char* key) {
  for (Node child : dict.children())
    if (IsKey(child, key))
      return child.next_sibling();
  return {};
}

bool IsBookmarkDict(Node dict) {
  Node first = dict.first_child();
  return IsKey(first, "URIDictionary") || IsKey(first, "Generation") ||
         (!IsKey(first, "Children") &&
          std::string(ValueOf(dict, "WebBookmarkType").text().get()) == "WebBookmarkTypeLeaf");
}

Node Append(Node dict, const char* name, const std::string& text) {
  Node element = dict.append_child(name);
  if (!text.empty())
    element.text().set(text.c_str());
  return element;
}

Node Folder(Node folder, Node target) {
  const std::string name = GetAttribute(folder, "name");
  Node result;
  for (Node dict : target.children("dict")) {
    if (IsBookmarkDict(dict))
      continue;
    Node array = dict.child("array");
    if (!IsKey(dict.first_child(), "Children") &&
        ValueOf(dict, "Children").name() == std::string("array"))
      array = ValueOf(dict, "Children");
    for (Node child : dict.children())
      if (IsKey(child, "Title") && std::string(child.next_sibling().name()) == "string" &&
          child.next_sibling().text().get() == name && array)
        result = array; // the last match wins
  }
  if (result)
    return result;
  Node dict = target.append_child("dict");
  Append(dict, "key", "Children");
  result = dict.append_child("array");
  Append(dict, "key", "Title");
  Append(dict, "string", name);
  Append(dict, "key", "WebBookmarkType");
  Append(dict, "string", "WebBookmarkTypeList");
  Append(dict, "key", "WebBookmarkUUID");
  Append(dict, "string", NewGid());
  return result;
}

void Bookmark(Node bookmark, Node target) {
  const std::string url = GetAttribute(bookmark, "url");
  for (Node dict : target.children("dict")) {
    if (IsKey(dict.first_child(), "Children") || !IsBookmarkDict(dict))
      continue;
    for (Node child : dict.children())
      if (IsKey(child, "URLString") && child.next_sibling() &&
          child.next_sibling().text().get() == url)
        return;
  }
  Node dict = target.append_child("dict");
  Append(dict, "key", "URIDictionary");
  Node inner = dict.append_child("dict");
  Append(inner, "key", "");
  Append(inner, "string", url);
  Append(inner, "key", "title");
  Append(inner, "string", GetAttribute(bookmark, "name"));
  Append(dict, "key", "URLString");
  Append(dict, "string", url);
  Append(dict, "key", "WebBookmarkType");
  Append(dict, "string", "WebBookmarkTypeLeaf");
  Append(dict, "key", "WebBookmarkUUID");
  Append(dict, "string", NewGid());
}

void Level(Node first, Node target) {
  for (Node node = first; node; node = node.next_sibling()) {
    if (IsExactFolder(node)) {
      Node array = Folder(node, target);
      if (node.first_child())
        Level(node.first_child(), array);
    } else if (IsExactBookmark(node)) {
      Bookmark(node, target);
    }
  }
}

} // namespace plain

// Small random trees over few names and addresses, so that titles and addresses repeat.
class RandomTrees {
public:
  explicit RandomTrees(unsigned seed) : random_(seed) {}

  std::string Plist() { return TopLevel(Entries(3)); }

  void Fill(Collection& collection, Node parent, int depth) {
    const int count = Pick(5);
    for (int i = 0; i < count; ++i) {
      if (depth > 0 && Pick(3) == 0)
        Fill(collection, collection.Folder(parent, Name(), Pick(8) ? "folder" : "Folder"),
             depth - 1);
      else
        collection.Url(parent, Name(), Address());
    }
  }

private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  const char* Name() {
    static const char* names[] = {"A", "B", "C"};
    return names[Pick(3)];
  }
  const char* Address() {
    static const char* urls[] = {"http://1/", "http://2/", "http://3/", ""};
    return urls[Pick(4)];
  }
  std::string Entries(int depth) {
    std::string entries;
    const int count = Pick(5);
    for (int i = 0; i < count; ++i) {
      switch (depth > 0 ? Pick(5) : Pick(2)) {
      case 0:
        entries += Leaf(Name(), Address());
        break;
      case 1: // the current shape, other keys first
        entries += std::string("<dict><key>ReadingListNonSync</key><dict/><key>URIDictionary</key>"
                               "<dict><key>title</key><string>") +
                   Name() + "</string></dict><key>URLString</key><string>" + Address() +
                   "</string><key>WebBookmarkType</key><string>WebBookmarkTypeLeaf</string>"
                   "</dict>";
        break;
      case 2:
        entries += List(Name(), Entries(depth - 1));
        break;
      case 3: // a current folder, Children after its title
        entries += std::string("<dict><key>Title</key><string>") + Name() +
                   "</string><key>Children</key><array>" + Entries(depth - 1) + "</array></dict>";
        break;
      default: // a proxy without a list
        entries += std::string("<dict><key>Title</key><string>") + Name() + "</string></dict>";
      }
    }
    return entries;
  }

  std::mt19937 random_;
};

std::string WithoutUuids(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, "", pugi::format_raw | pugi::format_no_declaration);
  static const std::regex uuid("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  return std::regex_replace(out.str(), uuid, "UUID");
}

TEST_F(SafariTest, IndexedLookupsGiveWhatThePlainScansGive) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    RandomTrees trees(seed);
    const std::string file = trees.Plist();
    Collection collection;
    trees.Fill(collection, collection.Root(), 3);

    pugi::xml_document expected;
    ASSERT_TRUE(expected.load_string(file.c_str()));
    plain::Level(collection.Root().first_child(),
                 expected.child("plist").child("dict").child("array"));

    test::WriteFile(path, file);
    Export(collection.Document(), path);
    pugi::xml_document written;
    ASSERT_TRUE(written.load_file(path.c_str()));
    ASSERT_EQ(WithoutUuids(written), WithoutUuids(expected));
  }
}

// A binary property list of the given objects (their encoded bytes), the first one on top.
std::string BinaryPlist(const std::vector<std::string>& objects, unsigned refSize = 2) {
  std::string bytes = "bplist00";
  std::vector<uint64_t> offsets;
  for (const std::string& object : objects) {
    offsets.push_back(bytes.size());
    bytes += object;
  }
  const uint64_t table = bytes.size();
  auto bigEndian = [&](uint64_t value, unsigned size) {
    for (unsigned i = size; i-- > 0;)
      bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  };
  for (uint64_t offset : offsets)
    bigEndian(offset, 4);
  bytes.append(6, '\0');
  bytes.push_back(4);
  bytes.push_back(static_cast<char>(refSize));
  bigEndian(objects.size(), 8);
  bigEndian(0, 8);
  bigEndian(table, 8);
  return bytes;
}

// An array object of the given references, written with refSize bytes each.
std::string BinaryArray(const std::vector<uint64_t>& refs, unsigned refSize = 2) {
  std::string object;
  if (refs.size() < 15) {
    object.push_back(static_cast<char>(0xA0 | refs.size()));
  } else {
    object += "\xAF\x12"; // the count as a four-byte integer
    for (unsigned i = 4; i-- > 0;)
      object.push_back(static_cast<char>(refs.size() >> (8 * i) & 0xFF));
  }
  for (uint64_t ref : refs)
    for (unsigned i = refSize; i-- > 0;)
      object.push_back(static_cast<char>(ref >> (8 * i) & 0xFF));
  return object;
}

struct MalformedCase {
  const char* name;
  std::string bytes;
  const char* message; // part of the error text
  bool importFails;
};

std::vector<MalformedCase> MalformedCases() {
  std::vector<MalformedCase> cases = {
      {"not XML", "this is not < xml", "is not well-formed XML", true},
      {"truncated", TopLevel(Leaf("A", "http://a/")).substr(0, 300), "is not well-formed XML",
       true},
      {"a key without a value",
       TopLevel("<dict><key>Children</key><key>Title</key><string>E</string></dict>"),
       "is not well-formed XML", true},
      {"entities declared in the document type",
       "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
       "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><plist><dict><key>Children</key><array/><key>Title"
       "</key><string>&b;</string></dict></plist>",
       "is not well-formed XML", true},
      {"binary property list cut short", std::string("bplist00\xD6\x01\x02", 11),
       "binary property list", true},
      {"binary list that holds itself", BinaryPlist({BinaryArray({1}), BinaryArray({0})}),
       "is not a well-formed binary property list", true},
      {"no plist element", "<?xml version=\"1.0\"?>\n<dict><key>Children</key><array/></dict>\n",
       "no plist element", true},
      {"no top dictionary", "<plist version=\"1.0\"><array/></plist>", "no top dictionary", false},
      {"no array in the top dictionary",
       "<plist version=\"1.0\"><dict><key>Title</key><string>T</string></dict></plist>",
       "no bookmark list", false},
  };
  // A "Children" key split by thousands of elements, before thousands of lists.
  std::string split = "<dict><key>Chil";
  for (int i = 0; i < 20000; ++i)
    split += "<b/>";
  split += "dren</key>";
  for (int i = 0; i < 20000; ++i)
    split += "<array/>";
  cases.push_back(
      {"a key split by elements", TopLevel(split + "</dict>"), "is not well-formed XML", true});
  // Each level holds the next one twice: 2^40 entries once expanded.
  std::vector<std::string> shared;
  for (uint64_t level = 0; level < 40; ++level)
    shared.push_back(BinaryArray({level + 1, level + 1}));
  shared.push_back("\x51x");
  cases.push_back({"binary lists that share lists", BinaryPlist(shared),
                   "refers to the same entries too often", true});
  std::vector<std::string> deep;
  for (uint64_t level = 0; level < 30000; ++level)
    deep.push_back(BinaryArray({level + 1}));
  deep.push_back("\x51x");
  cases.push_back({"binary lists nested 30,000 deep", BinaryPlist(deep),
                   "is nested deeper than 10,000 folders", true});
  // Within the limit, but so many entries so deep that reading them would take minutes.
  std::vector<std::string> deepAndWide;
  for (uint64_t level = 0; level < 15000; ++level)
    deepAndWide.push_back(BinaryArray({level + 1}));
  deepAndWide.push_back(BinaryArray(std::vector<uint64_t>(200000, 15001)));
  deepAndWide.push_back("\x51x");
  cases.push_back({"binary lists deep and wide", BinaryPlist(deepAndWide),
                   "holds too many entries nested too deeply", true});
  return cases;
}

TEST_F(SafariTest, MalformedFilesFailClearlyAndStayByteForByte) {
  for (const MalformedCase& c : MalformedCases()) {
    SCOPED_TRACE(c.name);
    test::WriteFile(path, c.bytes);
    Collection collection;
    collection.Url(collection.Root(), "A", "http://a/");
    EXPECT_THAT([&] { Export(collection.Document(), path); },
                testing::ThrowsMessage<Error>(
                    testing::AllOf(testing::HasSubstr(c.message), testing::HasSubstr(path))));
    EXPECT_EQ(test::ReadFile(path), c.bytes);
    if (c.importFails)
      EXPECT_THAT([&] { ImportFile(path); },
                  testing::ThrowsMessage<Error>(testing::HasSubstr(c.message)));
    else
      EXPECT_EQ(Describe(Root(*ImportFile(path))), "");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
      << "a temporary file was left behind";
}

// Safari itself writes the binary form; the file keeps it.
TEST_F(SafariTest, TheRealBinarySampleImportsWholeAndStaysBinary) {
  QUILLARY_REQUIRE_SAMPLE(sample, "plist/safari-bookmarks-cli__Bookmarks.bin");
  auto imported = ImportFile(sample);
  EXPECT_EQ(Describe(Root(*imported)),
            "{BookmarksBar{Safari Bookmarks CLI<https://github.com/evilmarty/safari-bookmarks-cli> "
            "Python<https://www.python.org> Safari<http://apple.com/safari>} BookmarksMenu{} "
            "com.apple.ReadingList{Linux From Scratch<https://linuxfromscratch.org/lfs/view/"
            "development/> Creating Generative SVG Grids<https://frontend.horse/articles/"
            "generative-grids/>}}");
  test::WriteFile(path, test::ReadFile(sample));
  Collection collection;
  for (Node child : Root(*imported).first_child().children())
    collection.Root().append_copy(child);
  Node added = collection.Folder(collection.Root(), "Added");
  collection.Url(added, "New", "http://new/");
  Export(collection.Document(), path);
  const std::string once = test::ReadFile(path);
  EXPECT_TRUE(once.starts_with("bplist00"));
  Export(collection.Document(), path);
  EXPECT_EQ(test::ReadFile(path), once);
  EXPECT_EQ(Describe(Root(*ImportFile(path))),
            Describe(Root(*imported)).substr(0, Describe(Root(*imported)).size() - 1) +
                " Added{New<http://new/>}}");
}

TEST_F(SafariTest, MissingFileRaisesTheFileErrorAndCreatesNothing) {
  Collection c;
  const auto cannotOpen =
      ::testing::ThrowsMessage<Error>(::testing::StartsWith("Cannot open file"));
  EXPECT_THAT([&] { ImportFile(path); }, cannotOpen);
  EXPECT_THAT([&] { Export(c.Document(), path); }, cannotOpen);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// Folders nested n deep, each holding the next and the innermost one bookmark, n + 1 levels
// below the root.
std::string NestedFolders(int n) {
  std::string deep;
  for (int i = 0; i < n; ++i)
    deep += "<dict><key>Children</key><array>";
  deep += Leaf("A", "http://a/");
  for (int i = 0; i < n; ++i)
    deep += "</array><key>Title</key><string>F</string></dict>";
  return TopLevel(deep);
}

std::size_t DepthOf(Node root) {
  std::size_t depth = 0;
  for (Node node = root.first_child(); node && IsFolder(node); node = node.first_child())
    ++depth;
  return depth;
}

TEST_F(SafariTest, NestingBeyondTheLimitIsRefusedInBothForms) {
  for (int depth : {10000, 20000, 200000}) {
    SCOPED_TRACE(depth);
    EXPECT_THAT([&] { ImportText(NestedFolders(depth)); },
                testing::ThrowsMessage<Error>(
                    testing::HasSubstr("Bookmarks.plist is nested deeper than 10,000 folders.")));
  }
  auto document = ImportText(NestedFolders(9999));
  EXPECT_EQ(DepthOf(Root(*document)), 9999u);
  // The collection as deep as the limit, written into both forms and read back.
  for (const std::string& empty :
       {TopLevel(""), BinaryPlist({"\xD2\x01\x02\x03\x04",
                                   "\x58"
                                   "Children",
                                   "\x5F\x10\x1DWebBookmarkGroupVersionString", "\xA0",
                                   "\x53"
                                   "1.0"},
                                  1)}) {
    SCOPED_TRACE(empty.substr(0, 8));
    test::WriteFile(path, empty);
    Export(*document, path);
    EXPECT_EQ(test::ReadFile(path).starts_with("bplist00"), empty.starts_with("bplist00"));
    EXPECT_LT(test::ReadFile(path).size(), 10'000'000u); // indentation stops growing
    EXPECT_EQ(DepthOf(Root(*ImportFile(path))), 9999u);
  }
}

// Every rule looks at each entry a bounded number of times, however wide a dictionary or list.
TEST_F(SafariTest, WorkGrowsWithTheFileNotFaster) {
  constexpr int kWide = 20000;
  std::string wide = "<dict><key>Children</key><array>";
  for (int i = 0; i < kWide; ++i)
    wide += Leaf("B" + std::to_string(i), "http://b/" + std::to_string(i));
  wide += "</array>";
  for (int i = 0; i < kWide; ++i)
    wide += "<key>Other" + std::to_string(i) + "</key><string>x</string>";
  wide += "<key>Title</key><string>Wide</string></dict>";
  test::WriteFile(path, TopLevel(wide));
  const std::size_t entries = 3 * kWide + 4; // keys and items of the file, roughly
  TSafariOjb safari;
  safari.SourcePath = path;
  auto document = safari.ImportBookmarks();
  EXPECT_TRUE(Describe(Root(*document)).starts_with("Wide{B0<http://b/0> B1<http://b/1> "))
      << Describe(Root(*document)).substr(0, 100);
  EXPECT_LE(safari.EntriesLookedAt(), 4 * entries);
  Collection c;
  Node folder = c.Folder(c.Root(), "Wide");
  for (int i = 0; i < kWide; i += 2)
    c.Url(folder, "again", ("http://b/" + std::to_string(i)).c_str());
  safari.ExportBookmarks(c.Document());
  EXPECT_LE(safari.EntriesLookedAt(), 4 * entries);
}

// A line break in a name or address reads back as the one written.
TEST_F(SafariTest, LineBreaksInValuesSurviveTheRoundTrip) {
  test::WriteFile(path, TopLevel(Leaf("two\r\nlines", "http://a/")));
  EXPECT_EQ(ImportedTree(test::ReadFile(path)), "two\nlines<http://a/>");
  Collection c;
  c.Url(c.Root(), "cr\rlf\ncrlf\r\nend", "http://b/");
  Export(c.Document(), path);
  EXPECT_EQ(Describe(Root(*ImportFile(path))),
            "two\nlines<http://a/> cr\rlf\ncrlf\r\nend<http://b/>");
}

TEST_F(SafariTest, TextIsReadAsUtf8WhateverTheDeclarationSays) {
  std::string text = TopLevel(Leaf("Caf\xC3\xA9", "http://a/"));
  text.replace(text.find("UTF-8"), 5, "ISO-8859-1");
  EXPECT_EQ(ImportedTree(text), "Caf\xC3\xA9<http://a/>");
  Collection c;
  c.Url(c.Root(),
        "\xC3\x9C"
        "ber",
        "http://b/");
  Export(c.Document(), path);
  const std::string written = test::ReadFile(path);
  EXPECT_NE(written.find("encoding=\"UTF-8\""), std::string::npos);
  EXPECT_NE(written.find("\xC3\x9C"
                         "ber"),
            std::string::npos);
}

} // namespace
