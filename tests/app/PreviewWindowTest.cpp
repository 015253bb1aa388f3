// The preview window as a user meets it: opened by Ctrl+P over a real tree, its cells, sorting by a
// column header, the copy, the stop, and "開始", after which the files are as it showed.
#include "app/Main.h"
#include "comm/Clock.h"
#include "comm/FileDateTime.h"
#include "engine/Preview.h"
#include "support/ListTargets.h"
#include "support/Clipboard.h"
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "support/ListView.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>

using testsupport::Answer;
using testsupport::AnswerKind;

namespace {

using testsupport::ListTargets;

std::wstring Cell(HWND list, int row, int column) { return testsupport::ListViewCell(list, row, column); }

// A click on a column's header, as the mouse makes it; returns the header's arrow after it.
int ClickHeader(HWND list, int column) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  RECT r{};
  SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(header, WM_LBUTTONUP, 0, at);
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

void ClickButton(HWND form, const wchar_t* caption) { SendMessageW(FindWindowExW(form, nullptr, L"Button", caption), BM_CLICK, 0, 0); }

class PreviewWindow : public ::testing::Test {
 protected:
  PreviewWindow() {
    // Update times apart, so that the update column has one order: b, c, a. c has the new time already.
    const std::array<std::array<int, 6>, 3> times{{{2021, 3, 4, 5, 6, 7}, {2019, 1, 2, 3, 4, 5}, {2020, 5, 6, 7, 8, 9}}};
    for (int i = 0; i < 3; ++i) {
      const auto& t = times[static_cast<size_t>(i)];
      comm::TDateTime time = 0;
      EXPECT_TRUE(comm::TryEncodeDateTime({t[0], t[1], t[2], t[3], t[4], t[5], 0}, time));
      targets.paths.push_back(tree.MakeFile(std::array{L"a.txt", L"b.txt", L"c,d.txt"}[static_cast<size_t>(i)]));
      EXPECT_TRUE(comm::comm_SetFileDateTime(targets.paths.back(), time, time));
    }
    main.SetTargets(&targets);
    for (ui::CheckBox* on : {&main.CheckBoxDateChg, &main.CheckBoxUpdate, &main.CheckBoxAttrChg, &main.CheckBoxHidden})
      on->SetChecked(true);
    main.CheckBoxCreate.SetChecked(false);
    main.RadioButtonHiddenON.SetChecked(true);
    main.CheckBoxAutoExit.SetChecked(false);
    SetUpdateParts({2020, 5, 6, 7, 8, 9});
    main.Show();
    main.ButtonSet.SetFocus();
    answers.ExtraClasses = {L"TFormPreview"};
    answers.Responder = [](const testsupport::ShownDialog& d) {
      return d.className == L"TFormPreview" ? Answer{AnswerKind::None, L""} : Answer{AnswerKind::Button, L"OK"};
    };
  }
  ~PreviewWindow() override { main.SetTargets(nullptr); }
  void SetUpdateParts(std::array<uint16_t, 6> parts) {
    std::copy(parts.begin(), parts.end(), main.App().DateState.Parts[engine::dsUpdate]);
  }

  testsupport::TempTree tree;
  ListTargets targets;
  app::TVNStampShifter main{tree.Path(L"VornaStampShifter.ini")};
  testsupport::DialogAnswerer answers;
  HWND form = nullptr, list = nullptr;
};

}  // namespace

