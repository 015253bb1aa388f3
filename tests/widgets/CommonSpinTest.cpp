// The spin edit and its button pair driven with real messages: reading, typing, pasting, stepping, repeat.
#include "support/DialogAnswerer.h"
#include "ui/Form.h"
#include "widgets/CommonSpin.h"
#include <gtest/gtest.h>
#include <climits>
#include <stdexcept>

static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

using namespace widgets;
using testsupport::PumpFor;

namespace {

class TSpinForm : public ui::Form {
 public:
  TSpinForm() {
    CreateForm(L"スピン", WS_CAPTION | WS_SYSMENU, 0, 200, 80);
    Spin.Create(this, 8, 8, 49, 21);
    Other.Create(this, 80, 8, 60, 21);
    Spin.OnChange = [this](ui::Control*) { ++changes; };
    CenterOnScreen();
  }
  TCommonSpinEdit Spin;
  ui::Edit Other;
  int changes = 0;
};

// Counts refusals instead of sounding them, for one test.
class BeepCounter {
 public:
  BeepCounter() { SetRefusalSoundForTesting([this] { ++count; }); }
  ~BeepCounter() { SetRefusalSoundForTesting(nullptr); }
  int count = 0;
};

void Type(TCommonSpinEdit& e, const std::wstring& text) {
  for (wchar_t ch : text) SendMessageW(e.Handle(), WM_CHAR, ch, 1);
}

void Key(HWND hwnd, WORD vk) {
  SendMessageW(hwnd, WM_KEYDOWN, vk, 1);
  SendMessageW(hwnd, WM_KEYUP, vk, 0xC0000001);
}

void PutOnClipboard(const std::wstring& text, HWND owner) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);
  CloseClipboard();
}

POINT Middle(const TCommonButton& b) { return POINT{b.Left() + b.Width() / 2, b.Top() + b.Height() / 2}; }

void Press(TCommonSpinButton& pair, const TCommonButton& b) {
  POINT p = Middle(b);
  SendMessageW(pair.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

void Release(TCommonSpinButton& pair, const TCommonButton& b) {
  POINT p = Middle(b);
  SendMessageW(pair.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

}  // namespace

TEST(CommonSpinEdit, ValueReadsTheTextClampedIntoTheRange) {
  TSpinForm f;
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 1, e.MaxValue = 31;
  const struct {
    const wchar_t* text;
    int value;
  } cases[] = {{L"", 1}, {L"00", 1}, {L"-0", 1}, {L"abc", 1}, {L"12", 12}, {L"+7", 7}, {L"40", 31}, {L"-5", 1},
               {L"99999999999", 31}};
  for (const auto& c : cases) {
    e.SetText(c.text);
    EXPECT_EQ(e.Value(), c.value) << testing::PrintToString(std::wstring(c.text));
  }
  e.MinValue = 0, e.MaxValue = 59;
  e.SetText(L"0");
  EXPECT_EQ(e.Value(), 0);
  // Equal bounds: writing keeps the number given, reading gives the bound.
  e.MinValue = e.MaxValue = 5;
  e.SetValue(77);
  EXPECT_EQ(e.Text(), L"77");
  EXPECT_EQ(e.Value(), 5);
}

TEST(CommonSpinEdit, LeavingTheEditRewritesANumberOutsideTheRange) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 1980, e.MaxValue = 2100;
  e.SetFocus();
  SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
  Type(e, L"1979");
  EXPECT_EQ(e.Text(), L"1979");
  EXPECT_EQ(e.Value(), 1980);
  int before = f.changes;
  f.Other.SetFocus();
  EXPECT_EQ(e.Text(), L"1980");
  EXPECT_EQ(f.changes, before + 1);
  // Unparsable and empty texts stay as they are.
  for (const wchar_t* text : {L"", L"+"}) {
    e.SetText(text);
    e.SetFocus();
    f.Other.SetFocus();
    EXPECT_EQ(e.Text(), text);
  }
  e.SetText(L"2101");
  e.SetFocus();
  f.Other.SetFocus();
  EXPECT_EQ(e.Text(), L"2100");
}

TEST(CommonSpinEdit, SteppingStopsAtTheBoundsAndFollowsALoweredMaximum) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 1980, e.MaxValue = 2100;
  e.SetValue(2100);
  e.StepUp();
  EXPECT_EQ(e.Text(), L"2100");
  e.SetValue(1980);
  e.StepDown();
  EXPECT_EQ(e.Text(), L"1980");
  Key(e.Handle(), VK_UP);
  EXPECT_EQ(e.Text(), L"1981");
  Key(e.Handle(), VK_DOWN);
  EXPECT_EQ(e.Text(), L"1980");
  e.Increment = 7;
  e.StepUp();
  EXPECT_EQ(e.Text(), L"1987");

  e.Increment = 1;
  e.MinValue = 1, e.MaxValue = 31;
  e.SetValue(31);
  e.MaxValue = 30;
  EXPECT_EQ(e.Text(), L"31");
  EXPECT_EQ(e.Value(), 30);
  e.StepUp();
  EXPECT_EQ(e.Text(), L"30");

  // Without bounds a step at the end of the 32-bit range stays there.
  e.MinValue = e.MaxValue = 0;
  e.SetText(L"2147483647");
  e.StepUp();
  EXPECT_EQ(e.Text(), L"1");  // equal bounds: the text reads as the bound, 0
  e.MinValue = INT_MIN, e.MaxValue = INT_MAX;
  e.SetText(L"2147483647");
  e.StepUp();
  EXPECT_EQ(e.Text(), L"2147483647");

  BeepCounter beeps;
  e.SetReadOnly(true);
  e.SetValue(5);
  e.StepUp();
  EXPECT_EQ(e.Text(), L"5");
  EXPECT_EQ(beeps.count, 1);
}

TEST(CommonSpinEdit, OnChangeFollowsEveryChangeOfTheText) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 100;
  e.SetValue(10);
  int n = f.changes;
  e.SetValue(10);  // same text: nothing changed
  EXPECT_EQ(f.changes, n);
  e.SetValue(11);
  EXPECT_EQ(f.changes, n + 1);
  e.StepUp();
  EXPECT_EQ(f.changes, n + 2);
  SendMessageW(e.Handle(), EM_SETSEL, 2, 2);
  Type(e, L"5");
  EXPECT_EQ(e.Text(), L"125");
  EXPECT_EQ(f.changes, n + 3);
}

