#include "base/Error.h"
#include "base/NestingLimit.h"
#include "base/Text.h"
#include "exchange/files/untOpera.h"
#include "platform/SimulatedPlatform.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <random>
#include <regex>

using namespace quillary;
using test::Outline;

namespace {

constexpr std::string_view kHeader = "Opera Hotlist version 2.0\r\n"
                                     "Options: encoding = utf8, version=3\r\n\r\n";

struct Counts {
  int folders = 0;
  int bookmarks = 0;
};

void Count(Node parent, Counts& counts) {
  for (Node child = parent.first_child(); child; child = child.next_sibling()) {
    if (IsFolder(child)) {
      ++counts.folders;
      Count(child, counts);
    } else if (IsBookmark(child)) {
      ++counts.bookmarks;
    }
  }
}

std::unique_ptr<BookmarkDocument> ImportFile(const std::string& path) {
  TOperaOjb opera;
  opera.SourcePath = path;
  return opera.ImportBookmarks();
}

std::unique_ptr<BookmarkDocument> ImportText(std::string_view bytes) {
  test::TempDir dir;
  test::WriteFile(dir / "bookmarks.adr", bytes);
  return ImportFile(dir / "bookmarks.adr");
}

std::string ImportOutline(std::string_view body) {
  return Outline(Root(*ImportText(std::string(kHeader) + std::string(body))));
}

// Blocks in the form the export writes them, with one TAB before each field line.
std::string Folder(std::string_view name, std::string_view content, std::string_view extra = "") {
  return "#FOLDER\r\n\tID=1\r\n\tNAME=" + std::string(name) + "\r\n" + std::string(extra) + "\r\n" +
         std::string(content) + "-\r\n\r\n";
}
std::string Url(std::string_view name, std::string_view url) {
  return "#URL\r\n\tID=2\r\n\tNAME=" + std::string(name) + "\r\n\tURL=" + std::string(url) +
         "\r\n\tCREATED=1\r\n\r\n";
}

struct OutlineCase {
  const char* what;
  std::string body;
  const char* outline;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const OutlineCase& c, std::ostream* out) {
  *out << '"' << c.what << '"';
}

class HotlistReading : public testing::TestWithParam<OutlineCase> {};

TEST_P(HotlistReading, GivesTheTree) {
  EXPECT_EQ(ImportOutline(GetParam().body), GetParam().outline);
}

const std::string kTrash = "\tTRASH FOLDER=YES\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, HotlistReading,
    testing::Values(
        OutlineCase{"HeaderOnly", "", ""},
        OutlineCase{"SubFoldersComeFirstInsideTheirFolder",
                    Folder("A", Folder("B", Url("b1", "u1")) + Folder("C", Url("c1", "u2")) +
                                    Url("x", "ux")),
                    "A[B[b1<u1>],C[c1<u2>],x<ux>]"},
        OutlineCase{"FoldersBeforeBookmarksAtTheTop", Url("u1", "a") + Folder("F", Url("f", "b")),
                    "F[f<b>],u1<a>"},
        OutlineCase{"TrashContentGoesIntoItsParentAtItsPlace",
                    Folder("F", "") +
                        Folder("Trash", Folder("G", Url("g", "1")) + Url("d", "2"), kTrash) +
                        Folder("H", "") + Url("t", "3"),
                    "F[],G[g<1>],d<2>,H[],t<3>"},
        OutlineCase{"EmptyFolder", Folder("E", ""), "E[]"},
        OutlineCase{"IdenticalFolderBlocksGiveOneFolder",
                    Folder("A", Url("a", "1")) + Folder("A", Url("a", "1")) +
                        Folder("A", Url("a", "2")),
                    "A[a<1>],A[a<2>]"},
        OutlineCase{"ABlockEqualToANestedOneTakesItOut",
                    Folder("A", Url("a", "1")) +
                        Folder("B", Folder("A", Url("a", "1")) + Folder("C", "") + Url("b", "2")),
                    "A[a<1>],B[C[],b<2>]"},
        OutlineCase{"UrlIsReadFromANameHoldingUrlKey",
                    "#URL\r\n\tNAME=see URL=x\r\n\tURL=y\r\n\r\n", "see URL=x<x>"},
        OutlineCase{"FurtherFieldsAreIgnored",
                    "#URL\r\n\tID=7\r\n\tNAME=n\r\n\tURL=u\r\n\tDISPLAY URL=d\r\n\tSHORT "
                    "NAME=s\r\n\tUNIQUEID=1\r\n\r\n",
                    "n<u>"},
        // A value ends with its own line, also where it is the last line of its block.
        OutlineCase{"LastFieldOfABlockEndsAtItsLine",
                    "#URL\r\n\tNAME=a\r\n\tURL=x\r\n\r\n#URL\r\n\tNAME=b\r\n\tURL=y\r\n\r\n",
                    "a<x>,b<y>"},
        OutlineCase{"LastLineOfTheFileWithoutLineEnd", "#URL\r\n\tNAME=a\r\n\tURL=x", "a<x>"},
        // NAME= and URL= only count inside their own block.
        OutlineCase{"BookmarkWithoutNameKeepsTheNextOne",
                    "#URL\r\n\tURL=x\r\n\r\n#URL\r\n\tNAME=b\r\n\tURL=y\r\n\r\n", "<x>,b<y>"},
        OutlineCase{"BookmarkWithoutUrl", "#URL\r\n\tNAME=a\r\n\r\n" + Url("b", "y"), "a<>,b<y>"},
        OutlineCase{"FolderWithoutName", "#FOLDER\r\n\tID=3\r\n\r\n" + Url("a", "x") + "-\r\n",
                    "[a<x>]"},
        OutlineCase{"SeparatorAndDeletedBlocksGiveNothing",
                    "#SEPERATOR\r\n\tID=4\r\n\r\n#DELETED\r\n\tID=5\r\n\r\n" + Url("a", "x"),
                    "a<x>"},
        // Line ends and indentation as real hotlists have them.
        OutlineCase{
            "LfLineEnds",
            "#FOLDER\n\tNAME=F\n\n#URL\n\tNAME=a\n\tURL=x\n\n-\n\n#URL\n\tNAME=b\n\tURL=y\n",
            "F[a<x>],b<y>"},
        OutlineCase{"CrLineEnds", "#FOLDER\r\tNAME=F\r\r#URL\r\tNAME=a\r\tURL=x\r\r-\r", "F[a<x>]"},
        OutlineCase{"SpacesBeforeFieldsAndBlankSeparators",
                    "#FOLDER   \n        NAME=F\n    \n#URL\n  \t NAME=a\n        URL=x \n\t\n-\n"
                    "#URL\n        NAME=b\n        URL=y\n",
                    "F[a<x >],b<y>"},
        OutlineCase{"ClosingMarkerNeverComes", "#FOLDER\r\n\tNAME=A\r\n\r\n" + Url("a", "x"),
                    "A[a<x>]"}),
    [](const testing::TestParamInfo<OutlineCase>& info) { return info.param.what; });

