// Entry point of every test program: common controls and COM ready before the first test.
#include "Base.h"
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>
#include <cstdio>
#include "support/TempTree.h"

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  if (!testsupport::ReadOnlyRefusesWriteOpen())
    std::fprintf(stderr, "WARNING: this process opens read-only files for writing (Wine run as root?): "
                         "tests of permissions will fail. Run the tests through tools/as-test-user.\n");
  int rc = RUN_ALL_TESTS();
  OleUninitialize();
  return rc;
}
