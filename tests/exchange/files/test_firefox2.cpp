#include "exchange/files/untFirefox2.h"

#include "base/Error.h"
#include "base/NestingLimit.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillary {
namespace {

// The tree below a node in one line: F(name)[children] for a folder, with "*" after it for the
// toolbar mark, and B(name|url) for a bookmark, "-" standing for an absent attribute.
std::string Describe(Node parent) {
  std::string out;
  for (Node child : parent.children()) {
    if (!out.empty())
      out += ",";
    const auto attribute = [&](const char* name) {
      return child.attribute(name) ? GetAttribute(child, name) : std::string("-");
    };
    if (IsFolder(child)) {
      out += "F(" + attribute("name") + ")";
      if (child.attribute("PERSONAL_TOOLBAR_FOLDER"))
        out += "*";
      out += "[" + Describe(child) + "]";
    } else {
      out += "B(" + attribute("name") + "|" + attribute("url") + ")";
    }
  }
  return out;
}

struct Counts {
  std::size_t folders = 0;
  std::size_t bookmarks = 0;
};

void Count(Node parent, Counts& counts) {
  for (Node child : parent.children()) {
    if (IsFolder(child)) {
      ++counts.folders;
      Count(child, counts);
    } else if (IsBookmark(child)) {
      ++counts.bookmarks;
    }
  }
}

class Firefox2Test : public ::testing::Test {
protected:
  std::unique_ptr<BookmarkDocument> Import(const std::string& bytes) {
    test::WriteFile(path_, bytes);
    TFirefox2Ojb exchanger;
    exchanger.SourcePath = path_;
    return exchanger.ImportBookmarks();
  }
  std::string ImportDescribed(const std::string& bytes) { return Describe(Root(*Import(bytes))); }

  std::string Export(BookmarkDocument& document) {
    TFirefox2Ojb exchanger;
    exchanger.SourcePath = path_;
    exchanger.ExportBookmarks(document);
    return test::ReadFile(path_);
  }

  test::TempDir dir_;
  std::string path_ = dir_ / "bookmarks.html";
};

struct ImportCase {
  const char* what;
  std::string file;
  std::string tree;
};

TEST_F(Firefox2Test, ImportReadsFoldersAndBookmarks) {
  const ImportCase cases[] = {
      {"empty file", "", ""},
      {"bookmark without any list", "<DT><A HREF='x'>X</A>", "B(X|x)"},
      {"what follows the top-level /DL is ignored",
       "<DL><p><DT><A HREF='a'>A</A></DL><DT><A HREF='b'>B</A>", "B(A|a)"},
      {"folder with attributes",
       "<DL><DT><H3 ADD_DATE='1'>News</H3>\r\n<DL><p>\r\n<DT><A HREF='x'>X</A>\r\n</DL><p>\r\n"
       "</DL>",
       "F(News)[B(X|x)]"},
      {"folder without attributes", "<H3>News</H3>", "F(News)[]"},
      {"folder without a list is empty and what follows is its sibling",
       "<DL><H3>Empty</H3><DT><H3>Next</H3><DL><A HREF='u'>U</A></DL><A HREF='v'>V</A></DL>"
       "<A HREF='w'>W</A>",
       "F(Empty)[],F(Next)[B(U|u)],B(V|v)"},
      {"empty folders last in a list leave its bookmarks and its end to it",
       "<DL><H3>L</H3><DL><H3>N</H3>\n<DT><H3>C</H3>\n<A HREF='s'>S</A></DL><A HREF='t'>T</A>"
       "</DL><A HREF='w'>W</A>",
       "F(L)[F(N)[],F(C)[],B(S|s)],B(T|t)"},
      {"folder with a description before its list",
       "<DL><H3>F</H3><DD>about<p><DL><A HREF='u'>U</A></DL><A HREF='v'>V</A></DL>",
       "F(F)[B(U|u)],B(V|v)"},
      {"toolbar mark", "<H3 PERSONAL_TOOLBAR_FOLDER=\"true\">Bar</H3>", "F(Bar)*[]"},
      {"toolbar mark run into a valueless attribute",
       "<DT><H3 FOLDED PERSONAL_TOOLBAR_FOLDER='true'>Bar</H3>", "F(Bar)[]"},
      {"bookmark without address", "<DT><A>Text</A>", "B(Text|-)"},
      {"bookmark without name", "<DT><A HREF='x'></A>", "B(-|x)"},
      {"the first HREF counts", "<A HREF='1' href='2'>X</A>", "B(X|1)"},
      {"lower-case tags", "<h3>a</h3><dl><a href='y'>b</a></dl>", "F(a)[B(b|y)]"},
      {"file ends inside a folder", "<DL><H3>F</H3><DL><A HREF='u'>U</A>", "F(F)[B(U|u)]"},
      {"empty title named by the line break after it", "<H3></H3>\r\n<DL><A HREF='u'>U</A></DL>",
       "F(\r\n)[B(U|u)]"},
      {"names and addresses are not trimmed", "<A HREF=' u '> U\n</A>", "B( U\n| u )"},
      {"byte-order mark before the first tag", "\xEF\xBB\xBF<DL><A HREF='u'>U</A>", "B(U|u)"},
      {"truncated inside a tag", "<DL><H3>F</H3><DL><A HREF='u'>U</A><A HREF='v", "F(F)[B(U|u)]"},
      {"unclosed script", "<DL><A HREF='u'>U</A><script>x", "B(U|u)"},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ImportDescribed(c.file), c.tree);
  }
}

