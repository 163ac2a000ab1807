#include "exchange/db/untFirefox3.h"

#include "platform/Platform.h"
#include "store/DocumentWalk.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <utility>
#include <vector>

namespace quillary {

namespace {

using sqlite3d::SqliteError;
using sqlite3d::Statement;

constexpr const char* BookmarksQuery =
    " SELECT bm.id, bm.type, bm.parent, bm.title, ps.url FROM moz_bookmarks bm LEFT JOIN "
    "moz_places ps ON bm.fk = ps.id";
// The same rows with the guid that tells the browser's root folders apart.
constexpr const char* BookmarksQueryWithGuid =
    " SELECT bm.id, bm.type, bm.parent, bm.title, ps.url, bm.guid FROM moz_bookmarks bm LEFT "
    "JOIN moz_places ps ON bm.fk = ps.id";
constexpr const char* PlacesQuery = " SELECT id, url, title FROM moz_places ";

constexpr const char* CopyFailedMessage = "The browser not closed or database does not exist.";

constexpr std::int64_t MenuFolderId = 2;
constexpr std::int64_t ToolbarFolderId = 3;
// Firefox 3 keeps its own rows at ids up to 15.
constexpr std::int64_t LastBuiltInId = 15;
constexpr std::int64_t FolderType = 2;
constexpr std::int64_t BookmarkType = 1;
constexpr const char* UnfiledGuid = "unfiled_____";
constexpr const char* PlacesRootGuid = "root________";
constexpr const char* TagsRootGuid = "tags________";

bool IsRootGuid(const std::string& guid) {
  static constexpr std::array<std::string_view, 6> roots = {"root________", "menu________",
                                                            "toolbar_____", "tags________",
                                                            "unfiled_____", "mobile______"};
  for (std::string_view root : roots)
    if (guid == root)
      return true;
  return false;
}

std::uint32_t GoldenRatioHash(std::string_view bytes) {
  std::uint32_t h = 0;
  for (unsigned char b : bytes) {
    const std::uint32_t rotated = (h << 5) | (h >> 27);
    h = 0x9E3779B9u * (rotated ^ b);
  }
  return h;
}

std::int64_t NowInMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

} // namespace

std::int64_t PlacesUrlHash(std::string_view url) {
  const std::uint64_t hash = GoldenRatioHash(url.substr(0, 1500));
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon >= 50)
    return static_cast<std::int64_t>(hash);
  const std::uint64_t scheme = GoldenRatioHash(url.substr(0, colon)) & 0xFFFFu;
  return static_cast<std::int64_t>((scheme << 32) + hash);
}

std::string NewPlacesGuid() {
  static constexpr char alphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  const platform::GuidBytes guid = platform::Current().GetGuids().NewGuid();
  // Bytes 6 and 8 carry the GUID's version and variant bits; the other nine are random.
  static constexpr std::array<std::size_t, 9> randomBytes = {0, 1, 2, 3, 4, 5, 9, 10, 11};
  std::string text;
  text.reserve(12);
  for (std::size_t i = 0; i < randomBytes.size(); i += 3) {
    const std::uint32_t bits = (std::uint32_t{guid[randomBytes[i]]} << 16) |
                               (std::uint32_t{guid[randomBytes[i + 1]]} << 8) |
                               guid[randomBytes[i + 2]];
    for (int shift = 18; shift >= 0; shift -= 6)
      text.push_back(alphabet[(bits >> shift) & 0x3F]);
  }
  return text;
}

