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
                 {"NEWS", FindTarget::All, false, false},
                 {"news today|http://example.com/news", "news|http://deep.example/x"}},
        FindCase{"MatchCaseShowsTheTextsUnchanged",
                 {"News", FindTarget::All, false, true},
                 {"News Today|http://Example.com/News"}},
        FindCase{"WholeWordComparesWholeFields",
                 {"news", FindTarget::All, true, false},
                 {"news|http://deep.example/x"}},
        FindCase{"SearchTextIsTrimmedButFieldsAreNot",
                 {" \t spaced \n", FindTarget::All, true, false},
                 {}},
        FindCase{"FieldWithBlanksFoundByPart",
                 {"spaced", FindTarget::Name, false, false},
                 {"  spaced  |http://s.example/"}},
        FindCase{"TargetNameOnly", {"example", FindTarget::Name, false, false}, {}},
        FindCase{"TargetUrlOnly",
                 {"deep", FindTarget::Url, false, false},
                 {"news|http://deep.example/x"}},
        FindCase{"TargetNothingFindsNothing", {"news", FindTarget::Nothing, false, false}, {}},
        FindCase{"NonAsciiLettersKeepTheirCase", {"CAFÉ", FindTarget::All, false, false}, {}},
        FindCase{"NonAsciiLettersMatchThemselves",
                 {"CAFé", FindTarget::All, false, false},
                 {"café|http://cafe.example/"}},
        FindCase{"FolderNamesNeverMatch", {"folder", FindTarget::All, false, false}, {}}),
    [](const testing::TestParamInfo<FindCase>& info) { return info.param.name; });

TEST(Find, BlankTextDoesNothing) {
  BookmarkDocument collection;
  Parse(collection, kCollection);
  EXPECT_FALSE(FindBookmarks(collection, {" \t", FindTarget::All}).has_value());
}

TEST(Find, WithoutCollectionFailsWithNoActiveDocument) {
  BookmarkDocument empty;
  try {
    FindBookmarks(empty, {"x", FindTarget::All});
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "No active document");
  }
  EXPECT_FALSE(FindBookmarks(empty, {"", FindTarget::All}).has_value());
}

} // namespace
