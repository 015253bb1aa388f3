// Windows dragged to a monitor of another scale (WM_DPICHANGED): the list window, the help window, the
// splash, the about box and the message box lay themselves out again at the new DPI, with their
// fonts, pictures and menu glyphs drawn for it, and come back unchanged.
#include "../targets/CollectionFakes.h"
#include "app/Main.h"
#include "app/SelectCommands.h"
#include "help/HelpViewer.h"
#include "resource.h"
#include "shell/Version.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "targets/FileList.h"
#include "targets/Splash.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "ScaleCheck.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>

using namespace dpitest;
using testsupport::DialogAnswerer;

namespace {

// Each scale a window passes through: the one it opened at, another, and back.
std::vector<ui::TDpi> RoundTrip(ui::TDpi first) { return {first, OtherDpi(first), first}; }

// The glyph drawings are 16 pixels square at 100 %.
int GlyphSideAt(ui::TDpi dpi) { return VSS_GLYPH_SIZE * dpi.ArtPercent() / 100; }

// Where the window goes at each step of a round trip: somewhere new each time.
RECT Suggested(ui::TDpi dpi, int step, int width, int height) {
  const int left = 20 + 30 * step, top = 10 + 20 * step;
  return RECT{left, top, left + dpi.Scale(width), top + dpi.Scale(height)};
}

// Takes a window from the scale it opened at to another and back, to a new place each time: the
// rectangle the system suggests is width x height at 96 DPI, scaled. At each step the window is at the
// new DPI, and check looks at it.
void TripThroughScales(ui::Form& window, int width, int height,
                       const std::function<void(ui::TDpi dpi, const RECT& suggested)>& check) {
  const std::vector<ui::TDpi> trip = RoundTrip(window.FormDpi());
  ASSERT_EQ(trip[0].Value(), RequestedDpi());
  for (size_t step = 1; step < trip.size(); ++step) {
    const ui::TDpi dpi = trip[step];
    SCOPED_TRACE(testing::Message() << "to " << dpi.Value() << " DPI");
    const RECT suggested = Suggested(dpi, static_cast<int>(step), width, height);
    SendDpiChanged(window.Handle(), dpi, suggested);
    EXPECT_EQ(window.FormDpi(), dpi);
    check(dpi, suggested);
  }
}

}  // namespace

