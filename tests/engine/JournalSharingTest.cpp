// One journal, two users of it in two processes (two copies of the program, or the program and its
// console companion): the lock keeps their writing apart, and an undo acts on and removes only the
// journal the user confirmed.
#include "ChangeRunFixture.h"
#include "engine/UndoJournal.h"
#include "comm/FileBytes.h"
#include "support/ChildTest.h"
#include "support/FileObstacles.h"
#include <thread>

using namespace engine;
using enginetest::Attr;
using enginetest::kHid;
using testsupport::ChildRole;
using testsupport::RunTestInChild;

namespace {

constexpr wchar_t kRoleVariable[] = L"VSS_TEST_JOURNAL_CHILD";

// A run of its own (hidden switched on) over the given files, with the journal at path; "はい" or
// "いいえ" to a yes/no question about the journal. Returns the host for the caller's checks.
enginetest::FakeChangeHost RunHidden(const std::vector<std::wstring>& paths, const std::wstring& journalPath,
                                     std::deque<bool> confirmAnswers = {}) {
  enginetest::FakeChangeHost host;
  host.paths = paths;
  host.controls.AttrChg = host.controls.Hidden = host.controls.HiddenOn = true;
  host.confirmAnswers = std::move(confirmAnswers);
  TChangeRun run(host, host, host);
  TJournalWriter writer(journalPath);
  run.SetJournal(&writer);
  run.ButtonSetClick();
  return host;
}

// "root|role": the parent's tree and what the child is to do in it.
std::pair<std::wstring, std::wstring> RoleInTree() {
  const std::wstring given = ChildRole(kRoleVariable);
  const size_t bar = given.find(L'|');
  if (bar == std::wstring::npos) return {};
  return {given.substr(0, bar), given.substr(bar + 1)};
}

std::wstring Journal(const std::wstring& root) { return root + L"\\user\\VornaStampShifter.undo"; }
std::wstring Child(const std::wstring& root, int i) { return root + L"\\child" + std::to_wstring(i) + L".txt"; }

}  // namespace

