// What a screen reader finds in a window: names from captions, labels and hints, the windowless
// controls as children with their place and state, and objects that outlive their window safely.
#include "support/Accessible.h"
#include "support/DialogAnswerer.h"
#include "ui/Accessible.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "ui/StdControls.h"
#include "ui/ViewControls.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

using testsupport::ClientObject;
using testsupport::PumpFor;

namespace {

class TClickBox : public ui::GraphicControl {
 public:
  void Paint(HDC) override {}
  ui::AccRole AccessibleRole() const override { return ui::AccRole::PushButton; }
};

class TNamesForm : public ui::Form {
 public:
  TNamesForm() {
    CreateForm(L"名前のテスト", WS_CAPTION | WS_SYSMENU, 0, 300, 200);
    LabelName.Create(this, 8, 8, 80, 14, L"名前(&N):");
    EditName.Create(this, 90, 6, 120, 20, L"内容は名前ではない");
    CheckDate.Create(this, 8, 32, 80, 17, L"日付(&D)");
    EditDate.Create(this, 90, 30, 120, 20, L"");
    EditHinted.Create(this, 90, 54, 120, 20, L"");
    EditHinted.SetHint(L"拡張子を区切って入力|長い説明");
    LabelList.Create(this, 8, 80, 80, 14, L"一覧(&&L)");
    Gap.Create(this, 220, 80, 10, 10);
    ListFiles.Create(this, 90, 80, 120, 40);
    LabelList.FocusControl = &ListFiles;
    Box.Create(this, 220, 130, 30, 20);
    Box.SetHint(L"停止|");
    Box.OnClick = [this](ui::Control*) { ++clicks; };
    Panel.Create(this, 8, 150, 200, 40);
    Inner.Create(&Panel, 4, 4, 100, 14, L"内側");
  }
  ui::Label LabelName, LabelList, Inner;
  ui::Edit EditName, EditDate, EditHinted;
  ui::CheckBox CheckDate;
  ui::ListBox ListFiles;
  ui::PaintBox Gap;
  TClickBox Box;
  ui::Panel Panel;
  int clicks = 0;
};

std::wstring Name(IAccessible* a, LONG child) {
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = child;
  BSTR name = nullptr;
  if (FAILED(a->get_accName(id, &name)) || !name) return L"<none>";
  std::wstring out(name);
  SysFreeString(name);
  return out;
}

LONG ChildIndex(const ui::WinControl& parent, const ui::Control& child) {
  const auto& kids = parent.Children();
  for (size_t i = 0; i < kids.size(); ++i)
    if (kids[i] == &child) return static_cast<LONG>(i + 1);
  return -1;
}

}  // namespace

TEST(Accessible, PlainCaptionDropsTheAccessKeyMarksOnly) {
  EXPECT_EQ(ui::PlainCaption(L"作成日時(&C)"), L"作成日時(C)");
  EXPECT_EQ(ui::PlainCaption(L"A && B"), L"A & B");
  EXPECT_EQ(ui::PlainCaption(L"末尾&"), L"末尾");
  EXPECT_EQ(ui::PlainCaption(L"&&&X"), L"&X");
  EXPECT_EQ(ui::PlainCaption(L""), L"");
}

TEST(Accessible, EachControlIsNamedByWhatAUserSeesBesideIt) {
  TNamesForm f;
  f.Show();
  EXPECT_EQ(ui::AccessibleNameOf(f.EditName), L"名前(N):");       // the label before it, not its text
  EXPECT_EQ(ui::AccessibleNameOf(f.EditDate), L"日付(D)");         // the check box before it
  EXPECT_EQ(ui::AccessibleNameOf(f.EditHinted), L"拡張子を区切って入力");  // its short hint
  EXPECT_EQ(ui::AccessibleNameOf(f.ListFiles), L"一覧(&L)");       // the label pointing at it, not just before
  EXPECT_EQ(ui::AccessibleNameOf(f.Box), L"停止");
  EXPECT_EQ(ui::AccessibleNameOf(f.CheckDate), L"日付(D)");
  EXPECT_EQ(ui::AccessibleNameOf(f.Panel), L"");  // after a button: no label of its own
  f.EditHinted.AccessibleName = L"拡張子";
  EXPECT_EQ(ui::AccessibleNameOf(f.EditHinted), L"拡張子");

  // The edit's own object, which a reader asks when the edit takes the focus.
  comm::TComPtr<IAccessible> edit;
  *&edit = ClientObject(f.EditName.Handle());
  ASSERT_TRUE(edit);
  EXPECT_EQ(Name(edit.Get(), CHILDID_SELF), L"名前(N):");
  VARIANT self = testsupport::ChildVariant(CHILDID_SELF), v;
  ASSERT_EQ(edit->get_accRole(self, &v), S_OK);
  EXPECT_EQ(v.lVal, ROLE_SYSTEM_TEXT);
  BSTR value = nullptr;
  ASSERT_EQ(edit->get_accValue(self, &value), S_OK);
  EXPECT_STREQ(value, L"内容は名前ではない");
  SysFreeString(value);
}

