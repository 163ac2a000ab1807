// The settings dialog over a settings file of its own in a fresh configuration folder.
#include "app/frmConfig.h"
#include "platform/Files.h"
#include "settings/untConfig.h"
#include "test_dialogs_support.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <fstream>
#include <optional>

using namespace quillary;

namespace {

std::string Stored(SourceKind kind) {
  return TConfig().GetBrowserPath(kind);
}

void Store(SourceKind kind, const std::string& value) {
  TConfig config;
  config.ForceWrite = true;
  config.SetBrowserPath(kind, value);
}

void WriteText(const QString& path, const char* text) {
  QDir().mkpath(QFileInfo(path).path());
  std::ofstream(path.toStdString()) << text;
}

// Answers the next modal file dialog: picks the path, or cancels when there is none. Records the
// dialog as it came up.
struct FileDialogSeen {
  QString title;
  QString directory;
  QStringList selected;
  QFileDialog::FileMode mode = QFileDialog::AnyFile;
  bool newFolderVisible = false;
  bool answered = false;
};

std::shared_ptr<FileDialogSeen> AnswerFileDialog(std::optional<QString> pick) {
  auto seen = std::make_shared<FileDialogSeen>();
  test::OnNextModal<QFileDialog>([seen, pick](QFileDialog* dialog) {
    seen->title = dialog->windowTitle();
    seen->directory = dialog->directory().absolutePath();
    seen->selected = dialog->selectedFiles();
    seen->mode = dialog->fileMode();
    auto* newFolder = dialog->findChild<QWidget*>(QStringLiteral("newFolderButton"));
    seen->newFolderVisible = newFolder && newFolder->isVisible();
    seen->answered = true;
    if (pick) {
      // Typed into the name field, as a user would: selectFile leaves a focused field alone.
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(*pick);
      static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides its override
    } else {
      dialog->reject();
    }
  });
  return seen;
}

} // namespace

class SettingsDialogTest : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<test::FreshUserFolders> folders_;

  QLineEdit* Field(TfmConfig& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
  }