// The child's part: another copy's run over the child files while the parent holds the journal. It is
// asked whether to go on without a journal, goes on, and changes its files.
TEST(JournalBetweenProcesses, ASecondWriterIsAskedAndNeverWritesIntoTheJournalAnotherHolds) {
  if (const auto [root, role] = RoleInTree(); !root.empty()) {
    ASSERT_EQ(role, L"run");
    const auto host = RunHidden({Child(root, 0), Child(root, 1)}, Journal(root), {true});
    EXPECT_EQ(host.confirms, std::vector<std::wstring>{JournalBusyText(Journal(root))});
    ASSERT_FALSE(host.informs.empty());
    EXPECT_EQ(host.informs.back(), SummaryText(false, 2, 0, 0));
    return;
  }
  testsupport::TempTree tree;
  const std::wstring journal = Journal(tree.Root());
  const std::vector<std::wstring> mine = {tree.MakeFile(L"a.txt"), tree.MakeFile(L"b.txt")};
  tree.MakeFile(L"child0.txt");
  tree.MakeFile(L"child1.txt");

  // This process's run is between two targets when the other copy starts its run.
  TJournalWriter writer(journal);
  TJournalHeader header;
  header.ChangeAttr = true;
  header.AttrMask = header.AttrValues = kHid;
  ASSERT_TRUE(writer.Begin(header));
  comm::TFolderNameCache folders;
  auto record = [&](const std::wstring& p) {
    TChangeTarget target(p, folders);
    TTargetState state;
    ASSERT_EQ(target.ReadState(state), TTargetStatus::Done);
    ASSERT_TRUE(writer.Record(p, state));
    ASSERT_TRUE(SetFileAttributesW(p.c_str(), kHid));
    ASSERT_EQ(target.ReadState(state), TTargetStatus::Done);
    writer.RecordAfter(state);
  };
  record(mine[0]);
  writer.Commit();
  const DWORD started = GetTickCount();
  EXPECT_EQ(RunTestInChild(kRoleVariable, tree.Root() + L"|run"), 0);
  // The other copy waited a moment for the lock before it asked.
  EXPECT_GE(GetTickCount() - started, kJournalLockWaitMs);
  EXPECT_EQ(Attr(tree.Path(L"child0.txt")), kHid);
  record(mine[1]);
  ASSERT_TRUE(writer.End(false));

  // The journal is this run's alone, whole.
  TJournal loaded;
  DWORD error;
  ASSERT_EQ(LoadJournal(journal, loaded, error), TJournalLoad::Loaded);
  ASSERT_EQ(loaded.Records.size(), 2u);
  EXPECT_EQ(loaded.Records[0].Path, mine[0]);
  EXPECT_EQ(loaded.Records[1].Path, mine[1]);
  EXPECT_EQ(loaded.Ending, TRunEnding::Ended);
  EXPECT_EQ(GetFileAttributesW(writer.PendingPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

// The child's parts: another copy's whole run, or another copy's run turned away while the parent's
// undo holds the journal.
TEST(JournalBetweenProcesses, AnUndoActsOnAndRemovesOnlyTheJournalTheUserConfirmed) {
  if (const auto [root, role] = RoleInTree(); !root.empty()) {
    if (role == L"run") {
      const auto host = RunHidden({Child(root, 0), Child(root, 1)}, Journal(root));
      EXPECT_TRUE(host.confirms.empty());
    } else {
      ASSERT_EQ(role, L"turned away");
      const auto host = RunHidden({Child(root, 2)}, Journal(root), {false});
      EXPECT_EQ(host.confirms, std::vector<std::wstring>{JournalBusyText(Journal(root))});
      EXPECT_EQ(Attr(Child(root, 2)), 0u);
    }
    return;
  }
  testsupport::TempTree tree;
  const std::wstring journal = Journal(tree.Root());
  // Names as long as theirs: the two journals have one size.
  const std::vector<std::wstring> mine = {tree.MakeFile(L"ownrun.txt"), tree.MakeFile(L"ownrun.log")};
  const std::vector<std::wstring> theirs = {tree.MakeFile(L"child0.txt"), tree.MakeFile(L"child1.txt")};
  tree.MakeFile(L"child2.txt");
  RunHidden(mine, journal);

  // The user reads the confirmation of this run; meanwhile the other copy finishes a run of its own.
  TJournalUndo undo(journal);
  TJournal confirmed;
  DWORD error;
  ASSERT_EQ(undo.Read(confirmed, error), TJournalLoad::Loaded);
  ASSERT_EQ(confirmed.Records.size(), 2u);
  EXPECT_EQ(RunTestInChild(kRoleVariable, tree.Root() + L"|run"), 0);
  const std::string theirJournal = testsupport::ReadFileBytes(journal);
  ASSERT_EQ(theirJournal.size(), confirmed.Identity.Size);
  // "はい": the journal is no longer the one confirmed. Nothing is undone, nothing removed.
  EXPECT_EQ(undo.Hold(error), TJournalUndo::THold::Replaced);
  EXPECT_FALSE(undo.Remove());
  EXPECT_EQ(testsupport::ReadFileBytes(journal), theirJournal);
  for (const auto& p : mine) EXPECT_EQ(Attr(p), kHid);
  for (const auto& p : theirs) EXPECT_EQ(Attr(p), kHid);

  // Their run is the last now: read, held, undone and removed; a run of a third copy while the undo
  // holds the journal is turned away from it.
  TJournalUndo second(journal);
  ASSERT_EQ(second.Read(confirmed, error), TJournalLoad::Loaded);
  ASSERT_EQ(confirmed.Records.size(), 2u);
  EXPECT_EQ(confirmed.Records[0].Path, theirs[0]);
  ASSERT_EQ(second.Hold(error), TJournalUndo::THold::Held);
  EXPECT_EQ(RunTestInChild(kRoleVariable, tree.Root() + L"|turned away"), 0);
  enginetest::FakeChangeHost host;
  TChangeRun run(host, host, host);
  run.UndoClick(confirmed);
  ASSERT_TRUE(run.UndoComplete());
  for (const auto& p : theirs) EXPECT_EQ(Attr(p), 0u);
  EXPECT_TRUE(second.Remove());
  EXPECT_EQ(GetFileAttributesW(journal.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(second.Read(confirmed, error), TJournalLoad::Missing);
}

TEST(JournalBetweenProcesses, AnUndoFindsItsJournalGoneOrTheLockHeldAndLeavesEverythingAsItIs) {
  testsupport::TempTree tree;
  const std::wstring journal = Journal(tree.Root());
  const std::wstring a = tree.MakeFile(L"a.txt");
  RunHidden({a}, journal);
  const std::string bytes = testsupport::ReadFileBytes(journal);
  TJournal confirmed;
  DWORD error;

  // Removed after it was read (another copy undid it): nothing to hold.
  TJournalUndo gone(journal);
  ASSERT_EQ(gone.Read(confirmed, error), TJournalLoad::Loaded);
  ASSERT_TRUE(DeleteFileW(journal.c_str()));
  EXPECT_EQ(gone.Hold(error), TJournalUndo::THold::Replaced);
  ASSERT_NE(comm::comm_ReplaceFileBytes(journal, bytes).Result, comm::rpFailed);

  // The same run's journal, one byte longer: not the one read.
  TJournalUndo longer(journal);
  ASSERT_EQ(longer.Read(confirmed, error), TJournalLoad::Loaded);
  ASSERT_NE(comm::comm_ReplaceFileBytes(journal, bytes + '\0').Result, comm::rpFailed);
  EXPECT_EQ(longer.Hold(error), TJournalUndo::THold::Replaced);
  // One of the same size with another run identifier in its header, or another byte in a record.
  for (size_t at : {size_t{50}, bytes.size() - 40}) {
    TJournalUndo same(journal);
    ASSERT_NE(comm::comm_ReplaceFileBytes(journal, bytes).Result, comm::rpFailed);
    ASSERT_EQ(same.Read(confirmed, error), TJournalLoad::Loaded);
    std::string other = bytes;
    other[at] ^= 0x01;
    ASSERT_NE(comm::comm_ReplaceFileBytes(journal, other).Result, comm::rpFailed);
    EXPECT_EQ(same.Hold(error), TJournalUndo::THold::Replaced) << "byte " << at;
  }
  ASSERT_NE(comm::comm_ReplaceFileBytes(journal, bytes).Result, comm::rpFailed);

  // The lock held by another user at the reading and at the holding: Busy, after a moment's wait.
  TJournalLock other(journal);
  ASSERT_TRUE(other.Acquire(0, error));
  TJournalUndo busy(journal);
  EXPECT_EQ(busy.Read(confirmed, error), TJournalLoad::Busy);
  other.Release();
  ASSERT_EQ(busy.Read(confirmed, error), TJournalLoad::Loaded);
  ASSERT_TRUE(other.Acquire(0, error));
  EXPECT_EQ(busy.Hold(error), TJournalUndo::THold::Busy);
  other.Release();
  EXPECT_EQ(busy.Hold(error), TJournalUndo::THold::Held);
  // While held, the journal can be neither replaced nor removed by name.
  EXPECT_FALSE(DeleteFileW(journal.c_str()));
  busy.Release();
  EXPECT_EQ(testsupport::ReadFileBytes(journal), bytes);
  EXPECT_EQ(Attr(a), kHid);
}

TEST(JournalLockTest, ALockLetGoWithinTheWaitIsTakenOneHeldBeyondItIsNot) {
  testsupport::TempTree tree;
  const std::wstring journal = Journal(tree.Root());
  TJournalLock first(journal), second(journal);
  DWORD error;
  ASSERT_TRUE(first.Acquire(0, error)) << error;
  EXPECT_FALSE(second.Acquire(0, error));
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_LOCK_VIOLATION));

  // Let go a little before the wait is over: taken.
  DWORD start = GetTickCount();
  std::thread releaser([&] {
    Sleep(kJournalLockWaitMs - 500);
    first.Release();
  });
  EXPECT_TRUE(second.Acquire(kJournalLockWaitMs, error)) << error;
  releaser.join();
  EXPECT_GE(GetTickCount() - start, kJournalLockWaitMs - 550);

  // Held throughout: given up once the wait is over, not before and not much after.
  start = GetTickCount();
  EXPECT_FALSE(first.Acquire(kJournalLockWaitMs, error));
  const DWORD waited = GetTickCount() - start;
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_LOCK_VIOLATION));
  EXPECT_GE(waited, kJournalLockWaitMs);
  EXPECT_LT(waited, kJournalLockWaitMs + 1000);
  second.Release();
  EXPECT_TRUE(first.Acquire(0, error));
}
