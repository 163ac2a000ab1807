#include "coordinator/untEI.h"

#include "base/Error.h"
#include "coordinator/ExchangerRegistry.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "settings/untConfig.h"
#include "store/untUtil.h"

#include <memory>

namespace quillary {

TEI::TEI(const std::string& settingsPath, std::string storePath)
    : storePath_(std::move(storePath)) {
  TConfig config = settingsPath.empty() ? TConfig() : TConfig(settingsPath);
  // Taken exactly as stored: no trimming, empty when missing.
  Firefox2Path = config.GetBrowserPath(kind::Firefox2);
  Firefox3Path = config.GetBrowserPath(kind::Firefox3);
  OperaPath = config.GetBrowserPath(kind::Opera);
  SafariPath = config.GetBrowserPath(kind::Safari);
  IEPath = config.GetBrowserPath(kind::InternetExplorer);
  NetscapePath = config.GetBrowserPath(kind::Netscape);
  SeaMonkeyPath = config.GetBrowserPath(kind::SeaMonkey);
}

std::string TEI::GetStorePath() const {
  if (!storePath_.empty())
    return storePath_;
  const std::string folder = platform::Current().GetFolders().LocalAppDataFolder() + "/Quillary";
  platform::CreateFolders(folder);
  return folder + "/pwbookmarks.qlf";
}

void TEI::WriteBookmarkFile(const BookmarkDocument& document, const std::string& path) const {
  WriteStoreFile(document, path);
}

void TEI::ReadBookmarkFile(BookmarkDocument& document, const std::string& path) const {
  ReadStoreFile(document, path.empty() ? GetStorePath() : path);
}

void TEI::SaveStore(const BookmarkDocument& collection) const {
  if (Root(collection))
    WriteBookmarkFile(collection, GetStorePath());
}

std::string& TEI::PathOf(SourceKind kind) {
  switch (kind) {
  case kind::InternetExplorer:
    return IEPath;
  case kind::Firefox2:
    return Firefox2Path;
  case kind::Firefox3:
    return Firefox3Path;
  case kind::Opera:
    return OperaPath;
  case kind::Safari:
    return SafariPath;
  case kind::Netscape:
    return NetscapePath;
  case kind::SeaMonkey:
    return SeaMonkeyPath;
  case kind::BackupFile:
    return BackupPath;
  default:
    throw Error("No location for the source kind " + std::to_string(kind) + ".");
  }
}

const std::string& TEI::PathOf(SourceKind kind) const {
  return const_cast<TEI*>(this)->PathOf(kind);
}

std::vector<RunSource> TEI::SourcesOf(const std::vector<SourceKind>& kinds) const {
  std::vector<RunSource> sources;
  sources.reserve(kinds.size());
  for (SourceKind kind : kinds)
    sources.push_back({kind, kind <= kind::BackupFile ? PathOf(kind) : std::string()});
  return sources;
}

void TEI::Import(const std::vector<SourceKind>& kinds, BookmarkDocument& collection) {
  ImportSources(SourcesOf(kinds), collection);
}

void TEI::Export(const std::vector<SourceKind>& kinds, BookmarkDocument& collection, bool merge) {
  ExportSources(SourcesOf(kinds), collection, merge);
}

void TEI::ImportSources(const std::vector<RunSource>& sources, BookmarkDocument& collection) {
  TUtil util;
  // Without a store file the collection is still empty and is set up here; a collection that
  // already has a root makes this fail before anything is merged.
  if (!platform::FileExists(GetStorePath()))
    SetUpBookmarkDocument(collection, "UTF-8", NewGid());
  for (const RunSource& source : sources) {
    std::unique_ptr<BookmarkDocument> imported;
    if (source.kind < kind::BackupFile) {
      std::unique_ptr<Exchanger> exchanger = MakeExchanger(source.kind);
      exchanger->SourcePath = source.path;
      try {
        imported = exchanger->ImportBookmarks();
      } catch (const std::exception&) {
        // A places database locked by the running browser costs only that source.
        if (source.kind != kind::Firefox3)
          throw;
      }
    } else if (source.kind == kind::BackupFile) {
      if (!source.path.empty()) {
        imported = std::make_unique<BookmarkDocument>();
        ReadBookmarkFile(*imported, source.path);
      }
    }
    if (imported)
      util.MergeDocuments(collection, *imported);
  }
  SaveStore(collection);
}

void TEI::ExportSources(const std::vector<RunSource>& sources, BookmarkDocument& collection,
                        bool merge) {
  // Exporting a collection that was never loaded would replace a browser's bookmarks by nothing.
  if (!Root(collection))
    throw Error("There is no collection to export yet.");
  for (const RunSource& source : sources) {
    auto exchanger = [&] {
      std::unique_ptr<Exchanger> made = MakeExchanger(source.kind);
      made->SourcePath = source.path;
      return made;
    };
    switch (source.kind) {
    case kind::InternetExplorer:
    case kind::Firefox3:
    case kind::Safari:
      exchanger()->ExportBookmarks(collection);
      break;
    case kind::Firefox2:
    case kind::Opera:
    case kind::Netscape:
    case kind::SeaMonkey: {
      if (!merge) {
        exchanger()->ExportBookmarks(collection);
        break;
      }
      // The browser keeps all it had, in its own order, and gains what it lacked.
      std::unique_ptr<BookmarkDocument> current = exchanger()->ImportBookmarks();
      TUtil().MergeDocuments(*current, collection);
      exchanger()->ExportBookmarks(*current);
      break;
    }
    case kind::BackupFile:
      if (!source.path.empty())
        WriteBookmarkFile(collection, source.path);
      break;
    default:
      break; // values above 7 are passed over
    }
  }
}

} // namespace quillary
