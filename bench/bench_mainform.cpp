// Main-window speed on the offscreen platform: start-up with a store file of 100,000 bookmarks in
// 5,000 folders, opening a folder of 50,000 bookmarks, and each editing command.
#include "BareViews.h"
#include "BareWork.h"
#include "Floor.h"
#include "Generator.h"
#include "app/Application.h"
#include "app/Views.h"
#include "app/Windows.h"
#include "app/frmAddBookmark.h"
#include "app/frmAddFolder.h"
#include "coordinator/untEI.h"
#include "platform/Platform.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidgetItemIterator>

#include <benchmark/benchmark.h>

#include <memory>

using namespace quillary;

namespace {

// Answers every dialog the moment it shows: OK in message boxes, accept elsewhere, so a command
// is timed with its dialog but without a person.
class TAutoAnswer : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      if (auto* box = qobject_cast<QMessageBox*>(watched)) {
        QMetaObject::invokeMethod(
            box, [box] { box->button(QMessageBox::Ok)->click(); }, Qt::QueuedConnection);
      } else if (auto* folder = qobject_cast<TfmAddFolder*>(watched)) {
        QMetaObject::invokeMethod(
            folder,
            [folder] {
              folder->edtFName->setText(QStringLiteral("Benchmark folder"));
              folder->btnOK->click();
            },
            Qt::QueuedConnection);
      } else if (auto* bookmark = qobject_cast<TfmAddBookmark*>(watched)) {
        QMetaObject::invokeMethod(
            bookmark,
            [bookmark] {
              bookmark->edtName->setText(QStringLiteral("Benchmark bookmark"));
              bookmark->edtUrl->setText(QStringLiteral("http://benchmark.example/"));
              bookmark->btnOK->click();
            },
            Qt::QueuedConnection);
      }
    }
    return false;
  }
};

void WriteStoreFile(const bench::CollectionShape& shape) {
  auto collection = bench::GenerateCollection(shape);
  TEI tei;
  tei.WriteBookmarkFile(*collection, tei.GetStorePath());
}

TWindows StartMainWindow() {
  TWindows windows = CreateWindows();
  windows.Mainform->show();
  QCoreApplication::processEvents();
  return windows;
}

QTreeWidgetItem* LastNode(QTreeWidget* tree) {
  QTreeWidgetItem* last = nullptr;
  for (QTreeWidgetItemIterator it(tree); *it; ++it)
    last = *it;
  return last;
}

QTreeWidgetItem* NodeNamed(QTreeWidget* tree, const QString& text) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    if ((*it)->text(0) == text)
      return *it;
  }
  return nullptr;
}

