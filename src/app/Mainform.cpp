#include "app/Mainform.h"

#include "app/Application.h"
#include "app/Views.h"
#include "app/frmAddBookmark.h"
#include "app/frmAddFolder.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "settings/untConfig.h"
#include "settings/untSysConfig.h"
#include "store/untEI.h"

#include "app/HelpCommands.h"
#include "app/frmAbout.h"
#include "app/frmConfig.h"
#include "app/frmFindOut.h"
#include "app/frmOpList.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidgetItemIterator>

namespace quillary {

namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

std::string Text(const QString& text) {
  return text.toStdString();
}

QAction* NewCommand(QObject* owner, const char* objectName, const char* caption) {
  auto* action = new QAction(QString::fromUtf8(caption), owner);
  action->setObjectName(QString::fromUtf8(objectName));
  return action;
}

} // namespace

TfmMainform::TfmMainform(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("fmMainform"));
  setWindowTitle(QStringLiteral("Quillary"));
  OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

  CreateCommands();
  CreateViews();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();

  Tim = new QTimer(this);
  Tim->setObjectName(QStringLiteral("Tim"));
  Tim->setSingleShot(true);
  Tim->setInterval(1);
  connect(Tim, &QTimer::timeout, this, [this] {
    Tim->stop();
    Guarded([this] { actImportExecute(); });
  });

  // The client area is 703 x 489; the menu bar lies outside it.
  resize(703, 489 + menuBar()->sizeHint().height());
}

TfmMainform::~TfmMainform() = default;

void TfmMainform::OnTrigger(QAction* action, void (TfmMainform::*work)()) {
  connect(action, &QAction::triggered, this,
          [this, work] { Guarded([this, work] { (this->*work)(); }); });
}

void TfmMainform::CreateCommands() {
  // A menu shows the text, a toolbar button the icon text, so each keeps its own caption.
  actImport = NewCommand(this, "actImport", "Import from...");
  actImport->setIconText(QStringLiteral("Import"));
  actExport = NewCommand(this, "actExport", "Export to...");
  actExport->setIconText(QStringLiteral("Export"));
  actFindout = NewCommand(this, "actFindout", "Find out");
  actFindout->setIconText(QStringLiteral("  Find out  "));
  actSettings = NewCommand(this, "actSettings", "Settings");
  actExit = NewCommand(this, "actExit", "Exit");
  actAbout = NewCommand(this, "actAbout", "About...");
  actAddfolder = NewCommand(this, "actAddfolder", "Add folder");
  actAddbookmark = NewCommand(this, "actAddbookmark", "Add bookmark");
  actEdit = NewCommand(this, "actEdit", "Edit");
  actDelete = NewCommand(this, "actDelete", "Delete");
  actOpen = NewCommand(this, "actOpen", "Open");
  actShowGrid = NewCommand(this, "actShowGrid", "Show Grid Lines");
  actShowGrid->setCheckable(true);
  actAutoSize = NewCommand(this, "actAutoSize", "Auto Size Columns");
  actAutoSize->setCheckable(true);
  actHelp = NewCommand(this, "actHelp", "Help");
  actWriteToUs = NewCommand(this, "actWriteToUs", "Write to Us");
  actTellAFriend = NewCommand(this, "actTellAFriend", "Tell a Friend");
  actCheckForUpdates = NewCommand(this, "actCheckForUpdates", "Check for Updates");

  QStyle* style = this->style();
  actImport->setIcon(style->standardIcon(QStyle::SP_ArrowDown));
  actExport->setIcon(style->standardIcon(QStyle::SP_ArrowUp));
  actFindout->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
  actSettings->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));
  actHelp->setIcon(style->standardIcon(QStyle::SP_DialogHelpButton));
  actExit->setIcon(style->standardIcon(QStyle::SP_DialogCloseButton));

  OnTrigger(actImport, &TfmMainform::actImportExecute);
  OnTrigger(actExport, &TfmMainform::actExportExecute);
  OnTrigger(actFindout, &TfmMainform::actFindoutExecute);
  OnTrigger(actSettings, &TfmMainform::actSettingsExecute);
  OnTrigger(actAbout, &TfmMainform::actAboutExecute);
  OnTrigger(actAddfolder, &TfmMainform::actAddfolderExecute);
  OnTrigger(actAddbookmark, &TfmMainform::actAddbookmarkExecute);
  OnTrigger(actEdit, &TfmMainform::actEditExecute);
  OnTrigger(actDelete, &TfmMainform::actDeleteExecute);
  OnTrigger(actOpen, &TfmMainform::actOpenExecute);
  OnTrigger(actShowGrid, &TfmMainform::actShowGridExecute);
  OnTrigger(actAutoSize, &TfmMainform::actAutoSizeExecute);
  connect(actExit, &QAction::triggered, this, &QWidget::close);
  connect(actHelp, &QAction::triggered, this, [] { Guarded(help::OpenHelpFile); });
  connect(actWriteToUs, &QAction::triggered, this, [] { Guarded(help::OpenContactPage); });
  connect(actTellAFriend, &QAction::triggered, this, [] { Guarded(help::OpenTellAFriendPage); });
  connect(actCheckForUpdates, &QAction::triggered, this, [] { Guarded(help::OpenUpdatePage); });

  // The popup's own items; the check mark of its "Auto Size Columns" follows the command, so
  // the toggle the menu makes on a click is undone before the command runs.
  popAddfolder = NewCommand(this, "popAddfolder", "Add folder");
  connect(popAddfolder, &QAction::triggered, actAddfolder, &QAction::trigger);
  popShowGrid = NewCommand(this, "popShowGrid", "Show Grid Lines");
  connect(popShowGrid, &QAction::triggered, actShowGrid, &QAction::trigger);
  popAutoSize = NewCommand(this, "popAutoSize", "Auto Size Columns");
  popAutoSize->setCheckable(true);
  connect(popAutoSize, &QAction::triggered, this, [this] {
    popAutoSize->setChecked(!popAutoSize->isChecked());
    actAutoSize->trigger();
  });
}

