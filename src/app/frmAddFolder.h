#pragma once

#include <QDialog>

#include <string>
#include <string_view>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillary {

// What the caller sets before showing an editing dialog.
enum class TDialogMode : int { Create = 0, Edit = 1 };

// The folder dialog: one name, used to create and to rename. The caller sets the mode and the
// name before showing it and reads the name afterwards, as typed.
class TfmAddFolder : public QDialog {
  Q_OBJECT
public:
  explicit TfmAddFolder(QWidget* parent = nullptr);

  TDialogMode Mode = TDialogMode::Create;

  std::string name() const;
  void setName(std::string_view name);

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
