#include "app/frmAddBookmark.h"
#include "app/QtText.h"

#include "app/DialogKeys.h"
#include "store/FolderWalk.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillary {

TfmAddBookmark::TfmAddBookmark(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmAddBookmark"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setFixedSize(353, 127);
  setModal(true);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setGeometry(8, 4, 337, 84);
  Label1 = new QLabel(QStringLiteral("Name"), GroupBox1);
  Label1->setGeometry(12, 18, 56, 20);
  edtName = new QLineEdit(GroupBox1);
  edtName->setObjectName(QStringLiteral("edtName"));
  edtName->setGeometry(70, 16, 255, 24);
  Label1->setBuddy(edtName);
  Label2 = new QLabel(QStringLiteral("Address"), GroupBox1);
  Label2->setGeometry(12, 50, 56, 20);
  edtUrl = new QLineEdit(GroupBox1);
  edtUrl->setObjectName(QStringLiteral("edtUrl"));
  edtUrl->setGeometry(70, 48, 255, 24);
  Label2->setBuddy(edtUrl);

  btnOK = NewPlainButton("OK", *this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setGeometry(184, 95, 75, 26);
  btnCancel = NewPlainButton("Cancel", *this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(270, 95, 75, 26);

  setTabOrder(edtName, edtUrl);
  setTabOrder(edtUrl, btnOK);
  setTabOrder(btnOK, btnCancel);

  connect(btnOK, &QPushButton::clicked, this, &TfmAddBookmark::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TfmAddBookmark::name() const {
  return Text(edtName->text());
}

void TfmAddBookmark::setName(std::string_view name) {
  edtName->setText(Text(name));
}

std::string TfmAddBookmark::url() const {
  return Text(edtUrl->text());
}

void TfmAddBookmark::setUrl(std::string_view url) {
  edtUrl->setText(Text(url));
}

void TfmAddBookmark::btnOKClick() {
  if (!IsBlankText(name()) && !IsBlankText(url()))
    accept();
}

void TfmAddBookmark::showEvent(QShowEvent* event) {
  setWindowTitle(Mode == TDialogMode::Create ? QStringLiteral("Create bookmark")
                                             : QStringLiteral("Edit bookmark"));
  QDialog::showEvent(event);
  edtName->setFocus(Qt::OtherFocusReason);
}

void TfmAddBookmark::keyPressEvent(QKeyEvent* event) {
  if (!HandleDialogKey(*this, *event))
    QDialog::keyPressEvent(event);
}

} // namespace quillary
