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
  GdiObject<HFONT> font(CreateFontIndirectW(&ncm.lfCaptionFont));
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
  const int margin = 12, gap = 8, buttonHeight = 23, iconSize = 32;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, exStyle = WS_EX_DLGMODALFRAME;
  HFONT font = FontHandle(DefaultFont());

  // Measure the text: break it at half the screen width.
  RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  {
    WindowDC dc(nullptr);
    SelectObj sel(dc, font);
    DrawTextW(dc, o.text.empty() ? L" " : o.text.c_str(), -1, &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  }
  int textWidth = textRect.right, textHeight = textRect.bottom;
  bool hasIcon = o.icon != MsgIcon::None;
  int textLeft = margin + (hasIcon ? iconSize + margin : 0);
  int contentHeight = std::max(textHeight, hasIcon ? iconSize : 0);

  std::vector<int> widths;
  int rowWidth = 0;
  for (const auto& caption : o.buttons) {
    int w = std::max(75, static_cast<int>(TextExtent(font, caption).cx) + 16);
    widths.push_back(w);
    rowWidth += w;
  }
  if (!o.buttons.empty()) rowWidth += gap * (static_cast<int>(o.buttons.size()) - 1);
  const bool details = !o.details.empty();
  const int detailsButtonWidth =
      details ? std::max<int>(75, std::max(TextExtent(font, kDetailsShow).cx, TextExtent(font, kDetailsHide).cx) + 16) : 0;
  if (details) rowWidth += (o.buttons.empty() ? 0 : gap) + detailsButtonWidth;

  int clientWidth = std::max(textLeft + textWidth + margin, rowWidth + 2 * margin);
  // Wide enough for the whole caption (which spans the client width), though never wider than the work
  // area for the caption's sake.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle | WS_EX_CONTROLPARENT);
  const int frameWidth = frame.right - frame.left;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int captionWidth = std::min(CaptionWidth(o.caption), static_cast<int>(work.right - work.left) - frameWidth);
  clientWidth = std::max(clientWidth, captionWidth);
  int clientHeight = margin + contentHeight + margin + buttonHeight + margin;
  // The list shows at most a dozen lines at once and scrolls for the rest.
  int lineHeight = 0, widest = 0;
  if (details) {
    clientWidth = std::max(clientWidth, 400);
    lineHeight = static_cast<int>(TextExtent(font, L"Ag").cy);
    for (const auto& line : o.details) widest = std::max(widest, static_cast<int>(TextExtent(font, line).cx));
    const int shown = std::min<int>(static_cast<int>(o.details.size()), 12);
    FDetailsHeight = shown * lineHeight + 4 + GetSystemMetrics(SM_CYHSCROLL) + margin;
  }
  FClientHeight = clientHeight;

  CreateForm(o.caption, style, exStyle, clientWidth, clientHeight, o.owner ? o.owner : GetActiveWindow());
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
  FText = CreateWindowExW(0, WC_STATICW, o.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, textLeft,
                          textTop, textWidth, textHeight, Handle(), nullptr, inst, nullptr);
  SendMessageW(FText, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  int x = (clientWidth - rowWidth) / 2, y = margin + contentHeight + margin;
  for (size_t i = 0; i < o.buttons.size(); ++i) {
    auto b = std::make_unique<Button>();
    b->Create(this, x, y, widths[i], buttonHeight, o.buttons[i]);
    b->ModalResult = kFirstButton + static_cast<int>(i);
    if (static_cast<int>(i) == o.defaultButton) b->SetDefault(true);
    if (static_cast<int>(i) == o.escapeButton) b->SetCancel(true);
    x += widths[i] + gap;
    FButtons.push_back(std::move(b));
  }
  if (details) {
    FDetailsButton.Create(this, x, y, detailsButtonWidth, buttonHeight, kDetailsShow);
    FDetailsButton.OnClick = [this](Control* sender) { DetailsButtonClick(sender); };
    const int top = clientHeight;
    FDetails.Create(this, margin, top, clientWidth - 2 * margin, FDetailsHeight - margin, false);
    SendMessageW(FDetails.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(FDetails.Handle(), LB_SETITEMHEIGHT, 0, lineHeight);
    for (const auto& line : o.details) FDetails.Add(line);
    FDetails.SetHorizontalExtent(widest + 8);
    FDetails.SetVisible(false);
  }
  CenterOnScreen();
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
