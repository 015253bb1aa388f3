// The sides' rules through the program: chosen in the date-time dialog, shown in the main window's
// date fields, kept in the settings file, taken by the plan of a run, applied by a run and undone.
#include "app/Main.h"
#include "comm/Cp932.h"
#include "settings/SettingsTestKit.h"
#include "support/ListTargets.h"
#include "support/DialogAnswerer.h"
#include "support/FixedClock.h"
#include "support/Keys.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>

using engine::TTimeRule;
using engine::TTimeSource;
using settingstest::ReadBytes;
using settingstest::WriteBytes;
using testsupport::DialogAnswerer;
using testsupport::FileTimeOf;

namespace {

constexpr size_t npos = std::string::npos;

using testsupport::ListTargets;

// The user opens the dialog of a side, picks a rule, types the offset and presses OK.
void ChooseInDialog(app::TVNStampShifter& w, int side, TTimeSource source, const std::wstring& offset) {
  app::TFormInputDateTime dialog(w.FDateState, w.Handle());
  w.FInputDateTime = &dialog;
  DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormInputDateTime"};
  answers.Responder = [&](const testsupport::ShownDialog&) {
    dialog.ComboBoxRule.SetItemIndex(static_cast<int>(source));
    dialog.ComboBoxRuleChange(&dialog.ComboBoxRule);
    dialog.EditOffset.SetText(offset);
    return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
  };
  w.SpeedButtonCreateClick(side == 0 ? &w.SpeedButtonCreate : &w.SpeedButtonUpdate);
  EXPECT_EQ(answers.Shown().size(), 1u);
  w.FInputDateTime = nullptr;
}

}  // namespace

TEST(TimeRules, ARuleChosenInTheDialogIsShownSavedReadBackAndPlanned) {
  testsupport::TempTree tree;
  const std::wstring ini = tree.Path(L"VornaStampShifter.ini");
  {
    app::TVNStampShifter w(ini);
    const std::wstring fixed = w.EditUpdate.Text();
    ChooseInDialog(w, 0, TTimeSource::Taken, L"+1:00");
    ChooseInDialog(w, 1, TTimeSource::Shift, L"-2日");
    EXPECT_EQ(w.EditCreate.Text(), L"　撮影日時 +1:00:00");
    EXPECT_EQ(w.EditUpdate.Text(), L"　ずらす -2日");
    ChooseInDialog(w, 1, TTimeSource::Fixed, L"");
    EXPECT_EQ(w.EditUpdate.Text(), fixed);  // the fixed value shows as before any rule
    ChooseInDialog(w, 1, TTimeSource::Shift, L"-2日");
  }
  const std::string bytes = ReadBytes(ini);
  EXPECT_NE(bytes.find("\r\nCreateRule=taken\r\nCreateOffset=+1:00:00\r\nUpdateRule=shift\r\nUpdateOffset=" +
                       comm::WideToCp932(L"-2日") + "\r\n"),
            npos);
  {
    app::TVNStampShifter w(ini);
    EXPECT_EQ(w.EditCreate.Text(), L"　撮影日時 +1:00:00");
    EXPECT_EQ(w.EditUpdate.Text(), L"　ずらす -2日");
    // The plan of a run takes both rules, and the reader of the files' taken times.
    w.CheckBoxDateChg.SetChecked(true);
    engine::ChangePlan plan;
    std::wstring message;
    ASSERT_TRUE(w.App().BuildPlan(plan, message)) << message;
    EXPECT_EQ(plan.Rules.Rule[0], (TTimeRule{TTimeSource::Taken, 3600}));
    EXPECT_EQ(plan.Rules.Rule[1], (TTimeRule{TTimeSource::Shift, -2 * 86400}));
    EXPECT_TRUE(plan.Rules.ReadTaken);
    // Back to the entered date-time: the keys go, and the file is as one that never had a rule.
    ChooseInDialog(w, 0, TTimeSource::Fixed, L"");
    ChooseInDialog(w, 1, TTimeSource::Fixed, L"");
  }
  std::string rest = ReadBytes(ini);
  EXPECT_EQ(rest.find("Rule="), npos);
  EXPECT_EQ(rest.find("Offset="), npos);

  // Names and offsets that do not read stand for the default, each on its own.
  const size_t at = rest.find("[DateChange]\r\n") + 14;
  rest.insert(at, "CreateRule=Taken\r\nCreateOffset=+1:60\r\nUpdateRule=taken2\r\nUpdateOffset=-0:30\r\n");
  WriteBytes(ini, rest);
  app::TVNStampShifter w(ini);
  EXPECT_EQ(w.FDateState.Rule[0], (TTimeRule{TTimeSource::Taken, 0}));  // the name in any case
  EXPECT_EQ(w.FDateState.Rule[1], TTimeRule{});  // and no offset where the rule takes none
  EXPECT_EQ(w.EditCreate.Text(), L"　撮影日時");
}

