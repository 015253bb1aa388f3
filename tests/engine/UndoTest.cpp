// A run that keeps a journal, and its undo: exact restoration, targets changed since, a killed run,
// journals that cannot be used.
#include "ChangeRunFixture.h"
#include "engine/UndoJournal.h"
#include "support/FileObstacles.h"
#include "comm/FileBytes.h"
#include "comm/Scoped.h"
#include <functional>
#include <memory>

using namespace engine;
using enginetest::Attr;
using enginetest::ChangeRunTest;
using enginetest::kHid;
using enginetest::kRO;
using enginetest::kSys;
using enginetest::SetAttr;
using testsupport::FileTimeOf;
using testsupport::ReadRawTimes;
using testsupport::WriteRawTimes;

namespace {

// What an undo must give back: read-only, hidden, system and the two times.
struct Snapshot {
  DWORD attr;
  int64_t creation, lastWrite;
  bool operator==(const Snapshot&) const = default;
};
Snapshot Take(const std::wstring& p) {
  const auto raw = ReadRawTimes(p);
  return {Attr(p), raw.Creation, raw.LastWrite};
}
std::vector<Snapshot> TakeAll(const std::vector<std::wstring>& paths) {
  std::vector<Snapshot> all;
  for (const auto& p : paths) all.push_back(Take(p));
  return all;
}

// Times with parts below the second and the millisecond, which a run's own conversions would lose.
void OddTimes(const std::wstring& p, int n) {
  const int64_t t = FileTimeOf(2011, 1 + n, 2 + n, 3, 4, 5) + 1234567 + n;
  ASSERT_TRUE(WriteRawTimes(p, t - 86400LL * 10000000 * (n + 1), t, t));
}

class UndoTest : public ChangeRunTest {
 protected:
  std::wstring journalPath = tree.Path(L"user\\VornaStampShifter.undo");
  TJournalWriter writer{journalPath};

  UndoTest() { run.SetJournal(&writer); }

  // New dates on both sides, hidden and system on, read-only off.
  void PlanChange() {
    PlanDates(true, true);
    host.controls.AttrChg = true;
    host.controls.ReadOnly = host.controls.Hidden = host.controls.System = true;
    host.controls.ReadOnlyOn = false;
    host.controls.HiddenOn = host.controls.SystemOn = true;
  }
  TJournal Load() {
    TJournal journal;
    DWORD error;
    EXPECT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
    return journal;
  }
  void Undo() {
    const TJournal journal = Load();
    run.UndoClick(journal);
  }
};

}  // namespace

TEST_F(UndoTest, RunThenUndoGivesBackEveryTimeAndAttributeExactly) {
  const std::vector<std::wstring> paths = {tree.MakeFile(L"d\\plain.txt"), tree.MakeFile(L"d\\ro.txt"),
                                           tree.MakeFile(L"d\\hs.txt"), tree.MakeDir(L"d\\sub"), tree.Path(L"d")};
  for (int i = 0; i < 5; ++i) OddTimes(paths[i], i);
  SetAttr(paths[1], kRO);
  SetAttr(paths[2], kHid | kSys);
  const auto before = TakeAll(paths);
  host.paths = paths;
  PlanChange();
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 5, 0, 0);
  for (size_t i = 0; i < paths.size(); ++i) {
    EXPECT_NE(Take(paths[i]), before[i]) << "the run did not change " << i;
  }
  EXPECT_EQ(GetFileAttributesW(writer.PendingPath().c_str()), INVALID_FILE_ATTRIBUTES);

  // The journal holds each target before and after, in the run's order.
  const TJournal journal = Load();
  ASSERT_EQ(journal.Records.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(journal.Records[i].Path, paths[i]);
    EXPECT_TRUE(journal.Records[i].HasAfter);
  }
  EXPECT_TRUE(journal.Header.SetCreate && journal.Header.SetUpdate && journal.Header.ChangeAttr);

  host.informs.clear();
  run.UndoClick(journal);
  EXPECT_EQ(host.informs, std::vector<std::wstring>{UndoSummaryText(false, 5, 0, 0)});
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_EQ(TakeAll(paths), before);
  EXPECT_TRUE(host.questions.empty());

  // A second undo of the same journal finds everything as it was and writes nothing.
  run.UndoClick(journal);
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_EQ(TakeAll(paths), before);
}

