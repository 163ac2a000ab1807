#include "ini/IniFile.h"
#include "platform/LinuxBrowserProbe.h"
#include "platform/SimulatedPlatform.h"
#include "platform/SimulatedWindowsProbe.h"
#include "settings/untSysConfig.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <map>
#include <utility>

using namespace quillary;
using platform::FolderEntry;
using platform::UninstallEntry;

namespace {

const std::string kBase = "C:\\Users\\me\\AppData\\Roaming\\";
const std::string kFirefoxProfiles = kBase + "Mozilla\\Firefox\\Profiles\\";
const std::string kMozillaDefault = kBase + "Mozilla\\Profiles\\default\\";
const std::string kNetscapeProfiles = kBase + "Netscape\\NSB\\Profiles\\";

FolderEntry Dir(const char* name) {
  return {name, false, false, true};
}

// A simulated Windows system of the NT 6 family for the logon name "me".
class WindowsDetection : public testing::Test {
protected:
  WindowsDetection() {
    simulated.logonName = "me";
    simulated.version = {2, 6, 1};
  }

  // One detection as both callers run it: construct, DetectBrowsers, destroy.
  void Detect(bool force = false) {
    TSysConfig sys(probe, path);
    sys.ForceWrite = force;
    sys.DetectBrowsers();
  }

  std::string Value(const char* key) const { return ini::ReadValue(path, "browser", key); }
  void Store(const char* key, const std::string& value) {
    ini::WriteValue(path, "browser", key, value);
  }

  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped{simulated};
  platform::SimulatedWindowsProbe probe;
  test::TempDir dir;
  std::string path = dir / "sysinit.ini";
};

struct OsCase {
  int platformId, major, minor;
  int code;
  bool secondCandidate;
};

TEST_F(WindowsDetection, OsCodeAndBaseFolderFollowTheReportedVersion) {
  const OsCase cases[] = {
      {0, 3, 1, 0, false}, {1, 4, 0, 1, false},  {1, 4, 10, 2, false}, {1, 4, 90, 3, false},
      {1, 4, 5, 0, false}, {2, 3, 51, 4, false}, {2, 4, 0, 4, false},  {2, 5, 0, 5, false},
      {2, 5, 1, 6, false}, {2, 5, 2, 7, false},  {2, 5, 3, 0, false},  {2, 6, 0, 8, true},
      {2, 6, 1, 8, true},  {2, 6, 3, 8, true},   {2, 10, 0, 0, false}, {3, 6, 1, 0, false},
  };
  for (const OsCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.platformId << " " << c.major << "." << c.minor);
    test::TempDir fresh;
    simulated.version = {c.platformId, c.major, c.minor};
    TSysConfig sys(probe, fresh / "sysinit.ini");
    EXPECT_EQ(sys.OsCode(), c.code);
    EXPECT_EQ(sys.BaseFolder(), c.secondCandidate
                                    ? "C:\\Users\\me\\AppData\\Roaming\\"
                                    : "C:\\Documents and Settings\\me\\Application Data\\");
    EXPECT_EQ(ini::ReadValue(fresh / "sysinit.ini", "system", "sys"), std::to_string(c.code));
    EXPECT_FALSE(sys.ForceWrite);
  }
}

TEST_F(WindowsDetection, TheFirstSystemCodeStays) {
  ini::WriteValue(path, "system", "sys", "5");
  Detect(true);
  EXPECT_EQ(ini::ReadValue(path, "system", "sys"), "5");
}

TEST_F(WindowsDetection, LogonNameThatCannotBeReadLeavesNoUserPart) {
  simulated.logonName = "";
  EXPECT_EQ(TSysConfig(probe, path).BaseFolder(), "C:\\Users\\\\AppData\\Roaming\\");
  simulated.logonName = std::string(49, 'n');
  EXPECT_EQ(TSysConfig(probe, path).LogonName(), std::string(49, 'n'));
  simulated.logonName = std::string(50, 'n'); // no room for the terminating zero
  EXPECT_EQ(TSysConfig(probe, path).LogonName(), "");
}

