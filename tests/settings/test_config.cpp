#include "base/Error.h"
#include "ini/IniFile.h"
#include "platform/SimulatedPlatform.h"
#include "settings/untConfig.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cctype>

using namespace quillary;

namespace {

class ConfigTest : public testing::Test {
protected:
  test::TempDir dir;
  std::string path = dir / "sysinit.ini";
};

TEST_F(ConfigTest, WithoutAFileEveryGetterIsEmptyAndTheFirstSetterCreatesIt) {
  TConfig config(path);
  for (SourceKind kind : kBrowserKinds) {
    EXPECT_EQ(config.GetBrowserPath(kind), "");
    EXPECT_EQ(config.GetBrowserVersion(kind), "");
  }
  EXPECT_EQ(config.GetSystemCode(), "");
  EXPECT_EQ(config.GetImportDate(), "");
  EXPECT_FALSE(config.ForceWrite);
  config.SetBrowserPath(SourceKind::Firefox3, "/p/places.sqlite");
  EXPECT_EQ(test::ReadFile(path), "[browser]\r\nfirefox3=/p/places.sqlite\r\n");
}

TEST_F(ConfigTest, KeysFollowTheSourceKinds) {
  TConfig config(path);
  const char* keys[] = {"ie", "firefox2", "firefox3", "opera", "safari", "netscape", "seamonkey"};
  for (SourceKind kind : kBrowserKinds) {
    config.SetBrowserPath(kind, "path" + std::to_string(IndexOf(kind)));
    config.SetBrowserVersion(kind, "ver" + std::to_string(IndexOf(kind)));
  }
  const std::string text = test::ReadFile(path);
  for (SourceKind kind : kBrowserKinds) {
    SCOPED_TRACE(keys[IndexOf(kind)]);
    EXPECT_EQ(ini::ReadValueFromText(text, "browser", keys[IndexOf(kind)]),
              "path" + std::to_string(IndexOf(kind)));
    EXPECT_EQ(ini::ReadValueFromText(text, "browser", std::string(keys[IndexOf(kind)]) + "ver"),
              "ver" + std::to_string(IndexOf(kind)));
  }
  EXPECT_THROW(config.SetBrowserPath(SourceKind::BackupFile, "x"), Error);
}

struct RuleCase {
  const char* name;
  const char* stored; // nullptr: no key in the file
  const char* written;
  bool force;
  const char* expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RuleCase& c, std::ostream* out) {
  *out << '"' << c.name << '"';
}

const RuleCase kRuleCases[] = {
    {"fills a missing key", nullptr, "/new", false, "/new"},
    {"keeps a set value", "/old", "/new", false, "/old"},
    {"clears with an empty value", "/old", "", false, ""},
    {"blanks only count as empty", " \t ", "/new", false, "/new"},
    {"force replaces a set value", "/old", "/new", true, "/new"},
    {"force clears too", "/old", "", true, ""},
    {"value stored untrimmed", nullptr, " /new ", false, " /new "},
};

class WriteRule : public testing::TestWithParam<RuleCase> {};

TEST_P(WriteRule, AppliesToPathsAndVersions) {
  const RuleCase& c = GetParam();
  test::TempDir dir;
  const std::string path = dir / "sysinit.ini";
  if (c.stored)
    test::WriteFile(path, std::string("[browser]\r\nfirefox3=") + c.stored +
                              "\r\nfirefox3ver=" + c.stored + "\r\n");
  TConfig config(path);
  config.ForceWrite = c.force;
  config.SetBrowserPath(SourceKind::Firefox3, c.written);
  config.SetBrowserVersion(SourceKind::Firefox3, c.written);
  // The getter trims as the profile functions do; the file holds the value as written.
  const std::string text = test::ReadFile(path);
  const std::string line = std::string("firefox3=") + c.expected + "\r\n";
  const std::string versionLine = std::string("firefox3ver=") + c.expected + "\r\n";
  EXPECT_NE(text.find(line), std::string::npos) << text;
  EXPECT_NE(text.find(versionLine), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteRule, testing::ValuesIn(kRuleCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
});

TEST_F(ConfigTest, SystemCodeIsWrittenOnlyWhileEmptyWhateverForceWriteSays) {
  test::WriteFile(path, "[System]\r\nSYS=  \r\n");
  TConfig config(path);
  config.SetSystemCode("5");
  EXPECT_EQ(config.GetSystemCode(), "5");
  config.ForceWrite = true;
  config.SetSystemCode("6");
  EXPECT_EQ(config.GetSystemCode(), "5");
  EXPECT_EQ(test::ReadFile(path), "[System]\r\nSYS=5\r\n");
}

TEST_F(ConfigTest, ImportDateIsThePlatformShortDateStoredAsText) {
  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped(simulated);
  simulated.shortDate = "31/12/2026";
  TConfig config(path);
  config.SetImportDate();
  EXPECT_EQ(config.GetImportDate(), "31/12/2026");
  // A later change of format does not touch what was stored.
  simulated.shortDate = "2027-01-01";
  EXPECT_EQ(TConfig(path).GetImportDate(), "31/12/2026");
  config.SetImportDate();
  EXPECT_EQ(config.GetImportDate(), "2027-01-01");
}

TEST_F(ConfigTest, FindsKeysWrittenInOtherLetterCasesAndReplacesThemInPlace) {
  test::WriteFile(path, "[Browser]\r\nIE=C:\\Fav\r\nFirefox3=\r\n[settings]\r\ndate=1.2.2026\r\n");
  TConfig config(path);
  EXPECT_EQ(config.GetBrowserPath(SourceKind::InternetExplorer), "C:\\Fav");
  config.SetBrowserPath(SourceKind::Firefox3, "/p");
  EXPECT_EQ(test::ReadFile(path),
            "[Browser]\r\nIE=C:\\Fav\r\nFirefox3=/p\r\n[settings]\r\ndate=1.2.2026\r\n");
}

TEST(ConfigDefaultPath, LivesInTheConfigurationFolderAndIsCreatedOnWrite) {
  test::TempDir dir;
  platform::SimulatedPlatform simulated;
  simulated.config = dir / "config";
  platform::ScopedPlatform scoped(simulated);
  EXPECT_EQ(DefaultSettingsPath(), dir / "config/Quillary/sysinit.ini");
  TConfig config;
  EXPECT_EQ(config.FilePath(), DefaultSettingsPath());
  config.SetBrowserPath(SourceKind::Opera, "/o");
  EXPECT_EQ(test::ReadFile(DefaultSettingsPath()), "[browser]\r\nopera=/o\r\n");
}

} // namespace
