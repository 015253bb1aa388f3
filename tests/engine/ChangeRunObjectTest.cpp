// The change run changes exactly the object each entry names: links themselves, names that Windows'
// path rules would trim, drive roots; attributes that do not take and a read-only state that cannot
// be put back are errors; whatever escapes a run leaves the window idle.
#include "ChangeRunFixture.h"
#include "comm/LiteralPath.h"
#include "support/Links.h"
#include <new>

using namespace engine;
using enginetest::Attr;
using enginetest::ChangeRunTest;
using enginetest::kHid;
using enginetest::kRO;
using enginetest::kSys;
using enginetest::SetAttr;
using testsupport::FileTimeOf;
using testsupport::ReadRawTimes;

namespace {

// A real target whose attribute writes fail in a chosen way, where no file system can be made to.
struct FaultyTarget : TChangeTarget {
  enum Fault { AcceptWithoutEffect, RefuseReadOnlyOn };
  FaultyTarget(std::wstring literal, comm::TFolderNameCache& folders, Fault f)
      : TChangeTarget(std::move(literal), folders), fault(f) {}
  TTargetStatus WriteAttr(DWORD attr) override {
    if (fault == AcceptWithoutEffect) return TTargetStatus::Done;
    if (attr & kRO) return TTargetStatus::Failed;
    return TChangeTarget::WriteAttr(attr);
  }
  Fault fault;
};

void UseFaultyTargets(TChangeRun& run, FaultyTarget::Fault fault) {
  run.SetTargetFactory([fault](const std::wstring& literal, comm::TFolderNameCache& folders) {
    return std::make_unique<FaultyTarget>(literal, folders, fault);
  });
}

// A file or folder made under a name that Windows' path rules would trim ("a.", "b ").
std::wstring MakeLiteral(const std::wstring& path, bool folder) {
  const std::wstring literal = L"\\\\?\\" + path;
  if (folder) {
    EXPECT_TRUE(CreateDirectoryW(literal.c_str(), nullptr));
  } else {
    comm::TUniqueHandle h(CreateFileW(literal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EXPECT_TRUE(h.Valid());
  }
  return path;
}
DWORD LiteralAttr(const std::wstring& path) { return Attr(L"\\\\?\\" + path); }
int64_t LiteralWriteTime(const std::wstring& path) { return ReadRawTimes(L"\\\\?\\" + path).LastWrite; }

const int64_t kOld = FileTimeOf(2010, 10, 10, 10, 10, 10);

}  // namespace

// ---- links ----

TEST_F(ChangeRunTest, LinksAreChangedThemselvesOrReportedAndWhatTheyLeadToKeepsEverything) {
  const std::wstring outDir = tree.MakeDir(L"outside\\folder"), outFile = tree.MakeFile(L"outside\\file.txt");
  for (const auto& p : {outDir, outFile}) ASSERT_TRUE(testsupport::WriteRawTimes(p, kOld, kOld, kOld));
  const std::wstring dirLink = tree.MakeDir(L"inside") + L"\\folder link", fileLink = tree.Path(L"inside\\file link.txt");
  const std::wstring plain = tree.MakeFile(L"inside\\plain.txt");
  if (!testsupport::MakeSymbolicLink(dirLink, outDir, true) || !testsupport::MakeSymbolicLink(fileLink, outFile, false)) {
    ASSERT_FALSE(testsupport::RunningOnWine()) << "Wine can always make a Unix link";
    GTEST_SKIP() << "this account cannot make symbolic links";
  }
  host.paths = {dirLink, fileLink, plain};
  host.controls.AttrChg = host.controls.Hidden = host.controls.HiddenOn = true;
  PlanDates(true, true);
  const bool changedThemselves = testsupport::LinksOpenAsThemselves();
  if (!changedThemselves) host.answers = {TAnswer::Yes, TAnswer::Yes, TAnswer::Yes, TAnswer::Yes};
  run.ButtonSetClick();

  // Whatever the platform, nothing outside the tree changed.
  for (const auto& p : {outDir, outFile}) {
    SCOPED_TRACE(testing::Message() << "outside object " << testing::PrintToString(p));
    EXPECT_EQ(Attr(p), 0u);
    EXPECT_EQ(ReadRawTimes(p).LastWrite, kOld);
  }
  EXPECT_EQ(Attr(plain), kHid);
  EXPECT_EQ(ReadRawTimes(plain).LastWrite, NewUpdate());
  if (changedThemselves) {
    // Windows: the links themselves carry the change (the attribute read shows the link's own word).
    EXPECT_TRUE(host.questions.empty());
    EXPECT_SUMMARY(false, 3, 0, 0);
    EXPECT_EQ(Attr(dirLink), kHid);
    EXPECT_EQ(Attr(fileLink), kHid);
  } else {
    // Wine follows a Unix link whatever it is asked: each link is reported at both steps.
    EXPECT_EQ(host.questions, (std::vector<std::wstring>{
                                  QuestionText(TQuestion::AttrWriteFailed, dirLink), QuestionText(TQuestion::TimeWriteFailed, dirLink),
                                  QuestionText(TQuestion::AttrWriteFailed, fileLink), QuestionText(TQuestion::TimeWriteFailed, fileLink)}));
    EXPECT_SUMMARY(false, 1, 2, 0);
  }
}

// ---- names the path rules would trim ----

TEST_F(ChangeRunTest, NamesEndingInAPeriodOrASpaceGetExactlyTheirOwnChange) {
  const std::wstring a = tree.MakeFile(L"a"), b = tree.MakeDir(L"b");
  const std::wstring aDot = MakeLiteral(tree.Path(L"a."), false), bSpace = MakeLiteral(tree.Path(L"b "), true);
  for (const auto& p : {a, b}) ASSERT_TRUE(testsupport::WriteRawTimes(p, kOld, kOld, kOld));
  for (const auto& p : {aDot, bSpace}) ASSERT_TRUE(testsupport::WriteRawTimes(L"\\\\?\\" + p, kOld, kOld, kOld));

  // The trimmed-looking names alone: their plain neighbours keep everything.
  host.paths = {aDot, bSpace};
  host.controls.AttrChg = host.controls.Hidden = host.controls.HiddenOn = true;
  PlanDates(false, true);
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 2, 0, 0);
  EXPECT_EQ(LiteralAttr(aDot), kHid);
  EXPECT_EQ(LiteralAttr(bSpace), kHid);
  EXPECT_EQ(LiteralWriteTime(aDot), NewUpdate());
  EXPECT_EQ(LiteralWriteTime(bSpace), NewUpdate());
  EXPECT_EQ(Attr(a), 0u);
  EXPECT_EQ(Attr(b), 0u);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, kOld);
  EXPECT_EQ(ReadRawTimes(b).LastWrite, kOld);

