// The preview window as a user meets it: opened by Ctrl+P over a real tree, its cells, sorting by a
// column header, the copy, and "開始", after which the files are as it showed.
#include "app/Main.h"
#include "engine/Preview.h"
#include "comm/Clock.h"
#include "comm/DateTime.h"
#include "comm/FileDateTime.h"
#include "support/Clipboard.h"
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>

using testsupport::Answer;
using testsupport::AnswerKind;
using testsupport::DialogAnswerer;

namespace {

struct ListTargets : engine::IChangeTargets {
  std::vector<std::wstring> paths;
  int Count() const override { return static_cast<int>(paths.size()); }
  std::wstring Entry(int index) const override { return paths.at(static_cast<size_t>(index)); }
};

comm::TDateTime Local(int y, int mo, int d, int h, int mi, int s) {
  comm::TDateTime t = 0;
  EXPECT_TRUE(comm::TryEncodeDateTime({y, mo, d, h, mi, s, 0}, t));
  return t;
}

std::wstring Cell(HWND list, int row, int column) {
  wchar_t buffer[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 1024;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::vector<std::wstring> Column(HWND list, int column) {
  std::vector<std::wstring> cells;
  for (LRESULT i = 0, n = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); i < n; ++i)
    cells.push_back(Cell(list, static_cast<int>(i), column));
  return cells;
}

// A click on a column's header, as the mouse makes it.
void ClickHeader(HWND list, int column) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  RECT r{};
  SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(header, WM_LBUTTONUP, 0, at);
}

int SortArrow(HWND list, int column) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

void ClickButton(HWND form, const wchar_t* caption) {
  const HWND button = FindWindowExW(form, nullptr, L"Button", caption);
  ASSERT_NE(button, nullptr) << caption;
  SendMessageW(button, BM_CLICK, 0, 0);
}

class PreviewWindow : public ::testing::Test {
 protected:
  PreviewWindow() {
    // Update times apart, so that the update column has one order: b, c, a.
    const std::pair<const wchar_t*, comm::TDateTime> files[] = {{L"a.txt", Local(2021, 3, 4, 5, 6, 7)},
                                                                 {L"b.txt", Local(2019, 1, 2, 3, 4, 5)},
                                                                 {L"c,d.txt", kNew}};
    for (const auto& [name, time] : files) {
      targets.paths.push_back(tree.MakeFile(name));
      EXPECT_TRUE(comm::comm_SetFileDateTime(targets.paths.back(), time, time));
    }
    main.SetTargets(&targets);
    main.CheckBoxDateChg.SetChecked(true);
    main.CheckBoxCreate.SetChecked(false);
    main.CheckBoxUpdate.SetChecked(true);
    main.CheckBoxAttrChg.SetChecked(true);
    main.CheckBoxHidden.SetChecked(true);
    main.RadioButtonHiddenON.SetChecked(true);
    main.CheckBoxAutoExit.SetChecked(false);
    SetUpdateParts({2020, 5, 6, 7, 8, 9});
    main.Show();
    main.ButtonSet.SetFocus();
  }
  ~PreviewWindow() override { main.SetTargets(nullptr); }
  void SetUpdateParts(std::array<uint16_t, 6> parts) {
    std::copy(parts.begin(), parts.end(), main.App().DateState.Parts[engine::dsUpdate]);
  }

  const comm::TDateTime kNew = Local(2020, 5, 6, 7, 8, 9);
  testsupport::TempTree tree;
  ListTargets targets;
  app::TVNStampShifter main{tree.Path(L"VornaStampShifter.ini")};
};

}  // namespace