TEST(HotlistImport, EveryGidHas32DigitsWithoutHyphens) {
  auto document = ImportText(std::string(kHeader) + Folder("F", Url("a", "x")) + Url("b", "y"));
  std::vector<std::string> gids{GetAttribute(Root(*document), "gid")};
  for (const pugi::xpath_node& hit : Root(*document).select_nodes(".//*"))
    gids.push_back(GetAttribute(hit.node(), "gid"));
  ASSERT_EQ(gids.size(), 4u);
  for (const std::string& gid : gids)
    EXPECT_TRUE(std::regex_match(gid, std::regex("[0-9A-F]{32}"))) << gid;
  EXPECT_NE(gids[1], gids[2]);
}

TEST(HotlistImport, MissingFileFailsWithThePathAndTheReason) {
  test::TempDir dir;
  const std::string path = dir / "none.adr";
  try {
    ImportFile(path);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file \"" + path + "\". No such file or directory");
  }
  EXPECT_THROW(ImportFile(""), Error);
}

// Bytes that are not UTF-8 are read as Windows-1252 characters; the rest of the file stays.
TEST(HotlistImport, BytesThatAreNotUtf8AreReadAsWindows1252) {
  struct Case {
    std::string bytes;
    std::string name;
  };
  for (const Case& c :
       {Case{"\xE9t\xE9", "été"}, Case{"\xC0\xAF", "À¯"}, Case{"\x80\x81", "€\uFFFD"},
        Case{"\xE2\x82", "â‚"}, Case{"\xED\xA0\x80", "í\u00A0€"}}) {
    SCOPED_TRACE(c.bytes);
    auto document = ImportText(std::string(kHeader) + Url("caf" + c.bytes, "x") + Url("Ünï", "y"));
    EXPECT_EQ(Outline(Root(*document)), "caf" + c.name + "<x>,Ünï<y>");
  }
  EXPECT_EQ(ImportOutline(Url("Ünï €𝄞", "x")), "Ünï €𝄞<x>");
}

