// The run report window as a user meets it: Ctrl+R after a run from the main window that met a
// failure and a missing target, failures first, the filter, the copy, the CSV file, F1; and the
// report of an earlier session read from beside the journal, or a message when there is none.
#include "app/HelpTopics.h"
#include "app/Main.h"
#include "app/ReportWindow.h"
#include "comm/ErrorText.h"
#include "comm/FileBytes.h"
#include "comm/FileDateTime.h"
#include "comm/Scoped.h"
#include "comm/Utf8.h"
#include "engine/UndoJournal.h"
#include "support/ListTargets.h"
#include "support/Clipboard.h"
#include "support/DialogAnswerer.h"
#include "support/DialogUser.h"
#include "support/Keys.h"
#include "support/ListView.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include <commctrl.h>
#include <gtest/gtest.h>

using testsupport::Answer;
using testsupport::AnswerKind;

namespace {

using testsupport::ListTargets;

std::wstring Cell(HWND list, int row, int column) { return testsupport::ListViewCell(list, row, column); }
int Rows(HWND list) { return testsupport::ListViewRows(list); }

// The report window once it shows; null before.
HWND ShownReport() {
  const HWND form = FindWindowW(L"TFormReport", nullptr);
  return form && IsWindowVisible(form) ? form : nullptr;
}

// Picks an item of a drop-down list as the user's choice arrives: the selection, then its notice.
void Choose(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

class ReportWindow : public ::testing::Test {
 protected:
  ReportWindow() {
    main.SetTargets(&targets);
    main.SetJournalPath(journal);
    // Only the update time: a file held open by another without sharing cannot be written.
    main.CheckBoxDateChg.SetChecked(true);
    main.CheckBoxUpdate.SetChecked(true);
    main.CheckBoxCreate.SetChecked(false);
    main.CheckBoxAttrChg.SetChecked(false);
    main.CheckBoxAutoExit.SetChecked(false);
    std::copy(std::begin(kParts), std::end(kParts), main.App().DateState.Parts[engine::dsUpdate]);
    main.Show();
    main.ButtonSet.SetFocus();
  }
  ~ReportWindow() override { main.SetTargets(nullptr); }

  // Ctrl+R opens the report window (closed at once); then the menu's entry opens it for the user, who
  // then holds no key down, and closes it after use. False when it did not open.
  bool OpenReport(const std::function<void(HWND form)>& use) {
    testsupport::DialogAnswerer answers;
    answers.ExtraClasses = {L"TFormReport"};
    answers.Responder = [](const testsupport::ShownDialog&) { return Answer{AnswerKind::None, L""}; };
    auto act = [&](bool closeAtOnce) {
      return [&, closeAtOnce] {
        const HWND form = ShownReport();
        if (!form) return false;
        if (!closeAtOnce) use(form);
        PostMessageW(form, WM_CLOSE, 0, 0);
        return true;
      };
    };
    {
      testsupport::LoopSteps opened({act(true)});
      testsupport::PressKey(main.ButtonSet.Handle(), 'R', ui::ssCtrl);
      if (!opened.Done()) return false;
    }
    testsupport::LoopSteps user({act(false)});
    main.Report1Click(nullptr);
    return user.Done();
  }

  static constexpr uint16_t kParts[6] = {2020, 5, 6, 7, 8, 9};
  testsupport::TempTree tree;
  const std::wstring journal = tree.Path(L"user\\VornaStampShifter.undo");
  ListTargets targets;
  app::TVNStampShifter main{tree.Path(L"VornaStampShifter.ini")};
};

}  // namespace

TEST_F(ReportWindow, CtrlRAfterARunWithFailuresShowsThemFirstFiltersCopiesAndOpensItsHelp) {
  const std::wstring ok = tree.MakeFile(L"data\\ok.txt"), busy = tree.MakeFile(L"data\\busy.txt"),
                     gone = tree.Path(L"data\\gone.txt");
  targets.paths = {ok, busy, gone};
  {
    // Another program holds busy.txt without sharing while the run goes; both questions are answered
    // "はい(&Y)", the summary OK.
    comm::TUniqueHandle holder(CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    testsupport::DialogAnswerer answers;
    answers.Press(L"はい(&Y)").Press(L"はい(&Y)").Press(L"OK");
    main.ButtonSetClick(&main.ButtonSet);
    ASSERT_EQ(answers.Shown().size(), 3u);
    EXPECT_EQ(answers.Shown()[2].text, engine::SummaryText(false, 1, 1, 1));
  }

  main.PopupMenu.OnPopup(nullptr);
  EXPECT_EQ(main.Report1->Caption, L"直前の実行結果(&R)...");
  EXPECT_TRUE(main.Report1->Enabled);

  std::vector<std::vector<std::wstring>> rows;
  std::wstring filtered, copied, helpTopic;
  int filteredRows = -1, comboItems = 0;
  bool helpAsked = false;
  auto& application = ui::Application::Instance();
  const std::wstring savedHelpFile = application.HelpFile();
  auto savedOnHelp = application.OnHelp;
  application.SetHelpFile(tree.MakeFile(L"VornaSTS.hlp"));
  application.OnHelp = [&](const std::wstring&, const std::wstring& topic) {
    helpAsked = true;
    helpTopic = topic;
    return true;
  };
  EXPECT_TRUE(OpenReport([&](HWND form) {
    const HWND list = FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
    const HWND combo = FindWindowExW(form, nullptr, WC_COMBOBOXW, nullptr);
    for (int r = 0; r < Rows(list); ++r) {
      rows.emplace_back();
      for (int c = 0; c < engine::rcColumnCount; ++c) rows.back().push_back(Cell(list, r, c));
    }
    comboItems = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    // Only what changed: one row, and the copy without a selection takes the rows shown.
    Choose(combo, 1 + static_cast<int>(engine::TTargetOutcome::Changed));
    filteredRows = Rows(list);
    filtered = Cell(list, 0, engine::rcPath);
    SetFocus(list);
    testsupport::PressKey(list, VK_F1);
    testsupport::PressKey(list, 'C', ui::ssCtrl);
    copied = testsupport::ClipboardUnicode();
  }));
  application.OnHelp = savedOnHelp;
  application.SetHelpFile(savedHelpFile);

  // Failures first, then the missing target, then the change.
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][engine::rcOutcome], L"失敗");
  EXPECT_EQ(rows[0][engine::rcPath], busy);
  const std::wstring sharing = comm::SystemErrorText(ERROR_SHARING_VIOLATION);
  ASSERT_FALSE(sharing.empty());
  EXPECT_TRUE(rows[0][engine::rcReason].ends_with(sharing)) << testing::PrintToString(rows[0][engine::rcReason]);
  EXPECT_EQ(rows[1][engine::rcOutcome], L"見つからない");
  EXPECT_EQ(rows[1][engine::rcPath], gone);
  EXPECT_EQ(rows[1][engine::rcCreation], L"");
  EXPECT_EQ(rows[2][engine::rcOutcome], L"変更");
  EXPECT_EQ(rows[2][engine::rcPath], ok);
  EXPECT_EQ(rows[2][engine::rcNewLastWrite], L"2020/05/06 07:08:09");
  EXPECT_NE(rows[2][engine::rcLastWrite], rows[2][engine::rcNewLastWrite]);
  EXPECT_EQ(comboItems, 1 + engine::kOutcomeCount);
  EXPECT_EQ(filteredRows, 1);
  EXPECT_EQ(filtered, ok);
  std::wstring line;
  for (const auto& cell : rows[2]) line += (line.empty() ? L"" : L",") + cell;
  EXPECT_EQ(copied, L"結果,パス,理由,作成日時,新しい作成日時,更新日時,新しい更新日時,属性,新しい属性\r\n" + line + L"\r\n");
  EXPECT_TRUE(helpAsked);
  EXPECT_EQ(helpTopic, app::kHelpTopicReport);
}

