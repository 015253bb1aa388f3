// Wrappers for the standard controls and the program's simple containers and labels.
#pragma once
#include "ui/Control.h"
#include <cstdint>
#include <functional>
#include <string>

namespace ui {

class Form;

// A push button. Clicking it runs OnClick and, when ModalResult is set, ends its modal form.
class Button : public WinControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption);
  // The button that Enter presses in its form, drawn with the heavier frame.
  void SetDefault(bool isDefault);
  bool IsDefault() const { return FDefault; }
  // The button that Esc presses in its form.
  void SetCancel(bool isCancel);
  bool IsCancel() const { return FCancel; }
  void Click() override;
  int ModalResult = 0;

 protected:
  void CommandNotify(WORD code) override;

 private:
  bool FDefault = false, FCancel = false;
};

// A button with a checked state: check boxes and radio buttons.
class StateButton : public WinControl {
 public:
  bool Checked() const;
};

// A check box. Changing its state, by the user or from code, runs OnClick.
class CheckBox : public StateButton {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption);
  void SetChecked(bool checked);

 protected:
  void CommandNotify(WORD code) override;
};

// A radio button. Checking it, by the user or from code, unchecks the radio buttons beside it (same
// parent) and runs OnClick.
class RadioButton : public StateButton {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption);
  void SetChecked(bool checked);

 protected:
  void CommandNotify(WORD code) override;
};

// A single-line edit. OnChange runs on every change of its text.
class Edit : public WinControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& text = L"",
              DWORD extraStyle = 0);
  std::wstring Text() const { return Caption(); }
  void SetText(const std::wstring& text) { SetCaption(text); }
  void SetReadOnly(bool readOnly);
  bool ReadOnly() const;
  void SetMaxLength(int length);
  void SelectAll();
  void SetColor(Color c) override;
  NotifyEvent OnChange;

 protected:
  void CommandNotify(WORD code) override;
  HBRUSH CtlColor(HDC dc) override;
};

enum class Alignment { Left, Center, Right };
enum class TextLayout { Top, Center, Bottom };

// A label drawn on its parent. Its access key moves the focus to FocusControl.
class Label : public GraphicControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption);
  void Paint(HDC dc) override;
  bool HitTest(int x, int y) const override;
  Alignment TextAlignment = Alignment::Left;
  TextLayout Layout = TextLayout::Top;
  bool WordWrap = false;
  bool Transparent = true;
  WinControl* FocusControl = nullptr;
};

enum class Bevel { None, Lowered, Raised };

// A panel: a container with an outer and an inner bevel.
class Panel : public WinControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height);
  void SetBevels(Bevel outer, Bevel inner);
  Bevel BevelOuter() const { return FOuter; }
  Bevel BevelInner() const { return FInner; }
  int BevelWidth = 1;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void PaintWindow(HDC dc, const RECT& paintRect) override;

 private:
  Bevel FOuter = Bevel::Raised, FInner = Bevel::None;
};

// A group box: a container with an etched frame and its caption on the frame's top edge.
class GroupBox : public WinControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption);
  void SetCaption(const std::wstring& caption) override;

 protected:
  void PaintWindow(HDC dc, const RECT& paintRect) override;
};

// A list box of strings, several of which can be selected (Shift and Ctrl extend the selection).
class ListBox : public WinControl {
 public:
  // extraStyle adds list box styles (LBS_OWNERDRAWFIXED, say) to the plain list's.
  void Create(WinControl* parent, int left, int top, int width, int height, bool multiSelect = true,
              DWORD extraStyle = 0);
  int Count() const;
  std::wstring Item(int index) const;
  // Appends, or inserts at index; returns the index of the new item.
  int Add(const std::wstring& text);
  int Insert(int index, const std::wstring& text);
  void Delete(int index);
  void Clear();
  int SelCount() const;
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  void SelectAll();
  int ItemIndex() const;
  void SetItemIndex(int index);
  void SetHorizontalExtent(int pixels);
  int HorizontalExtent() const;
  NotifyEvent OnDblClick;
  NotifyEvent OnSelChange;

 protected:
  void CommandNotify(WORD code) override;
};

// A progress bar with a 32-bit range. A new position reaches the control only when the filled part
// of the bar changes by at least a pixel: redrawing the bar for every step of a long run cost far
// more than the run's own work per target.
class ProgressBar : public WinControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height);
  void SetRange(int min, int max);
  void SetPosition(int position);
  int Position() const { return FPosition; }
  int Min() const { return FMin; }
  int Max() const { return FMax; }

 private:
  // Pixels of the bar filled at a position.
  int64_t Filled(int position) const;
  int FMin = 0, FMax = 100;
  int FPosition = 0;       // the position as set
  int FShownPosition = 0;  // the position the control last got
};

// A windowless drawing surface whose owner paints it.
class PaintBox : public GraphicControl {
 public:
  void Paint(HDC dc) override {
    if (OnPaint) OnPaint(this, dc);
  }
  std::function<void(PaintBox* sender, HDC dc)> OnPaint;
};

// Draws a frame edge as the bevels and flat buttons use it: raised or lowered, one pixel wide.
void DrawBevel(HDC dc, RECT& r, Bevel bevel, int width);

}  // namespace ui
