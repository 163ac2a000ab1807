#include "base/Error.h"
#include "base/Text.h"
#include "exchange/files/untIE.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quillary;
using test::AddBookmark;
using test::AddFolder;
using test::Outline;
namespace fs = std::filesystem;

namespace {

void Count(Node parent, int& folders, int& bookmarks) {
  for (Node child = parent.first_child(); child; child = child.next_sibling()) {
    if (IsFolder(child)) {
      ++folders;
      Count(child, folders, bookmarks);
    } else if (IsBookmark(child)) {
      ++bookmarks;
    }
  }
}

std::unique_ptr<BookmarkDocument> Import(const std::string& path) {
  TIEObj ie;
  ie.SourcePath = path;
  return ie.ImportBookmarks();
}

void Shortcut(const std::string& path, std::string_view url) {
  test::WriteFile(path, "[InternetShortcut]\r\nURL=" + std::string(url) + "\r\n");
}

TEST(FavoritesImport, ReadsDirectoriesAndShortcutsInNameOrder) {
  test::TempDir dir;
  test::MakeDirs(dir / "Work");
  Shortcut(dir / "Work/News.url", "x");
  Shortcut(dir / "Site.URL", "upper-case extension");
  for (const char* dotted : {"Web 2.0", "node.js", "St. Louis", "v1.2.3", "folder.url"})
    test::MakeDirs(dir / dotted);
  Shortcut(dir / "v1.2.3/inner.Url", "in a directory with dots");
  test::WriteFile(dir / "README", "a file without extension");
  test::WriteFile(dir / "NoKey.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  test::WriteFile(dir / "Frames.url", "[DEFAULT]\nBASEURL=b\n[DOC_x]\nURL=frame\n"
                                      "[InternetShortcut]\nURL=  real  \n");
  Shortcut(dir / "Ends with dot..url", "d");
  Shortcut(dir / "notes.txt", "ignored");
  Shortcut(dir / "Long.url", std::string(3000, 'a'));
  test::MakeDirs(dir / "$Recycle.Bin");
  Shortcut(dir / "$Recycle.Bin/deleted.url", "deleted");
  auto document = Import(dir.Path());
  EXPECT_EQ(Outline(Root(*document)),
            "Ends with dot.<d>,Frames<real>,Long<" + std::string(2047, 'a') +
                ">,NoKey<>,Site<upper-case extension>,St. Louis[],Web 2.0[],Work[News<x>],"
                "folder.url[],node.js[],v1.2.3[inner<in a directory with dots>]");
  const Node bookmark = Root(*document).first_child();
  EXPECT_EQ(std::string(bookmark.first_attribute().name()), "name");
  EXPECT_EQ(std::string(bookmark.last_attribute().name()), "gid");
  EXPECT_EQ(GetAttribute(bookmark, "gid").size(), 36u);
}

TEST(FavoritesImport, NoDirectoryGivesTheRootOnly) {
  test::TempDir dir;
  test::WriteFile(dir / "file", "x");
  test::MakeDirs(dir / "empty");
  for (const std::string& path : {std::string(), dir / "missing", dir / "file", dir / "empty"}) {
    SCOPED_TRACE(path);
    auto document = Import(path);
    ASSERT_TRUE(Root(*document));
    EXPECT_EQ(GetAttribute(Root(*document), "name"), "bookmarks");
    EXPECT_FALSE(Root(*document).first_child());
  }
}

// Each directory is read once, where the walk first meets it; a link out of the Favorites is an
// empty folder.
TEST(FavoritesImport, LinksStayInsideAndEachDirectoryIsReadOnce) {
  test::TempDir dir;
  const std::string favorites = dir / "Favorites";
  test::MakeDirs(favorites + "/A/B");
  test::MakeDirs(favorites + "/C");
  Shortcut(favorites + "/C/c.url", "c");
  test::MakeDirs(dir / "Outside");
  Shortcut(dir / "Outside/o.url", "outside");
  fs::create_directory_symlink("..", favorites + "/A/B/up");
  fs::create_directory_symlink(favorites, favorites + "/A/B/top");
  fs::create_directory_symlink(".", favorites + "/A/self");
  fs::create_directory_symlink("../C", favorites + "/A/toC");
  fs::create_directory_symlink("../Outside", favorites + "/out");
  fs::create_directory_symlink("/", favorites + "/root");
  fs::create_directory_symlink(favorites + "/C/../../Outside", favorites + "/sneaky");
  EXPECT_EQ(Outline(Root(*Import(favorites))),
            "A[B[top[],up[]],self[],toC[c<c>]],C[],out[],root[],sneaky[]");
}

// Two links per level to the next level would make 3^levels paths if every path were walked.
TEST(FavoritesImport, LinksToOneDirectoryCostOneWalk) {
  test::TempDir dir;
  constexpr int kLevels = 10;
  std::string level = dir.Path();
  for (int i = 0; i < kLevels; ++i) {
    test::MakeDirs(level + "/next");
    fs::create_directory_symlink("next", level + "/a");
    fs::create_directory_symlink(level + "/next", level + "/b");
    level += "/next";
  }
  Shortcut(level + "/bottom.url", "b");
  int folders = 0, bookmarks = 0;
  Count(Root(*Import(dir.Path())), folders, bookmarks);
  EXPECT_EQ(folders, 3 * kLevels);
  EXPECT_EQ(bookmarks, 1);
}

// Only regular files of at most a megabyte are shortcuts: nothing waits on a pipe or reads a
// device without end.
TEST(FavoritesImport, OnlyRegularFilesAreRead) {
  test::TempDir dir;
  test::PipeWithWriter pipe(dir / "pipe.url", "[InternetShortcut]\r\nURL=from the pipe\r\n");
  fs::create_symlink("/dev/zero", dir / "zero.url");
  fs::create_symlink("missing.url", dir / "dangling.url");
  test::WriteFile(dir / "large.url",
                  "[InternetShortcut]\r\nURL=large\r\n" + std::string(1 << 20, ';'));
  Shortcut(dir / "real.url", "r");
  EXPECT_EQ(Outline(Root(*Import(dir.Path()))), "real<r>");
}

struct AddressCase {
  const char* name;
  const char* text;
  const char* url;
};

// Windows keeps a non-ASCII address in UTF-7 in a section of its own beside the 8-bit one.
TEST(FavoritesImport, TheUnicodeAddressWins) {
  const AddressCase cases[] = {
      {"8-bit only", "[InternetShortcut]\r\nURL=http://a/\r\n", "http://a/"},
      {"UTF-7 beside the 8-bit address",
       "[InternetShortcut]\r\nURL=http://\xF2\xE5/\r\n[InternetShortcut.A]\r\nURL=http://\xF2\xE5/"
       "\r\n[InternetShortcut.W]\r\nURL=http://+BEIENQQ/BDsEPgRABDAEQQRHBDUEQg-.+BEAERA-/+ACU-D1"
       "\r\n",
       "http://теплорасчет.рф/%D1"},
      {"UTF-7 section first", "[InternetShortcut.W]\nURL=+AOk-\n[InternetShortcut]\nURL=e\n", "é"},
      {"broken UTF-7 falls back",
       "[InternetShortcut]\nURL=http://\xE9/\n[InternetShortcut.W]\nURL=+2AA-x\n", "http://é/"},
      {"empty UTF-7 falls back", "[InternetShortcut]\nURL=x\n[InternetShortcut.W]\nURL=\n", "x"},
      {"UTF-7 without 8-bit address", "[InternetShortcut.W]\nURL=http://+ZeVnLA-/\n",
       "http://日本/"},
  };
  for (const AddressCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    test::WriteFile(dir / "s.url", c.text);
    EXPECT_EQ(Outline(Root(*Import(dir.Path()))), std::string("s<") + c.url + ">");
  }
}

TEST(FavoritesSamples, SmallFavoritesFolder) {
  QUILLARY_REQUIRE_SAMPLE(path, "ie-url/ICS3U__Favorites");
  auto document = Import(path);
  int folders = 0, bookmarks = 0;
  Count(Root(*document), folders, bookmarks);
  // Links and Microsoft Websites; the recycle bin is not read. "WEB-SLIC.URL" is the short name
  // of "Web Slice Gallery.url" and holds the same address.
  EXPECT_EQ(folders, 2);
  EXPECT_EQ(bookmarks, 45);
  const std::string outline = Outline(Root(*document));
  EXPECT_EQ(outline.find("RECYCLE"), std::string::npos);
  EXPECT_NE(outline.find("WEB-SLIC<http://go.microsoft.com/fwlink/?LinkId=121315>"),
            std::string::npos);
  EXPECT_NE(outline.find("Web Slice Gallery<http://go.microsoft.com/fwlink/?LinkId=121315>"),
            std::string::npos);
  EXPECT_EQ(outline.rfind("Bing<", 0), 0u);
  EXPECT_NE(outline.find("Suggested Sites (23)<>"), std::string::npos);
  EXPECT_NE(outline.find("IE Add-on site<http://"), std::string::npos);
}

TEST(FavoritesSamples, LargeCyrillicTree) {
  QUILLARY_REQUIRE_SAMPLE(path, "ie-url/Favorites__tree");
  auto document = Import(path);
  int folders = 0, bookmarks = 0;
  Count(Root(*document), folders, bookmarks);
  EXPECT_EQ(folders, 96);
  EXPECT_EQ(bookmarks, 528);
  const std::string outline = Outline(Root(*document));
  EXPECT_NE(outline.find("Графика["), std::string::npos);
  EXPECT_NE(outline.find("Моторезина 15070 R17 MICHELIN ANAKEE 3<http"), std::string::npos);
  EXPECT_NE(outline.find("Часть 1. Введение.<>"), std::string::npos);
  // The shortcuts with a Unicode address.
  for (const char* bookmark :
       {"ТеплоРасчет.РФ<http://теплорасчет.рф/>", "Моторезина.РФ<http://моторезина.рф/>",
        "<http://нашаоснастка.рф/frezernaja-osnastka/cangovyj-patron-pod-konus-morze-mtb-er.html>",
        "<http://схема-авто.рф/%D1%84%D0%B8",
        "<http://bikepost.ru/blog/17415/гибдд-о-междурядье.html>"})
    EXPECT_NE(outline.find(bookmark), std::string::npos) << bookmark;
  EXPECT_EQ(Outline(Root(*Import(path))), outline);
}

TEST(FileSafeName, RemovesTheEightCharactersOnly) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {{"a/b?", "ab"},
               {R"(\/*?"<>|)", ""},
               {"C:  .. name. ", "C:  .. name. "},
               {"Ünï*code|", "Ünïcode"},
               {"", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(TIEObj::FileSafeName(c.in), c.out);
  }
}

class FavoritesExport : public testing::Test {
protected:
  void Export() {
    TIEObj ie;
    ie.SourcePath = dir / "Favorites";
    ie.ExportBookmarks(*document);
  }
  std::string Fav(std::string_view name) const { return dir / ("Favorites/" + std::string(name)); }
  test::TempDir dir;
  std::unique_ptr<BookmarkDocument> document = NewBookmarkDocument();
  Node root = Root(*document);
  void SetUp() override { test::MakeDirs(dir / "Favorites"); }
};

TEST_F(FavoritesExport, WritesShortcutsAndFolders) {
  AddBookmark(root, "a/b?", "u");
  Node twice = AddFolder(root, "Twice");
  AddBookmark(twice, "one", "1");
  AddBookmark(AddFolder(root, "Twice"), "two", "2");
  AddFolder(root, "Empty");
  Node unnamed = AddFolder(root, "?/");
  AddBookmark(unnamed, "in parent", "p");
  AddBookmark(root, "*", "nameless");
  AppendElement(root, "separator");
  Export();
  EXPECT_EQ(test::ReadFile(Fav("ab.url")), "[InternetShortcut]\r\nURL=u\r\n");
  EXPECT_TRUE(fs::exists(Fav("Twice/one.url")));
  EXPECT_TRUE(fs::exists(Fav("Twice/two.url")));
  EXPECT_TRUE(fs::is_empty(Fav("Empty")));
  EXPECT_TRUE(fs::exists(Fav("in parent.url")));
  EXPECT_EQ(test::ReadFile(Fav(".url")), "[InternetShortcut]\r\nURL=nameless\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(Fav("")), fs::directory_iterator()), 5);
}

// A title longer than a file name may be is cut between characters, not failing the export.
TEST_F(FavoritesExport, LongTitlesAreShortenedToFileNames) {
  std::string title;
  for (int i = 0; i < 100; ++i)
    title += "Ч"; // 200 bytes
  title += " and some more text";
  Node folder = AddFolder(root, (title + title).c_str());
  AddBookmark(folder, (title + title).c_str(), "u");
  Export();
  auto names = [](const std::string& path) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(path))
      found.push_back(entry.path().filename().string());
    return found;
  };
  const std::vector<std::string> folders = names(Fav(""));
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_LE(folders[0].size(), 255u);
  EXPECT_EQ(folders[0], (title + title).substr(0, folders[0].size()));
  const std::vector<std::string> files = names(Fav(folders[0]));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_LE(files[0].size(), 255u);
  EXPECT_TRUE(files[0].ends_with(".url"));
  EXPECT_TRUE(IsWellFormedUtf8(files[0]));
}

