#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
  hw::test::ConfineToLoopback();
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return hw::test::FinishRun(RUN_ALL_TESTS());
}