TEST(CommonSpinEdit, RefusedCharactersBeepAndChangeNothing) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 9999;
  e.SetValue(12);
  SendMessageW(e.Handle(), EM_SETSEL, 2, 2);
  BeepCounter beeps;
  int n = f.changes;
  Type(e, L"a$\r ");
  EXPECT_EQ(e.Text(), L"12");
  EXPECT_EQ(beeps.count, 4);
  EXPECT_EQ(f.changes, n);
  Type(e, L"3\b\b");
  EXPECT_EQ(e.Text(), L"1");
  EXPECT_EQ(beeps.count, 4);
  EXPECT_TRUE(e.AcceptsChar(L'-') && e.AcceptsChar(L'+') && e.AcceptsChar(L'\t'));

  e.EditorEnabled = false;
  Type(e, L"7\b");
  SendMessageW(e.Handle(), EM_SETSEL, 0, 0);
  Key(e.Handle(), VK_DELETE);
  EXPECT_EQ(e.Text(), L"1");
  EXPECT_EQ(beeps.count, 7);
  Key(e.Handle(), VK_UP);  // stepping still works
  EXPECT_EQ(e.Text(), L"2");
}

TEST(CommonSpinEdit, CutAndPasteReachTheTextOnlyWhenTheEditorIsEnabledAndWritable) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 9999;
  PutOnClipboard(L"34", f.Handle());
  auto pasteInto = [&](const wchar_t* start) {
    e.SetText(start);
    SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
    SendMessageW(e.Handle(), WM_PASTE, 0, 0);
    return e.Text();
  };
  EXPECT_EQ(pasteInto(L"1"), L"34");
  e.EditorEnabled = false;
  EXPECT_EQ(pasteInto(L"1"), L"1");
  e.SetText(L"56");
  SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
  SendMessageW(e.Handle(), WM_CUT, 0, 0);
  SendMessageW(e.Handle(), WM_CHAR, 0x16, 1);  // Ctrl+V typed
  EXPECT_EQ(e.Text(), L"56");
  e.EditorEnabled = true;
  e.SetReadOnly(true);
  EXPECT_EQ(pasteInto(L"1"), L"1");
}

TEST(CommonSpinEdit, EnteringSelectsAllUnlessByAClickOnTheEdit) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 9999;
  e.SetValue(1234);
  f.Other.SetFocus();
  e.SetFocus();
  DWORD start = 0, end = 0;
  SendMessageW(e.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  f.Other.SetFocus();
  SendMessageW(e.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 8));
  SendMessageW(e.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(25, 8));
  ASSERT_TRUE(e.Focused());
  SendMessageW(e.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, end);
  e.AutoSelect = false;
  f.Other.SetFocus();
  e.SetFocus();
  SendMessageW(e.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_NE(end - start, 4u);
}