  // And the other way round: the plain names change, the others keep their first change.
  host.paths = {a, b};
  host.controls.Hidden = false;
  host.controls.System = host.controls.SystemOn = true;
  host.SetParts(dsUpdate, 2003, 1, 1, 0, 0, 0);
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 2, 0, 0);
  EXPECT_EQ(Attr(a), kSys);
  EXPECT_EQ(Attr(b), kSys);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, FileTimeOf(2003, 1, 1));
  EXPECT_EQ(LiteralAttr(aDot), kHid);
  EXPECT_EQ(LiteralAttr(bSpace), kHid);
  EXPECT_EQ(LiteralWriteTime(bSpace), NewUpdate());
}

// ---- attributes read back ----

TEST_F(ChangeRunTest, AnAttributeThatDoesNotTakeIsAnErrorWithItsQuestion) {
  // A write that is accepted and changes nothing, on any platform.
  const std::wstring f = tree.MakeFile(L"f.txt"), g = tree.MakeFile(L"g.txt");
  host.paths = {f, g};
  host.controls.AttrChg = host.controls.System = host.controls.SystemOn = true;
  host.answers = {TAnswer::Yes, TAnswer::Yes};
  UseFaultyTargets(run, FaultyTarget::AcceptWithoutEffect);
  run.ButtonSetClick();
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::AttrWriteFailed, f),
                                                       QuestionText(TQuestion::AttrWriteFailed, g)}));
  EXPECT_SUMMARY(false, 0, 2, 0);

  // The same write that leaves every bit as it was is no failure: the other side of the comparison.
  host.controls.SystemOn = false;
  host.questions.clear();
  run.ButtonSetClick();
  EXPECT_TRUE(host.questions.empty());
  EXPECT_SUMMARY(false, 2, 0, 0);
}

TEST_F(ChangeRunTest, ReadOnlyThatAFolderDoesNotKeepIsReportedAndHiddenOnAReadOnlyFileTakes) {
  // Wine accepts read-only for a folder and keeps none; Windows keeps it. The run reports what the
  // folder has afterwards, whichever it is.
  const std::wstring d = tree.MakeDir(L"d"), f = tree.MakeFile(L"ro.txt");
  SetAttr(f, kRO);
  host.paths = {d, f};
  host.controls.AttrChg = host.controls.ReadOnly = host.controls.ReadOnlyOn = true;
  host.controls.Hidden = host.controls.HiddenOn = true;
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  const bool folderKeptIt = (Attr(d) & kRO) != 0;
  EXPECT_EQ(folderKeptIt, !testsupport::RunningOnWine());
  if (folderKeptIt) {
    EXPECT_TRUE(host.questions.empty());
    EXPECT_SUMMARY(false, 2, 0, 0);
  } else {
    EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::AttrWriteFailed, d)}));
    EXPECT_SUMMARY(false, 1, 1, 0);
  }
  // Hidden is written before read-only goes back on: a read-only file under Wine refuses it otherwise.
  EXPECT_EQ(Attr(f), kRO | kHid);
}

