// The folder tree and the bookmark list: building, listing, the lookups that keep them in step
// with the document, the mouse and the view commands.
#include "app/Mainform.h"

#include "app/Application.h"
#include "app/QtText.h"
#include "app/Views.h"

#include <QHeaderView>
#include <QMenu>
#include <QTreeWidgetItemIterator>

namespace quillary {

void TfmMainform::RebuildTree() {
  Node root = Root(xmlmain);
  if (!root)
    return;
  BuildFolderNodes(root, nullptr);
  if (QTreeWidgetItem* selected = SelectedNode())
    tviewmain->expandRecursively(tviewmain->indexFromItem(selected));
}

void TfmMainform::BuildFolderNodes(Node first, QTreeWidgetItem* parent) {
  for (Node node = first; node; node = node.next_sibling()) {
    if (IsFolder(node)) {
      auto* item = new TFolderNode(Tdata{GetAttribute(node, "name"), GetAttribute(node, "gid")},
                                   kImageFolderOpen);
      if (parent) {
        parent->addChild(item);
        if (node.first_child())
          BuildFolderNodes(node.first_child(), item);
        continue;
      }
      // A top-level node gets its subtree before it joins the view, so that the view takes the
      // whole tree in one insertion; selecting it lists the root from the document either way.
      if (node.first_child())
        BuildFolderNodes(node.first_child(), item);
      tviewmain->addTopLevelItem(item);
      if (IsRootNode(Text(item->text(0)), false))
        tviewmain->setCurrentItem(item);
    } else if (IsBookmark(node)) {
      ++BookmarkCount;
    }
  }
}

void TfmMainform::FillList(Node first) {
  QTreeWidgetItem* selected = SelectedNode();
  ListRows->SetRows(ListRowsOf(first, selected && selected->parent()));
}

bool TfmMainform::FolderAction(std::string_view gid, const Tdata& data, std::string_view url,
                               std::string_view name, TFolderAction action) {
  // Copies: opening refills the views, which releases the records the arguments may belong to.
  const std::string sought(gid);
  const Tdata record = data;
  Node folder = quillary::FolderAction(Root(xmlmain), sought, record, url, name, action);
  if (!folder)
    return false;
  if (action == TFolderAction::Open) {
    SyncFolderNode(record, TSyncAction::Select);
    FillList(folder.first_child());
  }
  return true;
}

bool TfmMainform::BookmarkAction(const Tdata& data, std::string_view name, TBookmarkAction action,
                                 std::string_view url) {
  return quillary::BookmarkAction(Root(xmlmain), data, name, action, url);
}

void TfmMainform::SyncFolderNode(const Tdata& data, TSyncAction action) {
  QTreeWidgetItem* selected = SelectedNode();
  if (!selected || DataOf(selected).gid == data.gid || selected->childCount() == 0)
    return;
  // Depth-first from the selected node's first child: its descendants, then the nodes after it.
  for (QTreeWidgetItemIterator it(selected->child(0)); *it; ++it) {
    QTreeWidgetItem* node = *it;
    if (DataOf(node).gid != data.gid)
      continue;
    switch (action) {
    case TSyncAction::Select:
      tviewmain->setCurrentItem(node);
      break;
    case TSyncAction::Rename:
      node->setText(0, Text(data.name));
      DataOf(node).name = data.name;
      break;
    case TSyncAction::Delete:
      delete node;
      break;
    }
    return;
  }
}

void TfmMainform::ApplyColumnSizing() {
  QHeaderView* header = lviewmain->horizontalHeader();
  if (actAutoSize->isChecked()) {
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
  } else {
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->resizeSection(0, 160);
    header->resizeSection(1, 350);
  }
}

QTreeWidgetItem* TfmMainform::SelectedNode() const {
  const QList<QTreeWidgetItem*> selected = tviewmain->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void TfmMainform::tviewmainChange(QTreeWidgetItem* node) {
  if (!node)
    return;
  ListRows->Clear();
  const Tdata data = DataOf(node);
  FolderAction(data.gid, data, {}, {}, TFolderAction::Open);
  if (actAutoSize->isChecked())
    ApplyColumnSizing();
}

void TfmMainform::SetEditItemsEnabled(bool enabled) {
  // The Edit menu and the popup show the same two command objects.
  actEdit->setEnabled(enabled);
  actDelete->setEnabled(enabled);
}

void TfmMainform::tviewmainMouseDown(Qt::MouseButton button, QPoint position,
                                     QPoint globalPosition) {
  QTreeWidgetItem* selected = SelectedNode();
  if (!selected)
    return;
  ViewContext = TViewContext::Tree;
  const auto notRoot = [](QTreeWidgetItem* node) {
    return !IsRootNode(Text(node->text(0)), node->parent() != nullptr);
  };
  SetEditItemsEnabled(notRoot(selected));
  if (button != Qt::RightButton)
    return;
  actOpen->setEnabled(false);
  popShowGrid->setEnabled(false);
  popAutoSize->setEnabled(false);
  if (QTreeWidgetItem* under = tviewmain->itemAt(position)) {
    popAddfolder->setEnabled(true);
    tviewmain->setCurrentItem(under);
  } else {
    popAddfolder->setEnabled(false);
  }
  if (QTreeWidgetItem* now = SelectedNode())
    SetEditItemsEnabled(notRoot(now));
  PopupMenu1->popup(globalPosition);
}

void TfmMainform::lviewmainMouseDown(Qt::MouseButton button, QPoint, QPoint globalPosition) {
  ViewContext = TViewContext::List;
  SetEditItemsEnabled(true);
  if (button != Qt::RightButton)
    return;
  const int row = lviewmain->SelectedRow();
  actOpen->setEnabled(row >= 0 && RowKindOf(ListRows->Row(row).image, ListRows->Row(row).caption) ==
                                      TRowKind::Bookmark);
  popShowGrid->setEnabled(true);
  popAutoSize->setEnabled(true);
  PopupMenu1->popup(globalPosition);
}

void TfmMainform::lviewmainDblClick() {
  const int row = lviewmain->SelectedRow();
  if (row < 0)
    return;
  const ListRow& clicked = ListRows->Row(row);
  switch (RowKindOf(clicked.image, clicked.caption)) {
  case TRowKind::Folder: {
    const Tdata data = clicked.data.value_or(Tdata{});
    FolderAction(data.gid, data, {}, {}, TFolderAction::Open);
    break;
  }
  case TRowKind::Parent: {
    QTreeWidgetItem* selected = SelectedNode();
    QTreeWidgetItem* target = selected ? selected->parent() : nullptr;
    if (target)
      tviewmain->setCurrentItem(target);
    else
      target = tviewmain->topLevelItem(0);
    if (target) {
      const Tdata data = DataOf(target);
      FolderAction(data.gid, data, {}, {}, TFolderAction::Open);
    }
    break;
  }
  case TRowKind::Bookmark:
    EditBookmarkRow(row);
    break;
  }
}

void TfmMainform::actOpenExecute() {
  const int row = lviewmain->SelectedRow();
  if (row < 0)
    return;
  const ListRow& selected = ListRows->Row(row);
  if (RowKindOf(selected.image, selected.caption) != TRowKind::Bookmark)
    return;
  OpenUrl(QUrl(Text(selected.url), QUrl::TolerantMode));
}

void TfmMainform::actShowGridExecute() {
  // The View menu item is this command; its check mark has already switched.
  const bool on = actShowGrid->isChecked();
  lviewmain->setShowGrid(on);
  const QString caption =
      on ? QStringLiteral("Hide Grid Lines") : QStringLiteral("Show Grid Lines");
  actShowGrid->setText(caption);
  popShowGrid->setText(caption);
}

void TfmMainform::actAutoSizeExecute() {
  // The View menu item is this command and has switched already; the popup item follows.
  popAutoSize->setChecked(!popAutoSize->isChecked());
  ApplyColumnSizing();
}

} // namespace quillary