TEST_F(WindowsDetection, UninstallEntriesMatchWithoutRegardToCaseInRegistryOrder) {
  probe.uninstall = {
      {"Mozilla FIREFOX (3.6)", "3.6"}, {"Thunderbird", "2.0"}, {"", "9"}, {"firefox helper", ""}};
  TSysConfig sys(probe, path);
  EXPECT_EQ(sys.FindUninstallEntries("Firefox", true), (std::vector<std::string>{"3.6", ""}));
  EXPECT_EQ(sys.FindUninstallEntries("firefox", false),
            (std::vector<std::string>{"Mozilla FIREFOX (3.6)", "firefox helper"}));
  EXPECT_TRUE(sys.FindUninstallEntries("seamonkey", true).empty());
}

TEST_F(WindowsDetection, ProfileFolderIsTheFirstListedEntryThatIsNotHiddenOrSystem) {
  probe.folders[kFirefoxProfiles] = {Dir("."),
                                     Dir(".."),
                                     {"hidden.default", true, false, true},
                                     {"system.default", false, true, true},
                                     {"notes.txt", false, false, false},
                                     Dir("abc.default")};
  TSysConfig sys(probe, path);
  // A plain file counts: the path then points inside it.
  EXPECT_EQ(sys.FindProfileFolder("Mozilla\\Firefox\\Profiles\\"),
            kFirefoxProfiles + "notes.txt\\");
  probe.folders[kFirefoxProfiles] = {Dir("."), Dir("..")};
  EXPECT_EQ(sys.FindProfileFolder("Mozilla\\Firefox\\Profiles\\"), "");
  EXPECT_EQ(sys.FindProfileFolder("Not\\There\\"), "");
}

TEST_F(WindowsDetection, FirefoxVersionsAreHandedOverInListOrder) {
  probe.uninstall = {{"Mozilla Firefox (3.0.5)", "3.0.5"}, {"Mozilla Firefox (3.6)", "3.6"}};
  probe.folders[kFirefoxProfiles] = {Dir("abc.default")};
  const std::string places = kFirefoxProfiles + "abc.default\\places.sqlite";

  Detect(); // a first run stores the first one
  EXPECT_EQ(Value("firefox3"), places);
  EXPECT_EQ(Value("firefox3ver"), "3.0.5");

  Store("firefox3", "D:\\mine\\places.sqlite");
  Detect(); // an existing value stays
  EXPECT_EQ(Value("firefox3"), "D:\\mine\\places.sqlite");
  EXPECT_EQ(Value("firefox3ver"), "3.0.5");

  Detect(true); // forced, the second one ends up stored
  EXPECT_EQ(Value("firefox3"), places);
  EXPECT_EQ(Value("firefox3ver"), "3.6");
}

TEST_F(WindowsDetection, FirefoxVersionsCountFromThreeOnByTheirLeadingNumber) {
  probe.folders[kFirefoxProfiles] = {Dir("abc.default")};
  const std::pair<const char*, bool> versions[] = {
      {"3.0.5", true},   {"4.0", true},       {"10.0.2", true}, {"115.3.1esr", true},
      {"153.8.0", true}, {"2.0.0.20", false}, {"1.5", false},   {"0.9", false},
      {"", false},       {"beta", false}};
  for (const auto& [version, counts] : versions) {
    SCOPED_TRACE(version);
    test::TempDir fresh;
    path = fresh / "sysinit.ini";
    Store("firefox3", "/by/hand");
    probe.uninstall = {{"Mozilla Firefox", version}};
    Detect(true);
    EXPECT_EQ(Value("firefox3"),
              counts ? kFirefoxProfiles + "abc.default\\places.sqlite" : "/by/hand");
    EXPECT_EQ(Value("firefox3ver"), counts ? version : "");
  }
}

TEST_F(WindowsDetection, Firefox2AloneWritesAndClearsNothing) {
  probe.uninstall = {{"Mozilla Firefox (2.0.0.20)", "2.0.0.20"}};
  probe.folders[kFirefoxProfiles] = {Dir("abc.default")};
  Store("firefox3", "D:\\mine\\places.sqlite");
  Detect();
  EXPECT_EQ(Value("firefox3"), "D:\\mine\\places.sqlite");
  EXPECT_EQ(test::ReadFile(path).find("firefox3ver"), std::string::npos);
}