void BM_StartUp(benchmark::State& state) {
  WriteStoreFile({});
  QSize listSize;
  for (auto _ : state) {
    TWindows windows = StartMainWindow();
    state.PauseTiming();
    listSize = windows.Mainform->lviewmain->size();
    if (windows.Mainform->BookmarkCount != 100000 || windows.Mainform->ListRows->Count() == 0)
      state.SkipWithError("the collection was not loaded");
    windows.Mainform->close();
    windows = TWindows{};
    state.ResumeTiming();
  }
  const std::string storePath = TEI().GetStorePath();
  BookmarkDocument stored;
  TEI().ReadBookmarkFile(stored, storePath);
  std::unique_ptr<bench::BareFolderTree> tree;
  std::unique_ptr<bench::BareTable> list;
  bench::ReportFloor(
      state,
      [&] {
        benchmark::DoNotOptimize(bench::BareReadStoreFile(storePath));
        tree = std::make_unique<bench::BareFolderTree>(stored);
        list = std::make_unique<bench::BareTable>(listSize);
        list->Show(bench::RowsOf(stored.document_element()));
      },
      [&] {
        tree.reset();
        list.reset();
      });
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenFolderOf50000Bookmarks(benchmark::State& state) {
  bench::CollectionShape shape;
  shape.flatFolder = 50000;
  WriteStoreFile(shape);
  TWindows windows = StartMainWindow();
  TfmMainform& main = *windows.Mainform;
  QTreeWidgetItem* flat = NodeNamed(main.tviewmain, QStringLiteral("Flat"));
  QTreeWidgetItem* root = main.tviewmain->topLevelItem(0);
  for (auto _ : state) {
    main.tviewmain->setCurrentItem(flat);
    QCoreApplication::processEvents(); // the list lays out and paints its rows
    state.PauseTiming();
    if (main.ListRows->Count() != 50001)
      state.SkipWithError("the folder was not listed");
    main.tviewmain->setCurrentItem(root);
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  main.close();
  BookmarkDocument stored;
  TEI().ReadBookmarkFile(stored, {});
  const Node flatFolder = stored.document_element().find_child_by_attribute("name", "Flat");
  bench::BareTable list(main.lviewmain->size());
  bench::ReportFloor(
      state, [&] { list.Show(bench::RowsOf(flatFolder)); }, [&] { list.Show({}); });
}
BENCHMARK(BM_OpenFolderOf50000Bookmarks)->Unit(benchmark::kMillisecond);

// One main window for all editing benchmarks; it goes before the application does.
std::unique_ptr<TWindows> editing;
TAutoAnswer answer;

// The editing commands on the last folder of the document, which every lookup reaches last.
class EditingFixture : public benchmark::Fixture {
public:
  void SetUp(benchmark::State&) override {
    if (!editing) {
      WriteStoreFile({});
      editing = std::make_unique<TWindows>(StartMainWindow());
      qApp->installEventFilter(&answer);
    }
  }
  TfmMainform& Main() { return *editing->Mainform; }
  void OpenLastFolder() { Main().tviewmain->setCurrentItem(LastNode(Main().tviewmain)); }
  void PressIn(TViewContext context) { Main().ViewContext = context; }
  void SelectRow(int row) {
    Main().lviewmain->selectRow(row);
    PressIn(TViewContext::List);
  }
  int LastRow() { return Main().ListRows->Count() - 1; }
  // Every command answers a dialog and looks its folder or bookmark up by gid.
  void TearDown(benchmark::State& state) override {
    const std::string gid = DataOf(LastNode(Main().tviewmain)).gid;
    bench::ReportFloor(state, [&] {
      bench::BareDialogRoundTrip();
      benchmark::DoNotOptimize(bench::BareFindByGid(Main().xmlmain, "folder", gid));
    });
  }
};

BENCHMARK_DEFINE_F(EditingFixture, AddFolder)(benchmark::State& state) {
  OpenLastFolder();
  for (auto _ : state) {
    Main().actAddfolder->trigger();
  }
}

BENCHMARK_DEFINE_F(EditingFixture, AddBookmark)(benchmark::State& state) {
  OpenLastFolder();
  for (auto _ : state)
    Main().actAddbookmark->trigger();
}

BENCHMARK_DEFINE_F(EditingFixture, RenameFolderInTree)(benchmark::State& state) {
  OpenLastFolder();
  PressIn(TViewContext::Tree);
  for (auto _ : state)
    Main().actEdit->trigger();
}

BENCHMARK_DEFINE_F(EditingFixture, EditBookmarkRow)(benchmark::State& state) {
  OpenLastFolder();
  for (auto _ : state) {
    SelectRow(LastRow());
    Main().actEdit->trigger();
  }
}

BENCHMARK_DEFINE_F(EditingFixture, DeleteBookmarkRow)(benchmark::State& state) {
  OpenLastFolder();
  for (auto _ : state) {
    state.PauseTiming();
    Main().actAddbookmark->trigger();
    SelectRow(LastRow());
    state.ResumeTiming();
    Main().actDelete->trigger();
  }
}

BENCHMARK_DEFINE_F(EditingFixture, DeleteFolderInTree)(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    OpenLastFolder();
    Main().actAddfolder->trigger();
    Main().tviewmain->setCurrentItem(LastNode(Main().tviewmain));
    PressIn(TViewContext::Tree);
    state.ResumeTiming();
    Main().actDelete->trigger();
  }
}

BENCHMARK_REGISTER_F(EditingFixture, AddFolder)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(EditingFixture, AddBookmark)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(EditingFixture, RenameFolderInTree)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(EditingFixture, EditBookmarkRow)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(EditingFixture, DeleteBookmarkRow)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(EditingFixture, DeleteFolderInTree)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // A home of its own, so the store and settings files of the run never touch the user's.
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
  TApplication application(argc, argv);
  platform::Current().GetUserState().WriteIsStart("TRUE");
  bench::DropSizeHintNotes();
  const int code = bench::RunBenchmarks(argc, argv);
  editing.reset();
  return code;
}