TEST_F(UndoTest, TimesTakenFromEachTargetAreWrittenAndGivenBackAndATargetWithoutOneIsLeftAlone) {
  // Creation from when the photo was taken (only the first says), update from the date in the name.
  const std::vector<std::wstring> paths = {
      tree.MakeFile(L"p\\IMG_20230102_030405.jpg"), tree.MakeFile(L"p\\VID_20230102_030405.mp4"),
      tree.MakeFile(L"p\\none.txt"), tree.MakeFile(L"p\\ro-none.txt")};
  for (int i = 0; i < 4; ++i) OddTimes(paths[i], i);
  SetAttr(paths[3], kRO);
  const auto before = TakeAll(paths);
  const int64_t taken = FileTimeOf(2024, 7, 14, 15, 7, 58), named = FileTimeOf(2023, 1, 2, 3, 4, 5);
  PlanDates(true, true);
  host.rules.Rule[dsCreate].Source = TTimeSource::Taken;
  host.rules.Rule[dsUpdate].Source = TTimeSource::FileName;
  std::vector<std::wstring> asked;
  host.rules.ReadTaken = [&](const std::wstring& path, HANDLE open) -> std::optional<media::TMediaTime> {
    asked.push_back(path);
    // The run's own handle serves, but on the read-only file, which opens for writing only later.
    EXPECT_EQ(open != nullptr, path != paths[3]) << path;
    if (path != paths[0]) return std::nullopt;
    return media::TMediaTime{2024, 7, 14, 15, 7, 58};
  };
  host.paths = paths;
  run.ButtonSetClick();
  // Two changed; the two without a value count as unchanged, without a question, read-only untouched.
  EXPECT_SUMMARY(false, 2, 0, 2);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(asked, paths);
  // (A file system without creation times, as under Wine on Linux, reports the last-write time for it.)
  const Snapshot both = Take(paths[0]), update = Take(paths[1]);
  EXPECT_EQ(both.lastWrite, named);
  EXPECT_TRUE(both.creation == taken || both.creation == both.lastWrite);
  EXPECT_EQ(update.lastWrite, named);
  EXPECT_TRUE(update.creation == before[1].creation || update.creation == update.lastWrite);
  EXPECT_EQ(Take(paths[2]), before[2]);
  EXPECT_EQ(Take(paths[3]), before[3]);

  // The journal says the times were each target's own, loads as sound, and the undo gives them back.
  const TJournal journal = Load();
  EXPECT_TRUE(journal.Header.CreatePerTarget && journal.Header.UpdatePerTarget);
  EXPECT_NE(UndoChangeText(journal).find(L"作成日時と更新日時を元の日時に戻し"), std::wstring::npos);
  run.UndoClick(journal);
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_EQ(TakeAll(paths), before);

  // With an attribute to change as well, a target without a time still counts as changed.
  host.controls.AttrChg = host.controls.Hidden = host.controls.HiddenOn = true;
  host.rules.ReadTaken = nullptr;
  host.rules.Rule[dsUpdate].Source = TTimeSource::Taken;
  host.informs.clear();
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 4, 0, 0);
  EXPECT_EQ(Take(paths[2]), (Snapshot{before[2].attr | kHid, before[2].creation, before[2].lastWrite}));
}

TEST_F(UndoTest, NamesThePathRulesWouldTrimLongPathsOtherScriptsAndADriveRootComeBack) {
  auto literal = [](const std::wstring& p) { return L"\\\\?\\" + p; };
  auto make = [&](const std::wstring& p, bool folder) {
    if (folder) {
      EXPECT_TRUE(CreateDirectoryW(literal(p).c_str(), nullptr));
    } else {
      comm::TUniqueHandle h(CreateFileW(literal(p).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
      EXPECT_TRUE(h.Valid());
    }
    return p;
  };
  std::wstring deep = tree.Path(L"deep");
  make(deep, true);
  while (deep.size() < 300) make(deep += L"\\" + std::wstring(40, L'x'), true);
  std::vector<std::wstring> paths = {make(tree.Path(L"a."), false), make(tree.Path(L"b "), true),
                                     make(deep + L"\\long.txt", false),
                                     make(tree.Path(L"\u00e9\U0001F600\u0E01.txt"), false)};
  // A drive root, where the test's Wine prefix maps one that may be changed.
  if (GetDriveTypeW(L"T:\\") != DRIVE_NO_ROOT_DIR) paths.push_back(L"T:\\");
  for (size_t i = 0; i < paths.size(); ++i) OddTimes(literal(paths[i]), static_cast<int>(i));
  SetAttr(literal(paths[0]), kRO);
  auto takeAll = [&] {
    std::vector<Snapshot> all;
    for (const auto& p : paths) all.push_back(Take(literal(p)));
    return all;
  };
  const auto before = takeAll();
  host.paths = paths;
  PlanChange();
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, static_cast<int>(paths.size()), 0, 0);
  const auto changed = takeAll();
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_NE(changed[i], before[i]) << "the run did not change " << i;
  const TJournal journal = Load();
  ASSERT_EQ(journal.Records.size(), paths.size());
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(journal.Records[i].Path, paths[i]);
  run.UndoClick(journal);
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(takeAll(), before);
}

TEST_F(UndoTest, ATargetChangedAfterTheRunIsAskedAbout) {
  const std::vector<std::wstring> paths = {tree.MakeFile(L"a.txt"), tree.MakeFile(L"b.txt"), tree.MakeFile(L"c.txt")};
  for (int i = 0; i < 3; ++i) OddTimes(paths[i], i);
  const auto before = TakeAll(paths);
  host.paths = paths;
  PlanChange();
  run.ButtonSetClick();
  // Someone else works on b after the run.
  const int64_t later = FileTimeOf(2020, 6, 7, 8, 9, 10);
  ASSERT_TRUE(WriteRawTimes(paths[1], -1, -1, later));

  // "中止(&A)": a is given back, b and c keep what they have; the journal stays usable.
  host.answers = {TAnswer::Abort};
  host.informs.clear();
  Undo();
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0], QuestionText(TQuestion::ChangedSince, paths[1]));
  EXPECT_EQ(host.informs, std::vector<std::wstring>{UndoSummaryText(true, 1, 0, 2)});
  EXPECT_FALSE(run.UndoComplete());
  EXPECT_EQ(Take(paths[0]), before[0]);
  EXPECT_EQ(ReadRawTimes(paths[1]).LastWrite, later);
  EXPECT_NE(Take(paths[2]), before[2]);

  // "はい(&Y)": b is given back as well, then c.
  host.answers = {TAnswer::Yes};
  Undo();
  EXPECT_EQ(host.questions.size(), 2u);
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_EQ(TakeAll(paths), before);
}