TEST_F(PreviewWindow, ShowsEachTargetSortsCopiesAndStartsTheRunItShows) {
  EXPECT_EQ(main.Preview1->Caption, L"変更内容の確認(&P)...");
  std::vector<std::vector<std::wstring>> rows;  // as shown after the second click
  std::wstring all, one;
  std::vector<std::wstring> ascending;
  int arrowUp = 0, arrowDown = 0;
  RECT bounds{};
  testsupport::LoopSteps user({
      [&] {
        if (answers.Shown().empty()) return false;
        form = answers.Shown()[0].hwnd;
        list = FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
        GetWindowRect(form, &bounds);
        return true;
      },
      // Filled once the stop button has nothing left to stop.
      [&] { return !IsWindowEnabled(FindWindowExW(form, nullptr, L"Button", L"中止(&T)")); },
      [&] {
        arrowUp = ClickHeader(list, engine::pcLastWrite);
        for (int r = 0; r < 3; ++r) ascending.push_back(Cell(list, r, engine::pcPath));
        arrowDown = ClickHeader(list, engine::pcLastWrite);
        for (int r = 0; r < 3; ++r) {
          rows.emplace_back();
          for (int c = 0; c < engine::pcColumnCount; ++c) rows.back().push_back(Cell(list, r, c));
        }
        testsupport::PressKey(list, 'C', ui::ssCtrl);  // in the list, as the button
        all = testsupport::ClipboardUnicode();
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
        ClickButton(form, L"コピー(&C)");
        one = testsupport::ClipboardUnicode();
        ClickButton(form, L"開始(&S)");
        return true;
      },
  });
  testsupport::PressKey(main.ButtonSet.Handle(), 'P', ui::ssCtrl);
  ASSERT_TRUE(user.Done());

  const RECT m = main.BoundsRect();  // centred on the main window
  EXPECT_NEAR(bounds.left + bounds.right, m.left + m.right, 3);
  EXPECT_NEAR(bounds.top + bounds.bottom, m.top + m.bottom, 3);
  const auto& p = targets.paths;
  EXPECT_EQ(ascending, (std::vector<std::wstring>{p[1], p[2], p[0]}));
  EXPECT_EQ(arrowUp, HDF_SORTUP);
  EXPECT_EQ(arrowDown, HDF_SORTDOWN);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][engine::pcPath], p[0]);
  EXPECT_EQ(rows[0][engine::pcLastWrite], L"2021/03/04 05:06:07");
  EXPECT_EQ(rows[0][engine::pcNewLastWrite], L"2020/05/06 07:08:09");
  EXPECT_EQ(rows[0][engine::pcNewCreation], rows[0][engine::pcCreation]);
  EXPECT_EQ(rows[0][engine::pcAttr].find(L'H'), std::wstring::npos);
  EXPECT_NE(rows[0][engine::pcNewAttr].find(L'H'), std::wstring::npos);
  EXPECT_EQ(rows[0][engine::pcNote], L"");
  EXPECT_EQ(rows[1][engine::pcNote], L"更新日時: 変更なし");

  // The copy: every row with the head line, or the one selected; a comma in a name is quoted.
  std::wstring lines[3];
  for (int r = 0; r < 3; ++r)
    for (const auto& c : rows[static_cast<size_t>(r)])
      lines[r] += (lines[r].empty() ? L"" : L",") + (c.find(L',') != c.npos ? L"\"" + c + L"\"" : c);
  const std::wstring head = L"パス,作成日時,新しい作成日時,更新日時,新しい更新日時,属性,新しい属性,備考\r\n";
  EXPECT_EQ(all, head + lines[0] + L"\r\n" + lines[1] + L"\r\n" + lines[2] + L"\r\n");
  EXPECT_EQ(one, head + lines[2] + L"\r\n");

  // "開始" ran the change with the settings shown: each file as its row said.
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].text, engine::SummaryText(false, 3, 0, 0));
  for (const auto& row : rows) {
    const int64_t t = testsupport::ReadRawTimes(row[engine::pcPath]).LastWrite;
    EXPECT_EQ(comm::LocalFileTimeText({static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)}), row[engine::pcNewLastWrite]);
    EXPECT_TRUE(GetFileAttributesW(row[engine::pcPath].c_str()) & FILE_ATTRIBUTE_HIDDEN);
  }
}

// Stopped after a few batches: the rows not worked out say so, in the list and the copy, and stay so.
TEST_F(PreviewWindow, StopLeavesTheRestMarkedAsNotWorkedOut) {
  // Each look at the clock is a second later: one batch between looks at the messages.
  uint64_t now = 0;
  comm::FixTicksForTesting([&now] { return now += 1000; });
  struct Restore {
    ~Restore() { comm::FixTicksForTesting(nullptr); }
  } restore;
  ListTargets many;
  for (int i = 0; i < 20000; ++i) many.paths.push_back(tree.Path(L"gone\\" + std::to_wstring(i)));
  main.SetTargets(&many);
  std::wstring stopped, later, firstNote, lastNote;
  testsupport::LoopSteps user({
      [&] {  // as soon as the first rows show what they come to
        if (answers.Shown().empty()) return false;
        list = FindWindowExW(form = answers.Shown()[0].hwnd, nullptr, WC_LISTVIEWW, nullptr);
        if (Cell(list, 0, engine::pcNote) == L"…") return false;
        ClickButton(form, L"中止(&T)");
        ClickButton(form, L"コピー(&C)");
        stopped = testsupport::ClipboardUnicode();
        return true;
      },
      [&] {
        firstNote = Cell(list, 0, engine::pcNote);
        lastNote = Cell(list, 19999, engine::pcNote);
        ClickButton(form, L"コピー(&C)");
        later = testsupport::ClipboardUnicode();
        ClickButton(form, L"閉じる");
        return true;
      },
  });
  EXPECT_TRUE(main.App().ShowPreview());
  ASSERT_TRUE(user.Done());
  EXPECT_EQ(firstNote, L"ファイルまたはフォルダがありません");
  EXPECT_EQ(lastNote, L"…");
  EXPECT_EQ(later, stopped);
  const auto rows = std::count(stopped.begin(), stopped.end(), L'\n');
  const auto open = std::count(stopped.begin(), stopped.end(), L'…');
  EXPECT_EQ(rows, 20001);
  EXPECT_GT(open, 0);
  EXPECT_LE(open, 20000 - 32);  // a batch at least was worked out
  EXPECT_EQ(answers.Shown().size(), 1u);
}

// Where the run would show a message instead of starting, so does the preview, and no window opens.
TEST_F(PreviewWindow, TellsWhatTheRunWouldTellInsteadOfOpening) {
  SetUpdateParts({2020, 13, 6, 7, 8, 9});  // no date
  main.ButtonSetClick(&main.ButtonSet);
  EXPECT_TRUE(main.App().ShowPreview());
  SetUpdateParts({2020, 12, 6, 7, 8, 9});
  ListTargets none;
  main.SetTargets(&none);
  EXPECT_TRUE(main.App().ShowPreview());
  EnableWindow(main.Handle(), FALSE);  // as under a collection: refused
  EXPECT_FALSE(main.App().ShowPreview());
  EnableWindow(main.Handle(), TRUE);
  ASSERT_EQ(answers.Shown().size(), 3u);
  EXPECT_EQ(answers.Shown()[1].text, answers.Shown()[0].text);
  EXPECT_EQ(answers.Shown()[2].text, engine::kEmptyListText);
  for (const auto& p : targets.paths) EXPECT_FALSE(GetFileAttributesW(p.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
