#pragma once

#include "base/SourceKind.h"

#include <QDialog>
#include <QString>

#include <array>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillary {

// The settings dialog: the seven browser locations of the settings file, and detection on demand.
class TfmConfig : public QDialog {
  Q_OBJECT
public:
  explicit TfmConfig(QWidget* parent = nullptr);

  // The prompt of the folder picker and the folder it is rooted at.
  static constexpr const char* kFolderPrompt = "please choose a folder";
  static constexpr const char* kFolderRoot = "/";

  void FormShow();
  void btnOKClick();
  void btnAutoClick();

  // The fields by kind 0..6; "firefox2" and "safari" have rows that are never shown.
  QLineEdit* edtIE = nullptr;
  QLineEdit* edtFF2 = nullptr;
  QLineEdit* edtFF3 = nullptr;
  QLineEdit* edtOpera = nullptr;
  QLineEdit* edtSafari = nullptr;
  QLineEdit* edtNS7 = nullptr;
  QLineEdit* edtSeaM = nullptr;
  QLabel* lblWarning = nullptr;
  QPushButton* btnAuto = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QFileDialog* OpenDialog1 = nullptr; // the file picker shared by the rows

protected:
  void showEvent(QShowEvent* event) override;

private:
  QLineEdit* FieldOf(SourceKind kind) const;
  void LoadFields();
  void PickFile(QLineEdit* field);
  void PickFolder(QLineEdit* field);

  QString lastFile_; // the file picker opens on the file last chosen in it
};

} // namespace quillary
