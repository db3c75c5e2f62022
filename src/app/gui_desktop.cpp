#include "app/gui_desktop.h"

#include <QApplication>

#include "app/frm_main.h"
#include "platform/gui_desktop_opener.h"

int runDesktop(int& argc, char** argv) {
  QApplication app(argc, argv);
  installDesktopOpener();
  frm_main window;
  window.show();
  return app.exec();
}