TEST(FileListDpiChange, TakesTheSuggestedRectangleWithItsHeadListAndGlyphsAtTheNewScale) {
  targetstest::FakeHost host;
  targets::TFormFileList window{host};
  window.Show();
  // Copy and clear keep their distance to the right edge, the same at every scale.
  const auto rightGap = [&](const widgets::TCommonButton& b) {
    return window.FormDpi().Unscale(window.PanelHead.Width() - b.Left());
  };
  const int copyGap = rightGap(window.SpeedButtonCBCopy), clearGap = rightGap(window.SpeedButtonClear);
  TripThroughScales(window, 400, 360, [&](ui::TDpi dpi, const RECT& suggested) {
    ExpectNear(ShownBounds(window.Handle()), suggested, L"window");
    const int cw = window.ClientWidth(), ch = window.ClientHeight();
    ExpectNear(ShownBounds(window.PanelHead), RECT{0, 0, cw, dpi.Scale(41)}, L"PanelHead");
    ExpectLayout({{L"LabelListNum", &window.LabelListNum, R(8, 8, 233, 25)},
                  {L"SpeedButtonSave", &window.SpeedButtonSave, R(224, 8, 23, 22)}},
                 dpi);
    EXPECT_NEAR(rightGap(window.SpeedButtonCBCopy), copyGap, 1);
    EXPECT_NEAR(rightGap(window.SpeedButtonClear), clearGap, 1);
    EXPECT_NEAR(window.SpeedButtonClear.Width(), dpi.Scale(23), 1);
    ExpectNear(ShownBounds(window.HListBoxFileList), RECT{0, dpi.Scale(41), cw, ch}, L"HListBoxFileList");
    EXPECT_EQ(SendMessageW(window.HListBoxFileList.Handle(), LB_GETITEMHEIGHT, 0, 0), dpi.Scale(12));
    EXPECT_EQ(WindowFontHeight(window.HListBoxFileList.Handle()),
              dpi.Scale(window.HListBoxFileList.GetFont().Height));
    for (const widgets::TCommonButton* b :
         {&window.SpeedButtonSave, &window.SpeedButtonCBCopy, &window.SpeedButtonClear})
      EXPECT_EQ(GlyphSide(*b), GlyphSideAt(dpi));
    // Made as small as it goes, the list still shows both scroll arrows and its horizontal scroll bar
    // at this scale.
    const RECT before = ShownBounds(window.Handle());
    SetWindowPos(window.Handle(), nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GE(window.HListBoxFileList.Height(), 2 * ui::SystemMetric(SM_CYVSCROLL, dpi) +
                                                    ui::SystemMetric(SM_CYHSCROLL, dpi));
    SetWindowPos(window.Handle(), nullptr, before.left, before.top, before.right - before.left,
                 before.bottom - before.top, SWP_NOZORDER);
  });
}

TEST(HelpViewerDpiChange, TakesTheSuggestedRectangleWithPanesFontsAndTreePicturesAtTheNewScale) {
  help::THelpViewer viewer;
  const auto treeImageSide = [&] {
    const auto images = reinterpret_cast<HIMAGELIST>(
        SendMessageW(viewer.TreeViewContents.Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    int cx = 0, cy = 0;
    EXPECT_TRUE(images && ImageList_GetIconSize(images, &cx, &cy));
    EXPECT_EQ(cx, cy);
    return cx;
  };
  EXPECT_EQ(treeImageSide(), GlyphSideAt(viewer.FormDpi()));
  // Room for the default pane (250 at 96 DPI) beside the narrowest topic.
  TripThroughScales(viewer, 600, 420, [&](ui::TDpi dpi, const RECT& suggested) {
    ExpectNear(ShownBounds(viewer.Handle()), suggested, L"window");
    const int cw = viewer.ClientWidth(), ch = viewer.ClientHeight();
    ExpectLayout({{L"ButtonBack", &viewer.ButtonBack, R(6, 6, 84, 25)},
                  {L"ButtonForward", &viewer.ButtonForward, R(94, 6, 84, 25)}},
                 dpi);
    ExpectNear(ShownBounds(viewer.TabControlNavi), RECT{dpi.Scale(6), dpi.Scale(38), dpi.Scale(256), ch - dpi.Scale(6)},
               L"TabControlNavi");
    ExpectNear(ShownBounds(viewer.RichEditTopic),
               RECT{dpi.Scale(262), dpi.Scale(38), cw - dpi.Scale(6), ch - dpi.Scale(6)}, L"RichEditTopic");
    EXPECT_EQ(WindowFontHeight(viewer.ButtonBack.Handle()), dpi.Scale(viewer.ButtonBack.GetFont().Height));
    EXPECT_EQ(WindowFontHeight(viewer.EditIndex.Handle()), dpi.Scale(viewer.EditIndex.GetFont().Height));
    EXPECT_EQ(treeImageSide(), GlyphSideAt(dpi));
    EXPECT_EQ(viewer.LeastSize().cx, dpi.Scale(560));
  });
}

namespace {

// A window of fixed size: at each step of the round trip it keeps the suggested top left corner and
// takes its own client size at the new scale; then check looks at its contents.
void ExpectFixedWindowFollowsDpi(ui::Form& window, int clientWidth, int clientHeight,
                                 const std::function<void(ui::TDpi)>& check) {
  TripThroughScales(window, clientWidth + 10, clientHeight + 30, [&](ui::TDpi dpi, const RECT& suggested) {
    EXPECT_EQ(window.Left(), suggested.left);
    EXPECT_EQ(window.Top(), suggested.top);
    EXPECT_NEAR(window.ClientWidth(), dpi.Scale(clientWidth), 1);
    EXPECT_NEAR(window.ClientHeight(), dpi.Scale(clientHeight), 1);
    check(dpi);
  });
}

// The title block of the splash and the about box, and the copyright line whole within its room.
void ExpectTitleBlock(const ui::Image& art, const ui::Label& title, const ui::Label& copyright, int copyrightRoom,
                      ui::TDpi dpi) {
  ExpectLayout({{L"ImageTitle", &art, R(72, 12, 128, 32)},
                {L"LabelTitle", &title, R(80, 40, 177, 25)},
                {L"LabelCopyright", &copyright, R(8, 88, 249, 25)}},
               dpi);
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(art.Bitmap(), sizeof(bm), &bm));
  EXPECT_EQ(bm.bmWidth, 128 * dpi.ArtPercent() / 100);
  EXPECT_LE(TextWidth(copyright, copyright.Caption()), std::min(copyright.Width(), copyrightRoom))
      << "the copyright line cut at " << dpi.Value() << " DPI";
}

}  // namespace

TEST(SplashDpiChange, KeepsItsPlaceAndLaysOutItsTitleGaugeAndStopButtonAtTheNewScale) {
  targets::TFormSplash splash([] {});
  ExpectFixedWindowFollowsDpi(splash, 269, 163, [&](ui::TDpi dpi) {
    ExpectLayout({{L"PanelField", &splash.PanelField, R(0, 0, 269, 163)},
                  {L"PanelTitle", &splash.PanelTitle, R(2, 2, 265, 121)},
                  {L"SpeedButtonStop", &splash.SpeedButtonStop, R(240, 96, 23, 22)},
                  {L"GradationGauge", &splash.GradationGauge, R(3, 123, 263, 22)},
                  {L"LabelFileCount", &splash.LabelFileCount, R(2, 145, 265, 16)}},
                 dpi);
    EXPECT_EQ(GlyphSide(splash.SpeedButtonStop), GlyphSideAt(dpi));
    // The line is centred under the title and never runs under the stop button.
    const int centre = splash.LabelCopyright.Left() + splash.LabelCopyright.Width() / 2;
    ExpectTitleBlock(splash.ImageTitle, splash.LabelTitle, splash.LabelCopyright,
                     2 * (splash.SpeedButtonStop.Left() - 2 - centre), dpi);
  });
}

TEST(VersionDpiChange, KeepsItsPlaceAndLaysOutItsTitleCheckBoxAndButtonAtTheNewScale) {
  shell::TFormVersion about;
  ExpectFixedWindowFollowsDpi(about, 281, 192, [&](ui::TDpi dpi) {
    ExpectLayout({{L"PanelVersion", &about.PanelVersion, R(8, 8, 265, 121)},
                  {L"CheckBoxSendInOut", &about.CheckBoxSendInOut, R(8, 136, 137, 17)},
                  {L"BitBtnOK", &about.BitBtnOK, R(104, 160, 65, 25)}},
                 dpi);
    EXPECT_EQ(WindowFontHeight(about.BitBtnOK.Handle()), dpi.Scale(about.BitBtnOK.GetFont().Height));
    EXPECT_EQ(WindowFontHeight(about.CheckBoxSendInOut.Handle()),
              dpi.Scale(about.CheckBoxSendInOut.GetFont().Height));
    ExpectTitleBlock(about.ImageTitle, about.LabelTitle, about.LabelCopyright, about.LabelCopyright.Width(), dpi);
  });
}

TEST(MenuDpiChange, GlyphsOfAMenuShownAfterAChangeAreDrawnForTheNewScale) {
  testsupport::TempTree tree;
  app::TVNStampShifter main(tree.Path(L"VornaStampShifter.ini"));
  app::TSelectCommands commands{main, [](const std::vector<std::wstring>&) {}};
  main.Show();
  const ui::TDpi first = main.FormDpi();
  ASSERT_EQ(first.Value(), RequestedDpi());
  const std::vector<ui::TDpi> trip = RoundTrip(first);
  for (size_t step = 0; step < trip.size(); ++step) {
    const ui::TDpi dpi = trip[step];
    SCOPED_TRACE(testing::Message() << "at " << dpi.Value() << " DPI");
    if (step > 0) SendDpiChanged(main.Handle(), dpi, Suggested(dpi, static_cast<int>(step), 310, 390));
    // The size the open menu asks of each entry's glyph, as the system measures it.
    std::vector<MEASUREITEMSTRUCT> measured;
    testsupport::LoopSteps steps({[&] {
      if (!ui::PopupMenu::OpenMenu()) return false;
      for (const ui::MenuItem* item : {commands.D1, commands.F1, commands.C1}) {
        MEASUREITEMSTRUCT mis{};
        mis.CtlType = ODT_MENU;
        mis.itemData = reinterpret_cast<ULONG_PTR>(item);
        EXPECT_TRUE(ui::PopupMenu::MeasureGlyph(&mis));
        measured.push_back(mis);
      }
      EndMenu();
      return true;
    }});
    commands.SpeedButtonSelectClick(nullptr);
    ASSERT_EQ(measured.size(), 3u) << "the menu never opened";
    for (const MEASUREITEMSTRUCT& mis : measured) {
      EXPECT_EQ(static_cast<int>(mis.itemHeight), GlyphSideAt(dpi));
      EXPECT_EQ(static_cast<int>(mis.itemWidth), GlyphSideAt(dpi) + dpi.Scale(3));  // the gap before the text
    }
  }
}

namespace {

// A message box as the user sees it, read from its windows.
struct TBoxView {
  RECT frame{}, client{};
  HWND icon = nullptr, text = nullptr, list = nullptr;
  std::vector<HWND> buttons;
};

TBoxView ReadBox(HWND dialog) {
  TBoxView v;
  GetWindowRect(dialog, &v.frame);
  GetClientRect(dialog, &v.client);
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = L"";
    GetClassNameW(c, cls, 32);
    const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
    if (_wcsicmp(cls, L"Button") == 0) v.buttons.push_back(c);
    else if (_wcsicmp(cls, L"ListBox") == 0) v.list = c;
    else if (_wcsicmp(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) v.icon = c;
    else if (_wcsicmp(cls, L"Static") == 0 || _wcsicmp(cls, L"Edit") == 0) v.text = c;
  }
  return v;
}

std::wstring WindowText(HWND h) {
  std::wstring s(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  s.resize(static_cast<size_t>(GetWindowTextW(h, s.data(), static_cast<int>(s.size()))));
  return s;
}

// The text in a window's font, broken at the width of the window as a static text breaks it.
SIZE MeasuredText(HWND h) {
  RECT client;
  GetClientRect(h, &client);
  comm::TWindowDC dc(h);
  comm::TSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
  RECT r{0, 0, client.right, 0};
  const std::wstring text = WindowText(h);
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  return SIZE{r.right, r.bottom};
}

// The side of the image a static icon control shows.
int IconSide(HWND icon) {
  ICONINFO info{};
  const auto shown = reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0));
  if (!shown || !GetIconInfo(shown, &info)) return 0;
  comm::TGdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  GetObjectW(info.hbmMask, sizeof(bm), &bm);
  return bm.bmWidth;
}

// Everything a box shows at a scale: the icon at its size, the text whole in its font, the buttons
// below them with whole captions, the details (when open) below the buttons, all on the work area.
void ExpectBoxLaidOut(HWND dialog, ui::TDpi dpi, bool detailsOpen) {
  const TBoxView v = ReadBox(dialog);
  const int margin = dpi.Scale(ui::kMessageMargin);
  const LONG fontHeight = dpi.Scale(ui::DefaultFont().Height);
  int contentBottom = 0, textLeft = margin;
  if (v.icon) {
    const int side = dpi.Scale(ui::SystemDpi().Unscale(GetSystemMetrics(SM_CXICON)));
    EXPECT_EQ(IconSide(v.icon), side) << "an icon of another scale";
    ExpectNear(ShownBounds(v.icon), RECT{margin, margin, margin + side, margin + side}, L"icon");
    contentBottom = margin + side;
    textLeft = 2 * margin + side;
  }
  ASSERT_TRUE(v.text);
  const RECT text = ShownBounds(v.text);
  EXPECT_EQ(WindowFontHeight(v.text), fontHeight);
  EXPECT_GE(text.left, textLeft - 1);
  EXPECT_LE(text.right, v.client.right - margin + 1);
  if (!(GetWindowLongPtrW(v.text, GWL_STYLE) & WS_VSCROLL)) {
    const SIZE need = MeasuredText(v.text);
    EXPECT_LE(need.cx, text.right - text.left) << "text cut at " << dpi.Value() << " DPI";
    EXPECT_LE(need.cy, text.bottom - text.top) << "text cut at " << dpi.Value() << " DPI";
  }
  contentBottom = std::max<int>(contentBottom, text.bottom);
  ASSERT_FALSE(v.buttons.empty());
  int rowBottom = 0;
  for (HWND b : v.buttons) {
    const std::wstring caption = WithoutMnemonic(WindowText(b));
    SCOPED_TRACE(testing::Message() << "button of " << caption.size() << " characters");
    const RECT r = ShownBounds(b);
    EXPECT_NEAR(r.bottom - r.top, dpi.Scale(ui::kMessageButtonHeight), 1);
    EXPECT_GE(r.top, contentBottom + margin - 1);
    EXPECT_GE(r.left, margin - 1);
    EXPECT_LE(r.right, v.client.right - margin + 1);
    EXPECT_EQ(WindowFontHeight(b), fontHeight);
    const int captionWidth = ui::TextExtent(reinterpret_cast<HFONT>(SendMessageW(b, WM_GETFONT, 0, 0)), caption).cx;
    EXPECT_LE(captionWidth + dpi.Scale(8), r.right - r.left) << "caption cut at " << dpi.Value() << " DPI";
    rowBottom = std::max<int>(rowBottom, r.bottom);
  }
  if (detailsOpen) {
    ASSERT_TRUE(v.list && IsWindowVisible(v.list));
    const RECT list = ShownBounds(v.list);
    EXPECT_GE(list.top, rowBottom + margin - 1);
    EXPECT_NEAR(list.left, margin, 1);
    EXPECT_NEAR(list.right, v.client.right - margin, 1);
    EXPECT_LE(list.bottom, v.client.bottom);
    EXPECT_EQ(WindowFontHeight(v.list), fontHeight);
    const HFONT listFont = reinterpret_cast<HFONT>(SendMessageW(v.list, WM_GETFONT, 0, 0));
    EXPECT_EQ(SendMessageW(v.list, LB_GETITEMHEIGHT, 0, 0), ui::TextExtent(listFont, L"Ag").cy);
  } else {
    EXPECT_TRUE(!v.list || !IsWindowVisible(v.list));
    EXPECT_NEAR(v.client.bottom, rowBottom + margin, 1);
  }
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_TRUE(v.frame.left >= work.left && v.frame.top >= work.top && v.frame.right <= work.right &&
              v.frame.bottom <= work.bottom)
      << "off the work area at " << dpi.Value() << " DPI";
}

// Shows the box and, while it is up, takes it through the round trip of scales, opening its details
// (when it has them) on the way; true when every step ran.
bool ExpectBoxFollowsDpi(ui::MessageDialogOptions o) {
  DialogAnswerer answers;
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  const bool details = !o.details.empty();
  HWND dialog = nullptr;
  SIZE firstSize{};  // at the scale it opened at
  const auto size = [&] {
    RECT r;
    GetWindowRect(dialog, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  };
  testsupport::LoopSteps user({[&] {
    if (answers.Shown().empty()) return false;
    dialog = answers.Shown()[0].hwnd;
    const ui::TDpi first = ui::WindowDpi(dialog);
    ExpectBoxLaidOut(dialog, first, false);
    firstSize = size();
    const std::vector<ui::TDpi> trip = RoundTrip(first);
    for (size_t step = 1; step < trip.size(); ++step) {
      const ui::TDpi dpi = trip[step];
      SCOPED_TRACE(testing::Message() << "to " << dpi.Value() << " DPI");
      // The system suggests the box's size scaled, at the place the drag reached.
      const SIZE was = size();
      const RECT suggested = Suggested(dpi, static_cast<int>(step), trip[step - 1].Unscale(was.cx),
                                       trip[step - 1].Unscale(was.cy));
      SendDpiChanged(dialog, dpi, suggested);
      // Sized to its content, at the suggested place as far as the work area lets it stand there.
      const SIZE now = size();
      const RECT placed =
          ui::FitOnScreen(RECT{suggested.left, suggested.top, suggested.left + now.cx, suggested.top + now.cy});
      RECT frame;
      GetWindowRect(dialog, &frame);
      EXPECT_EQ(frame.left, placed.left);
      EXPECT_EQ(frame.top, placed.top);
      ExpectBoxLaidOut(dialog, dpi, step == 2 && details);
      if (step == 1 && details) {
        // Opened at the new scale, and taken back with them open.
        SendMessageW(FindWindowExW(dialog, nullptr, L"Button", ui::kDetailsShow), BM_CLICK, 0, 0);
        ExpectBoxLaidOut(dialog, dpi, true);
      }
    }
    if (details) {
      SendMessageW(FindWindowExW(dialog, nullptr, L"Button", ui::kDetailsHide), BM_CLICK, 0, 0);
      ExpectBoxLaidOut(dialog, first, false);
    }
    // Back at the first scale, the box is as it was.
    EXPECT_EQ(size().cx, firstSize.cx);
    EXPECT_EQ(size().cy, firstSize.cy);
    SendMessageW(ReadBox(dialog).buttons[0], BM_CLICK, 0, 0);
    return true;
  }});
  EXPECT_EQ(ui::ShowMessageDialog(o), 0);
  return user.Done();
}

}  // namespace

TEST(MessageDialogDpiChange, TextIconAndButtonsAreLaidOutAgainAndNothingIsCut) {
  ui::MessageDialogOptions o;
  o.caption = L"VornaStampShifter";
  o.text = L"変更が終了しました。\r\r変更数\t\t： 3\rエラー数\t\t： 0\r未変更数\t： 0";
  o.icon = ui::MsgIcon::Information;
  o.escapeButton = 0;
  EXPECT_TRUE(ExpectBoxFollowsDpi(o));
}

TEST(MessageDialogDpiChange, DetailsListFollowsTheScaleOpenOrClosed) {
  ui::MessageDialogOptions o;
  o.caption = L"VornaStampShifter";
  o.text = L"直前の変更を元に戻します。\rよろしいですか？";
  o.icon = ui::MsgIcon::Question;
  o.buttons = {L"はい(&Y)", L"いいえ(&N)"};
  o.escapeButton = 1;
  for (int i = 0; i < 30; ++i) o.details.push_back(L"C:\\data\\" + std::wstring(static_cast<size_t>(i), L'x') + L".txt");
  EXPECT_TRUE(ExpectBoxFollowsDpi(o));
}

TEST(MessageDialogDpiChange, TextTooTallForTheScreenScrollsAndTheBoxStaysOnTheWorkArea) {
  // Margins and buttons grow with the scale: the text's room shrinks by as much.
  std::wstring path = L"C:";
  while (path.size() < 6000) path += L"\\とても長いフォルダの名前";
  ui::MessageDialogOptions o;
  o.caption = L"VornaStampShifter";
  o.text = path + L" が存在しません。\r処理を続けますか？";
  o.icon = ui::MsgIcon::Warning;
  o.buttons = {L"はい(&Y)", L"中止(&A)", L"すべてはい(&A)"};
  EXPECT_TRUE(ExpectBoxFollowsDpi(o));
}