TEST_F(UndoTest, OnlyYesToAllOnLaterWorkOverwritesItWithoutAsking) {
  std::vector<std::wstring> paths;
  for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) paths.push_back(tree.MakeFile(name));
  for (int i = 0; i < 4; ++i) OddTimes(paths[i], i);
  const auto before = TakeAll(paths);
  host.paths = paths;
  PlanChange();
  run.ButtonSetClick();
  ASSERT_TRUE(DeleteFileW(paths[0].c_str()));
  const int64_t later = FileTimeOf(2020, 6, 7, 8, 9, 10);
  ASSERT_TRUE(WriteRawTimes(paths[1], -1, -1, later));
  ASSERT_TRUE(WriteRawTimes(paths[2], -1, -1, later));

  // "すべてはい" to the missing target does not cover later work; a box closed unanswered (the program
  // ending) stops the undo before it.
  host.answers = {TAnswer::YesToAll, TAnswer::Closed};
  Undo();
  ASSERT_EQ(host.questions.size(), 2u);
  EXPECT_EQ(host.questions[1], QuestionText(TQuestion::ChangedSince, paths[1]));
  EXPECT_EQ(ReadRawTimes(paths[1]).LastWrite, later);
  EXPECT_FALSE(run.UndoComplete());

  // "すべてはい" to later work: b and c are given back, c without a question.
  host.questions.clear();
  host.answers = {TAnswer::Yes, TAnswer::YesToAll};
  Undo();
  EXPECT_EQ(host.questions.size(), 2u);
  EXPECT_EQ(Take(paths[1]), before[1]);
  EXPECT_EQ(Take(paths[2]), before[2]);
  EXPECT_EQ(Take(paths[3]), before[3]);
  EXPECT_FALSE(run.UndoComplete());  // a is still missing: the journal stays
}

TEST_F(UndoTest, ARunThatChangesNothingKeepsTheLastRunsJournal) {
  const std::wstring a = tree.MakeFile(L"a.txt");
  host.paths = {a};
  PlanChange();
  run.ButtonSetClick();
  const TJournal first = Load();
  // The same run again changes nothing: the first run's journal is still the one to undo. A run
  // whose only target is missing changes nothing either.
  run.ButtonSetClick();
  host.paths = {tree.Path(L"gone.txt")};
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  const TJournal now = Load();
  ASSERT_EQ(now.Records.size(), 1u);
  EXPECT_TRUE(SameFileTime(now.Header.Started, first.Header.Started));
  EXPECT_EQ(GetFileAttributesW(writer.PendingPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UndoTest, AJournalThatCannotBeMadeLeavesTheChoiceToTheUser) {
  const std::wstring a = tree.MakeFile(L"a.txt");
  // The journal's folder is a file: nothing can be made in it.
  tree.MakeFile(L"blocked");
  TJournalWriter blocked(tree.Path(L"blocked\\VornaStampShifter.undo"));
  run.SetJournal(&blocked);
  host.paths = {a};
  PlanChange();
  const auto before = Take(a);
  host.confirmAnswers = {false};
  run.ButtonSetClick();
  ASSERT_EQ(host.confirms.size(), 1u);
  EXPECT_EQ(host.confirms[0].rfind(L"変更を元に戻すための記録を作成できません。\r" + blocked.Path() + L"\r", 0), 0u);
  EXPECT_EQ(Take(a), before);
  EXPECT_TRUE(host.informs.empty());
  // "はい(&Y)": the run goes on without one.
  host.confirmAnswers = {true};
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 1, 0, 0);
  EXPECT_NE(Take(a), before);
}

namespace {
// A journal whose disk fills up at one record of each run.
class FillingJournal : public TJournalWriter {
 public:
  FillingJournal(std::wstring path, int failAt) : TJournalWriter(std::move(path)), FFailAt(failAt) {}
  bool Begin(const TJournalHeader& header) override {
    FRecords = 0;
    return TJournalWriter::Begin(header);
  }
  bool Record(const std::wstring& path, const TTargetState& before) override {
    if (FRecords++ == FFailAt) return false;
    return TJournalWriter::Record(path, before);
  }
  DWORD Error() const override { return ERROR_DISK_FULL; }

 private:
  int FFailAt, FRecords = 0;
};
}  // namespace

TEST_F(UndoTest, AJournalThatCannotBeWrittenFurtherStopsTheRunOrGoesOnAsTheUserSays) {
  const std::vector<std::wstring> paths = {tree.MakeFile(L"a.txt"), tree.MakeFile(L"b.txt"), tree.MakeFile(L"c.txt")};
  for (int i = 0; i < 3; ++i) OddTimes(paths[i], i);
  const auto before = TakeAll(paths);
  FillingJournal filling(journalPath, 1);
  run.SetJournal(&filling);
  host.paths = paths;
  PlanChange();
  // "いいえ(&N)": b is not touched without its record; what was changed is in the journal.
  host.confirmAnswers = {false};
  run.ButtonSetClick();
  ASSERT_EQ(host.confirms.size(), 1u);
  EXPECT_EQ(host.confirms[0].rfind(L"変更を元に戻すための記録を書き込めません。\r" + journalPath + L"\r", 0), 0u);
  EXPECT_SUMMARY(true, 1, 0, 2);
  EXPECT_NE(Take(paths[0]), before[0]);
  EXPECT_EQ(Take(paths[1]), before[1]);
  EXPECT_EQ(Take(paths[2]), before[2]);
  Undo();
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_EQ(TakeAll(paths), before);

  // "はい(&Y)": the run goes on without a record; the journal keeps what it holds.
  host.confirmAnswers = {true};
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 3, 0, 0);
  EXPECT_TRUE(host.errors.empty());
  const TJournal journal = Load();
  ASSERT_EQ(journal.Records.size(), 1u);
  EXPECT_EQ(journal.Records[0].Path, paths[0]);
  EXPECT_EQ(GetFileAttributesW(filling.PendingPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UndoTest, JournalsThatCannotBeUsedAreTold) {
  TJournal journal;
  DWORD error;
  EXPECT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Missing);

  const std::vector<std::wstring> paths = {tree.MakeFile(L"a.txt"), tree.MakeFile(L"b.txt"), tree.MakeFile(L"c.txt")};
  host.paths = paths;
  PlanChange();
  run.ButtonSetClick();
  const std::string whole = testsupport::ReadFileBytes(journalPath);
  auto write = [&](const std::string& bytes) {
    ASSERT_NE(comm::comm_ReplaceFileBytes(journalPath, bytes).Result, comm::rpFailed);
  };
  ASSERT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
  EXPECT_EQ(journal.Ending, TRunEnding::Ended);
  // The last record cut short, or with a bad check at the very end: the run was killed while writing
  // it; the records before it stand. The end record is the last; before it each target's result, and
  // before that its after state.
  constexpr size_t kEndRecord = 36, kResultRecord = 36;
  write(whole.substr(0, whole.size() - kEndRecord - kResultRecord - 10));
  ASSERT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
  EXPECT_EQ(journal.Records.size(), 3u);
  EXPECT_FALSE(journal.Records[2].HasAfter);
  EXPECT_EQ(journal.Ending, TRunEnding::Cut);
  std::string bad = whole;
  bad[bad.size() - 1] ^= 0x55;
  write(bad);
  ASSERT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
  EXPECT_EQ(journal.Records.size(), 3u);
  EXPECT_TRUE(journal.Records[2].HasAfter);
  EXPECT_EQ(journal.Ending, TRunEnding::Cut);
  // A changed byte anywhere before the end, a foreign file, a header alone.
  for (size_t at : {size_t{3}, size_t{70}, whole.size() / 2}) {
    bad = whole;
    bad[at] ^= 0x01;
    write(bad);
    EXPECT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Damaged) << "byte " << at;
    EXPECT_TRUE(journal.Records.empty());
  }
  // A path length made longer in the middle reaches past the end, as a record cut short would; the
  // records after it show that it is damage, not a killed run's last record.
  const size_t second = 64 + 32 + 2 * paths[0].size() + 4 + 36 + kResultRecord;
  for (size_t at : {size_t{64 + 5}, second + 5}) {
    bad = whole;
    bad[at] ^= 0x10;
    write(bad);
    EXPECT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Damaged) << "byte " << at;
  }
  write("[Application]\r\nLeft=3\r\n");
  EXPECT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Damaged);
  write(whole.substr(0, 64));
  EXPECT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Empty);
}

