// The message dialog: a form sized to its text and caption, with an optional icon and buttons in a centred row.
#include "ui/MessageDialog.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include <commctrl.h>
#include <algorithm>
#include <memory>

namespace ui {

namespace {

class TMessageForm : public Form {
 public:
  explicit TMessageForm(const MessageDialogOptions& o);
  int Answer(int modal) const {
    if (modal >= kFirstButton && modal < kFirstButton + static_cast<int>(FButtons.size())) return modal - kFirstButton;
    return kDialogClosed;
  }

 protected:
  // Without an Esc button there is no answer that the close box could stand for.
  bool DoCloseQuery() override { return FClosable; }
  // On a monitor of another scale the text is measured and everything laid out anew; the box keeps
  // the suggested top left corner, moved onto the work area where it grew past it.
  void DoDpiChanged() override {
    LayOut();
    SetPositionOnScreen(Left(), Top());
  }

 private:
  static constexpr int kFirstButton = 100;
  // Measures the text, the buttons and the details at the form's DPI, for the work area of the
  // monitor the form is on, and sizes and places the form's contents by them.
  void LayOut();
  // The text's window: a static text, or a read-only edit that scrolls; made again when a new
  // measure needs the other kind.
  void MakeText(bool scrolls);

  MessageDialogOptions FOptions;
  bool FClosable = true;
  comm::TUniqueIcon FIconImage;  // loaded at the size of the form's DPI
  HWND FIcon = nullptr;
  HWND FText = nullptr;
  bool FTextScrolls = false;
  std::vector<std::unique_ptr<Button>> FButtons;
  // The lines shown on request, and the height of the form with and without them.
  Button FDetailsButton;
  ListBox FDetails;
  int FClientHeight = 0, FDetailsHeight = 0;
  void DetailsButtonClick(Control*);
};

LPCWSTR SystemIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return IDI_INFORMATION;
    case MsgIcon::Warning: return IDI_WARNING;
    case MsgIcon::Error: return IDI_ERROR;
    case MsgIcon::Question: return IDI_QUESTION;
    default: return nullptr;
  }
}

// The system's icon drawn at side pixels, scaled down from a larger image rather than stretched up
// from the system DPI's one.
// (Looked up where the process has it: version 6 of the common controls has it, version 5 not.)
HICON LoadSystemIcon(MsgIcon icon, int side) {
  using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  HMODULE controls = GetModuleHandleW(L"comctl32.dll");
  const auto scaleDown = controls ? reinterpret_cast<LoadIconWithScaleDownFn>(reinterpret_cast<void*>(
                                        GetProcAddress(controls, "LoadIconWithScaleDown")))
                                  : nullptr;
  HICON loaded = nullptr;
  if (scaleDown && SUCCEEDED(scaleDown(nullptr, SystemIcon(icon), side, side, &loaded)) && loaded) return loaded;
  return static_cast<HICON>(LoadImageW(nullptr, SystemIcon(icon), IMAGE_ICON, side, side, 0));
}

// The least client width that shows the whole caption in the system's caption font at the DPI, with
// the caption's icon and close button beside it.
int CaptionWidth(const std::wstring& caption, TDpi dpi) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return 0;
  // The system gives the caption at its own DPI; the frame of a window on another monitor is drawn at
  // that monitor's.
  const TDpi system = SystemDpi();
  ncm.lfCaptionFont.lfHeight = dpi.Scale(system.Unscale(ncm.lfCaptionFont.lfHeight));
  comm::TGdiObject<HFONT> font(CreateFontIndirectW(&ncm.lfCaptionFont));
  int text = caption.empty() ? 0 : static_cast<int>(TextExtent(font.Get(), caption).cx);
  // The small icon at the left (drawn by some systems even on dialog frames), the close button at the
  // right, and a few pixels on each side of the text.
  int icon = SystemMetric(SM_CXSMICON, dpi) + 2;
  int closeButton = std::max(dpi.Scale(system.Unscale(ncm.iCaptionWidth)), SystemMetric(SM_CXSIZE, dpi)) + 2;
  return icon + dpi.Scale(4) + text + dpi.Scale(8) + closeButton;
}

// The work area of the monitor a window is on; before it has a place, the primary monitor's.
RECT WorkAreaOf(HWND window) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR monitor = window && IsWindowVisible(window) ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                                       : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (GetMonitorInfoW(monitor, &mi)) return mi.rcWork;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

