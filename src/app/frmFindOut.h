#pragma once

#include "store/BookmarkDocument.h"
#include "store/Find.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace quillary {

// The rows of the find dialog's result list. A model rather than one widget item per row, so that
// tens of thousands of matches fill the list at once.
class TFoundListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetRows(std::vector<FoundBookmark> rows);
  void Clear() { SetRows({}); }
  const std::vector<FoundBookmark>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  std::vector<FoundBookmark> rows_;
};

class TfmFindOut : public QDialog {
  Q_OBJECT
public:
  explicit TfmFindOut(QWidget* parent = nullptr);

  // The collection to search; set by the main window before every show.
  void SetDocument(const BookmarkDocument* document);

  // Runs a search with the dialog's fields. Fails with "No active document" while the collection
  // has no root; the "Find" button hands that error to the application's default handler.
  void btnFindClick();

  QLineEdit* edtCon = nullptr;
  QComboBox* cbxTarget = nullptr;
  QCheckBox* cbxword = nullptr;
  QCheckBox* cbxcase = nullptr;
  QPushButton* btnFind = nullptr;
  QPushButton* btnClose = nullptr;
  QTreeView* lviewSearch = nullptr;
  TFoundListModel* Results = nullptr;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void ResetFields();

  const BookmarkDocument* document_ = nullptr;
};

} // namespace quillary
