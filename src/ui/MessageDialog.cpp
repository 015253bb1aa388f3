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

 private:
  static constexpr int kFirstButton = 100;
  bool FClosable = true;
  HWND FIcon = nullptr;
  HWND FText = nullptr;
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

// The least client width that shows the whole caption in the system's caption font, with the caption's
// icon and close button beside it.
int CaptionWidth(const std::wstring& caption) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return 0;
  comm::TGdiObject<HFONT> font(CreateFontIndirectW(&ncm.lfCaptionFont));
  int text = caption.empty() ? 0 : static_cast<int>(TextExtent(font.Get(), caption).cx);
  // The small icon at the left (drawn by some systems even on dialog frames), the close button at the
  // right, and a few pixels on each side of the text.
  int icon = GetSystemMetrics(SM_CXSMICON) + 2;
  int closeButton = std::max(ncm.iCaptionWidth, GetSystemMetrics(SM_CXSIZE)) + 2;
  return icon + 4 + text + 8 + closeButton;
}

TMessageForm::TMessageForm(const MessageDialogOptions& o) {
  FClassName = kMessageDialogClass;
  HelpTopic = o.helpTopic;
  // Laid out in pixels at the DPI the box opens at, as its text is measured.
  const TDpi dpi = SystemDpi();
  const int margin = dpi.Scale(kMessageMargin), gap = dpi.Scale(8), buttonHeight = dpi.Scale(kMessageButtonHeight),
            iconSize = GetSystemMetrics(SM_CXICON), leastButton = dpi.Scale(75), padding = dpi.Scale(16);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, exStyle = WS_EX_DLGMODALFRAME;
  HFONT font = FontHandle(dpi.Scale(DefaultFont()));

  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle | WS_EX_CONTROLPARENT);
  const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);

  // The list of details shows at most a dozen lines at once and scrolls for the rest.
  const bool details = !o.details.empty();
  int lineHeight = 0, widest = 0;
  if (details) {
    lineHeight = static_cast<int>(TextExtent(font, L"Ag").cy);
    for (const auto& line : o.details) widest = std::max(widest, static_cast<int>(TextExtent(font, line).cx));
    const int shown = std::min<int>(static_cast<int>(o.details.size()), 12);
    FDetailsHeight = shown * lineHeight + 4 + GetSystemMetrics(SM_CYHSCROLL) + margin;
  }
  // Measure the text: break it at half the screen width. Its height leaves room for the details when
  // they are opened.
  const int breakWidth = GetSystemMetrics(SM_CXSCREEN) / 2;
  const TMessageTextBox box = MessageTextBox(
      o.text, font, breakWidth, MaxMessageTextHeight(work.bottom - work.top - FDetailsHeight, frameHeight));
  const int textWidth = box.width, textHeight = box.height;
  bool hasIcon = o.icon != MsgIcon::None;
  int textLeft = margin + (hasIcon ? iconSize + margin : 0);
  int contentHeight = std::max(textHeight, hasIcon ? iconSize : 0);

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
  int captionWidth = std::min(CaptionWidth(o.caption), static_cast<int>(work.right - work.left) - frameWidth);
  clientWidth = std::max(clientWidth, captionWidth);
  int clientHeight = margin + contentHeight + margin + buttonHeight + margin;
  if (details) clientWidth = std::max(clientWidth, dpi.Scale(400));
  FClientHeight = clientHeight;

  CreateForm(o.caption, style, exStyle, dpi.Unscale(clientWidth), dpi.Unscale(clientHeight),
             o.owner ? o.owner : GetActiveWindow());
  SetClientSize(clientWidth, clientHeight);
  int escape = o.escapeButton;
  FClosable = escape >= 0 && escape < static_cast<int>(o.buttons.size());
  if (!FClosable) {
    // As the system's own boxes without a cancel button: the close box, the system menu's Close and
    // Alt+F4 do nothing.
    EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  }

  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (hasIcon) {
    FIcon = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_ICON, margin, margin, iconSize, iconSize,
                            Handle(), nullptr, inst, nullptr);
    SendMessageW(FIcon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, SystemIcon(o.icon))), 0);
  }
  int textTop = margin + (contentHeight - textHeight) / 2;
  if (box.scrolls) {
    // Too tall for the screen, or with a word wider than the line: a read-only edit that wraps every
    // line and scrolls, its line ends made CR LF as the edit takes them.
    FText = CreateWindowExW(0, WC_EDITW, EditLineEnds(o.text).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                            textLeft, textTop, textWidth, textHeight, Handle(), nullptr, inst, nullptr);
  } else {
    FText = CreateWindowExW(0, WC_STATICW, o.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, textLeft,
                            textTop, textWidth, textHeight, Handle(), nullptr, inst, nullptr);
  }
  SendMessageW(FText, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  int x = (clientWidth - rowWidth) / 2, y = margin + contentHeight + margin;
  for (size_t i = 0; i < o.buttons.size(); ++i) {
    auto b = std::make_unique<Button>();
    b->Create(this, 0, 0, 0, 0, o.buttons[i]);
    b->SetBounds(x, y, widths[i], buttonHeight);
    b->ModalResult = kFirstButton + static_cast<int>(i);
    if (static_cast<int>(i) == o.defaultButton) b->SetDefault(true);
    if (static_cast<int>(i) == o.escapeButton) b->SetCancel(true);
    x += widths[i] + gap;
    FButtons.push_back(std::move(b));
  }
  if (details) {
    FDetailsButton.Create(this, 0, 0, 0, 0, kDetailsShow);
    FDetailsButton.SetBounds(x, y, detailsButtonWidth, buttonHeight);
    FDetailsButton.OnClick = [this](Control* sender) { DetailsButtonClick(sender); };
    const int top = clientHeight;
    FDetails.Create(this, 0, 0, 0, 0, false);
    FDetails.AccessibleName = L"詳細";  // for screen readers, as the button that shows it
    FDetails.SetBounds(margin, top, clientWidth - 2 * margin, FDetailsHeight - margin);
    SendMessageW(FDetails.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(FDetails.Handle(), LB_SETITEMHEIGHT, 0, lineHeight);
    for (const auto& line : o.details) FDetails.Add(line);
    FDetails.SetHorizontalExtent(widest + 8);
    FDetails.SetVisible(false);
  }
  CenterOnScreen();
  SetPositionOnScreen(Left(), Top());  // the whole dialog on the work area, beside a task bar
  if (o.defaultButton >= 0 && o.defaultButton < static_cast<int>(FButtons.size()))
    SetActiveControl(FButtons[static_cast<size_t>(o.defaultButton)].get());
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

int MaxMessageTextHeight(int workAreaHeight, int frameHeight) {
  // The dialog's frame, the margins above, between and below, and the button row.
  return std::max(0, workAreaHeight - frameHeight - 3 * kMessageMargin - kMessageButtonHeight);
}

TMessageTextBox MessageTextBox(const std::wstring& text, HFONT font, int breakWidth, int maxHeight) {
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
  const int edge = 2 * GetSystemMetrics(SM_CXEDGE) + 8;  // the edit's own left and right margins, and slack
  box.width = inner + edge + GetSystemMetrics(SM_CXVSCROLL);
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
