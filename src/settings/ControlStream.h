// Storing a control with its properties and children as bytes, and rebuilding it from them.
#pragma once
#include "Base.h"
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

struct TControlProperty {
  std::wstring Name;
  std::wstring Value;
  bool operator==(const TControlProperty&) const = default;
};

// What the settings need of a control to store it and to rebuild it. A window class implements it
// by listing its published properties as texts and creating controls through its class registry.
class TStreamableControl {
 public:
  virtual ~TStreamableControl() = default;

  virtual std::wstring ClassName() const = 0;
  virtual std::wstring Name() const = 0;
  // False when the name cannot be taken (another component of the same owner holds it). The empty
  // name is always accepted.
  virtual bool SetName(const std::wstring& name) = 0;
  // A top-level window; forms are never stored.
  virtual bool IsForm() const = 0;
  virtual std::vector<TControlProperty> Properties() const = 0;
  // False when the control has no such property or the value does not fit it.
  virtual bool SetProperty(const TControlProperty& property) = 0;
  // Child controls in order.
  virtual std::vector<TStreamableControl*> Children() const = 0;
  virtual TStreamableControl* Parent() const = 0;
  // A new control of the class, owned by this control's owner (by none when this control has none,
  // so that it outlives this control) and placed in parent (none: no parent). Null for a class that
  // cannot be made.
  virtual TStreamableControl* CreateControl(const std::wstring& className, TStreamableControl* parent) = 0;
  // Frees the control and its children.
  virtual void Free() = 0;
};

// A stored control, as read back from bytes.
struct TControlData {
  std::wstring ClassName;
  std::wstring Name;
  std::vector<TControlProperty> Properties;
  std::vector<TControlData> Children;
};

// The byte form of a control (all integers little-endian):
//   stream    = "VSC1" control
//   control   = text(class name) text(name) u32(property count) { text(name) text(value) }
//               u32(child count) { control }
//   text      = u32(UTF-16 code unit count) { u16 code unit }
// Nothing may follow the root control; nesting deeper than kMaxControlDepth is refused.
constexpr int kMaxControlDepth = 64;
std::vector<uint8_t> SaveControl(const TStreamableControl& control);
std::optional<TControlData> LoadControlData(const std::vector<uint8_t>& bytes);

// Replaces control with the controls stored in bytes: the new root gets the old control's parent,
// the old control and its children give up their names first so the new ones can take them, and
// the old control is freed. When the bytes cannot be read or a control cannot be made, whatever was
// made is freed, the old controls get their names back and control is unchanged; returns false.
bool RebuildControl(TStreamableControl*& control, const std::vector<uint8_t>& bytes);

}  // namespace settings
