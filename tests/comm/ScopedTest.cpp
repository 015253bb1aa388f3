// The RAII holders: what each one owns is given back exactly once, and nothing it does not own.
#include "comm/Scoped.h"
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

// A handle kind whose closes are recorded, so that ownership can be followed exactly.
std::vector<int> gClosed;
struct TCountTraits {
  using Type = int;
  static Type Empty() noexcept { return -1; }
  static bool IsValid(Type h) noexcept { return h > 0; }
  static void Close(Type h) noexcept { gClosed.push_back(h); }
};
using TCounted = comm::TUnique<TCountTraits>;

class TUniqueTest : public ::testing::Test {
 protected:
  void SetUp() override { gClosed.clear(); }
};

TEST_F(TUniqueTest, ClosesOnceWhatItOwnsAndNothingElse) {
  {
    TCounted empty;
    EXPECT_EQ(empty.Get(), -1);
    EXPECT_FALSE(empty);
    TCounted zero(0);  // a value the kind calls invalid is held but never closed
    EXPECT_FALSE(zero.Valid());
    TCounted a(7);
    EXPECT_TRUE(a);
    a.Reset(8);
    EXPECT_EQ(gClosed, std::vector<int>{7});
  }
  EXPECT_EQ(gClosed, (std::vector<int>{7, 8}));
}

TEST_F(TUniqueTest, MoveTransfersOwnershipAndReleaseGivesItUp) {
  {
    TCounted a(3);
    TCounted b(std::move(a));
    EXPECT_EQ(a.Get(), -1);
    EXPECT_EQ(b.Get(), 3);
    TCounted c(4);
    c = std::move(b);  // c's own handle goes, b's comes over
    EXPECT_EQ(gClosed, std::vector<int>{4});
    c = std::move(c);
    EXPECT_EQ(c.Get(), 3);
    TCounted d(5);
    EXPECT_EQ(d.Release(), 5);
    EXPECT_FALSE(d);
  }
  EXPECT_EQ(gClosed, (std::vector<int>{4, 3}));
}

TEST_F(TUniqueTest, PutClosesTheOldHandleBeforeTheNewOneIsWritten) {
  TCounted a(9);
  int* slot = a.Put();
  EXPECT_EQ(gClosed, std::vector<int>{9});
  *slot = 10;
  EXPECT_EQ(a.Get(), 10);
}

bool IsOpenHandle(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != FALSE;
}

TEST(ScopedHandles, KernelHandleIsClosedAndAFailedOpenIsNotOwned) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    comm::TUniqueHandle h(raw);
    EXPECT_TRUE(IsOpenHandle(raw));
  }
  EXPECT_FALSE(IsOpenHandle(raw));

  EXPECT_FALSE(comm::TUniqueHandle(INVALID_HANDLE_VALUE).Valid());
  EXPECT_FALSE(comm::TUniqueHandle().Valid());
  // A find that found nothing starts out as the failure value FindFirstFileW gives.
  EXPECT_EQ(comm::TUniqueFind().Get(), INVALID_HANDLE_VALUE);
}

TEST(ScopedHandles, ReleasedGlobalMemoryStaysAllocated) {
  HGLOBAL raw = GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_NE(raw, nullptr);
  {
    comm::TGlobalMem mem(raw);
    EXPECT_EQ(mem.Release(), raw);
  }
  // Still a live block: the holder handed it over rather than freeing it.
  EXPECT_NE(GlobalFlags(raw), GMEM_INVALID_HANDLE);
  EXPECT_EQ(GlobalFree(raw), nullptr);
}

TEST(ScopedHandles, RegistryKeyOpenedThroughPutIsClosed) {
  comm::TRegKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Put()), ERROR_SUCCESS);
  const HKEY raw = key.Get();
  DWORD subkeys = 0;
  EXPECT_EQ(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  key.Reset();
  EXPECT_NE(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST(ScopedDC, SelectedObjectAndSavedStateComeBack) {
  comm::TMemoryDC dc(nullptr);
  ASSERT_NE(dc.Get(), nullptr);
  const HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  const HGDIOBJ stock = GetStockObject(SYSTEM_FIXED_FONT);
  ASSERT_NE(original, stock);
  {
    comm::TSelectObject select(dc, stock);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), stock);
    select.Reset(dc, GetStockObject(ANSI_VAR_FONT));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(ANSI_VAR_FONT));
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original);
  {
    comm::TSelectObject none(dc, nullptr);  // no object: nothing selected, nothing put back
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original);
  }

  const int mode = GetBkMode(dc);
  {
    comm::TSavedDC saved(dc);
    SetBkMode(dc, mode == TRANSPARENT ? OPAQUE : TRANSPARENT);
  }
  EXPECT_EQ(GetBkMode(dc), mode);
}

TEST(ScopedDC, WindowDCIsReleasedAndTakenAgain) {
  comm::TWindowDC dc;
  EXPECT_EQ(dc.Get(), nullptr);
  dc.Reset(nullptr);  // the screen's DC
  EXPECT_NE(dc.Get(), nullptr);
  dc.Reset();
  EXPECT_EQ(dc.Get(), nullptr);
}

TEST(ScopeExit, RunsOnNormalExitAndWhenAnExceptionLeaves) {
  int runs = 0;
  { comm::TScopeExit done([&] { ++runs; }); }
  EXPECT_EQ(runs, 1);
  try {
    comm::TScopeExit done([&] { ++runs; });
    throw std::runtime_error("leaving");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(runs, 2);
}

}  // namespace
