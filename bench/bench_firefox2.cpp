// Netscape bookmark-file speed on a collection of 100,000 bookmarks in 5,000 folders, written the
// way a browser writes it: indented, with dates and ICON data addresses (about 30 MB).
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "PeakMemory.h"
#include "exchange/files/HtmlCharacterReferences.h"
#include "exchange/files/untFirefox2.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

using namespace quillary;

namespace {

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

const BookmarkDocument& Collection() {
  static auto document = bench::GenerateCollection({});
  return *document;
}

// A deterministic base64-looking icon of about 130 to 190 characters, as browsers embed favicons.
std::string Icon(std::size_t seed) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string icon = "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQ";
  const std::size_t length = 80 + seed * 7919 % 61;
  std::uint32_t state = static_cast<std::uint32_t>(seed) * 2654435761u + 1;
  for (std::size_t i = 0; i < length; ++i) {
    state = state * 1103515245u + 12345u;
    icon.push_back(digits[(state >> 16) % 64]);
  }
  return icon + "=";
}

void WriteBrowserLevel(Node folder, int depth, std::size_t& counter, std::string& out) {
  const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
  for (Node child : folder.children()) {
    const std::string date = std::to_string(1200000000 + counter++ * 37);
    if (IsFolder(child)) {
      out += indent + "<DT><H3 ADD_DATE=\"" + date + "\" LAST_MODIFIED=\"" + date + "\">";
      html::AppendEscapedMarkup(out, AttributeText(child, "name"));
      out += "</H3>\n" + indent + "<DL><p>\n";
      WriteBrowserLevel(child, depth + 1, counter, out);
      out += indent + "</DL><p>\n";
    } else if (IsBookmark(child)) {
      out += indent + "<DT><A HREF=\"";
      html::AppendEscapedMarkup(out, AttributeText(child, "url"));
      out += "\" ADD_DATE=\"" + date + "\" ICON=\"" + Icon(counter) + "\">";
      html::AppendEscapedMarkup(out, AttributeText(child, "name"));
      out += "</A>\n";
    }
  }
}

const std::string& BrowserFile() {
  static const std::string path = [] {
    std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                      "<!-- This is an automatically generated file.\n"
                      "     It will be read and overwritten.\n"
                      "     DO NOT EDIT! -->\n"
                      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                      "<TITLE>Bookmarks</TITLE>\n"
                      "<H1>Bookmarks Menu</H1>\n\n"
                      "<DL><p>\n";
    std::size_t counter = 0;
    WriteBrowserLevel(Root(Collection()), 1, counter, out);
    out += "</DL>\n";
    const std::string file = TempPath("quillary-bench-bookmarks.html");
    platform::WriteFileAtomically(file, out);
    return file;
  }();
  return path;
}

std::unique_ptr<BookmarkDocument> ImportBrowserFile() {
  TFirefox2Ojb exchanger;
  exchanger.SourcePath = BrowserFile();
  return exchanger.ImportBookmarks();
}

void BM_ImportNetscapeFile(benchmark::State& state) {
  const std::size_t bookmarks = bench::CountBookmarks(*ImportBrowserFile());
  for (auto _ : state)
    benchmark::DoNotOptimize(ImportBrowserFile());
  const double fileSize = static_cast<double>(bench::FileSize(BrowserFile()));
  const double peak = static_cast<double>(bench::PeakMemoryOf([] { ImportBrowserFile(); }));
  state.counters["bookmarks"] = static_cast<double>(bookmarks);
  state.counters["file_MB"] = fileSize / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_per_file_size"] = peak / fileSize;
  bench::ReportFloor(state,
                     [] { benchmark::DoNotOptimize(bench::BareReadAndScan(BrowserFile(), '<')); });
}
BENCHMARK(BM_ImportNetscapeFile)->Unit(benchmark::kMillisecond);

void BM_TokenizeNetscapeFile(benchmark::State& state) {
  THTMLParser parser;
  parser.Source = "<body>" + platform::ReadWholeFile(BrowserFile()) + "</body>";
  for (auto _ : state) {
    parser.Parse();
    benchmark::DoNotOptimize(parser.Items.data());
  }
  state.counters["items"] = static_cast<double>(parser.Items.size());
  bench::ReportFloor(state, [&] { benchmark::DoNotOptimize(bench::BareScan(parser.Source, '<')); });
}
BENCHMARK(BM_TokenizeNetscapeFile)->Unit(benchmark::kMillisecond);

void BM_ExportNetscapeFile(benchmark::State& state) {
  auto& collection = const_cast<BookmarkDocument&>(Collection());
  TFirefox2Ojb exchanger;
  exchanger.SourcePath = TempPath("quillary-bench-export.html");
  for (auto _ : state)
    exchanger.ExportBookmarks(collection);
  state.counters["file_MB"] = static_cast<double>(bench::FileSize(exchanger.SourcePath)) / 1e6;
  const std::string written = platform::ReadWholeFile(exchanger.SourcePath);
  bench::ReportFloor(state, [&] {
    benchmark::DoNotOptimize(bench::BareWalk(collection) +
                             bench::BareReplaceFile(exchanger.SourcePath, written));
  });
}
BENCHMARK(BM_ExportNetscapeFile)->Unit(benchmark::kMillisecond);

} // namespace

QUILLARY_BENCHMARK_MAIN()
