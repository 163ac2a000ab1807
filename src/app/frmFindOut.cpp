#include "app/frmFindOut.h"

#include "app/Application.h"
#include "app/QtText.h"
#include "base/Error.h"
#include "base/Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include <array>
#include <optional>

namespace quillary {

namespace {

struct TargetCaption {
  const char* caption;
  FindTarget target;
};

// The entries of "Search target", in list order.
constexpr std::array<TargetCaption, 3> kTargetCaptions{{
    {"All", FindTarget::All},
    {"Bookmark name", FindTarget::Name},
    {"Bookmark URL", FindTarget::Url},
}};

// The target a caption names, compared exactly after trimming; a typed text that is none of the
// entries names no field. Nothing at all for a blank caption.
std::optional<FindTarget> TargetOfCaption(const QString& caption) {
  const std::string trimmed = Trimmed(Text(caption));
  if (trimmed.empty())
    return std::nullopt;
  for (const TargetCaption& entry : kTargetCaptions)
    if (trimmed == entry.caption)
      return entry.target;
  return FindTarget::Nothing;
}

} // namespace

void TFoundListModel::SetRows(std::vector<FoundBookmark> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int TFoundListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TFoundListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant TFoundListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
    return {};
  const FoundBookmark& row = rows_[static_cast<size_t>(index.row())];
  return Text(index.column() == 0 ? row.name : row.url);
}

QVariant TFoundListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
    return {};
  return section == 0 ? QStringLiteral("Name") : QStringLiteral("URL");
}

TfmFindOut::TfmFindOut(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmFindOut"));
  setWindowTitle(QStringLiteral("Find out"));
  setSizeGripEnabled(true);

  edtCon = new QLineEdit(this);
  edtCon->setObjectName(QStringLiteral("edtCon"));
  cbxTarget = new QComboBox(this);
  cbxTarget->setObjectName(QStringLiteral("cbxTarget"));
  cbxTarget->setEditable(true);
  // A typed text stays a typed text; it must not become a new entry.
  cbxTarget->setInsertPolicy(QComboBox::NoInsert);
  for (const TargetCaption& target : kTargetCaptions)
    cbxTarget->addItem(QString::fromLatin1(target.caption));
  cbxword = new QCheckBox(QStringLiteral("Match whole word only"), this);
  cbxword->setObjectName(QStringLiteral("cbxword"));
  cbxcase = new QCheckBox(QStringLiteral("Match case"), this);
  cbxcase->setObjectName(QStringLiteral("cbxcase"));
  btnFind = new QPushButton(QStringLiteral("Find"), this);
  btnFind->setObjectName(QStringLiteral("btnFind"));
  btnFind->setDefault(true);
  btnClose = new QPushButton(QStringLiteral("Close"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));

  Results = new TFoundListModel(this);
  lviewSearch = new QTreeView(this);
  lviewSearch->setObjectName(QStringLiteral("lviewSearch"));
  lviewSearch->setModel(Results);
  lviewSearch->setRootIsDecorated(false);
  lviewSearch->setItemsExpandable(false);
  lviewSearch->setUniformRowHeights(true); // keeps large result lists quick
  lviewSearch->setSelectionBehavior(QAbstractItemView::SelectRows);
  lviewSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lviewSearch->header()->setStretchLastSection(false);
  lviewSearch->setColumnWidth(0, 130);
  lviewSearch->setColumnWidth(1, 180);

  auto* findWhat = new QLabel(QStringLiteral("Find what"), this);
  findWhat->setBuddy(edtCon);
  auto* searchTarget = new QLabel(QStringLiteral("Search target"), this);
  searchTarget->setBuddy(cbxTarget);

  auto* fields = new QGridLayout;
  fields->addWidget(findWhat, 0, 0);
  fields->addWidget(edtCon, 0, 1);
  fields->addWidget(btnFind, 0, 2);
  fields->addWidget(searchTarget, 1, 0);
  fields->addWidget(cbxTarget, 1, 1);
  fields->addWidget(btnClose, 1, 2);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(cbxword);
  boxes->addWidget(cbxcase);
  boxes->addStretch();
  fields->addLayout(boxes, 2, 1, 1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(lviewSearch, 1);
  resize(342, 290);

  // Qt's frames carry no exceptions: the error goes to the default handler from here.
  connect(btnFind, &QPushButton::clicked, this, [this] { Guarded([this] { btnFindClick(); }); });
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmFindOut::SetDocument(const BookmarkDocument* document) {
  document_ = document;
}

void TfmFindOut::btnFindClick() {
  const std::optional<FindTarget> target = TargetOfCaption(cbxTarget->currentText());
  if (!target)
    return; // a blank target: the previous results stay
  FindOptions options;
  options.text = Text(edtCon->text());
  options.target = *target;
  options.wholeWord = cbxword->isChecked();
  options.matchCase = cbxcase->isChecked();
  const BookmarkDocument empty;
  // Without a document there is nothing active to search, as with a collection never loaded.
  std::optional<std::vector<FoundBookmark>> found;
  try {
    found = FindBookmarks(document_ ? *document_ : empty, options);
  } catch (...) {
    Results->Clear(); // the list was emptied before the walk failed
    throw;
  }
  if (!found)
    return; // blank text or target: the previous results stay
  Results->SetRows(std::move(*found));
}

void TfmFindOut::showEvent(QShowEvent* event) {
  // A restore from the task bar is spontaneous and keeps what the user had.
  if (!event->spontaneous())
    ResetFields();
  QDialog::showEvent(event);
}

void TfmFindOut::ResetFields() {
  edtCon->clear();
  cbxTarget->setCurrentIndex(0);
  cbxTarget->setEditText(cbxTarget->itemText(0));
  cbxword->setChecked(false);
  cbxcase->setChecked(false);
  Results->Clear();
  edtCon->setFocus();
}

} // namespace quillary
