#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What the operating system provides, behind small interfaces. The core asks Current(); tests
// install a simulated platform with ScopedPlatform.
namespace quillary::platform {

class Folders {
public:
  virtual ~Folders() = default;
  // The per-user, non-roaming application-data folder (no trailing separator).
  virtual std::string LocalAppDataFolder() const = 0;
  // The per-user configuration folder (no trailing separator).
  virtual std::string ConfigFolder() const = 0;
  // The folder that holds the running program file (no trailing separator).
  virtual std::string ProgramFolder() const = 0;
};

using GuidBytes = std::array<std::uint8_t, 16>;

class GuidGenerator {
public:
  virtual ~GuidGenerator() = default;
  // A random (version 4) GUID in display byte order.
  virtual GuidBytes NewGuid() = 0;
};

class ProcessList {
public:
  virtual ~ProcessList() = default;
  // The executable file names of the running processes.
  virtual std::vector<std::string> RunningProcessNames() const = 0;
};

struct OsVersion {
  int platformId = 0;
  int major = 0;
  int minor = 0;
};

class SystemInfo {
public:
  virtual ~SystemInfo() = default;
  virtual std::string LogonName() const = 0;
  virtual OsVersion Version() const = 0;
  // Today's local date in the user's short date format.
  virtual std::string ShortDateToday() const = 0;
};

// The one per-user value that survives between runs outside the settings file.
class UserState {
public:
  virtual ~UserState() = default;
  // Empty when the value was never written.
  virtual std::string ReadIsStart() const = 0;
  virtual void WriteIsStart(const std::string& value) = 0;
};

class Platform {
public:
  virtual ~Platform() = default;
  virtual Folders& GetFolders() = 0;
  virtual GuidGenerator& GetGuids() = 0;
  virtual ProcessList& GetProcesses() = 0;
  virtual SystemInfo& GetSystemInfo() = 0;
  virtual UserState& GetUserState() = 0;
};

// The platform in use: the one of this system unless a ScopedPlatform replaced it.
Platform& Current();

// The implementation for the system Quillary was built for.
Platform& System();

// Installs another platform for its own lifetime (tests, the command-line tool).
class ScopedPlatform {
public:
  explicit ScopedPlatform(Platform& platform);
  ~ScopedPlatform();
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
  Platform* previous_;
};

} // namespace quillary::platform
