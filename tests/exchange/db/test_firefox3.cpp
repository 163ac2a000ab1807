#include "exchange/db/untFirefox3.h"

#include "exchange/db/PlacesSchemas.h"
#include "platform/SimulatedPlatform.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <numeric>
#include <random>
#include <regex>
#include <set>

namespace quillary {
namespace {

using sqlite3d::Connection;
using sqlite3d::OpenMode;
using sqlite3d::Statement;
using test::AddBookmark;
using test::AddFolder;

// A places database made by the test, in a folder of its own.
class PlacesDb {
public:
  explicit PlacesDb(const char* schema, const std::string& rows = "") {
    Connection db(path, OpenMode::ReadWriteCreate);
    db.Execute(schema);
    if (!rows.empty())
      db.Execute(rows);
  }

  // The query's rows, one line each, columns separated by "|".
  std::string Rows(const std::string& sql) const {
    Connection db(path, OpenMode::ReadOnly);
    Statement query(db, sql);
    std::string text;
    while (query.Step()) {
      for (int i = 0; i < query.ColumnCount(); ++i)
        text += (i ? "|" : "") + query.ColumnText(i);
      text += "\n";
    }
    return text;
  }

  std::int64_t Number(const std::string& sql) const { return std::stoll(Rows(sql)); }

  // Everything the exchanger may touch, to show that a failed run changed nothing.
  std::string Contents() const {
    return Rows("SELECT * FROM moz_bookmarks ORDER BY id") +
           Rows("SELECT * FROM moz_places ORDER BY id");
  }

  test::TempDir dir;
  std::string path = dir / "places.sqlite";
};

// The tree below a node as text: a folder as name[children], a bookmark as name=url.
std::string Describe(Node parent) {
  std::string text;
  for (Node child : parent.children()) {
    if (!text.empty())
      text += ", ";
    if (IsFolder(child))
      text += GetAttribute(child, "name") + "[" + Describe(child) + "]";
    else
      text += GetAttribute(child, "name") + "=" + GetAttribute(child, "url");
  }
  return text;
}

// Every element carries its attributes in the document's order, with a fresh gid.
void ExpectWellFormed(Node parent, std::set<std::string>& gids) {
  for (Node child : parent.children()) {
    std::string names;
    for (pugi::xml_attribute attribute : child.attributes())
      names += std::string(attribute.name()) + " ";
    EXPECT_EQ(names, IsFolder(child) ? "name gid " : "name url gid ");
    EXPECT_EQ(GetAttribute(child, "gid").size(), 36u);
    EXPECT_TRUE(gids.insert(GetAttribute(child, "gid")).second);
    ExpectWellFormed(child, gids);
  }
}

std::unique_ptr<BookmarkDocument> Import(const std::string& path, Tlite3& module) {
  TFirefox3Ojb exchanger(module);
  exchanger.SourcePath = path;
  return exchanger.ImportBookmarks();
}

void Export(const std::string& path, BookmarkDocument& document, Tlite3& module) {
  TFirefox3Ojb exchanger(module);
  exchanger.SourcePath = path;
  exchanger.ExportBookmarks(document);
}

struct ImportCase {
  const char* name;
  const char* schema;
  const char* rows;
  const char* expected;
};

class Firefox3Import : public ::testing::TestWithParam<ImportCase> {};

TEST_P(Firefox3Import, ReadsTheMenuThenTheToolbarFolder) {
  const ImportCase& c = GetParam();
  PlacesDb db(c.schema, c.rows);
  Tlite3 module;
  const auto document = Import(db.path, module);
  const Node root = Root(*document);
  EXPECT_EQ(GetAttribute(root, "name"), "bookmarks");
  EXPECT_EQ(Describe(root), c.expected);
  std::set<std::string> gids{GetAttribute(root, "gid")};
  ExpectWellFormed(root, gids);
  EXPECT_FALSE(module.DB.IsOpen());
}

// Firefox 3 rows: the built-in ones (ids up to 15) never count, and sibling order is the row
// order, not `position`.
constexpr const char* Firefox3Rows = R"sql(
INSERT INTO moz_places(id, url, title) VALUES (1, 'http://one/', 'One'), (2, 'http://two/', 'Two'),
  (3, 'http://built-in/', 'B'), (4, 'http://toolbar/', 'T');
INSERT INTO moz_bookmarks(id, type, fk, parent, position, title) VALUES
  (7, 2, NULL, 2, 0, 'Built-in folder'), (8, 1, 3, 7, 0, 'Inside built-in'),
  (9, 1, 3, 2, 1, 'Built-in bookmark'), (12, 1, 3, 16, 0, 'Low id in user folder'),
  (16, 2, NULL, 2, 5, 'User folder'), (17, 1, 1, 16, 9, 'One'), (18, 3, NULL, 16, 1, NULL),
  (19, 2, NULL, 16, 0, 'Nested'), (20, 1, 2, 19, 0, 'Two'), (21, 1, 999, 2, 0, 'No place'),
  (22, 1, 4, 3, 0, 'On toolbar'), (23, 4, NULL, 2, 0, 'Other type'), (24, 1, NULL, 2, 1, NULL);
)sql";

// Current rows start at id 7; tags and the mobile root stay out, the unfiled root comes in.
constexpr const char* CurrentRows = R"sql(
INSERT INTO moz_places(id, url, title, guid) VALUES (1, 'http://menu/', 'M', 'place0000001'),
  (2, 'http://toolbar/', 'T', 'place0000002'), (3, 'http://unfiled/', 'U', 'place0000003'),
  (4, 'http://mobile/', 'Mo', 'place0000004');
INSERT INTO moz_bookmarks(id, type, fk, parent, position, title, guid) VALUES
  (7, 2, NULL, 2, 0, 'First user folder', 'aaaaaaaaaaaa'), (8, 1, 1, 7, 0, 'Menu item', 'bbbbbbbbbbbb'),
  (9, 1, 2, 3, 0, 'Toolbar item', 'cccccccccccc'), (10, 1, 3, 5, 0, 'Unfiled item', 'dddddddddddd'),
  (11, 2, NULL, 4, 0, 'a tag', 'eeeeeeeeeeee'), (12, 1, 1, 11, 0, NULL, 'ffffffffffff'),
  (13, 1, 4, 6, 0, 'Mobile item', 'gggggggggggg'), (14, 3, NULL, 2, 1, NULL, 'hhhhhhhhhhhh');
)sql";

