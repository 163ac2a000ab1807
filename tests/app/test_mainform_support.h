#pragma once

#include "app/Views.h"
#include "app/Windows.h"

#include <QByteArray>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <string>

class QAbstractItemView;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// What the main window's GUI tests share: a fresh home for every test, store files, and hands
// that answer the modal dialogs.
namespace quillary::guitest {

// Points HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at a new temporary folder for its lifetime.
class TScopedHome {
public:
  TScopedHome();
  ~TScopedHome();
  TScopedHome(const TScopedHome&) = delete;
  TScopedHome& operator=(const TScopedHome&) = delete;
  QString Path() const { return dir_.path(); }

private:
  QTemporaryDir dir_;
  std::optional<QByteArray> saved_[3];
};

// The collection most tests start with (its folders and gids are named in the tests).
extern const char* const kCollection;

// The store file of the current home, and writing one from XML text.
std::string StorePath();
void WriteStore(const char* xml);

// Runs act on the next modal widget as soon as it is active. Pending hands are dropped by
// CancelModalHands, so one test's hand never answers another test's dialog.
void OnNextModal(std::function<void(QWidget*)> act);
// The same for the next modal widget of a class (by its meta-object name).
void OnNextModalOf(const char* className, std::function<void(QWidget*)> act);
void CancelModalHands();
// True while a hand has not yet met its dialog.
bool ModalHandPending();
// Runs the commands and tells whether any of them opened a modal dialog (which is closed).
bool AnyModalOpens(const std::function<void()>& commands);

// Answers the folder or bookmark dialog with the given text, recording its caption.
void AnswerFolder(const QString& name, bool ok, QString* caption = nullptr);
void AnswerBookmark(const QString& name, const QString& url, bool ok, QString* caption = nullptr);
// Answers a message box with the button, recording its title and text.
void AnswerMessage(QMessageBox::StandardButton button, QString* title = nullptr,
                   QString* text = nullptr, QMessageBox::Icon* icon = nullptr);

QTreeWidgetItem* NodeByText(QTreeWidget* tree, const QString& text, int occurrence = 0);
int RowByCaption(const TBookmarkListModel& rows, const std::string& caption);
QStringList Captions(const TBookmarkListModel& rows);

void ClickNode(QTreeWidget* tree, QTreeWidgetItem* node, Qt::MouseButton button = Qt::LeftButton);
void ClickRow(QAbstractItemView* view, int row, Qt::MouseButton button = Qt::LeftButton);
void DoubleClickRow(QAbstractItemView* view, int row);

} // namespace quillary::guitest
