// The run report: each target's outcome, the system's error and the states before and after, for a
// run and an undo; kept in the journal (and beside it) so that it survives a restart; its words and CSV.
#include "ChangeRunFixture.h"
#include "comm/Crc32.h"
#include "comm/Csv.h"
#include "comm/ErrorText.h"
#include "comm/FileBytes.h"
#include "engine/UndoJournal.h"

using namespace engine;
using enginetest::Attr;
using enginetest::ChangeRunTest;
using enginetest::kHid;
using enginetest::SetAttr;

namespace {

// A real target whose attribute write is refused with a chosen system error.
class RefusingTarget : public TChangeTarget {
 public:
  RefusingTarget(std::wstring literal, comm::TFolderNameCache& folders, DWORD error)
      : TChangeTarget(std::move(literal), folders), FCode(error) {}
  TTargetStatus WriteAttr(DWORD attr) override {
    if (FCode == ERROR_SUCCESS) return TChangeTarget::WriteAttr(attr);
    SetError(FCode);
    return TTargetStatus::Failed;
  }

 private:
  DWORD FCode;
};

class RunReportTest : public ChangeRunTest {
 protected:
  std::wstring journalPath = tree.Path(L"user\\VornaStampShifter.undo");
  TJournalWriter writer{journalPath};
  std::vector<TReportEntry> sunk;

  RunReportTest() {
    run.SetJournal(&writer);
    run.SetReportSink([this](const TReportEntry& e) { sunk.push_back(e); });
  }
  // Hidden switched on; the targets whose path ends so refuse it with the error.
  void PlanHidden(const std::wstring& refusedEnding = L"", DWORD error = ERROR_SUCCESS) {
    host.controls.AttrChg = host.controls.Hidden = host.controls.HiddenOn = true;
    run.SetTargetFactory([=](const std::wstring& literal, comm::TFolderNameCache& folders) {
      const bool refuse = !refusedEnding.empty() && literal.ends_with(refusedEnding);
      return std::make_unique<RefusingTarget>(literal, folders, refuse ? error : ERROR_SUCCESS);
    });
  }
};

void ExpectSameEntries(const std::vector<TReportEntry>& a, const std::vector<TReportEntry>& b, int line) {
  SCOPED_TRACE(testing::Message() << "called from line " << line);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "entry " << i);
    EXPECT_EQ(a[i].Path, b[i].Path);
    EXPECT_EQ(a[i].Outcome, b[i].Outcome);
    EXPECT_EQ(a[i].Error, b[i].Error);
    EXPECT_EQ(a[i].Note, b[i].Note);
    EXPECT_EQ(a[i].HasBefore, b[i].HasBefore);
    EXPECT_EQ(a[i].HasAfter, b[i].HasAfter);
    if (a[i].HasBefore && b[i].HasBefore) {
      EXPECT_TRUE(SameTargetState(a[i].Before, b[i].Before));
    }
    if (a[i].HasAfter && b[i].HasAfter) {
      EXPECT_TRUE(SameTargetState(a[i].After, b[i].After));
    }
  }
}
#define EXPECT_SAME_ENTRIES(a, b) ExpectSameEntries(a, b, __LINE__)

