#include "app/frmAddFolder.h"
#include "app/QtText.h"

#include "app/DialogKeys.h"
#include "store/FolderWalk.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillary {

TfmAddFolder::TfmAddFolder(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmAddFolder"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setFixedSize(339, 112);
  setModal(true);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setGeometry(8, 4, 323, 66);
  Label1 = new QLabel(QStringLiteral("Folder name"), GroupBox1);
  Label1->setGeometry(12, 14, 200, 16);
  edtFName = new QLineEdit(GroupBox1);
  edtFName->setObjectName(QStringLiteral("edtFName"));
  edtFName->setGeometry(12, 32, 299, 24);
  Label1->setBuddy(edtFName);

  btnOK = NewPlainButton("OK", *this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setGeometry(170, 78, 75, 26);
  btnCancel = NewPlainButton("Cancel", *this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(256, 78, 75, 26);

  // The dialog opens with the focus on "OK".
  setTabOrder(btnOK, edtFName);
  setTabOrder(edtFName, btnCancel);

  connect(btnOK, &QPushButton::clicked, this, &TfmAddFolder::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TfmAddFolder::name() const {
  return Text(edtFName->text());
}

void TfmAddFolder::setName(std::string_view name) {
  edtFName->setText(Text(name));
}

void TfmAddFolder::btnOKClick() {
  if (!IsBlankText(name()))
    accept();
}

void TfmAddFolder::showEvent(QShowEvent* event) {
  setWindowTitle(Mode == TDialogMode::Create ? QStringLiteral("Create folder")
                                             : QStringLiteral("Edit folder"));
  QDialog::showEvent(event);
  btnOK->setFocus(Qt::OtherFocusReason);
}

void TfmAddFolder::keyPressEvent(QKeyEvent* event) {
  if (!HandleDialogKey(*this, *event))
    QDialog::keyPressEvent(event);
}

} // namespace quillary
