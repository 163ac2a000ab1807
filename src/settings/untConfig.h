#pragma once

#include "base/SourceKind.h"

#include <string>

namespace quillary {

// The settings file "sysinit.ini" in the per-user configuration folder.
std::string DefaultSettingsPath();

// Access to the settings file: browser locations and versions by kind 0..6, the operating-system
// code and the last import date. Nothing is cached; every read sees the file as it is now.
class TConfig {
public:
  TConfig(); // the default settings file
  explicit TConfig(std::string filePath);

  // When on, SetBrowserPath and SetBrowserVersion always write.
  bool ForceWrite = false;

  const std::string& FilePath() const { return filePath_; }

  std::string GetSystemCode() const;
  // Writes only while the stored code is empty.
  void SetSystemCode(const std::string& code);

  std::string GetBrowserPath(SourceKind kind) const;
  void SetBrowserPath(SourceKind kind, const std::string& path);
  std::string GetBrowserVersion(SourceKind kind) const;
  void SetBrowserVersion(SourceKind kind, const std::string& version);

  // Today's date in the user's short date format, as the date of the last import.
  void SetImportDate();
  std::string GetImportDate() const;

private:
  std::string Read(const char* section, const std::string& key) const;
  void Write(const char* section, const std::string& key, const std::string& value);
  // The write rule: a value is written when the stored one is blank, the new one is empty, or
  // ForceWrite is on.
  void WriteUnderRule(const std::string& key, const std::string& value);

  std::string filePath_;
};

} // namespace quillary