TMessageForm::TMessageForm(const MessageDialogOptions& o) : FOptions(o) {
  FClassName = kMessageDialogClass;
  HelpTopic = o.helpTopic;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, exStyle = WS_EX_DLGMODALFRAME;
  // Sized by LayOut, once the window knows its DPI.
  CreateForm(o.caption, style, exStyle, 0, 0, o.owner ? o.owner : GetActiveWindow());
  int escape = o.escapeButton;
  FClosable = escape >= 0 && escape < static_cast<int>(o.buttons.size());
  if (!FClosable) {
    // As the system's own boxes without a cancel button: the close box, the system menu's Close and
    // Alt+F4 do nothing.
    EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }

  if (o.icon != MsgIcon::None)
    FIcon = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_ICON, 0, 0, 0, 0, Handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  for (size_t i = 0; i < o.buttons.size(); ++i) {
    auto b = std::make_unique<Button>();
    b->Create(this, 0, 0, 0, 0, o.buttons[i]);
    b->ModalResult = kFirstButton + static_cast<int>(i);
    if (static_cast<int>(i) == o.defaultButton) b->SetDefault(true);
    if (static_cast<int>(i) == o.escapeButton) b->SetCancel(true);
    FButtons.push_back(std::move(b));
  }
  if (!o.details.empty()) {
    FDetailsButton.Create(this, 0, 0, 0, 0, kDetailsShow);
    FDetailsButton.OnClick = [this](Control* sender) { DetailsButtonClick(sender); };
    FDetails.Create(this, 0, 0, 0, 0, false);
    FDetails.AccessibleName = L"詳細";  // for screen readers, as the button that shows it
    for (const auto& line : o.details) FDetails.Add(line);
    FDetails.SetVisible(false);
  }
  LayOut();
  CenterOnScreen();
  SetPositionOnScreen(Left(), Top());  // the whole dialog on the work area, beside a task bar
  if (o.defaultButton >= 0 && o.defaultButton < static_cast<int>(FButtons.size()))
    SetActiveControl(FButtons[static_cast<size_t>(o.defaultButton)].get());
}