// Shortcuts and folder names in an 8-bit code page come in as Windows-1252 text.
TEST(FavoritesImport, BytesThatAreNotUtf8AreReadAsWindows1252) {
  test::TempDir dir;
  test::MakeDirs(dir / "Caf\xE9");
  Shortcut(dir / "Caf\xE9/Men\xFC.url", "http://example.com/\xE9");
  EXPECT_EQ(Outline(Root(*Import(dir.Path()))), "Café[Menü<http://example.com/é>]");
}

TEST_F(FavoritesExport, AddressesLoseTheirLineBreaks) {
  AddBookmark(root, "broken", "http://x/\r\n[InternetShortcut]\r\nURL=other");
  Export();
  EXPECT_EQ(test::ReadFile(Fav("broken.url")),
            "[InternetShortcut]\r\nURL=http://x/[InternetShortcut]URL=other\r\n");
}

// Windows reads the 8-bit section in its own code page, so a name or address that is not ASCII
// gets the Unicode section too.
TEST_F(FavoritesExport, WritesTheUnicodeAddressWhereTextIsNotAscii) {
  AddBookmark(root, "ТеплоРасчет.РФ", "http://теплорасчет.рф/");
  AddBookmark(root, "Café", "http://cafe/");
  AddBookmark(root, "Plain", "http://plain/");
  Export();
  EXPECT_EQ(test::ReadFile(Fav("ТеплоРасчет.РФ.url")),
            "[InternetShortcut]\r\nURL=http://теплорасчет.рф/\r\n[InternetShortcut.W]\r\n"
            "URL=http://+BEIENQQ/BDsEPgRABDAEQQRHBDUEQg.+BEAERA-/\r\n");
  EXPECT_EQ(test::ReadFile(Fav("Café.url")),
            "[InternetShortcut]\r\nURL=http://cafe/\r\n[InternetShortcut.W]\r\n"
            "URL=http://cafe/\r\n");
  EXPECT_EQ(test::ReadFile(Fav("Plain.url")), "[InternetShortcut]\r\nURL=http://plain/\r\n");
  EXPECT_EQ(Outline(Root(*Import(Fav("")))),
            "Café<http://cafe/>,Plain<http://plain/>,ТеплоРасчет.РФ<http://теплорасчет.рф/>");
}

