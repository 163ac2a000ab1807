#pragma once

#include <QDialog>

namespace quillary {

class TfmConfig : public QDialog {
  Q_OBJECT
public:
  explicit TfmConfig(QWidget* parent = nullptr);
};

} // namespace quillary
