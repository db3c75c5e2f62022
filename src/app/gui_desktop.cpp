#include "app/gui_desktop.h"

#include <QApplication>

int runDesktop(int& argc, char** argv) {
  QApplication app(argc, argv);
  return 0;
}
