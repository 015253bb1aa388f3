// The control base classes: windowed controls (own HWND) and windowless ones painted by their parent.
#pragma once
#include "Base.h"
#include "ui/Dpi.h"
#include "ui/Graphics.h"
#include "comm/Scoped.h"
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

class WinControl;
class GraphicControl;
class Form;
class Control;

using NotifyEvent = std::function<void(Control* sender)>;

// Modifier keys of a key stroke or mouse event.
enum ShiftState : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
unsigned KeyboardShiftState();
enum class MouseButton { Left, Right, Middle };

// What a control is to assistive technology. Default leaves it to the system's view of the window
// (a windowed control) or to the kind of control (ui/Accessible.h).
enum class AccRole {
  Default, StaticText, Graphic, PushButton, CheckButton, RadioButton, ProgressBar, SpinButton, Grouping, Text, List,
  ComboBox, Outline, PageTabList, PropertyPage
};

class Control {
 public:
  Control();
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Position relative to the parent's client area, in pixels. The control's 96-DPI bounds follow (the
  // pixels at its DPI back at 96 DPI), so a change of DPI keeps the place.
  virtual void SetBounds(int left, int top, int width, int height);
  // The bounds at 96 DPI: those the control was created with, or its last SetBounds unscaled.
  const RECT& DesignBounds() const { return FDesign; }
  // The DPI of the control's form (the system's for a control on no form); see ui/Dpi.h.
  TDpi Dpi() const;
  // Places the control at its 96-DPI bounds and gives its window its font, both at the form's DPI
  // now; a container does the same for its children. Runs when the form's DPI changes.
  virtual void ApplyDpi();
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }

  virtual void SetEnabled(bool enabled);
  bool Enabled() const { return FEnabled; }
  virtual void SetVisible(bool visible);
  bool Visible() const { return FVisible; }
  virtual void SetCaption(const std::wstring& caption);
  virtual std::wstring Caption() const { return FCaption; }

  // The hint: the text before "|" is shown as the tooltip.
  void SetHint(const std::wstring& hint);
  const std::wstring& Hint() const { return FHint; }
  void SetShowHint(bool show);
  bool ShowHint() const { return FShowHint; }

  // The font at 96 DPI; what the control draws with is DeviceFont, the font at its DPI.
  virtual void SetFont(const Font& font);
  const Font& GetFont() const { return FFont; }
  Font DeviceFont() const { return Dpi().Scale(FFont); }
  virtual void SetColor(Color c);
  Color GetColor() const { return FColor; }

  WinControl* Parent() const { return FParent; }
  Form* ParentForm() const;
  // Enabled and visible here and in every parent.
  bool CanReact() const;
  // Enabled here and in every container up to (not including) the form: what a control's look
  // follows, so a control inside a disabled panel looks disabled while a form disabled behind a modal
  // window keeps its look.
  bool EnabledInContainer() const;

  virtual void Invalidate() = 0;
  virtual bool IsWindowed() const = 0;

  // Runs OnClick, as a user's click does.
  virtual void Click();

  // What screen readers are told of the control (ui/Accessible.h). The value is what the control
  // holds beside its name (a gauge's percentage); the state adds STATE_SYSTEM_ flags (pressed,
  // checked) to those every control has (unavailable, invisible).
  virtual AccRole AccessibleRole() const { return AccRole::Default; }
  virtual unsigned AccessibleState() const { return 0; }
  virtual std::wstring AccessibleValue() const { return {}; }

  // A number no other control of the process has had, so that a message posted for the control finds
  // it or nothing, never another made in its place.
  unsigned long Serial() const { return FSerial; }

  NotifyEvent OnClick;
  int Tag = 0;
  std::wstring Name;
  // The name screen readers read; empty takes it from the caption, a label or the hint.
  std::wstring AccessibleName;

 protected:
  friend class WinControl;
  void AttachTo(WinControl* parent);
  virtual void HintChanged();
  // Takes 96-DPI bounds at creation: keeps them and sets the pixel bounds at the DPI.
  void SetDesignBounds(int left, int top, int width, int height);

  WinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  RECT FDesign{};
  bool FEnabled = true, FVisible = true, FShowHint = true;
  std::wstring FCaption, FHint;
  Font FFont = DefaultFont();
  Color FColor = clBtnFace;

 private:
  const unsigned long FSerial;
};