// The state of one export's writing phase: lookups over the snapshots, the statements prepared
// once and reused for every row, and the next free position of each parent.
class TFirefox3Ojb::Writer {
public:
  Writer(sqlite3d::Connection& db, const BookmarkSnapshot& bookmarks,
         const std::vector<PlaceRow>& places, const PlacesColumns& columns,
         std::optional<std::int64_t> tagsRoot, std::size_t elements)
      : db_(db), bookmarks_(bookmarks), columns_(columns), now_(NowInMicroseconds()) {
    if (Current())
      MakeGuids(2 * elements);
    foldersByTitle_.reserve(bookmarks.Rows().size());
    bookmarkedUrls_.reserve(bookmarks.Rows().size() * 2);
    placesByUrl_.reserve(places.size());
    const std::unordered_set<std::int64_t> tagFolders = TagsTree(bookmarks, tagsRoot);
    for (const BookmarkRow& row : bookmarks.Rows()) {
      // Only folders can take children; the first row of a title wins. The places root, the
      // tags root and the tags below it hide what is written into them from the browser's view.
      if (row.type == FolderType && row.parent != 0 && row.guid != PlacesRootGuid &&
          tagFolders.count(row.id) == 0)
        foldersByTitle_.emplace(row.title, row.id);
      if (!row.url.empty())
        bookmarkedUrls_.insert(row.url);
    }
    for (const PlaceRow& place : places)
      placesByUrl_.emplace(place.url, place.id);
  }

  std::optional<std::int64_t> FindFolder(std::string_view title) const {
    const auto found = foldersByTitle_.find(title);
    if (found == foldersByTitle_.end())
      return std::nullopt;
    return found->second;
  }

  // The new folder's id; raises SqliteError when the insert fails.
  std::int64_t InsertFolder(std::int64_t parent, std::string_view title) {
    if (!insertFolder_)
      insertFolder_.emplace(db_, FolderInsertText(), false, Current(), columns_.bookmarkDates);
    BookmarkInsert& insert = *insertFolder_;
    insert.statement.Reset();
    insert.statement.Bind(insert.parent, parent);
    insert.statement.BindUncopied(insert.title, title);
    BindNewRow(insert, parent);
    insert.statement.Run();
    const std::int64_t id = db_.LastInsertRowId();
    positions_[id] = 0;
    return id;
  }

  // False only when the bookmark row itself could not be inserted.
  bool WriteBookmark(std::int64_t parent, std::string_view title, std::string_view url) {
    if (title.empty() || url.empty())
      return true;
    // An address a bookmark of the database already points to is there; one seen only in
    // history, or added earlier in this export, gets its bookmark on the existing place, so the
    // same address in two folders of the collection arrives in both.
    if (bookmarkedUrls_.count(url) != 0)
      return true;
    std::int64_t placeId = 0;
    bool existingPlace = false;
    if (const auto place = placesByUrl_.find(url); place != placesByUrl_.end()) {
      placeId = place->second;
      existingPlace = true;
    } else {
      try {
        placeId = InsertPlace(url, title);
      } catch (const SqliteError&) {
        return true; // this bookmark is skipped, the export goes on
      }
      placesByUrl_.emplace(url, placeId);
    }
    try {
      InsertBookmark(placeId, parent, title);
      if (existingPlace && columns_.placeForeignCount)
        RaiseForeignCount(placeId);
    } catch (const SqliteError&) {
      return false;
    }
    return true;
  }

private:
  bool Current() const { return columns_.bookmarkGuid; }

  // Every new row's guid is random, but the export hands them out in sorted order: the browser's
  // two guid indexes then take the new keys in key order instead of at random places, which
  // saves a sixth of a large export's time.
  void MakeGuids(std::size_t count) {
    guids_.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
      guids_.push_back(NewPlacesGuid());
    std::sort(guids_.begin(), guids_.end());
  }

  std::string NextGuid() {
    if (nextGuid_ < guids_.size())
      return std::move(guids_[nextGuid_++]);
    return NewPlacesGuid();
  }

  // The tags root and every row below it; a parent cycle is entered only once.
  static std::unordered_set<std::int64_t> TagsTree(const BookmarkSnapshot& bookmarks,
                                                   std::optional<std::int64_t> tagsRoot) {
    std::unordered_set<std::int64_t> tree;
    if (!tagsRoot)
      return tree;
    std::vector<std::int64_t> pending{*tagsRoot};
    tree.insert(*tagsRoot);
    while (!pending.empty()) {
      const std::int64_t parent = pending.back();
      pending.pop_back();
      for (std::size_t child : bookmarks.ChildrenOf(parent)) {
        const std::int64_t id = bookmarks.Rows()[child].id;
        if (tree.insert(id).second)
          pending.push_back(id);
      }
    }
    return tree;
  }