TEST_F(ReportWindow, WithoutAReportCtrlRSaysSoAndAnEarlierSessionsReportIsReadFromBesideTheJournal) {
  {
    testsupport::DialogAnswerer answers;
    answers.Press(L"OK");
    testsupport::PressKey(main.ButtonSet.Handle(), 'R', ui::ssCtrl);
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].text, app::kNoReportText);
  }
  // An undo of an earlier session left its report; this session has run nothing.
  engine::TRunReport earlier;
  earlier.Undo = true;
  earlier.Ending = engine::TRunEnding::Stopped;
  GetSystemTimeAsFileTime(&earlier.Started);
  engine::TReportEntry& e = earlier.Entries.emplace_back();
  e.Path = L"C:\\earlier.txt";
  e.Outcome = engine::TTargetOutcome::Failed;
  e.Error = ERROR_ACCESS_DENIED;
  e.Note = engine::TReportNote::AttrWriteFailed;
  CreateDirectoryW(tree.Path(L"user").c_str(), nullptr);
  DWORD error;
  ASSERT_TRUE(engine::WriteReportFile(journal, earlier, error)) << error;

  std::wstring first, reason;
  EXPECT_TRUE(OpenReport([&](HWND form) {
    const HWND list = FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
    first = Cell(list, 0, engine::rcPath);
    reason = Cell(list, 0, engine::rcReason);
  }));
  EXPECT_EQ(first, L"C:\\earlier.txt");
  EXPECT_EQ(reason, L"属性を変更できません：" + comm::SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(app::ReportHeadingText(earlier),
            L"変更を元に戻した結果（" + comm::LocalFileTimeText(earlier.Started) + L" に開始、途中で中止されました）");
  EXPECT_EQ(app::ReportCountsText(earlier), L"失敗 1、見つからない 0、変更 0、変更なし 0、値なし 0（全 1 件）");

  // A damaged report file beside no journal: said so, with its path.
  std::string bytes = engine::ReportBytes(earlier);
  bytes[70] ^= 1;
  ASSERT_NE(comm::comm_ReplaceFileBytes(engine::ReportPathOf(journal), bytes).Result, comm::rpFailed);
  testsupport::DialogAnswerer damaged;
  damaged.Press(L"OK");
  main.Report1Click(nullptr);
  ASSERT_EQ(damaged.Shown().size(), 1u);
  EXPECT_EQ(damaged.Shown()[0].text, app::ReportDamagedText(journal));
}

