#include "app/Views.h"
#include "app/QtText.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>

#include <array>

namespace quillary {

const QIcon& ViewImage(int index) {
  static const std::array<QIcon, 3> images = [] {
    QStyle* style = QApplication::style();
    return std::array<QIcon, 3>{style->standardIcon(QStyle::SP_DirClosedIcon),
                                style->standardIcon(QStyle::SP_DirOpenIcon),
                                QIcon(QStringLiteral(":/quillary/bookmark.svg"))};
  }();
  return images[static_cast<size_t>(index < 0 || index > 2 ? 0 : index)];
}

TFolderNode::TFolderNode(Tdata data, int selectedImage)
    : QTreeWidgetItem(kType), Data(std::move(data)), selectedImage_(selectedImage) {
  setText(0, Text(Data.name));
  // The icon's selected mode carries the picture shown while the node is selected.
  QIcon icon;
  for (QIcon::State state : {QIcon::Off, QIcon::On}) {
    icon.addPixmap(ViewImage(kImageFolder).pixmap(16, 16), QIcon::Normal, state);
    icon.addPixmap(ViewImage(selectedImage).pixmap(16, 16), QIcon::Selected, state);
  }
  setIcon(0, icon);
  setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

QVariant TFolderNode::data(int column, int role) const {
  if (role == kImageRole)
    return kImageFolder;
  if (role == kSelectedImageRole)
    return selectedImage_;
  return QTreeWidgetItem::data(column, role);
}

Tdata& DataOf(QTreeWidgetItem* node) {
  return static_cast<TFolderNode*>(node)->Data;
}

TFolderTree::TFolderTree(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("tviewmain"));
  setColumnCount(1);
  setHeaderHidden(true);
  setIndentation(19);
  setIconSize(QSize(16, 16));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  setContextMenuPolicy(Qt::PreventContextMenu);
}

void TFolderTree::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);
  emit MousePressed(event->button(), event->position().toPoint(),
                    event->globalPosition().toPoint());
}

void TBookmarkListModel::SetRows(std::vector<ListRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void TBookmarkListModel::Append(ListRow row) {
  const int at = Count();
  beginInsertRows({}, at, at);
  rows_.push_back(std::move(row));
  endInsertRows();
}

void TBookmarkListModel::Remove(int row) {
  beginRemoveRows({}, row, row);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

void TBookmarkListModel::Rename(int row, std::string caption) {
  ListRow& target = rows_[static_cast<size_t>(row)];
  if (target.data)
    target.data->name = caption;
  target.caption = std::move(caption);
  emit dataChanged(index(row, 0), index(row, 1));
}

void TBookmarkListModel::ChangeBookmark(int row, std::string caption, std::string url) {
  rows_[static_cast<size_t>(row)].url = std::move(url);
  Rename(row, std::move(caption));
}

int TBookmarkListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

int TBookmarkListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant TBookmarkListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count())
    return {};
  const ListRow& row = Row(index.row());
  switch (role) {
  case Qt::DisplayRole:
    return Text(index.column() == 0 ? row.caption : row.url);
  case Qt::DecorationRole:
    return index.column() == 0 ? QVariant(ViewImage(row.image)) : QVariant();
  case kImageRole:
    return row.image;
  default:
    return {};
  }
}

QVariant TBookmarkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  return section == 0 ? QStringLiteral("Name") : QStringLiteral("URL");
}

TBookmarkListView::TBookmarkListView(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("lviewmain"));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setIconSize(QSize(16, 16));
  setTabKeyNavigation(false);
  setContextMenuPolicy(Qt::PreventContextMenu);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int TBookmarkListView::SelectedRow() const {
  if (!selectionModel())
    return -1;
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TBookmarkListView::mousePressEvent(QMouseEvent* event) {
  QTableView::mousePressEvent(event);
  emit MousePressed(event->button(), event->position().toPoint(),
                    event->globalPosition().toPoint());
}

} // namespace quillary
