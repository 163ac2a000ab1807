#include "app/HelpCommands.h"
#include "app/QtText.h"

#include "platform/Platform.h"

#include <QDesktopServices>
#include <QString>

namespace quillary::help {

namespace {

UrlOpener& Opener() {
  static UrlOpener opener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  return opener;
}

QUrl SitePage(const char* page) {
  return QUrl(QString::fromLatin1(kSiteAddress) + QString::fromLatin1(page));
}

} // namespace

QUrl HelpFileUrl() {
  // The program's own folder, never the working folder: the program may be started from anywhere.
  const std::string folder = platform::Current().GetFolders().ProgramFolder();
  return QUrl::fromLocalFile(Text(folder + "/help.chm"));
}

QUrl ContactUrl() {
  return SitePage("contactus.html");
}

QUrl TellAFriendUrl() {
  return SitePage("tellafriend.html?product=quillary");
}

QUrl UpdateUrl() {
  return QUrl(QString::fromLatin1(kSiteAddress) +
              QStringLiteral("update.html?product=quillary&ver=%1&bd=%2")
                  .arg(QString::fromLatin1(kVersion), QString::fromLatin1(kBuild)));
}

void OpenHelpFile() {
  Opener()(HelpFileUrl());
}
void OpenContactPage() {
  Opener()(ContactUrl());
}
void OpenTellAFriendPage() {
  Opener()(TellAFriendUrl());
}
void OpenUpdatePage() {
  Opener()(UpdateUrl());
}

ScopedUrlOpener::ScopedUrlOpener(UrlOpener opener) : previous_(std::move(Opener())) {
  Opener() = std::move(opener);
}

ScopedUrlOpener::~ScopedUrlOpener() {
  Opener() = std::move(previous_);
}

} // namespace quillary::help
