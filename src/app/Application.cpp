#include "app/Application.h"
#include "app/QtText.h"

#include <QIcon>
#include <QMessageBox>

namespace quillary {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Quillary"));
  // Ties the windows to the installed desktop entry, for its icon and name in the task bar.
  setDesktopFileName(QStringLiteral("example.quillary.Quillary"));
  setOrganizationName(QStringLiteral("Quillary"));
  setWindowIcon(QIcon(QStringLiteral(":/quillary/quillary.svg")));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportError(error);
  }
  return false;
}

void ReportError(const QString& text) {
  QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Quillary"), text);
}

void ReportError(const std::exception& error) {
  ReportError(Text(error.what()));
}

} // namespace quillary
