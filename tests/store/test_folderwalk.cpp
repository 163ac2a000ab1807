#include "store/FolderWalk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quillary;

namespace {

// Tags in mixed letter case, a bookmark before a subfolder, a non-folder element holding a url,
// whitespace and a comment; gid "D" is carried by two folders.
constexpr const char* kCollection = R"(<?xml version="1.0" encoding="UTF-8"?>
<folder name="bookmarks" gid="R">
  <url name="b1" url="http://one/" gid="B1"/>
  <Folder name="A" gid="A">
    <URL name="a1" url="http://a1/" gid="A1"/>
    <folder name="D" gid="D"><url name="d1" url="http://d1/" gid="D1"/></folder>
  </Folder>
  <!-- a comment -->
  <other gid="X"><url name="hidden" url="http://hidden/" gid="H"/><folder gid="XF"/></other>
  <url name="nested" url="http://n/" gid="N"><folder name="inbookmark" gid="IB"/></url>
  <folder name="D again" gid="D"><url name="d2" url="http://d2/" gid="D2"/></folder>
  <folder name="[ .. ]" gid="P"/>
</folder>)";

class FolderWalkTest : public ::testing::Test {
protected:
  void SetUp() override { Parse(document, kCollection); }
  Node root() const { return Root(document); }
  std::vector<std::string> Captions(Node folder, bool withParent) const {
    std::vector<std::string> captions;
    for (const ListRow& row : ListRowsOf(folder.first_child(), withParent))
      captions.push_back(row.caption);
    return captions;
  }
  BookmarkDocument document;
};

} // namespace

TEST_F(FolderWalkTest, FindsOnlyThroughFoldersAndTakesTheFirstMatch) {
  struct Case {
    const char* gid;
    bool folder;
    const char* expectedName; // nullptr: not found
  };
  const Case cases[] = {
      {"R", true, "bookmarks"}, {"A", true, "A"},      {"D", true, "D"},    {"XF", true, nullptr},
      {"IB", true, nullptr},    {"A1", true, nullptr}, {"A1", false, "a1"}, {"D2", false, "d2"},
      {"H", false, nullptr},    {"A", false, nullptr}, {"", true, nullptr}, {"d", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.gid) + (c.folder ? " folder" : " bookmark"));
    Node found = c.folder ? FindFolder(root(), c.gid) : FindBookmark(root(), c.gid);
    if (c.expectedName)
      EXPECT_EQ(GetAttribute(found, "name"), c.expectedName);
    else
      EXPECT_FALSE(found);
  }
}

TEST_F(FolderWalkTest, ListsFoldersBeforeBookmarksAndOnlyKnownElements) {
  EXPECT_EQ(Captions(root(), false),
            (std::vector<std::string>{"A", "D again", "[ .. ]", "b1", "nested"}));
  Node a = FindFolder(root(), "A");
  EXPECT_EQ(Captions(a, true), (std::vector<std::string>{"[ .. ]", "D", "a1"}));
  EXPECT_EQ(Captions(FindFolder(root(), "P"), true), (std::vector<std::string>{"[ .. ]"}));

  const std::vector<ListRow> rows = ListRowsOf(a.first_child(), true);
  EXPECT_FALSE(rows[0].data.has_value());
  EXPECT_EQ(rows[1].image, kImageFolder);
  EXPECT_EQ(rows[1].data->gid, "D");
  EXPECT_EQ(rows[2].image, kImageBookmark);
  EXPECT_EQ(rows[2].url, "http://a1/");
  EXPECT_EQ(rows[2].data->gid, "A1");
}

TEST_F(FolderWalkTest, RowKindIsToldByCaptionThenImage) {
  EXPECT_EQ(RowKindOf(kImageFolder, "[ .. ]"), TRowKind::Parent);
  EXPECT_EQ(RowKindOf(kImageBookmark, "[ .. ]"), TRowKind::Parent);
  EXPECT_EQ(RowKindOf(kImageFolder, "[ ..]"), TRowKind::Folder);
  EXPECT_EQ(RowKindOf(kImageBookmark, "A"), TRowKind::Bookmark);
}