TEST(TimeRules, TheNameAndShiftRulesThroughARunAndItsUndo) {
  testsupport::FixedLocalBias utc(0);
  testsupport::TempTree tree;
  ListTargets targets;
  const std::wstring named = tree.MakeFile(L"data\\IMG_20240102_030405.jpg");
  const std::wstring plain = tree.MakeFile(L"data\\notes.txt");
  targets.paths = {named, plain};
  const int64_t before = FileTimeOf(2020, 1, 1, 12, 0, 0);
  for (const auto& p : targets.paths) ASSERT_TRUE(testsupport::WriteRawTimes(p, -1, -1, before));
  app::TVNStampShifter main(tree.Path(L"VornaStampShifter.ini"));
  main.SetTargets(&targets);
  main.SetJournalPath(tree.Path(L"user\\VornaStampShifter.undo"));
  main.CheckBoxAttrChg.SetChecked(false);
  main.CheckBoxDateChg.SetChecked(true);
  main.CheckBoxCreate.SetChecked(false);
  main.CheckBoxUpdate.SetChecked(true);
  main.CheckBoxAutoExit.SetChecked(false);
  main.Show();
  DialogAnswerer answers;

  // The name's date an hour on; the file without a date in its name stays and is counted, unasked.
  main.FDateState.Rule[1] = {TTimeSource::FileName, 3600};
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].text, L"変更が終了しました。\r\r変更数\t\t： 1\rエラー数\t\t： 0\r未変更数\t： 1");
  const int64_t fromName = FileTimeOf(2024, 1, 2, 4, 4, 5);
  EXPECT_EQ(testsupport::ReadRawTimes(named).LastWrite, fromName);
  EXPECT_EQ(testsupport::ReadRawTimes(plain).LastWrite, before);

  // Each file's own time a day and a half back.
  main.FDateState.Rule[1] = {TTimeSource::Shift, -(86400 + 43200)};
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].text, L"変更が終了しました。\r\r変更数\t\t： 2\rエラー数\t\t： 0\r未変更数\t： 0");
  EXPECT_EQ(testsupport::ReadRawTimes(named).LastWrite, FileTimeOf(2023, 12, 31, 16, 4, 5));
  EXPECT_EQ(testsupport::ReadRawTimes(plain).LastWrite, FileTimeOf(2019, 12, 31, 0, 0, 0));

  // The undo gives each file back the time it had before the shift, naming no one time.
  main.ButtonSet.SetFocus();
  answers.Press(L"はい(&Y)").Press(L"OK");
  testsupport::PressKey(main.ButtonSet.Handle(), 'Z', ui::ssCtrl);
  ASSERT_EQ(answers.Shown().size(), 4u);
  EXPECT_NE(answers.Shown()[2].text.find(L"更新日時を元の日時に戻し"), std::wstring::npos);
  EXPECT_EQ(testsupport::ReadRawTimes(named).LastWrite, fromName);
  EXPECT_EQ(testsupport::ReadRawTimes(plain).LastWrite, before);
  main.SetTargets(nullptr);
}
