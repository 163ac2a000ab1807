#include "base/Error.h"
#include "coordinator/ExchangerRegistry.h"
#include "coordinator/untEI.h"
#include "platform/Files.h"
#include "platform/SimulatedPlatform.h"
#include "settings/untConfig.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

using namespace quillary;

namespace {

// A value no kind has, as a damaged caller might pass.
constexpr SourceKind kUnknownKind = static_cast<SourceKind>(200);

// Test exchangers: each browser is a document held in memory under its path; the log records
// every call in order.
struct Browsers {
  std::map<std::string, std::string> content; // path -> XML
  std::set<std::string> failing;              // paths whose import fails
  std::vector<std::string> log;
};

class FakeExchanger final : public Exchanger {
public:
  explicit FakeExchanger(Browsers& browsers) : browsers_(browsers) {}
  std::unique_ptr<BookmarkDocument> ImportBookmarks() override {
    browsers_.log.push_back("import " + SourcePath);
    if (browsers_.failing.contains(SourcePath))
      throw Error("cannot read " + SourcePath);
    auto document = std::make_unique<BookmarkDocument>();
    Parse(*document, browsers_.content.at(SourcePath));
    return document;
  }
  void ExportBookmarks(BookmarkDocument& document) override {
    browsers_.log.push_back("export " + SourcePath);
    browsers_.content[SourcePath] = Serialise(document);
  }

private:
  Browsers& browsers_;
};

// Every browser kind gets a fake exchanger over the same browsers.
class FakeExchangers final : public ExchangerFactory {
public:
  explicit FakeExchangers(Browsers& browsers) : browsers_(browsers) {}
  std::unique_ptr<Exchanger> Make(SourceKind) const override {
    return std::make_unique<FakeExchanger>(browsers_);
  }

private:
  Browsers& browsers_;
};

class Coordinator : public testing::Test {
protected:
  void SetUp() override {
    simulated.localAppData = dir / "data";
    for (SourceKind kind : kBrowserKinds) {
      TConfig(Settings()).SetBrowserPath(kind, std::string(SettingsKeyOf(kind)));
    }
    browsers.content["ie"] = "<folder><url name='i' url='ie-url' gid='I'/></folder>";
    browsers.content["firefox3"] = "<folder><url name='f' url='ff-url' gid='F'/></folder>";
    browsers.content["netscape"] =
        "<folder><folder name='N' gid='N1'><url name='n' url='ns-url' gid='N2'/></folder></folder>";
  }

  std::string Settings() const { return dir / "sysinit.ini"; }
  TEI MakeTei() const { return TEI(Settings(), {}, fakes); }
  std::string StorePath() const { return dir / "data/Quillary/pwbookmarks.qlf"; }

  BookmarkDocument StoredCollection() const {
    BookmarkDocument stored;
    MakeTei().ReadBookmarkFile(stored, "");
    return stored;
  }

  static std::vector<std::string> Urls(const BookmarkDocument& document) {
    std::vector<std::string> urls;
    for (auto found : Root(document).select_nodes("//url"))
      urls.push_back(GetAttribute(found.node(), "url"));
    return urls;
  }

