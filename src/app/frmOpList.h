#pragma once

#include <QDialog>

namespace quillary {

class TfmMainform;

// The import/export source dialog.
class TfmOpList : public QDialog {
  Q_OBJECT
public:
  TfmOpList(TfmMainform& mainform, QWidget* parent = nullptr);

  bool ExportMode = false; // set by the main window before showing
};

} // namespace quillary
