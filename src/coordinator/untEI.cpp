#include "coordinator/untEI.h"

#include "base/Error.h"
#include "coordinator/ExchangerRegistry.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "settings/untConfig.h"
#include "store/FolderWalk.h"
#include "store/untUtil.h"

#include <memory>

namespace quillary {

TEI::TEI(const std::string& settingsPath, std::string storePath, const ExchangerFactory& exchangers)
    : storePath_(std::move(storePath)), exchangers_(exchangers) {
  TConfig config = settingsPath.empty() ? TConfig() : TConfig(settingsPath);
  // Taken exactly as stored: no trimming, empty when missing.
  Firefox2Path = config.GetBrowserPath(SourceKind::Firefox2);
  Firefox3Path = config.GetBrowserPath(SourceKind::Firefox3);
  OperaPath = config.GetBrowserPath(SourceKind::Opera);
  SafariPath = config.GetBrowserPath(SourceKind::Safari);
  IEPath = config.GetBrowserPath(SourceKind::InternetExplorer);
  NetscapePath = config.GetBrowserPath(SourceKind::Netscape);
  SeaMonkeyPath = config.GetBrowserPath(SourceKind::SeaMonkey);
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
  case SourceKind::InternetExplorer:
    return IEPath;
  case SourceKind::Firefox2:
    return Firefox2Path;
  case SourceKind::Firefox3:
    return Firefox3Path;
  case SourceKind::Opera:
    return OperaPath;
  case SourceKind::Safari:
    return SafariPath;
  case SourceKind::Netscape:
    return NetscapePath;
  case SourceKind::SeaMonkey:
    return SeaMonkeyPath;
  case SourceKind::BackupFile:
    return BackupPath;
  default:
    throw Error("No location for the source kind " + std::to_string(IndexOf(kind)) + ".");
  }
}

const std::string& TEI::PathOf(SourceKind kind) const {
  return const_cast<TEI*>(this)->PathOf(kind);
}

std::vector<RunSource> TEI::SourcesOf(const std::vector<SourceKind>& kinds) const {
  std::vector<RunSource> sources;
  sources.reserve(kinds.size());
  for (SourceKind kind : kinds)
    sources.push_back({kind, kind <= SourceKind::BackupFile ? PathOf(kind) : std::string()});
  return sources;
}

void TEI::Import(const std::vector<SourceKind>& kinds, BookmarkDocument& collection) {
  ImportSources(SourcesOf(kinds), collection);
}

void TEI::Export(const std::vector<SourceKind>& kinds, BookmarkDocument& collection, bool merge) {
  ExportSources(SourcesOf(kinds), collection, merge);
}

std::unique_ptr<Exchanger> TEI::ExchangerOf(const RunSource& source) const {
  std::unique_ptr<Exchanger> exchanger = exchangers_.Make(source.kind);
  exchanger->SourcePath = source.path;
  return exchanger;
}

std::unique_ptr<BookmarkDocument> TEI::Read(const RunSource& source) const {
  if (source.kind != SourceKind::BackupFile)
    return IsBrowserKind(source.kind) ? ExchangerOf(source)->ImportBookmarks() : nullptr;
  // A backup file that was never chosen adds nothing.
  if (source.path.empty())
    return nullptr;
  auto document = std::make_unique<BookmarkDocument>();
  ReadBookmarkFile(*document, source.path);
  return document;
}

int TEI::Convert(const RunSource& input, const RunSource& output) const {
  if (input.path.empty() || output.path.empty())
    throw Error("A conversion needs a file to read and a file to write.");
  std::unique_ptr<BookmarkDocument> document = Read(input);
  if (!document)
    throw Error("No exchanger serves the source kind " + std::to_string(IndexOf(input.kind)) + ".");
  // The walk refuses what no other browser could take.
  CheckNestingDepth(*document, "The file \"" + input.path + "\"");
  if (output.kind == SourceKind::BackupFile)
    WriteBookmarkFile(*document, output.path);
  else
    ExchangerOf(output)->ExportBookmarks(*document);
  return CountBookmarks(Root(*document).first_child());
}

void TEI::ImportSources(const std::vector<RunSource>& sources, BookmarkDocument& collection) {
  TUtil util;
  // Without a store file the collection is still empty and is set up here; a collection that
  // already has a root makes this fail before anything is merged.
  if (!platform::FileExists(GetStorePath()))
    SetUpBookmarkDocument(collection, "UTF-8", NewGid());
  for (const RunSource& source : sources) {
    std::unique_ptr<BookmarkDocument> imported;
    try {
      imported = Read(source);
    } catch (const Error&) {
      // A places database locked by the running browser costs only that source.
      if (source.kind != SourceKind::Firefox3)
        throw;
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
    auto exchanger = [&] { return ExchangerOf(source); };
    switch (source.kind) {
    case SourceKind::InternetExplorer:
    case SourceKind::Firefox3:
    case SourceKind::Safari:
      exchanger()->ExportBookmarks(collection);
      break;
    case SourceKind::Firefox2:
    case SourceKind::Opera:
    case SourceKind::Netscape:
    case SourceKind::SeaMonkey: {
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
    case SourceKind::BackupFile:
      if (!source.path.empty())
        WriteBookmarkFile(collection, source.path);
      break;
    default:
      break; // values above 7 are passed over
    }
  }
}

} // namespace quillary
