// The import/export source dialog over a simulated platform (settings, store, running processes)
// and the real coordinator, on a collection of its own.
#include "app/frmOpList.h"
#include "coordinator/untEI.h"
#include "platform/Files.h"
#include "platform/SimulatedPlatform.h"
#include "settings/untConfig.h"
#include "test_dialogs_support.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace quillary;

namespace {

void Store(SourceKind kind, const std::string& value) {
  TConfig config;
  config.ForceWrite = true;
  config.SetBrowserPath(kind, value);
}

std::unique_ptr<BookmarkDocument> Collection(int bookmarks) {
  auto document = NewBookmarkDocument();
  Node folder = AppendElement(Root(*document), "folder");
  SetAttribute(folder, "name", "Saved");
  SetAttribute(folder, "gid", NewGid());
  for (int i = 0; i < bookmarks; ++i) {
    Node url = AppendElement(folder, "url");
    SetAttribute(url, "name", "Site " + std::to_string(i));
    SetAttribute(url, "url", "http://site" + std::to_string(i) + ".example/");
    SetAttribute(url, "gid", NewGid());
  }
  return document;
}

int CountBookmarks(const BookmarkDocument& document) {
  int count = 0;
  for (pugi::xpath_node node : Root(document).select_nodes(".//*"))
    count += IsBookmark(node.node());
  return count;
}

struct Row {
  QString caption;
  bool ticked;
  bool operator==(const Row&) const = default;
};

QList<Row> Rows(const TfmOpList& dialog) {
  QList<Row> rows;
  for (int i = 0; i < dialog.lviewBrowser->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = dialog.lviewBrowser->topLevelItem(i);
    rows << Row{item->text(0), item->checkState(0) == Qt::Checked};
  }
  return rows;
}

void Tick(TfmOpList& dialog, const char* caption, bool ticked) {
  const auto items = dialog.lviewBrowser->findItems(QString::fromLatin1(caption), Qt::MatchExactly);
  QVERIFY(items.size() == 1);
  items[0]->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

// What the modal dialogs of one press of OK looked like, and how they were answered.
struct Seen {
  QStringList dialogs; // "open", "save" or the message box's text
  QString messageTitle;
  QMessageBox::Icon messageIcon = QMessageBox::NoIcon;
  QStringList filters;
  QString suffix;
  bool cursorOverridden = false; // the busy cursor steps aside for the dialogs
};

// Answers file dialogs with the path (typed into the name field, as a user would) or cancels
// them when it is empty; message boxes with OK.
std::function<void(QWidget*)> Hand(Seen& seen, const QString& path = {}) {
  return [&seen, path](QWidget* modal) {
    seen.cursorOverridden |= QApplication::overrideCursor() != nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen.dialogs << box->text();
      seen.messageTitle = box->windowTitle();
      seen.messageIcon = box->icon();
      box->button(QMessageBox::Ok)->click();
    } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      seen.dialogs << (files->acceptMode() == QFileDialog::AcceptOpen ? QStringLiteral("open")
                                                                      : QStringLiteral("save"));
      seen.filters = files->nameFilters();
      seen.suffix = files->defaultSuffix();
      if (path.isEmpty()) {
        files->reject();
      } else {
        files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(files)->accept(); // QFileDialog hides its override
      }
    } else {
      modal->close();
    }
  };
}

} // namespace

class SourceDialogTest : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> home_;
  std::unique_ptr<platform::SimulatedPlatform> platform_;
  std::unique_ptr<platform::ScopedPlatform> scope_;
  std::unique_ptr<BookmarkDocument> collection_;
  std::unique_ptr<QWidget> window_; // the dialog's parent
  TfmOpList* dialog_ = nullptr;
  std::unique_ptr<QSignalSpy> imported_;
  std::unique_ptr<QSignalSpy> exported_;

  QString File(const char* name) const {
    return home_->path() + QLatin1Char('/') + QString::fromLatin1(name);
  }

  void Show(bool exportMode) {
    dialog_->ExportMode = exportMode;
    dialog_->show();
  }

  void PressOK(Seen& seen, const QString& path = {}) {
    test::ModalHands hands(Hand(seen, path));
    QTest::mouseClick(dialog_->btnOK, Qt::LeftButton);
    QCOMPARE(QApplication::overrideCursor(), nullptr); // the busy cursor is gone again
  }

