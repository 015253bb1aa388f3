// The date-time entry dialog: how one side's new time is found, and six spin edits for its stored
// date-time, with the time options.
#pragma once
#include "engine/TimeRule.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/Prompter.h"
#include "ui/StdControls.h"
#include "widgets/CommonSpin.h"
#include <cstdint>

namespace app {

// The stored date-times and their options, held by the main window for the life of the program.
// Side 0 is creation, side 1 update; component 0 year, 1 month, 2 day, 3 hour, 4 minute, 5 second.
struct TDateEntryState {
  uint16_t Parts[2][6] = {};
  bool TimeFree[2] = {};    // "時刻指定なし" was checked when the side was last entered
  bool SecondFree[2] = {};  // "秒指定なし" was checked
  bool CreateUpdate = false;  // "作成／更新日時共に反映" was checked
  int Target = 0;           // the side the dialog edits
  engine::TTimeRule Rule[2];  // how each side's new time is found; Fixed: the entered date-time
  bool operator==(const TDateEntryState&) const = default;
};

// Created once and hidden between shows. The caller sets State.Target, the caption and the position,
// then calls ShowModal: every opening loads the side from the state and starts in the year field with
// its text selected (the dialog shown again as the minimised program is restored keeps what was
// typed), and OK (mrOk) writes it back (and into the other side when "作成／更新日時共に反映" is
// checked). Cancel, Esc and the close box give mrCancel and write nothing.
// Above the group box, the side's rule: the fields stay enabled where the rule uses them (the entered
// date-time all of them, date only the date, time only the time) and the offset edit is shown for the
// rules that take one. An offset that does not read is shown as an error and keeps the dialog open.
class TFormInputDateTime : public ui::Form {
 public:
  explicit TFormInputDateTime(TDateEntryState& state, HWND owner = nullptr);

  // Shows the offset's error; none: the program's own prompts.
  const ui::IPrompter* Prompter = nullptr;

  ui::Label LabelRule;
  ui::ComboBox ComboBoxRule;  // the items in the order of engine::TTimeSource
  ui::Edit EditOffset;
  ui::GroupBox GroupBoxInputDateTime;
  widgets::TCommonSpinEdit CommonSpinEditYear, CommonSpinEditMonth, CommonSpinEditDay;
  widgets::TCommonSpinEdit CommonSpinEditHour, CommonSpinEditMinute, CommonSpinEditSecond;
  ui::Label LabelYear, LabelMonth, LabelDay, LabelHour, LabelMinute, LabelSecond;
  ui::Button ButtonNow;
  ui::CheckBox CheckBoxTime, CheckBoxSecond;
  ui::CheckBox CheckBoxCreateUpdate;
  ui::Button ButtonOK, ButtonCancel;

  // The edit of component c (0 year ... 5 second).
  widgets::TCommonSpinEdit& PartEdit(int c);

  void LoadValues();
  void StoreValues();
  // The day's maximum follows the year and the month; only February also clamps the day's value.
  void UpdateDayRange();
  void ClampFebruaryDay();
  // Copies the clock's local date and time into the fields the options leave free.
  void SetNow();
  // The rule the drop-down shows, and the fields, boxes and offset edit enabled or shown for it.
  engine::TTimeSource ChosenSource() const;
  void UpdateRuleControls();

  void CommonSpinEditMonthChange(ui::Control* sender);
  void ButtonNowClick(ui::Control* sender);
  void CheckBoxTimeClick(ui::Control* sender);
  void CheckBoxSecondClick(ui::Control* sender);
  void ComboBoxRuleChange(ui::Control* sender);
  void ButtonOKClick(ui::Control* sender);
  void ButtonCancelClick(ui::Control* sender);

 protected:
  void DoShow() override;

 private:
  int Side() const { return FState.Target == 1 ? 1 : 0; }
  TDateEntryState& FState;
};

}  // namespace app
