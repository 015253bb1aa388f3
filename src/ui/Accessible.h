// What assistive technology reads of the windows: every control's name, role and state, the windowless
// ones (labels, picture buttons, drawings) included, through the accessible object each window of this
// layer gives for its client area.
#pragma once
#include "ui/Control.h"
#include <string>

namespace ui {

// The caption as read: the access-key marks taken out ("作成日時(&C)" reads "作成日時(C)", "&&" reads "&").
std::wstring PlainCaption(const std::wstring& caption);

// The name a screen reader gives the control, the first that is not empty of:
// - its AccessibleName;
// - its caption, for a control that shows its caption as its name (buttons, check boxes, group boxes,
//   labels, windows, every windowless control) rather than as its content (an edit's text);
// - the caption of the label whose FocusControl it is;
// - for a control that shows content, the caption of the label (unless it points at a control outside
//   this one) or check box placed just before it;
// - for a part of another control (a spin button inside its edit), that control's name;
// - its hint, the text before "|".
std::wstring AccessibleNameOf(const Control& c);

// The role of the control; Default for a windowed control the system knows better. A panel with a
// name is a group.
AccRole AccessibleRoleOf(const Control& c);

// The child id that the accessible object of the control's parent gives the control (1..n), or
// CHILDID_SELF (0) for a control without a parent or a windowed one whose window is gone.
long AccessibleChildIdOf(const Control& c);

// Tells assistive technology that a windowless control's name changed (a label's new text), so that
// a reader following it hears the new text as it comes.
void NotifyAccessibleNameChange(const Control& c);

// The answer to WM_GETOBJECT for the control's window: for OBJID_CLIENT, the accessible object of its
// client area, built on the system's one for the window; 0 leaves the question to the system.
LRESULT AnswerGetObject(WinControl& c, WPARAM wp, LPARAM lp);

// A click that assistive technology asked of a child, a windowless control or a button (posted to its
// parent, so that what the click opens runs outside the request): true when msg is one, which is then
// handled.
bool HandleAccessibleClick(WinControl& c, UINT msg, LPARAM lp);

}  // namespace ui