TEST_F(WindowsDetection, NoFirefoxEntryClearsAPathSetByHand) {
  Store("firefox3", "D:\\mine\\places.sqlite");
  Store("firefox3ver", "3.6");
  Detect();
  EXPECT_EQ(Value("firefox3"), "");
  EXPECT_EQ(Value("firefox3ver"), "");
}

TEST_F(WindowsDetection, FirefoxWithoutAProfileClearsThePath) {
  probe.uninstall = {{"Mozilla Firefox (3.6)", "3.6"}};
  for (bool folderExists : {true, false}) {
    SCOPED_TRACE(folderExists ? "empty profiles folder" : "no profiles folder");
    probe.folders.clear();
    if (folderExists)
      probe.folders[kFirefoxProfiles] = {Dir("."), Dir("..")};
    Store("firefox3", "D:\\mine\\places.sqlite");
    Detect();
    EXPECT_EQ(Value("firefox3"), "");
    EXPECT_EQ(Value("firefox3ver"), "3.6");
  }
}

TEST_F(WindowsDetection, OnVersion51TheFirstCandidateIsSearched) {
  simulated.version = {2, 5, 1};
  const std::string xpProfiles =
      "C:\\Documents and Settings\\me\\Application Data\\Mozilla\\Firefox\\Profiles\\";
  probe.uninstall = {{"Mozilla Firefox (3.6)", "3.6"}};
  probe.folders[kFirefoxProfiles] = {Dir("vista.default")};
  probe.folders[xpProfiles] = {Dir("xp.default")};
  Detect();
  EXPECT_EQ(Value("firefox3"), xpProfiles + "xp.default\\places.sqlite");
}

TEST_F(WindowsDetection, InternetExplorerTakesFavoritesAndVersion) {
  probe.favorites = "C:\\Users\\me\\Favorites";
  probe.internetExplorerVersion = "9.0.8112.16421";
  Detect();
  EXPECT_EQ(Value("ie"), "C:\\Users\\me\\Favorites");
  EXPECT_EQ(Value("iever"), "9.0.8112.16421");
  probe.internetExplorerVersion.clear();
  Detect();
  EXPECT_EQ(Value("ie"), "C:\\Users\\me\\Favorites");
  EXPECT_EQ(Value("iever"), "");
}

TEST_F(WindowsDetection, SeaMonkeyVersionsAreJoinedAndThePathNeedsTheFile) {
  probe.uninstall = {
      {"SeaMonkey (1.1)", "1.1"}, {"Mozilla Firefox", "2.0"}, {"seamonkey 2", "2.0"}};
  probe.folders[kMozillaDefault] = {Dir("x1y2.slt")};
  const std::string bookmarks = kMozillaDefault + "x1y2.slt\\bookmarks.html";
  Store("seamonkey", "D:\\mine.html");
  Detect();
  EXPECT_EQ(Value("seamonkey"), ""); // the file is not there
  EXPECT_EQ(Value("seamonkeyver"), "1.1|2.0");

  probe.files.insert(bookmarks);
  Detect();
  EXPECT_EQ(Value("seamonkey"), bookmarks);

  probe.uninstall.clear();
  Detect();
  EXPECT_EQ(Value("seamonkey"), "");
  EXPECT_EQ(Value("seamonkeyver"), "");
}