// A damaged database: the menu lost its root guid and hangs below its own child.
constexpr const char* CycleRows = R"sql(
INSERT INTO moz_places(id, url, title) VALUES (1, 'http://inside/', 'I');
UPDATE moz_bookmarks SET guid = 'damaged_menu', parent = 7 WHERE id = 2;
INSERT INTO moz_bookmarks(id, type, fk, parent, position, title, guid) VALUES
  (7, 2, NULL, 2, 0, 'Loop', 'aaaaaaaaaaaa'), (8, 1, 1, 7, 0, 'Inside', 'bbbbbbbbbbbb');
)sql";

INSTANTIATE_TEST_SUITE_P(
    Shapes, Firefox3Import,
    ::testing::Values(
        ImportCase{"Firefox3IdRule", test::Firefox3PlacesSchema, Firefox3Rows,
                   "User folder[One=http://one/, Nested[Two=http://two/]], No place=, =, "
                   "Bookmarks Toolbar[On toolbar=http://toolbar/]"},
        ImportCase{"Firefox3OnlyBuiltInRows", test::Firefox3PlacesSchema,
                   "INSERT INTO moz_bookmarks(id, type, parent, title) VALUES (7, 2, 2, 'A'), "
                   "(8, 1, 7, 'B'), (9, 1, 3, 'C')",
                   "Bookmarks Toolbar[]"},
        ImportCase{"Firefox3WithoutRow3", test::Firefox3PlacesSchema,
                   "DELETE FROM moz_bookmarks WHERE id = 3", "[]"},
        ImportCase{
            "CurrentGuidRuleAndUnfiled", test::CurrentPlacesSchema, CurrentRows,
            "First user folder[Menu item=http://menu/], toolbar[Toolbar item=http://toolbar/], "
            "unfiled[Unfiled item=http://unfiled/]"},
        ImportCase{"ParentCycle", test::CurrentPlacesSchema, CycleRows,
                   "Loop[Inside=http://inside/], toolbar[], unfiled[]"}),
    [](const auto& info) { return std::string(info.param.name); });