TEST(Accessible, WindowlessControlsAreChildrenWithPlaceStateAndAction) {
  TNamesForm f;
  f.Show();
  comm::TComPtr<IAccessible> form;
  *&form = ClientObject(f.Handle());
  ASSERT_TRUE(form);
  LONG count = 0;
  ASSERT_EQ(form->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, static_cast<LONG>(f.Children().size()));

  const LONG label = ChildIndex(f, f.LabelName), box = ChildIndex(f, f.Box), edit = ChildIndex(f, f.EditName);
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  IDispatch* child = nullptr;
  id.lVal = label;
  EXPECT_EQ(form->get_accChild(id, &child), S_FALSE);  // simple: asked through the form
  EXPECT_EQ(child, nullptr);
  id.lVal = edit;
  ASSERT_EQ(form->get_accChild(id, &child), S_OK);
  ASSERT_NE(child, nullptr);
  child->Release();
  id.lVal = count + 1;
  EXPECT_EQ(form->get_accChild(id, &child), E_INVALIDARG);
  id.lVal = 0x7fffffff;
  BSTR none = nullptr;
  EXPECT_EQ(form->get_accName(id, &none), E_INVALIDARG);

  EXPECT_EQ(Name(form.Get(), label), L"名前(N):");
  EXPECT_EQ(Name(form.Get(), box), L"停止");
  EXPECT_EQ(Name(form.Get(), edit), L"名前(N):");
  EXPECT_EQ(Name(form.Get(), CHILDID_SELF), L"名前のテスト");

  VARIANT role;
  id.lVal = label;
  ASSERT_EQ(form->get_accRole(id, &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_STATICTEXT);
  id.lVal = ChildIndex(f, f.Gap);
  ASSERT_EQ(form->get_accRole(id, &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_GRAPHIC);

  // The place on the screen, and the point there finds the same child.
  LONG x, y, w, h;
  id.lVal = box;
  ASSERT_EQ(form->accLocation(&x, &y, &w, &h, id), S_OK);
  POINT origin{f.Box.Left(), f.Box.Top()};
  ClientToScreen(f.Handle(), &origin);
  EXPECT_EQ(x, origin.x);
  EXPECT_EQ(y, origin.y);
  EXPECT_EQ(w, f.Box.Width());
  EXPECT_EQ(h, f.Box.Height());
  VARIANT hit;
  ASSERT_EQ(form->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
  ASSERT_EQ(hit.vt, VT_I4);
  EXPECT_EQ(hit.lVal, box);
  POINT inEdit{f.EditName.Left() + 4, f.EditName.Top() + 4};
  ClientToScreen(f.Handle(), &inEdit);
  ASSERT_EQ(form->accHitTest(inEdit.x, inEdit.y, &hit), S_OK);
  EXPECT_EQ(hit.vt, VT_DISPATCH);
  VariantClear(&hit);

  // Next and previous walk the creation order.
  VARIANT start, end;
  VariantInit(&start);
  start.vt = VT_I4;
  start.lVal = CHILDID_SELF;
  ASSERT_EQ(form->accNavigate(NAVDIR_FIRSTCHILD, start, &end), S_OK);
  EXPECT_EQ(end.vt, VT_I4);
  EXPECT_EQ(end.lVal, label);
  start.lVal = box;
  ASSERT_EQ(form->accNavigate(NAVDIR_PREVIOUS, start, &end), S_OK);
  EXPECT_EQ(end.vt, VT_DISPATCH);  // the list box before it is a window of its own
  VariantClear(&end);
  start.lVal = count;
  EXPECT_EQ(form->accNavigate(NAVDIR_NEXT, start, &end), S_FALSE);

  // The default action clicks once, after the request has returned; not while disabled.
  id.lVal = box;
  ASSERT_EQ(form->accDoDefaultAction(id), S_OK);
  EXPECT_EQ(f.clicks, 0);
  PumpFor(50);
  EXPECT_EQ(f.clicks, 1);
  f.Box.SetEnabled(false);
  VARIANT state;
  ASSERT_EQ(form->get_accState(id, &state), S_OK);
  EXPECT_TRUE(state.lVal & STATE_SYSTEM_UNAVAILABLE);
  EXPECT_FALSE(state.lVal & STATE_SYSTEM_INVISIBLE);
  EXPECT_EQ(form->accDoDefaultAction(id), E_FAIL);
  PumpFor(50);
  EXPECT_EQ(f.clicks, 1);
  f.Box.SetVisible(false);
  ASSERT_EQ(form->get_accState(id, &state), S_OK);
  EXPECT_TRUE(state.lVal & STATE_SYSTEM_INVISIBLE);
  id.lVal = label;
  EXPECT_EQ(form->accDoDefaultAction(id), DISP_E_MEMBERNOTFOUND);  // a label does nothing

  // A panel lists its own windowless children.
  comm::TComPtr<IAccessible> panel;
  *&panel = ClientObject(f.Panel.Handle());
  ASSERT_TRUE(panel);
  ASSERT_EQ(panel->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(Name(panel.Get(), 1), L"内側");
}

TEST(Accessible, AnObjectKeptAfterItsWindowWentAnswersThatItIsGone) {
  comm::TComPtr<IAccessible> form;
  {
    TNamesForm f;
    f.Show();
    *&form = ClientObject(f.Handle());
    ASSERT_TRUE(form);
  }
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = 1;
  BSTR name = nullptr;
  EXPECT_EQ(form->get_accName(id, &name), CO_E_OBJNOTCONNECTED);
  LONG count = -1;
  EXPECT_EQ(form->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(form->accDoDefaultAction(id), CO_E_OBJNOTCONNECTED);
  PumpFor(20);
}

namespace {

// Two picture buttons that count their clicks, and room for a third made later.
class TClickForm : public ui::Form {
 public:
  TClickForm() {
    CreateForm(L"押す", WS_CAPTION | WS_SYSMENU, 0, 200, 100);
    First = std::make_unique<TClickBox>();
    First->Create(this, 8, 8, 30, 20);
    First->OnClick = [this](ui::Control*) { ++firstClicks; };
    Second = std::make_unique<TClickBox>();
    Second->Create(this, 48, 8, 30, 20);
    Second->OnClick = [this](ui::Control*) { ++secondClicks; };
    Show();
  }
  void AddThird() {
    Third = std::make_unique<TClickBox>();
    Third->Create(this, 88, 8, 30, 20);
    Third->OnClick = [this](ui::Control*) { ++thirdClicks; };
  }
  std::unique_ptr<TClickBox> First, Second, Third;
  int firstClicks = 0, secondClicks = 0, thirdClicks = 0;
};

VARIANT ChildId(LONG n) { return testsupport::ChildVariant(n); }

}  // namespace

// The click runs after the request has returned, so the children may change in between: the click
// reaches the button that was pressed or none, never the one that took its place.
TEST(AccessibleClick, ReachesThePressedButtonOrNoneWhenTheChildrenChangeBeforeItRuns) {
  {
    TClickForm f;
    comm::TComPtr<IAccessible> form;
    *&form = ClientObject(f.Handle());
    ASSERT_TRUE(form);
    ASSERT_EQ(form->accDoDefaultAction(ChildId(ChildIndex(f, *f.Second))), S_OK);
    f.First.reset();  // the pressed button moves up to the first place
    PumpFor(50);
    EXPECT_EQ(f.secondClicks, 1);
  }
  {
    TClickForm f;
    comm::TComPtr<IAccessible> form;
    *&form = ClientObject(f.Handle());
    ASSERT_TRUE(form);
    ASSERT_EQ(form->accDoDefaultAction(ChildId(ChildIndex(f, *f.Second))), S_OK);
    f.Second.reset();
    f.AddThird();  // in the place, and likely the memory, of the pressed one
    PumpFor(50);
    EXPECT_EQ(f.firstClicks, 0);
    EXPECT_EQ(f.thirdClicks, 0);
  }
}

// A modal window disables the others: a mouse cannot press their buttons, nor can a reader.
TEST(AccessibleClick, IsRefusedWhileTheWindowIsDisabledAndDroppedWhenItBecameSoAfterThePress) {
  TClickForm f;
  comm::TComPtr<IAccessible> form;
  *&form = ClientObject(f.Handle());
  ASSERT_TRUE(form);
  const VARIANT second = ChildId(ChildIndex(f, *f.Second));
  EnableWindow(f.Handle(), FALSE);  // as a modal window does to the others
  EXPECT_EQ(form->accDoDefaultAction(second), E_FAIL);
  PumpFor(50);
  EXPECT_EQ(f.secondClicks, 0);

  EnableWindow(f.Handle(), TRUE);
  ASSERT_EQ(form->accDoDefaultAction(second), S_OK);
  EnableWindow(f.Handle(), FALSE);  // a modal window opened before the click ran
  PumpFor(50);
  EXPECT_EQ(f.secondClicks, 0);

  EnableWindow(f.Handle(), TRUE);
  ASSERT_EQ(form->accDoDefaultAction(second), S_OK);
  PumpFor(50);
  EXPECT_EQ(f.secondClicks, 1);
}

// A message dialog's text is a window of its own that no control stands for: a reader finds it among
// the dialog's children, whether it stands whole or scrolls.
TEST(Accessible, AMessageDialogsTextIsAmongItsChildren) {
  const std::wstring whole = L"変更が終了しました。";
  const std::wstring scrolling(600, L'x');  // one word wider than the line
  for (const std::wstring& text : {whole, scrolling}) {
    SCOPED_TRACE(text.size());
    std::vector<testsupport::TAccessibleNode> nodes;
    testsupport::DialogAnswerer answerer;
    answerer.Responder = [&](const testsupport::ShownDialog& d) {
      nodes = testsupport::WalkAccessible(d.hwnd);
      return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
    };
    ui::MessageDialogOptions o;
    o.caption = L"確認";
    o.text = text;
    o.icon = ui::MsgIcon::Information;
    EXPECT_EQ(ui::ShowMessageDialog(o), 0);
    ASSERT_FALSE(nodes.empty());
    EXPECT_EQ(nodes[0].Name, L"確認");
    const bool read = std::any_of(nodes.begin(), nodes.end(), [&](const testsupport::TAccessibleNode& n) {
      return n.Name == text || n.Value == text;
    });
    EXPECT_TRUE(read);
  }
}

// The list of details, once shown, is named as the button that opened it.
TEST(Accessible, AMessageDialogsDetailsListHasAName) {
  std::vector<std::wstring> unnamed;
  bool shown = false;
  testsupport::DialogAnswerer answerer;
  answerer.Responder = [&](const testsupport::ShownDialog& d) {
    const HWND details = FindWindowExW(d.hwnd, nullptr, L"Button", ui::kDetailsShow);
    if (details) SendMessageW(details, BM_CLICK, 0, 0);
    shown = details && FindWindowExW(d.hwnd, nullptr, L"Button", ui::kDetailsHide);
    unnamed = testsupport::UnnamedControls(d.hwnd);
    return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
  };
  ui::MessageDialogOptions o;
  o.caption = L"確認";
  o.text = L"次のファイルを変更します。";
  o.details = {L"C:\\a.txt", L"C:\\b.txt"};
  EXPECT_EQ(ui::ShowMessageDialog(o), 0);
  ASSERT_TRUE(shown);
  EXPECT_TRUE(unnamed.empty()) << unnamed.size();
}

// A label that points at its control names that control only, not also the one placed after it.
TEST(Accessible, ALabelPointingAtAControlDoesNotNameTheOneAfterIt) {
  ui::Form f;
  f.CreateForm(L"ラベル", WS_CAPTION | WS_SYSMENU, 0, 300, 100);
  ui::Label label;
  ui::Edit after, target;
  label.Create(&f, 8, 8, 60, 14, L"期間(&P):");
  after.Create(&f, 70, 6, 100, 20, L"");
  after.SetHint(L"開始");
  target.Create(&f, 70, 30, 100, 20, L"");
  label.FocusControl = &target;
  EXPECT_EQ(ui::AccessibleNameOf(target), L"期間(P):");
  EXPECT_EQ(ui::AccessibleNameOf(after), L"開始");
  label.FocusControl = nullptr;  // a label that points nowhere names what follows it
  EXPECT_EQ(ui::AccessibleNameOf(after), L"期間(P):");

  // One that points into a panel after it names the panel, as a group.
  ui::Panel panel;
  ui::Label over;
  ui::CheckBox inside;
  over.Create(&f, 8, 60, 60, 14, L"属性(&A)");
  panel.Create(&f, 70, 56, 100, 24);
  inside.Create(&panel, 4, 4, 60, 16, L"設定");
  over.FocusControl = &inside;
  EXPECT_EQ(ui::AccessibleNameOf(panel), L"属性(A)");
}

// Clients send child ids as VT_I4, VT_I2 or VT_EMPTY (the object itself); anything else, a negative id
// or one past the children is refused.
TEST(Accessible, ChildIdsComeInTheFormsClientsSend) {
  TNamesForm f;
  f.Show();
  comm::TComPtr<IAccessible> form;
  *&form = ClientObject(f.Handle());
  ASSERT_TRUE(form);
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I2;
  id.iVal = static_cast<SHORT>(ChildIndex(f, f.Box));
  BSTR name = nullptr;
  ASSERT_EQ(form->get_accName(id, &name), S_OK);
  EXPECT_STREQ(name, L"停止");
  SysFreeString(name);

  VariantInit(&id);  // VT_EMPTY
  name = nullptr;
  ASSERT_EQ(form->get_accName(id, &name), S_OK);
  EXPECT_STREQ(name, L"名前のテスト");
  SysFreeString(name);
  VARIANT role;
  ASSERT_EQ(form->get_accRole(id, &role), S_OK);
  EXPECT_EQ(role.vt, VT_I4);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);
  VARIANT state;
  ASSERT_EQ(form->get_accState(id, &state), S_OK);
  EXPECT_EQ(state.vt, VT_I4);

  for (LONG bad : {-1L, -5L, static_cast<LONG>(f.Children().size()) + 1}) {
    name = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(form->get_accName(ChildId(bad), &name), E_INVALIDARG) << bad;
    EXPECT_EQ(name, nullptr);
  }
  id.vt = VT_BSTR;
  id.bstrVal = SysAllocString(L"1");
  EXPECT_EQ(form->get_accName(id, &name), E_INVALIDARG);
  VariantClear(&id);
  EXPECT_EQ(form->get_accName(ChildId(1), nullptr), E_POINTER);
}

// The point finds the topmost windowless control that shows there, and passes a hidden one by.
TEST(Accessible, HitTestPassesHiddenControlsBy) {
  TClickForm f;
  comm::TComPtr<IAccessible> form;
  *&form = ClientObject(f.Handle());
  ASSERT_TRUE(form);
  POINT pt{f.Second->Left() + 2, f.Second->Top() + 2};
  ClientToScreen(f.Handle(), &pt);
  VARIANT hit;
  ASSERT_EQ(form->accHitTest(pt.x, pt.y, &hit), S_OK);
  ASSERT_EQ(hit.vt, VT_I4);
  EXPECT_EQ(hit.lVal, ChildIndex(f, *f.Second));
  f.Second->SetVisible(false);
  ASSERT_EQ(form->accHitTest(pt.x, pt.y, &hit), S_OK);
  ASSERT_EQ(hit.vt, VT_I4);
  EXPECT_EQ(hit.lVal, CHILDID_SELF);
  POINT outside{-1, -1};
  ClientToScreen(f.Handle(), &outside);
  EXPECT_EQ(form->accHitTest(outside.x, outside.y, &hit), S_FALSE);
  EXPECT_EQ(hit.vt, VT_EMPTY);
}

// A push button of a window that a modal window disabled is not pressed for a reader either, asked
// through the window or through the button itself.
TEST(AccessibleClick, AWindowedButtonOfADisabledWindowIsNotPressed) {
  ui::Form f;
  f.CreateForm(L"押す", WS_CAPTION | WS_SYSMENU, 0, 200, 100);
  ui::Button button;
  button.Create(&f, 8, 8, 75, 25, L"開始");
  int clicks = 0;
  button.OnClick = [&](ui::Control*) { ++clicks; };
  f.Show();
  comm::TComPtr<IAccessible> form, own;
  *&form = ClientObject(f.Handle());
  *&own = ClientObject(button.Handle());
  ASSERT_TRUE(form && own);
  EnableWindow(f.Handle(), FALSE);
  form->accDoDefaultAction(ChildId(ChildIndex(f, button)));
  own->accDoDefaultAction(ChildId(CHILDID_SELF));
  PumpFor(100);
  EXPECT_EQ(clicks, 0);
  EnableWindow(f.Handle(), TRUE);
  EXPECT_EQ(form->accDoDefaultAction(ChildId(ChildIndex(f, button))), S_OK);
  PumpFor(100);
  EXPECT_EQ(clicks, 1);

  // A check box pressed for a reader changes as a click changes it.
  ui::CheckBox check;
  check.Create(&f, 8, 40, 100, 17, L"固定");
  EXPECT_EQ(form->accDoDefaultAction(ChildId(ChildIndex(f, check))), S_OK);
  PumpFor(100);
  EXPECT_TRUE(check.Checked());
}

namespace {

class TPagesForm : public ui::Form {
 public:
  TPagesForm() {
    CreateForm(L"ページ", WS_CAPTION | WS_SYSMENU, 0, 320, 220);
    Tabs.Create(this, 8, 8, 300, 200);
    Tabs.AddTab(L"一般(&G)");
    Tabs.AddTab(L"詳細(&D)");
    for (ui::TabPage* page : {&First, &Second}) page->Create(&Tabs);
    LabelFirst.Create(&First, 8, 8, 60, 14, L"名前(&N):");
    EditFirst.Create(&First, 70, 6, 120, 20, L"");
    LabelSecond.Create(&Second, 8, 8, 60, 14, L"場所(&L):");
    EditSecond.Create(&Second, 70, 6, 120, 20, L"");
    Second.SetVisible(false);
  }
  ui::TabControl Tabs;
  ui::TabPage First, Second;
  ui::Label LabelFirst, LabelSecond;
  ui::Edit EditFirst, EditSecond;
};

HWND WindowOf(const VARIANT& v) {
  if (v.vt != VT_DISPATCH || !v.pdispVal) return nullptr;
  comm::TComPtr<IOleWindow> window;
  HWND hwnd = nullptr;
  if (FAILED(v.pdispVal->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) return nullptr;
  window->GetWindow(&hwnd);
  return hwnd;
}

}  // namespace

// The pages of a tab control follow its tabs among its children, each named by its tab, so that a
// reader walking the window reaches the pages' controls; navigation and hit test reach them too.
TEST(Accessible, TabPagesFollowTheTabsNamedByThem) {
  TPagesForm f;
  f.Show();
  comm::TComPtr<IAccessible> tabs, system;
  *&tabs = ClientObject(f.Tabs.Handle());
  ASSERT_TRUE(tabs);
  ASSERT_EQ(CreateStdAccessibleObject(f.Tabs.Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                      reinterpret_cast<void**>(&system)),
            S_OK);
  LONG own = 0, count = 0;  // the system's children (the tabs) keep their places before the pages
  ASSERT_EQ(system->get_accChildCount(&own), S_OK);
  ASSERT_EQ(tabs->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, own + 2);
  EXPECT_EQ(Name(tabs.Get(), own + 1), L"一般(G)");
  EXPECT_EQ(Name(tabs.Get(), own + 2), L"詳細(D)");
  VARIANT v;
  ASSERT_EQ(tabs->get_accRole(ChildId(own + 1), &v), S_OK);
  EXPECT_EQ(v.lVal, ROLE_SYSTEM_PROPERTYPAGE);
  ASSERT_EQ(tabs->get_accState(ChildId(own + 2), &v), S_OK);
  EXPECT_TRUE(v.lVal & STATE_SYSTEM_INVISIBLE);
  comm::TComPtr<IDispatch> child;
  ASSERT_EQ(tabs->get_accChild(ChildId(own + 1), &child), S_OK);
  VARIANT page;
  page.vt = VT_DISPATCH;
  page.pdispVal = child.Get();
  EXPECT_EQ(WindowOf(page), f.First.Handle());
  BSTR name = nullptr;
  EXPECT_EQ(tabs->get_accName(ChildId(own + 3), &name), E_INVALIDARG);

  // The whole window's walk reaches the fields on both pages, named by their labels.
  std::vector<std::wstring> fields;
  for (const auto& n : testsupport::WalkAccessible(f.Handle()))
    if (n.Role == ROLE_SYSTEM_TEXT) fields.push_back(n.Name);
  EXPECT_EQ(fields, (std::vector<std::wstring>{L"名前(N):", L"場所(L):"}));

  // From the last tab on to the pages, and back.
  if (own > 0) {
    ASSERT_EQ(tabs->accNavigate(NAVDIR_NEXT, ChildId(own), &v), S_OK);
    EXPECT_EQ(WindowOf(v), f.First.Handle());
    VariantClear(&v);
    ASSERT_EQ(tabs->accNavigate(NAVDIR_PREVIOUS, ChildId(own + 1), &v), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, own);
  }
  ASSERT_EQ(tabs->accNavigate(NAVDIR_NEXT, ChildId(own + 1), &v), S_OK);
  EXPECT_EQ(WindowOf(v), f.Second.Handle());
  VariantClear(&v);
  ASSERT_EQ(tabs->accNavigate(NAVDIR_LASTCHILD, ChildId(CHILDID_SELF), &v), S_OK);
  EXPECT_EQ(WindowOf(v), f.Second.Handle());
  VariantClear(&v);
  EXPECT_EQ(tabs->accNavigate(NAVDIR_NEXT, ChildId(own + 2), &v), S_FALSE);
  EXPECT_EQ(tabs->accNavigate(NAVDIR_NEXT, ChildId(own + 3), &v), E_INVALIDARG);

  // A point on the page shown is the page; one on a tab is what the system says it is.
  POINT pt{f.First.Left() + f.First.Width() / 2, f.First.Top() + f.First.Height() / 2};
  ClientToScreen(f.Tabs.Handle(), &pt);
  ASSERT_EQ(tabs->accHitTest(pt.x, pt.y, &v), S_OK);
  EXPECT_EQ(WindowOf(v), f.First.Handle());
  VariantClear(&v);
  RECT tab{};
  SendMessageW(f.Tabs.Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  POINT onTab{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
  ClientToScreen(f.Tabs.Handle(), &onTab);
  VARIANT expected;
  VariantInit(&expected);
  EXPECT_EQ(tabs->accHitTest(onTab.x, onTab.y, &v), system->accHitTest(onTab.x, onTab.y, &expected));
  EXPECT_EQ(v.vt, expected.vt);
  if (v.vt == VT_I4) {
    EXPECT_EQ(v.lVal, expected.lVal);
  }
  VariantClear(&v);
  VariantClear(&expected);
}

namespace {
struct TWinEvent {
  HWND Window;
  LONG Object, Child;
};
std::vector<TWinEvent>* gEvents = nullptr;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
  if (gEvents) gEvents->push_back(TWinEvent{hwnd, object, child});
}
}  // namespace

// A label's new text is announced under the id its window's object gives it, and only when it changed.
TEST(Accessible, ALabelsNewTextIsAnnouncedAsANameChange) {
  TNamesForm f;
  f.Show();
  std::vector<TWinEvent> events;
  gEvents = &events;
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, RecordEvent,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  auto ours = [&] {
    std::vector<TWinEvent> mine;
    for (const TWinEvent& e : events)
      if (e.Window == f.Handle() || e.Window == f.Panel.Handle()) mine.push_back(e);
    return mine;
  };
  f.LabelName.SetCaption(L"氏名(&N):");
  f.Inner.SetCaption(L"内側の新しい文");
  PumpFor(50);
  std::vector<TWinEvent> seen = ours();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Window, f.Handle());
  EXPECT_EQ(seen[0].Object, OBJID_CLIENT);
  EXPECT_EQ(seen[0].Child, ChildIndex(f, f.LabelName));
  EXPECT_EQ(seen[1].Window, f.Panel.Handle());
  EXPECT_EQ(seen[1].Child, ChildIndex(f.Panel, f.Inner));
  comm::TComPtr<IAccessible> form;
  *&form = ClientObject(f.Handle());
  ASSERT_TRUE(form);
  EXPECT_EQ(Name(form.Get(), seen[0].Child), L"氏名(N):");
  events.clear();
  f.LabelName.SetCaption(L"氏名(&N):");  // the same text: nothing to hear
  PumpFor(50);
  EXPECT_TRUE(ours().empty());
  UnhookWinEvent(hook);
  gEvents = nullptr;
}
