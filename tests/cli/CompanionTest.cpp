// The companion in this process: its console adapters, and whole runs, dry runs and undos on a real
// folder tree with the output caught in files.
#include "cli/Companion.h"
#include "comm/Clock.h"
#include "comm/Utf8.h"
#include "support/FileObstacles.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <deque>

namespace {

using testsupport::FileTimeOf;
using testsupport::ReadRawTimes;
using testsupport::TempTree;

// A standard handle redirected to a file, read back as text.
class Caught {
 public:
  explicit Caught(const std::wstring& path) : FPath(path) {
    FFile = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr);
    Out = std::make_unique<cli::TTextOut>(FFile);
  }
  ~Caught() {
    Out.reset();
    CloseHandle(FFile);
  }
  std::string Bytes() {
    Out->Flush();
    return testsupport::ReadFileBytes(FPath);
  }
  std::wstring Text() { return comm::Utf8ToWide(Bytes()); }
  std::unique_ptr<cli::TTextOut> Out;

 private:
  std::wstring FPath;
  HANDLE FFile;
};

size_t Count(const std::wstring& text, const std::wstring& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != std::wstring::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(CliConsole, RedirectedTextIsUtf8WithoutAMarkAndLinesEndInCrLf) {
  TempTree tree;
  Caught out(tree.Path(L"out.txt"));
  EXPECT_FALSE(out.Out->IsConsole());
  out.Out->Write(L"変更\tC:\\a.txt\nb");
  EXPECT_EQ(out.Bytes(), "\xE5\xA4\x89\xE6\x9B\xB4\tC:\\a.txt\r\nb");
  // A character beyond the first plane (a surrogate pair) is four bytes; a lone half is U+FFFD.
  std::string bytes = "x";
  comm::AppendUtf8(bytes, L"\U0001F600|\xD800|");
  EXPECT_EQ(bytes, "x\xF0\x9F\x98\x80|\xEF\xBF\xBD|");
  EXPECT_EQ(cli::OneLine(L"変更が終了しました。\r\r変更数\t\t： 3\r"), L"変更が終了しました。 変更数 ： 3");
}

TEST(CliConsole, QuestionsTakeTheirKeysAndYesAnswersAllWithoutReading) {
  TempTree tree;
  Caught out(tree.Path(L"out.txt")), err(tree.Path(L"err.txt"));
  std::deque<wchar_t> keys;
  int reads = 0;
  auto reader = [&]() -> wchar_t {
    ++reads;
    if (keys.empty()) return 0;
    const wchar_t k = keys.front();
    keys.pop_front();
    return k;
  };
  cli::TConsoleUser user(*out.Out, *err.Out, false, reader);
  keys = {L'x', L'1', L'y'};  // keys that answer nothing are passed over
  EXPECT_EQ(user.Ask(engine::TQuestion::Missing, L"C:\\a が存在しません。\r処理を続けますか？"), engine::TAnswer::Yes);
  keys = {L'a'};
  EXPECT_EQ(user.Ask(engine::TQuestion::Missing, L"q"), engine::TAnswer::YesToAll);
  keys = {L'n'};
  EXPECT_EQ(user.Ask(engine::TQuestion::Missing, L"q"), engine::TAnswer::Abort);
  keys = {};  // the input ended (or Ctrl+C): stop rather than go on unasked
  EXPECT_EQ(user.Ask(engine::TQuestion::Missing, L"q"), engine::TAnswer::Abort);
  keys = {L'a', L'y'};  // a yes/no question does not take "a"
  EXPECT_TRUE(user.Confirm(L"記録せずに変更しますか？", false));
  EXPECT_NE(err.Text().find(L"C:\\a が存在しません。 処理を続けますか？"), std::wstring::npos);

  cli::TConsoleUser yes(*out.Out, *err.Out, true, reader);
  reads = 0;
  EXPECT_EQ(yes.Ask(engine::TQuestion::TimeWriteFailed, L"q"), engine::TAnswer::YesToAll);
  EXPECT_FALSE(yes.Confirm(L"記録せずに変更しますか？", false));  // the box's default: no
  EXPECT_TRUE(yes.Confirm(L"元に戻しますか？", true));
  EXPECT_EQ(reads, 0);
}

// A companion run in this process, its output caught, with the tree's own journal.
struct CompanionRun {
  explicit CompanionRun(const TempTree& tree) : out(tree.Path(L"out.txt")), err(tree.Path(L"err.txt")) {}
  int operator()(const TempTree& tree, std::vector<std::wstring> args) {
    cli::TCompanionIo io{*out.Out, *err.Out, nullptr, false, tree.Path(L"journal.undo")};
    return cli::RunCompanion(args, io);
  }
  Caught out, err;
};

class CliCompanion : public testing::Test {
 protected:
  void SetUp() override {
    cli::ClearStop();
    a = tree.MakeFile(L"data\\a.jpg");
    b = tree.MakeFile(L"data\\sub\\b.txt");
    ASSERT_TRUE(testsupport::WriteRawTimes(a, FileTimeOf(2010, 1, 1), -1, FileTimeOf(2010, 1, 2)));
    ASSERT_TRUE(testsupport::WriteRawTimes(b, FileTimeOf(2011, 1, 1), -1, FileTimeOf(2011, 1, 2)));
  }
  void TearDown() override { cli::ClearStop(); }
  static int64_t Local(int y, int mo, int d, int h, int mi, int s) {
    comm::TDateTime t;
    comm::TryEncodeDateTime({y, mo, d, h, mi, s, 0}, t);
    FILETIME ft;
    comm::comm_ConvDateTimeToFileTime(t, ft);
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
  }
  TempTree tree;
  std::wstring a, b;
};

TEST_F(CliCompanion, ARunChangesWhatMatchesPrintsALinePerTargetAndIsUndone) {
  CompanionRun run(tree);
  const int64_t aBefore = ReadRawTimes(a).LastWrite, bBefore = ReadRawTimes(b).LastWrite;
  // Only the .jpg below the folder, walked recursively, files only.
  EXPECT_EQ(run(tree, {L"--modified", L"2001-02-03 04:05:06", L"--hidden", L"on", L"--recurse", L"--files", L"--ext",
                       L"JPG", L"--log", tree.Path(L"log.csv"), tree.Path(L"data")}),
            cli::ecDone);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, Local(2001, 2, 3, 4, 5, 6));
  EXPECT_TRUE(GetFileAttributesW(a.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(ReadRawTimes(b).LastWrite, bBefore);
  const std::wstring out = run.out.Text();
  EXPECT_EQ(Count(out, L"\r\n"), 2u) << std::string(out.begin(), out.end());  // a's line and the summary
  EXPECT_NE(out.find(engine::OutcomeText(engine::TTargetOutcome::Changed) + L"\t" + a + L"\t"), std::wstring::npos);
  EXPECT_NE(out.find(L"2001/02/03 04:05:06 / H\t"), std::wstring::npos);
  EXPECT_NE(out.find(L"変更が終了しました。"), std::wstring::npos);
  const std::string log = testsupport::ReadFileBytes(tree.Path(L"log.csv"));
  EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(comm::Utf8ToWide(log).find(a), std::wstring::npos);

  // The undo gives a back and removes the journal.
  CompanionRun undo(tree);
  EXPECT_EQ(undo(tree, {L"--undo", L"--yes"}), cli::ecDone);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, aBefore);
  EXPECT_FALSE(GetFileAttributesW(a.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributesW(tree.Path(L"journal.undo").c_str()), INVALID_FILE_ATTRIBUTES);
  CompanionRun again(tree);
  EXPECT_EQ(again(tree, {L"--undo"}), cli::ecNothing);
  EXPECT_NE(again.err.Text().find(L"元に戻せる変更はありません。"), std::wstring::npos);
  EXPECT_EQ(again.out.Text(), L"");
}

TEST_F(CliCompanion, ADryRunChangesNothingAndPrintsWhatWould) {
  CompanionRun run(tree);
  const testsupport::RawTimes before = ReadRawTimes(a);
  EXPECT_EQ(run(tree, {L"--dry-run", L"--created", L"2001-02-03", L"--readonly", L"on", a, tree.Path(L"missing.txt")}),
            cli::ecFailed);  // a path that names nothing is not collected, and is a failure
  const testsupport::RawTimes after = ReadRawTimes(a);
  EXPECT_EQ(after.Creation, before.Creation);
  EXPECT_EQ(after.LastWrite, before.LastWrite);
  EXPECT_FALSE(GetFileAttributesW(a.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(GetFileAttributesW(tree.Path(L"journal.undo").c_str()), INVALID_FILE_ATTRIBUTES);
  const std::wstring out = run.out.Text();
  EXPECT_NE(out.find(a + L"\t"), std::wstring::npos);
  EXPECT_NE(out.find(L" / R\t"), std::wstring::npos);
  EXPECT_NE(out.find(L"確認のみ (--dry-run): 変更される数 1、エラー数 0、未変更数 0"), std::wstring::npos);
  EXPECT_NE(out.find(engine::OutcomeText(engine::TTargetOutcome::Missing) + L"\t" + tree.Path(L"missing.txt") + L"\t"),
            std::wstring::npos);
  // Without it, the same dry run is a success; with it, its log names it.
  CompanionRun found(tree);
  EXPECT_EQ(found(tree, {L"--dry-run", L"--created", L"2001-02-03", a}), cli::ecDone);
  CompanionRun logged(tree);
  EXPECT_EQ(logged(tree, {L"--dry-run", L"--created", L"2001-02-03", L"--log", tree.Path(L"log.csv"), tree.Path(L"gone")}),
            cli::ecNothing);
  EXPECT_NE(comm::Utf8ToWide(testsupport::ReadFileBytes(tree.Path(L"log.csv"))).find(tree.Path(L"gone")),
            std::wstring::npos);
}

TEST_F(CliCompanion, ExitCodesOfNothingMatchedUsageAndAStop) {
  CompanionRun none(tree);
  // A log left by an earlier run is replaced by this run's, which holds no target.
  tree.MakeFile(L"log.csv", "an earlier run's log");
  EXPECT_EQ(none(tree, {L"--hidden", L"on", L"--files", L"--recurse", L"--ext", L"png", L"--log", tree.Path(L"log.csv"),
                        tree.Path(L"data")}),
            cli::ecNothing);
  const std::wstring log = comm::Utf8ToWide(testsupport::ReadFileBytes(tree.Path(L"log.csv")));
  EXPECT_EQ(log.find(L"earlier"), std::wstring::npos);
  EXPECT_EQ(log.find(a), std::wstring::npos);
  EXPECT_NE(log.find(engine::ReportColumnCaption(engine::rcPath)), std::wstring::npos);
  EXPECT_NE(none.err.Text().find(L"パスと条件に合う"), std::wstring::npos);
  CompanionRun usage(tree);
  EXPECT_EQ(usage(tree, {L"--created", L"2025-02-30", a}), cli::ecUsage);
  EXPECT_NE(usage.err.Text().find(L"--created 値"), std::wstring::npos);
  EXPECT_EQ(usage.out.Text(), L"");
  // Ctrl+C before the collection: nothing is changed.
  const int64_t before = ReadRawTimes(a).LastWrite;
  cli::RequestStop();
  CompanionRun stopped(tree);
  EXPECT_EQ(stopped(tree, {L"--modified", L"now", a}), cli::ecStopped);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, before);
  CompanionRun help(tree);
  EXPECT_EQ(help(tree, {L"--help"}), cli::ecDone);
  std::wstring usageText;
  for (wchar_t c : cli::UsageText()) usageText += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
  EXPECT_EQ(help.out.Text(), usageText);
}

TEST_F(CliCompanion, ARunThatWouldNotStartWithoutItsJournalIsAFailure) {
  // The journal's folder cannot be made: a file stands in its place. --yes answers "run without a
  // journal?" as the box's default does, no.
  tree.MakeFile(L"blocked");
  const int64_t before = ReadRawTimes(a).LastWrite;
  CompanionRun run(tree);
  cli::TCompanionIo io{*run.out.Out, *run.err.Out, nullptr, false, tree.Path(L"blocked\\journal.undo")};
  EXPECT_EQ(cli::RunCompanion({L"--modified", L"now", L"--yes", a}, io), cli::ecFailed);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, before);
  EXPECT_NE(run.err.Text().find(L"記録せずに変更しますか？"), std::wstring::npos);
}

TEST_F(CliCompanion, ATargetGoneWhenTheRunComesToItIsAFailure) {
  // Asked whether to run without a journal (its folder cannot be made), b goes meanwhile; "y" to both
  // that question and the one about b.
  tree.MakeFile(L"blocked");
  CompanionRun run(tree);
  int asked = 0;
  cli::TCompanionIo io{*run.out.Out, *run.err.Out,
                       [&]() -> wchar_t {
                         if (++asked == 1) DeleteFileW(b.c_str());
                         return L'y';
                       },
                       true, tree.Path(L"blocked\\journal.undo")};
  EXPECT_EQ(cli::RunCompanion({L"--modified", L"2001-02-03 04:05:06", a, b}, io), cli::ecFailed);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, Local(2001, 2, 3, 4, 5, 6));
  EXPECT_NE(run.out.Text().find(engine::OutcomeText(engine::TTargetOutcome::Missing) + L"\t" + b + L"\t"),
            std::wstring::npos);
}

TEST_F(CliCompanion, TheLogIsWrittenHoweverTheRunEndsAndWhereverItIsAsked) {
  // A run or undo that ends early leaves a log of what it did (nothing), never an earlier run's.
  const std::wstring log = tree.Path(L"log.csv");
  const auto replaced = [&] {
    const std::wstring text = comm::Utf8ToWide(testsupport::ReadFileBytes(log));
    return text.find(L"earlier") == std::wstring::npos &&
           text.find(engine::ReportColumnCaption(engine::rcPath)) != std::wstring::npos;
  };
  tree.MakeFile(L"log.csv", "an earlier run's log");
  tree.MakeFile(L"journal.undo", "not a journal");
  CompanionRun damaged(tree);
  EXPECT_EQ(damaged(tree, {L"--undo", L"--yes", L"--log", log}), cli::ecFailed);
  EXPECT_TRUE(replaced());
  tree.MakeFile(L"log.csv", "an earlier run's log");
  cli::RequestStop();
  CompanionRun stopped(tree);
  EXPECT_EQ(stopped(tree, {L"--modified", L"now", L"--log", log, a}), cli::ecStopped);
  EXPECT_TRUE(replaced());
  cli::ClearStop();

  // A log path beyond MAX_PATH is written.
  std::wstring folder = L"long";
  while (tree.Path(folder).size() < 280) folder += L"\\長いフォルダ名 0123456789";
  tree.MakeDir(folder);
  const std::wstring longLog = tree.Path(folder + L"\\log.csv");
  ASSERT_GT(longLog.size(), size_t{MAX_PATH});
  CompanionRun deep(tree);
  EXPECT_EQ(deep(tree, {L"--modified", L"2001-02-03", L"--log", longLog, a}), cli::ecDone);
  EXPECT_NE(comm::Utf8ToWide(testsupport::ReadFileBytes(L"\\\\?\\" + longLog)).find(a), std::wstring::npos);
  // One that cannot be written is told, and the run that changed its targets ends as a failure.
  CompanionRun nowhere(tree);
  EXPECT_EQ(nowhere(tree, {L"--modified", L"2002-02-03", L"--log", tree.Path(L"no\\such\\log.csv"), a}), cli::ecFailed);
  EXPECT_NE(nowhere.err.Text().find(L"ログ ファイルを書き込めません"), std::wstring::npos);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, Local(2002, 2, 3, 0, 0, 0));
}

