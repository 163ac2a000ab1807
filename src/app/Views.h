#pragma once

#include "store/FolderWalk.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QTableView>
#include <QTreeWidget>

#include <vector>

// The two views of the main window: the folder tree, whose nodes own their Tdata, and the
// bookmark list, a model over rows that own theirs (a model, so that a folder of tens of
// thousands of bookmarks lists at once).
namespace quillary {

// The image list both views share: 0 closed folder, 1 open folder, 2 bookmark.
const QIcon& ViewImage(int index);

// The item role that tells a node's or row's image index (and, for nodes, the selected one).
inline constexpr int kImageRole = Qt::UserRole + 1;
inline constexpr int kSelectedImageRole = Qt::UserRole + 2;

class TFolderNode : public QTreeWidgetItem {
public:
  static constexpr int kType = QTreeWidgetItem::UserType + 1;
  // selectedImage is the picture while selected: 1 for built nodes, 0 for added ones.
  TFolderNode(Tdata data, int selectedImage);

  QVariant data(int column, int role) const override;

  Tdata Data;

private:
  int selectedImage_;
};

// The record of a node; every node of the tree is a TFolderNode.
Tdata& DataOf(QTreeWidgetItem* node);

// Reports mouse presses after the view has handled them, so the handlers see the new selection.
class TFolderTree : public QTreeWidget {
  Q_OBJECT
public:
  explicit TFolderTree(QWidget* parent = nullptr);

signals:
  void MousePressed(Qt::MouseButton button, QPoint position, QPoint globalPosition);

protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class TBookmarkListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetRows(std::vector<ListRow> rows);
  void Clear() { SetRows({}); }
  void Append(ListRow row);
  void Remove(int row);
  // Caption, URL and the record's name of a row, as Edit leaves them.
  void Rename(int row, std::string caption);
  void ChangeBookmark(int row, std::string caption, std::string url);

  const ListRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }
  int Count() const { return static_cast<int>(rows_.size()); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

private:
  std::vector<ListRow> rows_;
};

class TBookmarkListView : public QTableView {
  Q_OBJECT
public:
  explicit TBookmarkListView(QWidget* parent = nullptr);

  // The selected row, or -1.
  int SelectedRow() const;

signals:
  void MousePressed(Qt::MouseButton button, QPoint position, QPoint globalPosition);

protected:
  void mousePressEvent(QMouseEvent* event) override;
};

} // namespace quillary
