#pragma once

#include "exchange/db/sqlite3d.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillary {

// One row of the bookmarks query: a folder, bookmark or other item with its place's address.
struct BookmarkRow {
  std::int64_t id = 0;
  std::int64_t type = 0;
  std::int64_t parent = 0;
  std::string title;
  std::string url;  // empty when the row has no place
  std::string guid; // read only from databases that have the column
};

// One row of the places query.
struct PlaceRow {
  std::int64_t id = 0;
  std::string url;
  std::string title;
};

// The bookmark rows in query order, with the children of every parent found through an index
// built once when the rows are assigned.
class BookmarkSnapshot {
public:
  void Assign(std::vector<BookmarkRow> rows);
  const std::vector<BookmarkRow>& Rows() const { return rows_; }
  // Indices into Rows() of the rows whose parent is the given id, in query order.
  const std::vector<std::size_t>& ChildrenOf(std::int64_t parent) const;

private:
  std::vector<BookmarkRow> rows_;
  std::unordered_map<std::int64_t, std::vector<std::size_t>> children_;
};

// What the database's schema offers beyond the columns every places database has.
struct PlacesColumns {
  bool bookmarkGuid = false; // the browser's current schema; decides how rows are read and written
  bool bookmarkDates = false;
  bool placeFrecency = false; // missing from the oldest Firefox 3 databases
  bool placeGuid = false;
  bool placeForeignCount = false;
  bool placeUrlHash = false;
};

// The data module of the places exchanger: created once, shared by every TFirefox3Ojb of the run.
// The connection is open only inside one import or export call; the snapshots keep the data of
// the last call until the next one replaces them.
class Tlite3 {
public:
  static Tlite3& Shared();

  sqlite3d::Connection DB;
  BookmarkSnapshot cdtData;
  std::vector<PlaceRow> cdtPlaces;
  PlacesColumns columns;
  // The browser's tags root, where the database tells which row it is.
  std::optional<std::int64_t> tagsRoot;
};

} // namespace quillary