TEST_F(CliCompanion, QuestionsAreAskedOnAConsoleAndCtrlCWhileOneWaitsIsAStop) {
  // Another program holds a.jpg without sharing it: the run asks about it.
  testsupport::OtherProcessHold hold(a, GENERIC_READ, 0);
  ASSERT_TRUE(hold.Holding());
  int asked = 0;
  CompanionRun yes(tree);
  cli::TCompanionIo io{*yes.out.Out, *yes.err.Out, [&]() -> wchar_t { return ++asked == 1 ? L'y' : 0; }, true,
                       tree.Path(L"journal.undo")};
  EXPECT_EQ(cli::RunCompanion({L"--modified", L"2001-02-03 04:05:06", a, b}, io), cli::ecFailed);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(ReadRawTimes(b).LastWrite, Local(2001, 2, 3, 4, 5, 6));  // "y": on to the next target
  const std::wstring failedLine = engine::OutcomeText(engine::TTargetOutcome::Failed) + L"\t" + a + L"\t";
  EXPECT_NE(yes.out.Text().find(failedLine), std::wstring::npos);
  EXPECT_NE(yes.err.Text().find(L"[y] 続行  [n] 中止  [a] すべてはい: y"), std::wstring::npos);

  CompanionRun stopped(tree);
  cli::TCompanionIo io2{*stopped.out.Out, *stopped.err.Out, []() -> wchar_t {
                          cli::RequestStop();  // Ctrl+C while the question waits
                          return 0;
                        },
                        true, tree.Path(L"journal.undo")};
  EXPECT_EQ(cli::RunCompanion({L"--modified", L"2002-02-03 04:05:06", a, b}, io2), cli::ecStopped);
  EXPECT_NE(ReadRawTimes(b).LastWrite, Local(2002, 2, 3, 4, 5, 6));
}

