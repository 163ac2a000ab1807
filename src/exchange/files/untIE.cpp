#include "exchange/files/untIE.h"

#include "base/Error.h"
#include "base/NestingLimit.h"
#include "base/Text.h"
#include "exchange/files/Utf7.h"
#include "ini/IniFile.h"
#include "platform/Files.h"
#include "store/DocumentWalk.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quillary {

namespace {

constexpr std::string_view kSection = "InternetShortcut";
// Where Windows keeps the address in UTF-7 when it is not plain ASCII.
constexpr std::string_view kUnicodeSection = "InternetShortcut.W";
constexpr std::string_view kKey = "URL";
constexpr std::size_t kMaxValue = 2047;

// The directory's entry names in byte order: the system's own listing order is arbitrary, and
// imports must come out the same every time.
std::vector<std::string> ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  DIR* directory = ::opendir(path.c_str());
  if (!directory)
    return names;
  while (const dirent* entry = ::readdir(directory)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..")
      names.push_back(std::move(name));
  }
  ::closedir(directory);
  std::sort(names.begin(), names.end());
  return names;
}

bool IsShortcutName(std::string_view name) {
  return name.size() >= 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".url");
}

// The recycle bin of a drive holds deleted files, not favourites.
bool IsRecycleBin(std::string_view name) {
  return EqualsIgnoringAsciiCase(name, "$RECYCLE.BIN");
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The longest file name the file system takes.
constexpr std::size_t kMaxFileName = 255;

struct DirectoryId {
  dev_t device;
  ino_t inode;
  bool operator==(const DirectoryId&) const = default;
};

struct DirectoryIdHash {
  std::size_t operator()(const DirectoryId& id) const {
    return std::hash<ino_t>()(id.inode) * 31 + std::hash<dev_t>()(id.device);
  }
};

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// A link that leads out of the Favorites folder is not followed.
bool LeadsInside(const std::string& path, const std::string& realRoot) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
    return true;
  const std::string target = RealPath(path);
  return !target.empty() && target.starts_with(realRoot) &&
         (realRoot.ends_with('/') || target.size() == realRoot.size() ||
          target[realRoot.size()] == '/');
}

// The shortcut's address: the Unicode one where Windows wrote it, else the 8-bit one, whose code
// page is read as Windows-1252.
std::string AddressOf(const std::string& path) {
  const std::string text = ini::ReadText(path);
  const std::string unicode = ini::ReadValueFromText(text, kUnicodeSection, kKey);
  if (!unicode.empty())
    if (std::optional<std::string> url = Utf8FromUtf7(unicode); url && !url->empty())
      return TruncatedUtf8(std::move(*url), kMaxValue);
  std::string repaired;
  const std::string url = TruncatedUtf8(ini::ReadValueFromText(text, kSection, kKey), kMaxValue);
  return std::string(AsUtf8(url, repaired));
}

// One directory being listed: its entries and how far the walk has come through them.
struct OpenDirectory {
  std::string path;
  std::vector<std::string> names;
  std::size_t next = 0;
  Node folder;
};

} // namespace

std::string TIEObj::FileSafeName(std::string_view text) {
  std::string name(text);
  for (char unsafe : std::string_view("\\/*?\"<>|"))
    name.erase(std::remove(name.begin(), name.end(), unsafe), name.end());
  return name;
}

