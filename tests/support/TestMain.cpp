// Entry point of every test program: common controls and COM ready before the first test.
#include "Base.h"
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>
#include <cstdio>
#include "support/DialogAnswerer.h"
#include "support/DialogUser.h"
#include "support/TempTree.h"

namespace {
// Nothing a test set up to act as the user may outlive the test: a hook or timer left behind runs
// later from another test's message loop, on memory that is gone.
class SupportLeftovers : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo& info) override {
    if (testsupport::DialogAnswerer::Active())
      ADD_FAILURE() << info.name() << " left a dialog answerer alive";
    if (testsupport::ActingInModalWindow())
      ADD_FAILURE() << info.name() << " left a modal-window user acting";
  }
};
}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new SupportLeftovers);
  if (!testsupport::ReadOnlyRefusesWriteOpen())
    std::fprintf(stderr, "WARNING: this process opens read-only files for writing (Wine run as root?): "
                         "tests of permissions will fail. Run the tests through tools/as-test-user.\n");
  int rc = RUN_ALL_TESTS();
  OleUninitialize();
  return rc;
}