// The journal makes the run read each target's attributes before the attribute step; the read-only
// state held around the date step must still be the one that step left.
TEST_F(UndoTest, AReadOnlyFileEndsAsTheAttributeStepLeftItWhenTheJournalIsOn) {
  const std::wstring f = tree.MakeFile(L"ro.txt");
  OddTimes(f, 0);
  SetAttr(f, kRO);
  const Snapshot before = Take(f);
  host.paths = {f};
  PlanDates(false, true);
  host.controls.AttrChg = host.controls.ReadOnly = host.controls.Hidden = host.controls.HiddenOn = true;
  host.controls.ReadOnlyOn = false;
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 1, 0, 0);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(Attr(f), kHid);
  EXPECT_EQ(ReadRawTimes(f).LastWrite, NewUpdate());
  // The journal says the same, and the undo gives the read-only file back.
  const TJournal journal = Load();
  ASSERT_EQ(journal.Records.size(), 1u);
  ASSERT_TRUE(journal.Records[0].HasAfter);
  EXPECT_EQ(journal.Records[0].After.Attr & (kRO | kHid | kSys), kHid);
  run.UndoClick(journal);
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_EQ(Take(f), before);
}

// The other side of the check on after states: whatever a real run writes loads, whichever plan it
// had (on Wine a creation time follows the last-write time).
TEST_F(UndoTest, TheJournalOfEveryKindOfPlanLoadsAndSaysHowItsRunEnded) {
  struct Plan {
    bool attr, create, update;
  };
  for (const Plan plan : {Plan{true, false, false}, Plan{false, false, true}, Plan{false, true, false},
                          Plan{true, true, true}}) {
    SCOPED_TRACE(testing::Message() << plan.attr << plan.create << plan.update);
    // Where the creation time is not kept, a run that sets only it changes nothing and keeps no journal.
    if (plan.create && !plan.update && !enginetest::CreationTimeIsKept()) continue;
    host = enginetest::FakeChangeHost{};
    const std::vector<std::wstring> paths = {tree.MakeFile(L"p\\a.txt"), tree.MakeFile(L"p\\b.txt")};
    for (int i = 0; i < 2; ++i) OddTimes(paths[i], i);
    SetAttr(paths[1], kRO);
    host.paths = paths;
    if (plan.create || plan.update) PlanDates(plan.create, plan.update);
    host.controls.AttrChg = plan.attr;
    host.controls.Hidden = host.controls.HiddenOn = plan.attr;
    run.ButtonSetClick();
    EXPECT_SUMMARY(false, 2, 0, 0);
    const TJournal journal = Load();
    EXPECT_EQ(journal.Records.size(), 2u);
    EXPECT_EQ(journal.Ending, TRunEnding::Ended);
    run.UndoClick(journal);
    EXPECT_TRUE(run.UndoComplete());
    ASSERT_TRUE(SetFileAttributesW(paths[1].c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(DeleteFileW(paths[0].c_str()) && DeleteFileW(paths[1].c_str()));
    ASSERT_TRUE(DeleteFileW(journalPath.c_str()));
  }
  // A run the user stops ("中止" at a missing target) ends its journal as stopped.
  host = enginetest::FakeChangeHost{};
  host.paths = {tree.MakeFile(L"c.txt"), tree.Path(L"gone.txt"), tree.MakeFile(L"d.txt")};
  PlanChange();
  host.answers = {TAnswer::Abort};
  run.ButtonSetClick();
  EXPECT_SUMMARY(true, 1, 0, 2);
  EXPECT_EQ(Load().Ending, TRunEnding::Stopped);
}

namespace {
int64_t Ticks(const FILETIME& t) { return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime); }
FILETIME Ft(int64_t t) { return {static_cast<DWORD>(t), static_cast<DWORD>(static_cast<uint64_t>(t) >> 32)}; }
}  // namespace

// A journal made by hand with every check right: its header says the run set the last-write time and
// switched hidden on, so an after state with another time or another attribute is no run's.
TEST_F(UndoTest, AJournalWhoseAfterStatesItsHeaderCouldNotHaveProducedIsDamaged) {
  const std::vector<std::wstring> victims = {tree.MakeFile(L"v\\a.txt"), tree.MakeFile(L"v\\b.txt"),
                                             tree.MakeFile(L"v\\c.txt")};
  for (int i = 0; i < 3; ++i) OddTimes(victims[i], i);
  const auto untouched = TakeAll(victims);
  TJournalHeader header;
  header.ChangeAttr = header.ChangeDate = header.SetUpdate = true;
  header.AttrMask = header.AttrValues = kHid;
  header.LastWrite = Ft(FileTimeOf(2026, 12, 8, 0, 0, 0));
  // Each victim as it is now is "after"; "before" is something else to be written back.
  auto write = [&](const TJournalHeader& h, const std::function<void(TTargetState& before, TTargetState& after)>& edit) {
    TJournalWriter crafted(journalPath);
    ASSERT_TRUE(crafted.Begin(h));
    comm::TFolderNameCache folders;
    for (const auto& v : victims) {
      TTargetState now;
      TChangeTarget target(v, folders);
      ASSERT_EQ(target.ReadState(now), TTargetStatus::Done);
      TTargetState before = now, after = now;
      before.Attr = FILE_ATTRIBUTE_ARCHIVE;
      edit(before, after);
      ASSERT_TRUE(crafted.Record(v, before));
      crafted.RecordAfter(after);
    }
    crafted.Commit();
    ASSERT_TRUE(crafted.End(false));
  };
  auto load = [&] {
    TJournal journal;
    DWORD error;
    return LoadJournal(journalPath, journal, error);
  };
  const int64_t written = Ticks(header.LastWrite);
  // What the plan makes of "before": hidden on, the last-write time written, the creation time kept.
  auto planned = [&](TTargetState& before, TTargetState& after) {
    after.Attr = before.Attr | kHid;
    after.LastWrite = header.LastWrite;
    before.LastWrite = Ft(written - 5 * 864000000000LL);
    after.Creation = before.Creation;
  };
  write(header, planned);
  EXPECT_EQ(load(), TJournalLoad::Loaded);
  // The side the run does not set is written back to the millisecond.
  write(header, [&](TTargetState& b, TTargetState& a) {
    planned(b, a);
    b.Creation = Ft(Ticks(a.Creation) + 9999);
  });
  EXPECT_EQ(load(), TJournalLoad::Loaded) << "a creation time cut to the millisecond";

  // The hand-made cases: the victims' own times, which no run of this header writes; a creation time
  // off by a millisecond; system or read-only switched on, which the header does not touch.
  write(header, [](TTargetState& b, TTargetState& a) {
    b.LastWrite = Ft(Ticks(a.LastWrite) - 864000000000LL);
    a.Attr = b.Attr | kHid;
  });
  EXPECT_EQ(load(), TJournalLoad::Damaged) << "a last-write time of its own";
  write(header, [&](TTargetState& b, TTargetState& a) {
    planned(b, a);
    b.Creation = Ft(Ticks(a.Creation) + 10000);
  });
  EXPECT_EQ(load(), TJournalLoad::Damaged) << "a creation time a millisecond off";
  for (DWORD extra : {kSys, kRO}) {
    write(header, [&](TTargetState& b, TTargetState& a) {
      planned(b, a);
      a.Attr |= extra;
    });
    EXPECT_EQ(load(), TJournalLoad::Damaged) << "attribute " << extra;
  }
  // Headers no run writes: a time set without the date step, an attribute switched on without being
  // touched, a plan that changes nothing.
  TJournalHeader noDateStep = header;
  noDateStep.ChangeDate = false;
  TJournalHeader outsideMask = header;
  outsideMask.AttrValues = kHid | kSys;
  TJournalHeader nothing;
  for (const TJournalHeader* h : {&noDateStep, &outsideMask, &nothing}) {
    write(*h, [](TTargetState&, TTargetState&) {});
    EXPECT_EQ(load(), TJournalLoad::Damaged);
  }
  // Through the undo's own reading too: nothing is written to the victims.
  write(header, [](TTargetState& b, TTargetState& a) { a.Attr = b.Attr | kSys; });
  TJournalUndo undo(journalPath);
  TJournal journal;
  DWORD error;
  EXPECT_EQ(undo.Read(journal, error), TJournalLoad::Damaged);
  EXPECT_EQ(undo.Hold(error), TJournalUndo::THold::Replaced) << "a journal not read cannot be held";
  EXPECT_EQ(TakeAll(victims), untouched);
}

TEST_F(UndoTest, NothingMayFollowTheEndOfARun) {
  host.paths = {tree.MakeFile(L"a.txt")};
  PlanChange();
  run.ButtonSetClick();
  const std::string whole = testsupport::ReadFileBytes(journalPath);
  // The end record moved before the last after state: every check is right, the order is not.
  const size_t end = whole.size() - 36, after = end - 36;
  const std::string swapped = whole.substr(0, after) + whole.substr(end) + whole.substr(after, 36);
  ASSERT_NE(comm::comm_ReplaceFileBytes(journalPath, swapped).Result, comm::rpFailed);
  TJournal journal;
  DWORD error;
  EXPECT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Damaged);
}