// The plain form of the walk: filter the whole snapshot by parent for every folder.
std::string PlainWalk(const std::vector<BookmarkRow>& rows, std::int64_t parent) {
  std::string text;
  for (const BookmarkRow& row : rows) {
    if (row.parent != parent || row.id <= 15 || (row.type != 1 && row.type != 2))
      continue;
    if (!text.empty())
      text += ", ";
    text +=
        row.type == 2 ? row.title + "[" + PlainWalk(rows, row.id) + "]" : row.title + "=" + row.url;
  }
  return text;
}

TEST(Firefox3ImportIndex, GivesThePlainWalksResultOnAShuffledTree) {
  // Ids are shuffled, so children often come before their folders in row order and the rows
  // of many folders interleave.
  std::mt19937 random(7);
  std::vector<std::int64_t> ids(400);
  std::iota(ids.begin(), ids.end(), 16);
  std::shuffle(ids.begin(), ids.end(), random);
  std::vector<std::int64_t> folders{2, 3, 4, 9};
  std::string rows =
      "INSERT INTO moz_bookmarks(id, type, fk, parent, title) VALUES (9, 2, NULL, 2, "
      "'low'), (10, 1, 1, 9, 'under low');\n"
      "INSERT INTO moz_places(id, url) VALUES (1, 'http://p/1')";
  for (std::size_t i = 1; i <= ids.size(); ++i)
    rows += ", (" + std::to_string(i + 1) + ", 'http://p/" + std::to_string(i + 1) + "')";
  rows += ";\n";
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const std::int64_t type = std::array<std::int64_t, 4>{1, 1, 2, 3}[random() % 4];
    const std::int64_t parent = folders[random() % folders.size()];
    rows += "INSERT INTO moz_bookmarks(id, type, fk, parent, title) VALUES (" +
            std::to_string(ids[i]) + ", " + std::to_string(type) + ", " + std::to_string(i + 2) +
            ", " + std::to_string(parent) + ", 'n" + std::to_string(i) + "');\n";
    if (type == 2)
      folders.push_back(ids[i]);
  }
  PlacesDb db(test::Firefox3PlacesSchema, rows);
  Tlite3 module;
  const auto document = Import(db.path, module);
  const std::string plain = PlainWalk(module.cdtData.Rows(), 2) + ", Bookmarks Toolbar[" +
                            PlainWalk(module.cdtData.Rows(), 3) + "]";
  EXPECT_GT(plain.size(), 2000u); // the tree is not trivially small
  EXPECT_EQ(Describe(Root(*document)), plain);
}

TEST(Firefox3ImportFailure, ReportsTheCauseAndLeavesTheFileAlone) {
  struct Case {
    const char* name;
    const char* content; // nullptr: no file at all
    const char* message;
  };
  const Case cases[] = {
      {"missing file", nullptr, "unable to open database file"},
      {"empty file", "", "no such table: moz_bookmarks"},
      {"not a database",
       "<html>bookmarks</html>\n                                            "
       "                                                           x",
       "file is not a database"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const std::string path = dir / "places.sqlite";
    if (c.content)
      test::WriteFile(path, c.content);
    Tlite3 module;
    for (bool exporting : {false, true}) {
      try {
        if (exporting) {
          auto document = NewBookmarkDocument();
          Export(path, *document, module);
        } else {
          Import(path, module);
        }
        ADD_FAILURE() << "no error";
      } catch (const Error& error) {
        EXPECT_STREQ(error.what(), c.message);
      }
      EXPECT_FALSE(module.DB.IsOpen());
      if (c.content)
        EXPECT_EQ(test::ReadFile(path), c.content);
      else
        EXPECT_FALSE(std::filesystem::exists(path));
    }
  }
}

TEST(Firefox3ImportFailure, RowsThatCannotBeCopiedGiveTheCloseTheBrowserMessage) {
  // Prepared fine, fails while its rows are read: the copy, not the query, goes wrong.
  PlacesDb db(R"sql(
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT);
CREATE VIEW moz_bookmarks AS SELECT 16 AS id, abs(-9223372036854775807 - 1) AS type, 2 AS parent,
  'x' AS title, NULL AS fk;
)sql");
  Tlite3 module;
  try {
    Import(db.path, module);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "The browser not closed or database does not exist.");
  }
  EXPECT_FALSE(module.DB.IsOpen());
}

