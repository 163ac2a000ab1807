// Places database speed: 100,000 bookmarks in 5,000 folders read back, and 100,000 new ones
// written into that database in one transaction. Argument 0 is the current schema with all its
// indexes, 1 the Firefox 3 schema.
#include "Floor.h"
#include "Generator.h"
#include "exchange/db/PlacesSchemas.h"
#include "exchange/db/untFirefox3.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>
#include <unistd.h>
#include <unordered_map>
#include <vector>

using namespace quillary;

namespace {

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("quillary-bench-firefox3-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// A database holding the generated collection, written once by the exchanger: the current
// schema (shape 0) or a Firefox 3 one with its built-in rows up to id 15 (shape 1).
std::string FilledDatabase(std::int64_t shape) {
  static std::string paths[2];
  std::string& path = paths[shape];
  if (path.empty()) {
    const std::string file = (Folder() / ("filled-" + std::to_string(shape) + ".sqlite")).string();
    {
      sqlite3d::Connection db(file, sqlite3d::OpenMode::ReadWriteCreate);
      // The browser keeps its database in write-ahead-log mode.
      if (shape == 0)
        db.Execute("PRAGMA journal_mode = WAL");
      db.Execute(shape == 0 ? test::CurrentPlacesSchema : test::Firefox3PlacesSchema);
      if (shape == 1)
        db.Execute("INSERT INTO moz_bookmarks(id, type, parent, position) VALUES (15, 3, 1, 9)");
    }
    auto collection = bench::GenerateCollection({});
    TFirefox3Ojb exchanger;
    exchanger.SourcePath = file;
    exchanger.ExportBookmarks(*collection);
    path = file;
  }
  return path;
}

// The floors: the same rows read or written by SQLite alone, through its C interface.
class BareDatabase {
public:
  explicit BareDatabase(const std::string& path, int flags) {
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK)
      Fail();
  }
  ~BareDatabase() { sqlite3_close(db_); }
  BareDatabase(const BareDatabase&) = delete;
  BareDatabase& operator=(const BareDatabase&) = delete;

  void Execute(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
      Fail();
  }
  // Steps the statement through all its rows, handing each to the callback.
  void Query(const char* sql, const std::function<void(sqlite3_stmt*)>& row) {
    sqlite3_stmt* statement = Prepare(sql);
    int code;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW)
      row(statement);
    sqlite3_finalize(statement);
    if (code != SQLITE_DONE)
      Fail();
  }
  sqlite3_stmt* Prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
      Fail();
    return statement;
  }
  void Run(sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE)
      Fail();
    sqlite3_reset(statement);
  }
  sqlite3_int64 LastRowId() const { return sqlite3_last_insert_rowid(db_); }

private:
  [[noreturn]] void Fail() const { throw std::runtime_error(sqlite3_errmsg(db_)); }
  sqlite3* db_ = nullptr;
};

// Every bookmark row with its place's address, each column read.
std::size_t BareSelectBookmarks(const std::string& path, std::int64_t shape) {
  BareDatabase db(path, SQLITE_OPEN_READONLY);
  std::size_t bytes = 0;
  db.Query(shape == 0 ? "SELECT b.id, b.type, b.parent, b.title, p.url, b.guid FROM moz_bookmarks b"
                        " LEFT JOIN moz_places p ON p.id = b.fk"
                      : "SELECT b.id, b.type, b.parent, b.title, p.url FROM moz_bookmarks b"
                        " LEFT JOIN moz_places p ON p.id = b.fk",
           [&](sqlite3_stmt* row) {
             for (int column = 0; column < sqlite3_column_count(row); ++column)
               bytes += static_cast<std::size_t>(sqlite3_column_bytes(row, column));
           });
  return bytes;
}

// The rows an export of the collection adds: for every bookmark a place and a bookmark row in
// the folder of its folder's name, with the columns the browser fills.
struct NewRows {
  struct Row {
    const char* url;
    const char* title;
    sqlite3_int64 parent;
    sqlite3_int64 urlHash;
  };
  std::vector<Row> rows;
  std::vector<std::string> guids; // random, handed out in sorted order

  NewRows(const BookmarkDocument& collection, const std::string& database) {
    std::unordered_map<std::string, sqlite3_int64> folders;
    BareDatabase db(database, SQLITE_OPEN_READONLY);
    db.Query("SELECT id, title FROM moz_bookmarks WHERE type = 2", [&](sqlite3_stmt* row) {
      if (const unsigned char* title = sqlite3_column_text(row, 1))
        folders.emplace(reinterpret_cast<const char*>(title), sqlite3_column_int64(row, 0));
    });
    for (const pugi::xpath_node& found : collection.select_nodes("//url")) {
      const pugi::xml_node url = found.node();
      const auto folder = folders.find(url.parent().attribute("name").value());
      const char* address = url.attribute("url").value();
      rows.push_back(
          {address, url.attribute("name").value(), folder == folders.end() ? 2 : folder->second,
           static_cast<sqlite3_int64>(std::hash<std::string_view>()(address) & 0xFFFFFFFFFFFF)});
    }
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::mt19937 random(7);
    guids.resize(2 * rows.size());
    for (std::string& guid : guids)
      for (int i = 0; i < 12; ++i)
        guid.push_back(alphabet[random() % 64]);
    std::sort(guids.begin(), guids.end());
  }
};

