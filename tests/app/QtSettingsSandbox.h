#pragma once

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

namespace quillary::test {

// Qt fixes the folder of its own settings (a file dialog remembers its last folder there, written
// when the application ends) at their first use, which would be inside one test's temporary
// home, recreated after that home is gone. Made before the application object, this keeps them
// in a folder of the run's own, removed after the application has written them.
class QtSettingsSandbox {
public:
  QtSettingsSandbox() : dir_(QDir::tempPath() + QStringLiteral("/quillary-qt-settings-XXXXXX")) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
  }

private:
  QTemporaryDir dir_;
};

} // namespace quillary::test