TEST_F(ReportWindow, SavesTheRowsShownAsUtf8CsvWithAMark) {
  engine::TRunReport report;
  GetSystemTimeAsFileTime(&report.Started);
  for (const auto outcome : {engine::TTargetOutcome::Changed, engine::TTargetOutcome::Missing}) {
    engine::TReportEntry& e = report.Entries.emplace_back();
    e.Path = tree.Path(L"写真 ") + std::to_wstring(report.Entries.size()) + L".jpg";
    e.Outcome = outcome;
  }
  app::TPrompts prompts;
  app::TFormReport window(main.Handle(), report, prompts);
  window.Show();
  ASSERT_EQ(window.Shown(), (std::vector<size_t>{1, 0}));
  Choose(window.ComboBoxFilter.Handle(), 1 + static_cast<int>(engine::TTargetOutcome::Missing));
  ASSERT_EQ(window.Shown(), (std::vector<size_t>{1}));

  const std::wstring file = tree.Path(L"report.csv");
  testsupport::DialogAnswerer answerer;
  answerer.SystemDialogs = false;
  answerer.Press(L"OK");
  testsupport::ActInModalWindow([&] { return window.SaveDialogEx.DialogWnd(); },
                                [&](HWND frame) {
                                  SendMessageW(frame, CDM_SETCONTROLTEXT, 0x047c /* cmb13 */,
                                               reinterpret_cast<LPARAM>(file.c_str()));
                                  SendMessageW(frame, CDM_SETCONTROLTEXT, 0x0480 /* edt1 */,
                                               reinterpret_cast<LPARAM>(file.c_str()));
                                  PostMessageW(frame, WM_COMMAND, IDOK, 0);
                                },
                                [&] { window.ButtonSaveClick(nullptr); });
  ASSERT_EQ(answerer.Shown().size(), 1u);
  EXPECT_EQ(answerer.Shown()[0].text, file + L" に保存しました。");
  const std::string bytes = testsupport::ReadFileBytes(file);
  const std::string expected = "\xEF\xBB\xBF"
                               "結果,パス,理由,作成日時,新しい作成日時,更新日時,新しい更新日時,属性,新しい属性\r\n"
                               "見つからない," +
                               comm::WideToUtf8(report.Entries[1].Path) + ",,,,,,,\r\n";
  EXPECT_EQ(bytes, expected);
}
