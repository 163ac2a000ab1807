#pragma once

#include "platform/BrowserProbe.h"

// The probe of a Linux system: no registry and no Favorites folder, so the answers come from the
// Mozilla browsers' own profile records in the user's home.
namespace quillary::platform {

class LinuxBrowserProbe final : public BrowserProbe {
public:
  bool HasUninstallRegistry() const override { return false; }
  std::vector<UninstallEntry> UninstallEntries() const override { return {}; }
  std::string InternetExplorerVersion() const override { return {}; }
  std::string FavoritesFolder() const override { return {}; }
  // Any pattern is taken as a folder followed by "*" or "*.*"; dot files count as hidden.
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& pattern) const override;
  bool FileExists(const std::string& path) const override;

  // Firefox: the older ~/.mozilla/firefox, else $XDG_CONFIG_HOME/mozilla/firefox (default
  // ~/.config/mozilla/firefox); SeaMonkey: ~/.mozilla/seamonkey. The profile is the one an install
  // section names, else the one marked Default=1 in profiles.ini.
  std::optional<MozillaProfile> FindMozillaProfile(MozillaBrowser browser) const override;
};

} // namespace quillary::platform