TEST_F(ChangeRunTest, AReadOnlyStateThatCannotBePutBackIsAnErrorWithTheAttributeQuestion) {
  const std::wstring f = tree.MakeFile(L"ro.txt"), g = tree.MakeFile(L"plain.txt");
  SetAttr(f, kRO);
  host.paths = {f, g};
  PlanDates(false, true);
  host.answers = {TAnswer::Yes};
  UseFaultyTargets(run, FaultyTarget::RefuseReadOnlyOn);
  run.ButtonSetClick();
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::AttrWriteFailed, f)}));
  EXPECT_SUMMARY(false, 1, 1, 0);
  EXPECT_EQ(ReadRawTimes(f).LastWrite, NewUpdate());  // the date step itself was made
  EXPECT_EQ(Attr(f), 0u);
  // Put back as it should be, the same file counts as changed and stays read-only.
  SetAttr(f, kRO);
  run.SetTargetFactory(nullptr);
  host.questions.clear();
  run.ButtonSetClick();
  EXPECT_TRUE(host.questions.empty());
  EXPECT_SUMMARY(false, 2, 0, 0);
  EXPECT_EQ(Attr(f), kRO);
}

// ---- drive roots ----

TEST_F(ChangeRunTest, ADriveRootIsChangedItselfNotTheCurrentFolderOfItsDrive) {
  if (GetDriveTypeW(L"T:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "drive T: is not mapped (tools/as-test-user maps it)";
  const std::wstring probe = L"T:\\current folder probe";
  CreateDirectoryW(probe.c_str(), nullptr);
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(probe.c_str()));  // "T:" alone now names the probe folder
  for (const auto& p : {std::wstring(L"T:\\"), probe}) ASSERT_TRUE(testsupport::WriteRawTimes(p, kOld, kOld, kOld));
  host.paths = {L"T:\\"};
  PlanDates(false, true);
  run.ButtonSetClick();
  const auto root = ReadRawTimes(L"T:\\"), folder = ReadRawTimes(probe);
  SetCurrentDirectoryW(saved);
  RemoveDirectoryW(probe.c_str());
  EXPECT_TRUE(host.questions.empty());
  EXPECT_SUMMARY(false, 1, 0, 0);
  EXPECT_EQ(root.LastWrite, NewUpdate());
  EXPECT_EQ(folder.LastWrite, kOld);
}

TEST_F(ChangeRunTest, ADriveRootWhoseTimesCannotBeWrittenGetsItsQuestion) {
  // Under Wine, Z:\ is the host's root folder, which an ordinary user cannot change.
  if (!testsupport::RunningOnWine()) GTEST_SKIP() << "no drive root here is known to refuse its times";
  if (!testsupport::ReadOnlyRefusesWriteOpen()) GTEST_SKIP() << "run as root, this would change the host's root folder";
  const std::wstring f = tree.MakeFile(L"after.txt");
  host.paths = {L"Z:\\", f};
  PlanDates(false, true);
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{L"Z:\\ の更新日時が変更できませんでした。\r処理を続けますか？"}));
  EXPECT_SUMMARY(false, 1, 1, 0);
  EXPECT_EQ(ReadRawTimes(f).LastWrite, NewUpdate());
}

// ---- exceptions ----

TEST_F(ChangeRunTest, AnExceptionInsideARunReturnsTheWindowToIdleAndReportsIt) {
  std::vector<std::wstring> files;
  for (int i = 0; i < 3; ++i) files.push_back(tree.MakeFile(L"f" + std::to_wstring(i) + L".txt"));
  host.paths = files;
  PlanDates(false, true);
  host.onPump = [](int pump) {
    if (pump == 1) throw std::bad_alloc();
  };
  run.ButtonSetClick();
  EXPECT_FALSE(run.Running());
  EXPECT_EQ(host.exceptions, (std::vector<std::string>{"std::bad_alloc"}));
  // Back to idle (cursor, controls, progress), told what went wrong, then how far the run got.
  const std::vector<std::string> tail{"arrow", "idle", "at 0", "front", "exception", "inform", "idle"};
  ASSERT_GE(host.events.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(host.events.end() - static_cast<long>(tail.size()), host.events.end()), tail);
  EXPECT_SUMMARY(true, 1, 0, 2);
  EXPECT_EQ(ReadRawTimes(files[0]).LastWrite, NewUpdate());
  EXPECT_NE(ReadRawTimes(files[1]).LastWrite, NewUpdate());
  // The next click starts a new run.
  host.onPump = nullptr;
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 3, 0, 0);
}

TEST_F(ChangeRunTest, AnExceptionInTheDateStepPutsTheReadOnlyStateBack) {
  const std::wstring f = tree.MakeFile(L"ro.txt");
  SetAttr(f, kRO);
  host.paths = {f};
  PlanDates(false, true);
  host.throwInAsk = true;  // the question box cannot be made
  {
    // Held open by another program: the date step fails after read-only was cleared for it.
    comm::TUniqueHandle holder(CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    run.ButtonSetClick();
  }
  EXPECT_EQ(host.exceptions.size(), 1u);
  EXPECT_EQ(Attr(f), kRO);
  EXPECT_EQ(host.events.back(), "idle");
  EXPECT_SUMMARY(true, 0, 0, 1);
}
