#pragma once

#include <QDialog>

namespace quillary {

class TfmAbout : public QDialog {
  Q_OBJECT
public:
  explicit TfmAbout(QWidget* parent = nullptr);
};

} // namespace quillary
