#include "settings/untSysConfig.h"

#include "base/Text.h"

#include <cctype>

namespace quillary {

namespace {

// GetUserNameA was given room for 50 characters, the terminating zero included.
constexpr size_t kLogonNameRoom = 50;

// Display names are matched without regard to ASCII case.
bool ContainsIgnoringCase(std::string text, std::string word) {
  LowerAsciiInPlace(text);
  LowerAsciiInPlace(word);
  return text.find(word) != std::string::npos;
}

// Firefox 3 and every later version use the places database; "2.0.0.20" does not count, nor does
// a version without a leading number. "First character is 3" would miss every Firefox since 4.
bool UsesPlacesDatabase(const std::string& version) {
  int leading = 0;
  for (size_t i = 0; i < version.size() && std::isdigit(static_cast<unsigned char>(version[i]));
       ++i) {
    leading = leading * 10 + (version[i] - '0');
    if (leading >= 3)
      return true;
  }
  return false;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string joined;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0)
      joined += separator;
    joined += parts[i];
  }
  return joined;
}

} // namespace

int OsCodeOf(const platform::OsVersion& version) {
  switch (version.platformId) {
  case 0:
    return 0;
  case 1:
    switch (version.minor) {
    case 0:
      return 1;
    case 10:
      return 2;
    case 90:
      return 3;
    }
    return 0;
  case 2:
    if (version.major == 3 || version.major == 4)
      return 4;
    if (version.major == 5 && version.minor >= 0 && version.minor <= 2)
      return 5 + version.minor;
    if (version.major == 6)
      return 8;
    return 0;
  }
  return 0;
}

TSysConfig::TSysConfig() : TSysConfig(platform::SystemBrowserProbe(), DefaultSettingsPath()) {}

TSysConfig::TSysConfig(platform::BrowserProbe& probe, std::string settingsPath)
    : probe_(probe), config_(std::move(settingsPath)) {
  platform::SystemInfo& system = platform::Current().GetSystemInfo();
  logonName_ = system.LogonName();
  if (logonName_.size() >= kLogonNameRoom)
    logonName_.clear(); // the call fails when the name does not fit
  osCode_ = OsCodeOf(system.Version());
  // Both candidates use the literal drive and the logon name; neither is asked of the shell.
  baseFolder_ = osCode_ == 8 ? "C:\\Users\\" + logonName_ + "\\AppData\\Roaming\\"
                             : "C:\\Documents and Settings\\" + logonName_ + "\\Application Data\\";
  config_.SetSystemCode(std::to_string(osCode_));
}

void TSysConfig::DetectBrowsers() {
  config_.ForceWrite = ForceWrite;
  if (!probe_.HasUninstallRegistry()) {
    DetectFromProfileRecords();
    return;
  }
  DetectFirefox3();
  DetectInternetExplorer();
  DetectNetscape();
  DetectSeaMonkey();
}

std::vector<std::string> TSysConfig::FindUninstallEntries(const std::string& word,
                                                          bool versions) const {
  std::vector<std::string> found;
  for (const platform::UninstallEntry& entry : probe_.UninstallEntries())
    if (ContainsIgnoringCase(entry.displayName, word))
      found.push_back(versions ? entry.displayVersion : entry.displayName);
  return found;
}

std::string TSysConfig::FindProfileFolder(const std::string& relativeFolder) const {
  const std::string folder = baseFolder_ + relativeFolder;
  auto entries = probe_.ListFolder(folder + "*.*");
  if (!entries)
    return {};
  // Files count as well: the first entry is taken whatever it is.
  for (const platform::FolderEntry& entry : *entries) {
    if (entry.hidden || entry.system || entry.name == "." || entry.name == "..")
      continue;
    return folder + entry.name + "\\";
  }
  return {};
}

void TSysConfig::DetectFirefox3() {
  const std::vector<std::string> versions = FindUninstallEntries("firefox", true);
  if (versions.empty()) {
    config_.SetBrowserPath(SourceKind::Firefox3, "");
    config_.SetBrowserVersion(SourceKind::Firefox3, "");
    return;
  }
  for (const std::string& version : versions) {
    if (!UsesPlacesDatabase(version))
      continue;
    const std::string profile = FindProfileFolder("Mozilla\\Firefox\\Profiles\\");
    config_.SetBrowserPath(SourceKind::Firefox3, profile.empty() ? "" : profile + "places.sqlite");
    config_.SetBrowserVersion(SourceKind::Firefox3, version);
  }
}

void TSysConfig::DetectInternetExplorer() {
  config_.SetBrowserPath(SourceKind::InternetExplorer, probe_.FavoritesFolder());
  config_.SetBrowserVersion(SourceKind::InternetExplorer, probe_.InternetExplorerVersion());
}

void TSysConfig::DetectNetscape() {
  const std::vector<std::string> names = FindUninstallEntries("Netscape", false);
  if (names.empty()) {
    config_.SetBrowserPath(SourceKind::Netscape, "");
    config_.SetBrowserVersion(SourceKind::Netscape, "");
    return;
  }
  for (const std::string& name : names) {
    std::string profile;
    if (ContainsIgnoringCase(name, "Browser"))
      profile = FindProfileFolder("Netscape\\NSB\\Profiles\\");
    else if (ContainsIgnoringCase(name, "7."))
      profile = FindProfileFolder("Mozilla\\Profiles\\default\\");
    else
      continue;
    const std::string path = profile.empty() ? "" : profile + "bookmarks.html";
    config_.SetBrowserPath(SourceKind::Netscape,
                           !path.empty() && probe_.FileExists(path) ? path : "");
  }
}

void TSysConfig::DetectSeaMonkey() {
  const std::vector<std::string> versions = FindUninstallEntries("seamonkey", true);
  if (versions.empty()) {
    config_.SetBrowserPath(SourceKind::SeaMonkey, "");
    config_.SetBrowserVersion(SourceKind::SeaMonkey, "");
    return;
  }
  const std::string profile = FindProfileFolder("Mozilla\\Profiles\\default\\");
  const std::string path = profile.empty() ? "" : profile + "bookmarks.html";
  config_.SetBrowserPath(SourceKind::SeaMonkey,
                         !path.empty() && probe_.FileExists(path) ? path : "");
  config_.SetBrowserVersion(SourceKind::SeaMonkey, Joined(versions, "|"));
}

void TSysConfig::DetectFromProfileRecords() {
  // Only non-empty values are handed over: an empty one would clear what the user set by hand.
  if (auto firefox = probe_.FindMozillaProfile(platform::MozillaBrowser::Firefox)) {
    if (firefox->version.empty() || UsesPlacesDatabase(firefox->version)) {
      config_.SetBrowserPath(SourceKind::Firefox3, firefox->folder + "places.sqlite");
      if (!firefox->version.empty())
        config_.SetBrowserVersion(SourceKind::Firefox3, firefox->version);
    }
  }
  if (auto seamonkey = probe_.FindMozillaProfile(platform::MozillaBrowser::SeaMonkey)) {
    const std::string path = seamonkey->folder + "bookmarks.html";
    if (probe_.FileExists(path)) {
      config_.SetBrowserPath(SourceKind::SeaMonkey, path);
      if (!seamonkey->version.empty())
        config_.SetBrowserVersion(SourceKind::SeaMonkey, seamonkey->version);
    }
  }
}

} // namespace quillary
