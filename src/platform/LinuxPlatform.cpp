// The platform implementation for Linux and other systems that follow the XDG folder rules.
#include "base/Error.h"
#include "platform/Files.h"
#include "platform/HomeFolders.h"
#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <langinfo.h>
#include <pwd.h>
#include <sys/random.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>

namespace quillary::platform {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home)
    return home;
  if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_dir)
    return entry->pw_dir;
  return "/tmp";
}

std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = std::getenv(variable); value && value[0] == '/')
    return value;
  return HomeFolder() + "/" + fallbackBelowHome;
}

namespace {

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

class LinuxFolders final : public Folders {
public:
  std::string LocalAppDataFolder() const override {
    return XdgFolder("XDG_DATA_HOME", ".local/share");
  }
  std::string ConfigFolder() const override { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
  std::string ProgramFolder() const override {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
      return ".";
    return FolderOf(std::string(buffer, static_cast<size_t>(length)));
  }
};

// GUIDs from the kernel's cryptographic random source, fetched a few hundred at a time: one
// system call per identifier costs a tenth of a large import.
class RandomGuids final : public GuidGenerator {
public:
  GuidBytes NewGuid() override {
    std::lock_guard lock(mutex_);
    if (used_ == pool_.size()) {
      Fill();
      used_ = 0;
    }
    GuidBytes bytes{};
    std::memcpy(bytes.data(), pool_.data() + used_, bytes.size());
    used_ += bytes.size();
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return bytes;
  }

private:
  void Fill() {
    size_t filled = 0;
    while (filled < pool_.size()) {
      ssize_t got = ::getrandom(pool_.data() + filled, pool_.size() - filled, 0);
      if (got < 0) {
        if (errno == EINTR)
          continue;
        throw FileError("getrandom", LastErrorText());
      }
      filled += static_cast<size_t>(got);
    }
  }

  std::mutex mutex_;
  std::array<std::uint8_t, std::size_t{16} * 256> pool_{};
  size_t used_ = pool_.size();
};

class ProcFileSystem final : public ProcessList {
public:
  std::vector<std::string> RunningProcessNames() const override {
    std::vector<std::string> names;
    DIR* proc = ::opendir("/proc");
    if (!proc)
      return names;
    while (const dirent* entry = ::readdir(proc)) {
      std::string pid = entry->d_name;
      if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
        continue;
      // The executable's file name, as the process table of other systems gives it; the kernel's
      // short command name where the link cannot be read (another user's process).
      char buffer[PATH_MAX];
      ssize_t length = ::readlink(("/proc/" + pid + "/exe").c_str(), buffer, sizeof buffer - 1);
      if (length > 0) {
        std::string exe(buffer, static_cast<size_t>(length));
        const std::string deleted = " (deleted)";
        if (exe.size() > deleted.size() && exe.ends_with(deleted))
          exe.resize(exe.size() - deleted.size());
        names.push_back(BaseName(exe));
        continue;
      }
      std::ifstream comm("/proc/" + pid + "/comm");
      std::string name;
      if (std::getline(comm, name) && !name.empty())
        names.push_back(name);
    }
    ::closedir(proc);
    return names;
  }
};

class LinuxSystemInfo final : public SystemInfo {
public:
  std::string LogonName() const override {
    if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
      return entry->pw_name;
    if (const char* user = std::getenv("USER"))
      return user;
    return {};
  }

  // Not a Windows system: a platform id no Windows version uses, with the kernel's version.
  OsVersion Version() const override {
    OsVersion version{3, 0, 0};
    utsname names{};
    if (::uname(&names) == 0)
      std::sscanf(names.release, "%d.%d", &version.major, &version.minor);
    return version;
  }

  std::string ShortDateToday() const override {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char buffer[128] = {};
    // The user's LC_TIME, without changing the process-wide locale.
    locale_t userLocale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (userLocale) {
      const char* format = ::nl_langinfo_l(D_FMT, userLocale);
      ::strftime_l(buffer, sizeof buffer, format && *format ? format : "%x", &local, userLocale);
      ::freelocale(userLocale);
    } else {
      std::strftime(buffer, sizeof buffer, "%x", &local);
    }
    return buffer;
  }
};

// IsStart lives in a small file of its own in the configuration folder.
class FileUserState final : public UserState {
public:
  explicit FileUserState(const Folders& folders) : folders_(folders) {}

  std::string ReadIsStart() const override {
    try {
      std::string value = ReadWholeFile(Path());
      while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
        value.pop_back();
      return value;
    } catch (const FileError&) {
      return {};
    }
  }

  void WriteIsStart(const std::string& value) override {
    CreateFolder(folders_.ConfigFolder());
    CreateFolder(Folder());
    WriteFileAtomically(Path(), value + "\n");
  }

private:
  std::string Folder() const { return folders_.ConfigFolder() + "/Quillary"; }
  std::string Path() const { return Folder() + "/IsStart"; }
  const Folders& folders_;
};

class LinuxPlatform final : public Platform {
public:
  Folders& GetFolders() override { return folders_; }
  GuidGenerator& GetGuids() override { return guids_; }
  ProcessList& GetProcesses() override { return processes_; }
  SystemInfo& GetSystemInfo() override { return system_; }
  UserState& GetUserState() override { return state_; }

private:
  LinuxFolders folders_;
  RandomGuids guids_;
  ProcFileSystem processes_;
  LinuxSystemInfo system_;
  FileUserState state_{folders_};
};

} // namespace

Platform& System() {
  static LinuxPlatform platform;
  return platform;
}

} // namespace quillary::platform