TEST_F(Firefox2Test, UnnamedFolderLendsItsBookmarksButClosesOnlyItsOwnList) {
  const ImportCase cases[] = {
      {"own list", "<DL><H3 ID=''></H3><DL><p><A HREF='t'>T</A></DL><p><A HREF='u'>U</A></DL>",
       "B(T|t),B(U|u)"},
      {"own list after a description",
       "<DL><H3></H3><DD>about<DL><A HREF='t'>T</A></DL><A HREF='u'>U</A></DL><A HREF='v'>V</A>",
       "B(T|t),B(U|u)"},
      {"inside a named folder",
       "<DL><H3>F</H3><DL><H3></H3><DL><A HREF='t'>T</A></DL><A HREF='u'>U</A></DL>"
       "<A HREF='v'>V</A></DL>",
       "F(F)[B(T|t),B(U|u)],B(V|v)"},
      {"no list of its own", "<DL><H3></H3><DT><A HREF='u'>U</A></DL><A HREF='v'>V</A>", "B(U|u)"},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ImportDescribed(c.file), c.tree);
  }
}

TEST_F(Firefox2Test, ImportDecodesCharacterReferencesEndedBySemicolon) {
  const ImportCase cases[] = {
      {"named and numeric",
       "<A HREF='/?a=1&amp;b=2&center=3'>Q&amp;A &lt;b&gt; &#39;x&#x27; &nbsp;&quot;&apos;</A>",
       "B(Q&A <b> 'x' \xC2\xA0\"'|/?a=1&b=2&center=3)"},
      {"folder names too", "<H3>Tom &amp; Jerry &eacute;&#233;&#xE9;</H3>",
       "F(Tom & Jerry \xC3\xA9\xC3\xA9\xC3\xA9)[]"},
      {"not references", "<A HREF='u'>AT&T &bogus; &#; &#xZ; &amp &#38 &AMP;</A>",
       "B(AT&T &bogus; &#; &#xZ; &amp &#38 &|u)"},
      {"code points no character may have", "<A HREF='u'>&#0;&#xD800;&#1114112;&#99999999999;</A>",
       "B(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|u)"},
      {"numeric 128 to 159 as browsers read them", "<A HREF='u'>&#150;&#x80;</A>",
       "B(\xE2\x80\x93\xE2\x82\xAC|u)"},
      {"astral", "<A HREF='u'>&#x1F600;</A>", "B(\xF0\x9F\x98\x80|u)"},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ImportDescribed(c.file), c.tree);
  }
}

std::string Utf16Le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

