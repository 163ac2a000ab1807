#pragma once

#include "app/frmAddFolder.h"

#include <QDialog>

#include <string>
#include <string_view>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillary {

// The bookmark dialog: name and address, used to create and to edit. The caller sets the mode
// and both fields before showing it and reads them afterwards, as typed.
class TfmAddBookmark : public QDialog {
  Q_OBJECT
public:
  explicit TfmAddBookmark(QWidget* parent = nullptr);

  TDialogMode Mode = TDialogMode::Create;

  std::string name() const;
  void setName(std::string_view name);
  std::string url() const;
  void setUrl(std::string_view url);

  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* edtName = nullptr;
  QLineEdit* edtUrl = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

  void btnOKClick();

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quillary