private slots:
  void init() { folders_ = std::make_unique<test::FreshUserFolders>(); }
  void cleanup() { folders_.reset(); }

  void rowsAndWarning() {
    TfmConfig dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Settings"));
    auto* sources = dialog.edtIE->parentWidget();
    QCOMPARE(qobject_cast<QGroupBox*>(sources)->title(), QStringLiteral("Bookmark Source"));
    // Visible rows top to bottom, each with its label and "..." button.
    const std::vector<std::pair<const char*, const char*>> visible{{"Internet Explorer", "edtIE"},
                                                                   {"FireFox", "edtFF3"},
                                                                   {"Opera", "edtOpera"},
                                                                   {"Netscape", "edtNS7"},
                                                                   {"SeaMonkey", "edtSeaM"}};
    int lastTop = -1;
    for (const auto& [caption, name] : visible) {
      QLineEdit* field = Field(dialog, name);
      QVERIFY2(field && field->isVisible(), name);
      QVERIFY(field->y() > lastTop);
      lastTop = field->y();
      bool labelled = false;
      for (QLabel* label : sources->findChildren<QLabel*>())
        labelled |= label->buddy() == field && label->text() == QLatin1String(caption) &&
                    label->isVisible();
      QVERIFY2(labelled, caption);
    }
    for (const char* name : {"edtFF2", "edtSafari"}) {
      QVERIFY2(Field(dialog, name), name);
      QVERIFY2(!Field(dialog, name)->isVisible(), name);
    }
    int dots = 0;
    for (QToolButton* button : sources->findChildren<QToolButton*>())
      dots += button->text() == QLatin1String("...") && button->isVisible();
    QCOMPARE(dots, 5);
    QCOMPARE(dialog.lblWarning->text(),
             QStringLiteral("Be careful with the following options!\nchange them only if you are "
                            "sure what do they mean."));
    QCOMPARE(dialog.btnAuto->text(), QStringLiteral("Automatic Matching"));
    QCOMPARE(dialog.btnOK->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.btnCancel->text(), QStringLiteral("Cancel"));
  }

  void showReadsEveryKey() {
    const std::vector<std::pair<SourceKind, const char*>> fields{
        {SourceKind::InternetExplorer, "edtIE"}, {SourceKind::Firefox2, "edtFF2"},
        {SourceKind::Firefox3, "edtFF3"},        {SourceKind::Opera, "edtOpera"},
        {SourceKind::Safari, "edtSafari"},       {SourceKind::Netscape, "edtNS7"},
        {SourceKind::SeaMonkey, "edtSeaM"}};
    for (const auto& [kind, name] : fields)
      Store(kind, std::string("/stored/") + name);
    TfmConfig dialog;
    dialog.show();
    for (const auto& [kind, name] : fields)
      QCOMPARE(Field(dialog, name)->text(), QStringLiteral("/stored/") + QLatin1String(name));
  }

  void okTrimsWritesEveryKeyAndKeepsTheHiddenOnes() {
    Store(SourceKind::Firefox2, "/ff2/bookmarks.html");
    Store(SourceKind::Safari, "/safari/Bookmarks.plist");
    Store(SourceKind::Netscape, "/ns/bookmarks.html");
    TfmConfig dialog;
    dialog.show();
    dialog.edtFF3->setText(QStringLiteral(" \t/profile/places.sqlite \r\n"));
    dialog.edtNS7->clear(); // an emptied field clears its key
    dialog.edtSeaM->setText(QStringLiteral("/has blanks inside/bookmarks.html"));
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    const std::string file = platform::ReadWholeFile(folders_->SettingsFile());
    QVERIFY2(file.find("firefox3=/profile/places.sqlite\r\n") != std::string::npos ||
                 file.find("firefox3=/profile/places.sqlite\n") != std::string::npos,
             file.c_str());
    QCOMPARE(Stored(SourceKind::Firefox3), std::string("/profile/places.sqlite"));
    QCOMPARE(Stored(SourceKind::Netscape), std::string());
    QCOMPARE(Stored(SourceKind::SeaMonkey), std::string("/has blanks inside/bookmarks.html"));
    QCOMPARE(Stored(SourceKind::Firefox2), std::string("/ff2/bookmarks.html"));
    QCOMPARE(Stored(SourceKind::Safari), std::string("/safari/Bookmarks.plist"));
    QCOMPARE(Stored(SourceKind::InternetExplorer), std::string());
  }

  void cancelWritesNothingAndTheNextShowReloads() {
    Store(SourceKind::Opera, "/opera/opera6.adr");
    TfmConfig dialog;
    dialog.show();
    dialog.edtOpera->setText(QStringLiteral("/typed/then/cancelled"));
    const std::string before = platform::ReadWholeFile(folders_->SettingsFile());
    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(platform::ReadWholeFile(folders_->SettingsFile()), before);
    dialog.show();
    QCOMPARE(dialog.edtOpera->text(), QStringLiteral("/opera/opera6.adr"));
  }

  void automaticMatchingWritesAtOnceAndCancelKeepsIt() {
    // A Firefox profile tree of this system, with the profile in use marked in profiles.ini.
    const QString root = folders_->Path("HOME") + QStringLiteral("/.mozilla/firefox");
    WriteText(root + QStringLiteral("/profiles.ini"),
              "[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=default-esr\n"
              "IsRelative=1\nPath=k2x9.default-esr\nDefault=1\n");
    WriteText(root + QStringLiteral("/k2x9.default-esr/compatibility.ini"),
              "[Compatibility]\nLastVersion=128.5.0_20241119000000/20241119000000\n");
    Store(SourceKind::Firefox3, "/typed/by/hand/places.sqlite");
    Store(SourceKind::Opera, "/opera/opera6.adr");

    TfmConfig dialog;
    dialog.show();
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    test::OnNextModal<QMessageBox>([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(dialog.btnAuto, Qt::LeftButton);
    QCOMPARE(text, QStringLiteral("Restore Settings."));
    QCOMPARE(title, QStringLiteral("Settings"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QVERIFY(dialog.isVisible());

    const std::string detected = Stored(SourceKind::Firefox3);
    QVERIFY2(
        QString::fromStdString(detected).endsWith(QStringLiteral("k2x9.default-esr/places.sqlite")),
        detected.c_str());
    QCOMPARE(dialog.edtFF3->text(), QString::fromStdString(detected));
    QCOMPARE(Stored(SourceKind::Opera),
             std::string("/opera/opera6.adr")); // not detection's business

    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    QCOMPARE(Stored(SourceKind::Firefox3), detected);
    dialog.show();
    QCOMPARE(dialog.edtFF3->text(), QString::fromStdString(detected));
  }

  void refusedWriteReachesTheDefaultHandlerAndTheDialogStaysOpen() {
    // A folder where the settings file should be: nothing can be written there.
    QVERIFY(QDir().mkpath(QString::fromStdString(folders_->SettingsFile())));
    TfmConfig dialog;
    dialog.show();
    dialog.edtIE->setText(QStringLiteral("/favorites"));
    QString title, text;
    test::OnNextModal<QMessageBox>([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      box->accept();
    });
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("Quillary"));
    QCOMPARE(text, QStringLiteral("Unable to write to ") +
                       QString::fromStdString(folders_->SettingsFile()));
    QVERIFY(dialog.isVisible());
  }

  void filePickerIsSharedAndOpensOnTheLastFile() {
    const QString first = folders_->Root() + QStringLiteral("/one/places.sqlite");
    const QString second = folders_->Root() + QStringLiteral("/two/bookmarks.html");
    WriteText(first, "x");
    WriteText(second, "x");
    TfmConfig dialog;
    dialog.show();
    dialog.edtNS7->setText(QStringLiteral("/kept"));

    auto seen = AnswerFileDialog(first);
    QTest::mouseClick(dialog.findChild<QToolButton*>(QStringLiteral("btnFF3")), Qt::LeftButton);
    QVERIFY(seen->answered);
    QCOMPARE(dialog.edtFF3->text(), first);

    seen = AnswerFileDialog(std::nullopt); // cancelled: the field keeps its text
    QTest::mouseClick(dialog.findChild<QToolButton*>(QStringLiteral("btnNS7")), Qt::LeftButton);
    QVERIFY(seen->answered);
    QCOMPARE(seen->selected, QStringList{first});
    QCOMPARE(dialog.edtNS7->text(), QStringLiteral("/kept"));

    seen = AnswerFileDialog(second);
    QTest::mouseClick(dialog.findChild<QToolButton*>(QStringLiteral("btnSeaM")), Qt::LeftButton);
    QCOMPARE(dialog.edtSeaM->text(), second);
    QCOMPARE(dialog.edtFF3->text(), first);
  }

  void folderPickerForInternetExplorer() {
    const QString favorites = folders_->Root() + QStringLiteral("/Favorites");
    QVERIFY(QDir().mkpath(favorites));
    TfmConfig dialog;
    dialog.show();
    dialog.edtIE->setText(QStringLiteral("/kept"));
    auto seen = AnswerFileDialog(std::nullopt);
    QTest::mouseClick(dialog.findChild<QToolButton*>(QStringLiteral("btnIE")), Qt::LeftButton);
    QVERIFY(seen->answered);
    QCOMPARE(seen->title, QStringLiteral("please choose a folder"));
    QCOMPARE(seen->directory, QStringLiteral("/"));
    QCOMPARE(seen->mode, QFileDialog::Directory);
    QVERIFY(!seen->newFolderVisible);
    QCOMPARE(dialog.edtIE->text(), QStringLiteral("/kept"));

    seen = AnswerFileDialog(favorites);
    QTest::mouseClick(dialog.findChild<QToolButton*>(QStringLiteral("btnIE")), Qt::LeftButton);
    QCOMPARE(dialog.edtIE->text(), favorites);
    // Every opening starts again at the root with nothing chosen.
    seen = AnswerFileDialog(std::nullopt);
    QTest::mouseClick(dialog.findChild<QToolButton*>(QStringLiteral("btnIE")), Qt::LeftButton);
    QCOMPARE(seen->directory, QStringLiteral("/"));
    QCOMPARE(seen->selected, QStringList{QStringLiteral("/")});
  }
};

QUILLARY_DIALOG_TEST_MAIN(SettingsDialogTest)
#include "test_dialogs_config.moc"
