// The main window against real widgets: start-up, the views, the editing commands and dialogs.
#include "QtSettingsSandbox.h"
#include "test_mainform_support.h"

#include "app/Application.h"
#include "app/HelpCommands.h"
#include "app/frmAddBookmark.h"
#include "app/frmAddFolder.h"
#include "app/frmFindOut.h"
#include "app/frmOpList.h"
#include "coordinator/untEI.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "settings/untConfig.h"
#include "store/FolderWalk.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <filesystem>
#include <memory>

using namespace quillary;
using namespace quillary::guitest;

namespace {

QStringList ItemTexts(const QList<QAction*>& actions) {
  QStringList texts;
  for (QAction* action : actions)
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  return texts;
}

} // namespace

class TestMainform : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<TScopedHome> home_;
  TWindows windows_;

  TfmMainform& Main() { return *windows_.Mainform; }
  Node DocRoot() { return Root(Main().xmlmain); }
  void Create(bool firstRun) {
    if (!firstRun)
      platform::Current().GetUserState().WriteIsStart("TRUE");
    windows_ = CreateWindows();
  }
  void Start(bool firstRun = false) {
    Create(firstRun);
    Main().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Main()));
  }
  // The source dialog's next show: records its mode and cancels it.
  void CancelSourceDialog(int* shows, bool* exportMode) {
    OnNextModalOf("quillary::TfmOpList", [shows, exportMode](QWidget* modal) {
      auto* dialog = static_cast<TfmOpList*>(modal);
      ++*shows;
      *exportMode = dialog->ExportMode;
      dialog->btnCancel->click();
    });
  }
  void StartWithCollection() {
    WriteStore(kCollection);
    Start();
  }
  QTreeWidgetItem* TreeNode(const char* text, int occurrence = 0) {
    return NodeByText(Main().tviewmain, QString::fromUtf8(text), occurrence);
  }
  int Row(const char* caption) { return RowByCaption(*Main().ListRows, caption); }
  // Selects a folder in the tree by clicking it.
  void Open(const char* text) {
    QTreeWidgetItem* node = TreeNode(text);
    QVERIFY(node);
    ClickNode(Main().tviewmain, node);
    QCOMPARE(Main().tviewmain->currentItem(), node);
  }
  void Close() {
    if (windows_.Mainform && windows_.Mainform->isVisible())
      windows_.Mainform->close();
  }

