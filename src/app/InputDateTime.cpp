// The date-time entry dialog: layout, loading and storing one side, the rule, the day range and the
// time options.
#include "app/InputDateTime.h"
#include "app/Prompts.h"
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

// The rule row above the group box; the rest of the dialog lies this much lower than without it.
constexpr int kRuleRow = 28;

// The drop-down's items, in the order of engine::TTimeSource; the other side's item names the side
// the value comes from.
std::vector<std::wstring> RuleItems(int side) {
  return {L"入力した日時", L"撮影日時", L"ファイル名の日時", side == 0 ? L"更新日時から" : L"作成日時から",
          L"ずらす",       L"日付のみ", L"時刻のみ"};
}

}  // namespace

TFormInputDateTime::TFormInputDateTime(TDateEntryState& state, HWND owner) : FState(state) {
  FClassName = L"TFormInputDateTime";
  CreateForm(L"日時入力", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 302, 151 + kRuleRow, owner);

  // Creation order is the tab order.
  LabelRule.Create(this, 8, 12, 92, 17, L"日時の決め方(&K):");
  ComboBoxRule.Create(this, 100, 8, 122, 200);
  LabelRule.FocusControl = &ComboBoxRule;
  for (const std::wstring& item : RuleItems(0)) ComboBoxRule.Add(item);
  ComboBoxRule.SetItemIndex(0);
  EditOffset.Create(this, 226, 8, 68, 21, engine::FormatOffset(0));
  EditOffset.SetMaxLength(24);
  EditOffset.SetVisible(false);
  EditOffset.AccessibleName = L"時間";  // no label beside it: the rule before it tells what the time does
  GroupBoxInputDateTime.Create(this, 8, 8 + kRuleRow, 286, 105, L"年月日・時分秒を指定してください。");
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
    labels[c]->FocusControl = &PartEdit(c);  // the unit names its field for screen readers
  }

  CheckBoxCreateUpdate.Create(this, 8, 124 + kRuleRow, 169, 17, L"作成／更新日時共に反映(&D)");
  ButtonOK.Create(this, 180, 120 + kRuleRow, 54, 25, L"OK");
  ButtonOK.ModalResult = ui::mrOk;
  ButtonCancel.Create(this, 240, 120 + kRuleRow, 54, 25, L"ｷｬﾝｾﾙ");
  ButtonCancel.ModalResult = ui::mrCancel;
  ButtonCancel.SetCancel(true);

  // Bound last: setting the initial values above must not run the rules on half-built controls.
  CommonSpinEditYear.OnChange = [this](ui::Control* s) { CommonSpinEditMonthChange(s); };
  CommonSpinEditMonth.OnChange = [this](ui::Control* s) { CommonSpinEditMonthChange(s); };
  ButtonNow.OnClick = [this](ui::Control* s) { ButtonNowClick(s); };
  CheckBoxTime.OnClick = [this](ui::Control* s) { CheckBoxTimeClick(s); };
  CheckBoxSecond.OnClick = [this](ui::Control* s) { CheckBoxSecondClick(s); };
  ComboBoxRule.OnSelChange = [this](ui::Control* s) { ComboBoxRuleChange(s); };
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
  // A rule that leaves the year unused starts in the drop-down instead.
  LoadValues();
  if (!CommonSpinEditYear.Enabled()) {
    SetActiveControl(&ComboBoxRule);
    return;
  }
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
  ComboBoxRule.Clear();
  for (const std::wstring& item : RuleItems(side)) ComboBoxRule.Add(item);
  ComboBoxRule.SetItemIndex(static_cast<int>(FState.Rule[side].Source));
  EditOffset.SetText(engine::FormatOffset(FState.Rule[side].OffsetSeconds));
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
  // Only a rule that takes the offset keeps one (ButtonOKClick has checked that it reads).
  engine::TTimeRule rule{ChosenSource(), 0};
  int64_t offset = 0;
  if (engine::TakesOffset(rule.Source) && engine::ParseOffset(EditOffset.Text(), offset) == engine::TOffsetError::None)
    rule.OffsetSeconds = offset;
  FState.Rule[side] = rule;
  for (int c = 0; c < 6; ++c) FState.Parts[side][c] = parts[c];
  FState.TimeFree[side] = timeFree;
  FState.SecondFree[side] = secondFree;
  FState.CreateUpdate = both;
  if (!both) return;
  const int other = 1 - side;
  for (int c = 0; c < 6; ++c) FState.Parts[other][c] = parts[c];
  FState.TimeFree[other] = timeFree;
  FState.SecondFree[other] = secondFree;
  // Both sides get the same time: from the other side's time, that side keeps its own (moved by the
  // offset) rather than taking this side's, which would swap the two.
  FState.Rule[other] = rule.Source == engine::TTimeSource::OtherSide ? engine::TTimeRule{engine::TTimeSource::Shift, rule.OffsetSeconds}
                                                                      : rule;
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
  if (CheckBoxTime.Checked()) {
    CommonSpinEditHour.SetValue(0);
    CommonSpinEditMinute.SetValue(0);
    CommonSpinEditSecond.SetValue(0);
  }
  CheckBoxSecondClick(sender);
}

