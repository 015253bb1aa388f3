// The placed file dialogs: opened below the owner's caption once per showing, and every chosen name
// returned whole, also past 260 characters.
#include "shell/PlacedFileDialog.h"
#include "support/DialogUser.h"
#include "support/TempTree.h"
#include "ui/Form.h"
#include <dlgs.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>

namespace {

class TOwner : public ui::Form {
 public:
  TOwner() {
    CreateForm(L"持ち主", WS_CAPTION | WS_SYSMENU, 0, 300, 200);
    SetBounds(413, 104, Width(), Height());
    Show();
  }
};

// Shows the dialog and acts as the user in it; the user's part ends the dialog.
bool ExecuteAsUser(shell::TFileDialogEx& dialog, HWND owner, const std::function<void(HWND frame)>& user) {
  bool ok = false;
  EXPECT_TRUE(testsupport::ActInModalWindow([&] { return dialog.DialogWnd(); }, user,
                                            [&] { ok = dialog.Execute(owner); }))
      << "the dialog never showed";
  return ok;
}

// The labels of a window whose text is wider than the label: what the user sees cut.
std::vector<std::wstring> CutLabels(HWND window) {
  std::vector<std::wstring> cut;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = L"", text[256] = L"";
    GetClassNameW(c, cls, 32);
    if (_wcsicmp(cls, L"Static") != 0 || !IsWindowVisible(c) || !GetWindowTextW(c, text, 256)) continue;
    if ((GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) != SS_LEFT) continue;
    HDC dc = GetDC(c);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
    RECT need{};
    DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(c, dc);
    // Cut by its own width, or by a control at its right that covers the rest of it.
    RECT box{};
    GetWindowRect(c, &box);
    LONG visible = box.right - box.left;
    for (HWND o = GetWindow(window, GW_CHILD); o; o = GetWindow(o, GW_HWNDNEXT)) {
      RECT r{};
      if (o == c || !IsWindowVisible(o) || !GetWindowRect(o, &r)) continue;
      if (r.left > box.left && r.top < box.bottom && r.bottom > box.top) visible = std::min(visible, r.left - box.left);
    }
    if (need.right > visible) cut.push_back(text);
  }
  return cut;
}

}  // namespace

TEST(PlacedFileDialog, LabelsTooNarrowForTheirTextAreWidenedIntoTheControlBesideThem) {
  TOwner form;
  const HINSTANCE inst = GetModuleHandleW(nullptr);
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto make = [&](const wchar_t* cls, const wchar_t* text, int x, int width) {
    HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE, x, 10, width, 20, form.Handle(), nullptr, inst, nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
  };
  auto width = [](HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return static_cast<int>(r.right - r.left);
  };
  // Cut by about 30 pixels, and run on under an edit of 160: the label takes what it needs from the edit.
  HWND label = make(L"Static", L"保存する場所(&I):", 10, 60), edit = make(L"Edit", L"", 54, 160);
  EXPECT_EQ(CutLabels(form.Handle()).size(), 1u);
  EXPECT_EQ(shell::WidenCutLabels(form.Handle()), 1);
  EXPECT_TRUE(CutLabels(form.Handle()).empty());
  RECT e{};
  GetWindowRect(edit, &e);
  MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&e), 2);
  EXPECT_EQ(e.right, 54 + 160);  // the edit's right edge stays
  EXPECT_GE(e.left, 10 + width(label));
  EXPECT_EQ(shell::WidenCutLabels(form.Handle()), 0);  // nothing is cut any more
  DestroyWindow(label);
  DestroyWindow(edit);
  // Beside a control that would lose more than half its width, the label stays as it was.
  label = make(L"Static", L"保存する場所(&I):", 10, 40);
  edit = make(L"Edit", L"", 54, 40);
  EXPECT_EQ(shell::WidenCutLabels(form.Handle()), 0);
  EXPECT_EQ(width(label), 40);
  EXPECT_EQ(CutLabels(form.Handle()).size(), 1u);
  EXPECT_EQ(width(edit), 40);
}

TEST(PlacedFileDialog, OpensBelowTheOwnersCaptionOnceAndLaterMovesStand) {
  TOwner owner;
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "open");
    shell::TOpenDialogEx open;
    shell::TSaveDialogEx saveDialog;
    shell::TFileDialogEx& dialog = save ? static_cast<shell::TFileDialogEx&>(saveDialog) : open;
    dialog.Filter = L"すべてのファイル(*.*)|*.*";
    int events = 0;
    dialog.OnSetLeftTop = [&](shell::TFileDialogEx* sender, int& left, int& top, int width, int height) {
      ++events;
      EXPECT_EQ(sender, &dialog);
      EXPECT_GT(width, 0);
      EXPECT_GT(height, 0);
      shell::PlaceBelowCaption(owner.Handle(), left, top);
    };
    RECT opened{}, moved{};
    std::vector<std::wstring> cut;
    EXPECT_FALSE(ExecuteAsUser(dialog, owner.Handle(), [&](HWND frame) {
      cut = CutLabels(frame);
      GetWindowRect(frame, &opened);
      SetWindowPos(frame, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      GetWindowRect(frame, &moved);
      PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
    }));
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(cut.empty()) << cut.size() << " label(s) cut, the first: " << (cut.empty() ? 0 : cut[0].size())
                             << " characters";
    EXPECT_EQ(opened.left, 413);
    EXPECT_EQ(opened.top, 104 + GetSystemMetrics(SM_CYSIZE) + 1);
    EXPECT_EQ(moved.left, 20);  // the user's move is not undone
    EXPECT_EQ(moved.top, 30);
    EXPECT_EQ(dialog.DialogWnd(), nullptr);  // unhooked at the close
  }
}

