// The date-time entry dialog: six spin edits for one side's stored date-time, with the time options.
#pragma once
#include "ui/Form.h"
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
  bool operator==(const TDateEntryState&) const = default;
};

// Created once and hidden between shows. The caller sets State.Target, the caption and the position,
// then calls ShowModal: every opening loads the side from the state and starts in the year field with
// its text selected (the dialog shown again as the minimised program is restored keeps what was
// typed), and OK (mrOk) writes it back (and into the other side when "作成／更新日時共に反映" is
// checked). Cancel, Esc and the close box give mrCancel and write nothing.
class TFormInputDateTime : public ui::Form {
 public:
  explicit TFormInputDateTime(TDateEntryState& state, HWND owner = nullptr);

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

  void CommonSpinEditMonthChange(ui::Control* sender);
  void ButtonNowClick(ui::Control* sender);
  void CheckBoxTimeClick(ui::Control* sender);
  void CheckBoxSecondClick(ui::Control* sender);
  void ButtonOKClick(ui::Control* sender);
  void ButtonCancelClick(ui::Control* sender);

 protected:
  void DoShow() override;

 private:
  int Side() const { return FState.Target == 1 ? 1 : 0; }
  TDateEntryState& FState;
};

}  // namespace app
