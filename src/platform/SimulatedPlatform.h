#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

// A platform whose answers the test sets. GUIDs still come from the system's random source
// unless a test queues its own.
namespace quillary::platform {

class SimulatedPlatform final : public Platform,
                                Folders,
                                GuidGenerator,
                                ProcessList,
                                SystemInfo,
                                UserState {
public:
  std::string localAppData = "/nonexistent/data";
  std::string config = "/nonexistent/config";
  std::string program = "/nonexistent/program";
  std::vector<GuidBytes> queuedGuids; // taken from the front, then random ones
  std::vector<std::string> processes;
  std::string logonName = "user";
  OsVersion version{2, 6, 1};
  std::string shortDate = "10/12/2026";
  std::string isStart;

  Folders& GetFolders() override { return *this; }
  GuidGenerator& GetGuids() override { return *this; }
  ProcessList& GetProcesses() override { return *this; }
  SystemInfo& GetSystemInfo() override { return *this; }
  UserState& GetUserState() override { return *this; }

  std::string LocalAppDataFolder() const override { return localAppData; }
  std::string ConfigFolder() const override { return config; }
  std::string ProgramFolder() const override { return program; }
  GuidBytes NewGuid() override;
  std::vector<std::string> RunningProcessNames() const override { return processes; }
  std::string LogonName() const override { return logonName; }
  OsVersion Version() const override { return version; }
  std::string ShortDateToday() const override { return shortDate; }
  std::string ReadIsStart() const override { return isStart; }
  void WriteIsStart(const std::string& value) override { isStart = value; }
};

} // namespace quillary::platform
