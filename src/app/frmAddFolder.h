#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillary {

// What the caller sets before showing an editing dialog.
enum class TDialogMode : int { Create = 0, Edit = 1 };

// The folder dialog: one name, used to create and to rename. The caller fills the field before
// showing it and reads it afterwards.
class TfmAddFolder : public QDialog {
  Q_OBJECT
public:
  explicit TfmAddFolder(QWidget* parent = nullptr);

  TDialogMode Mode = TDialogMode::Create;

  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* edtFName = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

  void btnOKClick();

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quillary