void TIEObj::ReadFolder(const std::string& path, Node parent) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    return;
  const std::string realRoot = RealPath(path);
  // Every directory is read once, however many links lead to it; the others stay empty folders.
  std::unordered_set<DirectoryId, DirectoryIdHash> walked{{info.st_dev, info.st_ino}};
  std::vector<OpenDirectory> open;
  open.push_back({path, ListDirectory(path), 0, parent});
  std::string repaired;
  while (!open.empty()) {
    OpenDirectory& directory = open.back();
    if (directory.next == directory.names.size()) {
      open.pop_back();
      continue;
    }
    const std::string& name = directory.names[directory.next++];
    std::string entryPath = directory.path + "/" + name;
    if (::stat(entryPath.c_str(), &info) != 0)
      continue; // gone, or a link to nothing
    if (S_ISDIR(info.st_mode)) {
      if (IsRecycleBin(name))
        continue;
      if (open.size() > kMaxFolderDepth)
        throw NestedTooDeep("The Favorites folder \"" + path + "\"");
      Node folder = AppendElement(directory.folder, "folder");
      SetAttribute(folder, "name", AsUtf8(name, repaired));
      SetAttribute(folder, "gid", NewGid());
      if (!LeadsInside(entryPath, realRoot) || !walked.insert({info.st_dev, info.st_ino}).second)
        continue;
      std::vector<std::string> names = ListDirectory(entryPath);
      open.push_back({std::move(entryPath), std::move(names), 0, folder});
    } else if (S_ISREG(info.st_mode) && IsShortcutName(name) &&
               static_cast<std::uintmax_t>(info.st_size) <= ini::kMaxFileBytes) {
      // A pipe or a device is no shortcut, and neither is a file of more than a megabyte.
      Node bookmark = AppendElement(directory.folder, "url");
      SetAttribute(bookmark, "name",
                   AsUtf8(std::string_view(name).substr(0, name.size() - 4), repaired));
      SetAttribute(bookmark, "url", AddressOf(entryPath));
      SetAttribute(bookmark, "gid", NewGid());
    }
  }
}

std::unique_ptr<BookmarkDocument> TIEObj::ImportBookmarks() {
  auto document = NewBookmarkDocument("utf-8");
  ReadFolder(SourcePath, Root(*document));
  return document;
}

void TIEObj::WriteFolder(const std::string& path, Node node) {
  struct Writer {
    std::vector<std::string> paths; // the directory of every open folder, innermost last
    void EnterFolder(Node folder, std::size_t) {
      // A title longer than a file name may be is shortened rather than failing the export.
      // "." and ".." would leave the Favorites tree; such a folder goes into its parent's
      // directory, as an empty name does.
      const std::string name = FileSafeName(AttributeText(folder, "name"));
      std::string subPath = name == "." || name == ".."
                                ? paths.back()
                                : paths.back() + "/" + TruncatedUtf8(name, kMaxFileName);
      if (!platform::DirectoryExists(subPath))
        platform::CreateFolder(subPath);
      paths.push_back(std::move(subPath));
    }
    void LeaveFolder(Node, std::size_t) { paths.pop_back(); }
    void Bookmark(Node bookmark, std::size_t) {
      const std::string name = FileSafeName(AttributeText(bookmark, "name"));
      const std::string file = paths.back() + "/" + TruncatedUtf8(name, kMaxFileName - 4) + ".url";
      if (platform::PathExists(file))
        return;
      // A line break would add lines to the shortcut file.
      const std::string url = AddressOnOneLine(AttributeText(bookmark, "url"));
      std::string text = ini::WriteValueToText("", kSection, kKey, url);
      // Windows reads the 8-bit section in its own code page; the Unicode one keeps the text.
      if (!IsAscii(url) || !IsAscii(name))
        if (std::optional<std::string> utf7 = Utf7FromUtf8(url))
          text = ini::WriteValueToText(text, kUnicodeSection, kKey, *utf7);
      try {
        platform::WriteFileAtomically(file, text);
      } catch (const FileError&) {
        throw Error("Unable to write to " + file);
      }
    }
  };
  WalkSiblings(node, Writer{{path}});
}

void TIEObj::ExportBookmarks(BookmarkDocument& document) {
  const Node root = Root(document);
  if (!root || !root.first_child())
    return;
  // Without a Favorites folder the paths would start at the top of the file system.
  if (SourcePath.empty())
    throw Error("Unable to write to " + SourcePath);
  WriteFolder(SourcePath, root.first_child());
}

} // namespace quillary