TEST_F(Firefox2Test, ImportDecodesFilesThatAreNotUtf8ByTheirCharset) {
  const std::string meta = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=";
  const ImportCase cases[] = {
      {"Latin-1 read as browsers do, as Windows-1252",
       meta + "ISO-8859-1\"><DL><A HREF='u'>Caf\xE9 \x93q\x94</A>",
       "B(Caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D|u)"},
      {"Mac Roman", meta + "x-mac-roman\"><DL><H3>Caf\x8E</H3>", "F(Caf\xC3\xA9)[]"},
      {"the Mac system charset", "<META CONTENT='text/html;charset=X-MAC-SYSTEM'><A>\xA5</A>",
       "B(\xE2\x80\xA2|-)"},
      {"other charsets the system knows", meta + "koi8-r\"><A>\xE1</A>", "B(\xD0\x90|-)"},
      {"no META: Windows-1252", "<DL><A HREF='u'>Caf\xE9</A>", "B(Caf\xC3\xA9|u)"},
      {"a META that cannot be right", meta + "utf-8\"><A>\xE9</A>", "B(\xC3\xA9|-)"},
      {"an unknown charset", meta + "x-nonsense\"><A>\xE9</A>", "B(\xC3\xA9|-)"},
      {"bytes Windows-1252 leaves undefined", "<A>a\x81z\xE9</A>", "B(a\xEF\xBF\xBDz\xC3\xA9|-)"},
      {"UTF-16 with its byte-order mark", Utf16Le("<DL><A HREF='u'>U</A>"), "B(U|u)"},
      {"a UTF-8 file reads as UTF-8 whatever its META says",
       meta + "ISO-8859-1\"><A>Caf\xC3\xA9</A>", "B(Caf\xC3\xA9|-)"},
      {"overlong UTF-8 is not UTF-8", "<A>\xC0\xAF</A>", "B(\xC3\x80\xC2\xAF|-)"},
      {"nor is an encoded surrogate", "<A>\xED\xA0\x80</A>", "B(\xC3\xAD\xC2\xA0\xE2\x82\xAC|-)"},
      {"nor a sequence cut off at the end", "<A>x\xE2\x82", "B(x\xC3\xA2\xE2\x80\x9A|-)"},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ImportDescribed(c.file), c.tree);
  }
}

TEST_F(Firefox2Test, ImportGivesNewGidsAndTheRootOfANewDocument) {
  auto document = Import("<H3>F</H3><DL><A HREF='u'>U</A>");
  const Node root = Root(*document);
  EXPECT_STREQ(root.name(), "folder");
  EXPECT_EQ(GetAttribute(root, "name"), "bookmarks");
  const Node folder = root.first_child();
  const Node bookmark = folder.first_child();
  EXPECT_EQ(GetAttribute(folder, "gid").size(), 36u);
  EXPECT_EQ(GetAttribute(bookmark, "gid").size(), 36u);
  EXPECT_NE(GetAttribute(folder, "gid"), GetAttribute(bookmark, "gid"));
  // Attributes in the order set: name, url, gid.
  EXPECT_STREQ(bookmark.first_attribute().name(), "name");
  EXPECT_STREQ(bookmark.last_attribute().name(), "gid");
}

TEST_F(Firefox2Test, ImportOfAFileThatCannotBeReadFailsInTheUsersWords) {
  const std::string cases[] = {dir_ / "missing.html", "", dir_.Path()};
  for (const std::string& path : cases) {
    SCOPED_TRACE(path);
    TFirefox2Ojb exchanger;
    exchanger.SourcePath = path;
    try {
      exchanger.ImportBookmarks();
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      const std::string prefix = "Cannot open file \"" + path + "\". ";
      const std::string message = error.what();
      EXPECT_EQ(message.rfind(prefix, 0), 0u) << message;
      EXPECT_GT(message.size(), prefix.size()) << "the system's reason is missing";
    }
  }
  TFirefox2Ojb exchanger;
  exchanger.SourcePath = dir_ / "missing.html";
  EXPECT_THROW(
      {
        try {
          exchanger.ImportBookmarks();
        } catch (const Error& error) {
          EXPECT_EQ(std::string(error.what()),
                    "Cannot open file \"" + exchanger.SourcePath + "\". No such file or directory");
          throw;
        }
      },
      Error);
}

// Folders nest up to the one limit of the collection; deeper files fail with its error.
TEST_F(Firefox2Test, NestingUpToTheLimitImportsAndDeeperIsRefused) {
  auto nested = [](std::size_t depth) {
    std::string file;
    for (std::size_t i = 0; i < depth; ++i)
      file += "<H3>f</H3><DL>";
    return file + "<A HREF='u'>U</A>";
  };
  auto document = Import(nested(kMaxFolderDepth - 1));
  std::size_t levels = 0;
  Node node = Root(*document).first_child();
  for (; IsFolder(node); node = node.first_child())
    ++levels;
  EXPECT_EQ(levels, kMaxFolderDepth - 1);
  EXPECT_EQ(GetAttribute(node, "url"), "u");

  EXPECT_THAT([&] { Import(nested(kMaxFolderDepth)); },
              ::testing::ThrowsMessage<NestingError>(
                  ::testing::HasSubstr("bookmarks.html\" is nested deeper than 10,000 folders.")));
  EXPECT_THROW(Import(nested(100000)), NestingError);
}

