// The help commands (what they hand to the desktop) and the About box.
#include "app/HelpCommands.h"
#include "app/frmAbout.h"
#include "platform/SimulatedPlatform.h"
#include "test_dialogs_support.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QUrlQuery>

using namespace quillary;

namespace {

// Collects what the commands would open.
struct OpenedUrls {
  QList<QUrl> urls;
  help::ScopedUrlOpener scope{[this](const QUrl& url) { urls << url; }};
};

} // namespace

class HelpCommandsTest : public QObject {
  Q_OBJECT

private slots:
  void helpFileIsTheOneBesideTheProgram() {
    platform::SimulatedPlatform simulated;
    simulated.program = "/opt/quillary/bin";
    platform::ScopedPlatform scope(simulated);
    OpenedUrls opened;
    help::OpenHelpFile();
    QCOMPARE(opened.urls,
             QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/opt/quillary/bin/help.chm"))});
  }

  void helpFileIgnoresTheWorkingFolder() {
    // A help file in the working folder must not be the one opened.
    QTemporaryDir elsewhere;
    QFile decoy(elsewhere.filePath(QStringLiteral("help.chm")));
    QVERIFY(decoy.open(QIODevice::WriteOnly));
    decoy.close();
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    OpenedUrls opened;
    help::OpenHelpFile();
    QDir::setCurrent(previous);
    QCOMPARE(opened.urls.size(), 1);
    QVERIFY(opened.urls[0].isLocalFile());
    QCOMPARE(opened.urls[0].toLocalFile(),
             QCoreApplication::applicationDirPath() + QStringLiteral("/help.chm"));
  }

  void webPages_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("address");
    QTest::newRow("Write to Us") << 0 << "http://www.quillary.example/contactus.html";
    QTest::newRow("Tell a Friend")
        << 1 << "http://www.quillary.example/tellafriend.html?product=quillary";
    QTest::newRow("Check for Updates")
        << 2 << "http://www.quillary.example/update.html?product=quillary&ver=2.0&bd=75";
  }

  void webPages() {
    QFETCH(int, command);
    QFETCH(QString, address);
    OpenedUrls opened;
    const std::array<void (*)(), 3> commands{help::OpenContactPage, help::OpenTellAFriendPage,
                                             help::OpenUpdatePage};
    commands[static_cast<size_t>(command)]();
    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.urls[0].toString(), address);
    QCOMPARE(opened.urls[0].scheme(), QStringLiteral("http")); // plain, unencrypted
  }

  void updateAddressCarriesVersionAndBuild() {
    const QUrlQuery query(help::UpdateUrl());
    QCOMPARE(query.queryItemValue(QStringLiteral("product")), QStringLiteral("quillary"));
    QCOMPARE(query.queryItemValue(QStringLiteral("ver")), QStringLiteral("2.0"));
    QCOMPARE(query.queryItemValue(QStringLiteral("bd")), QStringLiteral("75"));
  }

  void theShippedHelpFileIsCompiledHelpWithItsTopics() {
    QFile shipped(QString::fromUtf8(QUILLARY_SHIPPED_HELP));
    QVERIFY2(shipped.open(QIODevice::ReadOnly), QUILLARY_SHIPPED_HELP);
    const QByteArray bytes = shipped.readAll();
    QVERIFY(bytes.startsWith("ITSF"));
    // The directory of a compiled help file names its pages in plain text.
    for (const char* page : {"/index.html", "/exchange.html", "/find.html", "/settings.html"})
      QVERIFY2(bytes.contains(page), page);
  }

  void theOpenerComesBackAfterATest() {
    OpenedUrls outer;
    {
      OpenedUrls inner;
      help::OpenContactPage();
      QCOMPARE(inner.urls.size(), 1);
    }
    help::OpenContactPage();
    QCOMPARE(outer.urls.size(), 1);
  }
};

class AboutBoxTest : public QObject {
  Q_OBJECT

private slots:
  void frameAndBackground() {
    TfmAbout about;
    about.show();
    QCOMPARE(about.windowTitle(), QStringLiteral("Quillary"));
    QCOMPARE(about.size(), QSize(379, 190));
    QCOMPARE(about.minimumSize(), about.maximumSize()); // a fixed border
    QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(about.palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(about.findChildren<QAbstractButton*>().isEmpty());
    // What is painted is white where no picture or text lies.
    const QImage painted = about.grab().toImage();
    QCOMPARE(QColor(painted.pixel(370, 180)), QColor(Qt::white));
  }

  void texts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<int>("pixelHeight");
    QTest::addColumn<bool>("bold");
    QTest::newRow("title") << "lblTitle"
                           << "Quillary" << QPoint(115, 37) << 21 << false;
    QTest::newRow("product") << "lblProduct"
                             << "Quillary" << QPoint(77, 107) << 10 << true;
    QTest::newRow("version") << "lblVersion"
                             << "Version  2.0   (Build 75)" << QPoint(77, 126) << 10 << true;
  }

  void texts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QPoint, position);
    QFETCH(int, pixelHeight);
    QFETCH(bool, bold);
    TfmAbout about;
    auto* label = about.findChild<QLabel*>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->pos(), position);
    QCOMPARE(label->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(label->font().pixelSize(), pixelHeight);
    QCOMPARE(label->font().bold(), bold);
  }

  void pictures() {
    TfmAbout about;
    auto* side = about.findChild<QLabel*>(QStringLiteral("imgSide"));
    auto* icon = about.findChild<QLabel*>(QStringLiteral("imgIcon"));
    QVERIFY(side && icon);
    QVERIFY(!side->pixmap().isNull());
    QVERIFY(side->hasScaledContents());
    QCOMPARE(side->geometry(), QRect(0, 0, 137, 215)); // taller than the box: cut off below
    QVERIFY(!icon->pixmap().isNull());
    QCOMPARE(icon->geometry(), QRect(77, 30, 32, 32));
    QVERIFY(icon->pixmap().hasAlphaChannel());
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  HelpCommandsTest help;
  AboutBoxTest about;
  return QTest::qExec(&help, argc, argv) | QTest::qExec(&about, argc, argv);
}

#include "test_dialogs_help.moc"
