#include "app/Mainform.h"

#include "app/Application.h"
#include "app/QtText.h"
#include "app/Views.h"
#include "coordinator/untEI.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "settings/untConfig.h"
#include "settings/untSysConfig.h"

#include "app/HelpCommands.h"
#include "app/frmAbout.h"
#include "app/frmConfig.h"
#include "app/frmFindOut.h"
#include "app/frmOpList.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace quillary {

namespace {

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

void TfmMainform::SetSourceDialog(TfmOpList* dialog) {
  fmOpList = dialog;
  if (!dialog)
    return;
  connect(dialog, &TfmOpList::ImportCompleted, this, &TfmMainform::ShowImportedCollection);
  // The collection's total, whatever the targets held before.
  connect(dialog, &TfmOpList::ExportCompleted, this, [this] { ExportedCount = BookmarkCount; });
}

void TfmMainform::ShowImportedCollection() {
  tviewmain->clear();
  BookmarkCount = 0;
  RebuildTree();
  UpdateStatusBar();
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
