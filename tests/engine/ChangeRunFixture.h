// The fixture of the change run's tests: a tree of its own, a fixed time zone, a scripted host.
#pragma once
#include "FakeChangeHost.h"
#include "comm/FileDateTime.h"
#include "comm/Scoped.h"
#include "support/FixedClock.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include <algorithm>

namespace enginetest {

using testsupport::FileTimeOf;

constexpr DWORD kRO = FILE_ATTRIBUTE_READONLY, kHid = FILE_ATTRIBUTE_HIDDEN, kSys = FILE_ATTRIBUTE_SYSTEM;

// Read-only, hidden and system of a path (as the system reads it, a link as itself on Windows).
inline DWORD Attr(const std::wstring& p) { return GetFileAttributesW(p.c_str()) & (kRO | kHid | kSys); }
// Sets them, read-only last: under Wine a read-only file takes no hidden or system attribute.
inline void SetAttr(const std::wstring& p, DWORD a) {
  if (a & kRO) {
    ASSERT_TRUE(SetFileAttributesW(p.c_str(), (a & ~kRO) ? (a & ~kRO) : FILE_ATTRIBUTE_NORMAL));
  }
  ASSERT_TRUE(SetFileAttributesW(p.c_str(), a ? a : FILE_ATTRIBUTE_NORMAL));
  ASSERT_EQ(Attr(p), a) << "the test could not prepare its file";
}

inline bool CreationTimeIsKept() { return !testsupport::RunningOnWine(); }

// A run on a tree of its own, in a fixed time zone, with one host and one run object.
class ChangeRunTest : public testing::Test {
 protected:
  testsupport::TempTree tree;
  testsupport::FixedLocalBias utcZone{0};
  FakeChangeHost host;
  engine::TChangeRun run{host, host, host};

  // Date change of both sides to the given times (UTC here, as the bias is 0).
  void PlanDates(bool create, bool update) {
    host.controls.DateChg = true;
    host.controls.Create = create;
    host.controls.Update = update;
    host.SetParts(engine::dsCreate, 2001, 2, 3, 4, 5, 6);
    host.SetParts(engine::dsUpdate, 2002, 3, 4, 5, 6, 7);
  }
  static int64_t NewCreate() { return FileTimeOf(2001, 2, 3, 4, 5, 6); }
  static int64_t NewUpdate() { return FileTimeOf(2002, 3, 4, 5, 6, 7); }

  // Checks the summary of the run just made, reporting the caller's line.
  void ExpectSummary(bool aborted, int changed, int errors, int unchanged, int line) {
    SCOPED_TRACE(testing::Message() << "called from line " << line);
    ASSERT_FALSE(host.informs.empty());
    EXPECT_EQ(host.informs.back(), engine::SummaryText(aborted, changed, errors, unchanged));
    EXPECT_EQ(run.LastSummary().Aborted, aborted);
    EXPECT_EQ(run.LastSummary().Changed, changed);
    EXPECT_EQ(run.LastSummary().Errors, errors);
    EXPECT_EQ(run.LastSummary().Unchanged, unchanged);
  }
};

}  // namespace enginetest

#define EXPECT_SUMMARY(aborted, changed, errors, unchanged) ExpectSummary(aborted, changed, errors, unchanged, __LINE__)
