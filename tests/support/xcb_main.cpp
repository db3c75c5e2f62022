#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

#include "app/gui_shell_routes.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"

// Window tests that need a real X server (menus that open, real focus) run on the xcb
// platform, each process on a private Xvfb display of its own.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) {
    return RUN_ALL_TESTS();  // listing the tests needs no display
  }
  PrivateXvfb xvfb;
  if (const QString failure = xvfb.start(); !failure.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(failure));
    return 1;
  }
  qputenv("DISPLAY", xvfb.display());
  qputenv("QT_QPA_PLATFORM", "xcb");
  TestEnvironment::install();
  QApplication app(argc, argv);
  // Windows that ask for windows of other folders get them as under the main window.
  installShellRoutes();
  return RUN_ALL_TESTS();
}
