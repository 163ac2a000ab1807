#pragma once

#include <string>
#include <string_view>
#include <thread>

// Helpers every test may use: temporary folders, files, environment variables and the samples.
namespace quillary::test {

// A new empty folder, removed with everything in it when the object goes.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
  std::string path_;
};

// Sets (or with unset, removes) an environment variable for the object's lifetime.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  std::string name_;
  bool had_ = false;
  std::string old_;
};

// A named pipe whose writer waits to hand over the text: a reader that opens it gets the text
// instead of waiting forever, so a test can tell that something read it. The destructor takes
// the text itself when nobody did and removes the pipe.
class PipeWithWriter {
public:
  PipeWithWriter(std::string path, std::string text);
  ~PipeWithWriter();
  PipeWithWriter(const PipeWithWriter&) = delete;
  PipeWithWriter& operator=(const PipeWithWriter&) = delete;

private:
  std::string path_;
  std::thread writer_;
};

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
void MakeDirs(const std::string& path);

// The folder of our own small fixtures (tests/data).
std::string DataPath(std::string_view name);

// A file or folder of the real samples; empty when the samples folder is not there, in which
// case the test should GTEST_SKIP().
std::string SamplePath(std::string_view relative);

} // namespace quillary::test

// Skips the test when the real samples are not beside the project.
#define QUILLARY_REQUIRE_SAMPLE(var, relative)                                                     \
  const std::string var = ::quillary::test::SamplePath(relative);                                  \
  if (var.empty())                                                                                 \
  GTEST_SKIP() << "sample not available: " << (relative)