TEST_F(WindowsDetection, NetscapeProfileFollowsTheDisplayName) {
  probe.folders[kNetscapeProfiles] = {Dir("nsb.default")};
  probe.folders[kMozillaDefault] = {Dir("n7.slt")};
  const std::string nsb = kNetscapeProfiles + "nsb.default\\bookmarks.html";
  const std::string n7 = kMozillaDefault + "n7.slt\\bookmarks.html";
  probe.files = {nsb, n7};
  struct Case {
    const char* name;
    std::string expected;
  } cases[] = {{"Netscape Browser 8.1", nsb},
               {"NETSCAPE browser", nsb},
               {"Netscape (7.2)", n7},
               {"Netscape Navigator 9", "/by/hand"},
               {"Netscape Communicator 4.8", "/by/hand"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store("netscape", "/by/hand");
    Store("netscapever", "8");
    probe.uninstall = {{c.name, "8.1"}};
    Detect(true);
    EXPECT_EQ(Value("netscape"), c.expected);
    EXPECT_EQ(Value("netscapever"), "8"); // never written with a value
  }
}

TEST_F(WindowsDetection, NetscapeWithoutItsFileOrEntryIsCleared) {
  probe.folders[kNetscapeProfiles] = {Dir("nsb.default")};
  probe.uninstall = {{"Netscape Browser", "8.1"}};
  Store("netscape", "/by/hand");
  Detect();
  EXPECT_EQ(Value("netscape"), "");
  Store("netscape", "/by/hand");
  Store("netscapever", "8");
  probe.uninstall.clear();
  Detect();
  EXPECT_EQ(Value("netscape"), "");
  EXPECT_EQ(Value("netscapever"), "");
}

TEST_F(WindowsDetection, ProfilesOnAnotherDriveAreNotFound) {
  probe.uninstall = {{"Mozilla Firefox", "3.6"}, {"Netscape Browser", ""}, {"SeaMonkey", "2.0"}};
  probe.folders["D:\\Users\\me\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\"] = {Dir("a")};
  for (const char* key : {"firefox3", "netscape", "seamonkey"})
    Store(key, "D:\\by\\hand");
  Detect();
  for (const char* key : {"firefox3", "netscape", "seamonkey"})
    EXPECT_EQ(Value(key), "") << key;
}

TEST_F(WindowsDetection, KindsItDoesNotDetectAreNeverWritten) {
  probe.uninstall = {{"Mozilla Firefox", "3.6"}, {"Opera", "9"}, {"Safari", "5"}};
  Store("opera", "/o");
  Detect(true);
  const std::string text = test::ReadFile(path);
  EXPECT_EQ(Value("opera"), "/o");
  for (const char* key : {"firefox2", "operaver", "safari", "firefox2ver", "safariver"})
    EXPECT_EQ(text.find(std::string(key) + "="), std::string::npos) << key;
}

// Homes shaped like the ones the current and the older Firefox leave, for the Linux probe.
class LinuxDetection : public testing::Test {
protected:
  void Write(const std::string& relative, std::string_view text) {
    const std::string full = dir / relative;
    test::MakeDirs(full.substr(0, full.find_last_of('/')));
    test::WriteFile(full, text);
  }
  void Profile(const std::string& relativeFolder, const char* lastVersion = nullptr) {
    test::MakeDirs(dir / relativeFolder);
    if (lastVersion)
      Write(relativeFolder + "/compatibility.ini", std::string("[Compatibility]\nLastVersion=") +
                                                       lastVersion +
                                                       "\nLastOSABI=Linux_x86_64-gcc3\n");
  }
  // What a fresh home of the current ESR holds: two profiles, the one in use not marked Default=1.
  void CurrentEsrTree(const std::string& root) {
    Write(root + "/profiles.ini", "[Profile1]\nName=default\nIsRelative=1\nPath=q4.default\n"
                                  "Default=1\n\n[Profile0]\nName=default-esr\nIsRelative=1\n"
                                  "Path=pi7.default-esr\n\n[General]\nStartWithLastProfile=1\n"
                                  "Version=2\n\n[Install3B6073811A6ABF12]\n"
                                  "Default=pi7.default-esr\nLocked=1\n");
    Write(root + "/installs.ini", "[3B6073811A6ABF12]\nDefault=pi7.default-esr\nLocked=1\n");
    Profile(root + "/q4.default");
    Profile(root + "/pi7.default-esr", "153.8.0_20261117185949/20261117185949");
  }

  std::optional<platform::MozillaProfile> Find(platform::MozillaBrowser browser) {
    return platform::LinuxBrowserProbe().FindMozillaProfile(browser);
  }

  test::TempDir dir;
  test::ScopedEnv home{"HOME", dir / "home"};
  test::ScopedEnv config{"XDG_CONFIG_HOME", dir / "xdg"};
};

TEST_F(LinuxDetection, CurrentTreeGivesTheProfileTheInstallUses) {
  CurrentEsrTree("xdg/mozilla/firefox");
  auto found = Find(platform::MozillaBrowser::Firefox);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->folder, dir / "xdg/mozilla/firefox/pi7.default-esr/");
  EXPECT_EQ(found->version, "153.8.0");
  EXPECT_FALSE(Find(platform::MozillaBrowser::SeaMonkey));
}

TEST_F(LinuxDetection, ConfigHomeDefaultsToDotConfig) {
  test::ScopedEnv unset{"XDG_CONFIG_HOME", "not/absolute"};
  CurrentEsrTree("home/.config/mozilla/firefox");
  auto found = Find(platform::MozillaBrowser::Firefox);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->folder, dir / "home/.config/mozilla/firefox/pi7.default-esr/");
}