// The journal's format written by hand, as its header documents it.
void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}
void PutTime(std::string& out, int64_t t) {
  Put32(out, static_cast<uint32_t>(t));
  Put32(out, static_cast<uint32_t>(t >> 32));
}
void PutCrc(std::string& out, size_t from) { Put32(out, comm::Crc32(std::string_view(out).substr(from))); }
std::string Header(const char* magic, uint32_t flags, uint32_t mask, uint32_t values, int64_t lastWrite) {
  std::string h(magic, 8);
  Put32(h, 64);
  Put32(h, flags);
  Put32(h, mask);
  Put32(h, values);
  PutTime(h, testsupport::FileTimeOf(2026, 1, 2, 3, 4, 5));
  PutTime(h, 0);
  PutTime(h, lastWrite);
  PutTime(h, 0x1234);
  Put32(h, 0);
  PutCrc(h, 0);
  return h;
}
std::string Record(char kind, const std::wstring& path, uint32_t attr, uint32_t extra, int64_t c, int64_t w) {
  std::string r;
  Put32(r, static_cast<uint32_t>(kind));
  Put32(r, static_cast<uint32_t>(path.size()));
  Put32(r, attr);
  Put32(r, extra);
  PutTime(r, c);
  PutTime(r, w);
  for (wchar_t ch : path) {
    r.push_back(static_cast<char>(ch & 0xFF));
    r.push_back(static_cast<char>(ch >> 8));
  }
  PutCrc(r, 0);
  return r;
}
uint32_t Result(TTargetOutcome o, TReportNote n = TReportNote::None) {
  return static_cast<uint32_t>(o) | (uint32_t{static_cast<uint8_t>(n)} << 8);
}

}  // namespace

// ---- what a run records ----

TEST_F(RunReportTest, ARunRecordsEachTargetsOutcomeErrorAndStatesAndTheJournalKeepsThem) {
  const std::wstring ok = tree.MakeFile(L"ok.txt"), refused = tree.MakeFile(L"refused.txt"),
                     missing = tree.Path(L"missing.txt"), already = tree.MakeFile(L"already.txt");
  SetAttr(already, kHid);
  host.paths = {ok, refused, missing, already};
  PlanHidden(L"refused.txt", ERROR_SHARING_VIOLATION);
  host.answers = {TAnswer::Yes, TAnswer::Yes};
  run.ButtonSetClick();
  // The questions keep their texts; the summary its counts.
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::AttrWriteFailed, refused),
                                                       QuestionText(TQuestion::Missing, missing)}));
  EXPECT_SUMMARY(false, 2, 1, 1);

  const TRunReport& report = run.Report();
  EXPECT_FALSE(report.Undo);
  EXPECT_EQ(report.Ending, TRunEnding::Ended);
  ASSERT_EQ(report.Entries.size(), 4u);
  const TReportEntry &a = report.Entries[0], &b = report.Entries[1], &c = report.Entries[2], &d = report.Entries[3];
  EXPECT_EQ(a.Path, ok);
  EXPECT_EQ(a.Outcome, TTargetOutcome::Changed);
  ASSERT_TRUE(a.HasBefore && a.HasAfter);
  EXPECT_EQ(a.Before.Attr & kHid, 0u);
  EXPECT_EQ(a.After.Attr & kHid, kHid);
  EXPECT_EQ(ReasonText(a), L"");

  EXPECT_EQ(b.Outcome, TTargetOutcome::Failed);
  EXPECT_EQ(b.Error, DWORD{ERROR_SHARING_VIOLATION});
  EXPECT_EQ(b.Note, TReportNote::AttrWriteFailed);
  EXPECT_TRUE(b.HasBefore && b.HasAfter);
  const std::wstring sharing = comm::SystemErrorText(ERROR_SHARING_VIOLATION);
  ASSERT_FALSE(sharing.empty());
  EXPECT_EQ(ReasonText(b), L"属性を変更できません：" + sharing);

  EXPECT_EQ(c.Outcome, TTargetOutcome::Missing);
  EXPECT_TRUE(c.Error == ERROR_FILE_NOT_FOUND || c.Error == ERROR_PATH_NOT_FOUND) << c.Error;
  EXPECT_FALSE(c.HasBefore || c.HasAfter);
  EXPECT_EQ(ReasonText(c), comm::SystemErrorText(c.Error));

  // Written, and as it was: already as the plan makes it. (The summary counts it as changed.)
  EXPECT_EQ(d.Outcome, TTargetOutcome::Unchanged);

  // Each outcome went to the sink as it came.
  EXPECT_SAME_ENTRIES(sunk, report.Entries);

  // The journal holds the same report, and it is the last one.
  TJournal journal;
  DWORD error;
  ASSERT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
  EXPECT_EQ(journal.Records.size(), 3u) << "the missing target has no record to undo";
  EXPECT_SAME_ENTRIES(journal.Report.Entries, report.Entries);
  EXPECT_EQ(journal.Report.Ending, TRunEnding::Ended);
  TRunReport last;
  ASSERT_EQ(LoadLastReport(journalPath, last, error), TJournalLoad::Loaded);
  EXPECT_SAME_ENTRIES(last.Entries, report.Entries);
  EXPECT_TRUE(SameFileTime(last.Started, journal.Header.Started));
}