  // An insert into moz_bookmarks with its parameters looked up once; prepared on first use and
  // reused for every later row.
  struct BookmarkInsert {
    BookmarkInsert(sqlite3d::Connection& db, const std::string& text, bool withPlace, bool current,
                   bool dates)
        : statement(db, text), parent(statement.ParameterOf(":parent")),
          title(statement.ParameterOf(":title")) {
      if (withPlace)
        fk = statement.ParameterOf(":fk");
      if (current) {
        position = statement.ParameterOf(":position");
        guid = statement.ParameterOf(":guid");
      }
      if (current && dates) {
        dateAdded = statement.ParameterOf(":dateAdded");
        lastModified = statement.ParameterOf(":lastModified");
      }
    }
    Statement statement;
    Statement::Parameter parent, title, fk{}, position{}, guid{}, dateAdded{}, lastModified{};
    // Texts are bound uncopied: the document's stay unchanged while the export writes, and the
    // row's guid lives here until the next row.
    std::string guidText;
  };

  struct PlaceInsert {
    PlaceInsert(sqlite3d::Connection& db, const std::string& text, bool guids, bool hashes)
        : statement(db, text), url(statement.ParameterOf(":ur")),
          title(statement.ParameterOf(":tit")) {
      if (guids)
        guid = statement.ParameterOf(":guid");
      if (hashes)
        urlHash = statement.ParameterOf(":url_hash");
    }
    Statement statement;
    Statement::Parameter url, title, guid{}, urlHash{};
    std::string guidText;
  };

  std::string FolderInsertText() const {
    if (!Current())
      return "INSERT INTO moz_bookmarks(type,parent,position,title)VALUES(2,:parent,6,:title)";
    return std::string("INSERT INTO moz_bookmarks(type,parent,position,title,guid") +
           (columns_.bookmarkDates ? ",dateAdded,lastModified" : "") +
           ")VALUES(2,:parent,:position,:title,:guid" +
           (columns_.bookmarkDates ? ",:dateAdded,:lastModified" : "") + ")";
  }

  std::string PlaceInsertText() const {
    // Only columns the table has are named: a statement naming a missing one would fail for
    // every place, and with it every new bookmark.
    std::string names = "url,title";
    std::string values = ":ur,:tit";
    if (columns_.placeFrecency) {
      names += ",frecency";
      values += ",140";
    }
    if (Current() && columns_.placeGuid) {
      names += ",guid";
      values += ",:guid";
    }
    if (Current() && columns_.placeForeignCount) {
      names += ",foreign_count";
      values += ",1";
    }
    if (Current() && columns_.placeUrlHash) {
      names += ",url_hash";
      values += ",:url_hash";
    }
    return "INSERT INTO moz_places(" + names + ") VALUES(" + values + ")";
  }

  std::string BookmarkInsertText() const {
    if (!Current())
      return "INSERT INTO moz_bookmarks(type,fk,parent,position,title)VALUES(1,:fk,:parent,6,:"
             "title);";
    return std::string("INSERT INTO moz_bookmarks(type,fk,parent,position,title,guid") +
           (columns_.bookmarkDates ? ",dateAdded,lastModified" : "") +
           ")VALUES(1,:fk,:parent,:position,:title,:guid" +
           (columns_.bookmarkDates ? ",:dateAdded,:lastModified" : "") + ");";
  }

  // The columns the browser fills on every row it adds itself.
  void BindNewRow(BookmarkInsert& insert, std::int64_t parent) {
    if (!Current())
      return;
    insert.statement.Bind(insert.position, NextPosition(parent));
    insert.guidText = NextGuid();
    insert.statement.BindUncopied(insert.guid, insert.guidText);
    if (columns_.bookmarkDates) {
      insert.statement.Bind(insert.dateAdded, now_);
      insert.statement.Bind(insert.lastModified, now_);
    }
  }

  std::int64_t NextPosition(std::int64_t parent) {
    auto [slot, isNew] = positions_.try_emplace(parent, 0);
    if (isNew)
      slot->second = static_cast<std::int64_t>(bookmarks_.ChildrenOf(parent).size());
    return slot->second++;
  }

