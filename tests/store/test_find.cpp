#include "base/Error.h"
#include "store/Find.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace quillary;

namespace {

const char* kCollection =
    "<folder name='bookmarks'>"
    "<url name='News Today' url='http://Example.com/News'/>"
    "<folder name='news folder'>"
    "<URL name='Café' url='http://cafe.example/'/>"
    "<Folder name='deep'><url name='news' url='http://deep.example/x'/></Folder>"
    "</folder>"
    "<url name='  spaced  ' url='http://s.example/'/>"
    "<other><url name='news hidden' url='news'/></other>"
    "</folder>";

struct FindCase {
  const char* name;
  FindOptions options;
  std::vector<std::string> rows; // "name|url"
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FindCase& c, std::ostream* out) {
  *out << '"' << c.name << '"';
}

class FindRules : public testing::TestWithParam<FindCase> {};

TEST_P(FindRules, ListTheMatchesInDocumentOrder) {
  BookmarkDocument collection;
  Parse(collection, kCollection);
  auto found = FindBookmarks(collection, GetParam().options);
  ASSERT_TRUE(found.has_value());
  std::vector<std::string> rows;
  for (const FoundBookmark& row : *found)
    rows.push_back(row.name + "|" + row.url);
  EXPECT_EQ(rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindRules,
    testing::Values(
        FindCase{"PartOfAFieldIgnoringCaseShowsLoweredTexts",
                 {"NEWS", "All", false, false},
                 {"news today|http://example.com/news", "news|http://deep.example/x"}},
        FindCase{"MatchCaseShowsTheTextsUnchanged",
                 {"News", "All", false, true},
                 {"News Today|http://Example.com/News"}},
        FindCase{"WholeWordComparesWholeFields",
                 {"news", "All", true, false},
                 {"news|http://deep.example/x"}},
        FindCase{"SearchTextIsTrimmedButFieldsAreNot", {" \t spaced \n", "All", true, false}, {}},
        FindCase{"FieldWithBlanksFoundByPart",
                 {"spaced", "Bookmark name", false, false},
                 {"  spaced  |http://s.example/"}},
        FindCase{"TargetNameOnly", {"example", "Bookmark name", false, false}, {}},
        FindCase{"TargetUrlOnly",
                 {"deep", "Bookmark URL", false, false},
                 {"news|http://deep.example/x"}},
        FindCase{"TargetIsTrimmed",
                 {"deep", " Bookmark URL ", false, false},
                 {"news|http://deep.example/x"}},
        FindCase{"TypedTargetFindsNothing", {"news", "bookmark name", false, false}, {}},
        FindCase{"NonAsciiLettersKeepTheirCase", {"CAFÉ", "All", false, false}, {}},
        FindCase{"NonAsciiLettersMatchThemselves",
                 {"CAFé", "All", false, false},
                 {"café|http://cafe.example/"}},
        FindCase{"FolderNamesNeverMatch", {"folder", "All", false, false}, {}}),
    [](const testing::TestParamInfo<FindCase>& info) { return info.param.name; });

TEST(Find, BlankTextOrTargetDoesNothing) {
  BookmarkDocument collection;
  Parse(collection, kCollection);
  EXPECT_FALSE(FindBookmarks(collection, {" \t", "All"}).has_value());
  EXPECT_FALSE(FindBookmarks(collection, {"news", "  "}).has_value());
}

TEST(Find, WithoutCollectionFailsWithNoActiveDocument) {
  BookmarkDocument empty;
  try {
    FindBookmarks(empty, {"x", "All"});
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "No active document");
  }
  EXPECT_FALSE(FindBookmarks(empty, {"", "All"}).has_value());
}

} // namespace
