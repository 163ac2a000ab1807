#pragma once

#include "app/Mainform.h"

#include <memory>

namespace quillary {

// The windows the program makes once at start and keeps until it ends. The dialogs are children
// of the main window and die with it.
struct TWindows {
  std::unique_ptr<TfmMainform> Mainform;
  TfmAbout* About = nullptr;
  TfmAddBookmark* AddBookmark = nullptr;
  TfmAddFolder* AddFolder = nullptr;
  TfmConfig* Config = nullptr;
  TfmFindOut* FindOut = nullptr;
  TfmOpList* OpList = nullptr;
};

// Creates the main window, then the About box, the bookmark, folder, settings, find and source
// dialogs, in that order, and hands them to the main window.
TWindows CreateWindows();

} // namespace quillary
