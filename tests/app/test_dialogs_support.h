#pragma once

// What the dialog tests share: a fresh data and configuration folder per test and modal dialogs
// answered from a timer.
#include "QtSettingsSandbox.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillary::test {

// Points the per-user folders (and HOME, so nothing falls back to the real one) at a new empty
// folder for the object's lifetime.
class FreshUserFolders {
public:
  FreshUserFolders() {
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
      saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
      qputenv(name, Path(name).toLocal8Bit());
    }
    QDir().mkpath(Path("HOME"));
    QDir().mkpath(Path("XDG_DATA_HOME"));
    QDir().mkpath(Path("XDG_CONFIG_HOME"));
  }
  ~FreshUserFolders() {
    for (const Saved& saved : saved_) {
      if (saved.wasSet)
        qputenv(saved.name, saved.value);
      else
        qunsetenv(saved.name);
    }
  }
  FreshUserFolders(const FreshUserFolders&) = delete;
  FreshUserFolders& operator=(const FreshUserFolders&) = delete;

  QString Root() const { return dir_.path(); }
  QString Path(const char* name) const {
    return dir_.path() + QLatin1Char('/') + QString::fromLatin1(name);
  }
  std::string Config() const { return Path("XDG_CONFIG_HOME").toStdString(); }
  std::string SettingsFile() const { return Config() + "/Quillary/sysinit.ini"; }

private:
  struct Saved {
    const char* name;
    QByteArray value;
    bool wasSet;
  };
  QTemporaryDir dir_;
  std::vector<Saved> saved_;
};

// Runs the action once on the next modal dialog of type T that comes up, from inside its own
// event loop. Give up after a few seconds so that a dialog that never opens fails the test
// instead of hanging it.
template <typename T> void OnNextModal(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  auto deadline = std::make_shared<int>(500);
  QObject::connect(timer, &QTimer::timeout, [timer, action, deadline] {
    auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if ((modal && modal->isVisible()) || --*deadline == 0) {
      timer->stop();
      timer->deleteLater();
      if (modal)
        action(modal);
    }
  });
  timer->start();
}

// Answers every modal dialog that comes up while the object lives, in order, with the handler;
// the handler must close the dialog. Counts the dialogs it met.
class ModalHands {
public:
  explicit ModalHands(std::function<void(QWidget*)> handler) : handler_(std::move(handler)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible() || modal == handling_)
        return;
      handling_ = modal;
      ++met;
      handler_(modal);
      handling_ = nullptr;
    });
    timer_.start(10);
  }
  int met = 0;

private:
  std::function<void(QWidget*)> handler_;
  QWidget* handling_ = nullptr;
  QTimer timer_;
};

} // namespace quillary::test

// A Qt Test main on the offscreen platform.
#define QUILLARY_DIALOG_TEST_MAIN(TestClass)                                                       \
  int main(int argc, char** argv) {                                                                \
    qputenv("QT_QPA_PLATFORM", "offscreen");                                                       \
    quillary::test::QtSettingsSandbox settings;                                                    \
    QApplication app(argc, argv);                                                                  \
    TestClass test;                                                                                \
    return QTest::qExec(&test, argc, argv);                                                        \
  }