TEST_F(RunReportTest, ATargetWithoutAValueAndARunThatChangesNothingAreReportedAndTheReportIsKeptBesideTheJournal) {
  // The run before: its journal is the last run's.
  const std::wstring named = tree.MakeFile(L"IMG_20230102_030405.jpg"), plain = tree.MakeFile(L"plain.txt");
  host.paths = {named};
  PlanHidden();
  run.ButtonSetClick();
  ASSERT_EQ(run.Report().Entries.size(), 1u);
  EXPECT_EQ(run.Report().Entries[0].Outcome, TTargetOutcome::Changed);

  // The update time from the name: the plain file has none and keeps its times, asking nothing.
  host.controls = {};
  PlanDates(false, true);
  host.rules.Rule[dsUpdate].Source = TTimeSource::FileName;
  host.paths = {plain};
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 0, 0, 1);
  ASSERT_EQ(run.Report().Entries.size(), 1u);
  const TReportEntry& e = run.Report().Entries[0];
  EXPECT_EQ(e.Outcome, TTargetOutcome::NoValue);
  EXPECT_EQ(e.Note, TReportNote::NoNameDate);
  EXPECT_EQ(ReasonText(e), L"ファイル名に日時なし");
  EXPECT_EQ(e.Error, 0u);

  // The run changed nothing: the journal stays the run before's, and this run's report lies beside it.
  TJournal journal;
  DWORD error;
  ASSERT_EQ(LoadJournal(journalPath, journal, error), TJournalLoad::Loaded);
  EXPECT_EQ(journal.Records[0].Path, named);
  TRunReport last;
  ASSERT_EQ(LoadLastReport(journalPath, last, error), TJournalLoad::Loaded);
  EXPECT_SAME_ENTRIES(last.Entries, run.Report().Entries);

  // A new run that changes something takes the report's place again.
  host.controls = {};
  host.rules = {};
  PlanHidden();
  host.paths = {plain};
  run.ButtonSetClick();
  EXPECT_EQ(GetFileAttributesW(ReportPathOf(journalPath).c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_EQ(LoadLastReport(journalPath, last, error), TJournalLoad::Loaded);
  ASSERT_EQ(last.Entries.size(), 1u);
  EXPECT_EQ(last.Entries[0].Path, plain);
  EXPECT_EQ(last.Entries[0].Outcome, TTargetOutcome::Changed);
}

TEST_F(RunReportTest, AnUndoReportsWhatItGaveBackAndItsReportOutlivesTheJournal) {
  const std::wstring a = tree.MakeFile(L"a.txt"), b = tree.MakeFile(L"b.txt");
  host.paths = {a, b};
  PlanHidden();
  run.ButtonSetClick();
  SetAttr(b, 0);  // b is already as the run found it

  TJournalUndo undo(journalPath);
  TJournal journal;
  DWORD error;
  ASSERT_EQ(undo.Read(journal, error), TJournalLoad::Loaded);
  ASSERT_EQ(undo.Hold(error), TJournalUndo::THold::Held);
  sunk.clear();
  run.UndoClick(journal);
  ASSERT_TRUE(run.UndoComplete());
  const TRunReport& report = run.Report();
  EXPECT_TRUE(report.Undo);
  ASSERT_EQ(report.Entries.size(), 2u);
  EXPECT_EQ(report.Entries[0].Outcome, TTargetOutcome::Changed);
  EXPECT_EQ(report.Entries[0].Before.Attr & kHid, kHid);
  EXPECT_EQ(report.Entries[0].After.Attr & kHid, 0u);
  EXPECT_EQ(report.Entries[1].Outcome, TTargetOutcome::Unchanged);
  EXPECT_EQ(sunk.size(), 2u);

  ASSERT_TRUE(undo.SaveReport(report, error)) << error;
  ASSERT_TRUE(undo.Remove());
  TRunReport last;
  ASSERT_EQ(LoadLastReport(journalPath, last, error), TJournalLoad::Loaded);
  EXPECT_TRUE(last.Undo);
  EXPECT_EQ(last.Ending, TRunEnding::Ended);
  EXPECT_SAME_ENTRIES(last.Entries, report.Entries);
}

// ---- the format ----

TEST(RunReportFormatTest, AJournalOfTheOlderVersionLoadsWithOutcomesWorkedOutFromItsStates) {
  const int64_t t0 = testsupport::FileTimeOf(2020, 1, 1, 0, 0, 0), t1 = testsupport::FileTimeOf(2026, 1, 1, 0, 0, 0);
  // Attributes and the last-write time set; hidden switched on.
  std::string v1 = Header("VSSUNDO1", 1 | 2 | 8, kHid, kHid, t1);
  v1 += Record('B', L"C:\\a", 0x20, 0, t0, t0) + Record('A', L"", 0x20 | kHid, 0, t0, t1);
  v1 += Record('B', L"C:\\b", 0x20 | kHid, 0, t1, t1) + Record('A', L"", 0x20 | kHid, 0, t1, t1);
  v1 += Record('B', L"C:\\c", 0x20, 0, t0, t0);
  TJournal journal;
  ASSERT_EQ(ParseJournal(v1, journal), TJournalLoad::Loaded);
  EXPECT_EQ(journal.Records.size(), 3u);
  ASSERT_EQ(journal.Report.Entries.size(), 3u);
  EXPECT_EQ(journal.Report.Entries[0].Outcome, TTargetOutcome::Changed);
  EXPECT_EQ(journal.Report.Entries[1].Outcome, TTargetOutcome::Unchanged);
  // The run was killed at its last target.
  EXPECT_EQ(journal.Report.Entries[2].Outcome, TTargetOutcome::Failed);
  EXPECT_EQ(journal.Report.Entries[2].Note, TReportNote::Cut);
  EXPECT_EQ(journal.Report.Ending, TRunEnding::Cut);
  // Ended, the same target has no result recorded.
  ASSERT_EQ(ParseJournal(v1 + Record('E', L"", 0, 0, 0, 0), journal), TJournalLoad::Loaded);
  EXPECT_EQ(journal.Report.Entries[2].Note, TReportNote::Unknown);
  // The older version knows no result records.
  EXPECT_EQ(ParseJournal(v1 + Record('R', L"", Result(TTargetOutcome::Failed), 5, 0, 0), journal),
            TJournalLoad::Damaged);
}

TEST(RunReportFormatTest, ResultRecordsLoadWhereARunCouldHaveWrittenThemAndAreDamageElsewhere) {
  const int64_t t0 = testsupport::FileTimeOf(2020, 1, 1, 0, 0, 0), t1 = testsupport::FileTimeOf(2026, 1, 1, 0, 0, 0);
  const std::string head = Header("VSSUNDO2", 1 | 2 | 8, kHid, kHid, t1);
  const std::string b = Record('B', L"C:\\a", 0x20, 0, t0, t0), a = Record('A', L"", 0x20 | kHid, 0, t0, t1);
  const std::string failed = Record('R', L"", Result(TTargetOutcome::Failed, TReportNote::TimeWriteFailed), 5, 0, 0);
  const std::string missing = Record('R', L"C:\\gone", Result(TTargetOutcome::Missing), ERROR_FILE_NOT_FOUND, 0, 0);
  TJournal journal;
  ASSERT_EQ(ParseJournal(head + missing + b + a + failed, journal), TJournalLoad::Loaded);
  ASSERT_EQ(journal.Report.Entries.size(), 2u);
  EXPECT_EQ(journal.Records.size(), 1u);
  EXPECT_EQ(journal.Report.Entries[0].Path, L"C:\\gone");
  EXPECT_EQ(journal.Report.Entries[0].Error, DWORD{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(journal.Report.Entries[1].Outcome, TTargetOutcome::Failed);
  EXPECT_EQ(journal.Report.Entries[1].Note, TReportNote::TimeWriteFailed);
  EXPECT_EQ(journal.Report.Entries[1].Error, 5u);
  EXPECT_TRUE(journal.Report.Entries[1].HasAfter);

  // The last outcome and the last note there are; one past each.
  EXPECT_EQ(ParseJournal(head + b + Record('R', L"", Result(TTargetOutcome::NoValue, TReportNote::OutOfRange), 0, 0, 0),
                         journal),
            TJournalLoad::Loaded);
  const struct {
    std::string bytes;
    const char* what;
  } damaged[] = {
      {head + b + Record('R', L"", 5, 0, 0, 0), "an outcome past the last"},
      {head + b + Record('R', L"", Result(TTargetOutcome::Failed, TReportNote(kLastReportNote + 1)), 0, 0, 0),
       "a note past the last"},
      {head + failed + b, "a result without its target"},
      {head + b + failed + failed + b, "two results for one target"},
      {head + b + failed + a, "an after state after the result"},
      {head + Record('R', L"C:\\x", Result(TTargetOutcome::Changed), 0, 0, 0) + b,
       "a target without a record changed"},
      {head + b + a + failed + Record('E', L"", 0, 0, 0, 0) + missing, "a result after the end"},
  };
  for (const auto& d : damaged) EXPECT_EQ(ParseJournal(d.bytes, journal), TJournalLoad::Damaged) << d.what;
}

TEST_F(RunReportTest, AKilledRunsJournalStillYieldsItsReport) {
  const std::wstring a = tree.MakeFile(L"a.txt"), b = tree.MakeFile(L"b.txt");
  host.paths = {a, b};
  PlanHidden();
  run.ButtonSetClick();
  const std::string whole = testsupport::ReadFileBytes(journalPath);
  // Cut inside the last target's after state: the end, its result and part of its after state gone.
  TJournal journal;
  ASSERT_EQ(ParseJournal(whole.substr(0, whole.size() - 36 - 36 - 10), journal), TJournalLoad::Loaded);
  ASSERT_EQ(journal.Report.Entries.size(), 2u);
  EXPECT_EQ(journal.Report.Entries[0].Outcome, TTargetOutcome::Changed);
  EXPECT_EQ(journal.Report.Entries[1].Outcome, TTargetOutcome::Failed);
  EXPECT_EQ(journal.Report.Entries[1].Note, TReportNote::Cut);
  EXPECT_EQ(journal.Report.Ending, TRunEnding::Cut);
}

TEST(RunReportFormatTest, TheReportFileRoundTripsAndItsDamageIsTold) {
  TRunReport report;
  report.Undo = true;
  report.Started = {123, 456};
  report.Ending = TRunEnding::Stopped;
  TReportEntry changed, failed;
  changed.Path = L"C:\\写真\\a.jpg";
  changed.HasBefore = changed.HasAfter = true;
  changed.Before = {FILE_ATTRIBUTE_HIDDEN, {1, 2}, {3, 4}};
  changed.After = {0, {5, 6}, {7, 8}};
  failed.Path = L"C:\\b";
  failed.Outcome = TTargetOutcome::Failed;
  failed.Error = ERROR_ACCESS_DENIED;
  failed.Note = TReportNote::AttrUnreadable;
  report.Entries = {changed, failed};
  const std::string bytes = ReportBytes(report);
  TRunReport back;
  ASSERT_EQ(ParseReport(bytes, back), TJournalLoad::Loaded);
  EXPECT_TRUE(back.Undo);
  EXPECT_TRUE(SameFileTime(back.Started, report.Started));
  EXPECT_EQ(back.Ending, TRunEnding::Stopped);
  EXPECT_SAME_ENTRIES(back.Entries, report.Entries);
  // A changed byte in the header or a record, a journal's bytes, an unknown flag.
  for (size_t at : {size_t{2}, size_t{40}, size_t{64 + 40}}) {
    std::string bad = bytes;
    bad[at] ^= 0x04;
    EXPECT_EQ(ParseReport(bad, back), TJournalLoad::Damaged) << "byte " << at;
  }
  EXPECT_EQ(ParseReport(Header("VSSUNDO2", 1, 0, 0, 0), back), TJournalLoad::Damaged);
  std::string flagged = bytes.substr(0, 64);
  flagged[12] = 3;
  flagged = flagged.substr(0, 60);
  PutCrc(flagged, 0);
  EXPECT_EQ(ParseReport(flagged, back), TJournalLoad::Damaged);
}

// A journal or report file cut at any byte, or with any one bit changed, is damaged or yields the
// entries it still holds whole: never a crash, never an entry or outcome that was not written.
TEST(RunReportFormatTest, EveryCutAndEveryFlippedBitIsDamagedOrLeavesWhatWasWritten) {
  const int64_t t0 = testsupport::FileTimeOf(2020, 1, 1, 0, 0, 0), t1 = testsupport::FileTimeOf(2026, 1, 1, 0, 0, 0);
  const std::string b = Record('B', L"C:\\a", 0x20, 0, t0, t0), a = Record('A', L"", 0x20 | kHid, 0, t0, t1);
  const std::string journalBytes =
      Header("VSSUNDO2", 1 | 2 | 8, kHid, kHid, t1) +
      Record('R', L"C:\\gone", Result(TTargetOutcome::Missing), ERROR_FILE_NOT_FOUND, 0, 0) + b + a +
      Record('R', L"", Result(TTargetOutcome::Failed, TReportNote::TimeWriteFailed), 5, 0, 0) +
      Record('B', L"C:\\写真", 0x20, 0, t0, t0) + a + Record('R', L"", Result(TTargetOutcome::Changed), 0, 0, 0) +
      Record('E', L"", 0, 0, 0, 0);
  TJournal whole;
  ASSERT_EQ(ParseJournal(journalBytes, whole), TJournalLoad::Loaded);
  ASSERT_EQ(whole.Report.Entries.size(), 3u);
  const std::string reportBytes = ReportBytes(whole.Report);

  for (const bool report : {false, true}) {
    const std::string& bytes = report ? reportBytes : journalBytes;
    const auto parse = [&](const std::string& damaged, TRunReport& out) {
      if (report) return ParseReport(damaged, out);
      TJournal journal;
      const TJournalLoad load = ParseJournal(damaged, journal);
      out = journal.Report;
      return load;
    };
    TRunReport back;
    for (size_t size = 0; size < bytes.size(); ++size) {
      SCOPED_TRACE(testing::Message() << (report ? "report" : "journal") << " cut at " << size);
      const TJournalLoad load = parse(bytes.substr(0, size), back);
      if (load == TJournalLoad::Damaged) continue;
      ASSERT_LE(back.Entries.size(), whole.Report.Entries.size());
      EXPECT_EQ(back.Ending, TRunEnding::Cut);
      // The entries before the last are whole; the last may have lost its result.
      for (size_t i = 0; i < back.Entries.size(); ++i) {
        EXPECT_EQ(back.Entries[i].Path, whole.Report.Entries[i].Path);
        if (i + 1 < back.Entries.size()) {
          EXPECT_EQ(back.Entries[i].Outcome, whole.Report.Entries[i].Outcome);
        }
      }
    }
    for (size_t bit = 0; bit < 8 * bytes.size(); ++bit) {
      SCOPED_TRACE(testing::Message() << (report ? "report" : "journal") << " bit " << bit);
      std::string flipped = bytes;
      flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (1 << (bit % 8)));
      if (parse(flipped, back) == TJournalLoad::Damaged) continue;
      // Only the last record, the end, may be taken for one a killed run was writing.
      EXPECT_GE(bit / 8, bytes.size() - 36);
      EXPECT_EQ(back.Ending, TRunEnding::Cut);
      EXPECT_SAME_ENTRIES(back.Entries, whole.Report.Entries);
    }
  }
}

// ---- words, order and CSV ----

TEST(RunReportTextTest, FailuresComeFirstTheFilterKeepsOneOutcomeAndTheCsvHasAHeadAndARowEach) {
  TRunReport report;
  const TTargetOutcome outcomes[] = {TTargetOutcome::Changed, TTargetOutcome::Failed, TTargetOutcome::NoValue,
                                     TTargetOutcome::Missing, TTargetOutcome::Failed, TTargetOutcome::Unchanged};
  for (size_t i = 0; i < std::size(outcomes); ++i) {
    TReportEntry& e = report.Entries.emplace_back();
    e.Path = L"C:\\f" + std::to_wstring(i);
    e.Outcome = outcomes[i];
  }
  EXPECT_EQ(ReportOrder(report), (std::vector<size_t>{1, 4, 3, 0, 5, 2}));
  EXPECT_EQ(ReportOrder(report, static_cast<int>(TTargetOutcome::Failed)), (std::vector<size_t>{1, 4}));
  EXPECT_EQ(ReportOrder(report, static_cast<int>(TTargetOutcome::NoValue)), (std::vector<size_t>{2}));
  EXPECT_EQ(OutcomeCounts(report), (std::array<int, kOutcomeCount>{2, 1, 1, 1, 1}));
  EXPECT_EQ(OutcomeText(TTargetOutcome::Failed), L"失敗");
  EXPECT_EQ(OutcomeText(TTargetOutcome::NoValue), L"値なし");

  testsupport::FixedLocalBias utc{0};
  TReportEntry& e = report.Entries[1];
  e.Path = L"C:\\a, b.txt";
  e.Error = ERROR_ACCESS_DENIED;
  e.Note = TReportNote::TimeWriteFailed;
  e.HasBefore = true;
  e.Before = {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE,
              {static_cast<DWORD>(testsupport::FileTimeOf(2024, 5, 6, 7, 8, 9)),
               static_cast<DWORD>(testsupport::FileTimeOf(2024, 5, 6, 7, 8, 9) >> 32)},
              {static_cast<DWORD>(testsupport::FileTimeOf(2025, 1, 2, 3, 4, 5)),
               static_cast<DWORD>(testsupport::FileTimeOf(2025, 1, 2, 3, 4, 5) >> 32)}};
  const std::wstring csv = ReportCsvText(report, {1});
  const std::wstring head = L"結果,パス,理由,作成日時,新しい作成日時,更新日時,新しい更新日時,属性,新しい属性\r\n";
  EXPECT_EQ(csv, head + L"失敗,\"C:\\a, b.txt\"," + comm::CsvField(L"日時を変更できません：" +
                                                                   comm::SystemErrorText(ERROR_ACCESS_DENIED)) +
                     L",2024/05/06 07:08:09,,2025/01/02 03:04:05,,R,\r\n");
  // The whole report in the run's order.
  const std::wstring all = ReportCsvText(report);
  EXPECT_EQ(std::count(all.begin(), all.end(), L'\n'), 7);
  EXPECT_EQ(all.substr(head.size(), 3), L"変更,");
}
