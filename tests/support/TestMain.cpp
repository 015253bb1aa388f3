// Entry point of every test program: common controls and COM ready before the first test.
#include "Base.h"
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  OleUninitialize();
  return rc;
}
