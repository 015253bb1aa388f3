// The help window: its panes and their layout, the contents, index and search, the topic pane, the
// history, the splitter and the remembered placement.
#include "help/HelpViewer.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include "resource.h"
#include "ui/Image.h"
#include <windowsx.h>
#include <algorithm>

namespace help {

namespace {

constexpr int kMargin = 6;
constexpr int kToolHeight = 25;
constexpr int kBodyTop = kMargin + kToolHeight + 7;
constexpr int kSplitter = 6;                        // the gap between the panes that drags
constexpr int kDefaultClientWidth = 820, kDefaultClientHeight = 580;
constexpr int kDefaultPaneWidth = 250;
constexpr int kLeastPane = 170, kLeastTopic = 240;  // narrowest panes
constexpr int kLeastWidth = 560, kLeastHeight = 380;  // smallest window
constexpr int kImageBookClosed = 0, kImageBookOpen = 1, kImagePage = 2;
constexpr const wchar_t* kTopicFace = L"ＭＳ Ｐゴシック";
constexpr COLORREF kMarkColor = RGB(255, 236, 110);  // background of the words a search found
constexpr const wchar_t* kDefaultCaption = L"ヘルプ";
// The window's own topic: F1 in it explains the help window.
constexpr const wchar_t* kHelpWindowTopic = L"help-window";
// The words a search found are marked in a shown topic up to this many (the first ones): each mark is
// a change of format in the pane, and a topic of one repeated word could otherwise hold a mark for
// every few characters.
constexpr size_t kMaxMarkedWords = 200;
// What can be typed into the index's and the search's fields: no keyword is longer, and a search of
// longer words would find nothing a shorter one does not.
constexpr int kMaxTypedChars = static_cast<int>(kMaxHelpNameChars);
// The pane takes any topic a help file may hold: its text, and a mark, a paragraph's end and a line
// of the related topics per block and run. (A rich edit control takes 32,767 characters unless told.)
constexpr long kMaxShownChars = static_cast<long>(kMaxHelpTopicChars + 4 * (kMaxHelpTopicBlocks + kMaxHelpTopicRuns) + 64);

// The widths of the hanging marks in the topic's 10-point face, in twips.
THelpMarkWidths MeasureMarks() {
  THelpMarkWidths marks;
  comm::TWindowDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  comm::TGdiObject<HFONT> font(CreateFontW(-MulDiv(10, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                        kTopicFace));
  if (!font || dpi <= 0) return marks;
  auto twips = [&](const wchar_t* text) {
    SIZE size{};
    comm::TSelectObject selected(screen, font.Get());
    GetTextExtentPoint32W(screen, text, static_cast<int>(wcslen(text)), &size);
    return MulDiv(size.cx, 1440, dpi);
  };
  marks.Bullet = std::max(1, twips(L"・"));
  marks.Note = std::max(1, twips(L"※")) + 40;
  // The widest of the step numbers, and a little room before the text.
  for (const wchar_t* number : {L"１．", L"８．", L"１０．"}) marks.Number = std::max(marks.Number, twips(number) + 40);
  return marks;
}

std::wstring ResultCaption(size_t count) {
  return L"見つかったトピック(&T): " + std::to_wstring(count) + L" 件";
}

}  // namespace

THelpViewer::THelpViewer() {
  FClassName = kHelpViewerClass;
  CreateForm(kDefaultCaption, WS_OVERLAPPEDWINDOW, 0, kDefaultClientWidth, kDefaultClientHeight, nullptr);
  SetLeastSize(kLeastWidth, kLeastHeight);
  KeyPreview = true;
  UsableUnderModal = true;
  HelpTopic = kHelpWindowTopic;
  FPaneWidth = kDefaultPaneWidth;
  FMarks = MeasureMarks();
  BuildControls();
  Layout();
}

THelpViewer::~THelpViewer() {
  if (Showing()) SavePlacement();
}

void THelpViewer::BuildControls() {
  // Creation order is the tab order.
  ButtonBack.Create(this, 0, 0, 84, kToolHeight, L"戻る(&B)");
  ButtonForward.Create(this, 0, 0, 84, kToolHeight, L"進む(&F)");
  ButtonBack.OnClick = [this](ui::Control* s) { ButtonBackClick(s); };
  ButtonForward.OnClick = [this](ui::Control* s) { ButtonForwardClick(s); };

  TabControlNavi.Create(this, kMargin, kBodyTop, FPaneWidth, 300);
  TabControlNavi.AddTab(L"目次");
  TabControlNavi.AddTab(L"キーワード");
  TabControlNavi.AddTab(L"検索");
  TabControlNavi.OnChange = [this](ui::Control* s) { TabControlNaviChange(s); };
  PageContents.Create(&TabControlNavi);
  PageIndex.Create(&TabControlNavi);
  PageSearch.Create(&TabControlNavi);

  TreeViewContents.Create(&PageContents, 0, 0, 100, 100);
  TreeViewContents.AccessibleName = L"目次";  // named by their tabs
  LoadTreeImages();
  TreeViewContents.OnChange = [this](ui::TreeView* s, HTREEITEM item) { TreeViewContentsChange(s, item); };
  TreeViewContents.OnExpanded = [this](ui::TreeView* s, HTREEITEM item, bool e) { TreeViewContentsExpanded(s, item, e); };
  TreeViewContents.OnActivate = [this](ui::TreeView* tree, HTREEITEM item) {
    if (!FFile) return;
    const auto& e = FFile->Contents[static_cast<size_t>(tree->Data(item))];
    if (e.Book) tree->Expand(item, !tree->Expanded(item));
    else RichEditTopic.SetFocus();
  };

  LabelIndex.Create(&PageIndex, 0, 0, 100, 14, L"キーワードを入力してください(&W):");
  EditIndex.Create(&PageIndex, 0, 0, 100, 21);
  EditIndex.SetMaxLength(kMaxTypedChars);
  LabelIndex.FocusControl = &EditIndex;
  EditIndex.OnChange = [this](ui::Control* s) { EditIndexChange(s); };
  ListBoxIndex.Create(&PageIndex, 0, 0, 100, 100, false);
  ListBoxIndex.AccessibleName = L"キーワード";
  ListBoxIndex.OnDblClick = [this](ui::Control* s) { ButtonIndexShowClick(s); };
  ButtonIndexShow.Create(&PageIndex, 0, 0, 84, kToolHeight, L"表示(&D)");
  ButtonIndexShow.OnClick = [this](ui::Control* s) { ButtonIndexShowClick(s); };

  LabelSearch.Create(&PageSearch, 0, 0, 100, 14, L"検索する語句を入力してください(&W):");
  EditSearch.Create(&PageSearch, 0, 0, 100, 21);
  EditSearch.SetMaxLength(kMaxTypedChars);
  LabelSearch.FocusControl = &EditSearch;
  ButtonSearchStart.Create(&PageSearch, 0, 0, 96, kToolHeight, L"検索開始(&L)");
  ButtonSearchStart.OnClick = [this](ui::Control* s) { ButtonSearchStartClick(s); };
  LabelSearchResult.Create(&PageSearch, 0, 0, 100, 14, L"見つかったトピック(&T):");
  ListBoxSearch.Create(&PageSearch, 0, 0, 100, 100, false);
  LabelSearchResult.FocusControl = &ListBoxSearch;
  ListBoxSearch.OnDblClick = [this](ui::Control* s) { ButtonSearchShowClick(s); };
  ButtonSearchShow.Create(&PageSearch, 0, 0, 84, kToolHeight, L"表示(&D)");
  ButtonSearchShow.OnClick = [this](ui::Control* s) { ButtonSearchShowClick(s); };

  RichEditTopic.Create(this, 0, 0, 100, 100);
  RichEditTopic.AccessibleName = L"本文";
  SendMessageW(RichEditTopic.Handle(), EM_EXLIMITTEXT, 0, kMaxShownChars);
  RichEditTopic.OnLinkClick = [this](ui::RichEdit* s, long start, long end) { RichEditTopicLinkClick(s, start, end); };

  SelectTab(tabContents);
  UpdateButtons();
}

void THelpViewer::LoadTreeImages() {
  // The tree's images as drawn for the window's scale, three side by side. The tree lets go of the
  // old list before it is destroyed.
  const comm::TGdiObject<HBITMAP> strip(ui::LoadArtBitmap(IDB_HELP_TREE, Dpi()));
  BITMAP bm{};
  const int side = strip && GetObjectW(strip.Get(), sizeof(bm), &bm) ? bm.bmHeight : VSS_GLYPH_SIZE;
  comm::TImageList images(ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, 3, 0));
  if (strip) ImageList_AddMasked(images.Get(), strip.Get(), VSS_ART_KEY_COLOR);
  TreeViewContents.SetImageList(images.Get());
  FTreeImages = std::move(images);
}

void THelpViewer::DoDpiChanged() {
  LoadTreeImages();
  Layout();
}

void THelpViewer::Layout() {
  if (!RichEditTopic.Handle()) return;  // still being built
  // Worked out in pixels at the window's DPI; the pane's width is kept at 96 DPI.
  const ui::TDpi dpi = Dpi();
  const auto S = [dpi](int v) { return dpi.Scale(v); };
  const int cw = ClientWidth(), ch = ClientHeight();
  const int margin = S(kMargin), toolHeight = S(kToolHeight), bodyTop = S(kBodyTop);
  const int splitter = S(kSplitter), leastPane = S(kLeastPane), leastTopic = S(kLeastTopic);
  ButtonBack.SetBounds(margin, margin, S(84), toolHeight);
  ButtonForward.SetBounds(margin + S(88), margin, S(84), toolHeight);
  const int pane = std::clamp(S(FPaneWidth), leastPane, std::max(leastPane, cw - 2 * margin - splitter - leastTopic));
  const int bodyHeight = std::max(0, ch - bodyTop - margin);
  TabControlNavi.SetBounds(margin, bodyTop, pane, bodyHeight);
  const RECT pr = TabControlNavi.PageRect();
  const int pw = std::max(0, static_cast<int>(pr.right - pr.left)), ph = std::max(0, static_cast<int>(pr.bottom - pr.top));
  for (ui::TabPage* page : {&PageContents, &PageIndex, &PageSearch}) page->SetBounds(pr.left, pr.top, pw, ph);
  const int inner = std::max(0, pw - 2 * margin);
  const int bottomRow = ph - margin - toolHeight;

  TreeViewContents.SetBounds(margin, margin, inner, std::max(0, ph - 2 * margin));

  LabelIndex.SetBounds(margin, S(8), inner, S(14));
  EditIndex.SetBounds(margin, S(26), inner, S(21));
  ListBoxIndex.SetBounds(margin, S(54), inner, std::max(0, bottomRow - S(6) - S(54)));
  ButtonIndexShow.SetBounds(pw - margin - S(84), bottomRow, S(84), toolHeight);

  LabelSearch.SetBounds(margin, S(8), inner, S(14));
  EditSearch.SetBounds(margin, S(26), inner, S(21));
  ButtonSearchStart.SetBounds(pw - margin - S(96), S(53), S(96), toolHeight);
  LabelSearchResult.SetBounds(margin, S(88), inner, S(14));
  ListBoxSearch.SetBounds(margin, S(106), inner, std::max(0, bottomRow - S(6) - S(106)));
  ButtonSearchShow.SetBounds(pw - margin - S(84), bottomRow, S(84), toolHeight);

  const int topicLeft = margin + pane + splitter;
  RichEditTopic.SetBounds(topicLeft, bodyTop, std::max(0, cw - topicLeft - margin), bodyHeight);
  for (ui::TabPage* page : {&PageContents, &PageIndex, &PageSearch}) page->Invalidate();
}

void THelpViewer::SetPaneWidth(int width) {
  FPaneWidth = std::max(kLeastPane, width);
  Layout();
}

// ---- loading ----

bool THelpViewer::ShowHelp(const std::wstring& path, const std::wstring& topic) {
  if (!FFile || !Showing() || path != FPath) {
    auto file = std::make_unique<THelpFile>();
    const THelpLoadResult result = LoadHelpFile(path, *file);
    if (result != hlLoaded) {
      ui::MessageDialogOptions o;
      o.caption = ui::Application::Instance().Title();
      o.text = HelpLoadMessage(result, path);
      o.icon = ui::MsgIcon::Warning;
      o.escapeButton = 0;
      ui::ShowMessageDialog(o);
      return false;
    }
    LoadFile(std::move(file), path);
  }
  const int index = topic.empty() ? -1 : FFile->FindTopic(topic);
  if (!Showing()) {
    PlaceAtFirstShow();
    Show();
  } else {
    BringToFront();
  }
  if (index < 0) {
    // The contents: the tree, at the home topic.
    SelectTab(tabContents);
    ShowTopic(FFile->Home);
    TreeViewContents.SetFocus();
  } else {
    ShowTopic(index);
  }
  return true;
}

void THelpViewer::LoadFile(std::unique_ptr<THelpFile> file, const std::wstring& path) {
  FFile = std::move(file);
  FPath = path;
  SetCaption(FFile->Title);
  FHistory.clear();
  FHistoryPos = -1;
  FillContents();
  FIndexLines = BuildIndexLines(*FFile);
  ListBoxIndex.Clear();
  for (const THelpIndexLine& line : FIndexLines) ListBoxIndex.Add(line.Text);
  EditIndex.SetText(L"");
  FSearchResults.clear();
  FSearchWords.clear();
  ListBoxSearch.Clear();
  EditSearch.SetText(L"");
  LabelSearchResult.SetCaption(L"見つかったトピック(&T):");
  UpdateButtons();
}

void THelpViewer::FillContents() {
  FSyncing = true;
  TreeViewContents.Clear();
  FTreeItems.clear();
  std::vector<HTREEITEM> parents;  // the open book of each depth
  for (size_t i = 0; i < FFile->Contents.size(); ++i) {
    const THelpContentsEntry& e = FFile->Contents[i];
    parents.resize(static_cast<size_t>(e.Depth));
    HTREEITEM parent = parents.empty() ? nullptr : parents.back();
    HTREEITEM item = TreeViewContents.Add(parent, e.Title, static_cast<LPARAM>(i), e.Book ? kImageBookClosed : kImagePage);
    FTreeItems.push_back(item);
    if (e.Book) parents.push_back(item);
  }
  FSyncing = false;
}

// ---- navigation ----

void THelpViewer::ShowTopic(int topic) { Navigate(topic, {}); }

void THelpViewer::Navigate(int topic, const std::vector<std::wstring>& marked) {
  if (!FFile || topic < 0 || static_cast<size_t>(topic) >= FFile->Topics.size()) return;
  if (CurrentTopic() != topic) {
    FHistory.resize(static_cast<size_t>(FHistoryPos + 1));
    FHistory.push_back(topic);
    FHistoryPos = static_cast<int>(FHistory.size()) - 1;
  }
  Display(topic, marked);
}

void THelpViewer::GoBack() {
  if (!CanGoBack()) return;
  --FHistoryPos;
  Display(CurrentTopic(), {});
}

void THelpViewer::GoForward() {
  if (!CanGoForward()) return;
  ++FHistoryPos;
  Display(CurrentTopic(), {});
}

bool THelpViewer::FollowLinkAt(long position) {
  for (const THelpTextRange& link : FRendered.Links)
    if (position >= link.Start && position < link.End) {
      ShowTopic(link.Target);
      return true;
    }
  return false;
}

void THelpViewer::Display(int topic, const std::vector<std::wstring>& marked) {
  THelpPalette palette;
  const bool highContrast = ui::HighContrast();
  if (highContrast) {
    palette.Text = palette.Heading = palette.Program = palette.Note = GetSysColor(COLOR_WINDOWTEXT);
    palette.Link = GetSysColor(COLOR_HOTLIGHT);
  }
  FRendered = RenderTopic(*FFile, topic, FMarks, palette);
  SendMessageW(RichEditTopic.Handle(), WM_SETREDRAW, FALSE, 0);
  RichEditTopic.LoadRtf(FRendered.Rtf);
  RichEditTopic.SetFace(kTopicFace, SHIFTJIS_CHARSET);
  CHARFORMAT2W link{};
  link.dwMask = CFM_LINK;
  link.dwEffects = CFE_LINK;
  for (const THelpTextRange& r : FRendered.Links) RichEditTopic.FormatRange(r.Start, r.End, link);
  CHARFORMAT2W mark{};
  mark.dwMask = CFM_BACKCOLOR;
  mark.crBackColor = kMarkColor;
  if (highContrast) {
    mark.dwMask |= CFM_COLOR;
    mark.crBackColor = GetSysColor(COLOR_HIGHLIGHT);
    mark.crTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  for (const THelpTextRange& r : FindWords(FRendered.Text, marked, kMaxMarkedWords)) RichEditTopic.FormatRange(r.Start, r.End, mark);
  SendMessageW(RichEditTopic.Handle(), WM_SETREDRAW, TRUE, 0);
  // Scrolled with drawing on, so that the scroll bar follows the new length of the text.
  RichEditTopic.ScrollToTop();
  RedrawWindow(RichEditTopic.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  SelectTopicInContents(topic);
  UpdateButtons();
}

void THelpViewer::SelectTopicInContents(int topic) {
  for (size_t i = 0; i < FFile->Contents.size(); ++i) {
    if (FFile->Contents[i].Book || FFile->Contents[i].Topic != topic) continue;
    FSyncing = true;
    // The books above the page open, so that the page is seen in its place.
    std::vector<HTREEITEM> books;
    for (int depth = FFile->Contents[i].Depth, j = static_cast<int>(i) - 1; depth > 0 && j >= 0; --j)
      if (FFile->Contents[static_cast<size_t>(j)].Depth == depth - 1) {
        books.push_back(FTreeItems[static_cast<size_t>(j)]);
        --depth;
      }
    for (auto it = books.rbegin(); it != books.rend(); ++it) TreeViewContents.Expand(*it, true);
    TreeViewContents.Select(FTreeItems[i]);
    FSyncing = false;
    return;
  }
}

void THelpViewer::UpdateButtons() {
  ButtonBack.SetEnabled(CanGoBack());
  ButtonForward.SetEnabled(CanGoForward());
}

void THelpViewer::SelectTab(int tab) {
  if (TabControlNavi.TabIndex() != tab) TabControlNavi.SetTabIndex(tab);
  else TabControlNaviChange(&TabControlNavi);
}

// ---- event handlers ----

void THelpViewer::ButtonBackClick(ui::Control*) { GoBack(); }
void THelpViewer::ButtonForwardClick(ui::Control*) { GoForward(); }

void THelpViewer::TabControlNaviChange(ui::Control*) {
  const int tab = TabControlNavi.TabIndex();
  PageContents.SetVisible(tab == tabContents);
  PageIndex.SetVisible(tab == tabIndex);
  PageSearch.SetVisible(tab == tabSearch);
  if (!Showing()) return;
  if (tab == tabContents) {
    TreeViewContents.SetFocus();
  } else if (tab == tabIndex) {
    EditIndex.SetFocus();
    EditIndex.SelectAll();
  } else {
    EditSearch.SetFocus();
    EditSearch.SelectAll();
  }
}

void THelpViewer::TreeViewContentsChange(ui::TreeView*, HTREEITEM item) {
  if (FSyncing || !FFile || !item) return;
  const THelpContentsEntry& e = FFile->Contents[static_cast<size_t>(TreeViewContents.Data(item))];
  if (!e.Book) ShowTopic(e.Topic);
}

void THelpViewer::TreeViewContentsExpanded(ui::TreeView*, HTREEITEM item, bool expanded) {
  if (!FFile) return;
  if (FFile->Contents[static_cast<size_t>(TreeViewContents.Data(item))].Book)
    TreeViewContents.SetImage(item, expanded ? kImageBookOpen : kImageBookClosed);
}

void THelpViewer::EditIndexChange(ui::Control*) {
  if (!FFile) return;
  const int line = FindIndexLine(*FFile, FIndexLines, EditIndex.Text());
  if (line < 0) return;
  ListBoxIndex.SetItemIndex(line);
  // The line found stands at the top of the list, with the lines that follow it below.
  SendMessageW(ListBoxIndex.Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(line), 0);
}

void THelpViewer::ShowIndexLine(int line) {
  if (line < 0 || static_cast<size_t>(line) >= FIndexLines.size()) return;
  ShowTopic(FIndexLines[static_cast<size_t>(line)].Topic);
}

void THelpViewer::ButtonIndexShowClick(ui::Control*) {
  if (!FFile) return;
  int line = ListBoxIndex.ItemIndex();
  if (line < 0) line = FindIndexLine(*FFile, FIndexLines, EditIndex.Text());
  if (line < 0) {
    MessageBeep(MB_OK);
    return;
  }
  ShowIndexLine(line);
}

void THelpViewer::ButtonSearchStartClick(ui::Control*) {
  if (!FFile) return;
  FSearchWords = SearchWords(EditSearch.Text());
  ListBoxSearch.Clear();
  FSearchResults = SearchTopics(*FFile, FSearchWords);
  if (FSearchWords.empty()) {
    LabelSearchResult.SetCaption(L"見つかったトピック(&T):");
    MessageBeep(MB_OK);
    EditSearch.SetFocus();
    return;
  }
  for (int topic : FSearchResults) ListBoxSearch.Add(FFile->Topics[static_cast<size_t>(topic)].Title);
  LabelSearchResult.SetCaption(ResultCaption(FSearchResults.size()));
  if (FSearchResults.empty()) {
    MessageBeep(MB_OK);
    return;
  }
  ListBoxSearch.SetItemIndex(0);
  ListBoxSearch.SetFocus();
}

void THelpViewer::ShowSearchResult(int result) {
  if (result < 0 || static_cast<size_t>(result) >= FSearchResults.size()) return;
  // The words found are marked where the topic shows them.
  Navigate(FSearchResults[static_cast<size_t>(result)], FSearchWords);
}

void THelpViewer::ButtonSearchShowClick(ui::Control*) {
  const int result = ListBoxSearch.ItemIndex();
  if (result < 0) {
    MessageBeep(MB_OK);
    return;
  }
  ShowSearchResult(result);
}

void THelpViewer::RichEditTopicLinkClick(ui::RichEdit*, long start, long) { FollowLinkAt(start); }

// ---- keyboard, mouse, size ----

void THelpViewer::DoKeyDown(WORD& key, unsigned shift) {
  const HWND focus = GetFocus();
  const bool alt = shift & ui::ssAlt, ctrl = shift & ui::ssCtrl, shiftKey = shift & ui::ssShift;
  auto done = [&key] { key = 0; };
  if (key == VK_ESCAPE && !alt && !ctrl) {
    Close();
    return done();
  }
  if (alt && !ctrl && key == VK_LEFT) {
    GoBack();
    return done();
  }
  if (alt && !ctrl && key == VK_RIGHT) {
    GoForward();
    return done();
  }
  if (key == VK_BACK && !alt && !ctrl && focus != EditIndex.Handle() && focus != EditSearch.Handle()) {
    GoBack();
    return done();
  }
  if (ctrl && !alt && key == VK_TAB) {
    SelectTab((TabControlNavi.TabIndex() + (shiftKey ? 2 : 1)) % 3);
    return done();
  }
  if (alt && !ctrl) {
    // The tabs' access keys.
    const int tab = key == 'C' ? tabContents : key == 'K' ? tabIndex : key == 'S' ? tabSearch : -1;
    if (tab >= 0) {
      SelectTab(tab);
      return done();
    }
  }
  if (key == VK_RETURN && !alt && !ctrl) {
    if (focus == EditIndex.Handle() || focus == ListBoxIndex.Handle()) {
      ButtonIndexShowClick(nullptr);
      return done();
    }
    if (focus == EditSearch.Handle()) {
      ButtonSearchStartClick(nullptr);
      return done();
    }
    if (focus == ListBoxSearch.Handle()) {
      ButtonSearchShowClick(nullptr);
      return done();
    }
  }
  if (focus == EditIndex.Handle() && !alt && !ctrl &&
      (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT)) {
    // The arrows move through the list while the keyword is typed.
    SendMessageW(ListBoxIndex.Handle(), WM_KEYDOWN, key, 0);
    return done();
  }
}

bool THelpViewer::InSplitter(int x, int y) const {
  const int left = TabControlNavi.Left() + TabControlNavi.Width();
  return x >= left && x < left + kSplitter && y >= kBodyTop && y < kBodyTop + TabControlNavi.Height();
}

LRESULT THelpViewer::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) Layout();
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == Handle() && LOWORD(lp) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(Handle(), &pt);
        if (FDragging || InSplitter(pt.x, pt.y)) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN:
      if (InSplitter(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) {
        FDragging = true;
        FDragOffset = GET_X_LPARAM(lp) - (TabControlNavi.Left() + TabControlNavi.Width());
        SetCapture(Handle());
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (FDragging) {
        const ui::TDpi dpi = Dpi();
        const int width = dpi.Unscale(GET_X_LPARAM(lp) - FDragOffset) - kMargin;
        const int most = dpi.Unscale(ClientWidth()) - 2 * kMargin - kSplitter - kLeastTopic;
        FPaneWidth = std::clamp(width, kLeastPane, std::max(kLeastPane, most));
        Layout();
        return 0;
      }
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (FDragging) {
        FDragging = false;
        if (msg == WM_LBUTTONUP) ReleaseCapture();
        return 0;
      }
      break;
    default:
      break;
  }
  return ui::Form::WndProc(msg, wp, lp);
}

void THelpViewer::DoClose(ui::CloseAction& action) {
  action = ui::CloseAction::Hide;
  SavePlacement();
}

// ---- placement ----

void THelpViewer::PlaceAtFirstShow() {
  if (FPlaced) return;
  FPlaced = true;
  THelpPlacement stored;
  if (OnLoadPlacement && OnLoadPlacement(stored)) {
    RECT b = stored.Bounds;
    b.right = b.left + std::max<LONG>(b.right - b.left, LeastSize().cx);
    b.bottom = b.top + std::max<LONG>(b.bottom - b.top, LeastSize().cy);
    // A place on a monitor that is gone comes onto the nearest one.
    b = ui::FitOnScreen(b);
    SetBounds(b.left, b.top, b.right - b.left, b.bottom - b.top);
    if (stored.PaneWidth > 0) FPaneWidth = stored.PaneWidth;
    Layout();
    return;
  }
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &mi);
  const RECT& wa = mi.rcWork;
  const int width = std::min<int>(Width(), wa.right - wa.left), height = std::min<int>(Height(), wa.bottom - wa.top);
  SetBounds(wa.left + (wa.right - wa.left - width) / 2, wa.top + (wa.bottom - wa.top - height) / 2, width, height);
}

void THelpViewer::SavePlacement() {
  if (!OnSavePlacement || !FPlaced) return;
  THelpPlacement p;
  p.PaneWidth = TabControlNavi.Width();
  p.Bounds = ui::RestoredBounds(Handle());
  OnSavePlacement(p);
}

}  // namespace help
