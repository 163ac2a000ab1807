#pragma once

#include "store/BookmarkDocument.h"

#include <QDialog>

namespace quillary {

class TfmFindOut : public QDialog {
  Q_OBJECT
public:
  explicit TfmFindOut(QWidget* parent = nullptr);

  // The collection to search; set by the main window before every show.
  void SetDocument(const BookmarkDocument* document);
};

} // namespace quillary
