// The find dialog: how it uses the search rules, what it shows, and its reset on every show.
#include "app/frmFindOut.h"
#include "test_dialogs_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace quillary;

namespace {

// Attributes in single quotes: moc misreads double quotes inside raw strings. Nested folders, a
// folder whose name matches what its bookmarks do not, an upper-case element name, non-ASCII
// letters and a name with blanks around it.
const char* const kCollection = R"(<?xml version='1.0' encoding='UTF-8'?>
<folder name='bookmarks' gid='R'>
  <folder name='News Sites' gid='F1'>
    <url name='Daily News' url='http://News.example/Daily' gid='B1'/>
    <folder name='Deep' gid='F2'>
      <url name='Café ÄRGER' url='http://deep.example/Über' gid='B2'/>
    </folder>
  </folder>
  <URL name='Search' url='http://search.example/' gid='B3'/>
  <url name=' Padded name ' url='http://pad.example/' gid='B4'/>
  <url url='http://nameless.example/' gid='B5'/>
</folder>
)";

QStringList Rows(const TfmFindOut& dialog) {
  QStringList rows;
  for (const FoundBookmark& row : dialog.Results->Rows())
    rows << QString::fromStdString(row.name + "|" + row.url);
  return rows;
}

void Search(TfmFindOut& dialog, const QString& text, const QString& target, bool wholeWord,
            bool matchCase) {
  dialog.edtCon->setText(text);
  dialog.cbxTarget->setEditText(target);
  dialog.cbxword->setChecked(wholeWord);
  dialog.cbxcase->setChecked(matchCase);
  QTest::mouseClick(dialog.btnFind, Qt::LeftButton);
}

} // namespace

class FindDialogTest : public QObject {
  Q_OBJECT

private:
  BookmarkDocument collection_;

private slots:
  void initTestCase() { Parse(collection_, kCollection); }

  void layout() {
    TfmFindOut dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Find out"));
    QCOMPARE(dialog.cbxword->text(), QStringLiteral("Match whole word only"));
    QCOMPARE(dialog.cbxcase->text(), QStringLiteral("Match case"));
    QCOMPARE(dialog.btnFind->text(), QStringLiteral("Find"));
    QCOMPARE(dialog.btnClose->text(), QStringLiteral("Close"));
    QVERIFY(dialog.cbxTarget->isEditable());
    QStringList targets;
    for (int i = 0; i < dialog.cbxTarget->count(); ++i)
      targets << dialog.cbxTarget->itemText(i);
    QCOMPARE(targets, (QStringList{QStringLiteral("All"), QStringLiteral("Bookmark name"),
                                   QStringLiteral("Bookmark URL")}));
    QHeaderView* header = dialog.lviewSearch->header();
    QCOMPARE(dialog.Results->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    QCOMPARE(dialog.Results->headerData(1, Qt::Horizontal).toString(), QStringLiteral("URL"));
    QCOMPARE(header->sectionSize(0), 130);
    QCOMPARE(header->sectionSize(1), 180);
    QCOMPARE(dialog.lviewSearch->selectionBehavior(), QAbstractItemView::SelectRows);
  }

  void rules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QStringList>("rows");

    const QString all = QStringLiteral("All");
    const QString name = QStringLiteral("Bookmark name");
    const QString url = QStringLiteral("Bookmark URL");
    QTest::newRow("case off lowers the rows, folder names never match")
        << "news" << all << false << false
        << QStringList{QStringLiteral("daily news|http://news.example/daily")};
    QTest::newRow("case on shows the texts unchanged")
        << "News" << all << false << true
        << QStringList{QStringLiteral("Daily News|http://News.example/Daily")};
    QTest::newRow("case on misses other letter case")
        << "news" << name << false << true << QStringList{};
    QTest::newRow("whole field equal")
        << "Daily News" << name << true << true
        << QStringList{QStringLiteral("Daily News|http://News.example/Daily")};
    QTest::newRow("one word of a longer name is no whole word")
        << "Daily" << all << true << false << QStringList{};
    QTest::newRow("the same word found as a part")
        << "Daily" << all << false << false
        << QStringList{QStringLiteral("daily news|http://news.example/daily")};
    QTest::newRow("whole address") << "http://search.example/" << url << true << false
                                   << QStringList{QStringLiteral("search|http://search.example/")};
    QTest::newRow("target URL ignores names")
        << "search" << url << false << false
        << QStringList{QStringLiteral("search|http://search.example/")};
    QTest::newRow("target name ignores addresses")
        << "deep" << name << false << false << QStringList{};
    QTest::newRow("target URL finds the nested bookmark")
        << "deep" << url << false << false
        << QStringList{QString::fromUtf8("café Ärger|http://deep.example/Über")};
    QTest::newRow("non-ASCII letters keep their case, found as typed")
        << QString::fromUtf8("Ärger") << all << false << false
        << QStringList{QString::fromUtf8("café Ärger|http://deep.example/Über")};
    QTest::newRow("non-ASCII letters keep their case, other case misses")
        << QString::fromUtf8("ärger") << all << false << false << QStringList{};
    QTest::newRow("search text trimmed")
        << "  \tsearch \n"
        << name << false << false << QStringList{QStringLiteral("search|http://search.example/")};
    QTest::newRow("name with blanks kept, not whole")
        << "padded name" << name << true << false << QStringList{};
    QTest::newRow("name with blanks kept in the row")
        << "padded name" << name << false << false
        << QStringList{QStringLiteral(" padded name |http://pad.example/")};
    QTest::newRow("target trimmed") << "search"
                                    << "  Bookmark URL " << false << false
                                    << QStringList{QStringLiteral("search|http://search.example/")};
    QTest::newRow("typed target finds nothing") << "search"
                                                << "all" << false << false << QStringList{};
    QTest::newRow("absent name is empty")
        << "nameless" << all << false << false
        << QStringList{QStringLiteral("|http://nameless.example/")};
    QTest::newRow("document order through nested folders, one row per bookmark")
        << "example" << all << false << false
        << QStringList{QStringLiteral("daily news|http://news.example/daily"),
                       QString::fromUtf8("café Ärger|http://deep.example/Über"),
                       QStringLiteral("search|http://search.example/"),
                       QStringLiteral(" padded name |http://pad.example/"),
                       QStringLiteral("|http://nameless.example/")};
    QTest::newRow("name and address both matching give one row")
        << "a" << all << false << false
        << QStringList{QStringLiteral("daily news|http://news.example/daily"),
                       QString::fromUtf8("café Ärger|http://deep.example/Über"),
                       QStringLiteral("search|http://search.example/"),
                       QStringLiteral(" padded name |http://pad.example/"),
                       QStringLiteral("|http://nameless.example/")};
  }

