#pragma once

// Skeleton of the main window's interface that the dialogs rely on; the main window's own work
// fills in the rest.
#include "store/BookmarkDocument.h"

#include <QMainWindow>
#include <QTreeWidget>

namespace quillary {

class TfmMainform : public QMainWindow {
  Q_OBJECT
public:
  explicit TfmMainform(QWidget* parent = nullptr);

  BookmarkDocument xmlmain;        // the collection
  QTreeWidget* tviewmain = nullptr; // the folder tree
  int BookmarkCount = 0;
  int ExportedCount = 0;

  void RebuildTree();
  void UpdateStatusBar();
};

} // namespace quillary