TEST_F(LinuxDetection, ProfileRecordsChooseTheProfile) {
  struct Case {
    const char* name;
    const char* profiles;
    const char* installs; // nullptr: no installs.ini
    const char* expected; // below the root; "" when nothing is found
  } cases[] = {
      {"older tree: the profile marked Default=1, not the first listed",
       "[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=first\nIsRelative=1\n"
       "Path=a.first\n\n[Profile1]\nName=default\nIsRelative=1\nPath=b.default\nDefault=1\n",
       nullptr, "b.default/"},
      {"install section of profiles.ini without installs.ini",
       "[Install1]\nDefault=a.first\n[Profile0]\nIsRelative=1\nPath=b.default\nDefault=1\n",
       nullptr, "a.first/"},
      {"installs.ini naming a missing folder falls back",
       "[Profile0]\nIsRelative=1\nPath=b.default\nDefault=1\n", "[X]\nDefault=gone.default\n",
       "b.default/"},
      {"the only profile, unmarked", "[Profile0]\r\nIsRelative=1\r\nPath=a.first\r\n", nullptr,
       "a.first/"},
      {"two unmarked profiles: none chosen",
       "[Profile0]\nIsRelative=1\nPath=a.first\n[Profile1]\nIsRelative=1\nPath=b.default\n",
       nullptr, ""},
      {"no records at all", nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir fresh;
    test::ScopedEnv caseHome{"HOME", fresh.Path()};
    const std::string root = fresh / ".mozilla/firefox";
    test::MakeDirs(root + "/a.first");
    test::MakeDirs(root + "/b.default");
    if (c.profiles)
      test::WriteFile(root + "/profiles.ini", c.profiles);
    if (c.installs)
      test::WriteFile(root + "/installs.ini", c.installs);
    auto found = Find(platform::MozillaBrowser::Firefox);
    if (*c.expected == 0) {
      EXPECT_FALSE(found) << found->folder;
    } else {
      ASSERT_TRUE(found);
      EXPECT_EQ(found->folder, root + "/" + c.expected);
      EXPECT_EQ(found->version, ""); // no compatibility.ini
    }
  }
}

TEST_F(LinuxDetection, AbsoluteProfilePathAndSeaMonkeyRoot) {
  Profile("elsewhere/sm", "2.53.18_20240101/20240101");
  Write("home/.mozilla/seamonkey/profiles.ini",
        "[Profile0]\nIsRelative=0\nPath=" + (dir / "elsewhere/sm") + "\nDefault=1\n");
  auto found = Find(platform::MozillaBrowser::SeaMonkey);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->folder, dir / "elsewhere/sm/");
  EXPECT_EQ(found->version, "2.53.18");
}