private slots:
  void init() {
    home_ = std::make_unique<QTemporaryDir>();
    platform_ = std::make_unique<platform::SimulatedPlatform>();
    platform_->config = File("config").toStdString();
    platform_->localAppData = File("data").toStdString();
    platform_->program = File("program").toStdString();
    scope_ = std::make_unique<platform::ScopedPlatform>(*platform_);
    collection_ = std::make_unique<BookmarkDocument>();
    window_ = std::make_unique<QWidget>();
    dialog_ = new TfmOpList(*collection_, window_.get());
    imported_ = std::make_unique<QSignalSpy>(dialog_, &TfmOpList::ImportCompleted);
    exported_ = std::make_unique<QSignalSpy>(dialog_, &TfmOpList::ExportCompleted);
  }

  void cleanup() {
    imported_.reset();
    exported_.reset();
    window_.reset();
    collection_.reset();
    scope_.reset();
    platform_.reset();
    home_.reset();
  }

  void rowsAndCaptionsByMode_data() {
    QTest::addColumn<bool>("exportMode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("merge");
    QTest::newRow("import") << false << "Import Bookmarks"
                            << "Merge bookmarks with current base";
    QTest::newRow("export") << true << "Export Bookmarks"
                            << "Merge with source bookmarks";
  }

  void rowsAndCaptionsByMode() {
    QFETCH(bool, exportMode);
    QFETCH(QString, caption);
    QFETCH(QString, merge);
    // Kinds the dialog does not list (Opera, Firefox 2, Safari) are left out whatever they hold.
    for (SourceKind kind : kBrowserKinds)
      Store(kind, "/somewhere/" + std::to_string(IndexOf(kind)));
    Show(exportMode);
    QCOMPARE(dialog_->windowTitle(), caption);
    QCOMPARE(dialog_->cbxMegre->text(), merge);
    QVERIFY(dialog_->cbxMegre->isChecked());
    QCOMPARE(dialog_->rgpImport->title(), QStringLiteral("Select bookmark sources"));
    QCOMPARE(dialog_->lviewBrowser->headerItem()->text(0), QStringLiteral("Name"));
    QCOMPARE(dialog_->lviewBrowser->columnWidth(0), 260);
    const QList<Row> expected{{QStringLiteral("Internet Explorer"), true},
                              {QStringLiteral("Mozilla Firefox"), true},
                              {QStringLiteral("Netscape"), true},
                              {QStringLiteral("SeaMonkey"), true},
                              {QStringLiteral("Quillary File"), false}};
    QCOMPARE(Rows(*dialog_), expected);
    for (int i = 0; i < dialog_->lviewBrowser->topLevelItemCount(); ++i)
      QVERIFY(!dialog_->lviewBrowser->topLevelItem(i)->icon(0).isNull());

    // Nothing the user chose carries over to the next showing.
    Tick(*dialog_, "Netscape", false);
    Tick(*dialog_, "Quillary File", true);
    dialog_->cbxMegre->setChecked(false);
    QTest::mouseClick(dialog_->btnCancel, Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    Store(SourceKind::InternetExplorer, "");
    Show(exportMode);
    QVERIFY(dialog_->cbxMegre->isChecked());
    QCOMPARE(Rows(*dialog_), expected.mid(1));
  }

  void withoutLocationsOnlyTheBackupRowAndOKWithoutTicksDoesNothing() {
    Show(false);
    QCOMPARE(Rows(*dialog_), (QList<Row>{{QStringLiteral("Quillary File"), false}}));
    Seen seen;
    PressOK(seen);
    QVERIFY(seen.dialogs.isEmpty());
    QVERIFY(dialog_->isVisible());
    QVERIFY(platform_->isStart.empty());
    QVERIFY(!platform::FileExists(TEI().GetStorePath()));
  }

  void importOfTheBackupRowWithTheFileDialogCancelled() {
    Show(false);
    Tick(*dialog_, "Quillary File", true);
    Seen seen;
    PressOK(seen);
    QCOMPARE(seen.dialogs, QStringList{QStringLiteral("open")});
    QCOMPARE(seen.filters, QStringList{QStringLiteral("Quillary File (*.qlf)")});
    QCOMPARE(seen.suffix, QStringLiteral("qlf"));
    QVERIFY(!seen.cursorOverridden);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QVERIFY(!dialog_->isVisible());
    QVERIFY(dialog_->BackupSelected);
    // The run still completed: the collection made with only its root and saved, the window
    // told, the import date and IsStart written.
    BookmarkDocument saved;
    TEI().ReadBookmarkFile(saved, {});
    QVERIFY(Root(saved));
    QCOMPARE(CountBookmarks(saved), 0);
    QCOMPARE(imported_->count(), 1);
    QCOMPARE(exported_->count(), 0);
    QCOMPARE(TConfig().GetImportDate(), platform_->shortDate);
    QCOMPARE(platform_->isStart, std::string("TRUE"));
  }

  void importOfABackupFileMergesIt() {
    const QString backup = File("saved.qlf");
    TEI().WriteBookmarkFile(*Collection(3), backup.toStdString());
    Show(false);
    dialog_->cbxMegre->setChecked(false); // plays no part: every import merges
    Tick(*dialog_, "Quillary File", true);
    Seen seen;
    PressOK(seen, backup);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(CountBookmarks(*collection_), 3);
    QCOMPARE(imported_->count(), 1);
    BookmarkDocument saved;
    TEI().ReadBookmarkFile(saved, {});
    QCOMPARE(CountBookmarks(saved), 3);
  }

  void exportToABackupFileReportsTheCollectionTotal() {
    collection_->reset(*Collection(4));
    Show(true);
    Tick(*dialog_, "Quillary File", true);
    Seen seen;
    PressOK(seen, File("exported")); // the default extension is added
    QCOMPARE(seen.dialogs, QStringList{QStringLiteral("save")});
    QCOMPARE(seen.filters, QStringList{QStringLiteral("Quillary File (*.qlf)")});
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(exported_->count(), 1);
    QCOMPARE(imported_->count(), 0);
    BookmarkDocument written;
    TEI().ReadBookmarkFile(written, File("exported.qlf").toStdString());
    QCOMPARE(CountBookmarks(written), 4);
    QVERIFY(platform_->isStart.empty()); // only an import writes it
  }

  void exportWithTheSaveDialogCancelledStillCompletes() {
    collection_->reset(*Collection(2));
    Show(true);
    Tick(*dialog_, "Quillary File", true);
    Seen seen;
    PressOK(seen);
    QCOMPARE(seen.dialogs, QStringList{QStringLiteral("save")});
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(exported_->count(), 1);
    QVERIFY(QDir(home_->path()).entryList({QStringLiteral("*.qlf")}, QDir::Files).isEmpty());
  }

  void firefoxRunning_data() {
    QTest::addColumn<bool>("exportMode");
    QTest::addColumn<QString>("process");
    QTest::addColumn<bool>("refused");
    for (bool exportMode : {false, true}) {
      const char* mode = exportMode ? "export, " : "import, ";
      for (const char* name : {"firefox", "firefox-esr", "firefox-bin"})
        QTest::addRow("%s%s", mode, name) << exportMode << QString::fromLatin1(name) << true;
    }
    // The comparison is exact and case-sensitive.
    for (const char* name : {"Firefox", "FIREFOX-ESR", "firefox.exe", "firefox-esr-helper"})
      QTest::addRow("import, %s", name) << false << QString::fromLatin1(name) << false;
  }

  void firefoxRunning() {
    QFETCH(bool, exportMode);
    QFETCH(QString, process);
    QFETCH(bool, refused);
    platform_->processes = {"bash", process.toStdString(), "Xorg"};
    Store(SourceKind::Firefox3, File("no-profile/places.sqlite").toStdString());
    collection_->reset(*Collection(1));
    TEI().SaveStore(*collection_);
    Show(exportMode);
    Tick(*dialog_, "Quillary File", true);
    Seen seen;
    PressOK(seen);
    if (!refused) {
      // Nothing stops the run: it goes on to ask for the backup file.
      QVERIFY(!seen.dialogs.isEmpty());
      QVERIFY(seen.dialogs[0] != QStringLiteral("Please close Firefox,database may be locked."));
      return;
    }
    QCOMPARE(seen.dialogs,
             QStringList{QStringLiteral("Please close Firefox,database may be locked.")});
    QCOMPARE(seen.messageTitle, QStringLiteral("Quillary"));
    QCOMPARE(seen.messageIcon, QMessageBox::Information);
    QVERIFY(dialog_->isVisible());
    QVERIFY(platform_->isStart.empty());
    QCOMPARE(Rows(*dialog_), (QList<Row>{{QStringLiteral("Mozilla Firefox"), true},
                                         {QStringLiteral("Quillary File"), true}}));
    // Without the Firefox row no process is looked at and the rest runs.
    Tick(*dialog_, "Mozilla Firefox", false);
    Seen again;
    PressOK(again);
    QCOMPARE(again.dialogs,
             QStringList{exportMode ? QStringLiteral("save") : QStringLiteral("open")});
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
  }

  void aFailingRunSaysWhyAndKeepsRowsAndTicks() {
    // A Netscape file that is not there fails the run at that source.
    const std::string missing = File("gone/bookmarks.html").toStdString();
    Store(SourceKind::Netscape, missing);
    Store(SourceKind::SeaMonkey, File("also-gone/bookmarks.html").toStdString());
    collection_->reset(*Collection(1));
    TEI().SaveStore(*collection_);
    QString expected;
    try {
      BookmarkDocument scratch;
      scratch.reset(*collection_);
      TEI().Import({SourceKind::Netscape}, scratch);
    } catch (const std::exception& error) {
      expected = QString::fromStdString(error.what());
    }
    QVERIFY(!expected.isEmpty());
    const std::string store = platform::ReadWholeFile(TEI().GetStorePath());

    Show(false);
    Tick(*dialog_, "SeaMonkey", false);
    Tick(*dialog_, "Quillary File", true);
    const QList<Row> before = Rows(*dialog_);
    Seen seen;
    PressOK(seen);
    QCOMPARE(seen.dialogs, (QStringList{QStringLiteral("open"), expected}));
    QCOMPARE(seen.messageTitle, QStringLiteral("Quillary"));
    QCOMPARE(seen.messageIcon, QMessageBox::Critical);
    QVERIFY(dialog_->isVisible());
    QVERIFY(dialog_->result() != QDialog::Accepted);
    QCOMPARE(imported_->count(), 0);
    QCOMPARE(Rows(*dialog_), before);
    QVERIFY(platform_->isStart.empty());
    QVERIFY(TConfig().GetImportDate().empty());
    QCOMPARE(platform::ReadWholeFile(TEI().GetStorePath()), store);

    // Without the backup row the next try asks for no file.
    Tick(*dialog_, "Quillary File", false);
    Seen again;
    PressOK(again);
    QCOMPARE(again.dialogs, QStringList{expected});
    QVERIFY(!dialog_->BackupSelected);
    QVERIFY(dialog_->isVisible());
  }
};

QUILLARY_DIALOG_TEST_MAIN(SourceDialogTest)
#include "test_dialogs_oplist.moc"
