#include "app/Application.h"
#include "app/Windows.h"

int main(int argc, char** argv) {
  quillary::TApplication application(argc, argv);
  quillary::TWindows windows = quillary::CreateWindows();
  windows.Mainform->show();
  return application.exec();
}
