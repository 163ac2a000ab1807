#include "app/frmConfig.h"
#include "app/QtText.h"

#include "app/Application.h"
#include "base/Text.h"
#include "settings/untConfig.h"
#include "settings/untSysConfig.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillary {

namespace {

struct Row {
  const char* label;
  const char* field;
  const char* button;
  SourceKind kind;
  bool visible;
};

// Top to bottom; the two hidden rows still carry their keys through the dialog.
QString WarningText() {
  return QStringLiteral("Be careful with the following options!\n"
                        "change them only if you are sure what do they mean.");
}

constexpr std::array<Row, 7> kRows{{
    {"Internet Explorer", "edtIE", "btnIE", SourceKind::InternetExplorer, true},
    {"FireFox", "edtFF3", "btnFF3", SourceKind::Firefox3, true},
    {"Opera", "edtOpera", "btnOpera", SourceKind::Opera, true},
    {"Netscape", "edtNS7", "btnNS7", SourceKind::Netscape, true},
    {"SeaMonkey", "edtSeaM", "btnSeaM", SourceKind::SeaMonkey, true},
    {"FireFox 2.x", "edtFF2", "btnFF2", SourceKind::Firefox2, false},
    {"Apple Safari", "edtSafari", "btnSafari", SourceKind::Safari, false},
}};

} // namespace

TfmConfig::TfmConfig(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmConfig"));
  setWindowTitle(QStringLiteral("Settings"));
  setSizeGripEnabled(true);

  auto* sources = new QGroupBox(QStringLiteral("Bookmark Source"), this);
  auto* grid = new QGridLayout(sources);
  int line = 0;
  for (const Row& row : kRows) {
    auto* label = new QLabel(QString::fromLatin1(row.label), sources);
    auto* field = new QLineEdit(sources);
    field->setObjectName(QString::fromLatin1(row.field));
    label->setBuddy(field);
    auto* button = new QToolButton(sources);
    button->setObjectName(QString::fromLatin1(row.button));
    button->setText(QStringLiteral("..."));
    grid->addWidget(label, line, 0);
    grid->addWidget(field, line, 1);
    grid->addWidget(button, line, 2);
    ++line;
    for (QWidget* widget : {static_cast<QWidget*>(label), static_cast<QWidget*>(field),
                            static_cast<QWidget*>(button)})
      widget->setVisible(row.visible);
    if (row.kind == SourceKind::InternetExplorer)
      connect(button, &QToolButton::clicked, this, [this, field] { PickFolder(field); });
    else
      connect(button, &QToolButton::clicked, this, [this, field] { PickFile(field); });
  }
  edtIE = sources->findChild<QLineEdit*>(QStringLiteral("edtIE"));
  edtFF2 = sources->findChild<QLineEdit*>(QStringLiteral("edtFF2"));
  edtFF3 = sources->findChild<QLineEdit*>(QStringLiteral("edtFF3"));
  edtOpera = sources->findChild<QLineEdit*>(QStringLiteral("edtOpera"));
  edtSafari = sources->findChild<QLineEdit*>(QStringLiteral("edtSafari"));
  edtNS7 = sources->findChild<QLineEdit*>(QStringLiteral("edtNS7"));
  edtSeaM = sources->findChild<QLineEdit*>(QStringLiteral("edtSeaM"));

  auto* warning = new QGroupBox(QStringLiteral("Warning"), this);
  auto* warningLayout = new QHBoxLayout(warning);
  auto* picture = new QLabel(warning);
  picture->setObjectName(QStringLiteral("imgWarning"));
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
  lblWarning = new QLabel(warning);
  lblWarning->setObjectName(QStringLiteral("lblWarning"));
  lblWarning->setText(WarningText()); // here too, so that the dialog is sized for it
  warningLayout->addWidget(picture);
  warningLayout->addWidget(lblWarning, 1);

  btnAuto = new QPushButton(QStringLiteral("Automatic Matching"), this);
  btnAuto->setObjectName(QStringLiteral("btnAuto"));
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnAuto);
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sources);
  layout->addWidget(warning);
  layout->addLayout(buttons);
  // 378 x 274, or larger where the system's font needs more room.
  resize(QSize(378, 274).expandedTo(minimumSizeHint()));

  // Built-in dialogs rather than the desktop's, so that they look alike everywhere and tests can
  // drive them.
  OpenDialog1 = new QFileDialog(this);
  OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
  OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
  OpenDialog1->setFileMode(QFileDialog::ExistingFile);
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);

  // A refused write goes to the default handler; the dialog stays open.
  connect(btnOK, &QPushButton::clicked, this, [this] { Guarded([this] { btnOKClick(); }); });
  connect(btnAuto, &QPushButton::clicked, this, [this] { Guarded([this] { btnAutoClick(); }); });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* TfmConfig::FieldOf(SourceKind kind) const {
  switch (kind) {
  case SourceKind::InternetExplorer:
    return edtIE;
  case SourceKind::Firefox2:
    return edtFF2;
  case SourceKind::Firefox3:
    return edtFF3;
  case SourceKind::Opera:
    return edtOpera;
  case SourceKind::Safari:
    return edtSafari;
  case SourceKind::Netscape:
    return edtNS7;
  case SourceKind::SeaMonkey:
    return edtSeaM;
  default:
    return nullptr;
  }
}

void TfmConfig::showEvent(QShowEvent* event) {
  if (!event->spontaneous())
    FormShow();
  QDialog::showEvent(event);
}

void TfmConfig::FormShow() {
  lblWarning->setText(WarningText());
  LoadFields();
}

void TfmConfig::LoadFields() {
  const TConfig config;
  for (SourceKind kind : kBrowserKinds)
    FieldOf(kind)->setText(Text(config.GetBrowserPath(kind)));
}

void TfmConfig::btnOKClick() {
  {
    TConfig config;
    config.ForceWrite = true; // an emptied field clears its key
    for (SourceKind kind : kBrowserKinds)
      config.SetBrowserPath(kind, Trimmed(Text(FieldOf(kind)->text())));
  }
  LoadFields();
  accept();
}

void TfmConfig::btnAutoClick() {
  {
    TSysConfig detector;
    detector.ForceWrite = true;
    detector.DetectBrowsers();
  }
  LoadFields();
  QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Settings"),
                      QStringLiteral("Restore Settings."), QMessageBox::Ok, this);
  message.setObjectName(QStringLiteral("msgRestore"));
  message.exec();
}

void TfmConfig::PickFile(QLineEdit* field) {
  if (!lastFile_.isEmpty())
    OpenDialog1->selectFile(lastFile_);
  if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
    return;
  lastFile_ = OpenDialog1->selectedFiles().constFirst();
  field->setText(lastFile_);
}

void TfmConfig::PickFolder(QLineEdit* field) {
  // A new picker every time: it opens at the root with nothing chosen yet.
  QFileDialog picker(this, QString::fromLatin1(kFolderPrompt), QString::fromLatin1(kFolderRoot));
  picker.setObjectName(QStringLiteral("FolderDialog"));
  picker.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly |
                    QFileDialog::ReadOnly);
  picker.setFileMode(QFileDialog::Directory);
  picker.setLabelText(QFileDialog::LookIn, QString::fromLatin1(kFolderPrompt));
  // No button for making new folders.
  if (auto* newFolder = picker.findChild<QWidget*>(QStringLiteral("newFolderButton")))
    newFolder->hide();
  if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty())
    return;
  field->setText(QDir::toNativeSeparators(picker.selectedFiles().constFirst()));
}

} // namespace quillary
