#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <utility>

// The application object and its default error handler: every failure that reaches it is shown
// in a message box titled "Quillary" with the error's own text, and the program carries on.
namespace quillary {

class TApplication : public QApplication {
  Q_OBJECT
public:
  TApplication(int& argc, char** argv);

  // The last line of defence for an error that escaped a guarded handler.
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error as the default handler does.
void ReportError(const QString& text);
void ReportError(const std::exception& error);

// Runs work and hands any error it raises to the default handler. Qt's own frames are built
// without exception support, so every handler the toolkit calls goes through this first.
template <typename Work> bool Guarded(Work&& work) {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (const std::exception& error) {
    ReportError(error);
  }
  return false;
}

} // namespace quillary