// A control with a window of its own. Standard controls are subclassed; the program's own classes
// (forms, panels, group boxes) are bound to their object at WM_NCCREATE.
class WinControl : public Control {
 public:
  ~WinControl() override;
  HWND Handle() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }

  void SetBounds(int left, int top, int width, int height) override;
  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  void SetCaption(const std::wstring& caption) override;
  std::wstring Caption() const override;
  void SetFont(const Font& font) override;
  void SetColor(Color c) override;
  void Invalidate() override;
  bool IsWindowed() const override { return true; }
  void ApplyDpi() override;

  virtual void SetFocus();
  bool Focused() const;
  // Controls placed on this one, windowed and windowless, in creation order.
  const std::vector<Control*>& Children() const { return FChildren; }
  // Whether the control holds other controls as a panel does (rather than as parts of itself).
  bool IsContainer() const { return FContainer; }
  void Repaint();

  // The object of a window made by this layer, or null.
  static WinControl* FromHandle(HWND hwnd);

  // The procedure every message of the control's window passes through: the control's own WndProc
  // (ControlProc) unless a component has put one in front of it, keeping the previous one to pass
  // messages on. It belongs to the control, not to its window, so it stays when the window is made
  // again (RecreateWnd).
  using WndMethod = std::function<LRESULT(UINT msg, WPARAM wp, LPARAM lp)>;
  WndMethod WindowProc;
  LRESULT ControlProc(UINT msg, WPARAM wp, LPARAM lp) { return WndProc(msg, wp, lp); }

  // Replaces the control's window by a new one of the same class, styles, place, text and font, in
  // the same place among its siblings, with the windowed children moved over (the way a style that a
  // window cannot take in place is applied). Child controls only. What a standard control keeps
  // inside its window alone (list items) is not carried over.
  void RecreateWnd();

  // Runs fn once when the control is destroyed, so that a component that refers to it can let go.
  // key identifies the caller's notifications for RemoveFreeNotification.
  void AddFreeNotification(const void* key, std::function<void()> fn);
  void RemoveFreeNotification(const void* key);

 protected:
  friend class Control;
  friend class GraphicControl;
  // Makes a window of a standard class and subclasses it. The bounds are 96-DPI values (ui/Dpi.h).
  void CreateStd(WinControl* parent, const wchar_t* cls, DWORD style, DWORD exStyle, int left, int top, int width,
                 int height, const std::wstring& text);
  // Makes a window of one of this layer's own classes (registered on first use). The bounds of a child
  // are 96-DPI values; a top-level window's are pixels.
  void CreateOwn(WinControl* parent, const wchar_t* cls, DWORD style, DWORD exStyle, int left, int top, int width,
                 int height, const std::wstring& text, HWND owner = nullptr);
  void DestroyHandle();

  // The message procedure. The default passes to the standard class or DefWindowProc after the
  // handling that every window shares (reflection to children, colours, windowless children).
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

  // Notifications reflected from the parent.
  virtual void CommandNotify(WORD code) { (void)code; }
  virtual LRESULT NotifyReflect(NMHDR* nm) { (void)nm; return 0; }
  virtual HBRUSH CtlColor(HDC dc);
  virtual bool DrawItem(DRAWITEMSTRUCT* dis) { (void)dis; return false; }
  virtual bool MeasureItem(MEASUREITEMSTRUCT* mis) { (void)mis; return false; }
  // WM_CHARTOITEM of a list box with LBS_WANTKEYBOARDINPUT: the item to move to for the character
  // typed, -1 for the list's own search, -2 for none.
  virtual LRESULT CharToItem(wchar_t ch) { (void)ch; return -1; }

  // Painting of a container: background, then windowless children.
  virtual void PaintBackground(HDC dc, const RECT& rc);
  virtual void PaintWindow(HDC dc, const RECT& paintRect);
  bool FOwnClass = false;   // painted and handled here rather than by a standard class
  bool FContainer = false;  // holds children: paints windowless ones and routes mouse input to them

 private:
  static LRESULT CALLBACK OwnProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  void AfterCreate(WinControl* parent);
  GraphicControl* GraphicAt(POINT pt) const;
  void RouteMouse(UINT msg, WPARAM wp, LPARAM lp);
  void SetMouseControl(GraphicControl* c);

  HWND FHandle = nullptr;
  std::vector<std::pair<const void*, std::function<void()>>> FFreeNotifications;
  bool FSubclassed = false;
  WNDPROC FOldProc = nullptr;  // the standard class's procedure, for the default handling
  std::vector<Control*> FChildren;
  GraphicControl* FCaptureControl = nullptr;
  GraphicControl* FMouseControl = nullptr;
  bool FTrackingLeave = false;

  friend class Form;
};

// A control without a window: its parent paints it and passes it mouse input.
class GraphicControl : public Control {
 public:
  ~GraphicControl() override;
  // The bounds are 96-DPI values (ui/Dpi.h).
  void Create(WinControl* parent, int left, int top, int width, int height);

  void SetBounds(int left, int top, int width, int height) override;
  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  void SetCaption(const std::wstring& caption) override;
  void Invalidate() override;
  bool IsWindowed() const override { return false; }
  // Paints now rather than at the parent's next paint.
  void Repaint();
  bool MouseInControl() const { return FMouseInControl; }
  RECT ClientRect() const { return RECT{0, 0, FWidth, FHeight}; }

  // Painting in the control's own coordinates (0, 0 is its top left corner).
  virtual void Paint(HDC dc) = 0;
  // Mouse input in the control's own coordinates. The parent captures the mouse from a press to the
  // release, so the release reaches the control that was pressed.
  virtual void MouseDown(MouseButton button, unsigned shift, int x, int y);
  virtual void MouseMove(unsigned shift, int x, int y);
  virtual void MouseUp(MouseButton button, unsigned shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Whether the control takes mouse input at the point; a transparent label passes it on.
  virtual bool HitTest(int x, int y) const { (void)x; (void)y; return true; }

 protected:
  bool FMouseInControl = false;
  friend class WinControl;
};

}  // namespace ui