void TMessageForm::MakeText(bool scrolls) {
  if (FText && scrolls == FTextScrolls) return;
  if (FText) DestroyWindow(FText);
  FTextScrolls = scrolls;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (scrolls) {
    // Too tall for the screen, or with a word wider than the line: a read-only edit that wraps every
    // line and scrolls, its line ends made CR LF as the edit takes them.
    FText = CreateWindowExW(0, WC_EDITW, EditLineEnds(FOptions.text).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0,
                            0, Handle(), nullptr, inst, nullptr);
  } else {
    FText = CreateWindowExW(0, WC_STATICW, FOptions.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0,
                            0, 0, Handle(), nullptr, inst, nullptr);
  }
  // Read before the buttons, after the icon.
  SetWindowPos(FText, FIcon ? FIcon : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMessageForm::LayOut() {
  const MessageDialogOptions& o = FOptions;
  // Laid out in pixels at the form's DPI, as its text is measured.
  const TDpi dpi = FormDpi();
  const int margin = dpi.Scale(kMessageMargin), gap = dpi.Scale(8), buttonHeight = dpi.Scale(kMessageButtonHeight),
            iconSize = SystemMetric(SM_CXICON, dpi), leastButton = dpi.Scale(75), padding = dpi.Scale(16);
  HFONT font = FontHandle(dpi.Scale(DefaultFont()));

  // The frame as the window has it at its DPI.
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  const int frameWidth = (window.right - window.left) - client.right;
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  const RECT work = WorkAreaOf(Handle());

  // The list of details shows at most a dozen lines at once and scrolls for the rest.
  const bool details = !o.details.empty();
  int lineHeight = 0, widest = 0;
  FDetailsHeight = 0;
  if (details) {
    lineHeight = static_cast<int>(TextExtent(font, L"Ag").cy);
    for (const auto& line : o.details) widest = std::max(widest, static_cast<int>(TextExtent(font, line).cx));
    const int shown = std::min<int>(static_cast<int>(o.details.size()), 12);
    FDetailsHeight = shown * lineHeight + dpi.Scale(4) + SystemMetric(SM_CYHSCROLL, dpi) + margin;
  }
  // Measure the text: break it at half the work area's width. Its height leaves room for the details
  // when they are opened.
  const int breakWidth = (work.right - work.left) / 2;
  const TMessageTextBox box =
      MessageTextBox(o.text, font, breakWidth,
                     MaxMessageTextHeight(work.bottom - work.top - FDetailsHeight, frameHeight, dpi), dpi);
  const int textWidth = box.width, textHeight = box.height;
  const bool hasIcon = FIcon != nullptr;
  const int textLeft = margin + (hasIcon ? iconSize + margin : 0);
  const int contentHeight = std::max(textHeight, hasIcon ? iconSize : 0);

  std::vector<int> widths;
  int rowWidth = 0;
  for (const auto& caption : o.buttons) {
    int w = std::max(leastButton, static_cast<int>(TextExtent(font, caption).cx) + padding);
    widths.push_back(w);
    rowWidth += w;
  }
  if (!o.buttons.empty()) rowWidth += gap * (static_cast<int>(o.buttons.size()) - 1);
  const int detailsButtonWidth =
      details ? std::max<int>(leastButton, std::max(TextExtent(font, kDetailsShow).cx, TextExtent(font, kDetailsHide).cx) + padding) : 0;
  if (details) rowWidth += (o.buttons.empty() ? 0 : gap) + detailsButtonWidth;

  int clientWidth = std::max(textLeft + textWidth + margin, rowWidth + 2 * margin);
  // Wide enough for the whole caption (which spans the client width), though never wider than the work
  // area for the caption's sake.
  const int captionWidth = std::min(CaptionWidth(o.caption, dpi), static_cast<int>(work.right - work.left) - frameWidth);
  clientWidth = std::max(clientWidth, captionWidth);
  const int clientHeight = margin + contentHeight + margin + buttonHeight + margin;
  if (details) clientWidth = std::max(clientWidth, dpi.Scale(400));
  FClientHeight = clientHeight;
  SetClientSize(clientWidth, clientHeight + (details && FDetails.Visible() ? FDetailsHeight : 0));

  if (hasIcon) {
    FIconImage.Reset(LoadSystemIcon(o.icon, iconSize));
    SendMessageW(FIcon, STM_SETICON, reinterpret_cast<WPARAM>(FIconImage.Get()), 0);
    SetWindowPos(FIcon, nullptr, margin, margin, iconSize, iconSize, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  MakeText(box.scrolls);
  SendMessageW(FText, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowPos(FText, nullptr, textLeft, margin + (contentHeight - textHeight) / 2, textWidth, textHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);

  int x = (clientWidth - rowWidth) / 2;
  const int y = margin + contentHeight + margin;
  for (size_t i = 0; i < FButtons.size(); ++i) {
    FButtons[i]->SetBounds(x, y, widths[i], buttonHeight);
    x += widths[i] + gap;
  }
  if (details) {
    FDetailsButton.SetBounds(x, y, detailsButtonWidth, buttonHeight);
    FDetails.SetBounds(margin, clientHeight, clientWidth - 2 * margin, FDetailsHeight - margin);
    SendMessageW(FDetails.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(FDetails.Handle(), LB_SETITEMHEIGHT, 0, lineHeight);
    FDetails.SetHorizontalExtent(widest + dpi.Scale(8));
  }
}

void TMessageForm::DetailsButtonClick(Control*) {
  const bool show = !FDetails.Visible();
  FDetailsButton.SetCaption(show ? kDetailsHide : kDetailsShow);
  SetClientSize(ClientWidth(), FClientHeight + (show ? FDetailsHeight : 0));
  FDetails.SetVisible(show);
  // Grown downwards, it may reach past the work area: moved just enough to lie wholly in it.
  SetPositionOnScreen(Left(), Top());
}

}  // namespace

int MaxMessageTextHeight(int workAreaHeight, int frameHeight, TDpi dpi) {
  // The dialog's frame, the margins above, between and below, and the button row.
  return std::max(0, workAreaHeight - frameHeight - dpi.Scale(3 * kMessageMargin + kMessageButtonHeight));
}

TMessageTextBox MessageTextBox(const std::wstring& text, HFONT font, int breakWidth, int maxHeight, TDpi dpi) {
  TMessageTextBox box;
  const wchar_t* shown = text.empty() ? L" " : text.c_str();
  comm::TWindowDC dc(nullptr);
  comm::TSelectObject sel(dc, font);
  RECT r{0, 0, breakWidth, 0};
  DrawTextW(dc, shown, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  box.width = r.right;
  box.height = r.bottom;
  if (box.height <= maxHeight && box.width <= breakWidth) return box;
  // The edit breaks inside a word too long for a line; its text stands inside its margins, beside
  // its scroll bar.
  box.scrolls = true;
  const int inner = std::min(box.width, breakWidth);
  r = RECT{0, 0, inner, 0};
  DrawTextW(dc, shown, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
  // The edit's own left and right margins, and slack.
  const int edge = 2 * SystemMetric(SM_CXEDGE, dpi) + dpi.Scale(8);
  box.width = inner + edge + SystemMetric(SM_CXVSCROLL, dpi);
  box.height = std::min(static_cast<int>(r.bottom) + 4, maxHeight);
  return box;
}

std::wstring EditLineEnds(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      out += L"\r\n";
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

int ShowMessageDialog(const MessageDialogOptions& options) {
  if (Application::Instance().Terminated() && !options.showWhileTerminating) return kDialogClosed;
  MessageDialogOptions o = options;
  TMessageForm form(o);
  form.ShowWhileTerminating = o.showWhileTerminating;
  // The dialog goes to the front with its default button focused.
  int modal = form.ShowModal();
  return form.Answer(modal);
}

}  // namespace ui
