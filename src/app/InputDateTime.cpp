// The date-time entry dialog: layout, loading and storing one side, the day range and the time options.
#include "app/InputDateTime.h"
#include "comm/Clock.h"
#include "comm/DateTime.h"

namespace app {

namespace {

struct PartField {
  int left, top;
  int minValue, maxValue;
  int maxLength;
};

// Year, month, day, hour, minute, second, inside the group box.
constexpr PartField kPartFields[6] = {
    {16, 24, 1980, 2100, 4}, {88, 24, 1, 12, 2}, {160, 24, 1, 31, 2},
    {16, 52, 0, 23, 2},      {88, 52, 0, 59, 2}, {160, 52, 0, 59, 2},
};

struct UnitLabel {
  int left, top;
  const wchar_t* text;
};

constexpr UnitLabel kUnitLabels[6] = {
    {64, 24, L"年"}, {136, 24, L"月"}, {208, 24, L"日"}, {64, 53, L"時"}, {136, 53, L"分"}, {208, 53, L"秒"},
};

}  // namespace

TFormInputDateTime::TFormInputDateTime(TDateEntryState& state, HWND owner) : FState(state) {
  FClassName = L"TFormInputDateTime";
  CreateForm(L"日時入力", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 302, 151, owner);

  // Creation order is the tab order.
  GroupBoxInputDateTime.Create(this, 8, 8, 286, 105, L"年月日・時分秒を指定してください。");
  for (int c = 0; c < 6; ++c) {
    const PartField& f = kPartFields[c];
    widgets::TCommonSpinEdit& e = PartEdit(c);
    e.Create(&GroupBoxInputDateTime, f.left, f.top, 49, 21);
    e.MinValue = f.minValue;
    e.MaxValue = f.maxValue;
    e.SetValue(f.minValue);
    e.SetMaxLength(f.maxLength);
  }
  ButtonNow.Create(&GroupBoxInputDateTime, 232, 30, 41, 41, L"Now");
  ButtonNow.SetHint(L"現在日時を設定します");
  CheckBoxTime.Create(&GroupBoxInputDateTime, 16, 80, 105, 17, L"時刻指定なし(&T)");
  CheckBoxTime.SetHint(L"時刻部分の指定をしません。（０時０分０秒）");
  CheckBoxSecond.Create(&GroupBoxInputDateTime, 160, 80, 105, 17, L"秒指定なし(&S)");
  CheckBoxSecond.SetShowHint(false);
  CheckBoxSecond.SetHint(L"秒部分の指定をしません。（０秒）");
  ui::Label* labels[6] = {&LabelYear, &LabelMonth, &LabelDay, &LabelHour, &LabelMinute, &LabelSecond};
  for (int c = 0; c < 6; ++c) {
    labels[c]->Create(&GroupBoxInputDateTime, kUnitLabels[c].left, kUnitLabels[c].top, 17, 20, kUnitLabels[c].text);
    labels[c]->TextAlignment = ui::Alignment::Center;
    labels[c]->Layout = ui::TextLayout::Center;
  }

  CheckBoxCreateUpdate.Create(this, 8, 124, 169, 17, L"作成／更新日時共に反映(&D)");
  ButtonOK.Create(this, 180, 120, 54, 25, L"OK");
  ButtonOK.ModalResult = ui::mrOk;
  ButtonCancel.Create(this, 240, 120, 54, 25, L"ｷｬﾝｾﾙ");
  ButtonCancel.ModalResult = ui::mrCancel;
  ButtonCancel.SetCancel(true);

  // Bound last: setting the initial values above must not run the rules on half-built controls.
  CommonSpinEditYear.OnChange = [this](ui::Control* s) { CommonSpinEditMonthChange(s); };
  CommonSpinEditMonth.OnChange = [this](ui::Control* s) { CommonSpinEditMonthChange(s); };
  ButtonNow.OnClick = [this](ui::Control* s) { ButtonNowClick(s); };
  CheckBoxTime.OnClick = [this](ui::Control* s) { CheckBoxTimeClick(s); };
  CheckBoxSecond.OnClick = [this](ui::Control* s) { CheckBoxSecondClick(s); };
  ButtonOK.OnClick = [this](ui::Control* s) { ButtonOKClick(s); };
  ButtonCancel.OnClick = [this](ui::Control* s) { ButtonCancelClick(s); };
}

widgets::TCommonSpinEdit& TFormInputDateTime::PartEdit(int c) {
  widgets::TCommonSpinEdit* edits[6] = {&CommonSpinEditYear, &CommonSpinEditMonth,  &CommonSpinEditDay,
                                        &CommonSpinEditHour, &CommonSpinEditMinute, &CommonSpinEditSecond};
  return *edits[c];
}

void TFormInputDateTime::DoShow() {
  // Once per opening (not when the restored program shows the dialog again): the stored values, and
  // the year field with its text selected, whatever had the focus when the dialog last closed.
  LoadValues();
  SetActiveControl(&CommonSpinEditYear);
  CommonSpinEditYear.SelectAll();
}

void TFormInputDateTime::LoadValues() {
  const int side = Side();
  // The boxes before the values: a box still checked from the previous show would otherwise run its
  // rule after the values are in and zero a stored time the side does not have as free.
  CheckBoxTime.SetEnabled(true);
  CheckBoxSecond.SetEnabled(true);
  CheckBoxTime.SetChecked(FState.TimeFree[side]);
  CheckBoxSecond.SetChecked(FState.SecondFree[side]);
  CheckBoxCreateUpdate.SetChecked(FState.CreateUpdate);
  // Year and month first: their change events fit the day's range before the day is set.
  for (int c = 0; c < 6; ++c) PartEdit(c).SetValue(FState.Parts[side][c]);
  CheckBoxTimeClick(&CheckBoxTime);
}

void TFormInputDateTime::StoreValues() {
  const int side = Side();
  uint16_t parts[6];
  for (int c = 0; c < 6; ++c) parts[c] = static_cast<uint16_t>(PartEdit(c).Value());
  const bool timeFree = CheckBoxTime.Checked(), secondFree = CheckBoxSecond.Checked();
  const bool both = CheckBoxCreateUpdate.Checked();
  for (int c = 0; c < 6; ++c) FState.Parts[side][c] = parts[c];
  FState.TimeFree[side] = timeFree;
  FState.SecondFree[side] = secondFree;
  FState.CreateUpdate = both;
  if (!both) return;
  const int other = 1 - side;
  for (int c = 0; c < 6; ++c) FState.Parts[other][c] = parts[c];
  FState.TimeFree[other] = timeFree;
  FState.SecondFree[other] = secondFree;
}

void TFormInputDateTime::UpdateDayRange() {
  CommonSpinEditDay.MaxValue = comm::DaysInMonth(CommonSpinEditYear.Value(), CommonSpinEditMonth.Value());
  ClampFebruaryDay();
}

void TFormInputDateTime::ClampFebruaryDay() {
  if (CommonSpinEditMonth.Value() != 2) return;
  int length = comm::DaysInMonth(CommonSpinEditYear.Value(), 2);
  // The number as typed: reading the value would already clamp it to the maximum just set.
  int64_t day = 0;
  if (widgets::ParseSpinText(CommonSpinEditDay.Text(), day) && day > length) CommonSpinEditDay.SetValue(length);
}

void TFormInputDateTime::SetNow() {
  comm::TDateTimeParts now;
  if (!comm::DecodeDateTime(comm::Now(), now)) return;
  CommonSpinEditYear.SetValue(now.Year);
  CommonSpinEditMonth.SetValue(now.Month);
  CommonSpinEditDay.SetValue(now.Day);
  if (!CheckBoxTime.Checked()) {
    CommonSpinEditHour.SetValue(now.Hour);
    CommonSpinEditMinute.SetValue(now.Minute);
    if (!CheckBoxSecond.Checked()) CommonSpinEditSecond.SetValue(now.Second);
  }
  UpdateDayRange();
}

void TFormInputDateTime::CommonSpinEditMonthChange(ui::Control*) { UpdateDayRange(); }

void TFormInputDateTime::ButtonNowClick(ui::Control*) { SetNow(); }

void TFormInputDateTime::CheckBoxTimeClick(ui::Control* sender) {
  const bool timeFree = CheckBoxTime.Checked();
  if (timeFree) {
    CommonSpinEditHour.SetValue(0);
    CommonSpinEditMinute.SetValue(0);
    CommonSpinEditSecond.SetValue(0);
  }
  CommonSpinEditHour.SetEnabled(!timeFree);
  LabelHour.SetEnabled(!timeFree);
  CommonSpinEditMinute.SetEnabled(!timeFree);
  LabelMinute.SetEnabled(!timeFree);
  CommonSpinEditSecond.SetEnabled(!timeFree);
  LabelSecond.SetEnabled(!timeFree);
  CheckBoxSecond.SetEnabled(!timeFree);
  CheckBoxSecondClick(sender);
}

void TFormInputDateTime::CheckBoxSecondClick(ui::Control*) {
  if (CheckBoxSecond.Checked()) CommonSpinEditSecond.SetValue(0);
  const bool secondFree = CheckBoxTime.Checked() || CheckBoxSecond.Checked();
  CommonSpinEditSecond.SetEnabled(!secondFree);
  LabelSecond.SetEnabled(!secondFree);
}

void TFormInputDateTime::ButtonOKClick(ui::Control*) { StoreValues(); }

void TFormInputDateTime::ButtonCancelClick(ui::Control*) {}

}  // namespace app
