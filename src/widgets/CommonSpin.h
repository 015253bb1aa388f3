// The spin edit: an integer edit with a pair of auto-repeating up and down buttons inside its right edge.
#pragma once
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "widgets/CommonButton.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace widgets {

enum TRepeatFlags : unsigned { rfFocusRect = 1, rfAutoRepeat = 2 };

// The first repeat of a held button and the ones after it.
constexpr UINT kRepeatDelayMs = 300;
constexpr UINT kRepeatIntervalMs = 50;

// A flat button that repeats its click while held down and can draw a focus rectangle.
class TTimerSpeedButton : public TCommonButton {
 public:
  void SetRepeatFlags(unsigned flags);
  unsigned RepeatFlags() const { return FRepeatFlags; }
  // The repeat timer: none until the first press that needs it; it runs from press to release.
  const ui::Timer* RepeatTimer() const { return FTimer.get(); }
  // One tick of the repeat timer: from now on every 50 ms, and a click while the button is held
  // down with the pointer on it.
  void RepeatTick();

  void Paint(HDC dc) override;
  void MouseDown(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(ui::MouseButton button, unsigned shift, int x, int y) override;

 private:
  unsigned FRepeatFlags = 0;
  std::unique_ptr<ui::Timer> FTimer;
};

// Two auto-repeating buttons stacked in a small window: the upper one raises, the lower one lowers.
class TCommonSpinButton : public ui::WinControl {
 public:
  TCommonSpinButton();
  ~TCommonSpinButton() override;
  void Create(ui::WinControl* parent, int left, int top, int width = 20, int height = 25);
  // The pair is never narrower than 15 pixels; the buttons share the height, an odd one leaving a
  // row between them.
  void SetBounds(int left, int top, int width, int height) override;
  void SetEnabled(bool enabled) override;

  TTimerSpeedButton& UpButton() { return FIncButton; }
  TTimerSpeedButton& DownButton() { return FDecButton; }
  TTimerSpeedButton* ActiveButton() const { return FActiveButton; }
  // Moves the focus rectangle and the space key to the button (only on a pair that is a tab stop).
  void ActivateButton(TTimerSpeedButton* button);

  void SetFlat(bool flat);
  bool Flat() const { return FIncButton.Flat(); }
  void SetTabStop(bool tabStop);
  bool TabStop() const;
  // Named by its edit; its buttons read "増やす" and "減らす".
  ui::AccRole AccessibleRole() const override { return ui::AccRole::SpinButton; }

  // Receives the keyboard focus when a button is pressed. The owner clears it before the control goes.
  ui::WinControl* FocusControl = nullptr;
  ui::NotifyEvent OnUpClick;
  ui::NotifyEvent OnDownClick;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void LayoutButtons(int width, int height);
  void ButtonMouseDown(TTimerSpeedButton* button, ui::MouseButton mouseButton);
  bool CanFocus() const;

  TTimerSpeedButton FIncButton, FDecButton;
  TTimerSpeedButton* FActiveButton;
  bool FTabStop = false;
};

// A single-line integer entry: the value is the text, read within MinValue ... MaxValue.
class TCommonSpinEdit : public ui::Edit {
 public:
  TCommonSpinEdit();
  ~TCommonSpinEdit() override;
  void Create(ui::WinControl* parent, int left, int top, int width, int height);

  // Equal bounds mean no bounds for ClampValue; changing a bound never touches the text.
  int MinValue = 0;
  int MaxValue = 0;
  int Increment = 1;
  // False: the text cannot be typed, cut, pasted or deleted; only stepping and Value change it.
  bool EditorEnabled = true;
  // Entering the edit other than by a click on it selects the whole text.
  bool AutoSelect = true;

  // An unparsable text, and a zero written other than as "0", reads as MinValue; a number outside
  // the range reads as the nearer bound while the text keeps what was typed.
  int Value() const;
  // Clamps, then writes the number as the text (which runs OnChange when the text changes).
  void SetValue(int value);
  int ClampValue(int value) const;

  // Whether a typed character may reach the text. A full-width form ("２", "－") is asked about, and
  // enters the text, as its half-width character, however it arrives: typed, from an input method,
  // pasted.
  virtual bool AcceptsChar(wchar_t ch) const;
  virtual void StepUp();
  virtual void StepDown();

  // The buttons stand by the edit's size, not at bounds of their own.
  void ApplyDpi() override;
  void SetEnabled(bool enabled) override;
  TCommonSpinButton& SpinButton() { return FSpinButton; }
  // The least height of the edit for its font.
  int LeastHeight() const;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void CommandNotify(WORD code) override;

 private:
  void Step(int64_t delta);
  void Resized();
  void UpdateTextRect();
  void LeaveEdit();
  bool Permitted(wchar_t ch) const;
  // One character that arrived by the keyboard or an input method: refused with a beep, or passed
  // to the edit control as a typed character in its half-width form.
  void TypeChar(wchar_t ch, LPARAM lp);
  // The input method's finished text, taken character by character as if typed.
  void TakeImeResult();
  // Pastes the clipboard's text (without the blanks and line ends around it) when every character
  // of it may enter the field; otherwise nothing of it, with a beep.
  void Paste();

  TCommonSpinButton FSpinButton;
  int FSettingText = 0;
  bool FLButtonDown = false;
};

// The half-width character of a full-width form ("２" gives "2", "＋" gives "+"); others unchanged.
wchar_t HalfWidthOf(wchar_t ch);

// Parses an optionally signed decimal integer that fills the whole text. A number too large for 32 bits
// saturates at the nearer end of the 32-bit range. False for anything else (empty, spaces, letters).
bool ParseSpinText(const std::wstring& text, int64_t& value);

// The refusal sound (MessageBeep with 0). Tests put a counter in its place; null restores the sound.
void SetRefusalSoundForTesting(std::function<void()> sound);

}  // namespace widgets