void TfmMainform::CreateMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("File"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  mnuFile->addAction(actImport);
  mnuFile->addAction(actExport);
  mnuFile->addSeparator();
  mnuFile->addAction(actFindout);
  mnuFile->addSeparator();
  mnuFile->addAction(actExit);

  mnuEdit = menuBar()->addMenu(QStringLiteral("Edit"));
  mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
  mnuEdit->addAction(actAddfolder);
  mnuEdit->addAction(actAddbookmark);
  mnuEdit->addAction(actEdit);
  mnuEdit->addAction(actDelete);
  mnuEdit->addSeparator();
  mnuEdit->addAction(actSettings);

  mnuView = menuBar()->addMenu(QStringLiteral("View"));
  mnuView->setObjectName(QStringLiteral("mnuView"));
  mnuView->addAction(actShowGrid);
  mnuView->addSeparator();
  mnuView->addAction(actAutoSize);

  mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  mnuHelp->addAction(actHelp);
  mnuHelp->addSeparator();
  mnuHelp->addAction(actWriteToUs);
  mnuHelp->addAction(actTellAFriend);
  mnuHelp->addAction(actCheckForUpdates);
  mnuHelp->addSeparator();
  mnuHelp->addAction(actAbout);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  PopupMenu1->addAction(actOpen);
  PopupMenu1->addAction(popAddfolder);
  PopupMenu1->addAction(actAddbookmark);
  PopupMenu1->addAction(actEdit);
  PopupMenu1->addAction(actDelete);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(popShowGrid);
  PopupMenu1->addAction(popAutoSize);
}

void TfmMainform::CreateToolBar() {
  ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  ToolBar1->setIconSize(QSize(24, 24));
  for (QAction* action : {actImport, actExport, actFindout, actSettings, actHelp, actExit}) {
    ToolBar1->addAction(action);
    if (QWidget* button = ToolBar1->widgetForAction(action))
      button->setMinimumSize(58, 44);
  }
}

void TfmMainform::CreateViews() {
  auto* tree = new TFolderTree;
  tviewmain = tree;
  lviewmain = new TBookmarkListView;
  ListRows = new TBookmarkListModel(lviewmain);
  lviewmain->setModel(ListRows);
  ApplyColumnSizing();

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName(QStringLiteral("Splitter1"));
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(tviewmain);
  splitter->addWidget(lviewmain);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({185, 518});
  setCentralWidget(splitter);

  // The selection, not the current item: the view makes a node current without selecting it
  // when it gets the focus, and that opens nothing.
  connect(tviewmain, &QTreeWidget::itemSelectionChanged, this,
          [this] { Guarded([this] { tviewmainChange(SelectedNode()); }); });
  connect(tree, &TFolderTree::MousePressed, this, [this](Qt::MouseButton b, QPoint p, QPoint g) {
    Guarded([&] { tviewmainMouseDown(b, p, g); });
  });
  connect(lviewmain, &TBookmarkListView::MousePressed, this,
          [this](Qt::MouseButton b, QPoint p, QPoint g) {
            Guarded([&] { lviewmainMouseDown(b, p, g); });
          });
  connect(lviewmain, &QAbstractItemView::doubleClicked, this,
          [this] { Guarded([this] { lviewmainDblClick(); }); });
}