void TFormInputDateTime::CheckBoxSecondClick(ui::Control*) {
  if (CheckBoxSecond.Checked()) CommonSpinEditSecond.SetValue(0);
  UpdateRuleControls();
}

engine::TTimeSource TFormInputDateTime::ChosenSource() const {
  const int index = ComboBoxRule.ItemIndex();
  return index > 0 && index <= static_cast<int>(engine::TTimeSource::TimeOnly) ? static_cast<engine::TTimeSource>(index)
                                                                                : engine::TTimeSource::Fixed;
}

void TFormInputDateTime::UpdateRuleControls() {
  using engine::TTimeSource;
  const TTimeSource source = ChosenSource();
  const bool usesDate = source == TTimeSource::Fixed || source == TTimeSource::DateOnly;
  const bool usesTime = source == TTimeSource::Fixed || source == TTimeSource::TimeOnly;
  const bool timeFree = CheckBoxTime.Checked(), secondFree = timeFree || CheckBoxSecond.Checked();
  ui::Label* labels[6] = {&LabelYear, &LabelMonth, &LabelDay, &LabelHour, &LabelMinute, &LabelSecond};
  const bool enabled[6] = {usesDate, usesDate, usesDate, usesTime && !timeFree, usesTime && !timeFree,
                           usesTime && !secondFree};
  for (int c = 0; c < 6; ++c) {
    PartEdit(c).SetEnabled(enabled[c]);
    labels[c]->SetEnabled(enabled[c]);
  }
  CheckBoxTime.SetEnabled(usesTime);
  CheckBoxSecond.SetEnabled(usesTime && !timeFree);
  ButtonNow.SetEnabled(usesDate || usesTime);
  EditOffset.SetVisible(engine::TakesOffset(source));
}

void TFormInputDateTime::ComboBoxRuleChange(ui::Control*) { UpdateRuleControls(); }

void TFormInputDateTime::ButtonOKClick(ui::Control*) {
  // An offset the rule uses must read; the dialog then stays open with the offset selected.
  if (engine::TakesOffset(ChosenSource())) {
    int64_t offset = 0;
    if (const engine::TOffsetError error = engine::ParseOffset(EditOffset.Text(), offset);
        error != engine::TOffsetError::None) {
      SetModalResult(ui::mrNone);
      const TPrompts fallback;
      (Prompter ? *Prompter : static_cast<const ui::IPrompter&>(fallback)).ShowError(Handle(), engine::OffsetErrorText(error));
      SetActiveControl(&EditOffset);
      EditOffset.SelectAll();
      return;
    }
  }
  StoreValues();
}

void TFormInputDateTime::ButtonCancelClick(ui::Control*) {}

}  // namespace app
