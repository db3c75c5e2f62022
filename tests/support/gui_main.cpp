#include <QApplication>

#include <gtest/gtest.h>

#include "app/gui_shell_routes.h"
#include "support/test_env.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  TestEnvironment::install();
  QApplication app(argc, argv);
  // Windows that ask for windows of other folders get them as under the main window.
  installShellRoutes();
  return RUN_ALL_TESTS();
}
