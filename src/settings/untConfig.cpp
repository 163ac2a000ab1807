#include "settings/untConfig.h"

#include "base/Error.h"
#include "base/Text.h"
#include "ini/IniFile.h"
#include "platform/Files.h"
#include "platform/Platform.h"

namespace quillary {

namespace {

std::string KeyOf(SourceKind kind) {
  std::string_view key = SettingsKeyOf(kind);
  if (key.empty())
    throw Error("No settings key for the source kind " + std::to_string(IndexOf(kind)) + ".");
  return std::string(key);
}

} // namespace

std::string DefaultSettingsPath() {
  return platform::Current().GetFolders().ConfigFolder() + "/Quillary/sysinit.ini";
}

TConfig::TConfig() : TConfig(DefaultSettingsPath()) {}

TConfig::TConfig(std::string filePath) : filePath_(std::move(filePath)) {}

std::string TConfig::Read(const char* section, const std::string& key) const {
  return ini::ReadValue(filePath_, section, key);
}

void TConfig::Write(const char* section, const std::string& key, const std::string& value) {
  if (size_t slash = filePath_.find_last_of('/'); slash != std::string::npos && slash > 0)
    platform::CreateFolders(filePath_.substr(0, slash));
  ini::WriteValue(filePath_, section, key, value);
}

void TConfig::WriteUnderRule(const std::string& key, const std::string& value) {
  if (Trimmed(Read("browser", key)).empty() || value.empty() || ForceWrite)
    Write("browser", key, value);
}

std::string TConfig::GetSystemCode() const {
  return Read("system", "sys");
}

void TConfig::SetSystemCode(const std::string& code) {
  if (Trimmed(GetSystemCode()).empty())
    Write("system", "sys", code);
}

std::string TConfig::GetBrowserPath(SourceKind kind) const {
  return Read("browser", KeyOf(kind));
}

void TConfig::SetBrowserPath(SourceKind kind, const std::string& path) {
  WriteUnderRule(KeyOf(kind), path);
}

std::string TConfig::GetBrowserVersion(SourceKind kind) const {
  return Read("browser", KeyOf(kind) + "ver");
}

void TConfig::SetBrowserVersion(SourceKind kind, const std::string& version) {
  WriteUnderRule(KeyOf(kind) + "ver", version);
}

void TConfig::SetImportDate() {
  Write("settings", "date", platform::Current().GetSystemInfo().ShortDateToday());
}

std::string TConfig::GetImportDate() const {
  return Read("settings", "date");
}

} // namespace quillary
