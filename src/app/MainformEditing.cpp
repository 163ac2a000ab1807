// The editing commands: add, edit and delete folders and bookmarks in either view.
#include "app/Mainform.h"

#include "app/Application.h"
#include "app/QtText.h"
#include "app/Views.h"
#include "app/frmAddBookmark.h"
#include "app/frmAddFolder.h"

#include <QMessageBox>

namespace quillary {

void TfmMainform::actAddfolderExecute() {
  QTreeWidgetItem* selected = SelectedNode();
  if (!selected || !fmAddFolder)
    return;
  fmAddFolder->Mode = TDialogMode::Create;
  fmAddFolder->setName({});
  if (fmAddFolder->exec() != QDialog::Accepted)
    return;
  const std::string name = fmAddFolder->name();
  Tdata data{name, NewGid()};
  selected->addChild(new TFolderNode(data, kImageFolder));
  const Tdata parent = DataOf(selected);
  FolderAction(parent.gid, data, {}, {}, TFolderAction::AddFolder);
  ListRows->Append(ListRow{kImageFolder, name, {}, data});
}

void TfmMainform::actAddbookmarkExecute() {
  QTreeWidgetItem* selected = SelectedNode();
  if (!selected || !fmAddBookmark)
    return;
  fmAddBookmark->Mode = TDialogMode::Create;
  fmAddBookmark->setName({});
  fmAddBookmark->setUrl({});
  if (fmAddBookmark->exec() != QDialog::Accepted)
    return;
  const std::string name = fmAddBookmark->name();
  const std::string url = fmAddBookmark->url();
  Tdata data{name, NewGid()};
  ListRows->Append(ListRow{kImageBookmark, name, url, data});
  const Tdata parent = DataOf(selected);
  FolderAction(parent.gid, data, url, name, TFolderAction::AddBookmark);
  ++BookmarkCount;
}

void TfmMainform::actEditExecute() {
  if (ViewContext == TViewContext::Tree) {
    QTreeWidgetItem* selected = SelectedNode();
    if (selected && !IsRootNode(Text(selected->text(0)), selected->parent() != nullptr))
      EditFolderNode(selected);
  } else if (ViewContext == TViewContext::List) {
    const int row = lviewmain->SelectedRow();
    if (row >= 0)
      EditListRow(row);
  }
}

void TfmMainform::EditFolderNode(QTreeWidgetItem* node) {
  if (!fmAddFolder)
    return;
  fmAddFolder->Mode = TDialogMode::Edit;
  fmAddFolder->setName(DataOf(node).name);
  if (fmAddFolder->exec() != QDialog::Accepted)
    return;
  const std::string name = fmAddFolder->name();
  node->setText(0, Text(name));
  DataOf(node).name = name;
  const Tdata data = DataOf(node);
  FolderAction(data.gid, data, {}, {}, TFolderAction::Rename);
}

void TfmMainform::EditListRow(int row) {
  const ListRow& selected = ListRows->Row(row);
  switch (RowKindOf(selected.image, selected.caption)) {
  case TRowKind::Parent:
    return;
  case TRowKind::Bookmark:
    EditBookmarkRow(row);
    return;
  case TRowKind::Folder:
    break;
  }
  if (!fmAddFolder)
    return;
  fmAddFolder->Mode = TDialogMode::Edit;
  fmAddFolder->setName(selected.caption);
  if (fmAddFolder->exec() != QDialog::Accepted)
    return;
  ListRows->Rename(row, fmAddFolder->name());
  const Tdata data = ListRows->Row(row).data.value_or(Tdata{});
  SyncFolderNode(data, TSyncAction::Rename);
  FolderAction(data.gid, data, {}, {}, TFolderAction::Rename);
}

void TfmMainform::EditBookmarkRow(int row) {
  if (!fmAddBookmark)
    return;
  const ListRow& selected = ListRows->Row(row);
  fmAddBookmark->Mode = TDialogMode::Edit;
  fmAddBookmark->setName(selected.caption);
  fmAddBookmark->setUrl(selected.url);
  if (fmAddBookmark->exec() != QDialog::Accepted)
    return;
  const std::string name = fmAddBookmark->name();
  const std::string url = fmAddBookmark->url();
  ListRows->ChangeBookmark(row, name, url);
  const Tdata data = ListRows->Row(row).data.value_or(Tdata{});
  BookmarkAction(data, name, TBookmarkAction::Change, url);
}

bool TfmMainform::AskDelete() {
  return QMessageBox::warning(this, QStringLiteral("Quillary"),
                              QStringLiteral("Do you realy want to delete selected item?"),
                              QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Cancel;
}

void TfmMainform::actDeleteExecute() {
  if (ViewContext == TViewContext::Tree) {
    QTreeWidgetItem* selected = SelectedNode();
    if (!selected || IsRootNode(Text(selected->text(0)), selected->parent() != nullptr))
      return;
    if (!AskDelete())
      return;
    const Tdata data = DataOf(selected);
    FolderAction(data.gid, data, {}, {}, TFolderAction::Delete);
    delete selected;
    // The node that became current takes the selection and is listed, as a native tree does.
    if (QTreeWidgetItem* next = tviewmain->currentItem())
      next->setSelected(true);
    ListRows->Clear();
  } else if (ViewContext == TViewContext::List) {
    const int row = lviewmain->SelectedRow();
    if (row < 0 || !AskDelete())
      return;
    const ListRow& selected = ListRows->Row(row);
    const TRowKind kind = RowKindOf(selected.image, selected.caption);
    if (kind == TRowKind::Parent)
      return;
    const Tdata data = selected.data.value_or(Tdata{});
    if (kind == TRowKind::Folder) {
      FolderAction(data.gid, data, {}, {}, TFolderAction::Delete);
      SyncFolderNode(data, TSyncAction::Delete);
      ListRows->Remove(row);
    } else {
      BookmarkAction(data, {}, TBookmarkAction::Delete, {});
      ListRows->Remove(row);
      --BookmarkCount;
    }
  }
}

} // namespace quillary
