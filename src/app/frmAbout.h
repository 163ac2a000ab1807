#pragma once

#include <QDialog>

namespace quillary {

class TfmAbout : public QDialog {
  Q_OBJECT
public:
  explicit TfmAbout(QWidget* parent = nullptr);

protected:
  void showEvent(QShowEvent* event) override; // centres the box on the desktop
};

} // namespace quillary
