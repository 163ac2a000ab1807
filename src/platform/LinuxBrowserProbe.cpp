#include "platform/LinuxBrowserProbe.h"

#include "base/Error.h"
#include "platform/Files.h"
#include "platform/HomeFolders.h"

#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <string_view>
#include <unistd.h>

namespace quillary::platform {

namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view text) {
  constexpr std::string_view blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The browsers' profile records are small INI files; every section is needed here, in order.
struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;

  std::string Value(std::string_view key) const {
    for (const auto& [name, value] : values)
      if (EqualsIgnoringAsciiCase(name, key))
        return value;
    return {};
  }
};

std::vector<IniSection> ReadIniSections(const std::string& path) {
  std::vector<IniSection> sections;
  std::string text;
  try {
    text = ReadWholeFile(path);
  } catch (const FileError&) {
    return sections;
  }
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos)
      end = text.size();
    std::string_view line = Trim(std::string_view(text).substr(begin, end - begin));
    begin = end + 1;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
    } else if (size_t equals = line.find('='); equals != std::string_view::npos &&
                                               !sections.empty() && line.front() != ';' &&
                                               line.front() != '#') {
      sections.back().values.emplace_back(std::string(Trim(line.substr(0, equals))),
                                          std::string(Trim(line.substr(equals + 1))));
    }
  }
  return sections;
}

// A profile path as the records give it: relative to the root unless it is absolute.
std::string ProfileFolder(const std::string& root, const std::string& path, bool relative) {
  if (path.empty())
    return {};
  std::string folder = relative && path.front() != '/' ? root + "/" + path : path;
  if (!DirectoryExists(folder))
    return {};
  if (folder.back() != '/')
    folder.push_back('/');
  return folder;
}

// The profile the installed browser uses: the Default= of an install section (installs.ini,
// then the [Install...] sections of profiles.ini), else the profile marked Default=1, else the
// only profile there is. The first folder listed is not the one in use on a fresh home.
std::string ProfileInUse(const std::string& root) {
  const std::vector<IniSection> profiles = ReadIniSections(root + "/profiles.ini");
  for (const IniSection& install : ReadIniSections(root + "/installs.ini"))
    if (std::string folder = ProfileFolder(root, install.Value("Default"), true); !folder.empty())
      return folder;
  for (const IniSection& section : profiles)
    if (StartsWithIgnoringAsciiCase(section.name, "Install"))
      if (std::string folder = ProfileFolder(root, section.Value("Default"), true); !folder.empty())
        return folder;
  std::vector<const IniSection*> listed;
  for (const IniSection& section : profiles)
    if (StartsWithIgnoringAsciiCase(section.name, "Profile"))
      listed.push_back(&section);
  auto folderOf = [&](const IniSection& profile) {
    return ProfileFolder(root, profile.Value("Path"), profile.Value("IsRelative") != "0");
  };
  for (const IniSection* profile : listed)
    if (profile->Value("Default") == "1")
      if (std::string folder = folderOf(*profile); !folder.empty())
        return folder;
  if (listed.size() == 1)
    return folderOf(*listed.front());
  return {};
}

// "153.8.0_20261117185949/20261117185949" gives "153.8.0".
std::string LastVersion(const std::string& profileFolder) {
  for (const IniSection& section : ReadIniSections(profileFolder + "compatibility.ini"))
    if (EqualsIgnoringAsciiCase(section.name, "Compatibility")) {
      std::string version = section.Value("LastVersion");
      return version.substr(0, version.find('_'));
    }
  return {};
}

} // namespace

std::optional<std::vector<FolderEntry>>
LinuxBrowserProbe::ListFolder(const std::string& pattern) const {
  std::string folder = pattern;
  for (std::string_view wildcard : {"*.*", "*"})
    if (folder.ends_with(wildcard)) {
      folder.resize(folder.size() - wildcard.size());
      break;
    }
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!listing)
    return std::nullopt;
  std::vector<FolderEntry> entries;
  while (const dirent* entry = ::readdir(listing)) {
    FolderEntry found;
    found.name = entry->d_name;
    found.hidden = !found.name.empty() && found.name.front() == '.';
    found.directory = DirectoryExists(folder + found.name);
    entries.push_back(std::move(found));
  }
  ::closedir(listing);
  return entries;
}

bool LinuxBrowserProbe::FileExists(const std::string& path) const {
  return platform::FileExists(path);
}

std::optional<MozillaProfile> LinuxBrowserProbe::FindMozillaProfile(MozillaBrowser browser) const {
  std::vector<std::string> roots;
  // The browser keeps using the older root while it exists, and starts in the XDG one only
  // when there is none.
  if (browser == MozillaBrowser::Firefox)
    roots = {HomeFolder() + "/.mozilla/firefox",
             XdgFolder("XDG_CONFIG_HOME", ".config") + "/mozilla/firefox"};
  else
    roots = {HomeFolder() + "/.mozilla/seamonkey"};
  for (const std::string& root : roots) {
    if (!DirectoryExists(root))
      continue;
    if (std::string folder = ProfileInUse(root); !folder.empty())
      return MozillaProfile{folder, LastVersion(folder)};
  }
  return std::nullopt;
}

BrowserProbe& SystemBrowserProbe() {
  static LinuxBrowserProbe probe;
  return probe;
}

} // namespace quillary::platform
