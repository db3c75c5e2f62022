#include <QCoreApplication>

#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  TestEnvironment::install();
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
