#pragma once

#include "base/SourceKind.h"
#include "coordinator/ExchangerRegistry.h"
#include "store/BookmarkDocument.h"
#include "store/StoreFile.h"

#include <memory>
#include <string>
#include <vector>

namespace quillary {

// One source or target of a run with its own location.
struct RunSource {
  SourceKind kind;
  std::string path;
};

// The exchange coordinator: the store and backup files, and the import and export runs that move
// bookmarks between the collection and the browsers. One object serves one use.
class TEI {
public:
  // Reads the seven browser locations from the settings file (the default one when settingsPath
  // is empty). A non-empty storePath replaces the store file of the data folder. The exchangers
  // come from the factory, which must outlive the object.
  explicit TEI(const std::string& settingsPath = {}, std::string storePath = {},
               const ExchangerFactory& exchangers = SystemExchangers());

  std::string Firefox2Path;
  std::string Firefox3Path;
  std::string OperaPath;
  std::string SafariPath;
  std::string IEPath;
  std::string NetscapePath;
  std::string SeaMonkeyPath;
  std::string BackupPath;

  // The store file's full path; makes sure its folder exists.
  std::string GetStorePath() const;

  // Writes the document (which must have a root) as a store or backup file, atomically.
  void WriteBookmarkFile(const BookmarkDocument& document, const std::string& path) const;

  // Replaces the document's content by the file's tree; an empty path means the store file.
  // A file that cannot be read or holds fewer than two lines fails before the document is
  // touched; a payload that is not XML leaves the document empty and fails with the parser's
  // error.
  void ReadBookmarkFile(BookmarkDocument& document, const std::string& path) const;

  // Writes the store file when the collection has a root; otherwise leaves any existing store
  // file exactly as it is.
  void SaveStore(const BookmarkDocument& collection) const;

  // Merges every listed source into the collection, in list order, then saves the collection.
  void Import(const std::vector<SourceKind>& kinds, BookmarkDocument& collection);

  // Writes the collection into every listed target, in list order.
  void Export(const std::vector<SourceKind>& kinds, BookmarkDocument& collection, bool merge);

  // The same two runs over sources that carry their own locations, so that one kind may be
  // listed several times with different files (the command-line tool's KIND=PATH arguments).
  void ImportSources(const std::vector<RunSource>& sources, BookmarkDocument& collection);
  void ExportSources(const std::vector<RunSource>& sources, BookmarkDocument& collection,
                     bool merge);

  // Reads the input with its kind's exchanger (or as a backup file) and writes what it read to
  // the output with the output kind's; neither the collection nor the store file is involved.
  // Returns the bookmarks converted.
  int Convert(const RunSource& input, const RunSource& output) const;

  // The location of a kind for this run: the settings file's for kinds 0..6, BackupPath for 7.
  // Fails for any other value.
  const std::string& PathOf(SourceKind kind) const;
  std::string& PathOf(SourceKind kind);

private:
  // The kinds with the locations this object holds for them.
  std::vector<RunSource> SourcesOf(const std::vector<SourceKind>& kinds) const;

  // The document read from a source: its exchanger's, or the backup file's.
  std::unique_ptr<BookmarkDocument> Read(const RunSource& source) const;
  std::unique_ptr<Exchanger> ExchangerOf(const RunSource& source) const;

  std::string storePath_;
  const ExchangerFactory& exchangers_;
};

} // namespace quillary