TEST(Firefox3ImportFailure, DatabaseHeldByTheBrowserFailsAtOnce) {
  PlacesDb db(test::CurrentPlacesSchema);
  Connection browser(db.path);
  browser.Execute("BEGIN EXCLUSIVE");
  Tlite3 module;
  try {
    Import(db.path, module);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "database is locked");
  }
  EXPECT_FALSE(module.DB.IsOpen());
}

// The document both export tests write.
std::unique_ptr<BookmarkDocument> ExportDocument() {
  auto document = NewBookmarkDocument();
  Node root = Root(*document);
  Node docs = AddFolder(root, "Docs");
  AddBookmark(docs, "Into docs", "http://new-in-docs/");
  Node created = AddFolder(root, "New folder", "Folder");
  AddBookmark(created, "Visited again", "http://visited/");
  AddBookmark(created, "Already", "http://bookmarked/");
  AddBookmark(created, "", "http://no-name/");
  AddBookmark(created, "No address", "");
  Node inner = AddFolder(created, "Inner");
  AddBookmark(inner, "Deep", "http://deep/", "URL");
  // A second folder of that name, deeper down, lands in the same database folder.
  AddBookmark(AddFolder(created, "Docs"), "Nested docs", "http://nested-docs/");
  AppendElement(root, "separator");
  AddBookmark(root, "Top", "http://top/");
  return document;
}

// A bookmark row titled like the folder comes first; a place is only in history.
constexpr const char* ExportRowsFirefox3 = R"sql(
INSERT INTO moz_places(id, url, title) VALUES (1, 'http://visited/', 'Visited'),
  (2, 'http://bookmarked/', 'B');
INSERT INTO moz_bookmarks(id, type, fk, parent, position, title) VALUES
  (16, 1, 2, 2, 0, 'Docs'), (17, 2, NULL, 2, 1, 'Docs'), (18, 1, 2, 17, 0, 'B');
)sql";

constexpr const char* NewRowsQuery =
    "SELECT b.type, b.parent, p.title, b.position, b.title, ifnull(pl.url, ''), b.fk FROM "
    "moz_bookmarks b "
    "JOIN moz_bookmarks p ON b.parent = p.id LEFT JOIN moz_places pl ON b.fk = pl.id "
    "WHERE b.id > 18 ORDER BY b.id";

TEST(Firefox3Export, Firefox3DatabaseGetsThePlainStatements) {
  // The oldest Firefox 3 databases have no frecency column: their bookmarks must come in too.
  for (bool frecency : {true, false}) {
    SCOPED_TRACE(frecency ? "with frecency" : "without frecency");
    PlacesDb db(test::Firefox3PlacesSchema,
                std::string(ExportRowsFirefox3) +
                    (frecency ? "" : "ALTER TABLE moz_places DROP COLUMN frecency;"));
    ASSERT_EQ(Connection(db.path).HasColumn("moz_places", "frecency"), frecency);
    Tlite3 module;
    auto document = ExportDocument();
    Export(db.path, *document, module);
    EXPECT_FALSE(module.DB.IsOpen());

    // Depth first; every row at position 6; the history-only place gets its bookmark (fk 1).
    EXPECT_EQ(db.Rows(NewRowsQuery), "1|17|Docs|6|Into docs|http://new-in-docs/|3\n"
                                     "2|2|Bookmarks Menu|6|New folder||\n"
                                     "1|20|New folder|6|Visited again|http://visited/|1\n"
                                     "2|20|New folder|6|Inner||\n"
                                     "1|22|Inner|6|Deep|http://deep/|4\n"
                                     "1|17|Docs|6|Nested docs|http://nested-docs/|5\n"
                                     "1|2|Bookmarks Menu|6|Top|http://top/|6\n");
    EXPECT_EQ(db.Number("SELECT count(*) FROM moz_bookmarks WHERE id > 18 AND (dateAdded IS NOT "
                        "NULL OR lastModified IS NOT NULL)"),
              0);
    EXPECT_EQ(db.Rows(std::string("SELECT url, title") + (frecency ? ", frecency" : "") +
                      " FROM moz_places WHERE id > 2 ORDER BY id"),
              frecency ? "http://new-in-docs/|Into docs|140\nhttp://deep/|Deep|140\n"
                         "http://nested-docs/|Nested docs|140\nhttp://top/|Top|140\n"
                       : "http://new-in-docs/|Into docs\nhttp://deep/|Deep\n"
                         "http://nested-docs/|Nested docs\nhttp://top/|Top\n");
  }
}

