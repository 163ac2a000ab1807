#include "app/frmAbout.h"

#include "base/Version.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>

namespace quillary {

namespace {

QLabel* PlaceText(QWidget* parent, const char* name, const QString& text, int left, int top,
                  int pixelHeight, bool bold) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  label->setFont(font);
  label->move(left, top);
  label->adjustSize();
  return label;
}

} // namespace

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmAbout"));
  setWindowTitle(QStringLiteral("Quillary"));
  // A fixed single border with only the close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(379, 190);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);

  // Stretched taller than the window, so its lower part is cut off.
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("imgSide"));
  picture->setPixmap(QPixmap(QStringLiteral(":/images/side.png")));
  picture->setScaledContents(true);
  picture->setGeometry(0, 0, 137, 215);

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("imgIcon"));
  icon->setPixmap(QPixmap(QStringLiteral(":/images/quillary.png")));
  icon->setGeometry(77, 30, 32, 32);

  PlaceText(this, "lblTitle", QStringLiteral("Quillary"), 115, 37, 21, false);
  PlaceText(this, "lblProduct", QStringLiteral("Quillary"), 77, 107, 10, true);
  PlaceText(this, "lblVersion",
            QStringLiteral("Version  %1   (Build %2)")
                .arg(QString::fromLatin1(kVersion), QString::fromLatin1(kBuild)),
            77, 126, 10, true);
}

void TfmAbout::showEvent(QShowEvent* event) {
  if (!event->spontaneous())
    if (QScreen* desktop = screen())
      move(desktop->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

} // namespace quillary
