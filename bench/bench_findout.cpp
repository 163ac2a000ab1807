// The find dialog on the offscreen platform: a search from the "Find" button over 100,000
// bookmarks, and the result list filled with 50,000 matches.
#include "BareViews.h"
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "app/frmFindOut.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <benchmark/benchmark.h>

using namespace quillary;

namespace {

std::vector<bench::TextRow> TextRows(const std::vector<FoundBookmark>& found) {
  std::vector<bench::TextRow> rows;
  for (const FoundBookmark& row : found)
    rows.push_back({row.name, row.url});
  return rows;
}

// Lays the list out and paints it, as the user would see it after the click.
void ShowList(TfmFindOut& dialog) {
  QCoreApplication::processEvents();
  dialog.lviewSearch->viewport()->repaint();
}

void BM_FindButton(benchmark::State& state, const char* text) {
  auto collection = bench::GenerateCollection({});
  TfmFindOut dialog;
  dialog.SetDocument(collection.get());
  dialog.show();
  dialog.edtCon->setText(QString::fromLatin1(text));
  for (auto _ : state) {
    dialog.btnFind->click();
    ShowList(dialog);
  }
  state.counters["rows"] = static_cast<double>(dialog.Results->Rows().size());
  const std::vector<bench::TextRow> found = TextRows(dialog.Results->Rows());
  bench::BareTreeList list(dialog.lviewSearch->size());
  bench::ReportFloor(
      state,
      [&] {
        benchmark::DoNotOptimize(bench::BareWalk(*collection));
        list.Show(found);
      },
      [&] { list.Show({}); });
}
BENCHMARK_CAPTURE(BM_FindButton, SomeMatches, "news")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindButton, EveryBookmark, "example")->Unit(benchmark::kMillisecond);

// Only the list's part: 50,000 found rows into the model and onto the screen.
void BM_FillResultList(benchmark::State& state) {
  bench::CollectionShape shape;
  shape.bookmarks = 50000;
  auto collection = bench::GenerateCollection(shape);
  const std::vector<FoundBookmark> found = *FindBookmarks(*collection, {"http", FindTarget::All});
  TfmFindOut dialog;
  dialog.show();
  for (auto _ : state) {
    state.PauseTiming();
    dialog.Results->Clear();
    ShowList(dialog);
    std::vector<FoundBookmark> rows = found;
    state.ResumeTiming();
    dialog.Results->SetRows(std::move(rows));
    ShowList(dialog);
  }
  state.counters["rows"] = static_cast<double>(dialog.lviewSearch->model()->rowCount());
  const std::vector<bench::TextRow> rows = TextRows(found);
  std::vector<bench::TextRow> pending;
  bench::BareTreeList list(dialog.lviewSearch->size());
  bench::ReportFloor(
      state, [&] { list.Show(std::move(pending)); },
      [&] {
        list.Show({});
        pending = rows;
      });
}
BENCHMARK(BM_FillResultList)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  bench::DropSizeHintNotes();
  return bench::RunBenchmarks(argc, argv);
}