TEST(PlacedFileDialog, MultiSelectionReturnsEveryNameWhole) {
  testsupport::TempTree tree;
  // Long for a name, though the dialog's own file name box under Wine takes no more than 260 characters.
  const std::wstring longName = std::wstring(60, L'長') + L".txt";
  for (const std::wstring& n : {std::wstring(L"a.txt"), std::wstring(L"b c.txt"), longName}) tree.MakeFile(n);
  TOwner owner;
  shell::TOpenDialogEx dialog;
  dialog.Title = L"ファイルを選択してください";
  dialog.Filter = L"すべてのファイル(*.*)|*.*";
  dialog.InitialDir = tree.Root();
  dialog.Options = OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_CREATEPROMPT | OFN_HIDEREADONLY;
  std::wstring caption;
  ASSERT_TRUE(ExecuteAsUser(dialog, owner.Handle(), [&](HWND frame) {
    wchar_t text[128] = L"";
    GetWindowTextW(frame, text, 128);
    caption = text;
    const std::wstring typed = L"\"a.txt\" \"b c.txt\" \"" + longName + L"\"";
    SendMessageW(frame, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(typed.c_str()));
    SendMessageW(frame, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(typed.c_str()));
    PostMessageW(frame, WM_COMMAND, IDOK, 0);
  }));
  EXPECT_EQ(caption, L"ファイルを選択してください");
  EXPECT_EQ(dialog.Files(), (std::vector<std::wstring>{tree.Path(L"a.txt"), tree.Path(L"b c.txt"), tree.Path(longName)}));
  EXPECT_EQ(dialog.FileName, tree.Path(L"a.txt"));
}

TEST(PlacedFileDialog, PlacedPastTheScreensEdgeItIsMovedJustOntoTheWorkArea) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  TOwner owner;
  shell::TSaveDialogEx dialog;
  dialog.OnSetLeftTop = [&](shell::TFileDialogEx*, int& left, int& top, int, int) {
    shell::PlaceBelowCaption(owner.Handle(), left, top);
  };
  // The owner's left edge near the right of the work area, its top near the bottom: below its
  // caption the dialog would reach past both edges.
  for (bool atEdge : {true, false}) {
    SCOPED_TRACE(atEdge ? "at the edge" : "room enough");
    const int left = atEdge ? work.right - 60 : work.left + 10, top = atEdge ? work.bottom - 50 : work.top + 10;
    owner.SetBounds(left, top, owner.Width(), owner.Height());
    RECT opened{};
    std::vector<std::wstring> cut;
    EXPECT_FALSE(ExecuteAsUser(dialog, owner.Handle(), [&](HWND frame) {
      cut = CutLabels(frame);
      GetWindowRect(frame, &opened);
      PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
    }));
    if (atEdge) {
      EXPECT_EQ(opened.right, work.right);
      EXPECT_EQ(opened.bottom, work.bottom);
      EXPECT_GE(opened.left, work.left);
      EXPECT_GE(opened.top, work.top);
    } else {
      EXPECT_EQ(opened.left, left);
      EXPECT_EQ(opened.top, top + GetSystemMetrics(SM_CYSIZE) + 1);
    }
  }
}

TEST(PlacedFileDialog, TypedNameGetsTheTextFiltersExtensionAndNoneUnderAllFiles) {
  testsupport::TempTree tree;
  TOwner owner;
  shell::TSaveDialogEx dialog;
  dialog.Filter = L"テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
  dialog.DefaultExt = L"";
  dialog.InitialDir = tree.Root();
  dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  struct Case {
    DWORD filter;
    std::wstring typed, saved;
  };
  const Case cases[] = {
      {1, L"一覧", L"一覧.txt"},        // the text filter adds its extension
      {1, L"一覧.csv", L"一覧.csv"},    // a name with one keeps it
      {1, L"版.1", L"版.1"},
      {2, L"一覧", L"一覧"},            // every file: the name as typed
      {2, L"一覧.log", L"一覧.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    dialog.FilterIndex = c.filter;
    dialog.FileName.clear();
    ASSERT_TRUE(ExecuteAsUser(dialog, owner.Handle(), [&](HWND frame) {
      SendMessageW(frame, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(c.typed.c_str()));
      SendMessageW(frame, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(c.typed.c_str()));
      PostMessageW(frame, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(dialog.FileName, tree.Path(c.saved));
    EXPECT_EQ(dialog.FilterIndex, c.filter);
  }
  // Without a default extension nothing is added, whatever the filter.
  dialog.DefaultExt.reset();
  dialog.FilterIndex = 1;
  dialog.FileName.clear();
  ASSERT_TRUE(ExecuteAsUser(dialog, owner.Handle(), [&](HWND frame) {
    SendMessageW(frame, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(L"素"));
    SendMessageW(frame, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(L"素"));
    PostMessageW(frame, WM_COMMAND, IDOK, 0);
  }));
  EXPECT_EQ(dialog.FileName, tree.Path(L"素"));
}