// A run stopped at a target (killed, or its journal could not be written further) leaves no after
// state: what the run may have done to it is given back without a question, later work is asked about.
TEST_F(UndoTest, ATargetTheRunWasStoppedAtIsAskedAboutOnlyForWorkThatIsNotTheRuns) {
  std::vector<std::wstring> paths;
  for (int i = 0; i < 5; ++i) paths.push_back(tree.MakeFile(L"f" + std::to_wstring(i) + L".txt"));
  for (int i = 0; i < 5; ++i) OddTimes(paths[i], i);
  SetAttr(paths[1], kRO);
  const auto before = TakeAll(paths);
  // The run sets hidden on and read-only off, and both times to one value.
  TJournalHeader header;
  header.ChangeAttr = header.ChangeDate = header.SetCreate = header.SetUpdate = true;
  header.AttrMask = kRO | kHid;
  header.AttrValues = kHid;
  const int64_t runTime = FileTimeOf(2001, 2, 3, 4, 5, 6), later = FileTimeOf(2020, 6, 7, 8, 9, 10);
  header.Creation = header.LastWrite = {static_cast<DWORD>(runTime), static_cast<DWORD>(runTime >> 32)};
  ASSERT_TRUE(writer.Begin(header));
  comm::TFolderNameCache folders;
  for (const auto& p : paths) {
    TTargetState state;
    TChangeTarget target(p, folders);
    ASSERT_EQ(target.ReadState(state), TTargetStatus::Done);
    ASSERT_TRUE(writer.Record(p, state));
  }
  writer.Commit();
  ASSERT_TRUE(writer.End(false));
  // f0 untouched; f1 after the attribute step; f2 after both steps; f3 and f4 worked on later.
  SetAttr(paths[1], kHid);
  SetAttr(paths[2], kHid);
  ASSERT_TRUE(WriteRawTimes(paths[2], runTime, -1, runTime));
  ASSERT_TRUE(WriteRawTimes(paths[3], -1, -1, later));
  SetAttr(paths[4], kSys);

  host.answers = {TAnswer::Yes, TAnswer::Yes};
  Undo();
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::ChangedSince, paths[3]),
                                                       QuestionText(TQuestion::ChangedSince, paths[4])}));
  EXPECT_EQ(host.informs, std::vector<std::wstring>{UndoSummaryText(false, 5, 0, 0)});
  EXPECT_EQ(TakeAll(paths), before);
}

