// The accessible object of a window's client area. It stands on the system's object for the window and
// answers itself what the system cannot know: the names the labels give, and the windowless controls,
// which are simple children (child ids 1..n, in creation order, windowed ones among them; after them
// the child windows that no control stands for, such as a message dialog's text). A control whose
// children the system's object lists (a tab control's tabs) keeps them, and its child windows (the
// tab control's pages) follow them.
#include "ui/Accessible.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/ComboBox.h"
#include "ui/ViewControls.h"
#include <oleacc.h>
#include <algorithm>

namespace ui {

std::wstring PlainCaption(const std::wstring& caption) {
  std::wstring out;
  out.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&') {
      if (i + 1 == caption.size()) break;
      ++i;  // "&&" keeps one, "&x" keeps the x
    }
    out += caption[i];
  }
  return out;
}

namespace {

// Whether the control is among its parent's accessible children: not a windowed one whose window went.
bool Listed(const Control& k) { return !k.IsWindowed() || static_cast<const WinControl&>(k).Handle(); }

// Whether the caption is the control's name rather than its content.
bool CaptionNamesControl(const Control& c) {
  if (!c.IsWindowed()) return true;
  return dynamic_cast<const Button*>(&c) || dynamic_cast<const StateButton*>(&c) ||
         dynamic_cast<const GroupBox*>(&c) || dynamic_cast<const Form*>(&c);
}

std::wstring ShortHint(const Control& c) { return c.Hint().substr(0, c.Hint().find(L'|')); }

// Whether inner is outer or lies within it.
bool Holds(const Control& outer, const Control* inner) {
  for (; inner; inner = inner->Parent())
    if (inner == &outer) return true;
  return false;
}

}  // namespace

std::wstring AccessibleNameOf(const Control& c) {
  if (!c.AccessibleName.empty()) return c.AccessibleName;
  // A page of a tab control is named by its tab.
  if (const auto* page = dynamic_cast<const TabPage*>(&c)) {
    if (const auto* tabs = dynamic_cast<const TabControl*>(page->Parent())) {
      std::wstring name = PlainCaption(tabs->TabText(page->TabIndexOfPage()));
      if (!name.empty()) return name;
    }
  }
  const bool captionNames = CaptionNamesControl(c);
  if (captionNames) {
    std::wstring own = PlainCaption(c.Caption());
    if (!own.empty()) return own;
  }
  if (const WinControl* parent = c.Parent()) {
    const std::vector<Control*>& siblings = parent->Children();
    for (const Control* s : siblings) {
      const auto* label = dynamic_cast<const Label*>(s);
      if (label && label->FocusControl == &c) {
        std::wstring name = PlainCaption(label->Caption());
        if (!name.empty()) return name;
      }
    }
    auto it = std::find(siblings.begin(), siblings.end(), &c);
    if (!captionNames && it != siblings.begin() && it != siblings.end()) {
      const Control* before = *(it - 1);
      const auto* label = dynamic_cast<const Label*>(before);
      // A label that points at another control names that one only, or what holds it.
      const bool names = label ? !label->FocusControl || Holds(c, label->FocusControl)
                               : dynamic_cast<const StateButton*>(before) != nullptr;
      if (names) {
        std::wstring name = PlainCaption(before->Caption());
        if (!name.empty()) return name;
      }
    }
    if (!parent->IsContainer() && !dynamic_cast<const Form*>(&c)) {
      std::wstring name = AccessibleNameOf(*parent);
      if (!name.empty()) return name;
    }
  }
  return ShortHint(c);
}

AccRole AccessibleRoleOf(const Control& c) {
  if (AccRole own = c.AccessibleRole(); own != AccRole::Default) return own;
  if (dynamic_cast<const Label*>(&c)) return AccRole::StaticText;
  if (!c.IsWindowed()) return AccRole::Graphic;
  // The system's objects know the standard controls on Windows, not all of them elsewhere.
  if (dynamic_cast<const Button*>(&c)) return AccRole::PushButton;
  if (dynamic_cast<const CheckBox*>(&c)) return AccRole::CheckButton;
  if (dynamic_cast<const RadioButton*>(&c)) return AccRole::RadioButton;
  if (dynamic_cast<const Edit*>(&c) || dynamic_cast<const RichEdit*>(&c)) return AccRole::Text;
  if (dynamic_cast<const ListBox*>(&c) || dynamic_cast<const ListView*>(&c)) return AccRole::List;
  if (dynamic_cast<const ComboBox*>(&c)) return AccRole::ComboBox;
  if (dynamic_cast<const ProgressBar*>(&c)) return AccRole::ProgressBar;
  if (dynamic_cast<const GroupBox*>(&c)) return AccRole::Grouping;
  // A panel that a label names holds what the label is about: its controls are read within it.
  if (dynamic_cast<const Panel*>(&c) && !AccessibleNameOf(c).empty()) return AccRole::Grouping;
  if (dynamic_cast<const TreeView*>(&c)) return AccRole::Outline;
  if (dynamic_cast<const TabControl*>(&c)) return AccRole::PageTabList;
  return AccRole::Default;
}