// Random cuts and damage must always end with a document, whatever the rest of the file.
TEST(HotlistImport, DamagedFilesAlwaysEnd) {
  QUILLARY_REQUIRE_SAMPLE(path, "opera/opera-config__bookmarks.adr");
  const std::string whole = test::ReadFile(path);
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes = whole.substr(0, random() % whole.size());
    for (int damage = round % 4; damage > 0 && !bytes.empty(); --damage)
      bytes[random() % bytes.size()] = "\r\n\t-#"[random() % 5];
    auto document = ImportText(bytes);
    ASSERT_TRUE(Root(*document)) << "cut at " << bytes.size();
  }
  const std::string nested = std::string(kHeader) + [] {
    std::string deep;
    for (int i = 0; i < 5000; ++i)
      deep += "#FOLDER\r\n\tNAME=n\r\n\r\n";
    return deep;
  }();
  EXPECT_TRUE(Root(*ImportText(nested)).first_child());
}

struct SampleCase {
  const char* file;
  int folders;
  int bookmarks;
};

class HotlistSample : public testing::TestWithParam<SampleCase> {};

// Counted in the files line by line, independently of the reader: "#FOLDER" blocks without
// "TRASH FOLDER=YES" and "#URL" blocks.
TEST_P(HotlistSample, ImportsEveryFolderAndBookmark) {
  QUILLARY_REQUIRE_SAMPLE(path, std::string("opera/") + GetParam().file);
  Counts counts;
  Count(Root(*ImportFile(path)), counts);
  EXPECT_EQ(counts.folders, GetParam().folders);
  EXPECT_EQ(counts.bookmarks, GetParam().bookmarks);
}

