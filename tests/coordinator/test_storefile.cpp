#include "base/Error.h"
#include "coordinator/untEI.h"
#include "platform/SimulatedPlatform.h"
#include "store/untBase64.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace quillary;
using test::ReadFile;
using test::WriteFile;

namespace {

const char* kXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><folder name=\"bookmarks\" "
                   "gid=\"R\"><url name=\"Ünïcode &amp; &lt;x&gt;\" url=\"u\" gid=\"G\"/></folder>";

class StoreFile : public testing::Test {
protected:
  void SetUp() override {
    simulated.localAppData = dir / "data";
    simulated.config = dir / "config";
  }
  std::string Settings() const { return dir / "sysinit.ini"; }
  test::TempDir dir;
  platform::SimulatedPlatform simulated;
  platform::ScopedPlatform scoped{simulated};
};

} // namespace

TEST_F(StoreFile, StorePathIsInTheDataFolderWhichIsCreated) {
  TEI tei(Settings());
  EXPECT_EQ(tei.GetStorePath(), dir / "data/Quillary/pwbookmarks.qlf");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "data/Quillary"));
}

TEST_F(StoreFile, WritesTwoCrLfLinesWithHeaderAndBase64) {
  BookmarkDocument document;
  Parse(document, kXml);
  TEI tei(Settings());
  tei.WriteBookmarkFile(document, dir / "b.qlf");
  std::string file = ReadFile(dir / "b.qlf");
  std::string expected =
      std::string(kStoreFileHeader) + "\r\n" + Base64Encode(Serialise(document)) + "\r\n";
  EXPECT_EQ(file, expected);
}

// Every line-ending style and any first line read the same; later lines are ignored.
TEST_F(StoreFile, LenientLineSplitting) {
  const std::string payload = Base64Encode(kXml);
  for (const std::string& file :
       {"header\r\n" + payload + "\r\n", "\n" + payload + "\n", "x\r" + payload + "\r",
        "anything\r\n" + payload, "h\r\n" + payload + "\r\nthird line\r\n"}) {
    BookmarkDocument document;
    WriteFile(dir / "f.qlf", file);
    TEI(Settings()).ReadBookmarkFile(document, dir / "f.qlf");
    EXPECT_EQ(GetAttribute(Root(document).first_child(), "name"), "Ünïcode & <x>");
  }
}

TEST_F(StoreFile, OneLineOrMissingFileFailsWithoutTouchingTheDocument) {
  WriteFile(dir / "one.qlf", "only a header\r\n");
  for (const std::string& path : {dir / "one.qlf", dir / "missing.qlf", dir.Path()}) {
    BookmarkDocument document;
    Parse(document, kXml);
    EXPECT_THROW(TEI(Settings()).ReadBookmarkFile(document, path), std::runtime_error) << path;
    EXPECT_EQ(GetAttribute(Root(document), "gid"), "R") << path;
  }
}

TEST_F(StoreFile, PayloadThatIsNotXmlEmptiesTheDocument) {
  WriteFile(dir / "bad.qlf", "h\r\n" + Base64Encode("<folder") + "\r\n");
  BookmarkDocument document;
  Parse(document, kXml);
  EXPECT_THROW(TEI(Settings()).ReadBookmarkFile(document, dir / "bad.qlf"), std::runtime_error);
  EXPECT_FALSE(Root(document));
}

TEST_F(StoreFile, FoldersNestedBeyondTheLimitAreRefused) {
  std::string xml;
  for (size_t i = 0; i <= kMaxFolderDepth + 1; ++i)
    xml += "<folder>";
  for (size_t i = 0; i <= kMaxFolderDepth + 1; ++i)
    xml += "</folder>";
  WriteFile(dir / "deep.qlf", "h\r\n" + Base64Encode(xml) + "\r\n");
  BookmarkDocument document;
  EXPECT_THROW(TEI(Settings()).ReadBookmarkFile(document, dir / "deep.qlf"), std::runtime_error);
  EXPECT_FALSE(Root(document));
}

TEST_F(StoreFile, EmptyPathReadsTheStoreFile) {
  TEI tei(Settings());
  BookmarkDocument document;
  Parse(document, kXml);
  tei.SaveStore(document);
  BookmarkDocument loaded;
  tei.ReadBookmarkFile(loaded, "");
  EXPECT_EQ(Serialise(loaded), Serialise(document));
}

TEST_F(StoreFile, SaveStoreWithoutRootWritesNothingAndKeepsAnExistingFile) {
  TEI tei(Settings());
  BookmarkDocument empty;
  tei.SaveStore(empty);
  EXPECT_FALSE(std::filesystem::exists(tei.GetStorePath()));
  WriteFile(tei.GetStorePath(), "kept");
  tei.SaveStore(empty);
  EXPECT_EQ(ReadFile(tei.GetStorePath()), "kept");
}

// Files may grow only to a few bytes while it lives: a write beyond fails with EFBIG, for every
// user, root included, the way a full disk fails it.
class ScopedFileSizeLimit {
public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousSignal_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
  rlimit previous_{};
  void (*previousSignal_)(int) = SIG_DFL;
};

TEST_F(StoreFile, FailedWriteLeavesTheOldFileWhole) {
  const std::string folder = dir / "full";
  std::filesystem::create_directory(folder);
  WriteFile(folder + "/b.qlf", "old content");
  BookmarkDocument document;
  Parse(document, kXml);
  {
    ScopedFileSizeLimit full(16);
    EXPECT_THAT([&] { TEI(Settings()).WriteBookmarkFile(document, folder + "/b.qlf"); },
                testing::ThrowsMessage<Error>(testing::StartsWith("Cannot create file")));
  }
  EXPECT_EQ(ReadFile(folder + "/b.qlf"), "old content");
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename(), "b.qlf") << "left behind: " << entry.path();
  // The same write goes through once the disk has room again.
  TEI(Settings()).WriteBookmarkFile(document, folder + "/b.qlf");
  EXPECT_NE(ReadFile(folder + "/b.qlf"), "old content");
}

TEST_F(StoreFile, WriteWithoutRootFailsWithoutCreatingAFile) {
  BookmarkDocument empty;
  EXPECT_THROW(TEI(Settings()).WriteBookmarkFile(empty, dir / "x.qlf"), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.qlf"));
}
