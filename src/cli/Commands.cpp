#include "cli/Commands.h"

#include "base/Error.h"
#include "coordinator/untEI.h"
#include "platform/BrowserProbe.h"
#include "platform/Files.h"
#include "settings/untConfig.h"
#include "settings/untSysConfig.h"
#include "store/DocumentWalk.h"
#include "store/Find.h"
#include "store/FolderWalk.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace quillary::cli {

namespace {

using Json = nlohmann::ordered_json;

// The collection as the main window loads it: from the store file when there is one.
BookmarkDocument LoadCollection(const TEI& tei) {
  BookmarkDocument collection;
  if (platform::FileExists(tei.GetStorePath()))
    tei.ReadBookmarkFile(collection, "");
  return collection;
}

TEI MakeTei(const Options& options) {
  return TEI(options.settings, options.store);
}

// The run's sources in order: each with the PATH its argument gives, else the location the
// settings file gives for its kind.
std::vector<RunSource> SourcesOf(const Options& options, const TEI& tei) {
  if (options.arguments.empty())
    throw UsageError(options.command + " needs at least one KIND");
  std::vector<RunSource> sources;
  for (const std::string& argument : options.arguments) {
    Source source = ParseSource(argument);
    sources.push_back({source.kind, source.path ? *source.path : tei.PathOf(source.kind)});
  }
  return sources;
}

// Bookmarks inside the root's folders, counted as the main window counts them.
int BookmarksIn(Node root) {
  return CountBookmarks(root.first_child());
}

Json FolderJson(Node folder) {
  Json object{{"name", AttributeText(folder, "name")},
              {"gid", AttributeText(folder, "gid")},
              {"children", Json::array()}};
  return object;
}

Json TreeJson(Node root) {
  struct Builder {
    Json top;
    std::vector<Json*> children; // the open folders' lists, innermost last
    void EnterFolder(Node folder, std::size_t depth) {
      if (depth == 0)
        return;
      children.back()->push_back(FolderJson(folder));
      children.push_back(&children.back()->back()["children"]);
    }
    void LeaveFolder(Node, std::size_t depth) {
      if (depth > 0)
        children.pop_back();
    }
    void Bookmark(Node bookmark, std::size_t) {
      children.back()->push_back({{"name", AttributeText(bookmark, "name")},
                                  {"url", AttributeText(bookmark, "url")},
                                  {"gid", AttributeText(bookmark, "gid")}});
    }
  } builder{FolderJson(root), {}};
  builder.children.push_back(&builder.top["children"]);
  WalkTree(root, builder);
  return std::move(builder.top);
}

void PrintTree(Node root, std::ostream& out) {
  WalkFoldersAndBookmarks(root, [&](Node node, std::size_t depth) {
    out << std::string(2 * depth, ' ') << AttributeText(node, "name");
    if (IsFolder(node))
      out << "/\n";
    else
      out << '\t' << AttributeText(node, "url") << '\n';
  });
}

std::string Dump(const Json& json) {
  return json.dump(2, ' ', false, Json::error_handler_t::replace);
}

void List(const Options& options, std::ostream& out) {
  BookmarkDocument collection = LoadCollection(MakeTei(options));
  Node root = Root(collection);
  if (options.json) {
    out << (root ? Dump(TreeJson(root)) : std::string("null")) << '\n';
    return;
  }
  if (root)
    PrintTree(root, out);
}

void Import(const Options& options, std::ostream& out) {
  TEI tei = MakeTei(options);
  const std::vector<RunSource> sources = SourcesOf(options, tei);
  BookmarkDocument collection = LoadCollection(tei);
  tei.ImportSources(sources, collection);
  out << BookmarksIn(Root(collection)) << " bookmarks in the collection.\n";
}

void Export(const Options& options, std::ostream& out) {
  TEI tei = MakeTei(options);
  const std::vector<RunSource> sources = SourcesOf(options, tei);
  BookmarkDocument collection = LoadCollection(tei);
  tei.ExportSources(sources, collection, options.merge);
  out << BookmarksIn(Root(collection)) << " bookmarks were successfully exported!!\n";
}

// Reads with one exchanger and writes with another; neither the collection nor the store file
// is involved.
void Convert(const Options& options, std::ostream& out) {
  if (options.arguments.size() != 2)
    throw UsageError("convert needs KIND=IN KIND=OUT");
  Source in = ParseSource(options.arguments[0]);
  Source out_ = ParseSource(options.arguments[1]);
  if (!in.path || !out_.path)
    throw UsageError("convert needs a path for both kinds");
  const int converted = MakeTei(options).Convert({in.kind, *in.path}, {out_.kind, *out_.path});
  out << converted << " bookmarks converted.\n";
}

void Find(const Options& options, std::ostream& out) {
  if (options.arguments.size() != 1)
    throw UsageError("find needs one TEXT");
  FindOptions find;
  find.text = options.arguments[0];
  if (options.target == "all")
    find.target = FindTarget::All;
  else if (options.target == "name")
    find.target = FindTarget::Name;
  else if (options.target == "url")
    find.target = FindTarget::Url;
  else
    throw UsageError("--target takes all, name or url");
  find.wholeWord = options.wholeWord;
  find.matchCase = options.matchCase;
  BookmarkDocument collection = LoadCollection(MakeTei(options));
  auto found = FindBookmarks(collection, find);
  if (!found)
    throw UsageError("find needs a TEXT that is not blank");
  if (options.json) {
    Json rows = Json::array();
    for (const FoundBookmark& row : *found)
      rows.push_back({{"name", row.name}, {"url", row.url}});
    out << Dump(rows) << '\n';
    return;
  }
  for (const FoundBookmark& row : *found)
    out << row.name << '\t' << row.url << '\n';
}

void Detect(const Options& options, std::ostream& out) {
  const std::string settings = options.settings.empty() ? DefaultSettingsPath() : options.settings;
  TSysConfig detector(platform::SystemBrowserProbe(), settings);
  detector.DetectBrowsers();
  TConfig config(settings);
  for (SourceKind kind : kBrowserKinds) {
    out << KindName(kind) << '\t' << config.GetBrowserPath(kind);
    if (std::string version = config.GetBrowserVersion(kind); !version.empty())
      out << '\t' << version;
    out << '\n';
  }
}

} // namespace

void RunCommand(const Options& options, std::ostream& out) {
  const std::string& command = options.command;
  if (command == "list")
    List(options, out);
  else if (command == "import")
    Import(options, out);
  else if (command == "export")
    Export(options, out);
  else if (command == "convert")
    Convert(options, out);
  else if (command == "find")
    Find(options, out);
  else if (command == "detect")
    Detect(options, out);
  else if (command.empty())
    throw UsageError("no command given");
  else
    throw UsageError("unknown command \"" + command + "\"");
}

} // namespace quillary::cli
