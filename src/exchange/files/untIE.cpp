#include "exchange/files/untIE.h"

#include "base/Error.h"
#include "base/Text.h"
#include "ini/IniFile.h"
#include "platform/Files.h"
#include "store/DocumentWalk.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quillary {

namespace {

constexpr std::string_view kSection = "InternetShortcut";
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

// The extension: from the last "." to the end, or empty when there is none.
std::string_view Extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

// The longest file name the file system takes.
constexpr std::size_t kMaxFileName = 255;

using DirectoryId = std::pair<dev_t, ino_t>;

// The directories on the way down from SourcePath, so that a link back up is not followed.
void ReadDirectory(const std::string& path, Node parent, std::vector<DirectoryId>& above) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    const DirectoryId id{info.st_dev, info.st_ino};
    if (std::find(above.begin(), above.end(), id) != above.end())
      return;
    above.push_back(id);
  } else {
    above.emplace_back();
  }
  // Names and addresses in a shortcut file's 8-bit code page are read as Windows-1252.
  std::string repaired;
  for (const std::string& name : ListDirectory(path)) {
    const std::string_view extension = Extension(name);
    const std::string entryPath = path + "/" + name;
    if (extension.empty()) {
      // Whether the entry is a directory is not looked at: a plain file gives an empty folder.
      Node folder = AppendElement(parent, "folder");
      SetAttribute(folder, "name", AsUtf8(name, repaired));
      SetAttribute(folder, "gid", NewGid());
      ReadDirectory(entryPath, folder, above);
    } else if (extension == ".url") {
      Node bookmark = AppendElement(parent, "url");
      SetAttribute(bookmark, "name",
                   AsUtf8(std::string_view(name).substr(0, name.size() - 4), repaired));
      const std::string url = TruncatedUtf8(ini::ReadValue(entryPath, kSection, kKey), kMaxValue);
      SetAttribute(bookmark, "url", AsUtf8(url, repaired));
      SetAttribute(bookmark, "gid", NewGid());
    }
  }
  above.pop_back();
}

} // namespace

std::string TIEObj::FileSafeName(std::string_view text) {
  std::string name(text);
  for (char unsafe : std::string_view("\\/*?\"<>|"))
    name.erase(std::remove(name.begin(), name.end(), unsafe), name.end());
  return name;
}

void TIEObj::ReadFolder(const std::string& path, Node parent) {
  if (path.empty())
    return;
  std::vector<DirectoryId> above;
  ReadDirectory(path, parent, above);
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
      if (!platform::FileExists(file))
        // A line break would add lines to the shortcut file.
        ini::WriteValue(file, kSection, kKey, AddressOnOneLine(AttributeText(bookmark, "url")));
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
