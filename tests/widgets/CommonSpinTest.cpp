// The spin edit and its button pair driven with real messages: reading, typing, pasting, stepping, repeat.
#include "support/DialogAnswerer.h"
#include "ui/Form.h"
#include "widgets/CommonSpin.h"
#include "support/Clipboard.h"
#include <gtest/gtest.h>
#include "support/Keys.h"
#include <imm.h>
#include <climits>
#include <functional>
#include <stdexcept>

static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

using namespace widgets;
using testsupport::PumpFor;

namespace {

class TSpinForm : public ui::Form {
 public:
  explicit TSpinForm(int minValue, int maxValue) {
    CreateForm(L"スピン", WS_CAPTION | WS_SYSMENU, 0, 200, 80);
    Spin.Create(this, 8, 8, 49, 21);
    Spin.MinValue = minValue, Spin.MaxValue = maxValue;
    Other.Create(this, 80, 8, 60, 21);
    Spin.OnChange = [this](ui::Control*) { ++changes; };
    Show();
  }
  TCommonSpinEdit Spin;
  ui::Edit Other;
  int changes = 0;
};

// Counts refusals instead of sounding them.
struct BeepCounter {
  BeepCounter() { SetRefusalSoundForTesting([this] { ++count; }); }
  ~BeepCounter() { SetRefusalSoundForTesting(nullptr); }
  int count = 0;
};

void Type(TCommonSpinEdit& e, const std::wstring& text) {
  for (wchar_t ch : text) SendMessageW(e.Handle(), WM_CHAR, ch, 1);
}

void Key(HWND hwnd, WORD vk) { SendMessageW(hwnd, WM_KEYDOWN, vk, 1); }

using testsupport::PutOnClipboard;

void Mouse(TCommonSpinButton& pair, UINT msg, const TCommonButton& b, int dy = 0) {
  int x = b.Left() + b.Width() / 2, y = b.Top() + b.Height() / 2 + dy;
  SendMessageW(pair.Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

void ClickOn(TCommonSpinButton& pair, const TCommonButton& b) {
  Mouse(pair, WM_LBUTTONDOWN, b);
  Mouse(pair, WM_LBUTTONUP, b);
}

}  // namespace

TEST(CommonSpinEdit, ValueReadsTheTextClampedIntoTheRange) {
  TSpinForm f(1, 31);
  TCommonSpinEdit& e = f.Spin;
  const std::pair<const wchar_t*, int> cases[] = {{L"", 1},    {L"00", 1}, {L"-0", 1},  {L"abc", 1},
                                                  {L"+7", 7},  {L"40", 31}, {L"-5", 1}, {L"99999999999", 31}};
  for (const auto& [text, value] : cases) {
    e.SetText(text);
    EXPECT_EQ(e.Value(), value) << testing::PrintToString(std::wstring(text));
  }
  e.MinValue = 0;
  e.SetText(L"0");
  EXPECT_EQ(e.Value(), 0);
  // Below a negative minimum "0" is the number 0; another zero still reads as the minimum.
  e.MinValue = -5;
  e.SetText(L"0");
  EXPECT_EQ(e.Value(), 0);
  e.SetText(L"-0");
  EXPECT_EQ(e.Value(), -5);
  // Equal bounds: writing keeps the number given, reading gives the bound.
  e.MinValue = e.MaxValue = 5;
  e.SetValue(77);
  EXPECT_EQ(e.Text(), L"77");
  EXPECT_EQ(e.Value(), 5);
}

TEST(CommonSpinEdit, LeavingTheEditRewritesOnlyANumberOutsideTheRange) {
  TSpinForm f(1980, 2100);
  TCommonSpinEdit& e = f.Spin;
  e.SetFocus();
  SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
  Type(e, L"1979");
  EXPECT_EQ(e.Text(), L"1979");
  EXPECT_EQ(e.Value(), 1980);
  int changes = f.changes;
  f.Other.SetFocus();
  EXPECT_EQ(e.Text(), L"1980");
  EXPECT_EQ(f.changes, changes + 1);
  for (const wchar_t* text : {L"", L"+", L"2000"}) {
    e.SetText(text);
    e.SetFocus();
    f.Other.SetFocus();
    EXPECT_EQ(e.Text(), text);
  }
  // Equal bounds are no bounds: a number on either side of them stays as written.
  e.MinValue = e.MaxValue = 5;
  for (const wchar_t* text : {L"77", L"-3"}) {
    e.SetText(text);
    e.SetFocus();
    f.Other.SetFocus();
    EXPECT_EQ(e.Text(), text);
  }
}

TEST(CommonSpinEdit, SteppingStopsAtTheBoundsAndFollowsALoweredMaximum) {
  TSpinForm f(1980, 2100);
  TCommonSpinEdit& e = f.Spin;
  e.SetValue(2100);
  e.StepUp();
  EXPECT_EQ(e.Text(), L"2100");
  e.SetValue(1980);
  int changes = f.changes;
  e.StepDown();
  EXPECT_EQ(f.changes, changes);  // the same text: no change
  Key(e.Handle(), VK_UP);
  EXPECT_EQ(e.Text(), L"1981");
  EXPECT_EQ(f.changes, changes + 1);

  e.MinValue = 1, e.MaxValue = 31;
  e.SetValue(31);
  e.MaxValue = 30;
  EXPECT_EQ(e.Text(), L"31");
  EXPECT_EQ(e.Value(), 30);
  Key(e.Handle(), VK_UP);
  EXPECT_EQ(e.Text(), L"30");

  e.MinValue = INT_MIN, e.MaxValue = INT_MAX;  // a step at the end of the range does not wrap
  e.SetValue(INT_MAX);
  e.StepUp();
  EXPECT_EQ(e.Value(), INT_MAX);
  BeepCounter beeps;
  e.SetReadOnly(true);
  e.StepDown();
  EXPECT_EQ(beeps.count, 1);
  EXPECT_EQ(e.Value(), INT_MAX);
}

TEST(CommonSpinEdit, RefusedKeysBeepAndCutAndPasteNeedAnEnabledEditor) {
  TSpinForm f(0, 9999);
  TCommonSpinEdit& e = f.Spin;
  e.SetValue(12);
  SendMessageW(e.Handle(), EM_SETSEL, 2, 2);
  BeepCounter beeps;
  Type(e, L"a$\r /:");  // "/" and ":" stand just outside the digits
  EXPECT_EQ(e.Text(), L"12");
  EXPECT_EQ(beeps.count, 6);
  Type(e, L"3\b\b");
  EXPECT_EQ(e.Text(), L"1");
  EXPECT_EQ(beeps.count, 6);

  PutOnClipboard(f.Handle(), L"34");
  auto pasteOver = [&](UINT how) {
    e.SetText(L"1");
    SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
    SendMessageW(e.Handle(), how, how == WM_CHAR ? 0x16 : 0, 1);  // WM_CHAR 0x16 is Ctrl+V typed
    return e.Text();
  };
  EXPECT_EQ(pasteOver(WM_PASTE), L"34");

  e.EditorEnabled = false;
  EXPECT_EQ(pasteOver(WM_PASTE), L"1");
  EXPECT_EQ(pasteOver(WM_CHAR), L"1");
  EXPECT_EQ(pasteOver(WM_CUT), L"1");
  SendMessageW(e.Handle(), EM_SETSEL, 0, 0);
  Type(e, L"7\b");
  Key(e.Handle(), VK_DELETE);
  EXPECT_EQ(e.Text(), L"1");
  EXPECT_EQ(beeps.count, 9);
  // Keys that change nothing still work: Ctrl+C copies.
  SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
  Type(e, L"\x03");
  EXPECT_EQ(testsupport::ClipboardUnicode(), L"1");
  EXPECT_EQ(beeps.count, 9);
  Key(e.Handle(), VK_UP);  // stepping still works
  EXPECT_EQ(e.Text(), L"2");

  e.EditorEnabled = true;
  e.SetReadOnly(true);
  EXPECT_EQ(pasteOver(WM_PASTE), L"1");
}

TEST(CommonSpinEdit, ButtonsSitInsideTheRightEdgeAndTheTextBesideThem) {
  TSpinForm f(0, 9);
  TCommonSpinEdit& e = f.Spin;
  TCommonSpinButton& pair = e.SpinButton();
  // 21 high, or the least height of the font when that is more.
  const int h = std::max(21, e.LeastHeight());
  EXPECT_EQ(e.Height(), h);
  EXPECT_EQ(pair.BoundsRect(), (RECT{29, 0, 44, h - 5}));
  // A new font resets the edit's formatting rectangle; the text must still end clear of the buttons.
  ui::Font big = e.GetFont();
  big.Height = -16;
  e.SetFont(big);
  RECT client, text;
  GetClientRect(e.Handle(), &client);
  SendMessageW(e.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.right, client.right - 15 - 2);
  EXPECT_GE(text.right, client.right - 15 - 2 - 4);  // less only the edit's margin
  e.SetBounds(8, 8, 60, 8);  // too low for the font
  EXPECT_EQ(e.Height(), e.LeastHeight());
  EXPECT_EQ(pair.BoundsRect(), (RECT{40, 0, 55, e.LeastHeight() - 5}));

  pair.SetBounds(0, 0, 10, 17);  // never narrower than 15; an odd height leaves a row free
  EXPECT_EQ(pair.Width(), 15);
  EXPECT_EQ(pair.UpButton().BoundsRect(), (RECT{0, 0, 15, 8}));
  EXPECT_EQ(pair.DownButton().BoundsRect(), (RECT{0, 9, 15, 17}));
  pair.SetBounds(0, 0, 18, 16);
  EXPECT_EQ(pair.DownButton().BoundsRect(), (RECT{0, 8, 18, 16}));
}

TEST(CommonSpinButton, APressStepsOnReleaseAndFocusesTheEditUnlessDisabled) {
  TSpinForm f(0, 100);
  TCommonSpinEdit& e = f.Spin;
  TCommonSpinButton& pair = e.SpinButton();
  e.SetValue(50);
  f.Other.SetFocus();
  Mouse(pair, WM_LBUTTONDOWN, pair.UpButton());
  EXPECT_TRUE(e.Focused());
  EXPECT_EQ(e.Text(), L"50");
  Mouse(pair, WM_LBUTTONUP, pair.UpButton());
  EXPECT_EQ(e.Text(), L"51");
  ClickOn(pair, pair.DownButton());
  ClickOn(pair, pair.DownButton());
  EXPECT_EQ(e.Text(), L"49");
  e.SetEnabled(false);
  EXPECT_EQ(pair.UpButton().FrameFlags(), UINT(DFCS_SCROLLUP | DFCS_INACTIVE));
  ClickOn(pair, pair.UpButton());
  EXPECT_EQ(e.Text(), L"49");
  e.SetEnabled(true);
  EXPECT_EQ(pair.UpButton().FrameFlags(), UINT(DFCS_SCROLLUP));
}

TEST(TimerSpeedButton, RepeatWaits300MsThenEvery50WhileHeldOnTheButton) {
  TSpinForm f(0, 1000);
  TCommonSpinEdit& e = f.Spin;
  TCommonSpinButton& pair = e.SpinButton();
  TTimerSpeedButton& up = pair.UpButton();
  e.SetValue(1);
  EXPECT_EQ(up.RepeatTimer(), nullptr);  // made by the first press
  Mouse(pair, WM_LBUTTONDOWN, up);
  ASSERT_NE(up.RepeatTimer(), nullptr);
  EXPECT_TRUE(up.RepeatTimer()->Enabled());
  EXPECT_EQ(up.RepeatTimer()->Interval(), 300u);
  up.RepeatTick();
  EXPECT_EQ(up.RepeatTimer()->Interval(), 50u);
  EXPECT_EQ(e.Text(), L"2");
  Mouse(pair, WM_MOUSEMOVE, up, 40);  // pointer off the button: the ticks wait
  up.RepeatTick();
  EXPECT_EQ(e.Text(), L"2");
  Mouse(pair, WM_MOUSEMOVE, up);
  up.RepeatTick();
  Mouse(pair, WM_LBUTTONUP, up);
  EXPECT_EQ(e.Text(), L"4");
  EXPECT_FALSE(up.RepeatTimer()->Enabled());

  // A click that fails stops the repeat.
  pair.OnUpClick = [](ui::Control*) { throw std::runtime_error("stop"); };
  Mouse(pair, WM_LBUTTONDOWN, up);
  EXPECT_THROW(up.RepeatTick(), std::runtime_error);
  EXPECT_FALSE(up.RepeatTimer()->Enabled());
  pair.OnUpClick = nullptr;
  Mouse(pair, WM_LBUTTONUP, up);
}

TEST(TimerSpeedButton, HoldingForOneSecondRepeatsAtMostFifteenTimesPlusOneOnRelease) {
  TSpinForm f(0, 1000);
  TCommonSpinEdit& e = f.Spin;
  TCommonSpinButton& pair = e.SpinButton();
  e.SetValue(1);
  PumpFor(200);  // activation settles first: it must not take the capture away mid-test
  Mouse(pair, WM_LBUTTONDOWN, pair.UpButton());
  PumpFor(1000);
  ASSERT_EQ(GetCapture(), pair.Handle());
  int repeats = e.Value() - 1;
  Mouse(pair, WM_LBUTTONUP, pair.UpButton());
  // Repeats at 300, 350, ... 1000 ms. A loaded machine loses ticks, so only the real timer's working
  // at all and never faster than its interval are asserted here; the waits themselves are checked
  // tick by tick above.
  EXPECT_GE(repeats, 2);
  EXPECT_LE(repeats, 16);
  EXPECT_EQ(e.Value(), repeats + 2);
  PumpFor(150);
  EXPECT_EQ(e.Value(), repeats + 2);
}

TEST(CommonSpinEdit, FullWidthDigitsAreDigitsHoweverTheyArriveAndNothingElseGetsIn) {
  TSpinForm f(1980, 2100);
  TCommonSpinEdit& e = f.Spin;
  e.SetMaxLength(4);
  BeepCounter beeps;
  // The text arrives over "2000" selected, then the field is left: what it showed > what it keeps.
  auto enter = [&](const std::function<void()>& arrive) {
    e.SetText(L"2000");
    e.SetFocus();
    e.SelectAll();
    arrive();
    std::wstring shown = e.Text();
    f.Other.SetFocus();
    return shown + L">" + e.Text();
  };
  auto chars = [&](UINT msg, std::wstring s) {
    return [&e, msg, s] { for (wchar_t c : s) SendMessageW(e.Handle(), msg, c, 1); };
  };
  auto paste = [&](std::wstring clip, std::function<void()> ask) {
    return [&f, clip, ask] {
      PutOnClipboard(f.Handle(), clip);
      ask();
    };
  };
  auto ctrlV = chars(WM_CHAR, L"\x16");
  auto contextMenu = [&] { SendMessageW(e.Handle(), WM_PASTE, 0, 0); };  // what its "貼り付け" sends
  auto shiftInsert = [&] { testsupport::PressKey(e.Handle(), VK_INSERT, ui::ssShift); };
  auto inputMethod = [&](std::wstring s) {  // a composition the user confirms
    return [&e, s] {
      HIMC imc = ImmGetContext(e.Handle());
      ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(s.c_str()), DWORD(s.size() * 2), nullptr, 0);
      ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
      ImmReleaseContext(e.Handle(), imc);
      PumpFor(20);
    };
  };
  // Both sides of both bounds, each brought another way.
  EXPECT_EQ(enter(chars(WM_CHAR, L"２１００")), L"2100>2100");
  EXPECT_EQ(enter(chars(WM_IME_CHAR, L"２１０１")), L"2101>2100");
  EXPECT_EQ(enter(chars(WM_UNICHAR, L"１９８０")), L"1980>1980");
  EXPECT_EQ(enter(inputMethod(L"１９７９")), L"1979>1980");
  EXPECT_EQ(enter(paste(L" ２０２６\r\n", ctrlV)), L"2026>2026");  // a copied cell, blanks around
  EXPECT_EQ(enter(paste(L"　１９７９", shiftInsert)), L"1979>1980");
  EXPECT_EQ(enter(paste(L"21012", contextMenu)), L"2101>2100");  // cut at the field's length
  EXPECT_EQ(beeps.count, 0);
  // Anything else stays out with a beep, a pasted text with it as a whole.
  EXPECT_EQ(enter(chars(WM_IME_CHAR, L"年ａ")), L"2000>2000");
  EXPECT_EQ(enter(chars(WM_CHAR, L"あ＄")), L"2000>2000");
  EXPECT_EQ(enter(paste(L"2026年", ctrlV)), L"2000>2000");
  EXPECT_EQ(enter(paste(L"20 26", contextMenu)), L"2000>2000");
  EXPECT_EQ(enter(paste(L"20\t26", contextMenu)), L"2000>2000");  // a control character inside the text
  // A character beyond the 16-bit range is not the character its lower bits name.
  EXPECT_EQ(enter([&] { SendMessageW(e.Handle(), WM_UNICHAR, 0x10032, 1); }), L"2000>2000");
  EXPECT_EQ(beeps.count, 8);
  // The full-width forms run from "！" to "～"; their neighbours are left as they are.
  EXPECT_EQ(HalfWidthOf(0xFF01), L'!');
  EXPECT_EQ(HalfWidthOf(0xFF5E), L'~');
  EXPECT_EQ(HalfWidthOf(0xFF00), wchar_t(0xFF00));
  EXPECT_EQ(HalfWidthOf(0xFF5F), wchar_t(0xFF5F));
}