namespace {

LONG SystemRole(AccRole role) {
  switch (role) {
    case AccRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case AccRole::Graphic: return ROLE_SYSTEM_GRAPHIC;
    case AccRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccRole::CheckButton: return ROLE_SYSTEM_CHECKBUTTON;
    case AccRole::RadioButton: return ROLE_SYSTEM_RADIOBUTTON;
    case AccRole::ProgressBar: return ROLE_SYSTEM_PROGRESSBAR;
    case AccRole::SpinButton: return ROLE_SYSTEM_SPINBUTTON;
    case AccRole::Grouping: return ROLE_SYSTEM_GROUPING;
    case AccRole::Text: return ROLE_SYSTEM_TEXT;
    case AccRole::List: return ROLE_SYSTEM_LIST;
    case AccRole::ComboBox: return ROLE_SYSTEM_COMBOBOX;
    case AccRole::Outline: return ROLE_SYSTEM_OUTLINE;
    case AccRole::PageTabList: return ROLE_SYSTEM_PAGETABLIST;
    case AccRole::PropertyPage: return ROLE_SYSTEM_PROPERTYPAGE;
    default: return 0;
  }
}

// A click asked for by assistive technology, posted to the parent window so that what the click opens
// (a dialog, a run) does not run inside the caller's request. lParam is the child's serial: the
// children may change before the message is handled.
UINT AccessibleClickMessage() {
  static const UINT msg = RegisterWindowMessageW(L"VornaStampShifter.AccessibleClick");
  return msg;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnI4(LONG v, VARIANT* out) {
  if (!out) return E_POINTER;
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = v;
  return S_OK;
}

class TAccessible final : public IAccessible, public IOleWindow {
 public:
  TAccessible(HWND hwnd, IAccessible* system) : FHwnd(hwnd), FSystem(system) { FSystem->AddRef(); }
  TAccessible(const TAccessible&) = delete;
  TAccessible& operator=(const TAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible))
      *ppv = static_cast<IAccessible*>(this);
    else if (riid == IID_IOleWindow)
      *ppv = static_cast<IOleWindow*>(this);
    else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&FRefs);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: the object is used through its interface only.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override {
    if (!hwnd) return E_POINTER;
    *hwnd = FHwnd;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return FSystem->get_accParent(parent); }

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    WinControl* c = Self();
    if (!c) return CO_E_OBJNOTCONNECTED;
    if (!OwnsChildren(*c)) {
      const HRESULT hr = FSystem->get_accChildCount(count);
      if (SUCCEEDED(hr)) *count = std::max(*count, LONG{0}) + static_cast<LONG>(ExtraWindows(*c).size());
      return hr;
    }
    *count = static_cast<LONG>(ChildrenOf(*c).size());
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    if (!child) return E_POINTER;
    *child = nullptr;
    WinControl* c = Self();
    if (!c) return CO_E_OBJNOTCONNECTED;
    if (!OwnsChildren(*c)) {
      if (const HWND extra = ExtraWindow(*c, ChildId(id)))
        return AccessibleObjectFromWindow(extra, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(child));
      return FSystem->get_accChild(Plain(id), child);
    }
    const TChild k = Child(*c, id);
    if (!k.control && !k.window) return E_INVALIDARG;
    if (!k.window) return S_FALSE;  // a simple child: asked through this object by its id
    return AccessibleObjectFromWindow(k.window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(child));
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::Invalid: return E_INVALIDARG;
      case Target::System: return FSystem->get_accName(Plain(id), name);
      case Target::WindowedChild:
        if (!k.control)
          return ForwardSelf(k.window, [&](IAccessible* a, VARIANT self) { return a->get_accName(self, name); });
        return ReturnText(AccessibleNameOf(*k.control), name);
      default: return ReturnText(AccessibleNameOf(*k.control), name);
    }
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::Invalid: return E_INVALIDARG;
      case Target::System: return FSystem->get_accValue(Plain(id), value);
      case Target::WindowedChild: return ForwardSelf(k.window, [&](IAccessible* a, VARIANT self) { return a->get_accValue(self, value); });
      case Target::Self: {
        std::wstring own = OwnValue(*k.control);
        return own.empty() ? FSystem->get_accValue(Plain(id), value) : ReturnText(own, value);
      }
      default: return ReturnText(OwnValue(*k.control), value);
    }
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* text) override {
    return SelfOrSystem(id, text, [&](IAccessible* a, VARIANT v) { return a->get_accDescription(v, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* text) override {
    return SelfOrSystem(id, text, [&](IAccessible* a, VARIANT v) { return a->get_accHelp(v, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* text) override {
    return SelfOrSystem(id, text, [&](IAccessible* a, VARIANT v) { return a->get_accKeyboardShortcut(v, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* text) override {
    return SelfOrSystem(id, text, [&](IAccessible* a, VARIANT v) { return a->get_accDefaultAction(v, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
    return FSystem->get_accHelpTopic(file, Plain(id), topic);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::Invalid: return E_INVALIDARG;
      case Target::System: return FSystem->get_accRole(Plain(id), role);
      case Target::WindowedChild: return ForwardSelf(k.window, [&](IAccessible* a, VARIANT self) { return a->get_accRole(self, role); });
      default: {
        const LONG own = SystemRole(AccessibleRoleOf(*k.control));
        if (own) return ReturnI4(own, role);
        return k.window ? FSystem->get_accRole(Plain(id), role) : ReturnI4(ROLE_SYSTEM_GRAPHIC, role);
      }
    }
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::Invalid: return E_INVALIDARG;
      case Target::System: return FSystem->get_accState(Plain(id), state);
      case Target::WindowedChild: return ForwardSelf(k.window, [&](IAccessible* a, VARIANT self) { return a->get_accState(self, state); });
      case Target::Self: {
        const HRESULT hr = FSystem->get_accState(Plain(id), state);
        if (SUCCEEDED(hr) && state->vt == VT_I4) state->lVal |= static_cast<LONG>(k.control->AccessibleState());
        return hr;
      }
      default: {
        const Control& w = *k.control;
        LONG s = static_cast<LONG>(w.AccessibleState());
        if (!w.Visible() || !IsWindowVisible(FHwnd)) s |= STATE_SYSTEM_INVISIBLE;
        if (!w.EnabledInContainer()) s |= STATE_SYSTEM_UNAVAILABLE;
        if (AccessibleRoleOf(w) == AccRole::StaticText) s |= STATE_SYSTEM_READONLY;
        return ReturnI4(s, state);
      }
    }
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return FSystem->get_accFocus(focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return FSystem->get_accSelection(selection);
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::WindowedChild: return ForwardSelf(k.window, [&](IAccessible* a, VARIANT self) { return a->accSelect(flags, self); });
      case Target::Windowless:
      case Target::Invalid: return E_INVALIDARG;
      default: return FSystem->accSelect(flags, Plain(id));
    }
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::Invalid: return E_INVALIDARG;
      case Target::Windowless: {
        const Control& w = *k.control;
        POINT origin{w.Left(), w.Top()};
        MapWindowPoints(FHwnd, nullptr, &origin, 1);
        *left = origin.x, *top = origin.y, *width = w.Width(), *height = w.Height();
        return S_OK;
      }
      case Target::WindowedChild:
        return ForwardSelf(k.window, [&](IAccessible* a, VARIANT self) { return a->accLocation(left, top, width, height, self); });
      default: return FSystem->accLocation(left, top, width, height, Plain(id));
    }
  }

  HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    WinControl* c = Self();
    if (!c) return CO_E_OBJNOTCONNECTED;
    if (!OwnsChildren(*c)) return NavigateWithExtras(*c, dir, start, end);
    const std::vector<TChild> kids = ChildrenOf(*c);
    const LONG count = static_cast<LONG>(kids.size());
    const LONG from = ChildId(start);
    LONG to = 0;
    if (from == CHILDID_SELF) {
      if (dir == NAVDIR_FIRSTCHILD) to = 1;
      else if (dir == NAVDIR_LASTCHILD) to = count;
      else return FSystem->accNavigate(dir, Plain(start), end);
    } else {
      if (from < 1 || from > count) return E_INVALIDARG;
      if (dir == NAVDIR_NEXT) to = from + 1;
      else if (dir == NAVDIR_PREVIOUS) to = from - 1;
      else return S_FALSE;
    }
    if (to < 1 || to > count) return S_FALSE;
    return ChildVariant(kids, to, end);
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    VariantInit(hit);
    WinControl* c = Self();
    if (!c) return CO_E_OBJNOTCONNECTED;
    POINT pt{x, y};
    if (!OwnsChildren(*c)) {
      ScreenToClient(FHwnd, &pt);
      const HWND window = ChildWindowFromPointEx(FHwnd, pt, CWP_SKIPINVISIBLE);
      const std::vector<HWND> extra = ExtraWindows(*c);
      if (window && window != FHwnd && std::find(extra.begin(), extra.end(), window) != extra.end())
        return WindowVariant(window, hit);
      return FSystem->accHitTest(x, y, hit);
    }
    RECT client;
    ScreenToClient(FHwnd, &pt);
    GetClientRect(FHwnd, &client);
    if (!PtInRect(&client, pt)) return S_FALSE;
    const std::vector<TChild> kids = ChildrenOf(*c);
    const HWND window = ChildWindowFromPointEx(FHwnd, pt, CWP_SKIPINVISIBLE);
    // Windows lie above the windowless controls that their parent paints.
    for (size_t i = 0; i < kids.size(); ++i)
      if (window != FHwnd && kids[i].window == window) return ChildVariant(kids, static_cast<LONG>(i + 1), hit);
    for (size_t i = kids.size(); i-- > 0;) {
      const Control* k = kids[i].control;
      if (kids[i].window || !k->Visible()) continue;
      const RECT r = k->BoundsRect();
      if (PtInRect(&r, pt)) return ReturnI4(static_cast<LONG>(i + 1), hit);
    }
    return ReturnI4(CHILDID_SELF, hit);
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::Invalid: return E_INVALIDARG;
      case Target::Self:
        if (IsButton(*k.control)) return Press(*k.control);
        return FSystem->accDoDefaultAction(Plain(id));
      case Target::WindowedChild:
        if (k.control && IsButton(*k.control)) return Press(*k.control);
        return ForwardSelf(k.window, [&](IAccessible* a, VARIANT self) { return a->accDoDefaultAction(self); });
      case Target::Windowless:
        if (!Clickable(*k.control)) return DISP_E_MEMBERNOTFOUND;
        return Press(*k.control);
      default: return FSystem->accDoDefaultAction(Plain(id));
    }
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~TAccessible() { FSystem->Release(); }

  // What a child id names.
  enum class Target { Gone, Invalid, Self, Windowless, WindowedChild, System };
  // A child: a windowless control, a windowed one, or a child window that no control stands for.
  struct TChild {
    Control* control = nullptr;
    HWND window = nullptr;
  };

  WinControl* Self() const { return IsWindow(FHwnd) ? WinControl::FromHandle(FHwnd) : nullptr; }

  // A container, or a control with windowless parts, lists its children itself; other windows (a list
  // box's items, a tab control's tabs) are left to the system's object.
  static bool OwnsChildren(const WinControl& c) {
    if (c.IsContainer()) return true;
    return std::any_of(c.Children().begin(), c.Children().end(), [](const Control* k) { return !k->IsWindowed(); });
  }

  static LONG ChildId(const VARIANT& id) {
    if (id.vt == VT_I4) return id.lVal;
    if (id.vt == VT_I2) return id.iVal;
    if (id.vt == VT_EMPTY) return CHILDID_SELF;
    return -1;
  }

  // The children as listed: the controls, then the child windows that no control stands for.
  static std::vector<TChild> ChildrenOf(const WinControl& c) {
    std::vector<TChild> kids;
    for (Control* k : c.Children())
      if (Listed(*k)) kids.push_back(TChild{k, k->IsWindowed() ? static_cast<WinControl*>(k)->Handle() : nullptr});
    const size_t controls = kids.size();
    for (HWND h = ::GetWindow(c.Handle(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
      const auto end = kids.begin() + static_cast<std::ptrdiff_t>(controls);
      if (std::none_of(kids.begin(), end, [h](const TChild& k) { return k.window == h; }))
        kids.push_back(TChild{nullptr, h});
    }
    return kids;
  }

  // The id as every system's object takes it: VT_I2 and VT_EMPTY (the object itself) made VT_I4.
  static VARIANT Plain(const VARIANT& id) {
    if (id.vt != VT_I2 && id.vt != VT_EMPTY) return id;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = ChildId(id);
    return v;
  }

  static TChild Child(const WinControl& c, const VARIANT& id) {
    const LONG n = ChildId(id);
    const std::vector<TChild> kids = ChildrenOf(c);
    if (n < 1 || n > static_cast<LONG>(kids.size())) return {};
    return kids[static_cast<size_t>(n - 1)];
  }

  Target Resolve(const VARIANT& id, TChild& k) const {
    WinControl* c = Self();
    if (!c) return Target::Gone;
    if (ChildId(id) == CHILDID_SELF) {
      k = TChild{c, FHwnd};
      return Target::Self;
    }
    if (!OwnsChildren(*c)) {
      const HWND extra = ExtraWindow(*c, ChildId(id));
      if (!extra) return Target::System;
      k = TChild{WinControl::FromHandle(extra), extra};
      return Target::WindowedChild;
    }
    k = Child(*c, id);
    if (k.window) return Target::WindowedChild;
    return k.control ? Target::Windowless : Target::Invalid;
  }

  // A windowed child, asked through its own object.
  template <typename F>
  static HRESULT ForwardSelf(HWND window, F ask) {
    comm::TComPtr<IAccessible> child;
    const HRESULT hr = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                  reinterpret_cast<void**>(&child));
    if (FAILED(hr)) return hr;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return ask(child.Get(), self);
  }

  // The texts this object has nothing of its own for: the system's for the window and for children it
  // lists, a windowed child's own, none for a windowless one.
  template <typename F>
  HRESULT SelfOrSystem(const VARIANT& id, BSTR* out, F ask) {
    if (!out) return E_POINTER;
    *out = nullptr;
    TChild k;
    switch (Resolve(id, k)) {
      case Target::Gone: return CO_E_OBJNOTCONNECTED;
      case Target::Invalid: return E_INVALIDARG;
      case Target::Windowless: return S_FALSE;
      case Target::WindowedChild: return ForwardSelf(k.window, ask);
      default: return ask(FSystem, Plain(id));
    }
  }

  // The child windows that the system's object of a control does not list, after those it lists: a
  // tab control's pages (and the arrows it shows when its tabs do not fit).
  static std::vector<HWND> ExtraWindows(const WinControl& c) {
    std::vector<HWND> out;
    if (!dynamic_cast<const TabControl*>(&c)) return out;
    for (HWND h = ::GetWindow(c.Handle(), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
    return out;
  }

  LONG SystemChildCount() const {
    LONG n = 0;
    return SUCCEEDED(FSystem->get_accChildCount(&n)) && n > 0 ? n : 0;
  }

  // The child window that an id past the system's children names, or null.
  // Asks the system for its count only where there are such windows: a list's items are read through
  // here one by one.
  HWND ExtraWindow(const WinControl& c, LONG id) const {
    if (id == CHILDID_SELF) return nullptr;
    const std::vector<HWND> extra = ExtraWindows(c);
    if (extra.empty()) return nullptr;
    const LONG n = id - SystemChildCount();
    return n >= 1 && n <= static_cast<LONG>(extra.size()) ? extra[static_cast<size_t>(n - 1)] : nullptr;
  }

  // Navigation among the system's children and the child windows after them.
  HRESULT NavigateWithExtras(const WinControl& c, LONG dir, const VARIANT& start, VARIANT* end) {
    const std::vector<HWND> extra = ExtraWindows(c);
    const LONG system = SystemChildCount(), count = system + static_cast<LONG>(extra.size());
    const LONG from = ChildId(start);
    LONG to = 0;
    if (extra.empty()) {
      return FSystem->accNavigate(dir, Plain(start), end);
    } else if (from == CHILDID_SELF) {
      if (dir == NAVDIR_LASTCHILD) to = count;
      else if (dir == NAVDIR_FIRSTCHILD && system == 0) to = 1;
      else return FSystem->accNavigate(dir, Plain(start), end);
    } else if (from > system) {
      if (from > count) return E_INVALIDARG;
      if (dir == NAVDIR_NEXT) to = from + 1;
      else if (dir == NAVDIR_PREVIOUS) to = from - 1;
      else return S_FALSE;
    } else if (from == system && dir == NAVDIR_NEXT) {
      to = system + 1;
    } else {
      return FSystem->accNavigate(dir, Plain(start), end);
    }
    if (to < 1 || to > count) return S_FALSE;
    if (to <= system) return ReturnI4(to, end);  // the system's children are simple ones (tabs)
    return WindowVariant(extra[static_cast<size_t>(to - system - 1)], end);
  }

  static HRESULT ChildVariant(const std::vector<TChild>& kids, LONG n, VARIANT* out) {
    const HWND window = kids[static_cast<size_t>(n - 1)].window;
    return window ? WindowVariant(window, out) : ReturnI4(n, out);
  }

  static HRESULT WindowVariant(HWND window, VARIANT* out) {
    IDispatch* object = nullptr;
    const HRESULT hr = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                                  reinterpret_cast<void**>(&object));
    if (FAILED(hr)) return hr;
    VariantInit(out);
    out->vt = VT_DISPATCH;
    out->pdispVal = object;
    return S_OK;
  }

  static std::wstring OwnValue(const Control& k) {
    if (std::wstring v = k.AccessibleValue(); !v.empty()) return v;
    if (const auto* edit = dynamic_cast<const Edit*>(&k)) return edit->Text();
    // Not every system's object knows the rich edit class: its text is read here.
    if (const auto* rich = dynamic_cast<const RichEdit*>(&k)) return rich->TextRange(0, rich->TextLength());
    return {};
  }

  // A button with a window of its own is pressed here too: the system's object would press one in a
  // window that a modal window has disabled, or (elsewhere) none at all.
  static bool IsButton(const Control& k) {
    return dynamic_cast<const Button*>(&k) || dynamic_cast<const StateButton*>(&k);
  }

  static HRESULT Press(const Control& k) {
    const WinControl* parent = k.Parent();
    if (!k.CanReact() || !parent || !parent->Handle()) return E_FAIL;
    PostMessageW(parent->Handle(), AccessibleClickMessage(), 0, static_cast<LPARAM>(k.Serial()));
    return S_OK;
  }

  static bool Clickable(const Control& k) {
    const AccRole role = AccessibleRoleOf(k);
    return role == AccRole::PushButton || role == AccRole::CheckButton || role == AccRole::RadioButton;
  }

  LONG FRefs = 1;
  HWND FHwnd;
  IAccessible* FSystem;
};

}  // namespace

long AccessibleChildIdOf(const Control& c) {
  const WinControl* parent = c.Parent();
  if (!parent || !Listed(c)) return CHILDID_SELF;
  long id = 0;
  for (const Control* k : parent->Children()) {
    if (!Listed(*k)) continue;
    ++id;
    if (k == &c) return id;
  }
  return CHILDID_SELF;
}

void NotifyAccessibleNameChange(const Control& c) {
  const WinControl* parent = c.Parent();
  if (c.IsWindowed() || !parent || !parent->Handle()) return;
  const long id = AccessibleChildIdOf(c);
  if (id != CHILDID_SELF) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, parent->Handle(), OBJID_CLIENT, id);
}

LRESULT AnswerGetObject(WinControl& c, WPARAM wp, LPARAM lp) {
  if (static_cast<LONG>(static_cast<DWORD>(lp)) != OBJID_CLIENT) return 0;
  comm::TComPtr<IAccessible> system;
  if (FAILED(CreateStdAccessibleObject(c.Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&system))))
    return 0;
  auto* object = new TAccessible(c.Handle(), system.Get());
  const LRESULT result = LresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(object));
  object->Release();
  return result > 0 ? result : 0;
}

bool HandleAccessibleClick(WinControl& c, UINT msg, LPARAM lp) {
  if (msg != AccessibleClickMessage()) return false;
  for (Control* k : c.Children()) {
    if (static_cast<LPARAM>(k->Serial()) != lp) continue;
    if (!k->CanReact()) break;
    if (k->IsWindowed())
      SendMessageW(static_cast<WinControl*>(k)->Handle(), BM_CLICK, 0, 0);  // as the button's own click
    else
      k->Click();
    break;
  }
  return true;
}

}  // namespace ui