  std::int64_t InsertPlace(std::string_view url, std::string_view title) {
    const bool guids = Current() && columns_.placeGuid;
    const bool hashes = Current() && columns_.placeUrlHash;
    if (!insertPlace_)
      insertPlace_.emplace(db_, PlaceInsertText(), guids, hashes);
    PlaceInsert& insert = *insertPlace_;
    insert.statement.Reset();
    insert.statement.BindUncopied(insert.url, url);
    insert.statement.BindUncopied(insert.title, title);
    if (guids) {
      insert.guidText = NextGuid();
      insert.statement.BindUncopied(insert.guid, insert.guidText);
    }
    if (hashes)
      insert.statement.Bind(insert.urlHash, PlacesUrlHash(url));
    insert.statement.Run();
    return db_.LastInsertRowId();
  }

  void InsertBookmark(std::int64_t placeId, std::int64_t parent, std::string_view title) {
    if (!insertBookmark_)
      insertBookmark_.emplace(db_, BookmarkInsertText(), true, Current(), columns_.bookmarkDates);
    BookmarkInsert& insert = *insertBookmark_;
    insert.statement.Reset();
    insert.statement.Bind(insert.fk, placeId);
    insert.statement.Bind(insert.parent, parent);
    insert.statement.BindUncopied(insert.title, title);
    BindNewRow(insert, parent);
    insert.statement.Run();
  }

  void RaiseForeignCount(std::int64_t placeId) {
    if (!raiseForeignCount_)
      raiseForeignCount_.emplace(
          db_, "UPDATE moz_places SET foreign_count = foreign_count + 1 WHERE id = :id");
    raiseForeignCount_->Reset();
    raiseForeignCount_->Bind(":id", placeId);
    raiseForeignCount_->Run();
  }

  sqlite3d::Connection& db_;
  const BookmarkSnapshot& bookmarks_;
  const PlacesColumns& columns_;
  const std::int64_t now_;
  // Views into the snapshots and the document, which stay unchanged while the export writes.
  std::unordered_map<std::string_view, std::int64_t> foldersByTitle_;
  std::unordered_map<std::string_view, std::int64_t> placesByUrl_;
  std::unordered_set<std::string_view> bookmarkedUrls_;
  std::unordered_map<std::int64_t, std::int64_t> positions_;
  std::vector<std::string> guids_;
  std::size_t nextGuid_ = 0;
  std::optional<BookmarkInsert> insertFolder_;
  std::optional<PlaceInsert> insertPlace_;
  std::optional<BookmarkInsert> insertBookmark_;
  std::optional<Statement> raiseForeignCount_;
};

TFirefox3Ojb::TFirefox3Ojb() : TFirefox3Ojb(Tlite3::Shared()) {}

TFirefox3Ojb::TFirefox3Ojb(Tlite3& module)
    : DB(module.DB), cdtData(module.cdtData), cdtPlaces(module.cdtPlaces), columns(module.columns),
      tagsRoot(module.tagsRoot) {}

namespace {

// Closes the shared connection however the call ends; statements are gone by then.
class ClosedOnExit {
public:
  explicit ClosedOnExit(sqlite3d::Connection& db) : db_(db) {}
  ~ClosedOnExit() { db_ = sqlite3d::Connection(); }
  ClosedOnExit(const ClosedOnExit&) = delete;
  ClosedOnExit& operator=(const ClosedOnExit&) = delete;

private:
  sqlite3d::Connection& db_;
};

bool InWalMode(sqlite3d::Connection& db) {
  Statement mode(db, "PRAGMA journal_mode");
  return mode.Step() && mode.ColumnText(0) == "wal";
}

} // namespace

