#pragma once

#include "platform/BrowserProbe.h"
#include "platform/Platform.h"
#include "settings/untConfig.h"

#include <string>
#include <vector>

namespace quillary {

// The operating-system code 0..8 of a reported platform id and version.
int OsCodeOf(const platform::OsVersion& version);

// Finds the installed browsers and writes their bookmark locations and versions into the
// settings file, every value through TConfig's write rule. Made for one detection.
class TSysConfig {
public:
  TSysConfig(); // the probe of this system and the default settings file
  TSysConfig(platform::BrowserProbe& probe, std::string settingsPath);

  // Copied into the settings object by DetectBrowsers.
  bool ForceWrite = false;

  // Firefox 3, Internet Explorer, Netscape and SeaMonkey, in that order.
  void DetectBrowsers();

  // The display versions (or names) of the uninstall entries whose display name contains the
  // word, without regard to case, in registry order.
  std::vector<std::string> FindUninstallEntries(const std::string& word, bool versions) const;
  // Base folder + relative folder + the first listed entry that is neither hidden nor system,
  // with a trailing backslash; empty when there is none.
  std::string FindProfileFolder(const std::string& relativeFolder) const;

  const std::string& LogonName() const { return logonName_; }
  int OsCode() const { return osCode_; }
  const std::string& BaseFolder() const { return baseFolder_; }

private:
  void DetectFirefox3();
  void DetectInternetExplorer();
  void DetectNetscape();
  void DetectSeaMonkey();
  // Where no registry says what is gone: fill in what is found, clear nothing.
  void DetectFromProfileRecords();

  platform::BrowserProbe& probe_;
  TConfig config_;
  std::string logonName_;
  int osCode_ = 0;
  std::string baseFolder_;
};

} // namespace quillary