TEST_F(CliCompanion, CtrlCStopsTheRunAtTheNextTargetAndTheJournalKeepsWhatWasDone) {
  const std::wstring c = tree.MakeFile(L"data\\c.txt");
  targets::TTargetList list;
  for (const auto& f : {a, b, c}) list.Add(f);
  cli::TCliOptions options;
  cli::TUsageError error;
  cli::TRunSettings settings;
  ASSERT_TRUE(cli::ParseArguments({L"--modified", L"2001-02-03 04:05:06", L"x"}, comm::Now(), options, error));
  ASSERT_TRUE(cli::MakeRunSettings(options, settings, error));
  Caught out(tree.Path(L"out.txt")), err(tree.Path(L"err.txt"));
  cli::TListTargets targets(list);
  cli::TConsoleWindow window(settings);
  cli::TConsoleUser user(*out.Out, *err.Out, true, nullptr);
  engine::TChangeRun run(window, targets, user);
  window.SetRun(&run);
  engine::TJournalWriter journal(tree.Path(L"journal.undo"));
  run.SetJournal(&journal);
  // Ctrl+C while the first target is done.
  int reported = 0;
  run.SetReportSink([&](const engine::TReportEntry&) {
    ++reported;
    cli::RequestStop();
  });
  run.ButtonSetClick();
  EXPECT_TRUE(window.Stopped());
  EXPECT_TRUE(run.LastSummary().Aborted);
  EXPECT_EQ(run.LastSummary().Changed, 1);
  EXPECT_EQ(reported, 1);
  // The first target in the list's order changed, the last not.
  EXPECT_EQ(ReadRawTimes(std::wstring(list.Entry(0))).LastWrite, Local(2001, 2, 3, 4, 5, 6));
  EXPECT_NE(ReadRawTimes(std::wstring(list.Entry(2))).LastWrite, Local(2001, 2, 3, 4, 5, 6));
  engine::TJournal kept;
  DWORD loadError = 0;
  ASSERT_EQ(engine::LoadJournal(tree.Path(L"journal.undo"), kept, loadError), engine::TJournalLoad::Loaded);
  EXPECT_EQ(kept.Records.size(), 1u);
  EXPECT_EQ(kept.Ending, engine::TRunEnding::Stopped);
  EXPECT_NE(out.Text().find(L"変更を中断しました。"), std::wstring::npos);
}