TEST_F(FolderWalkTest, FolderActionsChangeTheFirstMatchingFolder) {
  const Tdata added{" New ", "NEW"};
  ASSERT_TRUE(FolderAction(root(), "D", added, "", "", TFolderAction::AddFolder));
  Node newFolder = FindFolder(root(), "NEW");
  ASSERT_TRUE(newFolder);
  EXPECT_STREQ(newFolder.name(), "Folder");
  EXPECT_EQ(GetAttribute(newFolder, "name"), " New ");
  EXPECT_EQ(GetAttribute(newFolder.parent(), "name"), "D");
  EXPECT_EQ(newFolder.parent().last_child(), newFolder);

  ASSERT_TRUE(FolderAction(root(), "NEW", Tdata{}, "http://x/", "x", TFolderAction::AddBookmark));
  Node bookmark = newFolder.last_child();
  EXPECT_STREQ(bookmark.name(), "url");
  EXPECT_EQ(GetAttribute(bookmark, "name"), "x");
  EXPECT_EQ(GetAttribute(bookmark, "url"), "http://x/");
  EXPECT_EQ(GetAttribute(bookmark, "gid"), "");

  // Renaming the second "D" renames the first one in the document.
  ASSERT_TRUE(FolderAction(root(), "D", Tdata{"renamed", "D"}, "", "", TFolderAction::Rename));
  EXPECT_TRUE(FindFolder(root(), "A").find_child_by_attribute("name", "renamed"));
  EXPECT_TRUE(root().find_child_by_attribute("name", "D again"));

  ASSERT_TRUE(FolderAction(root(), "A", Tdata{}, "", "", TFolderAction::Delete));
  EXPECT_FALSE(FindBookmark(root(), "A1"));
  EXPECT_FALSE(FindFolder(root(), "NEW"));
  EXPECT_EQ(GetAttribute(FindFolder(root(), "D"), "name"), "D again");

  const std::string before = Serialise(document);
  EXPECT_FALSE(FolderAction(root(), "missing", Tdata{"x", "y"}, "", "", TFolderAction::Rename));
  EXPECT_FALSE(FolderAction(root(), "missing", Tdata{}, "", "", TFolderAction::Delete));
  EXPECT_EQ(Serialise(document), before);
}

TEST_F(FolderWalkTest, BookmarkActionsChangeOrRemoveTheBookmark) {
  EXPECT_TRUE(BookmarkAction(root(), Tdata{"ignored", "A1"}, "a one", TBookmarkAction::Change,
                             "http://changed/"));
  Node changed = FindBookmark(root(), "A1");
  EXPECT_EQ(GetAttribute(changed, "name"), "a one");
  EXPECT_EQ(GetAttribute(changed, "url"), "http://changed/");

  EXPECT_TRUE(BookmarkAction(root(), Tdata{"", "D2"}, "", TBookmarkAction::Delete, ""));
  EXPECT_FALSE(FindBookmark(root(), "D2"));
  EXPECT_TRUE(FindFolder(root(), "D"));
  EXPECT_FALSE(BookmarkAction(root(), Tdata{"", "H"}, "", TBookmarkAction::Delete, ""));
  EXPECT_TRUE(root().find_child_by_attribute("gid", "X").first_child());
}

TEST_F(FolderWalkTest, CountsBookmarksReachedThroughFolders) {
  // b1, nested, a1, d1, d2; not the url inside <other>.
  EXPECT_EQ(CountBookmarks(root()), 5);
  EXPECT_EQ(CountBookmarks(Node()), 0);
}

TEST(FolderWalkRules, BlankTextAndTheRoot) {
  EXPECT_TRUE(IsBlankText(""));
  EXPECT_TRUE(IsBlankText(" \t\r\n"));
  EXPECT_FALSE(IsBlankText("  a "));
  EXPECT_FALSE(IsBlankText("\xC2\xA0")); // a no-break space is text
  EXPECT_TRUE(IsRootNode("bookmarks", false));
  EXPECT_FALSE(IsRootNode("bookmarks", true));
  EXPECT_FALSE(IsRootNode("Bookmarks", false));
}