TEST_F(PreviewWindow, ShowsEachTargetSortsCopiesAndStartsTheRunItShows) {
  EXPECT_EQ(main.Preview1->Caption, L"変更内容の確認(&P)...");
  DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormPreview"};
  answers.Responder = [](const testsupport::ShownDialog& d) {
    return d.className == L"TFormPreview" ? Answer{AnswerKind::None, L""} : Answer{AnswerKind::Button, L"OK"};
  };
  HWND form = nullptr, list = nullptr;
  std::vector<std::vector<std::wstring>> rows;  // as shown after the last sort
  std::wstring all, one;
  std::vector<std::wstring> ascending, descending;
  int arrowUp = 0, arrowDown = 0;
  RECT mainBounds = main.BoundsRect(), bounds{};
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
        ClickHeader(list, engine::pcLastWrite);
        ascending = Column(list, engine::pcPath);
        arrowUp = SortArrow(list, engine::pcLastWrite);
        ClickHeader(list, engine::pcLastWrite);
        descending = Column(list, engine::pcPath);
        arrowDown = SortArrow(list, engine::pcLastWrite);
        for (int r = 0; r < 3; ++r) {
          rows.emplace_back();
          for (int c = 0; c < engine::pcColumnCount; ++c) rows.back().push_back(Cell(list, r, c));
        }
        ClickButton(form, L"コピー(&C)");
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

  // Centred on the main window.
  EXPECT_NEAR((bounds.left + bounds.right) / 2, (mainBounds.left + mainBounds.right) / 2, 2);
  EXPECT_NEAR((bounds.top + bounds.bottom) / 2, (mainBounds.top + mainBounds.bottom) / 2, 2);
  // The update column in its order, then in reverse, with the header's arrow.
  const auto& p = targets.paths;
  EXPECT_EQ(ascending, (std::vector<std::wstring>{p[1], p[2], p[0]}));
  EXPECT_EQ(descending, (std::vector<std::wstring>{p[0], p[2], p[1]}));
  EXPECT_EQ(arrowUp, HDF_SORTUP);
  EXPECT_EQ(arrowDown, HDF_SORTDOWN);

  // The cells as they stand: a.txt first; the new update time and the hidden attribute; c,d.txt has
  // that time already.
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][engine::pcLastWrite], L"2021/03/04 05:06:07");
  EXPECT_EQ(rows[0][engine::pcNewLastWrite], L"2020/05/06 07:08:09");
  EXPECT_EQ(rows[0][engine::pcNewCreation], rows[0][engine::pcCreation]);
  EXPECT_EQ(rows[0][engine::pcAttr].find(L'H'), std::wstring::npos);
  EXPECT_NE(rows[0][engine::pcNewAttr].find(L'H'), std::wstring::npos);
  EXPECT_EQ(rows[0][engine::pcNote], L"");
  EXPECT_EQ(rows[1][engine::pcNote], L"更新日時: 変更なし");

  // The copy: every row with the head line, or the one selected; the comma in a name is quoted.
  const std::wstring head = L"パス,作成日時,新しい作成日時,更新日時,新しい更新日時,属性,新しい属性,備考\r\n";
  auto line = [](const std::vector<std::wstring>& cells) {
    std::wstring text;
    for (const auto& c : cells) text += (text.empty() ? L"" : L",") + (c.find(L',') != c.npos ? L"\"" + c + L"\"" : c);
    return text + L"\r\n";
  };
  EXPECT_EQ(all, head + line(rows[0]) + line(rows[1]) + line(rows[2]));
  EXPECT_EQ(one, head + line(rows[2]));

  // "開始" ran the change with the settings shown: each file as its row said.
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].text, engine::SummaryText(false, 3, 0, 0));
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row[engine::pcPath]);
    const testsupport::RawTimes now = testsupport::ReadRawTimes(row[engine::pcPath]);
    FILETIME lastWrite{static_cast<DWORD>(now.LastWrite), static_cast<DWORD>(now.LastWrite >> 32)};
    EXPECT_EQ(comm::LocalFileTimeText(lastWrite), row[engine::pcNewLastWrite]);
    EXPECT_TRUE(GetFileAttributesW(row[engine::pcPath].c_str()) & FILE_ATTRIBUTE_HIDDEN);
  }
}

TEST_F(PreviewWindow, TellsWhatTheRunWouldTellInsteadOfOpening) {
  DialogAnswerer answers;
  answers.Responder = [](const testsupport::ShownDialog&) { return Answer{AnswerKind::Button, L"OK"}; };
  // A date that is no date: the run's own message, and no window.
  SetUpdateParts({2020, 13, 6, 7, 8, 9});
  main.ButtonSetClick(&main.ButtonSet);
  EXPECT_TRUE(main.App().ShowPreview());
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].text, answers.Shown()[0].text);
  EXPECT_NE(answers.Shown()[1].className, L"TFormPreview");

  // No targets.
  SetUpdateParts({2020, 12, 6, 7, 8, 9});
  ListTargets none;
  main.SetTargets(&none);
  EXPECT_TRUE(main.App().ShowPreview());
  ASSERT_EQ(answers.Shown().size(), 3u);
  EXPECT_EQ(answers.Shown()[2].text, engine::kEmptyListText);

  // Refused while the window is locked (a collection), and without a list.
  EnableWindow(main.Handle(), FALSE);
  EXPECT_FALSE(main.App().ShowPreview());
  EnableWindow(main.Handle(), TRUE);
  main.SetTargets(nullptr);
  EXPECT_FALSE(main.App().ShowPreview());
  EXPECT_EQ(answers.Shown().size(), 3u);
  for (const auto& p : targets.paths) EXPECT_FALSE(GetFileAttributesW(p.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// Stopped after a few batches: the rows not worked out say so, in the list and in the copy, and stay
// so; nothing is changed.
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
  DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormPreview"};
  answers.Responder = [](const testsupport::ShownDialog&) { return Answer{AnswerKind::None, L""}; };
  HWND form = nullptr, list = nullptr;
  bool stopEnabled = true;
  std::wstring stopped, later, firstNote, lastNote;
  testsupport::LoopSteps user({
      [&] {
        if (answers.Shown().empty()) return false;
        form = answers.Shown()[0].hwnd;
        list = FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
        return true;
      },
      // Stopped as soon as the first rows show what they come to.
      [&] {
        if (Cell(list, 0, engine::pcNote) == L"…") return false;
        ClickButton(form, L"中止(&T)");
        stopEnabled = IsWindowEnabled(FindWindowExW(form, nullptr, L"Button", L"中止(&T)"));
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
  EXPECT_FALSE(stopEnabled);
  EXPECT_EQ(firstNote, L"ファイルまたはフォルダがありません");
  EXPECT_EQ(lastNote, L"…");
  EXPECT_EQ(later, stopped);
  size_t rows = 0, open = 0;
  for (size_t at = 0; (at = stopped.find(L"\r\n", at)) != std::wstring::npos; at += 2) {
    ++rows;
    if (at > 0 && stopped[at - 1] == L'…') ++open;
  }
  EXPECT_EQ(rows, 20001u);
  EXPECT_GT(open, 0u);
  EXPECT_LT(open, 20000u - 32u);  // a batch at least was worked out
  EXPECT_EQ(answers.Shown().size(), 1u);
}
