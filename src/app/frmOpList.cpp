#include "app/frmOpList.h"

#include "app/QtText.h"
#include "coordinator/untEI.h"
#include "platform/Platform.h"
#include "settings/untConfig.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>

#include <array>
#include <memory>
#include <optional>

namespace quillary {

namespace {

struct SourceRow {
  const char* caption;
  SourceKind kind;
  int icon;
};

constexpr SourceRow kFirefoxRow{"Mozilla Firefox", SourceKind::Firefox3, 1};
constexpr SourceRow kBackupRow{"Quillary File", SourceKind::BackupFile, 6};
// The browser rows in list order; each is offered when its settings key holds a location.
constexpr std::array<SourceRow, 4> kBrowserRows{{
    {"Internet Explorer", SourceKind::InternetExplorer, 0},
    kFirefoxRow,
    {"Netscape", SourceKind::Netscape, 4},
    {"SeaMonkey", SourceKind::SeaMonkey, 5},
}};

// The executable names of Firefox on this system; the comparison itself stays exact.
constexpr std::array<const char*, 3> kFirefoxExecutables{"firefox", "firefox-esr", "firefox-bin"};

std::optional<SourceKind> KindOfCaption(const QString& caption) {
  if (caption == QLatin1String(kBackupRow.caption))
    return kBackupRow.kind;
  for (const SourceRow& row : kBrowserRows)
    if (caption == QLatin1String(row.caption))
      return row.kind;
  return std::nullopt;
}

// The hourglass for the length of a run. The dialogs opened during a run draw their own cursor,
// so it steps aside while one of them is up.
class BusyCursor {
public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

  class Pause {
  public:
    Pause() { QApplication::restoreOverrideCursor(); }
    ~Pause() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;
  };
};

QFileDialog* MakeBackupDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(QString::fromLatin1(name));
  // The built-in dialog, so that it looks alike everywhere and tests can drive it.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(mode);
  if (mode == QFileDialog::AcceptOpen) {
    dialog->setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite); // an existing file is simply replaced
  }
  dialog->setNameFilter(QStringLiteral("Quillary File (*.qlf)"));
  dialog->setDefaultSuffix(QStringLiteral("qlf"));
  return dialog;
}

} // namespace

TfmOpList::TfmOpList(BookmarkDocument& collection, QWidget* parent)
    : QDialog(parent), collection_(collection) {
  setObjectName(QStringLiteral("fmOpList"));
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setFixedSize(339, 281);

  rgpImport = new QGroupBox(QStringLiteral("Select bookmark sources"), this);
  rgpImport->setObjectName(QStringLiteral("rgpImport"));
  rgpImport->setGeometry(8, 8, 323, 233);

  // Placed within the group box, at the form positions 16,24 and 16,219.
  lviewBrowser = new QTreeWidget(rgpImport);
  lviewBrowser->setObjectName(QStringLiteral("lviewBrowser"));
  lviewBrowser->setGeometry(8, 16, 305, 193);
  lviewBrowser->setHeaderLabels({QStringLiteral("Name")});
  lviewBrowser->header()->setStretchLastSection(false);
  lviewBrowser->setColumnWidth(0, 260);
  lviewBrowser->setRootIsDecorated(false);
  lviewBrowser->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lviewBrowser->setIconSize(QSize(16, 16));

  cbxMegre = new QCheckBox(rgpImport);
  cbxMegre->setObjectName(QStringLiteral("cbxMegre"));
  cbxMegre->setGeometry(8, 211, 227, 17);

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setGeometry(168, 248, 75, 25);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(255, 248, 75, 25);

  for (const char* image : {"ie", "firefox", "opera", "safari", "netscape", "seamonkey", "backup"})
    ImageList1.append(QIcon(QStringLiteral(":/images/%1.png").arg(QString::fromLatin1(image))));

  OpenDialog1 = MakeBackupDialog(this, "OpenDialog1", QFileDialog::AcceptOpen);
  SaveDialog1 = MakeBackupDialog(this, "SaveDialog1", QFileDialog::AcceptSave);

  connect(btnOK, &QPushButton::clicked, this, &TfmOpList::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &TfmOpList::btnCancelClick);
}

void TfmOpList::showEvent(QShowEvent* event) {
  if (!event->spontaneous())
    FormShow();
  QDialog::showEvent(event);
}