TEST(CommonSpinEdit, ButtonsSitInsideTheRightEdgeAndTheTextBesideThem) {
  TSpinForm f;
  TCommonSpinEdit& e = f.Spin;
  // The least height comes from the font; a field of 21 may grow to it.
  const int h = std::max(21, e.LeastHeight());
  EXPECT_EQ(e.Height(), h);
  TCommonSpinButton& pair = e.SpinButton();
  EXPECT_EQ(pair.Left(), 49 - 15 - 5);
  EXPECT_EQ(pair.Top(), 0);
  EXPECT_EQ(pair.Width(), 15);
  EXPECT_EQ(pair.Height(), h - 5);
  RECT client, text;
  GetClientRect(e.Handle(), &client);
  SendMessageW(e.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.right, client.right - 15 - 2);  // the edit's margins come off the formatting rectangle
  EXPECT_GE(text.right, client.right - 15 - 2 - 4);

  // A new font resets the edit's formatting rectangle; the text must still stay clear of the buttons.
  ui::Font big = e.GetFont();
  big.Height = -16;
  e.SetFont(big);
  SendMessageW(e.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.right, client.right - 15 - 2);
  // Too low for the font: the edit takes its least height, and the buttons follow.
  EXPECT_EQ(e.Height(), std::max(h, e.LeastHeight()));
  e.SetBounds(8, 8, 60, 8);
  EXPECT_EQ(e.Height(), e.LeastHeight());
  EXPECT_EQ(pair.Height(), e.LeastHeight() - 5);
  EXPECT_EQ(pair.Left(), 60 - 15 - 5);
}

TEST(CommonSpinButton, PairIsAtLeast15WideAndAnOddHeightLeavesARowBetweenTheButtons) {
  TSpinForm f;
  TCommonSpinButton pair;
  pair.Create(&f, 150, 10);
  EXPECT_EQ(pair.Width(), 20);
  EXPECT_EQ(pair.Height(), 25);
  pair.SetBounds(150, 10, 10, 17);
  EXPECT_EQ(pair.Width(), 15);
  RECT r;
  GetClientRect(pair.Handle(), &r);
  EXPECT_EQ(r.right, 15);
  EXPECT_EQ(pair.UpButton().BoundsRect(), (RECT{0, 0, 15, 8}));
  EXPECT_EQ(pair.DownButton().BoundsRect(), (RECT{0, 9, 15, 17}));
  pair.SetBounds(150, 10, 18, 16);
  EXPECT_EQ(pair.UpButton().BoundsRect(), (RECT{0, 0, 18, 8}));
  EXPECT_EQ(pair.DownButton().BoundsRect(), (RECT{0, 8, 18, 16}));
}

TEST(CommonSpinButton, PressingAButtonStepsTheEditAndGivesItTheFocus) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 100;
  e.SetValue(50);
  f.Other.SetFocus();
  TCommonSpinButton& pair = e.SpinButton();
  Press(pair, pair.UpButton());
  EXPECT_TRUE(e.Focused());
  EXPECT_EQ(e.Text(), L"50");  // the click comes with the release
  Release(pair, pair.UpButton());
  EXPECT_EQ(e.Text(), L"51");
  Press(pair, pair.DownButton());
  Release(pair, pair.DownButton());
  Press(pair, pair.DownButton());
  Release(pair, pair.DownButton());
  EXPECT_EQ(e.Text(), L"49");
  EXPECT_FALSE(pair.UpButton().RepeatTimer()->Enabled());
}

TEST(CommonSpinButton, DisabledEditDisablesItsButtons) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 100;
  e.SetValue(50);
  e.SetEnabled(false);
  TCommonSpinButton& pair = e.SpinButton();
  EXPECT_EQ(pair.UpButton().FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP | DFCS_INACTIVE));
  EXPECT_EQ(pair.DownButton().State(), bsDisabled);
  Press(pair, pair.UpButton());
  Release(pair, pair.UpButton());
  EXPECT_EQ(e.Text(), L"50");
  e.SetEnabled(true);
  EXPECT_EQ(pair.UpButton().FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP));
}