  void rules() {
    QFETCH(QString, text);
    QFETCH(QString, target);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(QStringList, rows);
    TfmFindOut dialog;
    dialog.SetDocument(&collection_);
    dialog.show();
    Search(dialog, text, target, wholeWord, matchCase);
    QCOMPARE(Rows(dialog), rows);
    // What the list shows is what the model holds.
    QCOMPARE(dialog.lviewSearch->model()->rowCount(), rows.size());
    if (!rows.isEmpty()) {
      const QStringList first = rows.constFirst().split(QLatin1Char('|'));
      QAbstractItemModel* model = dialog.lviewSearch->model();
      QCOMPARE(model->data(model->index(0, 0)).toString(), first[0]);
      QCOMPARE(model->data(model->index(0, 1)).toString(), first[1]);
    }
    QVERIFY(dialog.isVisible()); // stays open for another search, no message
  }

  void repeatedSearchesReplaceResultsAndBlankKeepsThem() {
    TfmFindOut dialog;
    dialog.SetDocument(&collection_);
    dialog.show();
    const QString all = QStringLiteral("All");
    Search(dialog, QStringLiteral("news"), all, false, false);
    QCOMPARE(Rows(dialog).size(), 1);
    Search(dialog, QStringLiteral("search"), all, false, false);
    QCOMPARE(Rows(dialog), QStringList{QStringLiteral("search|http://search.example/")});
    Search(dialog, QStringLiteral("  "), all, false, false);
    QCOMPARE(Rows(dialog), QStringList{QStringLiteral("search|http://search.example/")});
    Search(dialog, QStringLiteral("news"), QStringLiteral(" "), false, false);
    QCOMPARE(Rows(dialog), QStringList{QStringLiteral("search|http://search.example/")});
    Search(dialog, QStringLiteral("nothing like it"), all, false, false);
    QVERIFY(Rows(dialog).isEmpty());
  }

  void everyShowResetsTheFields() {
    TfmFindOut dialog;
    dialog.SetDocument(&collection_);
    dialog.show();
    Search(dialog, QStringLiteral("example"), QStringLiteral("Bookmark URL"), true, true);
    dialog.cbxTarget->setEditText(QStringLiteral("typed"));
    dialog.cbxword->setChecked(true);
    QTest::mouseClick(dialog.btnClose, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    dialog.show();
    QVERIFY(dialog.edtCon->text().isEmpty());
    QCOMPARE(dialog.cbxTarget->currentText(), QStringLiteral("All"));
    QCOMPARE(dialog.cbxTarget->currentIndex(), 0);
    QVERIFY(!dialog.cbxword->isChecked());
    QVERIFY(!dialog.cbxcase->isChecked());
    QCOMPARE(dialog.lviewSearch->model()->rowCount(), 0);
    // Within one show the choices stay between searches.
    Search(dialog, QStringLiteral("search"), QStringLiteral("Bookmark name"), false, true);
    QTest::mouseClick(dialog.btnFind, Qt::LeftButton);
    QCOMPARE(dialog.cbxTarget->currentText(), QStringLiteral("Bookmark name"));
    QVERIFY(dialog.cbxcase->isChecked());
  }

  void withoutActiveDocumentTheErrorReachesTheDefaultHandler() {
    const BookmarkDocument neverLoaded;
    for (const BookmarkDocument* document :
         {&neverLoaded, static_cast<const BookmarkDocument*>(nullptr)}) {
      TfmFindOut dialog;
      dialog.SetDocument(&collection_);
      dialog.show();
      Search(dialog, QStringLiteral("news"), QStringLiteral("All"), false, false);
      QCOMPARE(Rows(dialog).size(), 1);
      dialog.SetDocument(document);
      QString title, text;
      test::OnNextModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        box->accept();
      });
      Search(dialog, QStringLiteral("news"), QStringLiteral("All"), false, false);
      QCOMPARE(title, QStringLiteral("Quillary"));
      QCOMPARE(text, QStringLiteral("No active document"));
      QVERIFY(Rows(dialog).isEmpty());
      QVERIFY(dialog.isVisible());
    }
  }
};

QUILLARY_DIALOG_TEST_MAIN(FindDialogTest)
#include "test_dialogs_find.moc"