TEST(ChangedSinceRunTest, AStoppedTargetsUnsetTimeMayHaveLostItsPartsBelowTheMillisecond) {
  // The date step writes the side it does not set back through a conversion that keeps milliseconds.
  TJournalHeader header;
  header.ChangeDate = header.SetUpdate = true;
  header.LastWrite = {5, 0};
  TJournalRecord record;
  record.Before.Creation = {123456789, 30000000};
  TTargetState now = record.Before;
  now.LastWrite = header.LastWrite;
  EXPECT_FALSE(ChangedSinceRun(header, record, now));
  now.Creation.dwLowDateTime = 123456789 - 9999;
  EXPECT_FALSE(ChangedSinceRun(header, record, now));
  now.Creation.dwLowDateTime = 123456789 - 10000;
  EXPECT_TRUE(ChangedSinceRun(header, record, now));
  now.Creation.dwLowDateTime = 123456789 + 1;
  EXPECT_TRUE(ChangedSinceRun(header, record, now));
  // A time that is neither what the run writes nor what it found.
  now.Creation = record.Before.Creation;
  now.LastWrite = {6, 0};
  EXPECT_TRUE(ChangedSinceRun(header, record, now));
}

namespace {

// Ends the process at the attribute write of one target, as a crash or a kill from outside would:
// nothing is flushed or closed.
class KillingTarget : public TChangeTarget {
 public:
  KillingTarget(std::wstring path, comm::TFolderNameCache& folders, bool kill)
      : TChangeTarget(std::move(path), folders), FKill(kill) {}
  TTargetStatus WriteAttr(DWORD attr) override {
    if (FKill) TerminateProcess(GetCurrentProcess(), 7);
    return TChangeTarget::WriteAttr(attr);
  }

 private:
  bool FKill;
};

constexpr wchar_t kKilledRunVariable[] = L"VSS_TEST_KILLED_RUN_ROOT";

// The options of the killed and ended runs: the update time (and the creation time where asked)
// written, hidden switched on.
void SetDatesAndHidden(enginetest::FakeChangeHost& host, bool creation) {
  host.controls.DateChg = host.controls.Update = true;
  host.controls.Create = creation;
  host.SetParts(dsCreate, 2001, 2, 3, 4, 5, 6);
  host.SetParts(dsUpdate, 2002, 3, 4, 5, 6, 7);
  host.controls.AttrChg = host.controls.Hidden = host.controls.HiddenOn = true;
}

// The tree that the parent of a death test named in the environment; empty in the parent itself.
std::wstring ParentsTree(const wchar_t* variable) {
  wchar_t given[1024];
  const DWORD n = GetEnvironmentVariableW(variable, given, 1024);
  return n > 0 && n < 1024 ? std::wstring(given, n) : std::wstring();
}

}  // namespace

