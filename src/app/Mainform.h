#pragma once

// The main window: the folder tree and the bookmark list over the collection, the menus, the
// toolbar and the commands.
#include "store/BookmarkDocument.h"
#include "store/FolderWalk.h"

#include <QMainWindow>
#include <QTreeWidget>
#include <QUrl>

#include <functional>
#include <string_view>

class QLabel;
class QMenu;
class QTimer;
class QToolBar;

namespace quillary {

class TBookmarkListModel;
class TBookmarkListView;
class TFolderTree;
class TfmAbout;
class TfmAddBookmark;
class TfmAddFolder;
class TfmConfig;
class TfmFindOut;
class TfmOpList;

// Which view the mouse was last pressed in; the values are the popup menu's tags.
enum class TViewContext : int { None = 0, Tree = 1010, List = 1011 };

class TfmMainform : public QMainWindow {
  Q_OBJECT
public:
  explicit TfmMainform(QWidget* parent = nullptr);
  ~TfmMainform() override;

  BookmarkDocument xmlmain;         // the collection
  QTreeWidget* tviewmain = nullptr; // the folder tree
  TBookmarkListView* lviewmain = nullptr;
  TBookmarkListModel* ListRows = nullptr; // the rows lviewmain shows
  int BookmarkCount = 0;
  int ExportedCount = 0;
  TViewContext ViewContext = TViewContext::None;

  // The dialogs, made once by CreateWindows and owned as children of this window. A dialog
  // that is not there leaves its command doing nothing.
  TfmAbout* fmAbout = nullptr;
  TfmAddBookmark* fmAddBookmark = nullptr;
  TfmAddFolder* fmAddFolder = nullptr;
  TfmConfig* fmConfig = nullptr;
  TfmFindOut* fmFindOut = nullptr;
  TfmOpList* fmOpList = nullptr;

  // Hands the window its source dialog and follows the runs it makes.
  void SetSourceDialog(TfmOpList* dialog);

  // The commands; one object each, shared by menu items, toolbar buttons and popup items.
  QAction* actImport = nullptr;
  QAction* actExport = nullptr;
  QAction* actFindout = nullptr;
  QAction* actSettings = nullptr;
  QAction* actExit = nullptr;
  QAction* actAbout = nullptr;
  QAction* actAddfolder = nullptr;
  QAction* actAddbookmark = nullptr;
  QAction* actEdit = nullptr;
  QAction* actDelete = nullptr;
  QAction* actOpen = nullptr;
  QAction* actShowGrid = nullptr;
  QAction* actAutoSize = nullptr;
  QAction* actHelp = nullptr;
  QAction* actWriteToUs = nullptr;
  QAction* actTellAFriend = nullptr;
  QAction* actCheckForUpdates = nullptr;

  // The popup menu both views share. Its "Add folder", "Show Grid Lines" and "Auto Size
  // Columns" items keep enable and check states of their own, apart from the menu bar's, so
  // they are items that trigger the command rather than the command itself.
  QMenu* PopupMenu1 = nullptr;
  QAction* popAddfolder = nullptr;
  QAction* popShowGrid = nullptr;
  QAction* popAutoSize = nullptr;

  QMenu* mnuFile = nullptr;
  QMenu* mnuEdit = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuHelp = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QLabel* pnlToday = nullptr;
  QLabel* pnlImport = nullptr;
  QLabel* pnlTotal = nullptr;
  QTimer* Tim = nullptr; // the first-start import

  // Where actOpen sends an address; the desktop's default handler unless a test replaces it.
  std::function<void(const QUrl&)> OpenUrl;

  void RebuildTree();
  void BuildFolderNodes(Node first, QTreeWidgetItem* parent);
  void FillList(Node first);
  bool FolderAction(std::string_view gid, const Tdata& data, std::string_view url,
                    std::string_view name, TFolderAction action);
  bool BookmarkAction(const Tdata& data, std::string_view name, TBookmarkAction action,
                      std::string_view url);
  void SyncFolderNode(const Tdata& data, TSyncAction action);
  void ApplyColumnSizing();
  void UpdateStatusBar();
  void LoadCollection();
  // After an import run: the tree built again from the collection, recounted, and the status bar.
  void ShowImportedCollection();

  // The start-up steps; run once, when the window is first shown.
  void FormShow();

  void actImportExecute();
  void actExportExecute();
  void actFindoutExecute();
  void actSettingsExecute();
  void actAboutExecute();
  void actAddfolderExecute();
  void actAddbookmarkExecute();
  void actEditExecute();
  void actDeleteExecute();
  void actOpenExecute();
  void actShowGridExecute();
  void actAutoSizeExecute();

  void tviewmainChange(QTreeWidgetItem* node);
  void tviewmainMouseDown(Qt::MouseButton button, QPoint position, QPoint globalPosition);
  void lviewmainMouseDown(Qt::MouseButton button, QPoint position, QPoint globalPosition);
  void lviewmainDblClick();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void CreateCommands();
  void CreateMenus();
  void CreateToolBar();
  void CreateViews();
  void CreateStatusBar();
  // Connects a command to its work through the default error handler.
  void OnTrigger(QAction* action, void (TfmMainform::*work)());
  void SetEditItemsEnabled(bool enabled);
  void EditFolderNode(QTreeWidgetItem* node);
  void EditListRow(int row);
  void EditBookmarkRow(int row);
  bool AskDelete();
  QTreeWidgetItem* SelectedNode() const;

  bool shown_ = false;
};

} // namespace quillary
