#pragma once

#include "base/SourceKind.h"
#include "store/BookmarkDocument.h"

#include <QDialog>
#include <QIcon>
#include <QList>

#include <string>

class QCheckBox;
class QFileDialog;
class QGroupBox;
class QPushButton;
class QTreeWidget;

namespace quillary {

// The import/export source dialog: the sources the settings file knows plus the backup file; OK
// runs the coordinator over the ticked ones on the collection, and tells what it did through its
// signals, so the window that shows the collection brings itself up to date.
class TfmOpList : public QDialog {
  Q_OBJECT
public:
  explicit TfmOpList(BookmarkDocument& collection, QWidget* parent = nullptr);

  bool ExportMode = false;     // set by the main window before showing
  bool BackupSelected = false; // worked out anew at every press of OK

  void FormShow();
  void btnOKClick();
  void btnCancelClick();

  // True when a running process has exactly this executable file name (letter case counts).
  static bool IsProcessRunning(const std::string& exeName);

  QGroupBox* rgpImport = nullptr;
  QTreeWidget* lviewBrowser = nullptr;
  QCheckBox* cbxMegre = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QList<QIcon> ImageList1; // 0 IE, 1 Firefox, 2 Opera, 3 Safari, 4 Netscape, 5 SeaMonkey, 6 backup
  QFileDialog* OpenDialog1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;

signals:
  // An import run completed: the collection holds what it merged and the import date is written.
  void ImportCompleted();
  // An export run completed.
  void ExportCompleted();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void AddRow(const char* caption, int icon, bool ticked);
  bool FirefoxRunning() const;
  void ShowMessage(const QString& text, bool isError);
  // Steps of OK up to the end of a run; true when a run completed.
  bool StartRun();
  // Runs the coordinator; true when the run completed.
  bool Run(const std::vector<SourceKind>& kinds);

  BookmarkDocument& collection_;
};

} // namespace quillary