const char kHeader[] = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                       "<!-- This is an automatically generated file.\r\n"
                       "It will be read and overwritten.\r\n"
                       "DO NOT EDIT! -->\r\n"
                       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
                       "<TITLE>Bookmarks</TITLE>\r\n"
                       "<H1 LAST_MODIFIED=\"1228094300\">Bookmarks</H1>\r\n"
                       "<DL><p>\r\n"
                       "<DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\" ID=\"\"></H3><DL><p></DL><p>";

TEST_F(Firefox2Test, ExportWritesTheFormatByteForByte) {
  ASSERT_EQ(sizeof kHeader - 1, 352u);
  auto document = NewBookmarkDocument();
  Node folder = AppendElement(Root(*document), "folder");
  SetAttribute(folder, "name", "A");
  Node bookmark = AppendElement(folder, "url");
  SetAttribute(bookmark, "name", "b");
  SetAttribute(bookmark, "url", "u");
  EXPECT_EQ(Export(*document), std::string(kHeader) + "<DT><H3  ID=\"\">A</H3>\r\n<DL><p>\r\n"
                                                      "<DT><A HREF=\"u\" ID=\"\">b</A>\r\n"
                                                      "</DL><p>\r\n"
                                                      "</DL><p>\r\n\r\n");
}

TEST_F(Firefox2Test, ExportMarksEscapesAndSkips) {
  auto document = NewBookmarkDocument();
  const Node root = Root(*document);
  Node bar = AppendElement(root, "Folder"); // read without regard to letter case
  SetAttribute(bar, "name", "Bar");
  SetAttribute(bar, "PERSONAL_TOOLBAR_FOLDER", "no"); // any value marks it
  Node other = AppendElement(root, "separator"); // neither folder nor bookmark: nothing below it
  AppendElement(other, "url");
  Node odd = AppendElement(root, "URL");
  SetAttribute(odd, "name", "Q&A <\"x\">");
  SetAttribute(odd, "url", "/?a=1&b=\"2\"");
  EXPECT_EQ(Export(*document), std::string(kHeader) +
                                   "<DT><H3 PERSONAL_TOOLBAR_FOLDER=\"true\" ID=\"\">Bar</H3>\r\n"
                                   "<DL><p>\r\n"
                                   "</DL><p>\r\n"
                                   "<DT><A HREF=\"/?a=1&amp;b=&quot;2&quot;\" ID=\"\">"
                                   "Q&amp;A &lt;&quot;x&quot;&gt;</A>\r\n"
                                   "</DL><p>\r\n\r\n");
}

TEST_F(Firefox2Test, ExportThenImportGivesTheSameTree) {
  auto document = NewBookmarkDocument();
  const Node root = Root(*document);
  Node bar = AppendElement(root, "folder");
  SetAttribute(bar, "name", "Bar");
  SetAttribute(bar, "PERSONAL_TOOLBAR_FOLDER", "true");
  Node inner = AppendElement(bar, "folder");
  SetAttribute(inner, "name", "Caf\xC3\xA9 & <Co>");
  Node deep = AppendElement(inner, "url");
  SetAttribute(deep, "name", "\"quoted\" &amp; 'single'");
  SetAttribute(deep, "url", "http://e.com/?a=1&center=2");
  AppendElement(inner, "folder").append_attribute("name") = "empty";
  Node top = AppendElement(root, "url");
  SetAttribute(top, "name", "Top \xE2\x80\xA6");
  SetAttribute(top, "url", "http://t/");
  const std::string expected = Describe(root);
  Export(*document);
  TFirefox2Ojb exchanger;
  exchanger.SourcePath = path_;
  EXPECT_EQ(Describe(Root(*exchanger.ImportBookmarks())), expected);
}

TEST_F(Firefox2Test, ExportReplacesTheFileOrFailsInTheUsersWords) {
  test::WriteFile(path_, std::string(5000, 'x'));
  auto document = NewBookmarkDocument();
  EXPECT_EQ(Export(*document), std::string(kHeader) + "</DL><p>\r\n\r\n");

  TFirefox2Ojb exchanger;
  exchanger.SourcePath = dir_ / "missing/bookmarks.html";
  try {
    exchanger.ExportBookmarks(*document);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(
        std::string(error.what()).rfind("Cannot create file \"" + exchanger.SourcePath + "\". ", 0),
        0u)
        << error.what();
  }

  BookmarkDocument empty;
  exchanger.SourcePath = path_;
  EXPECT_THROW(exchanger.ExportBookmarks(empty), Error);
  EXPECT_EQ(test::ReadFile(path_), std::string(kHeader) + "</DL><p>\r\n\r\n");
}