INSTANTIATE_TEST_SUITE_P(Samples, HotlistSample,
                         testing::Values(SampleCase{"Bookmarks-Parser__opera-1150-unix.adr", 1, 19},
                                         SampleCase{"Bookmarks-Parser__opera-1150.adr", 1, 19},
                                         SampleCase{"Bookmarks-Parser__opera6.adr", 1, 9},
                                         SampleCase{"Bookmarks-Parser__rt75463.adr", 0, 1},
                                         SampleCase{"Fenimorkin-tmp__bookmarks.adr", 5, 282},
                                         SampleCase{"OpenMandrivaAssociation-opera__bookmarks.adr",
                                                    3, 29},
                                         SampleCase{"dhcmrlchtdj-dotfiles__bookmarks.adr", 4, 29},
                                         SampleCase{"matik06-opera__bookmarks.adr", 39, 152},
                                         SampleCase{"opera-config__bookmarks.adr", 27, 356},
                                         SampleCase{"operau__bookmarks.adr", 29, 829}),
                         [](const testing::TestParamInfo<SampleCase>& info) {
                           std::string name;
                           for (const char* c = info.param.file; *c && *c != '.'; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

TEST(HotlistSamples, NamesAndAddressesAreWhole) {
  QUILLARY_REQUIRE_SAMPLE(crlf, "opera/Bookmarks-Parser__opera-1150.adr");
  QUILLARY_REQUIRE_SAMPLE(lf, "opera/Bookmarks-Parser__opera-1150-unix.adr");
  QUILLARY_REQUIRE_SAMPLE(spaces, "opera/Bookmarks-Parser__rt75463.adr");
  QUILLARY_REQUIRE_SAMPLE(mixed, "opera/OpenMandrivaAssociation-opera__bookmarks.adr");
  const std::string outline = Outline(Root(*ImportFile(crlf)));
  EXPECT_EQ(Outline(Root(*ImportFile(lf))), outline);
  EXPECT_EQ(outline.find('\r'), std::string::npos);
  EXPECT_NE(outline.find("Download.com<http://redir.opera.com/bookmarks/download>"),
            std::string::npos);
  EXPECT_EQ(Outline(Root(*ImportFile(spaces))),
            "Python<http://www.edgewall.org/python-sidebar/html/toc-tutorial.html>");
  auto mixedDocument = ImportFile(mixed);
  Node first = Root(*mixedDocument).first_child();
  EXPECT_EQ(Outline(first), "OpenMandriva Web Site<https://www.openmandriva.org>,OpenMandriva "
                            "Forums<https://forums.openmandriva.org>,OpenMandriva "
                            "Wiki<http://wiki.openmandriva.org>");
}

// The folder pass as written out plainly: take the first block, remove every copy of its text
// from the level, read the block's content, and so on.
void PlainReadLevel(std::string text, Node parent, int depth) {
  constexpr auto npos = std::string::npos;
  for (std::size_t f; (f = text.find("#FOLDER")) != npos;) {
    int open = 1;
    std::size_t at = f + 7, end = text.size();
    bool closed = false;
    while (true) {
      const std::size_t folder = text.find("#FOLDER", at), closer = text.find("\r\n\r\n-", at);
      if (folder == npos && closer == npos)
        break;
      if (folder < closer) {
        ++open;
        at = folder + 7;
      } else if (--open == 0) {
        end = closer + 5;
        closed = true;
        break;
      } else {
        at = closer + 5;
      }
    }
    const std::string block = text.substr(f, end - f);
    Node target = parent;
    if (block.find("TRASH FOLDER=YES") == npos) {
      std::size_t nameAt;
      target = AppendElement(parent, "folder");
      SetAttribute(
          target, "name",
          opera::FieldValue(std::string_view(block).substr(0, opera::BlockLinesEnd(block, 0)),
                            "NAME=", 0, nameAt));
    }
    const std::size_t contentEnd = closed ? block.size() - 5 : block.size();
    const std::size_t blank = block.find("\r\n\r\n");
    std::string content;
    if (blank != npos && blank + 4 <= contentEnd)
      content = block.substr(blank + 4, contentEnd - blank - 4);
    std::string rest;
    std::size_t from = 0;
    for (std::size_t hit; (hit = text.find(block, from)) != npos; from = hit + block.size())
      rest += text.substr(from, hit - from);
    text = rest + text.substr(from);
    const bool visible = std::any_of(content.begin(), content.end(),
                                     [](char c) { return static_cast<unsigned char>(c) > 32; });
    if (visible && depth < 200)
      PlainReadLevel(content, target, depth + 1);
  }
  opera::ReadBookmarks(text, parent);
}

// Random hotlists from few names, so that equal blocks turn up at one level and nested.
void RandomLevel(std::mt19937& random, int depth, std::string& out,
                 std::vector<std::string>& blocks) {
  const int items = static_cast<int>(random() % 5);
  for (int i = 0; i < items; ++i) {
    const unsigned pick = random() % 10;
    const std::string name(1, static_cast<char>('a' + random() % 3));
    if (pick < 4) {
      out += Url(name, std::to_string(random() % 3));
    } else if (pick < 6 && !blocks.empty()) {
      out += blocks[random() % blocks.size()];
    } else if (depth < 4) {
      std::string content;
      RandomLevel(random, depth + 1, content, blocks);
      const std::string block = Folder(name, content, pick == 9 ? kTrash : "");
      blocks.push_back(block.substr(0, block.size() - 2));
      out += block;
    }
  }
}

TEST(HotlistFolderPass, GivesTheResultOfThePlainTextRemoval) {
  std::mt19937 random(11);
  for (int round = 0; round < 400; ++round) {
    std::string text;
    std::vector<std::string> blocks;
    RandomLevel(random, 0, text, blocks);
    if (round % 10 == 0)
      text.resize(random() % (text.size() + 1));
    BookmarkDocument fast, plain;
    SetUpBookmarkDocument(fast, "utf-8", "R");
    SetUpBookmarkDocument(plain, "utf-8", "R");
    TOperaOjb::ReadLevel(text, Root(fast));
    PlainReadLevel(text, Root(plain), 0);
    ASSERT_EQ(Outline(Root(fast)), Outline(Root(plain))) << text;
  }
}

class HotlistExport : public testing::Test {
protected:
  std::string Path() const { return dir / "bookmarks.adr"; }
  void Export(BookmarkDocument& document) {
    TOperaOjb opera;
    opera.SourcePath = Path();
    opera.ExportBookmarks(document);
  }
  test::TempDir dir;
  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped{simulated};
};

TEST_F(HotlistExport, WritesTheHeaderAndTheBlocksByteForByte) {
  auto document = NewBookmarkDocument();
  Node folder = AppendElement(Root(*document), "folder");
  SetAttribute(folder, "name", "F");
  Node bookmark = AppendElement(folder, "url");
  SetAttribute(bookmark, "name", "b");
  SetAttribute(bookmark, "url", "u");
  AppendElement(Root(*document), "separator");
  simulated.queuedGuids = {platform::GuidBytes{0xAB, 0xCD}, platform::GuidBytes{0x12, 0x34}};
  Export(*document);
  EXPECT_EQ(test::ReadFile(Path()),
            std::string(kHeader) + "#FOLDER\r\n\t\tID=0\r\n\t\tNAME=F\r\n\t\tUNIQUEID=ABCD" +
                std::string(28, '0') +
                "\r\n\r\n"
                "#URL\r\n\t\tID=0\r\n\t\tNAME=b\r\n\t\tURL=u\r\n\t\tUNIQUEID=1234" +
                std::string(28, '0') + "\r\n\r\n-\r\n\r\n\r\n");
  EXPECT_EQ(kHeader.size(), 66u);
}

TEST_F(HotlistExport, ReplacesTheWholeFileAndAnEmptyRootGivesTheHeader) {
  test::WriteFile(Path(), "old content that is longer than what comes");
  auto document = NewBookmarkDocument();
  Export(*document);
  EXPECT_EQ(test::ReadFile(Path()), std::string(kHeader) + "\r\n");
}

TEST_F(HotlistExport, FailuresNameTheFileAndLeaveItAlone) {
  auto document = NewBookmarkDocument();
  TOperaOjb opera;
  opera.SourcePath = dir / "missing/bookmarks.adr";
  try {
    opera.ExportBookmarks(*document);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(
        std::string(error.what()).rfind("Cannot create file \"" + opera.SourcePath + "\". ", 0), 0u)
        << error.what();
  }
  test::WriteFile(Path(), "kept");
  BookmarkDocument empty;
  EXPECT_THROW(Export(empty), Error);
  EXPECT_EQ(test::ReadFile(Path()), "kept");
}

TEST_F(HotlistExport, WritesUtf8UpToTheNestingLimitAndRefusesDeeper) {
  auto nested = [](std::size_t depth) {
    auto document = NewBookmarkDocument();
    Node parent = Root(*document);
    for (std::size_t i = 0; i < depth; ++i)
      parent = AppendElement(parent, "folder");
    Node bookmark = AppendElement(parent, "url");
    SetAttribute(bookmark, "name", "caf\xE9\r\n#URL");
    SetAttribute(bookmark, "url", "u\n");
    return document;
  };
  Export(*nested(kMaxFolderDepth - 1));
  const std::string file = test::ReadFile(Path());
  EXPECT_TRUE(IsWellFormedUtf8(file));
  EXPECT_NE(file.find("NAME=café #URL\r\n\t\tURL=u\r\n"), std::string::npos);
  EXPECT_EQ(std::count(file.begin(), file.end(), '-'), kMaxFolderDepth - 1);

  EXPECT_THROW(Export(*nested(kMaxFolderDepth)), NestingError);
  EXPECT_EQ(test::ReadFile(Path()), file);
}

TEST_F(HotlistExport, ReadsBackWhatItWrote) {
  auto document = NewBookmarkDocument();
  Node root = Root(*document);
  auto folder = [](Node parent, const char* name) {
    Node element = AppendElement(parent, "folder");
    SetAttribute(element, "name", name);
    return element;
  };
  auto bookmark = [](Node parent, const char* name, const char* url) {
    Node element = AppendElement(parent, "url");
    SetAttribute(element, "name", name);
    SetAttribute(element, "url", url);
  };
  Node news = folder(root, "Новости");
  folder(folder(news, "Deep"), "Empty");
  bookmark(news, "Ünï & <x>", "http://example.com/?a=1&b=2#top");
  folder(root, "");
  bookmark(root, "  spaced  ", "");
  bookmark(root, "日本", "ftp://x/y");
  Export(*document);
  auto back = ImportFile(Path());
  EXPECT_EQ(Outline(Root(*back)), Outline(root));
}

} // namespace
