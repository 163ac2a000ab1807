#include "test_mainform_support.h"

#include "coordinator/untEI.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <vector>

namespace quillary::guitest {

namespace {

constexpr const char* kVariables[3] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};

std::vector<QPointer<QTimer>>& Hands() {
  static std::vector<QPointer<QTimer>> hands;
  return hands;
}

} // namespace

// Tags in other letter cases, things no view shows, a folder named like the parent row and two
// folders sharing one gid. Six bookmarks sit in folders.
const char* const kCollection = R"(<?xml version="1.0" encoding="UTF-8"?>
<folder name="bookmarks" gid="ROOT">
  <url name="Root bookmark" url="http://root.example/" gid="RB"/>
  <Folder name="Work" gid="WORK">
    <URL name="Wiki" url="http://wiki.example/" gid="WB"/>
    <folder name="Projects" gid="PROJ"><url name="Tracker" url="http://tracker.example/" gid="PB"/></folder>
    <!-- a comment -->
    <note name="not shown" gid="NOTE"/>
  </Folder>
  <folder name="[ .. ]" gid="DOTS"><url name="Inside dots" url="http://dots.example/" gid="DB"/></folder>
  <folder name="Empty" gid="EMPTY"/>
  <folder name="Twin" gid="TWIN"><url name="First twin" url="http://twin1.example/" gid="T1"/></folder>
  <folder name="Twin copy" gid="TWIN"><url name="Second twin" url="http://twin2.example/" gid="T2"/></folder>
</folder>)";

TScopedHome::TScopedHome() {
  for (int i = 0; i < 3; ++i) {
    if (qEnvironmentVariableIsSet(kVariables[i]))
      saved_[i] = qgetenv(kVariables[i]);
  }
  qputenv("HOME", dir_.path().toUtf8());
  qputenv("XDG_DATA_HOME", (dir_.path() + QStringLiteral("/data")).toUtf8());
  qputenv("XDG_CONFIG_HOME", (dir_.path() + QStringLiteral("/config")).toUtf8());
}

TScopedHome::~TScopedHome() {
  for (int i = 0; i < 3; ++i) {
    if (saved_[i])
      qputenv(kVariables[i], *saved_[i]);
    else
      qunsetenv(kVariables[i]);
  }
}

std::string StorePath() {
  return TEI().GetStorePath();
}

void WriteStore(const char* xml) {
  BookmarkDocument document;
  Parse(document, xml);
  TEI tei;
  tei.WriteBookmarkFile(document, tei.GetStorePath());
}

void OnNextModal(std::function<void(QWidget*)> act) {
  OnNextModalOf("QWidget", std::move(act));
}

void OnNextModalOf(const char* className, std::function<void(QWidget*)> act) {
  auto* hand = new QTimer(qApp);
  hand->setInterval(5);
  QObject::connect(hand, &QTimer::timeout, hand, [hand, act, className] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && modal->inherits(className)) {
      hand->stop();
      hand->deleteLater();
      act(modal);
    }
  });
  Hands().push_back(hand);
  hand->start();
}

void CancelModalHands() {
  for (QPointer<QTimer>& hand : Hands()) {
    if (hand)
      delete hand.data();
  }
  Hands().clear();
}

bool AnyModalOpens(const std::function<void()>& commands) {
  bool opened = false;
  OnNextModal([&](QWidget* modal) {
    opened = true;
    modal->close();
  });
  commands();
  QTest::qWait(30);
  CancelModalHands();
  return opened;
}

bool ModalHandPending() {
  for (QPointer<QTimer>& hand : Hands()) {
    if (hand && hand->isActive())
      return true;
  }
  return false;
}

void AnswerFolder(const QString& name, bool ok, QString* caption) {
  OnNextModal([=](QWidget* modal) {
    if (caption)
      *caption = modal->windowTitle();
    modal->findChild<QLineEdit*>(QStringLiteral("edtFName"))->setText(name);
    modal->findChild<QPushButton*>(ok ? QStringLiteral("btnOK") : QStringLiteral("btnCancel"))
        ->click();
  });
}

void AnswerBookmark(const QString& name, const QString& url, bool ok, QString* caption) {
  OnNextModal([=](QWidget* modal) {
    if (caption)
      *caption = modal->windowTitle();
    modal->findChild<QLineEdit*>(QStringLiteral("edtName"))->setText(name);
    modal->findChild<QLineEdit*>(QStringLiteral("edtUrl"))->setText(url);
    modal->findChild<QPushButton*>(ok ? QStringLiteral("btnOK") : QStringLiteral("btnCancel"))
        ->click();
  });
}

void AnswerMessage(QMessageBox::StandardButton button, QString* title, QString* text,
                   QMessageBox::Icon* icon) {
  OnNextModalOf("QMessageBox", [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      modal->close();
      return;
    }
    if (title)
      *title = box->windowTitle();
    if (text)
      *text = box->text();
    if (icon)
      *icon = box->icon();
    if (QAbstractButton* pressed = box->button(button))
      pressed->click();
    else
      box->close();
  });
}

QTreeWidgetItem* NodeByText(QTreeWidget* tree, const QString& text, int occurrence) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    if ((*it)->text(0) == text && occurrence-- == 0)
      return *it;
  }
  return nullptr;
}

int RowByCaption(const TBookmarkListModel& rows, const std::string& caption) {
  for (int row = 0; row < rows.Count(); ++row) {
    if (rows.Row(row).caption == caption)
      return row;
  }
  return -1;
}

QStringList Captions(const TBookmarkListModel& rows) {
  QStringList captions;
  for (int row = 0; row < rows.Count(); ++row)
    captions << QString::fromStdString(rows.Row(row).caption);
  return captions;
}

void ClickNode(QTreeWidget* tree, QTreeWidgetItem* node, Qt::MouseButton button) {
  tree->scrollToItem(node);
  const QPoint at = tree->visualItemRect(node).center();
  if (button == Qt::RightButton)
    QTest::mousePress(tree->viewport(), button, {}, at);
  else
    QTest::mouseClick(tree->viewport(), button, {}, at);
}

void ClickRow(QAbstractItemView* view, int row, Qt::MouseButton button) {
  const QModelIndex index = view->model()->index(row, 0);
  view->scrollTo(index);
  const QPoint at = view->visualRect(index).center();
  if (button == Qt::RightButton)
    QTest::mousePress(view->viewport(), button, {}, at);
  else
    QTest::mouseClick(view->viewport(), button, {}, at);
}

void DoubleClickRow(QAbstractItemView* view, int row) {
  const QModelIndex index = view->model()->index(row, 0);
  view->scrollTo(index);
  const QPoint at = view->visualRect(index).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace quillary::guitest
