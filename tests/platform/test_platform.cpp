#include "base/Error.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

using namespace quillary;
using namespace quillary::platform;

TEST(LinuxPlatform, FoldersFollowXdgVariablesWithHomeDefaults) {
  test::ScopedEnv home("HOME", "/home/someone");
  {
    test::ScopedEnv data("XDG_DATA_HOME", "/x/data");
    test::ScopedEnv config("XDG_CONFIG_HOME", "/x/config");
    EXPECT_EQ(System().GetFolders().LocalAppDataFolder(), "/x/data");
    EXPECT_EQ(System().GetFolders().ConfigFolder(), "/x/config");
  }
  test::ScopedEnv relative("XDG_DATA_HOME", "relative/ignored");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(System().GetFolders().LocalAppDataFolder(), "/home/someone/.local/share");
  EXPECT_EQ(System().GetFolders().ConfigFolder(), "/home/someone/.config");
}

TEST(LinuxPlatform, ProgramFolderHoldsThisTest) {
  const std::string folder = System().GetFolders().ProgramFolder();
  EXPECT_TRUE(std::filesystem::exists(folder + "/test_platform"));
}

TEST(LinuxPlatform, GuidsHaveVersionAndVariantBits) {
  for (int i = 0; i < 100; ++i) {
    GuidBytes bytes = System().GetGuids().NewGuid();
    EXPECT_EQ(bytes[6] >> 4, 4);
    EXPECT_EQ(bytes[8] >> 6, 2);
  }
}

TEST(LinuxPlatform, ProcessListHoldsThisProcess) {
  auto names = System().GetProcesses().RunningProcessNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "test_platform"), names.end());
}

TEST(LinuxPlatform, SystemInfoAnswers) {
  EXPECT_FALSE(System().GetSystemInfo().LogonName().empty());
  EXPECT_FALSE(System().GetSystemInfo().ShortDateToday().empty());
}

TEST(LinuxPlatform, IsStartStartsEmptyAndSurvives) {
  test::TempDir dir;
  test::ScopedEnv config("XDG_CONFIG_HOME", dir.Path());
  UserState& state = System().GetUserState();
  EXPECT_EQ(state.ReadIsStart(), "");
  state.WriteIsStart("TRUE");
  EXPECT_EQ(state.ReadIsStart(), "TRUE");
  EXPECT_TRUE(std::filesystem::exists(dir / "Quillary/IsStart"));
}

TEST(Files, AtomicWriteReplacesAndFollowsLinks) {
  test::TempDir dir;
  WriteFileAtomically(dir / "f", "one");
  WriteFileAtomically(dir / "f", "two");
  EXPECT_EQ(ReadWholeFile(dir / "f"), "two");
  std::filesystem::create_symlink(dir / "f", dir / "link");
  WriteFileAtomically(dir / "link", "three");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
  EXPECT_EQ(ReadWholeFile(dir / "f"), "three");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(Files, ErrorsCarryPathAndReason) {
  using testing::AllOf;
  using testing::Property;
  EXPECT_THAT(
      [] { ReadWholeFile("/nonexistent/file"); },
      testing::Throws<FileError>(AllOf(Property(&FileError::Path, "/nonexistent/file"),
                                       Property(&FileError::Reason, "No such file or directory"))));
  EXPECT_THAT([] { ReadFileChecked("/nonexistent/file"); },
              testing::ThrowsMessage<Error>(
                  "Cannot open file \"/nonexistent/file\". No such file or directory"));
  EXPECT_THAT([] { WriteFileChecked("/nonexistent/dir/file", "x"); },
              testing::ThrowsMessage<Error>(
                  testing::StartsWith("Cannot create file \"/nonexistent/dir/file\". ")));
  EXPECT_THROW(WriteFileAtomically("/nonexistent/dir/file", "x"), FileError);
}