void TfmMainform::CreateStatusBar() {
  auto* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  bar->setSizeGripEnabled(true);
  pnlToday = new QLabel(bar);
  pnlToday->setObjectName(QStringLiteral("pnlToday"));
  pnlToday->setFixedWidth(200);
  pnlImport = new QLabel(bar);
  pnlImport->setObjectName(QStringLiteral("pnlImport"));
  pnlImport->setFixedWidth(200);
  pnlTotal = new QLabel(bar);
  pnlTotal->setObjectName(QStringLiteral("pnlTotal"));
  bar->addWidget(pnlToday);
  bar->addWidget(pnlImport);
  bar->addWidget(pnlTotal, 1);
}

void TfmMainform::showEvent(QShowEvent* event) {
  if (!shown_) {
    shown_ = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
    // An error ends the start-up steps where it happened; the window opens with what was done.
    Guarded([this] { FormShow(); });
  }
  QMainWindow::showEvent(event);
}

void TfmMainform::FormShow() {
  BookmarkCount = 0;
  {
    TSysConfig detection;
    detection.ForceWrite = false;
    detection.DetectBrowsers();
  }
  LoadCollection();
  UpdateStatusBar();
  if (platform::Current().GetUserState().ReadIsStart().empty())
    Tim->start();
}

void TfmMainform::closeEvent(QCloseEvent* event) {
  // A failed save keeps the window open, so the user can close it again.
  if (Guarded([this] { TEI().SaveStore(xmlmain); }))
    event->accept();
  else
    event->ignore();
}

void TfmMainform::LoadCollection() {
  tviewmain->clear();
  TEI tei;
  const std::string path = tei.GetStorePath();
  if (platform::FileExists(path)) {
    tei.ReadBookmarkFile(xmlmain, {});
    RebuildTree();
  }
}

void TfmMainform::UpdateStatusBar() {
  const std::string importDate = TConfig().GetImportDate();
  if (!importDate.empty())
    pnlImport->setText(QStringLiteral("Last import: ") + Text(importDate));
  pnlToday->setText(QStringLiteral("Today: ") +
                    Text(platform::Current().GetSystemInfo().ShortDateToday()));
  pnlTotal->setText(QStringLiteral("Total Bookmarks: ") + QString::number(BookmarkCount));
}

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

void TfmMainform::actAddfolderExecute() {
  QTreeWidgetItem* selected = SelectedNode();
  if (!selected || !fmAddFolder)
    return;
  fmAddFolder->Mode = TDialogMode::Create;
  fmAddFolder->edtFName->clear();
  if (fmAddFolder->exec() != QDialog::Accepted)
    return;
  const std::string name = Text(fmAddFolder->edtFName->text());
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
  fmAddBookmark->edtName->clear();
  fmAddBookmark->edtUrl->clear();
  if (fmAddBookmark->exec() != QDialog::Accepted)
    return;
  const std::string name = Text(fmAddBookmark->edtName->text());
  const std::string url = Text(fmAddBookmark->edtUrl->text());
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
  fmAddFolder->edtFName->setText(node->text(0));
  if (fmAddFolder->exec() != QDialog::Accepted)
    return;
  const std::string name = Text(fmAddFolder->edtFName->text());
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
  fmAddFolder->edtFName->setText(Text(selected.caption));
  if (fmAddFolder->exec() != QDialog::Accepted)
    return;
  ListRows->Rename(row, Text(fmAddFolder->edtFName->text()));
  const Tdata data = ListRows->Row(row).data.value_or(Tdata{});
  SyncFolderNode(data, TSyncAction::Rename);
  FolderAction(data.gid, data, {}, {}, TFolderAction::Rename);
}

void TfmMainform::EditBookmarkRow(int row) {
  if (!fmAddBookmark)
    return;
  const ListRow& selected = ListRows->Row(row);
  fmAddBookmark->Mode = TDialogMode::Edit;
  fmAddBookmark->edtName->setText(Text(selected.caption));
  fmAddBookmark->edtUrl->setText(Text(selected.url));
  if (fmAddBookmark->exec() != QDialog::Accepted)
    return;
  const std::string name = Text(fmAddBookmark->edtName->text());
  const std::string url = Text(fmAddBookmark->edtUrl->text());
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

void TfmMainform::actImportExecute() {
  if (!fmOpList)
    return;
  fmOpList->ExportMode = false;
  fmOpList->exec();
}

void TfmMainform::actExportExecute() {
  if (!fmOpList)
    return;
  fmOpList->ExportMode = true;
  if (fmOpList->exec() != QDialog::Accepted)
    return;
  QMessageBox::information(
      this, QStringLiteral("Quillary"),
      QStringLiteral("%1 bookmarks were successfully exported!!").arg(ExportedCount));
}

void TfmMainform::actFindoutExecute() {
  if (!fmFindOut)
    return;
  fmFindOut->SetDocument(&xmlmain);
  fmFindOut->exec();
}

void TfmMainform::actSettingsExecute() {
  if (fmConfig)
    fmConfig->exec();
}

void TfmMainform::actAboutExecute() {
  if (fmAbout)
    fmAbout->exec();
}

} // namespace quillary
