#pragma once

#include "platform/BrowserProbe.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// A Windows system whose registry, shell folder and file system the test sets, so that every
// branch of detection runs anywhere.
namespace quillary::platform {

class SimulatedWindowsProbe final : public BrowserProbe {
public:
  std::vector<UninstallEntry> uninstall; // in registry order
  std::string internetExplorerVersion;
  std::string favorites;
  // Folder path with its trailing backslash (as a profiles folder "C:\Users\me\...\Profiles\")
  // to its entries in listing order. A folder not held here cannot be listed.
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::set<std::string> files;

  bool HasUninstallRegistry() const override { return true; }
  std::vector<UninstallEntry> UninstallEntries() const override { return uninstall; }
  std::string InternetExplorerVersion() const override { return internetExplorerVersion; }
  std::string FavoritesFolder() const override { return favorites; }
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& pattern) const override;
  bool FileExists(const std::string& path) const override { return files.contains(path); }
  // Windows detection reads no profile records.
  std::optional<MozillaProfile> FindMozillaProfile(MozillaBrowser) const override {
    return std::nullopt;
  }
};

} // namespace quillary::platform
