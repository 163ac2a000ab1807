#include "BareViews.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillary::bench {

std::vector<TextRow> RowsOf(Node folder) {
  std::vector<TextRow> rows;
  for (pugi::xml_node child : folder.children())
    rows.push_back({child.attribute("name").value(), child.attribute("url").value()});
  return rows;
}

void BareListModel::SetRows(std::vector<TextRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int BareListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BareListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant BareListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid())
    return {};
  const TextRow& row = rows_[static_cast<std::size_t>(index.row())];
  return QString::fromStdString(index.column() == 0 ? row.name : row.url);
}

BareFolderTree::BareFolderTree(const BookmarkDocument& document) {
  // Depth first without recursion: each folder's item goes below its parent folder's item.
  std::vector<std::pair<pugi::xml_node, QTreeWidgetItem*>> open{
      {document.document_element(), new QTreeWidgetItem(&tree_, {QStringLiteral("bookmarks")})}};
  while (!open.empty()) {
    const auto [folder, item] = open.back();
    open.pop_back();
    for (pugi::xml_node child : folder.children("folder"))
      open.emplace_back(
          child, new QTreeWidgetItem(item, {QString::fromUtf8(child.attribute("name").value())}));
  }
  tree_.topLevelItem(0)->setExpanded(true);
  tree_.resize(300, 600);
  tree_.show();
  QCoreApplication::processEvents();
  tree_.viewport()->repaint();
}

void DropSizeHintNotes() {
  static const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.contains(QLatin1String("does not support propagateSizeHints")))
          previous(type, context, message);
      });
}

void BareDialogRoundTrip() {
  QDialog dialog;
  auto* layout = new QVBoxLayout(&dialog);
  auto* edit = new QLineEdit(&dialog);
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  layout->addWidget(edit);
  layout->addWidget(ok);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QMetaObject::invokeMethod(
      &dialog,
      [edit, ok] {
        edit->setText(QStringLiteral("Benchmark folder"));
        ok->click();
      },
      Qt::QueuedConnection);
  dialog.exec();
}

} // namespace quillary::bench
