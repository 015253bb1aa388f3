#include "support/Accessible.h"
#include "comm/Scoped.h"
#include <cstdio>

namespace testsupport {

VARIANT ChildVariant(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

namespace {

std::wstring TakeText(HRESULT hr, BSTR text) {
  std::wstring out = SUCCEEDED(hr) && text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return out;
}

TAccessibleNode Describe(IAccessible* object, HWND window, LONG child) {
  TAccessibleNode n;
  n.Window = window;
  n.Child = child;
  const VARIANT id = ChildVariant(child);
  BSTR text = nullptr;
  HRESULT hr = object->get_accName(id, &text);
  n.Name = TakeText(hr, text);
  text = nullptr;
  hr = object->get_accValue(id, &text);
  n.Value = TakeText(hr, text);
  VARIANT v;
  VariantInit(&v);
  if (SUCCEEDED(object->get_accRole(id, &v)) && v.vt == VT_I4) n.Role = v.lVal;
  VariantClear(&v);
  if (SUCCEEDED(object->get_accState(id, &v)) && v.vt == VT_I4) n.State = v.lVal;
  VariantClear(&v);
  LONG x = 0, y = 0, w = 0, h = 0;
  if (SUCCEEDED(object->accLocation(&x, &y, &w, &h, id))) n.Screen = RECT{x, y, x + w, y + h};
  return n;
}

void Walk(HWND hwnd, std::vector<TAccessibleNode>& out, int depth) {
  comm::TComPtr<IAccessible> object;
  if (depth > 32 || FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                      reinterpret_cast<void**>(&object))))
    return;
  out.push_back(Describe(object.Get(), hwnd, CHILDID_SELF));
  LONG count = 0;
  if (FAILED(object->get_accChildCount(&count))) return;
  for (LONG i = 1; i <= count; ++i) {
    comm::TComPtr<IDispatch> child;
    const HRESULT hr = object->get_accChild(ChildVariant(i), &child);
    if (hr == S_FALSE || (SUCCEEDED(hr) && !child)) {
      out.push_back(Describe(object.Get(), hwnd, i));
      continue;
    }
    if (FAILED(hr)) continue;
    comm::TComPtr<IOleWindow> window;
    HWND childWindow = nullptr;
    if (SUCCEEDED(child->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window))) &&
        SUCCEEDED(window->GetWindow(&childWindow)) && childWindow && childWindow != hwnd)
      Walk(childWindow, out, depth + 1);
  }
}

bool ActedOnOrRead(LONG role) {
  switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON:
    case ROLE_SYSTEM_CHECKBUTTON:
    case ROLE_SYSTEM_RADIOBUTTON:
    case ROLE_SYSTEM_TEXT:
    case ROLE_SYSTEM_LIST:
    case ROLE_SYSTEM_COMBOBOX:
    case ROLE_SYSTEM_OUTLINE:
    case ROLE_SYSTEM_SPINBUTTON:
    case ROLE_SYSTEM_PROGRESSBAR:
      return true;
    default:
      return false;
  }
}

}  // namespace

IAccessible* ClientObject(HWND hwnd) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object))))
    return nullptr;
  return object;
}

std::vector<TAccessibleNode> WalkAccessible(HWND hwnd) {
  std::vector<TAccessibleNode> out;
  Walk(hwnd, out, 0);
  return out;
}

std::vector<std::wstring> UnnamedControls(HWND hwnd) {
  std::vector<std::wstring> unnamed;
  for (const TAccessibleNode& n : WalkAccessible(hwnd)) {
    if (!ActedOnOrRead(n.Role) || (n.State & STATE_SYSTEM_INVISIBLE) || !n.Name.empty()) continue;
    wchar_t where[160];
    swprintf(where, 160, L"role %ld, child %ld of window %p at (%ld, %ld)", n.Role, n.Child,
             static_cast<void*>(n.Window), n.Screen.left, n.Screen.top);
    unnamed.push_back(where);
  }
  return unnamed;
}

}  // namespace testsupport