// The new rows inserted in one transaction through statements prepared once, with the page
// cache and the syncing the exporter asks for.
void BareInsertRows(const std::string& path, std::int64_t shape, const NewRows& added) {
  BareDatabase db(path, SQLITE_OPEN_READWRITE);
  db.Execute("PRAGMA cache_size = -65536");
  if (shape == 0)
    db.Execute("PRAGMA synchronous = NORMAL"); // the current database is in WAL mode
  db.Execute("BEGIN");
  sqlite3_stmt* place = db.Prepare(
      shape == 0 ? "INSERT INTO moz_places(url, title, frecency, guid, foreign_count, url_hash)"
                   " VALUES(?1, ?2, 140, ?3, 1, ?4)"
                 : "INSERT INTO moz_places(url, title, frecency) VALUES(?1, ?2, 140)");
  sqlite3_stmt* bookmark = db.Prepare(
      shape == 0 ? "INSERT INTO moz_bookmarks(type, fk, parent, position, title, guid, dateAdded,"
                   " lastModified) VALUES(1, ?1, ?2, ?3, ?4, ?5, ?6, ?6)"
                 : "INSERT INTO moz_bookmarks(type, fk, parent, position, title)"
                   " VALUES(1, ?1, ?2, 6, ?4)");
  const sqlite3_int64 now = 1700000000000000;
  std::unordered_map<sqlite3_int64, sqlite3_int64> positions;
  std::size_t guid = 0;
  for (const NewRows::Row& row : added.rows) {
    sqlite3_bind_text(place, 1, row.url, -1, SQLITE_STATIC);
    sqlite3_bind_text(place, 2, row.title, -1, SQLITE_STATIC);
    if (shape == 0) {
      sqlite3_bind_text(place, 3, added.guids[guid++].c_str(), 12, SQLITE_STATIC);
      sqlite3_bind_int64(place, 4, row.urlHash);
    }
    db.Run(place);
    sqlite3_bind_int64(bookmark, 1, db.LastRowId());
    sqlite3_bind_int64(bookmark, 2, row.parent);
    sqlite3_bind_text(bookmark, 4, row.title, -1, SQLITE_STATIC);
    if (shape == 0) {
      sqlite3_bind_int64(bookmark, 3, positions[row.parent]++);
      sqlite3_bind_text(bookmark, 5, added.guids[guid++].c_str(), 12, SQLITE_STATIC);
      sqlite3_bind_int64(bookmark, 6, now);
    }
    db.Run(bookmark);
  }
  sqlite3_finalize(place);
  sqlite3_finalize(bookmark);
  db.Execute("COMMIT");
}

void BM_ImportPlaces(benchmark::State& state) {
  TFirefox3Ojb exchanger;
  exchanger.SourcePath = FilledDatabase(state.range(0));
  std::size_t bookmarks = 0;
  for (auto _ : state) {
    const auto document = exchanger.ImportBookmarks();
    bookmarks = bench::CountBookmarks(*document);
  }
  state.counters["bookmarks"] = static_cast<double>(bookmarks);
  bench::ReportFloor(state, [&] {
    benchmark::DoNotOptimize(BareSelectBookmarks(exchanger.SourcePath, state.range(0)));
  });
}
BENCHMARK(BM_ImportPlaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExportNewBookmarksIntoPlaces(benchmark::State& state) {
  const std::string filled = FilledDatabase(state.range(0));
  bench::CollectionShape shape;
  shape.firstBookmark = shape.bookmarks; // the same folders, other addresses
  const auto collection = bench::GenerateCollection(shape);
  const std::string target = (Folder() / "target.sqlite").string();
  TFirefox3Ojb exchanger;
  exchanger.SourcePath = target;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(filled, target, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    exchanger.ExportBookmarks(*collection);
  }
  {
    sqlite3d::Connection db(target, sqlite3d::OpenMode::ReadOnly);
    sqlite3d::Statement count(db, "SELECT count(*) AS n FROM moz_bookmarks WHERE type = 1");
    count.Step();
    state.counters["bookmarks_after"] = static_cast<double>(count.ColumnInt64("n"));
  }
  const NewRows added(*collection, filled);
  bench::ReportFloor(
      state, [&] { BareInsertRows(target, state.range(0), added); },
      [&] {
        std::filesystem::copy_file(filled, target,
                                   std::filesystem::copy_options::overwrite_existing);
      });
}
BENCHMARK(BM_ExportNewBookmarksIntoPlaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  const int code = bench::RunBenchmarks(argc, argv);
  std::filesystem::remove_all(Folder());
  return code;
}
