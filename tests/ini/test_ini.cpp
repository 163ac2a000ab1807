#include "base/Error.h"
#include "ini/IniFile.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include <cctype>
#include <filesystem>

using namespace quillary;

namespace {

struct ReadCase {
  const char* name;
  const char* text;
  const char* section;
  const char* key;
  const char* expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* out) {
  *out << '"' << c.name << '"';
}

const ReadCase kReadCases[] = {
    {"exact", "[browser]\r\nie=C:\\Fav\r\n", "browser", "ie", "C:\\Fav"},
    {"section in other case", "[Browser]\r\nie=x\r\n", "browser", "ie", "x"},
    {"key in capitals", "[browser]\r\nIE=x\r\n", "browser", "ie", "x"},
    {"blanks around key and value", "[browser]\r\n  ie \t=  x y \r\n", "browser", "ie", "x y"},
    {"LF line ends", "[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
    {"last line without line end", "[a]\r\nk=v", "a", "k", "v"},
    {"value holding an equals sign", "[a]\r\nk=x=y\r\n", "a", "k", "x=y"},
    {"first of two keys", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "1"},
    {"key of another section", "[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k", ""},
    {"missing section", "[a]\r\nk=1\r\n", "b", "k", ""},
    {"missing key", "[a]\r\nj=1\r\n", "a", "k", ""},
    {"key longer than asked", "[a]\r\nkk=1\r\n", "a", "k", ""},
    {"empty text", "", "a", "k", ""},
    {"key before any section", "k=1\r\n[a]\r\n", "a", "k", ""},
    {"byte order mark before the first section", "\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "1"},
};

class IniRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsTheValue) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ini::ReadValueFromText(c.text, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniRead, testing::ValuesIn(kReadCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
});

struct WriteCase {
  const char* name;
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const WriteCase& c, std::ostream* out) {
  *out << '"' << c.name << '"';
}

const WriteCase kWriteCases[] = {
    {"creates section and line", "", "browser", "ie", "C:\\Fav", "[browser]\r\nie=C:\\Fav\r\n"},
    {"replaces in place, other lines kept byte for byte",
     "; note\r\n[Browser]\r\nopera = /o \r\nIE=old\r\n  odd line\r\n[other]\r\nie=keep\r\n",
     "browser", "ie", "new",
     "; note\r\n[Browser]\r\nopera = /o \r\nIE=new\r\n  odd line\r\n[other]\r\nie=keep\r\n"},
    {"adds the key at the end of its section, before blank lines",
     "[a]\r\nj=1\r\n\r\n[b]\r\nk=2\r\n", "a", "k", "v", "[a]\r\nj=1\r\nk=v\r\n\r\n[b]\r\nk=2\r\n"},
    {"adds a section after the last line", "[a]\r\nj=1", "b", "k", "v",
     "[a]\r\nj=1\r\n[b]\r\nk=v\r\n"},
    {"keeps the file's LF line ends", "[a]\nj=1\n", "a", "k", "v", "[a]\nj=1\nk=v\n"},
    {"section header as the last line", "[a]", "a", "k", "v", "[a]\r\nk=v\r\n"},
    {"stores the value exactly, blanks included", "[a]\r\nk=1\r\n", "a", "k", "  v  ",
     "[a]\r\nk=  v  \r\n"},
    {"writes an empty value", "[a]\r\nk=1\r\n", "a", "k", "", "[a]\r\nk=\r\n"},
    {"byte order mark kept, its section found", "\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "2",
     "\xEF\xBB\xBF[a]\r\nk=2\r\n"},
    {"replaces only the first of two sections of that name", "[a]\r\nj=1\r\n[a]\r\nk=2\r\n", "a",
     "k", "v", "[a]\r\nj=1\r\nk=v\r\n[a]\r\nk=2\r\n"},
};

class IniWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyItsLine) {
  const WriteCase& c = GetParam();
  const std::string after = ini::WriteValueToText(c.before, c.section, c.key, c.value);
  EXPECT_EQ(after, c.after);
  EXPECT_EQ(ini::ReadValueFromText(after, c.section, c.key),
            ini::ReadValueFromText(std::string("[x]\r\nk=") + c.value + "\r\n", "x", "k"));
}

INSTANTIATE_TEST_SUITE_P(Cases, IniWrite, testing::ValuesIn(kWriteCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
});

TEST(IniFile, MissingFileReadsEmptyAndTheFirstWriteCreatesIt) {
  test::TempDir dir;
  const std::string path = dir / "sysinit.ini";
  EXPECT_EQ(ini::ReadValue(path, "browser", "ie"), "");
  ini::WriteValue(path, "browser", "ie", "x");
  ini::WriteValue(path, "system", "sys", "8");
  EXPECT_EQ(test::ReadFile(path), "[browser]\r\nie=x\r\n[system]\r\nsys=8\r\n");
  EXPECT_EQ(ini::ReadValue(path, "BROWSER", "IE"), "x");
}

TEST(IniFile, RefusedWritesRaiseTheMessageWithThePath) {
  test::TempDir dir;
  test::MakeDirs(dir / "folder-in-the-way");
  for (const std::string& path : {dir / "missing/sysinit.ini", dir / "folder-in-the-way"}) {
    SCOPED_TRACE(path);
    try {
      ini::WriteValue(path, "browser", "ie", "x");
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder-in-the-way"));
}

// A settings file or shortcut is a few kilobytes of plain file; anything else is not waited on,
// read without end or rewritten.
TEST(IniFile, OnlyRegularFilesOfBoundedSizeAreReadOrRewritten) {
  test::TempDir dir;
  const std::string text = "[browser]\r\nie=x\r\n";
  test::PipeWithWriter pipe(dir / "pipe.ini", text);
  std::filesystem::create_symlink("/dev/zero", dir / "zero.ini");
  std::string large = text + std::string(ini::kMaxFileBytes, ';');
  test::WriteFile(dir / "large.ini", large);
  test::WriteFile(dir / "limit.ini", text + std::string(ini::kMaxFileBytes - text.size(), ';'));
  for (const char* name : {"pipe.ini", "zero.ini", "large.ini"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ini::ReadValue(dir / name, "browser", "ie"), "");
    EXPECT_THAT([&] { ini::WriteValue(dir / name, "browser", "ie", "y"); },
                testing::ThrowsMessage<Error>(testing::StrEq("Unable to write to " + dir / name)));
  }
  EXPECT_EQ(test::ReadFile(dir / "large.ini"), large);
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe.ini"));
  EXPECT_EQ(ini::ReadValue(dir / "limit.ini", "browser", "ie"), "x");
}

} // namespace