TEST(Firefox3Export, CurrentDatabaseGetsWhatTheBrowserFills) {
  PlacesDb db(test::CurrentPlacesSchema, R"sql(
INSERT INTO moz_places(id, url, title, guid, foreign_count, url_hash) VALUES
  (1, 'http://visited/', 'Visited', 'place0000001', 0, 1), (2, 'http://bookmarked/', 'B', 'place0000002', 2, 2);
INSERT INTO moz_bookmarks(id, type, fk, parent, position, title, guid) VALUES
  (16, 1, 2, 2, 0, 'Docs', 'aaaaaaaaaaaa'), (17, 2, NULL, 2, 1, 'Docs', 'bbbbbbbbbbbb'),
  (18, 1, 2, 17, 0, 'B', 'cccccccccccc');
)sql");
  Tlite3 module;
  auto document = ExportDocument();
  const auto now = [] {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  const std::int64_t before = now();
  Export(db.path, *document, module);
  const std::int64_t after = now();

  // Positions follow the existing siblings; a new folder's children count from 0.
  EXPECT_EQ(db.Rows(NewRowsQuery), "1|17|Docs|1|Into docs|http://new-in-docs/|3\n"
                                   "2|2|menu|2|New folder||\n"
                                   "1|20|New folder|0|Visited again|http://visited/|1\n"
                                   "2|20|New folder|1|Inner||\n"
                                   "1|22|Inner|0|Deep|http://deep/|4\n"
                                   "1|17|Docs|2|Nested docs|http://nested-docs/|5\n"
                                   "1|2|menu|3|Top|http://top/|6\n");
  const std::regex guid("[A-Za-z0-9_-]{12}");
  std::set<std::string> guids;
  Connection check(db.path, OpenMode::ReadOnly);
  Statement bookmarks(check,
                      "SELECT guid, dateAdded, lastModified FROM moz_bookmarks WHERE id > 18");
  while (bookmarks.Step()) {
    const std::string text = bookmarks.ColumnText("guid");
    EXPECT_TRUE(std::regex_match(text, guid)) << text;
    EXPECT_TRUE(guids.insert(text).second);
    EXPECT_GE(bookmarks.ColumnInt64("dateAdded"), before);
    EXPECT_LE(bookmarks.ColumnInt64("dateAdded"), after);
    EXPECT_EQ(bookmarks.ColumnInt64("lastModified"), bookmarks.ColumnInt64("dateAdded"));
  }
  EXPECT_EQ(guids.size(), 7u);
  Statement places(check, "SELECT url, guid, foreign_count, url_hash, frecency FROM moz_places "
                          "WHERE id > 2");
  while (places.Step()) {
    const std::string url = places.ColumnText("url");
    SCOPED_TRACE(url);
    EXPECT_TRUE(std::regex_match(places.ColumnText("guid"), guid));
    EXPECT_EQ(places.ColumnInt64("foreign_count"), 1);
    EXPECT_EQ(places.ColumnInt64("url_hash"), PlacesUrlHash(url));
    EXPECT_EQ(places.ColumnInt64("frecency"), 140);
  }
  // The history-only place now has its bookmark; the other keeps its count.
  EXPECT_EQ(db.Rows("SELECT foreign_count FROM moz_places WHERE id <= 2 ORDER BY id"), "1\n2\n");
}

TEST(Firefox3Export, RepeatedAddressMakesOnePlaceAndABookmarkInEachFolder) {
  for (const char* schema : {test::Firefox3PlacesSchema, test::CurrentPlacesSchema}) {
    PlacesDb db(schema);
    Tlite3 module;
    auto document = NewBookmarkDocument();
    AddBookmark(Root(*document), "First", "http://same/");
    AddBookmark(AddFolder(Root(*document), "Elsewhere"), "Second", "http://same/");
    Export(db.path, *document, module);
    EXPECT_EQ(db.Number("SELECT count(*) FROM moz_places"), 1);
    EXPECT_EQ(db.Rows("SELECT title FROM moz_bookmarks WHERE type = 1 ORDER BY id"),
              "First\nSecond\n");
    if (schema == test::CurrentPlacesSchema) {
      EXPECT_EQ(db.Number("SELECT foreign_count FROM moz_places"), 2);
    }
    // Exported again, nothing more arrives.
    Export(db.path, *document, module);
    EXPECT_EQ(db.Number("SELECT count(*) FROM moz_bookmarks WHERE type = 1"), 2);
  }
}

// The two shapes of database, empty but for the browser's own rows.
struct Shape {
  const char* name;
  const char* schema;
  // Firefox 3 kept built-in rows up to id 15, so the user's rows start at 16 there.
  const char* builtIn;
  bool current;
};
std::ostream& operator<<(std::ostream& out, const Shape& shape) {
  return out << shape.name;
}

const Shape Shapes[] = {
    {"Firefox3", test::Firefox3PlacesSchema,
     "INSERT INTO moz_bookmarks(id, type, parent, position) VALUES (15, 3, 1, 9)", false},
    {"Current", test::CurrentPlacesSchema, "", true},
};

std::string ShapeName(const ::testing::TestParamInfo<Shape>& info) {
  return info.param.name;
}

class Firefox3RoundTrip : public ::testing::TestWithParam<Shape> {};

TEST_P(Firefox3RoundTrip, ImportGivesBackWhatWasExportedAndReexportAddsNothing) {
  PlacesDb db(GetParam().schema, GetParam().builtIn);
  Tlite3 module;
  auto written = NewBookmarkDocument();
  Node root = Root(*written);
  Node work = AddFolder(root, "Work & \"play\"");
  AddBookmark(work, "Caf\xC3\xA9 <menu>", "http://caf\xC3\xA9.example/?a=1&b=2");
  Node deeper = AddFolder(AddFolder(work, "Level 2"), "Level 3 \xE2\x82\xAC");
  AddBookmark(deeper, "Deep", "https://example.com/quillary/one");
  AddFolder(root, "Empty");
  AddBookmark(root, "Last", "https://example.com/quillary/two");
  Export(db.path, *written, module);

  const auto read = Import(db.path, module);
  const std::string toolbar =
      GetParam().current ? ", toolbar[], unfiled[]" : ", Bookmarks Toolbar[]";
  EXPECT_EQ(Describe(Root(*read)), Describe(root) + toolbar);

  // What was just imported, and the first document again, are already there.
  const std::string before = db.Contents();
  Export(db.path, *read, module);
  Export(db.path, *written, module);
  EXPECT_EQ(db.Contents(), before);

  // A document without children commits an empty transaction.
  auto empty = NewBookmarkDocument();
  Export(db.path, *empty, module);
  EXPECT_EQ(db.Contents(), before);
  EXPECT_FALSE(module.DB.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Shapes, Firefox3RoundTrip, ::testing::ValuesIn(Shapes), ShapeName);

// A folder matched by its name alone must not land where the browser shows nothing: the places
// root, the tags root or a tag. The roots that hold bookmarks stay matchable.
class Firefox3FolderMatch : public ::testing::TestWithParam<Shape> {};

TEST_P(Firefox3FolderMatch, SkipsThePlacesRootAndTheTags) {
  const bool current = GetParam().current;
  struct Case {
    const char* what;
    std::string name;
    std::int64_t folder; // the row that takes the bookmark; 0: a new folder below the menu
  };
  const Case cases[] = {
      {"tag", "news", 0},
      {"tags root", current ? "tags" : "Tags", 0},
      {"places root", "", 0},
      {"toolbar", current ? "toolbar" : "Bookmarks Toolbar", 3},
      {"unfiled", current ? "unfiled" : "Unsorted Bookmarks", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The tag "news" on one address, as the browser keeps it: a folder below the tags root.
    PlacesDb db(GetParam().schema, current ? R"sql(
INSERT INTO moz_places(id, url, guid) VALUES (1, 'http://tagged/', 'place0000001');
INSERT INTO moz_bookmarks(id, type, fk, parent, position, title, guid) VALUES
  (16, 2, NULL, 4, 0, 'news', 'aaaaaaaaaaaa'), (17, 1, 1, 16, 0, NULL, 'bbbbbbbbbbbb');
)sql"
                                           : R"sql(
INSERT INTO moz_places(id, url) VALUES (1, 'http://tagged/');
INSERT INTO moz_bookmarks(id, type, fk, parent, position, title) VALUES
  (16, 2, NULL, 4, 0, 'news'), (17, 1, 1, 16, 0, NULL);
)sql");
    auto document = NewBookmarkDocument();
    AddBookmark(AddFolder(Root(*document), c.name.c_str()), "Probe", "http://probe/");
    Tlite3 module;
    Export(db.path, *document, module);
    const std::string parent =
        db.Rows("SELECT p.id, p.parent, p.title FROM moz_bookmarks b JOIN moz_bookmarks p ON "
                "b.parent = p.id WHERE b.title = 'Probe'");
    if (c.folder != 0)
      EXPECT_EQ(parent, db.Rows("SELECT id, parent, title FROM moz_bookmarks WHERE id = " +
                                std::to_string(c.folder)));
    else
      EXPECT_EQ(parent, "18|2|" + c.name + "\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Firefox3FolderMatch, ::testing::ValuesIn(Shapes), ShapeName);

class Firefox3Rollback : public ::testing::TestWithParam<Shape> {};

TEST_P(Firefox3Rollback, FailingBookmarkInsertUndoesTheWholeExport) {
  PlacesDb db(GetParam().schema, R"sql(
CREATE TRIGGER refuse BEFORE INSERT ON moz_bookmarks WHEN NEW.title = 'Boom'
BEGIN SELECT RAISE(ABORT, 'refused'); END;
)sql");
  const std::string before = db.Contents();
  auto document = NewBookmarkDocument();
  AddBookmark(AddFolder(Root(*document), "Written first"), "x", "http://x/");
  AddBookmark(Root(*document), "Boom", "http://boom/");
  AddBookmark(Root(*document), "Never reached", "http://after/");
  Tlite3 module;
  Export(db.path, *document, module); // no error: the export rolls back quietly
  EXPECT_EQ(db.Contents(), before);
  EXPECT_FALSE(module.DB.IsOpen());
}

TEST_P(Firefox3Rollback, FailingFolderInsertUndoesTheWholeExport) {
  PlacesDb db(GetParam().schema, R"sql(
CREATE TRIGGER refuse BEFORE INSERT ON moz_bookmarks WHEN NEW.type = 2 AND NEW.title = 'Bad'
BEGIN SELECT RAISE(ABORT, 'refused'); END;
)sql");
  const std::string before = db.Contents();
  auto document = NewBookmarkDocument();
  AddBookmark(Root(*document), "Written first", "http://x/");
  AddBookmark(AddFolder(AddFolder(Root(*document), "Good"), "Bad"), "y", "http://y/");
  Tlite3 module;
  Export(db.path, *document, module);
  EXPECT_EQ(db.Contents(), before);
}

TEST_P(Firefox3Rollback, FailingPlaceInsertSkipsOnlyThatBookmark) {
  PlacesDb db(GetParam().schema, R"sql(
CREATE TRIGGER refuse BEFORE INSERT ON moz_places WHEN NEW.url = 'http://bad/'
BEGIN SELECT RAISE(ABORT, 'refused'); END;
)sql");
  auto document = NewBookmarkDocument();
  AddBookmark(Root(*document), "Bad", "http://bad/");
  AddBookmark(Root(*document), "Good", "http://good/");
  Tlite3 module;
  Export(db.path, *document, module);
  EXPECT_EQ(db.Rows("SELECT b.title, p.url FROM moz_bookmarks b JOIN moz_places p ON b.fk = p.id"),
            "Good|http://good/\n");
}

INSTANTIATE_TEST_SUITE_P(Shapes, Firefox3Rollback, ::testing::ValuesIn(Shapes), ShapeName);

TEST(Firefox3Export, DatabaseHeldByTheBrowserFailsAndStaysUnchanged) {
  PlacesDb db(test::CurrentPlacesSchema);
  const std::string before = db.Contents();
  Connection browser(db.path);
  browser.Execute("BEGIN EXCLUSIVE");
  auto document = NewBookmarkDocument();
  AddBookmark(Root(*document), "x", "http://x/");
  Tlite3 module;
  EXPECT_THROW(Export(db.path, *document, module), sqlite3d::SqliteError);
  EXPECT_FALSE(module.DB.IsOpen());
  browser.Execute("ROLLBACK");
  EXPECT_EQ(db.Contents(), before);
}

TEST(PlacesUrlHash, MatchesTheBrowser) {
  struct Case {
    std::string url;
    std::int64_t hash;
  };
  const Case cases[] = {
      {"https://example.com/quillary/one", 47360102145386},
      {"https://example.com/quillary/two", 47357650162687},
      {"http://xn--mnchen-3ya.de/stra\xC3\x9F"
       "e?q=\xE2\x82\xAC",
       125511215500524},
      {"no-colon-at-all", 1963494533},
      {std::string(60, 'a') + ":b", 3727533158}, // colon too far for the scheme part
      // Only the first 1500 bytes count.
      {"http://long/" + std::string(2000, 'x'), 125511597256952},
      {"http://long/" + std::string(1988, 'x') + std::string(100, 'y'), 125511597256952},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url.substr(0, 40));
    EXPECT_EQ(PlacesUrlHash(c.url), c.hash);
  }
}

TEST(NewPlacesGuid, UsesTheRandomBytesOfAGuid) {
  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped(simulated);
  platform::GuidBytes zero{};
  platform::GuidBytes ones;
  ones.fill(0xFF);
  platform::GuidBytes counting{};
  counting[0] = 0x00;
  counting[1] = 0x10;
  counting[2] = 0x83;
  platform::GuidBytes versionOnly{};
  versionOnly[6] = 0x4F;
  versionOnly[8] = 0xBF;
  simulated.queuedGuids = {zero, ones, counting, versionOnly};
  EXPECT_EQ(NewPlacesGuid(), "AAAAAAAAAAAA");
  EXPECT_EQ(NewPlacesGuid(), "____________");
  EXPECT_EQ(NewPlacesGuid(), "ABCDAAAAAAAA");
  EXPECT_EQ(NewPlacesGuid(), "AAAAAAAAAAAA");
}

// Counts of the samples' folders 2 and 3 (and the unfiled root of current ones), counted by a
// recursive query over each sample: bookmarks, folders below the root including the added ones.
struct SampleCase {
  const char* name;
  const char* file;
  std::size_t bookmarks;
  std::size_t folders;
};

void CountElements(Node parent, std::size_t& bookmarks, std::size_t& folders) {
  for (Node child : parent.children()) {
    if (IsFolder(child)) {
      ++folders;
      CountElements(child, bookmarks, folders);
    } else if (IsBookmark(child)) {
      ++bookmarks;
    }
  }
}

class Firefox3Samples : public ::testing::TestWithParam<SampleCase> {};

TEST_P(Firefox3Samples, ImportAndExportIntoACopy) {
  QUILLARY_REQUIRE_SAMPLE(sample, std::string("places/") + GetParam().file);
  test::TempDir dir;
  const std::string path = dir / "places.sqlite";
  std::filesystem::copy_file(sample, path);
  Tlite3 module;
  const auto document = Import(path, module);
  std::size_t bookmarks = 0;
  std::size_t folders = 0;
  CountElements(Root(*document), bookmarks, folders);
  EXPECT_EQ(bookmarks, GetParam().bookmarks);
  EXPECT_EQ(folders, GetParam().folders);

  // Importing again after exporting what was imported, plus a new folder, finds it all.
  Node added = AddFolder(Root(*document), "From Quillary");
  AddBookmark(added, "Added", "https://example.com/quillary/added");
  Export(path, *document, module);
  const auto again = Import(path, module);
  std::size_t bookmarksAgain = 0;
  std::size_t foldersAgain = 0;
  CountElements(Root(*again), bookmarksAgain, foldersAgain);
  EXPECT_EQ(bookmarksAgain, bookmarks + 1);
  EXPECT_EQ(foldersAgain, folders + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Real, Firefox3Samples,
    ::testing::Values(
        // Firefox 3: everything the user had sits below built-in rows.
        SampleCase{"Firefox3", "firefox-history-analyzer__places.sqlite", 0, 1},
        SampleCase{"Firefox57", "csg5126_assignment2_scripts__places.sqlite", 7, 3},
        SampleCase{"Recent", "kali_setup_script__places.sqlite", 33, 8}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quillary
