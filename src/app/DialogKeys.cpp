#include "app/DialogKeys.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace quillary {

bool HandleDialogKey(QDialog& dialog, QKeyEvent& event) {
  switch (event.key()) {
  case Qt::Key_Escape:
    event.accept();
    return true;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    if (auto* button = qobject_cast<QPushButton*>(dialog.focusWidget()))
      button->click();
    event.accept();
    return true;
  default:
    return false;
  }
}

QPushButton* NewPlainButton(const char* caption, QDialog& dialog) {
  auto* button = new QPushButton(QString::fromUtf8(caption), &dialog);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

} // namespace quillary