TEST(CliDryRun, RowsBecomeTheOutcomesARunWouldHave) {
  engine::TPreviewRow row;
  row.Read = true;
  row.AttrNote = engine::TSideNote::Missing;
  EXPECT_EQ(cli::DryRunEntry(row, L"p").Outcome, engine::TTargetOutcome::Missing);
  row.AttrNote = engine::TSideNote::Unreadable;
  EXPECT_EQ(cli::DryRunEntry(row, L"p").Outcome, engine::TTargetOutcome::Failed);
  row.AttrNote = engine::TSideNote::Same;
  row.CreationNote = engine::TSideNote::NoTime;
  row.LastWriteNote = engine::TSideNote::NotSet;
  row.Attr = row.NewAttr = FILE_ATTRIBUTE_ARCHIVE;
  EXPECT_EQ(cli::DryRunEntry(row, L"p").Outcome, engine::TTargetOutcome::NoValue);
  row.CreationNote = engine::TSideNote::Same;
  EXPECT_EQ(cli::DryRunEntry(row, L"p").Outcome, engine::TTargetOutcome::Unchanged);
  row.LastWriteNote = engine::TSideNote::Changes;
  row.NewLastWrite = {5, 6};
  const engine::TReportEntry e = cli::DryRunEntry(row, L"p");
  EXPECT_EQ(e.Outcome, engine::TTargetOutcome::Changed);
  EXPECT_TRUE(e.HasBefore && e.HasAfter);
  EXPECT_EQ(e.After.LastWrite.dwLowDateTime, 5u);
  EXPECT_TRUE(cli::PrintsLine(e));
  EXPECT_FALSE(cli::PrintsLine(cli::DryRunEntry(engine::TPreviewRow{}, L"p")));  // nothing to do
}

}  // namespace
