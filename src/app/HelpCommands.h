#pragma once

#include "base/Version.h"

#include <QUrl>

#include <functional>

class QWidget;

// The Help menu's commands: the help file beside the program and three pages of the maker's
// site, each handed to the desktop's default handler without looking at the result.
namespace quillary::help {

// The maker's site; every page lies in its root folder.
inline constexpr const char* kSiteAddress = "http://www.quillary.example/";

QUrl HelpFileUrl(); // "help.chm" in the folder of the program file
QUrl ContactUrl();
QUrl TellAFriendUrl();
QUrl UpdateUrl();

void OpenHelpFile();
void OpenContactPage();
void OpenTellAFriendPage();
void OpenUpdatePage();

// Where the commands send their addresses; QDesktopServices::openUrl unless replaced.
using UrlOpener = std::function<void(const QUrl&)>;

// Replaces the opener for its own lifetime, so tests can see what would be opened.
class ScopedUrlOpener {
public:
  explicit ScopedUrlOpener(UrlOpener opener);
  ~ScopedUrlOpener();
  ScopedUrlOpener(const ScopedUrlOpener&) = delete;
  ScopedUrlOpener& operator=(const ScopedUrlOpener&) = delete;

private:
  UrlOpener previous_;
};

} // namespace quillary::help
