#pragma once

#include "store/BookmarkDocument.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>

#include <string>
#include <type_traits>
#include <vector>

// The window benchmarks' floors: the toolkit's own widgets over a plain model, doing what the
// window does with the same rows, and nothing of Quillary's.
namespace quillary::bench {

struct TextRow {
  std::string name;
  std::string url;
};

// The name and address of every child of the folder, as a list shows them.
std::vector<TextRow> RowsOf(Node folder);

// Two text columns over a vector of rows.
class BareListModel : public QAbstractTableModel {
public:
  void SetRows(std::vector<TextRow> rows);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  std::vector<TextRow> rows_;
};

// A shown view of the given kind and size over a BareListModel; Show puts rows in and paints them.
template <class View> class BareList {
public:
  explicit BareList(QSize size) {
    // The settings the toolkit offers for long lists of one-line rows.
    if constexpr (std::is_same_v<View, QTreeView>) {
      view_.setRootIsDecorated(false);
      view_.setUniformRowHeights(true);
    } else {
      view_.verticalHeader()->hide();
      view_.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
    view_.setModel(&model_);
    view_.resize(size);
    view_.show();
    QCoreApplication::processEvents();
  }
  void Show(std::vector<TextRow> rows) {
    model_.SetRows(std::move(rows));
    QCoreApplication::processEvents();
    view_.viewport()->repaint();
  }

private:
  BareListModel model_;
  View view_;
};

using BareTable = BareList<QTableView>;
using BareTreeList = BareList<QTreeView>;

// A shown tree widget with one item per folder of the document, nested as the folders are.
class BareFolderTree {
public:
  explicit BareFolderTree(const BookmarkDocument& document);

private:
  QTreeWidget tree_;
};

// Keeps the offscreen platform's note that it cannot pass size hints on, printed for every window
// shown, out of the figures; every other message still goes through.
void DropSizeHintNotes();

// A dialog with a line edit and an OK button, shown modally, typed into and accepted.
void BareDialogRoundTrip();

} // namespace quillary::bench