struct SampleCase {
  const char* file;
  std::size_t folders;
  std::size_t bookmarks;
};

// Every "<A " and every "<H3" of these files, as a plain count of the text finds them: the old
// Mac, iCab and Latin-1 files among them are not UTF-8, and one file is no bookmark file at all.
TEST(Firefox2Samples, RealFilesImportWithEveryFolderAndBookmark) {
  const SampleCase cases[] = {
      {"Bookmarks-Parser__bookmarks.html", 1, 6},
      {"Bookmarks-Parser__mozbookmarks.html", 3, 15},
      {"DSCR_NetscapeBookmark__bookmark.html", 1, 3},
      {"MyDocment__bookmark.htm", 8, 44},
      {"Netscape-Bookmarks-File-Parser__test.html", 1, 2},
      {"aponysos-bookmarks__bookmark.htm", 6, 35},
      {"bookmarks-converter__bookmarks_chrome.html", 7, 27},
      {"bookmarks-converter__bookmarks_firefox.html", 8, 27},
      {"bookmarks-parser__chrome_bookmarks.html", 5, 8},
      {"bookmarks-parser__firefox_bookmarks.html", 6, 9},
      {"delicious-links__delicious.html", 0, 740},
      {"gtkbookmark__bookmark.htm", 188, 1231},
      {"kafene-netscape-bookmark-parser__chromium_nested.htm", 7, 18},
      {"kafene-netscape-bookmark-parser__delicious.htm", 0, 5},
      {"kafene-netscape-bookmark-parser__firefox_nested.htm", 6, 24},
      {"kafene-netscape-bookmark-parser__internet_explorer_11_nested.htm", 9, 27},
      {"kafene-netscape-bookmark-parser__shaarli.htm", 0, 6},
      {"netscape-bookmark-tree__bookmarks_2019_5_5.html", 3, 11},
      {"netscape-bookmark-tree__bookmarks_2023_5_9.html", 4, 21},
      {"netscape-bookmarks__Bookmarks.html", 4, 10},
      {"netscape-bookmarks__Bookmarks4.7.html", 13, 110},
      {"netscape-bookmarks__Favorites.html", 32, 149},
      {"netscape-bookmarks__iCab.Hotlist.html", 32, 151},
      {"netscape-bookmarks__mozilla.html", 33, 219},
      {"netscape-go__netscape_extended.htm", 0, 2},
      {"netscape-go__safari_folded.htm", 5, 3},
      {"node-bookmarks-parser__chrome_bookmarks.html", 3, 4},
      {"node-bookmarks-parser__netscape_complex.html", 6, 14},
      {"node-bookmarks-parser__pocket.html", 0, 5},
      {"refs__safari_bookmarks.html", 3, 36},
  };
  for (const SampleCase& c : cases) {
    SCOPED_TRACE(c.file);
    QUILLARY_REQUIRE_SAMPLE(path, std::string("html/") + c.file);
    TFirefox2Ojb exchanger;
    exchanger.SourcePath = path;
    Counts counts;
    Count(Root(*exchanger.ImportBookmarks()), counts);
    EXPECT_EQ(counts.folders, c.folders);
    EXPECT_EQ(counts.bookmarks, c.bookmarks);
  }
}

// Finds the first element below parent whose attribute has the value.
Node FindBy(Node parent, const char* attribute, const std::string& value) {
  for (Node child : parent.children()) {
    if (GetAttribute(child, attribute) == value)
      return child;
    if (Node found = FindBy(child, attribute, value))
      return found;
  }
  return Node();
}