private slots:
  void init() { home_ = std::make_unique<TScopedHome>(); }

  void cleanup() {
    CancelModalHands();
    windows_ = TWindows{};
    home_.reset();
  }

  void firstRunWithoutStoreFileOpensEmptyAndTheImportDialog() {
    int shows = 0;
    bool exportMode = true;
    Create(true);
    CancelSourceDialog(&shows, &exportMode);
    Main().show();
    QVERIFY(Main().Tim->isActive());
    QCOMPARE(Main().Tim->interval(), 1);
    QTRY_COMPARE(shows, 1);
    QVERIFY(!exportMode);
    QVERIFY(!Main().Tim->isActive());
    QCOMPARE(Main().tviewmain->topLevelItemCount(), 0);
    QCOMPARE(Main().ListRows->Count(), 0);
    QVERIFY(!DocRoot());
    const QString today =
        QString::fromStdString(platform::Current().GetSystemInfo().ShortDateToday());
    QCOMPARE(Main().pnlToday->text(), QStringLiteral("Today: ") + today);
    QCOMPARE(Main().pnlImport->text(), QString());
    QCOMPARE(Main().pnlTotal->text(), QStringLiteral("Total Bookmarks: 0"));
    QVERIFY(platform::Current().GetUserState().ReadIsStart().empty());

    // Nothing can be added without a folder: no dialog opens.
    QVERIFY(!AnyModalOpens([&] {
      Main().actAddfolder->trigger();
      Main().actAddbookmark->trigger();
    }));

    // Closing without a collection leaves no store file behind.
    Main().close();
    QVERIFY(!platform::FileExists(StorePath()));

    // The cancelled import leaves IsStart empty, so the next start asks again.
    Create(true);
    CancelSourceDialog(&shows, &exportMode);
    Main().show();
    QTRY_COMPARE(shows, 2);
  }

  void exportReportsTheCountAfterASuccessfulRunOnly() {
    StartWithCollection();
    int shows = 0;
    bool exportMode = false;
    bool message = false;
    CancelSourceDialog(&shows, &exportMode);
    OnNextModalOf("QMessageBox", [&](QWidget* modal) {
      message = true;
      modal->close();
    });
    Main().actExport->trigger();
    QCOMPARE(shows, 1);
    QVERIFY(exportMode);
    QTest::qWait(30);
    QVERIFY(!message);
    CancelModalHands();

    // Into a backup file: tick its row, press OK, name the file.
    const QString backup = home_->Path() + QStringLiteral("/backup.qlf");
    OnNextModalOf("quillary::TfmOpList", [backup](QWidget* modal) {
      auto* dialog = static_cast<TfmOpList*>(modal);
      QTreeWidgetItem* backupRow =
          dialog->lviewBrowser->topLevelItem(dialog->lviewBrowser->topLevelItemCount() - 1);
      backupRow->setCheckState(0, Qt::Checked);
      OnNextModalOf("QFileDialog", [backup](QWidget* files) {
        files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(backup);
        static_cast<QDialog*>(files)->accept();
      });
      dialog->btnOK->click();
    });
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    AnswerMessage(QMessageBox::Ok, &title, &text, &icon);
    Main().actExport->trigger();
    QTRY_COMPARE(text, QStringLiteral("6 bookmarks were successfully exported!!"));
    QCOMPARE(title, QStringLiteral("Quillary"));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(Main().ExportedCount, 6);
    QVERIFY(platform::FileExists(backup.toStdString()));
  }

  void anImportRunShowsTheMergedCollection() {
    StartWithCollection();
    const QString backup = home_->Path() + QStringLiteral("/more.qlf");
    BookmarkDocument more;
    Parse(more, "<folder name='bookmarks' gid='ROOT'><folder name='Imported' gid='IMP'>"
                "<url name='New' url='http://new.example/' gid='NEW'/></folder></folder>");
    TEI().WriteBookmarkFile(more, backup.toStdString());
    OnNextModalOf("quillary::TfmOpList", [backup](QWidget* modal) {
      auto* dialog = static_cast<TfmOpList*>(modal);
      QTreeWidgetItem* backupRow =
          dialog->lviewBrowser->topLevelItem(dialog->lviewBrowser->topLevelItemCount() - 1);
      backupRow->setCheckState(0, Qt::Checked);
      OnNextModalOf("QFileDialog", [backup](QWidget* files) {
        files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(backup);
        static_cast<QDialog*>(files)->accept();
      });
      dialog->btnOK->click();
    });
    Main().actImport->trigger();
    QVERIFY(!ModalHandPending());
    QVERIFY(TreeNode("Imported"));
    QCOMPARE(Main().tviewmain->topLevelItemCount(), 1);
    QCOMPARE(Main().BookmarkCount, 7);
    QCOMPARE(Main().pnlTotal->text(), QStringLiteral("Total Bookmarks: 7"));
    QVERIFY(!Main().pnlImport->text().isEmpty());
  }

  void helpCommandsHandOverTheirAddresses() {
    StartWithCollection();
    QList<QUrl> opened;
    help::ScopedUrlOpener opener([&](const QUrl& url) { opened << url; });
    const std::pair<QAction*, QUrl> cases[] = {{Main().actHelp, help::HelpFileUrl()},
                                               {Main().actWriteToUs, help::ContactUrl()},
                                               {Main().actTellAFriend, help::TellAFriendUrl()},
                                               {Main().actCheckForUpdates, help::UpdateUrl()}};
    for (const auto& [command, url] : cases) {
      opened.clear();
      command->trigger();
      QCOMPARE(opened, QList<QUrl>{url});
    }
    QCOMPARE(Main().ToolBar1->actions().at(4), Main().actHelp);
  }

  void findSettingsAndAboutOpenTheirDialogs() {
    StartWithCollection();
    struct Case {
      QAction* command;
      const char* dialogClass;
    };
    const Case cases[] = {{Main().actFindout, "quillary::TfmFindOut"},
                          {Main().actSettings, "quillary::TfmConfig"},
                          {Main().actAbout, "quillary::TfmAbout"}};
    for (const Case& c : cases) {
      bool opened = false;
      OnNextModalOf(c.dialogClass, [&](QWidget* modal) {
        opened = true;
        modal->close();
      });
      c.command->trigger();
      QVERIFY2(opened, c.dialogClass);
    }
    // The find dialog searches the collection itself.
    OnNextModalOf("quillary::TfmFindOut", [](QWidget* modal) {
      auto* find = static_cast<TfmFindOut*>(modal);
      find->edtCon->setText(QStringLiteral("twin"));
      find->btnFindClick();
      modal->close();
    });
    Main().actFindout->trigger();
    QCOMPARE(windows_.FindOut->Results->Rows().size(), size_t(2));
  }

  void startWithStoreFileSelectsTheRootListsItAndExpandsTheTree() {
    TConfig().SetImportDate();
    StartWithCollection();
    QVERIFY(!Main().Tim->isActive());
    QTreeWidget* tree = Main().tviewmain;
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("bookmarks"));
    QCOMPARE(tree->currentItem(), root);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
      if ((*it)->childCount() > 0)
        QVERIFY2((*it)->isExpanded(), qPrintable((*it)->text(0)));
    }
    // The "Folder" tag is shown; the comment and the <note> element are not.
    QVERIFY(TreeNode("Work"));
    QVERIFY(TreeNode("Projects"));
    QCOMPARE(TreeNode("Work")->childCount(), 1);
    // Folders first, in document order, then bookmarks; no parent row at the root.
    QCOMPARE(Captions(*Main().ListRows),
             (QStringList{QStringLiteral("Work"), QStringLiteral("[ .. ]"), QStringLiteral("Empty"),
                          QStringLiteral("Twin"), QStringLiteral("Twin copy"),
                          QStringLiteral("Root bookmark")}));
    QCOMPARE(Main().BookmarkCount, 6);
    QCOMPARE(Main().pnlTotal->text(), QStringLiteral("Total Bookmarks: 6"));
    QCOMPARE(Main().pnlImport->text(),
             QStringLiteral("Last import: ") + QString::fromStdString(TConfig().GetImportDate()));
    QCOMPARE(root->data(0, kSelectedImageRole).toInt(), int(kImageFolderOpen));
    QCOMPARE(Main().ListRows->index(5, 0).data(kImageRole).toInt(), int(kImageBookmark));
    QCOMPARE(Main().ListRows->index(5, 1).data().toString(),
             QStringLiteral("http://root.example/"));
  }

  void aRootWithAnotherNameIsBuiltButNotSelected() {
    WriteStore("<folder name='Other' gid='R'><folder name='Sub' gid='S'>"
               "<folder name='Deep' gid='D'/></folder><url name='u' url='http://u/' gid='U'/>"
               "</folder>");
    Start();
    QCOMPARE(Main().tviewmain->topLevelItemCount(), 1);
    QVERIFY(Main().tviewmain->selectedItems().isEmpty());
    QVERIFY(!Main().tviewmain->topLevelItem(0)->isExpanded());
    QCOMPARE(Main().ListRows->Count(), 0);
    QCOMPARE(Main().BookmarkCount, 1);
    Open("Other");
    QCOMPARE(Captions(*Main().ListRows), (QStringList{QStringLiteral("Sub"), QStringLiteral("u")}));
  }

  void windowLayoutMenusAndToolbar() {
    StartWithCollection();
    QCOMPARE(Main().windowTitle(), QStringLiteral("Quillary"));
    const QList<QAction*> menus = Main().menuBar()->actions();
    QCOMPARE(ItemTexts(menus), (QStringList{QStringLiteral("File"), QStringLiteral("Edit"),
                                            QStringLiteral("View"), QStringLiteral("Help")}));
    QCOMPARE(ItemTexts(Main().mnuFile->actions()),
             QStringList({QStringLiteral("Import from..."), QStringLiteral("Export to..."),
                          QStringLiteral("-"), QStringLiteral("Find out"), QStringLiteral("-"),
                          QStringLiteral("Exit")}));
    QCOMPARE(ItemTexts(Main().mnuEdit->actions()),
             QStringList({QStringLiteral("Add folder"), QStringLiteral("Add bookmark"),
                          QStringLiteral("Edit"), QStringLiteral("Delete"), QStringLiteral("-"),
                          QStringLiteral("Settings")}));
    QCOMPARE(ItemTexts(Main().mnuView->actions()),
             QStringList({QStringLiteral("Show Grid Lines"), QStringLiteral("-"),
                          QStringLiteral("Auto Size Columns")}));
    QCOMPARE(
        ItemTexts(Main().mnuHelp->actions()),
        QStringList({QStringLiteral("Help"), QStringLiteral("-"), QStringLiteral("Write to Us"),
                     QStringLiteral("Tell a Friend"), QStringLiteral("Check for Updates"),
                     QStringLiteral("-"), QStringLiteral("About...")}));
    QCOMPARE(ItemTexts(Main().PopupMenu1->actions()),
             QStringList({QStringLiteral("Open"), QStringLiteral("Add folder"),
                          QStringLiteral("Add bookmark"), QStringLiteral("Edit"),
                          QStringLiteral("Delete"), QStringLiteral("-"),
                          QStringLiteral("Show Grid Lines"), QStringLiteral("Auto Size Columns")}));

    // The toolbar shows captions under 24 x 24 images, in order, with the blanks of "Find out".
    QStringList captions;
    for (QAction* action : Main().ToolBar1->actions()) {
      auto* button = qobject_cast<QToolButton*>(Main().ToolBar1->widgetForAction(action));
      QVERIFY(button);
      QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
      QVERIFY(!button->icon().isNull());
      captions << button->text();
    }
    QCOMPARE(captions, (QStringList{QStringLiteral("Import"), QStringLiteral("Export"),
                                    QStringLiteral("  Find out  "), QStringLiteral("Settings"),
                                    QStringLiteral("Help"), QStringLiteral("Exit")}));
    QCOMPARE(Main().ToolBar1->iconSize(), QSize(24, 24));
    // Menu item and toolbar button are one command object.
    QCOMPARE(Main().ToolBar1->actions().first(), Main().mnuFile->actions().first());

    QCOMPARE(Main().tviewmain->indentation(), 19);
    QCOMPARE(Main().tviewmain->width(), 185);
    QHeaderView* header = Main().lviewmain->horizontalHeader();
    QCOMPARE(Main().ListRows->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QCOMPARE(Main().ListRows->headerData(1, Qt::Horizontal).toString(), QStringLiteral("URL"));
    QCOMPARE(header->sectionSize(0), 160);
    QCOMPARE(header->sectionSize(1), 350);
    QCOMPARE(Main().lviewmain->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(!Main().lviewmain->showGrid());
    QCOMPARE(Main().pnlToday->width(), 200);
    QCOMPARE(Main().pnlImport->width(), 200);
  }

  void navigatingFoldersAndTheParentRow() {
    StartWithCollection();
    // Double-click on a folder row opens it in both views.
    DoubleClickRow(Main().lviewmain, Row("Work"));
    QCOMPARE(Main().tviewmain->currentItem(), TreeNode("Work"));
    QCOMPARE(Captions(*Main().ListRows),
             (QStringList{QStringLiteral("[ .. ]"), QStringLiteral("Projects"),
                          QStringLiteral("Wiki")}));
    DoubleClickRow(Main().lviewmain, Row("Projects"));
    QCOMPARE(Main().tviewmain->currentItem(), TreeNode("Projects"));
    // The parent row goes up.
    DoubleClickRow(Main().lviewmain, 0);
    QCOMPARE(Main().tviewmain->currentItem(), TreeNode("Work"));
    QCOMPARE(Main().ListRows->Count(), 3);

    // An empty folder lists only the parent row.
    Open("Empty");
    QCOMPARE(Captions(*Main().ListRows), QStringList{QStringLiteral("[ .. ]")});

    // A folder named "[ .. ]" behaves as the parent row: at the root it opens the root again.
    Open("bookmarks");
    DoubleClickRow(Main().lviewmain, Row("[ .. ]"));
    QCOMPARE(Main().tviewmain->currentItem(), TreeNode("bookmarks"));
    QCOMPARE(Main().ListRows->Count(), 6);
  }

  void theParentRowNameIsLeftAloneByEditAndDelete() {
    StartWithCollection();
    const std::string before = Serialise(Main().xmlmain);
    ClickRow(Main().lviewmain, Row("[ .. ]"));
    QVERIFY(!AnyModalOpens([&] { Main().actEdit->trigger(); }));

    QString text;
    AnswerMessage(QMessageBox::Ok, nullptr, &text);
    Main().actDelete->trigger();
    QCOMPARE(text, QStringLiteral("Do you realy want to delete selected item?"));
    QCOMPARE(Serialise(Main().xmlmain), before);
    QVERIFY(Row("[ .. ]") >= 0);
    QVERIFY(TreeNode("[ .. ]"));
  }

  void twoFoldersWithOneGidAlwaysReachTheFirst() {
    StartWithCollection();
    Open("Twin copy");
    QCOMPARE(Captions(*Main().ListRows),
             (QStringList{QStringLiteral("[ .. ]"), QStringLiteral("First twin")}));
    QString caption;
    AnswerFolder(QStringLiteral("Renamed"), true, &caption);
    Main().actEdit->trigger();
    QCOMPARE(caption, QStringLiteral("Edit folder"));
    QCOMPARE(Main().tviewmain->currentItem()->text(0), QStringLiteral("Renamed"));
    QVERIFY(DocRoot().find_child_by_attribute("name", "Renamed"));
    QVERIFY(!DocRoot().find_child_by_attribute("name", "Twin"));
    QVERIFY(DocRoot().find_child_by_attribute("name", "Twin copy"));
  }

  void addFolderAndBookmarkFromEitherView_data() {
    QTest::addColumn<bool>("fromList");
    QTest::newRow("tree") << false;
    QTest::newRow("list") << true;
  }

  void addFolderAndBookmarkFromEitherView() {
    QFETCH(bool, fromList);
    StartWithCollection();
    Open("Work");
    if (fromList)
      ClickRow(Main().lviewmain, Row("Wiki"));

    QString caption;
    AnswerFolder(QStringLiteral(" New folder "), true, &caption);
    Main().actAddfolder->trigger();
    QCOMPARE(caption, QStringLiteral("Create folder"));
    // The folder goes into the tree folder, as a "Folder" element, with blanks kept.
    quillary::Node work = FindFolder(DocRoot(), "WORK");
    quillary::Node added = work.last_child();
    QCOMPARE(QString::fromUtf8(added.name()), QStringLiteral("Folder"));
    QCOMPARE(GetAttribute(added, "name"), std::string(" New folder "));
    const std::string gid = GetAttribute(added, "gid");
    QCOMPARE(gid.size(), size_t(36));
    QTreeWidgetItem* node = TreeNode(" New folder ");
    QVERIFY(node);
    QCOMPARE(node->parent(), TreeNode("Work"));
    QCOMPARE(DataOf(node).gid, gid);
    QCOMPARE(node->data(0, kSelectedImageRole).toInt(), int(kImageFolder));
    // The new row comes last, after the bookmarks, until the folder is listed again.
    QCOMPARE(Captions(*Main().ListRows).last(), QStringLiteral(" New folder "));
    QCOMPARE(Main().ListRows->Row(Main().ListRows->Count() - 1).data->gid, gid);

    AnswerBookmark(QStringLiteral("Docs"), QStringLiteral("HTTP://Docs.Example/?a"), true,
                   &caption);
    Main().actAddbookmark->trigger();
    QCOMPARE(caption, QStringLiteral("Create bookmark"));
    quillary::Node bookmark = work.last_child();
    QCOMPARE(QString::fromUtf8(bookmark.name()), QStringLiteral("url"));
    QCOMPARE(GetAttribute(bookmark, "name"), std::string("Docs"));
    QCOMPARE(GetAttribute(bookmark, "url"), std::string("HTTP://Docs.Example/?a"));
    QCOMPARE(Main().BookmarkCount, 7);
    QCOMPARE(Main().pnlTotal->text(), QStringLiteral("Total Bookmarks: 6"));
    const int row = Main().ListRows->Count() - 1;
    QCOMPARE(Main().ListRows->Row(row).url, std::string("HTTP://Docs.Example/?a"));
    QCOMPARE(Main().ListRows->Row(row).data->gid, GetAttribute(bookmark, "gid"));

    Open("Projects");
    Open("Work");
    QCOMPARE(Captions(*Main().ListRows),
             (QStringList{QStringLiteral("[ .. ]"), QStringLiteral("Projects"),
                          QStringLiteral(" New folder "), QStringLiteral("Wiki"),
                          QStringLiteral("Docs")}));

    // Cancel adds nothing.
    const std::string before = Serialise(Main().xmlmain);
    AnswerBookmark(QStringLiteral("x"), QStringLiteral("y"), false);
    Main().actAddbookmark->trigger();
    QCOMPARE(Serialise(Main().xmlmain), before);
    QCOMPARE(Main().BookmarkCount, 7);
  }

  void editInTheTreeRenamesNodeAndElement() {
    StartWithCollection();
    Open("Projects");
    AnswerFolder(QStringLiteral("Plans"), true);
    Main().actEdit->trigger();
    QCOMPARE(TreeNode("Plans"), Main().tviewmain->currentItem());
    QCOMPARE(DataOf(TreeNode("Plans")).name, std::string("Plans"));
    QCOMPARE(GetAttribute(FindFolder(DocRoot(), "PROJ"), "name"), std::string("Plans"));
    // The list is not touched: it still shows the folder's contents.
    QCOMPARE(Captions(*Main().ListRows),
             (QStringList{QStringLiteral("[ .. ]"), QStringLiteral("Tracker")}));
  }

  void theRootIsProtected() {
    StartWithCollection();
    // Pressed on another node, then the root chosen with the keyboard.
    Open("Work");
    Main().tviewmain->setFocus();
    QTest::keyClick(Main().tviewmain, Qt::Key_Home);
    QCOMPARE(Main().tviewmain->currentItem(), TreeNode("bookmarks"));
    QVERIFY(!AnyModalOpens([&] {
      Main().actEdit->trigger();
      Main().actDelete->trigger();
    }));
    QVERIFY(DocRoot());
    QCOMPARE(Main().tviewmain->topLevelItemCount(), 1);

    // A press on the root disables Edit and Delete in the menus.
    ClickNode(Main().tviewmain, TreeNode("bookmarks"));
    QVERIFY(!Main().actEdit->isEnabled());
    QVERIFY(!Main().actDelete->isEnabled());
    ClickNode(Main().tviewmain, TreeNode("Work"));
    QVERIFY(Main().actEdit->isEnabled());
  }

  void editInTheListRenamesFolderRowsAndChangesBookmarks() {
    StartWithCollection();
    Open("Work");
    ClickRow(Main().lviewmain, Row("Projects"));
    AnswerFolder(QStringLiteral("Plans"), true);
    Main().actEdit->trigger();
    QVERIFY(Row("Plans") >= 0);
    QCOMPARE(Main().ListRows->Row(Row("Plans")).data->name, std::string("Plans"));
    QVERIFY(TreeNode("Plans"));
    QVERIFY(!TreeNode("Projects"));
    QCOMPARE(GetAttribute(FindFolder(DocRoot(), "PROJ"), "name"), std::string("Plans"));

    // A double-click on a bookmark row edits it, and does not open the address.
    int opened = 0;
    Main().OpenUrl = [&](const QUrl&) { ++opened; };
    QString caption;
    QString shownName;
    OnNextModal([&](QWidget* modal) {
      caption = modal->windowTitle();
      auto* name = modal->findChild<QLineEdit*>(QStringLiteral("edtName"));
      shownName = name->text();
      name->setText(QStringLiteral("Wiki home"));
      modal->findChild<QLineEdit*>(QStringLiteral("edtUrl"))
          ->setText(QStringLiteral("http://wiki.example/home"));
      modal->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    DoubleClickRow(Main().lviewmain, Row("Wiki"));
    QTRY_COMPARE(caption, QStringLiteral("Edit bookmark"));
    QCOMPARE(shownName, QStringLiteral("Wiki"));
    QCOMPARE(opened, 0);
    quillary::Node wiki = FindBookmark(DocRoot(), "WB");
    QCOMPARE(GetAttribute(wiki, "name"), std::string("Wiki home"));
    QCOMPARE(GetAttribute(wiki, "url"), std::string("http://wiki.example/home"));
    QCOMPARE(QString::fromUtf8(wiki.name()), QStringLiteral("URL"));
    const int row = Row("Wiki home");
    QVERIFY(row >= 0);
    QCOMPARE(Main().ListRows->Row(row).url, std::string("http://wiki.example/home"));
  }

  void deleteInTheTreeRemovesTheSubtreeAndEmptiesTheList() {
    StartWithCollection();
    Open("Work");
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    AnswerMessage(QMessageBox::Cancel, &title, &text, &icon);
    Main().actDelete->trigger();
    QCOMPARE(title, QStringLiteral("Quillary"));
    QCOMPARE(text, QStringLiteral("Do you realy want to delete selected item?"));
    QCOMPARE(icon, QMessageBox::Warning);
    QVERIFY(FindFolder(DocRoot(), "WORK"));

    AnswerMessage(QMessageBox::Ok);
    Main().actDelete->trigger();
    QVERIFY(!FindFolder(DocRoot(), "WORK"));
    QVERIFY(!FindBookmark(DocRoot(), "PB"));
    QVERIFY(!TreeNode("Work"));
    QVERIFY(!TreeNode("Projects"));
    QCOMPARE(Main().ListRows->Count(), 0);
    QCOMPARE(Main().tviewmain->selectedItems().size(), 1);
    QCOMPARE(Main().BookmarkCount, 6);
  }

  void deleteInTheListRemovesOnlyThatRow() {
    StartWithCollection();
    Open("Work");
    ClickRow(Main().lviewmain, Row("Projects"));
    AnswerMessage(QMessageBox::Ok);
    Main().actDelete->trigger();
    QVERIFY(!FindFolder(DocRoot(), "PROJ"));
    QVERIFY(!TreeNode("Projects"));
    QCOMPARE(Captions(*Main().ListRows),
             (QStringList{QStringLiteral("[ .. ]"), QStringLiteral("Wiki")}));
    QCOMPARE(Main().tviewmain->currentItem(), TreeNode("Work"));
    QCOMPARE(Main().BookmarkCount, 6);

    ClickRow(Main().lviewmain, Row("Wiki"));
    AnswerMessage(QMessageBox::Ok);
    Main().actDelete->trigger();
    QVERIFY(!FindBookmark(DocRoot(), "WB"));
    QCOMPARE(Captions(*Main().ListRows), QStringList{QStringLiteral("[ .. ]")});
    QCOMPARE(Main().BookmarkCount, 5);
    QVERIFY(FindFolder(DocRoot(), "WORK"));
  }

  void addedBookmarkCanBeEditedAndDeletedInPlace() {
    StartWithCollection();
    Open("Empty");
    AnswerBookmark(QStringLiteral("Fresh"), QStringLiteral("http://fresh/"), true);
    Main().actAddbookmark->trigger();
    ClickRow(Main().lviewmain, Row("Fresh"));
    AnswerBookmark(QStringLiteral("Fresher"), QStringLiteral("http://fresher/"), true);
    Main().actEdit->trigger();
    quillary::Node empty = FindFolder(DocRoot(), "EMPTY");
    QCOMPARE(GetAttribute(empty.first_child(), "name"), std::string("Fresher"));
    Open("Work");
    Open("Empty");
    QCOMPARE(Captions(*Main().ListRows),
             (QStringList{QStringLiteral("[ .. ]"), QStringLiteral("Fresher")}));
    ClickRow(Main().lviewmain, Row("Fresher"));
    AnswerMessage(QMessageBox::Ok);
    Main().actDelete->trigger();
    QVERIFY(!empty.first_child());
    Open("Work");
    Open("Empty");
    QCOMPARE(Main().ListRows->Count(), 1);
  }

  void commandsBeforeTheFirstPressDoNothing() {
    StartWithCollection();
    QCOMPARE(Main().ViewContext, TViewContext::None);
    const std::string before = Serialise(Main().xmlmain);
    QVERIFY(!AnyModalOpens([&] {
      Main().actEdit->trigger();
      Main().actDelete->trigger();
    }));
    QCOMPARE(Serialise(Main().xmlmain), before);
  }

  void popupEnableRules() {
    StartWithCollection();
    QMenu* popup = Main().PopupMenu1;
    ClickNode(Main().tviewmain, TreeNode("Work"), Qt::RightButton);
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(Main().ViewContext, TViewContext::Tree);
    QVERIFY(!Main().actOpen->isEnabled());
    QVERIFY(!Main().popShowGrid->isEnabled());
    QVERIFY(!Main().popAutoSize->isEnabled());
    QVERIFY(Main().popAddfolder->isEnabled());
    QVERIFY(Main().actEdit->isEnabled());
    // The menu bar's own items keep their state.
    QVERIFY(Main().actShowGrid->isEnabled());
    QVERIFY(Main().actAddfolder->isEnabled());
    popup->hide();

    // Right-clicking empty space in the tree disables "Add folder"; the list leaves it so.
    QTest::mousePress(Main().tviewmain->viewport(), Qt::RightButton, {},
                      QPoint(5, Main().tviewmain->viewport()->height() - 5));
    QTRY_VERIFY(popup->isVisible());
    QVERIFY(!Main().popAddfolder->isEnabled());
    popup->hide();
    ClickRow(Main().lviewmain, Row("Wiki"), Qt::RightButton);
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(Main().ViewContext, TViewContext::List);
    QVERIFY(!Main().popAddfolder->isEnabled());
    QVERIFY(Main().actOpen->isEnabled());
    QVERIFY(Main().popShowGrid->isEnabled());
    QVERIFY(Main().popAutoSize->isEnabled());
    popup->hide();
    ClickRow(Main().lviewmain, Row("Projects"), Qt::RightButton);
    QTRY_VERIFY(popup->isVisible());
    QVERIFY(!Main().actOpen->isEnabled());
    popup->hide();
  }

  void openHandsOnlyBookmarkAddresses() {
    StartWithCollection();
    QList<QUrl> opened;
    Main().OpenUrl = [&](const QUrl& url) { opened << url; };
    ClickRow(Main().lviewmain, Row("Work"));
    Main().actOpen->trigger();
    QVERIFY(opened.isEmpty());
    ClickRow(Main().lviewmain, Row("Root bookmark"));
    Main().actOpen->trigger();
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://root.example/"))});
  }

  void gridLinesAndColumnSizing() {
    StartWithCollection();
    const QImage withoutGrid = Main().lviewmain->viewport()->grab().toImage();
    Main().actShowGrid->trigger();
    QVERIFY(Main().lviewmain->showGrid());
    // The lines are drawn, not only switched on.
    QVERIFY(Main().lviewmain->viewport()->grab().toImage() != withoutGrid);
    QVERIFY(Main().actShowGrid->isChecked());
    QCOMPARE(Main().actShowGrid->text(), QStringLiteral("Hide Grid Lines"));
    QCOMPARE(Main().popShowGrid->text(), QStringLiteral("Hide Grid Lines"));
    QVERIFY(!Main().popShowGrid->isChecked());
    Main().popShowGrid->trigger();
    QVERIFY(!Main().lviewmain->showGrid());
    QCOMPARE(Main().actShowGrid->text(), QStringLiteral("Show Grid Lines"));
    QCOMPARE(Main().popShowGrid->text(), QStringLiteral("Show Grid Lines"));

    QHeaderView* header = Main().lviewmain->horizontalHeader();
    Main().popAutoSize->trigger();
    QVERIFY(Main().actAutoSize->isChecked());
    QVERIFY(Main().popAutoSize->isChecked());
    QCOMPARE(header->sectionResizeMode(0), QHeaderView::ResizeToContents);
    QCOMPARE(header->sectionResizeMode(1), QHeaderView::Stretch);
    QCOMPARE(header->sectionSize(0) + header->sectionSize(1),
             Main().lviewmain->viewport()->width());
    Main().actAutoSize->trigger();
    QVERIFY(!Main().actAutoSize->isChecked());
    QVERIFY(!Main().popAutoSize->isChecked());
    QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
    QCOMPARE(header->sectionSize(0), 160);
    QCOMPARE(header->sectionSize(1), 350);
  }

  void closingSavesEveryChange() {
    StartWithCollection();
    Open("Work");
    AnswerFolder(QStringLiteral("Kept"), true);
    Main().actAddfolder->trigger();
    Main().close();
    QVERIFY(!Main().isVisible());
    BookmarkDocument saved;
    TEI().ReadBookmarkFile(saved, {});
    quillary::Node kept = FindFolder(Root(saved), "WORK").last_child();
    QCOMPARE(GetAttribute(kept, "name"), std::string("Kept"));
  }

  void aFailedSaveKeepsTheWindowOpen() {
    StartWithCollection();
    const std::string store = StorePath();
    std::filesystem::remove(store);
    std::filesystem::create_directories(store + "/blocker");
    QString title;
    QString text;
    AnswerMessage(QMessageBox::Ok, &title, &text);
    Main().close();
    QTRY_VERIFY(!text.isEmpty());
    QCOMPARE(title, QStringLiteral("Quillary"));
    QVERIFY(Main().isVisible());
    std::filesystem::remove_all(store);
    Main().close();
    QVERIFY(!Main().isVisible());
    QVERIFY(platform::FileExists(store));
  }

  void aBrokenStoreFileIsReportedAndTheWindowOpensEmpty() {
    platform::CreateFolders(std::filesystem::path(StorePath()).parent_path().string());
    platform::WriteFileAtomically(StorePath(), "header\r\nbm90IHhtbA==\r\n"); // "not xml"
    QString title;
    QString text;
    AnswerMessage(QMessageBox::Ok, &title, &text);
    Start(true);
    QTRY_VERIFY(!text.isEmpty());
    QCOMPARE(title, QStringLiteral("Quillary"));
    QCOMPARE(Main().tviewmain->topLevelItemCount(), 0);
    // The steps after the failure were skipped.
    QCOMPARE(Main().pnlTotal->text(), QString());
    QVERIFY(!Main().Tim->isActive());
  }

  void editingDialogsRefuseBlankInputAndHaveNoDefaultButton() {
    StartWithCollection();
    TfmAddFolder& folder = *windows_.AddFolder;
    QCOMPARE(folder.size(), QSize(339, 112));
    QCOMPARE(windows_.AddBookmark->size(), QSize(353, 127));
    bool stayedOpen = false;
    bool escapeIgnored = false;
    QWidget* firstFocus = nullptr;
    OnNextModal([&](QWidget* modal) {
      firstFocus = QApplication::focusWidget();
      folder.edtFName->setText(QStringLiteral("   "));
      folder.btnOK->click();
      stayedOpen = folder.isVisible();
      folder.edtFName->setFocus();
      folder.edtFName->setText(QStringLiteral("x"));
      QTest::keyClick(folder.edtFName, Qt::Key_Escape);
      QTest::keyClick(folder.edtFName, Qt::Key_Return);
      escapeIgnored = folder.isVisible();
      modal->close();
    });
    Open("Work");
    Main().actAddfolder->trigger();
    QVERIFY(stayedOpen);
    QVERIFY(escapeIgnored);
    QCOMPARE(firstFocus, static_cast<QWidget*>(folder.btnOK));
    QVERIFY(!TreeNode("x"));

    // The bookmark dialog wants both fields; Enter on the focused "OK" presses it.
    TfmAddBookmark& bookmark = *windows_.AddBookmark;
    bool refused = false;
    OnNextModal([&](QWidget*) {
      firstFocus = QApplication::focusWidget();
      bookmark.edtName->setText(QStringLiteral("name"));
      bookmark.edtUrl->setText(QStringLiteral(" "));
      bookmark.btnOK->click();
      refused = bookmark.isVisible();
      bookmark.edtUrl->setText(QStringLiteral("u"));
      bookmark.btnOK->setFocus();
      QTest::keyClick(bookmark.btnOK, Qt::Key_Return);
    });
    Main().actAddbookmark->trigger();
    QVERIFY(refused);
    QCOMPARE(firstFocus, static_cast<QWidget*>(bookmark.edtName));
    QCOMPARE(GetAttribute(FindFolder(DocRoot(), "WORK").last_child(), "url"), std::string("u"));
  }
};

int main(int argc, char** argv) {
  quillary::test::QtSettingsSandbox settings;
  TApplication application(argc, argv);
  TestMainform test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_mainform.moc"