TEST(CommonSpinButton, KeyboardOnAFocusablePairMovesTheFocusRectangle) {
  TSpinForm f;
  f.Show();
  TCommonSpinButton pair;
  pair.SetTabStop(true);
  pair.Create(&f, 150, 10, 15, 20);
  int ups = 0, downs = 0;
  pair.OnUpClick = [&](ui::Control* s) {
    EXPECT_EQ(s, &pair);
    ++ups;
  };
  pair.OnDownClick = [&](ui::Control*) { ++downs; };
  pair.SetFocus();
  EXPECT_TRUE(pair.UpButton().RepeatFlags() & rfFocusRect);
  Key(pair.Handle(), VK_SPACE);
  EXPECT_EQ(ups, 1);
  Key(pair.Handle(), VK_DOWN);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(pair.ActiveButton(), &pair.DownButton());
  EXPECT_FALSE(pair.UpButton().RepeatFlags() & rfFocusRect);
  EXPECT_TRUE(pair.DownButton().RepeatFlags() & rfFocusRect);
  Key(pair.Handle(), VK_SPACE);
  EXPECT_EQ(downs, 2);
  f.Spin.SetFocus();
  EXPECT_FALSE(pair.DownButton().RepeatFlags() & rfFocusRect);
  // A press activates the pressed button and takes the focus back to the pair.
  Press(pair, pair.UpButton());
  Release(pair, pair.UpButton());
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(pair.ActiveButton(), &pair.UpButton());
  EXPECT_TRUE(pair.Focused());
}

TEST(TimerSpeedButton, RepeatWaits300MsThenEvery50WhileHeldOnTheButton) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 1000;
  e.SetValue(1);
  TCommonSpinButton& pair = e.SpinButton();
  TTimerSpeedButton& up = pair.UpButton();
  EXPECT_EQ(up.RepeatTimer(), nullptr);  // made by the first press
  Press(pair, up);
  ASSERT_NE(up.RepeatTimer(), nullptr);
  EXPECT_TRUE(up.RepeatTimer()->Enabled());
  EXPECT_EQ(up.RepeatTimer()->Interval(), kRepeatDelayMs);
  up.RepeatTick();
  EXPECT_EQ(up.RepeatTimer()->Interval(), kRepeatIntervalMs);
  EXPECT_EQ(e.Text(), L"2");
  // Pointer off the button: drawn up, the ticks do nothing until it comes back.
  SendMessageW(pair.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 40));
  up.RepeatTick();
  EXPECT_EQ(e.Text(), L"2");
  POINT p = Middle(up);
  SendMessageW(pair.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  up.RepeatTick();
  EXPECT_EQ(e.Text(), L"3");
  Release(pair, up);
  EXPECT_EQ(e.Text(), L"4");
  EXPECT_FALSE(up.RepeatTimer()->Enabled());
}

TEST(TimerSpeedButton, HoldingForOneSecondStepsAboutFifteenTimesPlusOneOnRelease) {
  TSpinForm f;
  f.Show();
  TCommonSpinEdit& e = f.Spin;
  e.MinValue = 0, e.MaxValue = 1000;
  e.SetValue(1);
  TCommonSpinButton& pair = e.SpinButton();
  PumpFor(200);  // activation settles first: it must not take the capture away mid-test
  DWORD start = GetTickCount();
  Press(pair, pair.UpButton());
  PumpFor(1000);
  EXPECT_EQ(GetCapture(), pair.Handle());
  int repeats = e.Value() - 1;
  DWORD held = GetTickCount() - start;
  Release(pair, pair.UpButton());
  // Repeats at 300, 350, ... 1000 ms; a busy machine may lose a tick or two.
  EXPECT_GE(repeats, 11) << "held " << held << " ms";
  EXPECT_LE(repeats, 16) << "held " << held << " ms";
  EXPECT_EQ(e.Value(), repeats + 2);
  PumpFor(150);
  EXPECT_EQ(e.Value(), repeats + 2);  // no repeat after the release
}

TEST(TimerSpeedButton, AFailingClickStopsTheRepeat) {
  TSpinForm f;
  f.Show();
  TCommonSpinButton& pair = f.Spin.SpinButton();
  pair.OnUpClick = [](ui::Control*) { throw std::runtime_error("stop"); };
  Press(pair, pair.UpButton());
  EXPECT_THROW(pair.UpButton().RepeatTick(), std::runtime_error);
  EXPECT_FALSE(pair.UpButton().RepeatTimer()->Enabled());
  pair.OnUpClick = nullptr;
  Release(pair, pair.UpButton());
}

TEST(CommonSpinEdit, ParseSpinTextAcceptsOnlyASignedDecimal) {
  int64_t v = -1;
  EXPECT_TRUE(ParseSpinText(L"-12", v));
  EXPECT_EQ(v, -12);
  EXPECT_TRUE(ParseSpinText(L"99999999999999999999", v));
  EXPECT_EQ(v, INT_MAX);
  EXPECT_TRUE(ParseSpinText(L"-99999999999", v));
  EXPECT_EQ(v, INT_MIN);
  for (const wchar_t* bad : {L"", L"-", L"1 ", L" 1", L"1.5", L"0x10", L"$1F", L"１２"}) EXPECT_FALSE(ParseSpinText(bad, v));
}