  test::TempDir dir;
  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped{simulated};
  Browsers browsers;
  FakeExchangers fakes{browsers};
};

TEST_F(Coordinator, ConstructionReadsTheSevenPaths) {
  TEI tei = MakeTei();
  EXPECT_EQ(tei.IEPath, "ie");
  EXPECT_EQ(tei.Firefox2Path, "firefox2");
  EXPECT_EQ(tei.Firefox3Path, "firefox3");
  EXPECT_EQ(tei.OperaPath, "opera");
  EXPECT_EQ(tei.SafariPath, "safari");
  EXPECT_EQ(tei.NetscapePath, "netscape");
  EXPECT_EQ(tei.SeaMonkeyPath, "seamonkey");
  EXPECT_EQ(tei.BackupPath, "");
}

TEST_F(Coordinator, EmptyImportWithoutStoreFileStoresOnlyTheRoot) {
  BookmarkDocument collection;
  MakeTei().Import({}, collection);
  BookmarkDocument stored = StoredCollection();
  EXPECT_EQ(GetAttribute(Root(stored), "name"), "bookmarks");
  EXPECT_FALSE(Root(stored).first_child());
}

TEST_F(Coordinator, ImportMergesInListOrderRepeatsAndPassesOverUnknownKinds) {
  BookmarkDocument collection;
  MakeTei().Import({SourceKind::Netscape, kUnknownKind, SourceKind::InternetExplorer,
                    SourceKind::Netscape, SourceKind::BackupFile},
                   collection);
  EXPECT_EQ(browsers.log,
            (std::vector<std::string>{"import netscape", "import ie", "import netscape"}));
  EXPECT_EQ(Urls(collection), (std::vector<std::string>{"ns-url", "ie-url"}));
  EXPECT_EQ(Urls(StoredCollection()), Urls(collection));
}

TEST_F(Coordinator, FailedPlacesImportIsAbsorbed) {
  browsers.failing.insert("firefox3");
  BookmarkDocument collection;
  MakeTei().Import({SourceKind::Firefox3, SourceKind::InternetExplorer}, collection);
  EXPECT_EQ(Urls(StoredCollection()), (std::vector<std::string>{"ie-url"}));
}

TEST_F(Coordinator, OtherFailureEndsTheRunWithTheMergedPartUnsaved) {
  browsers.failing.insert("netscape");
  BookmarkDocument collection;
  EXPECT_THROW(
      MakeTei().Import({SourceKind::InternetExplorer, SourceKind::Netscape, SourceKind::Firefox3},
                       collection),
      Error);
  EXPECT_EQ(Urls(collection), (std::vector<std::string>{"ie-url"}));
  EXPECT_FALSE(std::filesystem::exists(StorePath()));
  EXPECT_EQ(browsers.log.back(), "import netscape");
}

TEST_F(Coordinator, BackupFileImportsWhenChosen) {
  BookmarkDocument backup;
  Parse(backup, "<folder><url name='b' url='backup-url' gid='B'/></folder>");
  TEI tei = MakeTei();
  tei.WriteBookmarkFile(backup, dir / "backup.qlf");
  tei.BackupPath = dir / "backup.qlf";
  BookmarkDocument collection;
  tei.Import({SourceKind::BackupFile}, collection);
  EXPECT_EQ(Urls(collection), (std::vector<std::string>{"backup-url"}));
  tei.BackupPath = dir / "missing.qlf";
  EXPECT_THROW(tei.Import({SourceKind::BackupFile}, collection), Error);
}

TEST_F(Coordinator, StoreFileWithoutLoadedCollectionFailsAtTheFirstMerge) {
  BookmarkDocument collection;
  MakeTei().Import({}, collection); // creates the store file
  BookmarkDocument notLoaded;
  EXPECT_THROW(MakeTei().Import({SourceKind::InternetExplorer}, notLoaded), Error);
  EXPECT_FALSE(Root(notLoaded));
}

TEST_F(Coordinator, CollectionWithoutStoreFileIsLeftUntouched) {
  BookmarkDocument collection;
  Parse(collection, "<folder name='bookmarks'><url url='mine'/></folder>");
  const std::string before = Serialise(collection);
  EXPECT_THROW(MakeTei().Import({SourceKind::InternetExplorer}, collection), Error);
  EXPECT_EQ(Serialise(collection), before);
}

TEST_F(Coordinator, ExportWithoutMergeWritesTheCollectionItself) {
  BookmarkDocument collection;
  Parse(collection, "<folder name='bookmarks'><url name='c' url='coll-url' gid='C'/></folder>");
  MakeTei().Export({SourceKind::Netscape, SourceKind::InternetExplorer}, collection, false);
  EXPECT_EQ(browsers.log, (std::vector<std::string>{"export netscape", "export ie"}));
  EXPECT_EQ(browsers.content["netscape"], Serialise(collection));
  EXPECT_EQ(browsers.content["ie"], Serialise(collection));
}

TEST_F(Coordinator, ExportWithMergeKeepsTheBrowsersBookmarksForFileKindsOnly) {
  BookmarkDocument collection;
  Parse(collection,
        "<folder name='bookmarks'><folder name='N'><url url='coll-url'/></folder></folder>");
  MakeTei().Export({SourceKind::Netscape, SourceKind::InternetExplorer}, collection, true);
  EXPECT_EQ(browsers.log,
            (std::vector<std::string>{"import netscape", "export netscape", "export ie"}));
  BookmarkDocument netscape;
  Parse(netscape, browsers.content["netscape"]);
  EXPECT_EQ(Urls(netscape), (std::vector<std::string>{"ns-url", "coll-url"}));
  EXPECT_EQ(browsers.content["ie"], Serialise(collection));
}

TEST_F(Coordinator, ExportFailureStopsTheRemainingKinds) {
  browsers.failing.insert("netscape");
  BookmarkDocument collection;
  Parse(collection, "<folder name='bookmarks'/>");
  EXPECT_THROW(
      MakeTei().Export({SourceKind::InternetExplorer, SourceKind::Netscape, SourceKind::SeaMonkey},
                       collection, true),
      Error);
  EXPECT_EQ(browsers.log, (std::vector<std::string>{"export ie", "import netscape"}));
}

TEST_F(Coordinator, ExportToBackupFileOnlyWhenChosenAndNeverToTheStore) {
  BookmarkDocument collection;
  Parse(collection, "<folder name='bookmarks'><url url='coll-url'/></folder>");
  TEI tei = MakeTei();
  tei.Export({SourceKind::BackupFile, kUnknownKind}, collection, false);
  EXPECT_TRUE(browsers.log.empty());
  tei.BackupPath = dir / "out.qlf";
  tei.Export({SourceKind::BackupFile}, collection, false);
  BookmarkDocument back;
  tei.ReadBookmarkFile(back, tei.BackupPath);
  EXPECT_EQ(Serialise(back), Serialise(collection));
  EXPECT_FALSE(std::filesystem::exists(StorePath()));
}

TEST_F(Coordinator, ExportOfACollectionNeverLoadedFailsBeforeAnyTarget) {
  BookmarkDocument collection;
  EXPECT_THROW(MakeTei().Export({SourceKind::Netscape}, collection, false), Error);
  EXPECT_TRUE(browsers.log.empty());
}

// A conversion reads with one kind's exchanger and writes with another's, through backup files
// too, and leaves the collection's store alone.
TEST_F(Coordinator, ConvertGoesFromOneExchangerToAnother) {
  TEI tei = MakeTei();
  EXPECT_EQ(tei.Convert({SourceKind::Netscape, "netscape"}, {SourceKind::Opera, "opera"}), 1);
  EXPECT_EQ(browsers.log, (std::vector<std::string>{"import netscape", "export opera"}));
  EXPECT_NE(browsers.content["opera"].find("url=\"ns-url\""), std::string::npos);

  const std::string backup = dir / "converted.qlf";
  EXPECT_EQ(tei.Convert({SourceKind::InternetExplorer, "ie"}, {SourceKind::BackupFile, backup}), 1);
  EXPECT_EQ(tei.Convert({SourceKind::BackupFile, backup}, {SourceKind::Safari, "safari"}), 1);
  EXPECT_EQ(Urls(*[&] {
              auto document = std::make_unique<BookmarkDocument>();
              Parse(*document, browsers.content["safari"]);
              return document;
            }()),
            (std::vector<std::string>{"ie-url"}));
  EXPECT_FALSE(std::filesystem::exists(StorePath()));
  EXPECT_THROW(tei.Convert({SourceKind::Netscape, ""}, {SourceKind::Opera, "opera"}), Error);
}

} // namespace