// The child of the death test runs this test anew; the tree is the parent's, named in the environment.
TEST(UndoAfterKillTest, AKilledRunLeavesAJournalThatGivesBackExactlyWhatItChanged) {
  testsupport::FixedLocalBias utcZone{0};
  std::unique_ptr<testsupport::TempTree> tree;
  std::wstring root = ParentsTree(kKilledRunVariable);
  std::vector<std::wstring> paths;
  if (!root.empty()) {
    for (int i = 0; i < 5; ++i) paths.push_back(root + L"\\f" + std::to_wstring(i) + L".txt");
  } else {
    tree = std::make_unique<testsupport::TempTree>();
    root = tree->Root();
    for (int i = 0; i < 5; ++i) {
      paths.push_back(tree->MakeFile(L"f" + std::to_wstring(i) + L".txt"));
      OddTimes(paths.back(), i);
    }
    SetEnvironmentVariableW(kKilledRunVariable, root.c_str());
  }
  const std::wstring journalPath = root + L"\\user\\VornaStampShifter.undo";

  // The run is ended at its third target, after that target's record and before its first write.
  auto killedRun = [&] {
    enginetest::FakeChangeHost host;
    host.paths = paths;
    SetDatesAndHidden(host, true);
    TChangeRun run(host, host, host);
    TJournalWriter writer(journalPath);
    run.SetJournal(&writer);
    run.SetTargetFactory([&](const std::wstring& literal, comm::TFolderNameCache& folders) {
      return std::make_unique<KillingTarget>(literal, folders, literal.ends_with(L"f2.txt"));
    });
    run.ButtonSetClick();
  };
  const auto before = TakeAll(paths);
  EXPECT_EXIT(killedRun(), testing::ExitedWithCode(7), "");
  SetEnvironmentVariableW(kKilledRunVariable, nullptr);

  const auto after = TakeAll(paths);
  EXPECT_NE(after[0], before[0]);
  EXPECT_NE(after[1], before[1]);
  EXPECT_EQ(after[2], before[2]);
  TJournal journal;
  DWORD error;
  ASSERT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
  ASSERT_EQ(journal.Records.size(), 3u);
  EXPECT_TRUE(journal.Records[0].HasAfter && journal.Records[1].HasAfter);
  EXPECT_FALSE(journal.Records[2].HasAfter);
  EXPECT_EQ(journal.Ending, TRunEnding::Cut);
  // The killed run held the journal's lock: the system let it go with the process.
  TJournalLock lock(journalPath);
  EXPECT_TRUE(lock.Acquire(0, error)) << error;
  lock.Release();

  enginetest::FakeChangeHost host;
  TChangeRun run(host, host, host);
  run.UndoClick(journal);
  EXPECT_EQ(host.informs, std::vector<std::wstring>{UndoSummaryText(false, 3, 0, 0)});
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(TakeAll(paths), before);
}

namespace {

// A target whose times cannot be written, and a user who ends the program at the question about it.
class TimesRefused : public TChangeTarget {
 public:
  using TChangeTarget::TChangeTarget;
  comm::TReplaceTimesResult ReplaceTimes(const comm::TDateTime*, const comm::TDateTime*) override { return comm::rtWriteFailed; }
};
class EndingAtQuestion : public enginetest::FakeChangeHost {
 public:
  TAnswer Ask(TQuestion, const std::wstring&) override {
    TerminateProcess(GetCurrentProcess(), 9);
    return TAnswer::Abort;
  }
};

constexpr wchar_t kEndedRunVariable[] = L"VSS_TEST_ENDED_RUN_ROOT";

}  // namespace

// The run's first target is changed in part when its question comes up; the program is ended under the
// question. What the run did to it must be in the journal.
TEST(UndoAfterKillTest, AProgramEndedAtItsFirstQuestionLeavesAJournalOfThePartChange) {
  testsupport::FixedLocalBias utcZone{0};
  std::unique_ptr<testsupport::TempTree> tree;
  std::wstring root = ParentsTree(kEndedRunVariable);
  if (root.empty()) {
    tree = std::make_unique<testsupport::TempTree>();
    root = tree->Root();
    OddTimes(tree->MakeFile(L"f.txt"), 0);
    SetEnvironmentVariableW(kEndedRunVariable, root.c_str());
  }
  const std::wstring file = root + L"\\f.txt", journalPath = root + L"\\user\\VornaStampShifter.undo";
  auto endedRun = [&] {
    EndingAtQuestion host;
    host.paths = {file};
    SetDatesAndHidden(host, false);
    TChangeRun run(host, host, host);
    TJournalWriter writer(journalPath);
    run.SetJournal(&writer);
    run.SetTargetFactory([](const std::wstring& literal, comm::TFolderNameCache& folders) {
      return std::make_unique<TimesRefused>(literal, folders);
    });
    run.ButtonSetClick();
  };
  const Snapshot before = Take(file);
  EXPECT_EXIT(endedRun(), testing::ExitedWithCode(9), "");
  SetEnvironmentVariableW(kEndedRunVariable, nullptr);
  ASSERT_EQ(Attr(file), kHid) << "the run did not get as far as its question";

  TJournal journal;
  DWORD error;
  ASSERT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
  ASSERT_EQ(journal.Records.size(), 1u);
  enginetest::FakeChangeHost host;
  TChangeRun run(host, host, host);
  run.UndoClick(journal);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_TRUE(run.UndoComplete());
  EXPECT_EQ(Take(file), before);
}