void TFirefox3Ojb::LoadSnapshots() {
  ClosedOnExit closed(DB);
  // Read-only: an import never changes the browser's file, and no file is created at a wrong
  // path. No busy timeout: a database the running browser holds fails at once.
  DB.Open(SourcePath, sqlite3d::OpenMode::ReadOnly);
  columns = PlacesColumns{};
  columns.bookmarkGuid = DB.HasColumn("moz_bookmarks", "guid");
  columns.bookmarkDates =
      DB.HasColumn("moz_bookmarks", "dateAdded") && DB.HasColumn("moz_bookmarks", "lastModified");
  columns.placeFrecency = DB.HasColumn("moz_places", "frecency");
  columns.placeGuid = DB.HasColumn("moz_places", "guid");
  columns.placeForeignCount = DB.HasColumn("moz_places", "foreign_count");
  columns.placeUrlHash = DB.HasColumn("moz_places", "url_hash");

  std::vector<BookmarkRow> rows;
  {
    Statement query(DB, columns.bookmarkGuid ? BookmarksQueryWithGuid : BookmarksQuery);
    const int id = query.ColumnIndex("id");
    const int type = query.ColumnIndex("type");
    const int parent = query.ColumnIndex("parent");
    const int title = query.ColumnIndex("title");
    const int url = query.ColumnIndex("url");
    const int guid = columns.bookmarkGuid ? query.ColumnIndex("guid") : -1;
    try {
      while (query.Step()) {
        BookmarkRow row;
        row.id = query.ColumnInt64(id);
        row.type = query.ColumnInt64(type);
        row.parent = query.ColumnInt64(parent);
        row.title = query.ColumnText(title);
        row.url = query.ColumnText(url);
        if (guid >= 0)
          row.guid = query.ColumnText(guid);
        rows.push_back(std::move(row));
      }
    } catch (const SqliteError&) {
      throw Error(CopyFailedMessage);
    }
  }
  cdtData.Assign(std::move(rows));

  tagsRoot.reset();
  if (columns.bookmarkGuid) {
    for (const BookmarkRow& row : cdtData.Rows())
      if (row.guid == TagsRootGuid) {
        tagsRoot = row.id;
        break;
      }
  } else if (DB.HasColumn("moz_bookmarks_roots", "root_name") &&
             DB.HasColumn("moz_bookmarks_roots", "folder_id")) {
    Statement query(DB, "SELECT folder_id FROM moz_bookmarks_roots WHERE root_name = 'tags'");
    if (query.Step())
      tagsRoot = query.ColumnInt64(0);
  }

  std::vector<PlaceRow> places;
  {
    Statement query(DB, PlacesQuery);
    const int id = query.ColumnIndex("id");
    const int url = query.ColumnIndex("url");
    const int title = query.ColumnIndex("title");
    while (query.Step())
      places.push_back({query.ColumnInt64(id), query.ColumnText(url), query.ColumnText(title)});
  }
  cdtPlaces = std::move(places);
  DB.Close();
}

bool TFirefox3Ojb::CountsOnImport(const BookmarkRow& row) const {
  if (columns.bookmarkGuid)
    return !IsRootGuid(row.guid);
  return row.id > LastBuiltInId;
}

void TFirefox3Ojb::ReadFolderLevel(std::int64_t parentId, Node element) {
  // Walked with an explicit stack, so neither a deep tree nor a damaged database whose parent
  // links form a cycle can exhaust the call stack; a folder already on the path is not entered.
  struct Level {
    std::int64_t id;
    Node element;
    const std::vector<std::size_t>* children;
    std::size_t next;
  };
  std::vector<Level> path{{parentId, element, &cdtData.ChildrenOf(parentId), 0}};
  std::unordered_set<std::int64_t> onPath{parentId};
  const std::vector<BookmarkRow>& rows = cdtData.Rows();

  while (!path.empty()) {
    Level& level = path.back();
    if (level.next == level.children->size()) {
      onPath.erase(level.id);
      path.pop_back();
      continue;
    }
    const BookmarkRow& row = rows[(*level.children)[level.next++]];
    if (!CountsOnImport(row))
      continue;
    if (row.type == FolderType) {
      if (onPath.count(row.id) != 0)
        continue;
      Node folder = AppendElement(level.element, "folder");
      SetAttribute(folder, "name", row.title);
      SetAttribute(folder, "gid", NewGid());
      onPath.insert(row.id);
      path.push_back({row.id, folder, &cdtData.ChildrenOf(row.id), 0}); // invalidates level
    } else if (row.type == BookmarkType) {
      Node bookmark = AppendElement(level.element, "url");
      SetAttribute(bookmark, "name", row.title);
      SetAttribute(bookmark, "url", row.url);
      SetAttribute(bookmark, "gid", NewGid());
    }
  }
}