TEST_F(LinuxDetection, TheOlderRootWinsWhileItHoldsAProfile) {
  // The browser keeps using ~/.mozilla/firefox as long as it exists.
  CurrentEsrTree("xdg/mozilla/firefox");
  Write("home/.mozilla/firefox/profiles.ini",
        "[Profile0]\nIsRelative=1\nPath=old.default\nDefault=1\n");
  Profile("home/.mozilla/firefox/old.default", "115.0_1/1");
  auto found = Find(platform::MozillaBrowser::Firefox);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->folder, dir / "home/.mozilla/firefox/old.default/");
  EXPECT_EQ(found->version, "115.0");
  std::filesystem::remove(dir / "home/.mozilla/firefox/profiles.ini");
  found = Find(platform::MozillaBrowser::Firefox);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->folder, dir / "xdg/mozilla/firefox/pi7.default-esr/");
}

TEST_F(LinuxDetection, ListingMarksDotEntriesHiddenAndFoldersAsSuch) {
  test::MakeDirs(dir / "list/profile");
  test::MakeDirs(dir / "list/.hidden");
  Write("list/file.txt", "x");
  platform::LinuxBrowserProbe probe;
  auto entries = probe.ListFolder(dir / "list/*.*");
  ASSERT_TRUE(entries);
  std::map<std::string, std::pair<bool, bool>> seen; // name to hidden, directory
  for (const FolderEntry& entry : *entries)
    seen[entry.name] = {entry.hidden, entry.directory};
  EXPECT_EQ(seen, (std::map<std::string, std::pair<bool, bool>>{{".", {true, true}},
                                                                {"..", {true, true}},
                                                                {".hidden", {true, true}},
                                                                {"file.txt", {false, false}},
                                                                {"profile", {false, true}}}));
  EXPECT_FALSE(probe.ListFolder(dir / "missing/*.*"));
  EXPECT_TRUE(probe.FileExists(dir / "list/file.txt"));
  EXPECT_FALSE(probe.FileExists(dir / "list/profile"));
}

TEST_F(LinuxDetection, DetectionFillsInWhatItFindsAndClearsNothing) {
  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped{simulated};
  platform::LinuxBrowserProbe probe;
  const std::string settings = dir / "sysinit.ini";
  auto detect = [&](bool force) {
    TSysConfig sys(probe, settings);
    sys.ForceWrite = force;
    sys.DetectBrowsers();
  };
  auto value = [&](const char* key) { return ini::ReadValue(settings, "browser", key); };
  for (auto [key, stored] :
       {std::pair{"ie", "C:\\Fav"}, std::pair{"netscape", "/n.html"},
        std::pair{"firefox3", "/by/hand/places.sqlite"}, std::pair{"seamonkey", "/by/hand.html"}})
    ini::WriteValue(settings, "browser", key, stored);

  detect(true); // nothing installed: absence proves nothing
  EXPECT_EQ(value("firefox3"), "/by/hand/places.sqlite");
  EXPECT_EQ(value("seamonkey"), "/by/hand.html");

  CurrentEsrTree("xdg/mozilla/firefox");
  Write("home/.mozilla/seamonkey/profiles.ini",
        "[Profile0]\nIsRelative=1\nPath=s.default\nDefault=1\n");
  Profile("home/.mozilla/seamonkey/s.default", "2.53.18_1/1");
  detect(false); // set values stay
  EXPECT_EQ(value("firefox3"), "/by/hand/places.sqlite");
  EXPECT_EQ(value("firefox3ver"), "153.8.0");
  EXPECT_EQ(value("seamonkey"), "/by/hand.html");

  detect(true); // SeaMonkey's bookmark file is not there yet
  EXPECT_EQ(value("firefox3"), dir / "xdg/mozilla/firefox/pi7.default-esr/places.sqlite");
  EXPECT_EQ(value("seamonkey"), "/by/hand.html");
  EXPECT_EQ(value("seamonkeyver"), "");

  Write("home/.mozilla/seamonkey/s.default/bookmarks.html", "<!DOCTYPE NETSCAPE-Bookmark-file-1>");
  detect(true);
  EXPECT_EQ(value("seamonkey"), dir / "home/.mozilla/seamonkey/s.default/bookmarks.html");
  EXPECT_EQ(value("seamonkeyver"), "2.53.18");
  EXPECT_EQ(value("ie"), "C:\\Fav");
  EXPECT_EQ(value("netscape"), "/n.html");
  EXPECT_EQ(value("iever"), "");
}

} // namespace
