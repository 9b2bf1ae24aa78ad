#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
  hw::test::ConfineToLoopback();
  ::testing::InitGoogleTest(&argc, argv);
  return hw::test::FinishRun(RUN_ALL_TESTS());
}