void TfmOpList::FormShow() {
  if (ExportMode) {
    setWindowTitle(QStringLiteral("Export Bookmarks"));
    cbxMegre->setText(QStringLiteral("Merge with source bookmarks"));
  } else {
    setWindowTitle(QStringLiteral("Import Bookmarks"));
    cbxMegre->setText(QStringLiteral("Merge bookmarks with current base"));
  }
  BackupSelected = false;
  cbxMegre->setChecked(true);
  lviewBrowser->clear();
  const TConfig config;
  for (const SourceRow& row : kBrowserRows)
    if (!config.GetBrowserPath(row.kind).empty())
      AddRow(row.caption, row.icon, true);
  AddRow(kBackupRow.caption, kBackupRow.icon, false);
}

void TfmOpList::AddRow(const char* caption, int icon, bool ticked) {
  auto* item = new QTreeWidgetItem(lviewBrowser, {QString::fromLatin1(caption)});
  item->setIcon(0, ImageList1.value(icon));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

bool TfmOpList::IsProcessRunning(const std::string& exeName) {
  for (const std::string& name : platform::Current().GetProcesses().RunningProcessNames())
    if (name == exeName)
      return true;
  return false;
}

bool TfmOpList::FirefoxRunning() const {
  for (const char* exe : kFirefoxExecutables)
    if (IsProcessRunning(exe))
      return true;
  return false;
}

void TfmOpList::ShowMessage(const QString& text, bool isError) {
  QMessageBox message(isError ? QMessageBox::Critical : QMessageBox::Information,
                      QStringLiteral("Quillary"), text, QMessageBox::Ok, this);
  message.setObjectName(QStringLiteral("msgOpList"));
  BusyCursor::Pause pause;
  message.exec();
}

void TfmOpList::btnOKClick() {
  if (StartRun())
    accept(); // after the busy cursor is gone
}

bool TfmOpList::StartRun() {
  BusyCursor busy;
  BackupSelected = false;
  std::vector<SourceKind> kinds;
  bool firefoxTicked = false;
  for (int i = 0; i < lviewBrowser->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = lviewBrowser->topLevelItem(i);
    if (item->checkState(0) != Qt::Checked)
      continue;
    const std::optional<SourceKind> kind = KindOfCaption(item->text(0));
    if (!kind)
      continue;
    kinds.push_back(*kind);
    if (*kind == SourceKind::BackupFile)
      BackupSelected = true;
    if (item->text(0) == QLatin1String(kFirefoxRow.caption))
      firefoxTicked = true;
  }
  if (kinds.empty())
    return false;
  // Checked in both modes: the places database may be locked either way.
  if (firefoxTicked && FirefoxRunning()) {
    ShowMessage(QStringLiteral("Please close Firefox,database may be locked."), false);
    return false;
  }
  return Run(kinds);
}

bool TfmOpList::Run(const std::vector<SourceKind>& kinds) {
  std::unique_ptr<TEI> tei; // one coordinator per press of OK
  QString failure;
  try {
    tei = std::make_unique<TEI>();
    QFileDialog* backupDialog = ExportMode ? SaveDialog1 : OpenDialog1;
    if (BackupSelected) {
      BusyCursor::Pause pause;
      // Cancelled: the backup file contributes nothing (import) or is not written (export).
      if (backupDialog->exec() == QDialog::Accepted && !backupDialog->selectedFiles().isEmpty())
        tei->BackupPath = Text(backupDialog->selectedFiles().constFirst());
    }
    if (!ExportMode) {
      tei->Import(kinds, collection_); // every import merges, whatever cbxMegre says
      TConfig().SetImportDate();
      emit ImportCompleted(); // the window shows the collection and the date
      platform::Current().GetUserState().WriteIsStart("TRUE");
    } else {
      tei->Export(kinds, collection_, cbxMegre->isChecked());
      emit ExportCompleted();
    }
    return true;
  } catch (const std::exception& error) {
    failure = Text(error.what());
  }
  tei.reset();
  // The user learns why nothing happened; rows and ticks stay as they were for another try.
  ShowMessage(failure, true);
  return false;
}

void TfmOpList::btnCancelClick() {
  reject();
}

} // namespace quillary