TEST(Firefox2Samples, RealFilesGiveReadableNamesAndTheToolbarMark) {
  struct NameCase {
    const char* file;
    const char* attribute;
    std::string value;
  };
  const NameCase cases[] = {
      {"netscape-bookmarks__mozilla.html", "name", "AT&T Research"},
      {"netscape-bookmarks__mozilla.html", "name",
       "NYNOCALL.COM - The New York \"Do Not Call\" Regis\xE2\x80\xA6"},
      {"netscape-bookmarks__Bookmarks4.7.html", "name", "Market & Sell"},
      {"kafene-netscape-bookmark-parser__shaarli.htm", "url",
       "http://storml.deviantart.com/art/Mine-Turtle-Instructions-302477240"
       "?q=in%3Ascraps%20sort%3Atime%20gallery%3Astorml&qo=1"},
      // x-mac-roman and X-MAC-SYSTEM: 0x8A is "ä" there (it would be "Š" in Windows-1252).
      {"netscape-bookmarks__Favorites.html", "name",
       "First Internet Bank - Online Banking, Checking,\xC3\xA4"},
      {"netscape-bookmarks__iCab.Hotlist.html", "name",
       "First Internet Bank - Online Banking, Checking,\xC3\xA4"},
      // No charset named: Windows-1252.
      {"gtkbookmark__bookmark.htm", "name",
       "Kermit for Windows \xC2\xAE 95 - Comparisons with Other Products"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.value);
    QUILLARY_REQUIRE_SAMPLE(path, std::string("html/") + c.file);
    TFirefox2Ojb exchanger;
    exchanger.SourcePath = path;
    EXPECT_TRUE(FindBy(Root(*exchanger.ImportBookmarks()), c.attribute, c.value));
  }

  QUILLARY_REQUIRE_SAMPLE(chromium, "html/kafene-netscape-bookmark-parser__chromium_nested.htm");
  TFirefox2Ojb exchanger;
  exchanger.SourcePath = chromium;
  auto document = exchanger.ImportBookmarks();
  const Node toolbar = FindBy(Root(*document), "name", "Personal toolbar");
  ASSERT_TRUE(toolbar);
  EXPECT_EQ(GetAttribute(toolbar, "PERSONAL_TOOLBAR_FOLDER"), "true");
  EXPECT_EQ(GetAttribute(toolbar.next_sibling(), "PERSONAL_TOOLBAR_FOLDER"), "");
}

// The names of the folders among the node's children, in order.
std::string FolderNames(Node parent) {
  std::string out;
  for (Node child : parent.children())
    if (IsFolder(child))
      out += (out.empty() ? "" : ",") + GetAttribute(child, "name");
  return out;
}

// iCab writes an empty folder as a bare "H3" without a list; the folders and bookmarks after
// it are its siblings.
TEST(Firefox2Samples, FoldersWithoutAListStayEmptyInTheirPlace) {
  QUILLARY_REQUIRE_SAMPLE(path, "html/netscape-bookmarks__iCab.Hotlist.html");
  TFirefox2Ojb exchanger;
  exchanger.SourcePath = path;
  auto document = exchanger.ImportBookmarks();
  const Node root = Root(*document);
  EXPECT_EQ(FolderNames(root), "NPR,Personal Services,DDJ articles,Military,Vaio,Unix,Languages,"
                               "NY Business Resources,CGI Programming Things,Sports,Ebay,"
                               "Stacey reviews,Design Patterns,Mac OS X,Locations,IF,"
                               "Net connectivity,Vanity");
  const Node ebay = FindBy(root, "name", "Ebay");
  ASSERT_TRUE(ebay);
  EXPECT_FALSE(ebay.first_child());
  const Node newYork = FindBy(root, "name", "New York");
  ASSERT_TRUE(newYork);
  const Node locations = newYork.parent();
  EXPECT_EQ(locations.parent(), root);
  EXPECT_EQ(FolderNames(locations), "New York,Chicago");
  EXPECT_FALSE(newYork.first_child());
  EXPECT_FALSE(newYork.next_sibling().first_child());
  std::vector<std::string> urls;
  for (Node child : locations.children())
    if (IsBookmark(child))
      urls.push_back(GetAttribute(child, "url"));
  EXPECT_EQ(urls,
            (std::vector<std::string>{"http://www.steppenwolf.org/", "http://www.greatlakespa.com/",
                                      "http://www.secondcity.com/"}));
}

// What a browser writes and Quillary reads, Quillary writes and reads back the same.
TEST(Firefox2Samples, RealFileSurvivesExportAndImport) {
  QUILLARY_REQUIRE_SAMPLE(path, "html/netscape-bookmarks__mozilla.html");
  TFirefox2Ojb exchanger;
  exchanger.SourcePath = path;
  auto document = exchanger.ImportBookmarks();
  test::TempDir dir;
  TFirefox2Ojb writer;
  writer.SourcePath = dir / "bookmarks.html";
  writer.ExportBookmarks(*document);
  EXPECT_EQ(Describe(Root(*writer.ImportBookmarks())), Describe(Root(*document)));
}

} // namespace
} // namespace quillary