namespace {
// A journal of two targets whose run wrote the given times and attributes, each target's attributes
// before it as given.
TJournal TextJournal(bool create, bool update, int64_t creation, int64_t lastWrite, DWORD mask, DWORD values,
                     DWORD before0, DWORD before1) {
  TJournal journal;
  TJournalHeader& h = journal.Header;
  h.Started = Ft(FileTimeOf(2026, 12, 8, 10, 15, 30));
  h.ChangeDate = create || update;
  h.SetCreate = create;
  h.SetUpdate = update;
  h.Creation = Ft(creation);
  h.LastWrite = Ft(lastWrite);
  h.ChangeAttr = mask != 0;
  h.AttrMask = mask;
  h.AttrValues = values;
  for (DWORD attr : {before0, before1}) {
    TJournalRecord r;
    r.Path = L"C:\\data\\f" + std::to_wstring(journal.Records.size()) + L".txt";
    r.Before.Attr = attr;
    r.Before.Creation = Ft(FileTimeOf(2019, 1, 2, 3, 4, 5));
    r.Before.LastWrite = Ft(FileTimeOf(2019, 1, 2, 3, 4, 6));
    r.HasAfter = true;
    journal.Records.push_back(r);
  }
  journal.Ending = TRunEnding::Ended;
  return journal;
}
}  // namespace

TEST(UndoConfirmationTextTest, SaysWhenHowManyHowTheRunEndedAndWhatGoesBack) {
  testsupport::FixedLocalBias utcZone{0};
  const int64_t t1 = FileTimeOf(2026, 12, 8, 0, 0, 0), t2 = FileTimeOf(2026, 12, 9, 1, 2, 3);
  TJournal journal = TextJournal(false, true, 0, t1, kHid, kHid, 0, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(UndoConfirmationText(journal),
            L"直前の変更を元に戻します。\r\r実行日時\t： 2026/12/08 10:15:30\r対象数\t\t： 2\r"
            L"実行結果\t： 最後まで実行されました\r\r"
            L"更新日時を 2026/12/08 00:00:00 から元の日時に戻し、隠し属性を OFF に戻します。\r\r"
            L"C:\\data\\f0.txt\rC:\\data\\f1.txt\r\rよろしいですか？");
  journal.Ending = TRunEnding::Stopped;
  EXPECT_NE(UndoConfirmationText(journal).find(L"\r実行結果\t： 途中で中止されました\r"), std::wstring::npos);
  journal.Ending = TRunEnding::Cut;
  EXPECT_NE(UndoConfirmationText(journal).find(L"\r実行結果\t： 途中で終わっています（記録がそこで途切れています）\r"),
            std::wstring::npos);

  // Both times: one value named once, two values each with its own.
  EXPECT_EQ(UndoChangeText(TextJournal(true, true, t1, t1, 0, 0, 0, 0)),
            L"作成日時と更新日時を 2026/12/08 00:00:00 から元の日時に戻します。");
  EXPECT_EQ(UndoChangeText(TextJournal(true, true, t1, t2, 0, 0, 0, 0)),
            L"作成日時を 2026/12/08 00:00:00 から、更新日時を 2026/12/09 01:02:03 から元の日時に戻します。");
  EXPECT_EQ(UndoChangeText(TextJournal(true, false, t2, 0, 0, 0, 0, 0)),
            L"作成日時を 2026/12/09 01:02:03 から元の日時に戻します。");
  // Attributes, grouped by the state they go back to; one that every target had already is not named,
  // one that a single target lacked is.
  EXPECT_EQ(UndoChangeText(TextJournal(false, false, 0, 0, kRO | kHid | kSys, kHid | kSys, kRO, kRO)),
            L"隠し属性とシステム属性を OFF に、読み取り専用属性を ON に戻します。");
  EXPECT_EQ(UndoChangeText(TextJournal(false, false, 0, 0, kRO | kHid | kSys, kRO | kHid | kSys, kRO | kHid, kRO | kHid)),
            L"システム属性を OFF に戻します。");
  EXPECT_EQ(UndoChangeText(
                TextJournal(false, false, 0, 0, kRO | kHid | kSys, kRO | kHid | kSys, kRO | kHid | kSys, kHid | kSys)),
            L"読み取り専用属性を OFF に戻します。");
  // Times that every target had already, attributes none lacked: nothing goes back, nothing is said,
  // and the confirmation goes from the counts to the paths.
  const TJournal same = TextJournal(true, false, FileTimeOf(2019, 1, 2, 3, 4, 5), 0, kHid, kHid, kHid, kHid);
  EXPECT_EQ(UndoChangeText(same), L"");
  EXPECT_NE(UndoConfirmationText(same).find(L"最後まで実行されました\r\rC:\\data\\f0.txt\r"), std::wstring::npos);
}

TEST(UndoConfirmationTextTest, FivePathsAreListedAndOnlyThoseBeyondAreCounted) {
  TJournal journal;
  for (int i = 0; i < 6; ++i) {
    journal.Records.emplace_back();
    journal.Records.back().Path = L"C:\\p" + std::to_wstring(i);
  }
  const std::wstring six = UndoConfirmationText(journal);
  EXPECT_NE(six.find(L"C:\\p4\rほか 1 件\r\rよろしいですか？"), std::wstring::npos);
  EXPECT_EQ(six.find(L"C:\\p5"), std::wstring::npos);
  journal.Records.pop_back();
  const std::wstring five = UndoConfirmationText(journal);
  EXPECT_NE(five.find(L"C:\\p4\r\rよろしいですか？"), std::wstring::npos);
  EXPECT_EQ(five.find(L"ほか"), std::wstring::npos);
}