TEST_F(FavoritesExport, LeavesExistingShortcutsAsTheyAre) {
  test::WriteFile(Fav("Site.url"), "[InternetShortcut]\nURL=old\nIconIndex=1\n");
  AddBookmark(root, "Site", "new");
  Export();
  EXPECT_EQ(test::ReadFile(Fav("Site.url")), "[InternetShortcut]\nURL=old\nIconIndex=1\n");
}

TEST_F(FavoritesExport, DotFoldersStayInsideTheFavorites) {
  for (const char* name : {".", "..", "/..", "..|"})
    AddBookmark(AddFolder(root, name), name, "x");
  Node deep = AddFolder(root, "Deep");
  AddBookmark(AddFolder(deep, ".."), "inDeep", "y");
  Export();
  EXPECT_TRUE(fs::exists(Fav("..url")));
  EXPECT_TRUE(fs::exists(Fav("...url")));
  EXPECT_TRUE(fs::exists(Fav("Deep/inDeep.url")));
  EXPECT_FALSE(fs::exists(dir / "...url"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST_F(FavoritesExport, AShortcutThatCannotBeWrittenStopsTheExport) {
  test::WriteFile(Fav("Blocked"), "a file where the folder should go");
  AddBookmark(root, "first", "1");
  AddBookmark(AddFolder(root, "Blocked"), "inside", "2");
  AddBookmark(root, "after", "3");
  try {
    Export();
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + Fav("Blocked/inside.url"));
  }
  EXPECT_TRUE(fs::exists(Fav("first.url")));
  EXPECT_FALSE(fs::exists(Fav("after.url")));
}

TEST_F(FavoritesExport, AnEmptyPathWritesNothingAnywhere) {
  AddBookmark(root, "quillary-stray-shortcut", "x");
  TIEObj ie;
  EXPECT_THROW(ie.ExportBookmarks(*document), Error);
  EXPECT_FALSE(fs::exists("/quillary-stray-shortcut.url"));
  BookmarkDocument empty;
  EXPECT_NO_THROW(ie.ExportBookmarks(empty));
}

TEST_F(FavoritesExport, ReadsBackWhatItWrote) {
  Node news = AddFolder(root, "Новости");
  AddFolder(AddFolder(news, "Deep"), "Empty");
  AddBookmark(news, "Zebra", "");
  AddBookmark(news, "Ünï & co", "http://example.com/?a=1&b=2#top");
  AddBookmark(root, "日本", "ftp://x/y");
  Export();
  EXPECT_EQ(Outline(Root(*Import(Fav("")))), Outline(root));
  Export();
  EXPECT_EQ(Outline(Root(*Import(Fav("")))), Outline(root));
}

} // namespace
