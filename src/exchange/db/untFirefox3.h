#pragma once

#include "exchange/db/Tlite3.h"
#include "store/Exchanger.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace quillary {

// The exchanger of the Firefox places database (SourceKind 2). Import reads the bookmarks menu
// (row 2) and the toolbar (row 3), and in current databases the unfiled root; export adds to
// row 2 what the database does not hold yet, in one transaction.
class TFirefox3Ojb final : public Exchanger {
public:
  TFirefox3Ojb();
  explicit TFirefox3Ojb(Tlite3& module);

  std::unique_ptr<BookmarkDocument> ImportBookmarks() override;
  void ExportBookmarks(BookmarkDocument& document) override;

  // Replaces both snapshots of the data module with this database's rows.
  void LoadSnapshots();
  // Appends the items below the folder row parentId to element, depth first.
  void ReadFolderLevel(std::int64_t parentId, Node element);
  // Writes node and its following siblings below the folder row parentId; false when an insert
  // failed and the transaction must be rolled back.
  bool WriteFolderLevel(std::int64_t parentId, Node node);

private:
  class Writer;

  bool CountsOnImport(const BookmarkRow& row) const;

  sqlite3d::Connection& DB;
  BookmarkSnapshot& cdtData;
  std::vector<PlaceRow>& cdtPlaces;
  PlacesColumns& columns;
  std::optional<std::int64_t>& tagsRoot;
  Writer* writer_ = nullptr; // set only while an export writes
};

// The browser's hash of an address, as it keeps it in moz_places.url_hash.
std::int64_t PlacesUrlHash(std::string_view url);

// A browser-style row guid: 12 characters of A-Z a-z 0-9 "-" "_" from 72 random bits.
std::string NewPlacesGuid();

} // namespace quillary