std::unique_ptr<BookmarkDocument> TFirefox3Ojb::ImportBookmarks() {
  LoadSnapshots();
  auto document = NewBookmarkDocument("utf-8");
  Node root = Root(*document);
  ReadFolderLevel(MenuFolderId, root);

  const auto& rows = cdtData.Rows();
  const auto findRow = [&rows](auto matches) -> const BookmarkRow* {
    for (const BookmarkRow& row : rows)
      if (matches(row))
        return &row;
    return nullptr;
  };
  // Without a row 3 the folder still comes, with an empty name, as a missing title reads.
  const BookmarkRow* toolbar =
      findRow([](const BookmarkRow& row) { return row.id == ToolbarFolderId; });
  Node toolbarFolder = AppendElement(root, "folder");
  SetAttribute(toolbarFolder, "name", toolbar ? toolbar->title : std::string());
  SetAttribute(toolbarFolder, "gid", NewGid());
  ReadFolderLevel(ToolbarFolderId, toolbarFolder);

  // Current databases keep bookmarks in the unfiled root too.
  if (columns.bookmarkGuid) {
    if (const BookmarkRow* unfiled =
            findRow([](const BookmarkRow& row) { return row.guid == UnfiledGuid; })) {
      Node unfiledFolder = AppendElement(root, "folder");
      SetAttribute(unfiledFolder, "name", unfiled->title);
      SetAttribute(unfiledFolder, "gid", NewGid());
      ReadFolderLevel(unfiled->id, unfiledFolder);
    }
  }
  return document;
}

bool TFirefox3Ojb::WriteFolderLevel(std::int64_t parentId, Node node) {
  if (!writer_)
    throw Error("Folders can be written only during an export.");
  // An explicit stack, so that a deep document cannot exhaust the call stack.
  struct Level {
    std::int64_t id;
    Node next;
  };
  std::vector<Level> path{{parentId, node}};
  while (!path.empty()) {
    Level& level = path.back();
    const Node current = level.next;
    if (!current) {
      path.pop_back();
      continue;
    }
    level.next = current.next_sibling();
    const std::int64_t parent = level.id;
    const std::string_view name = AttributeText(current, "name");
    switch (KindOf(current)) {
    case ElementKind::Folder: {
      std::optional<std::int64_t> folderId = writer_->FindFolder(name);
      if (!folderId) {
        try {
          folderId = writer_->InsertFolder(parent, name);
        } catch (const SqliteError&) {
          return false;
        }
      }
      path.push_back({*folderId, current.first_child()}); // invalidates level
      break;
    }
    case ElementKind::Bookmark:
      if (!writer_->WriteBookmark(parent, name, AttributeText(current, "url")))
        return false;
      break;
    case ElementKind::Other:
      break;
    }
  }
  return true;
}

void TFirefox3Ojb::ExportBookmarks(BookmarkDocument& document) {
  LoadSnapshots();
  const Node first = Root(document).first_child();
  ClosedOnExit closed(DB);
  DB.Open(SourcePath, sqlite3d::OpenMode::ReadWrite);
  // A page cache big enough for a large export keeps SQLite from rereading and rewriting the
  // same index pages through the file system; it lasts only as long as this connection.
  DB.Execute("PRAGMA cache_size = -65536");
  // In write-ahead-log mode a commit that is not synced at once can only be lost on a power
  // failure, never corrupt the file; a database in any other mode keeps its full syncs.
  if (InWalMode(DB))
    DB.Execute("PRAGMA synchronous = NORMAL");
  {
    sqlite3d::Transaction transaction(DB);
    std::size_t elements = 0;
    WalkFoldersAndBookmarks(Root(document), [&](Node, std::size_t) { ++elements; });
    Writer writer(DB, cdtData, cdtPlaces, columns, tagsRoot, elements);
    writer_ = &writer;
    bool written = false;
    try {
      written = WriteFolderLevel(MenuFolderId, first);
    } catch (...) {
      writer_ = nullptr;
      throw;
    }
    writer_ = nullptr;
    if (written)
      transaction.Commit();
    else
      transaction.Rollback();
  }
  DB.Close();
}

} // namespace quillary
