// quillary-cli end to end, as a separate process on backup files.
#include "coordinator/untEI.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

using namespace quillary;

namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

class Cli : public testing::Test {
protected:
  Result Run(const std::string& arguments) {
    const std::string errFile = dir / "stderr";
    const std::string command = "XDG_DATA_HOME='" + (dir / "data") + "' XDG_CONFIG_HOME='" +
                                (dir / "config") + "' '" + QUILLARY_CLI + "' " + arguments +
                                " 2>'" + errFile + "'";
    Result result{};
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
      result.out.append(buffer.data(), got);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = test::ReadFile(errFile);
    return result;
  }

  std::string Backup(const std::string& name, const std::string& xml) {
    BookmarkDocument document;
    Parse(document, xml);
    const std::string path = dir / name;
    TEI(dir / "none.ini").WriteBookmarkFile(document, path);
    return path;
  }

  std::string Store() const { return dir / "data/Quillary/pwbookmarks.qlf"; }

  test::TempDir dir;
};

const char* kBackup =
    "<folder name='bookmarks' gid='R'>"
    "<folder name='Tools' gid='T'><url name='Search' url='https://search.example/' "
    "gid='S'/></folder>"
    "<url name='Café &amp; \"quotes\"' url='https://cafe.example/?a=1&amp;b=2' gid='C'/>"
    "</folder>";

TEST_F(Cli, ImportBackupThenListAsTreeAndJson) {
  const std::string backup = Backup("in.qlf", kBackup);
  Result imported = Run("import backup='" + backup + "'");
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_TRUE(std::filesystem::exists(Store()));

  Result tree = Run("list");
  ASSERT_EQ(tree.status, 0) << tree.err;
  EXPECT_EQ(tree.out, "bookmarks/\n"
                      "  Tools/\n"
                      "    Search\thttps://search.example/\n"
                      "  Café & \"quotes\"\thttps://cafe.example/?a=1&b=2\n");

  Result json = Run("list --json");
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"name\": \"Tools\",\n      \"gid\": \"T\",\n      \"children\": ["),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"name\": \"Café & \\\"quotes\\\"\",\n      \"url\": "
                          "\"https://cafe.example/?a=1&b=2\",\n      \"gid\": \"C\""),
            std::string::npos)
      << json.out;
}

TEST_F(Cli, ImportTwiceAddsNothingAndExportWritesABackup) {
  const std::string backup = Backup("in.qlf", kBackup);
  ASSERT_EQ(Run("import backup='" + backup + "' backup='" + backup + "'").status, 0);
  Result exported = Run("export backup='" + (dir / "out.qlf") + "'");
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "2 bookmarks were successfully exported!!\n");
  BookmarkDocument back;
  TEI(dir / "none.ini").ReadBookmarkFile(back, dir / "out.qlf");
  EXPECT_EQ(back.select_nodes("//url").size(), 2u);
}

TEST_F(Cli, RepeatedKindsReadTheirOwnPaths) {
  const std::string first =
      Backup("one.qlf", "<folder><url name='one' url='u1' gid='1'/></folder>");
  const std::string second =
      Backup("two.qlf", "<folder><url name='two' url='u2' gid='2'/></folder>");
  Result imported = Run("import backup='" + first + "' backup='" + second + "'");
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(Run("list").out, "bookmarks/\n  one\tu1\n  two\tu2\n");
  ASSERT_EQ(Run("export backup='" + (dir / "a.qlf") + "' backup='" + (dir / "b.qlf") + "'").status,
            0);
  EXPECT_TRUE(std::filesystem::exists(dir / "a.qlf"));
  EXPECT_TRUE(std::filesystem::exists(dir / "b.qlf"));
}

TEST_F(Cli, StoreOptionNamesAnotherFile) {
  const std::string backup = Backup("in.qlf", kBackup);
  const std::string other = dir / "other.qlf";
  ASSERT_EQ(Run("--store '" + other + "' import backup='" + backup + "'").status, 0);
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_FALSE(std::filesystem::exists(Store()));
  EXPECT_EQ(Run("--store '" + other + "' find search").out, "search\thttps://search.example/\n");
}

TEST_F(Cli, FindFollowsTheSearchRules) {
  ASSERT_EQ(Run("import backup='" + Backup("in.qlf", kBackup) + "'").status, 0);
  EXPECT_EQ(Run("find SEARCH").out, "search\thttps://search.example/\n");
  EXPECT_EQ(Run("find SEARCH --match-case").out, "");
  EXPECT_EQ(Run("find example --target name").out, "");
  EXPECT_EQ(Run("find search --whole-word").out, "search\thttps://search.example/\n");
  EXPECT_EQ(Run("find sea --whole-word").out, "");
  EXPECT_EQ(
      Run("find Search --match-case --json").out,
      "[\n  {\n    \"name\": \"Search\",\n    \"url\": \"https://search.example/\"\n  }\n]\n");
}

TEST_F(Cli, ConvertLeavesTheCollectionAlone) {
  const std::string backup = Backup("in.qlf", kBackup);
  Result converted = Run("convert backup='" + backup + "' backup='" + (dir / "copy.qlf") + "'");
  ASSERT_EQ(converted.status, 0) << converted.err;
  EXPECT_FALSE(std::filesystem::exists(Store()));
  BookmarkDocument copy;
  TEI(dir / "none.ini").ReadBookmarkFile(copy, dir / "copy.qlf");
  EXPECT_EQ(copy.select_nodes("//url").size(), 2u);
}

TEST_F(Cli, ExitCodesAndOneLineErrors) {
  struct Case {
    std::string arguments;
    int status;
  };
  for (const Case& c : {Case{"--help", 0}, Case{"--version", 0}, Case{"", 2}, Case{"frobnicate", 2},
                        Case{"import", 2}, Case{"import chrome", 2},
                        Case{"find x --target all2", 2}, Case{"--bogus list", 2}, Case{"find x", 1},
                        Case{"import backup='" + (dir / "missing.qlf") + "'", 1}}) {
    SCOPED_TRACE(c.arguments);
    Result result = Run(c.arguments);
    EXPECT_EQ(result.status, c.status);
    if (c.status == 1) {
      EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
  }
  EXPECT_EQ(Run("find x").err, "No active document\n");
  EXPECT_EQ(Run("--version").out, "quillary-cli 2.0 (Build 75)\n");
  EXPECT_NE(Run("--help").out.find("convert KIND=IN KIND=OUT"), std::string::npos);
}

} // namespace
