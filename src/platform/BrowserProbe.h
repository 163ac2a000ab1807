#pragma once

#include <optional>
#include <string>
#include <vector>

// What browser detection asks of the system: the Windows registry and shell where there is one,
// and the browsers' own profile records where there is not.
namespace quillary::platform {

// One subkey of the machine's uninstall key; a missing value reads as empty.
struct UninstallEntry {
  std::string displayName;
  std::string displayVersion;
};

struct FolderEntry {
  std::string name;
  bool hidden = false;
  bool system = false;
  bool directory = false;
};

// The profile a Mozilla browser uses, as its own records name it.
struct MozillaProfile {
  std::string folder;  // ends with a separator
  std::string version; // the application version last run on it; empty when unknown
};

enum class MozillaBrowser { Firefox, SeaMonkey };

class BrowserProbe {
public:
  virtual ~BrowserProbe() = default;

  // True where the answers come from an uninstall registry, so that a missing entry means the
  // browser is gone. Elsewhere absence proves nothing and only what is found may be written.
  virtual bool HasUninstallRegistry() const = 0;

  // The subkeys of the machine's uninstall key, in the order the registry lists them.
  virtual std::vector<UninstallEntry> UninstallEntries() const = 0;
  // The value "Version" of the machine's Internet Explorer key; empty when missing.
  virtual std::string InternetExplorerVersion() const = 0;
  // The shell's Favorites folder; empty when there is none.
  virtual std::string FavoritesFolder() const = 0;
  // The entries matching a pattern such as "C:\...\Profiles\*.*", unsorted; nullopt when the
  // folder cannot be listed.
  virtual std::optional<std::vector<FolderEntry>> ListFolder(const std::string& pattern) const = 0;
  virtual bool FileExists(const std::string& path) const = 0;

  // The profile the browser installed for this user works in; nullopt when none is found.
  virtual std::optional<MozillaProfile> FindMozillaProfile(MozillaBrowser browser) const = 0;
};

// The probe of the system Quillary was built for.
BrowserProbe& SystemBrowserProbe();

} // namespace quillary::platform
