#include "app/Windows.h"

#include "app/frmAddBookmark.h"
#include "app/frmAddFolder.h"
#include "exchange/db/Tlite3.h"

#include "app/frmAbout.h"
#include "app/frmConfig.h"
#include "app/frmFindOut.h"
#include "app/frmOpList.h"

namespace quillary {

TWindows CreateWindows() {
  TWindows windows;
  windows.Mainform = std::make_unique<TfmMainform>();
  TfmMainform& main = *windows.Mainform;
  windows.About = new TfmAbout(&main);
  windows.AddBookmark = new TfmAddBookmark(&main);
  windows.AddFolder = new TfmAddFolder(&main);
  windows.Config = new TfmConfig(&main);
  windows.FindOut = new TfmFindOut(&main);
  windows.OpList = new TfmOpList(main.xmlmain, &main);
  main.fmAbout = windows.About;
  main.fmAddBookmark = windows.AddBookmark;
  main.fmAddFolder = windows.AddFolder;
  main.fmConfig = windows.Config;
  main.fmFindOut = windows.FindOut;
  main.SetSourceDialog(windows.OpList);
  Tlite3::Shared(); // the places data module comes last and lives until the program ends
  return windows;
}

} // namespace quillary
