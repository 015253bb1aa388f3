// The application object: settings, commands, the change run's window and user, and the prompts.
#include "app/Program.h"
#include "app/HelpTopics.h"
#include "app/PreviewWindow.h"
#include "app/ReportWindow.h"
#include "app/UndoCommand.h"
#include "comm/DateTime.h"
#include "engine/TakenTimeFile.h"
#include "shell/Version.h"
#include "ui/Application.h"

namespace app {

engine::TChangeControls ChangeControlsOf(const settings::TAppOptions& o) {
  engine::TChangeControls c;
  c.AttrChg = o.AttrChange;
  c.ReadOnly = o.ReadOnly;
  c.ReadOnlyOn = o.ReadOnlyOn;
  c.Hidden = o.Hidden;
  c.HiddenOn = o.HiddenOn;
  c.System = o.System;
  c.SystemOn = o.SystemOn;
  c.DateChg = o.DateChange;
  c.Create = o.CreateDateTime;
  c.Update = o.UpdateDateTime;
  c.AutoExit = o.AutoEnd;
  return c;
}

// ---- time rules ----

void TimeRulesFromOptions(const settings::TAppOptions& o, TDateEntryState& d) {
  for (int side = 0; side < 2; ++side) {
    engine::TTimeRule rule;
    rule.Source = engine::SourceFromName(o.TimeRule[side]).value_or(engine::TTimeSource::Fixed);
    int64_t offset = 0;
    if (engine::TakesOffset(rule.Source) && engine::ParseOffset(o.TimeOffset[side], offset) == engine::TOffsetError::None)
      rule.OffsetSeconds = offset;
    d.Rule[side] = rule;
  }
}

void TimeRulesToOptions(const TDateEntryState& d, settings::TAppOptions& o) {
  // The defaults are left out, so that a file of a program that never had a rule chosen stays as it was.
  for (int side = 0; side < 2; ++side) {
    const engine::TTimeRule& rule = d.Rule[side];
    o.TimeRule[side] = rule.Source == engine::TTimeSource::Fixed ? L"" : engine::SourceName(rule.Source);
    o.TimeOffset[side] = rule.OffsetSeconds == 0 ? L"" : engine::FormatOffset(rule.OffsetSeconds);
  }
}

engine::TTargetTimeRules TShifterApp::TargetTimeRules() const {
  engine::TTargetTimeRules rules;
  rules.Rule[0] = DateState.Rule[0];
  rules.Rule[1] = DateState.Rule[1];
  rules.ReadTaken = engine::ReadFileTakenTime;
  return rules;
}

bool TShifterApp::BuildPlan(engine::ChangePlan& plan, std::wstring& message) const {
  return engine::BuildChangePlan(*this, plan, message);
}

TShifterApp::TShifterApp(const std::wstring& iniPath) {
  settings::AddApplicationItems(RegManager.RegItems());
  RegManager.SetRegType(settings::rtIni);
  RegManager.SetIniFileName(iniPath);
}

TShifterApp::~TShifterApp() = default;

// ---- settings ----

settings::TSettingsOutcome TShifterApp::LoadOptions() {
  settings::TRegManager& rm = RegManager;
  rm.ResetReadFailure();
  Options = settings::LoadApplicationOptions(rm);
  const settings::TAppOptions& o = Options;
  TDateEntryState& d = DateState;
  for (int side = 0; side < 2; ++side) {
    d.TimeFree[side] = o.TimeFree[side];
    d.SecondFree[side] = o.SecondFree[side];
  }
  d.CreateUpdate = o.CreateUpdate;
  TimeRulesFromOptions(o, d);
  if (o.DateParts[0][0]) {
    for (int side = 0; side < 2; ++side)
      for (int part = 0; part < 6; ++part) d.Parts[side][part] = o.DateParts[side][part].value_or(0);
  } else {
    comm::TDateTimeParts now;
    comm::DecodeDateTime(comm::Now(), now);
    const int parts[6] = {now.Year, now.Month, now.Day, now.Hour, now.Minute, now.Second};
    for (int side = 0; side < 2; ++side)
      for (int part = 0; part < 6; ++part) d.Parts[side][part] = static_cast<uint16_t>(parts[part]);
  }
  settings::TSettingsOutcome failures = rm.TakeFailure();

  // A settings file that is there but could not be read (held by another program) keeps what it
  // holds: the defaults read in its place are never written over it, now or at shutdown.
  FSettingsUnread = rm.ReadFailed();
  if (FSettingsUnread)
    return settings::TSettingsOutcome::Failed(
        rm.IniFileName() + L" を読み込めません。\r既定の設定で起動します。このファイルの設定は上書きしません。");
  failures &= settings::SaveApplicationOptions(rm, o, settings::TOptionStore::AtStart);
  return failures;
}

settings::TSettingsOutcome TShifterApp::SaveOptions() {
  if (FSettingsUnread) return {};  // the options shown were not read from the file
  settings::TAppOptions& o = Options;
  if (FMainView) FMainView->CollectShownOptions(o);
  const TDateEntryState& d = DateState;
  o.CreateUpdate = d.CreateUpdate;
  TimeRulesToOptions(d, o);
  for (int side = 0; side < 2; ++side) {
    o.TimeFree[side] = d.TimeFree[side];
    o.SecondFree[side] = d.SecondFree[side];
    for (int part = 0; part < 6; ++part) o.DateParts[side][part] = d.Parts[side][part];
  }
  return settings::SaveApplicationOptions(RegManager, o, settings::TOptionStore::AtClose);
}

void TShifterApp::ShowSettingsFailure(const settings::TSettingsOutcome& outcome) const {
  if (!outcome) FPrompts.ShowSettingsError(nullptr, outcome.Message);
}

void TShifterApp::ShowNotedSettingsFailure() { ShowSettingsFailure(RegManager.TakeFailure()); }

void TShifterApp::RememberFolder(const std::wstring& folder) {
  const settings::TSettingsOutcome saved = RegManager.Filer(L"FolderPath").WriteString(folder);
  if (!saved) FPrompts.ShowSettingsError(Owner(), saved.Message);
}

std::wstring TShifterApp::RememberedFolder() {
  std::wstring folder = RegManager.Filer(L"FolderPath").ReadString();
  ShowNotedSettingsFailure();
  return folder;
}

// ---- commands ----

bool TShifterApp::ShowList() {
  if (!FListView || !FMainView) return false;
  FListView->ShowBeside(FMainView->ViewBounds());
  return true;
}

// Selecting targets would change the list under a run that walks it: refused while running.
bool TShifterApp::SelectMenu() {
  if (!FSelectView || Running()) return false;
  FSelectView->SelectMenu();
  return true;
}
bool TShifterApp::SelectFolder() {
  if (!FSelectView || Running()) return false;
  FSelectView->SelectFolder();
  return true;
}
bool TShifterApp::SelectFiles() {
  if (!FSelectView || Running()) return false;
  FSelectView->SelectFiles();
  return true;
}

void TShifterApp::AddPaths(const std::vector<std::wstring>& paths) {
  if (FListView) FListView->AddPaths(paths);
}

void TShifterApp::About() {
  // Made for each showing, owned by the main window.
  shell::TFormVersion about(Owner(), shell::CurrentSendToPlace(), &FPrompts);
  about.HelpTopic = kHelpTopicAbout;
  about.ShowModal();
}

void TShifterApp::LockOtherViews(bool enabled) {
  if (FSelectView) FSelectView->SetDropAcceptance(enabled);
  if (FListView) FListView->SetListControlsEnabled(enabled);
}

void TShifterApp::SetListEnabled(bool enabled) {
  if (FListView) FListView->SetListEnabled(enabled);
}

void TShifterApp::RunOrStop() {
  if (FChangeRun) FChangeRun->ButtonSetClick();
  UpdateUndoCommand();
}

bool TShifterApp::UndoAvailable() const {
  return FChangeRun && !FJournalPath.empty() && !Running() && FMainView && FMainView->ViewEnabled() &&
         GetFileAttributesW(FJournalPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TShifterApp::Undo() {
  // Not under a run or a collection.
  if (!FChangeRun || Running() || (FMainView && !FMainView->ViewEnabled())) return;
  UndoLastRun(*FChangeRun, FJournalPath, Owner(), FPrompts);
  UpdateUndoCommand();
}

bool TShifterApp::ShowPreview() {
  // Not under a run or a collection, which would change what it shows.
  if (!FChangeRun || !FTargets || Running() || (FMainView && !FMainView->ViewEnabled())) return false;
  // The plan as the run would build it, with its messages.
  engine::ChangePlan plan;
  std::wstring message;
  if (!BuildPlan(plan, message)) {
    ShowError(message);
    return true;
  }
  if (FTargets->Count() == 0) {
    Inform(engine::kEmptyListText);
    return true;
  }
  bool start = false;
  {
    TFormPreview preview(Owner(), *FTargets, plan, FPrompts);
    if (FMainView) preview.CenterOn(FMainView->ViewBounds());
    else preview.CenterOnScreen();
    start = preview.ShowModal() == ui::mrOk;
  }
  if (start) RunOrStop();
  return true;
}

bool TShifterApp::ShowReport() {
  if (!FChangeRun || Running()) return false;
  engine::TRunReport report;
  DWORD error = ERROR_SUCCESS;
  engine::TJournalLoad load = engine::TJournalLoad::Missing;
  if (!FJournalPath.empty()) load = engine::LoadLastReport(FJournalPath, report, error);
  const bool stored = load == engine::TJournalLoad::Loaded || load == engine::TJournalLoad::Empty;
  // This program's last run or undo, unless a later one (of another copy, of the console companion)
  // left its report on the disk since.
  const engine::TRunReport& own = FChangeRun->Report();
  auto ticks = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  if (ticks(own.Started) != 0 && (!stored || ticks(own.Started) >= ticks(report.Started))) {
    report = own;
  } else if (!stored) {
    if (load == engine::TJournalLoad::Damaged) ShowError(ReportDamagedText(FJournalPath));
    else if (load == engine::TJournalLoad::Unreadable) ShowError(ReportReadFailedText(FJournalPath, error));
    else Inform(kNoReportText);
    return true;
  }
  TFormReport window(Owner(), std::move(report), FPrompts);
  if (FMainView) window.CenterOn(FMainView->ViewBounds());
  else window.CenterOnScreen();
  window.ShowModal();
  return true;
}

void TShifterApp::UpdateUndoCommand() {
  if (FMainView) FMainView->UpdateUndoCommand();
}

// ---- the run ----

void TShifterApp::SetTargets(engine::IChangeTargets* targets) {
  engine::IChangeWindow& window = *this;
  engine::IChangeUser& user = *this;
  FTargets = targets;
  FChangeRun = targets ? std::make_unique<engine::TChangeRun>(window, *targets, user) : nullptr;
  if (FChangeRun) FChangeRun->SetJournal(FJournal.get());
  UpdateUndoCommand();
}

void TShifterApp::SetJournalPath(const std::wstring& path) {
  FJournalPath = path;
  FJournal = path.empty() ? nullptr : std::make_unique<engine::TJournalWriter>(path);
  if (FChangeRun) FChangeRun->SetJournal(FJournal.get());
  UpdateUndoCommand();
}

engine::TChangeControls TShifterApp::Controls() const {
  settings::TAppOptions shown = Options;
  if (FMainView) FMainView->CollectShownOptions(shown);
  return ChangeControlsOf(shown);
}

engine::TDateParts TShifterApp::DateParts() const {
  engine::TDateParts p{};
  for (int side = 0; side < 2; ++side)
    for (int part = 0; part < 6; ++part) p[side][part] = DateState.Parts[side][part];
  return p;
}

void TShifterApp::SetIdleState(bool idle) {
  if (FMainView) FMainView->SetIdleState(idle);
}

void TShifterApp::ProcessMessages() {
  if (FRunPace.Due()) ui::Application::Instance().ProcessMessages();
}

void TShifterApp::SetBusyCursor(bool busy) { ui::Application::Instance().SetBusyCursor(busy); }

void TShifterApp::SetProgressRange(int min, int max) {
  if (FMainView) FMainView->SetProgressRange(min, max);
  FProgressMin = min;
  FProgressMax = max;
  FRunPace.Reset();
  FBarPace.Reset();
}

void TShifterApp::SetProgressPosition(int position) {
  // Its two ends are always shown: the bar reaches its end, and goes back to its start after a run.
  if (FMainView && (position <= FProgressMin || position >= FProgressMax || FBarPace.Due()))
    FMainView->SetProgressPosition(position);
}

void TShifterApp::RequestClose() {
  if (FMainView) FMainView->RequestClose();
}

void TShifterApp::BringToFront() {
  if (FMainView) FMainView->BringToFront();
}

engine::TAnswer TShifterApp::Ask(engine::TQuestion question, const std::wstring& text) {
  return FPrompts.Ask(Owner(), question, text);
}
void TShifterApp::Inform(const std::wstring& text) { FPrompts.Inform(Owner(), text); }
void TShifterApp::ShowError(const std::wstring& text) { FPrompts.ShowError(Owner(), text); }
bool TShifterApp::Confirm(const std::wstring& text, bool defaultYes) {
  return FPrompts.Confirm(Owner(), text, defaultYes);
}

// The standard error box of the application, as for an exception that escapes any event handler.
void TShifterApp::ReportException() { ui::Application::Instance().HandleException(); }

}  // namespace app
