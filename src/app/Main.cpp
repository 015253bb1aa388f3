// The main window: layout, enabling rules, date display, keyboard, animation and settings.
#include "app/Main.h"
#include "app/HelpTopics.h"
#include "app/UndoCommand.h"
#include "comm/Clock.h"
#include "comm/DateTime.h"
#include "settings/AppSettings.h"
#include "ui/Application.h"
#include "ui/Error.h"
#include "resource.h"
#include <optional>

namespace app {

namespace {

constexpr int kFrameCount = VSS_VORNA_FRAME_COUNT;

const wchar_t* const kExtHint =
    L"「txt;bmp」などのように「;」（セミコロン）で区切ることで複数指定できます。\r"
    L"(大文字／小文字の区別、拡張子の直前のピリオドは不要です)|";
const wchar_t* const kVornaHint = L"エクスプローラからプレーリードッグの絵にドロップできます";
const wchar_t* const kSetHintIdle = L"日時／属性の変更を開始します";
const wchar_t* const kSetHintRunning = L"日時／属性の変更を中断します";

ui::Font MainFont() { return ui::Font{L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET, 0, ui::clWindowText}; }
ui::Font FixedFont() { return ui::Font{L"ＭＳ ゴシック", -12, SHIFTJIS_CHARSET, 0, ui::clWindowText}; }

HBITMAP LoadArt(int id) {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

TVNStampShifter::TVNStampShifter(const std::wstring& iniPath) {
  // The settings' own errors are shown as the program's settings errors (the prompts keep no state,
  // so a reporter left behind by a window closed out of order still works).
  FPreviousSettingsReporter =
      settings::SetErrorBoxHook([](const std::wstring& text) { TPrompts().ShowSettingsError(nullptr, text); });
  FDialogCaptions[0] = L"作成日時入力";
  FDialogCaptions[1] = L"更新日時入力";
  settings::AddApplicationItems(RegManager.RegItems());
  RegManager.SetRegType(settings::rtIni);
  BuildControls();
  RegManager.SetIniFileName(iniPath);
  FormCreate();
}

TVNStampShifter::~TVNStampShifter() {
  Timer.SetEnabled(false);
  // FormDestroy: the options go to the INI file when the window goes.
  try {
    SaveSettings();
  } catch (const ui::Error& e) {
    FPrompts.ShowSettingsError(nullptr, e.Message());
  }
  settings::SetErrorBoxHook(std::move(FPreviousSettingsReporter));
}

void TVNStampShifter::BuildControls() {
  FFont = MainFont();
  FClassName = L"TVNStampShifter";
  CreateForm(L"VornaStampShifter", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 300, 359);
  SetFont(MainFont());
  KeyPreview = true;

  // Target filters.
  GroupBoxType.Create(this, 0, 0, 300, 89, L"変更対象(&F)");
  RadioButtonFile.Create(&GroupBoxType, 10, 18, 84, 17, L"ファイルのみ");
  RadioButtonFolder.Create(&GroupBoxType, 100, 18, 84, 17, L"フォルダのみ");
  RadioButtonAll.Create(&GroupBoxType, 190, 18, 60, 17, L"全て");
  CheckBoxSubFolder.Create(&GroupBoxType, 10, 40, 200, 17, L"サブフォルダも対象にする(&B)");
  CheckBoxExtSelect.Create(&GroupBoxType, 10, 62, 174, 17, L"指定拡張子のみ対象にする(&X)");
  EditExtString.Create(&GroupBoxType, 186, 60, 104, 20);
  EditExtString.SetFont(FixedFont());
  EditExtString.SetHint(kExtHint);
  SpeedButtonListView.Create(&GroupBoxType, 243, 35, 23, 22);
  SpeedButtonListView.SetHint(L"ファイル一覧ウィンドウ表示(Ctrl+L)");
  SpeedButtonSelect.Create(&GroupBoxType, 267, 35, 23, 22);
  SpeedButtonSelect.SetHint(L"ファイル／フォルダ選択ダイアログ表示(Ctrl+O)");

  // Date and attribute options.
  PanelMain.Create(this, 0, 89, 300, 200);
  PanelMain.SetBevels(ui::Bevel::Lowered, ui::Bevel::Raised);
  CheckBoxDateChg.Create(&PanelMain, 8, 8, 260, 17, L"ファイル作成／更新日時を変更する(&D)");
  CheckBoxCreate.Create(&PanelMain, 24, 32, 82, 17, L"作成日時(&C)");
  EditCreate.Create(&PanelMain, 108, 30, 158, 20, L"", ES_READONLY);
  EditCreate.SetColor(ui::clBtnFace);
  EditCreate.Tag = 0;
  SpeedButtonCreate.Create(&PanelMain, 268, 29, 23, 22);
  SpeedButtonCreate.Tag = 0;
  SpeedButtonCreate.SetHint(L"作成日時を入力します(Ctrl+C)");
  CheckBoxUpdate.Create(&PanelMain, 24, 58, 82, 17, L"更新日時(&U)");
  EditUpdate.Create(&PanelMain, 108, 56, 158, 20, L"", ES_READONLY);
  EditUpdate.SetColor(ui::clBtnFace);
  EditUpdate.Tag = 1;
  SpeedButtonUpdate.Create(&PanelMain, 268, 55, 23, 22);
  SpeedButtonUpdate.Tag = 1;
  SpeedButtonUpdate.SetHint(L"更新日時を入力します(Ctrl+U)");

  CheckBoxAttrChg.Create(&PanelMain, 8, 90, 260, 17, L"ファイル属性を変更する(&A)");
  struct AttrRow {
    ui::Label* label;
    const wchar_t* caption;
    ui::Panel* panel;
    ui::CheckBox* check;
    ui::RadioButton* on;
    ui::RadioButton* off;
  };
  AttrRow rows[] = {
      {&LabelReadOnly, L"読み取り専用ファイル(&R)", &PanelReadOnly, &CheckBoxReadOnly, &RadioButtonReadOnlyON,
       &RadioButtonReadOnlyOFF},
      {&LabelHidden, L"隠しファイル(&K)", &PanelHidden, &CheckBoxHidden, &RadioButtonHiddenON,
       &RadioButtonHiddenOFF},
      {&LabelSystem, L"システムファイル(&S)", &PanelSystem, &CheckBoxSystem, &RadioButtonSystemON,
       &RadioButtonSystemOFF},
  };
  int y = 114;
  for (AttrRow& r : rows) {
    r.label->Create(&PanelMain, 18, y + 5, 132, 14, r.caption);
    r.panel->Create(&PanelMain, 150, y, 142, 24);
    r.panel->SetBevels(ui::Bevel::Lowered, ui::Bevel::None);
    r.check->Create(r.panel, 4, 4, 48, 16, L"設定");
    r.on->Create(r.panel, 54, 4, 40, 16, L"ON");
    r.off->Create(r.panel, 96, 4, 44, 16, L"OFF");
    r.on->SetChecked(true);
    r.label->FocusControl = r.check;
    y += 27;
  }
  CheckBoxDateChg.SetChecked(true);

  // Picture, speech, drop zone, auto exit, buttons.
  LabelMsg.Create(this, 0, 290, 58, 14, L"");
  LabelMsg.TextAlignment = ui::Alignment::Center;
  LabelMsg.Layout = ui::TextLayout::Bottom;
  LabelMsg.SetHint(kVornaHint);
  PanelVorna.Create(this, 13, 305, 32, 24);
  PanelVorna.SetBevels(ui::Bevel::None, ui::Bevel::None);
  PanelVorna.SetHint(kVornaHint);
  ImageVorna.Create(&PanelVorna, 0, 0, 32, 24);
  ImageVorna.SetHint(kVornaHint);
  ImageVorna.OnPaint = [this](ui::PaintBox*, HDC dc) { PaintVorna(dc); };
  ImageVorna.OnClick = [this](ui::Control* s) { ImageVornaClick(s); };
  LabelDropZone.Create(this, 0, 331, 58, 13, L"DropZone");
  LabelDropZone.TextAlignment = ui::Alignment::Center;
  ui::Font green = MainFont();
  green.FontColor = ui::clGreen;
  LabelDropZone.SetFont(green);

  CheckBoxAutoExit.Create(this, 62, 294, 200, 17, L"設定後に自動終了(&E)");
  CheckBoxAutoExit.SetChecked(true);
  ButtonSet.Create(this, 62, 318, 75, 25, L"開始");
  ButtonSet.SetDefault(true);
  ButtonSet.SetHint(kSetHintIdle);
  ButtonEnd.Create(this, 141, 318, 75, 25, L"終了");
  ButtonEnd.SetCancel(true);
  ButtonEnd.SetHint(L"プログラムを終了します");
  ButtonEnd.SetShowHint(false);
  ButtonHelp.Create(this, 220, 318, 75, 25, L"ヘルプ(&H)");
  ProgressBar.Create(this, 0, 352, 300, 7);
  ProgressBar.SetRange(0, 100);

  // Glyphs.
  // The buttons keep copies of their glyphs.
  const std::pair<widgets::TCommonButton*, int> glyphs[] = {{&SpeedButtonListView, IDB_GLYPH_LISTVIEW},
                                                            {&SpeedButtonSelect, IDB_GLYPH_SELECT},
                                                            {&SpeedButtonCreate, IDB_GLYPH_DATE},
                                                            {&SpeedButtonUpdate, IDB_GLYPH_DATE}};
  for (const auto& [button, id] : glyphs) {
    comm::TGdiObject<HBITMAP> glyph(LoadArt(id));
    button->SetGlyph(glyph.Get());
  }
  for (widgets::TCommonButton* b : {&SpeedButtonListView, &SpeedButtonSelect, &SpeedButtonCreate, &SpeedButtonUpdate})
    b->SetFlat(true);

  // Popup menu. Ctrl+Z is the window's own key (an edit keeps its own Ctrl+Z): shown, not registered.
  Undo1 = PopupMenu.Add(L"直前の変更を元に戻す(&Z)...\tCtrl+Z", 0, [this](ui::Control* s) { Undo1Click(s); });
  Undo1->Name = L"Undo1";
  Undo1->Enabled = false;
  PopupMenu.AddSeparator();
  PopupMenu.OnPopup = [this](ui::Control*) { UpdateUndoCommand(); };
  About1 = PopupMenu.Add(L"ﾊﾞｰｼﾞｮﾝ情報(&V)...", ui::scCtrl | 'E', [this](ui::Control* s) { About1Click(s); });
  About1->Name = L"About1";
  Exit1 = PopupMenu.Add(L"終了(&X)", VK_ESCAPE, [this](ui::Control* s) { Exit1Click(s); });
  Exit1->Name = L"Exit1";
  SetPopupMenu(&PopupMenu);

  // Animation.
  ImageList.Reset(ImageList_Create(VSS_VORNA_FRAME_WIDTH, VSS_VORNA_FRAME_HEIGHT, ILC_COLOR24 | ILC_MASK, kFrameCount, 0));
  if (comm::TGdiObject<HBITMAP> strip{LoadArt(IDB_VORNA_FRAMES)}) ImageList_AddMasked(ImageList.Get(), strip.Get(), VSS_ART_KEY_COLOR);
  Timer.SetInterval(200);
  Timer.OnTimer = [this](ui::Control* s) { TimerTimer(s); };
  Timer.SetEnabled(true);

  // Events.
  CheckBoxAttrChg.OnClick = [this](ui::Control* s) { CheckBoxAttrChgClick(s); };
  CheckBoxReadOnly.OnClick = [this](ui::Control* s) { CheckBoxReadOnlyClick(s); };
  CheckBoxHidden.OnClick = [this](ui::Control* s) { CheckBoxHiddenClick(s); };
  CheckBoxSystem.OnClick = [this](ui::Control* s) { CheckBoxSystemClick(s); };
  CheckBoxDateChg.OnClick = [this](ui::Control* s) { CheckBoxDateChgClick(s); };
  CheckBoxAutoExit.OnClick = [this](ui::Control* s) { CheckBoxDateChgClick(s); };
  CheckBoxCreate.OnClick = [this](ui::Control* s) { CheckBoxCreateClick(s); };
  CheckBoxUpdate.OnClick = [this](ui::Control* s) { CheckBoxUpdateClick(s); };
  for (ui::RadioButton* r : {&RadioButtonFile, &RadioButtonFolder, &RadioButtonAll})
    r->OnClick = [this](ui::Control* s) { RadioButtonFileClick(s); };
  CheckBoxExtSelect.OnClick = [this](ui::Control* s) { CheckBoxExtSelectClick(s); };
  SpeedButtonCreate.OnClick = [this](ui::Control* s) { SpeedButtonCreateClick(s); };
  SpeedButtonUpdate.OnClick = [this](ui::Control* s) { SpeedButtonCreateClick(s); };
  SpeedButtonListView.OnClick = [this](ui::Control* s) { SpeedButtonListViewClick(s); };
  SpeedButtonSelect.OnClick = [this](ui::Control* s) { SpeedButtonSelectClick(s); };
  ButtonSet.OnClick = [this](ui::Control* s) { ButtonSetClick(s); };
  ButtonEnd.OnClick = [this](ui::Control* s) { ButtonEndClick(s); };
  ButtonHelp.OnClick = [this](ui::Control* s) { ButtonHelpClick(s); };
}

void TVNStampShifter::FormCreate() {
  bool loaded = true;
  try {
    LoadSettings();
  } catch (const ui::Error& e) {
    FPrompts.ShowSettingsError(nullptr, e.Message());
    loaded = false;
  }
  // The enabling rules are applied even after a failed load, so that no control is left in a state
  // its rule forbids.
  (void)loaded;
  CheckBoxDateChgClick(nullptr);
  CheckBoxAttrChgClick(nullptr);
  RadioButtonFileClick(nullptr);
  FAnimFrame = 0;
  FShown = false;
}

// ---- enabling rules ----

void TVNStampShifter::CheckBoxAttrChgClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked();
  for (ui::Control* c : std::initializer_list<ui::Control*>{&LabelReadOnly, &LabelHidden, &LabelSystem})
    c->SetEnabled(on);
  CheckBoxReadOnly.SetEnabled(on);
  CheckBoxReadOnlyClick(nullptr);
  CheckBoxHidden.SetEnabled(on);
  CheckBoxHiddenClick(nullptr);
  CheckBoxSystem.SetEnabled(on);
  CheckBoxSystemClick(nullptr);
}

void TVNStampShifter::CheckBoxReadOnlyClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked() && CheckBoxReadOnly.Checked();
  RadioButtonReadOnlyON.SetEnabled(on);
  RadioButtonReadOnlyOFF.SetEnabled(on);
}

void TVNStampShifter::CheckBoxHiddenClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked() && CheckBoxHidden.Checked();
  RadioButtonHiddenON.SetEnabled(on);
  RadioButtonHiddenOFF.SetEnabled(on);
}

void TVNStampShifter::CheckBoxSystemClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked() && CheckBoxSystem.Checked();
  RadioButtonSystemON.SetEnabled(on);
  RadioButtonSystemOFF.SetEnabled(on);
}

void TVNStampShifter::CheckBoxDateChgClick(ui::Control*) {
  bool on = CheckBoxDateChg.Checked();
  CheckBoxCreate.SetEnabled(on);
  CheckBoxCreateClick(nullptr);
  CheckBoxUpdate.SetEnabled(on);
  CheckBoxUpdateClick(nullptr);
}

void TVNStampShifter::CheckBoxCreateClick(ui::Control*) {
  bool on = CheckBoxDateChg.Checked() && CheckBoxCreate.Checked();
  EditCreate.SetEnabled(on);
  SpeedButtonCreate.SetEnabled(on);
}

void TVNStampShifter::CheckBoxUpdateClick(ui::Control*) {
  bool on = CheckBoxDateChg.Checked() && CheckBoxUpdate.Checked();
  EditUpdate.SetEnabled(on);
  SpeedButtonUpdate.SetEnabled(on);
}

void TVNStampShifter::SetExtEditColor(bool enabled) { EditExtString.SetColor(enabled ? ui::clWindow : ui::clBtnFace); }

void TVNStampShifter::RadioButtonFileClick(ui::Control*) {
  bool on = RadioButtonFile.Checked() || RadioButtonAll.Checked();
  CheckBoxExtSelect.SetEnabled(on);
  EditExtString.SetEnabled(CheckBoxExtSelect.Enabled());
  SetExtEditColor(EditExtString.Enabled());
}

void TVNStampShifter::CheckBoxExtSelectClick(ui::Control*) {
  if (FShown && CheckBoxExtSelect.Checked()) EditExtString.SetFocus();
}

// ---- date display ----

void TVNStampShifter::ShowDateTime(ui::Edit* edit) {
  int side = edit->Tag == 1 ? 1 : 0;
  const uint16_t* p = FDateParts[side];
  // The parts are shown as stored; a part outside its range shows as it is rather than as some
  // other date, and the change run reports it.
  edit->SetText(L"　" + comm::FormatDateTimeParts(p[0], p[1], p[2], p[3], p[4], p[5]));
}

// ---- lock and run states ----

std::vector<ui::Control*> TVNStampShifter::LockedControls() {
  return {&GroupBoxType,      &RadioButtonFile,       &RadioButtonFolder,     &RadioButtonAll,
          &CheckBoxSubFolder, &CheckBoxExtSelect,     &EditExtString,         &SpeedButtonListView,
          &SpeedButtonSelect, &CheckBoxDateChg,       &CheckBoxCreate,        &EditCreate,
          &SpeedButtonCreate, &CheckBoxUpdate,        &EditUpdate,            &SpeedButtonUpdate,
          &CheckBoxAttrChg,   &LabelReadOnly,         &PanelReadOnly,         &CheckBoxReadOnly,
          &RadioButtonReadOnlyON, &RadioButtonReadOnlyOFF, &LabelHidden,      &PanelHidden,
          &CheckBoxHidden,    &RadioButtonHiddenON,   &RadioButtonHiddenOFF,  &LabelSystem,
          &PanelSystem,       &CheckBoxSystem,        &RadioButtonSystemON,   &RadioButtonSystemOFF,
          &CheckBoxAutoExit,  &ButtonEnd,             &LabelDropZone};
}

void TVNStampShifter::SwitchLockedControls(bool enabled) {
  for (ui::Control* c : LockedControls()) c->SetEnabled(enabled);
  SetExtEditColor(enabled);
  if (OnDropAcceptance) OnDropAcceptance(enabled);
  if (OnListControlsEnabled) OnListControlsEnabled(enabled);
}

void TVNStampShifter::ReapplyRules() {
  RadioButtonFileClick(nullptr);
  CheckBoxDateChgClick(nullptr);
  CheckBoxAttrChgClick(nullptr);
}

void TVNStampShifter::SetIdleState(bool idle) {
  HWND focus = GetFocus();
  const bool focusHere = focus && IsChild(Handle(), focus);
  SwitchLockedControls(idle);
  // A run that disables the focused control hands the focus to "中断", so that the keyboard (Enter,
  // Space) can always stop it.
  if (!idle && focusHere && (GetFocus() != focus || !IsWindowEnabled(focus))) ButtonSet.SetFocus();
  if (idle) {
    ReapplyRules();
    ButtonSet.SetCaption(L"開始");
    ButtonSet.SetHint(kSetHintIdle);
  } else {
    ButtonSet.SetCaption(L"中断");
    ButtonSet.SetHint(kSetHintRunning);
  }
  UpdateUndoCommand();
}

void TVNStampShifter::SetControlsEnabled(bool enabled) {
  SwitchLockedControls(enabled);
  ButtonSet.SetEnabled(enabled);
  ButtonHelp.SetEnabled(enabled);
  if (enabled) ReapplyRules();
  SetEnabled(enabled);
  UpdateUndoCommand();
  if (OnListWindowEnabled) OnListWindowEnabled(enabled);
}

// ---- keyboard ----

void TVNStampShifter::DoKeyDown(WORD& key, unsigned shift) {
  // Only the character of the key stroke that ran a shortcut is dropped. A combination that makes no
  // character (Ctrl+Alt+C) must not leave the flag set for the next key.
  FKeyHandled = false;
  if (!(shift & ui::ssCtrl)) return;
  switch (key) {
    case 'L':
      if (OnShowList) {
        SpeedButtonListViewClick(nullptr);
        FKeyHandled = true;
      }
      break;
    // Selecting targets would change the list under a run that walks it: refused while running.
    case 'O':
      if (OnSelectMenu && !Running()) {
        SpeedButtonSelectClick(nullptr);
        FKeyHandled = true;
      }
      break;
    case 'D':
      if (OnSelectFolder && !Running()) {
        D1Click(nullptr);
        FKeyHandled = true;
      }
      break;
    case 'F':
      if (OnSelectFiles && !Running()) {
        F1Click(nullptr);
        FKeyHandled = true;
      }
      break;
    case 'Z':
      // In the extension field Ctrl+Z takes back the typing.
      if (GetFocus() != EditExtString.Handle() || !EditExtString.Handle()) {
        Undo1Click(nullptr);
        FKeyHandled = true;
      }
      break;
    case 'C':
      if (SpeedButtonCreate.Enabled()) {
        SpeedButtonCreateClick(&SpeedButtonCreate);
        FKeyHandled = true;
      }
      break;
    case 'U':
      if (SpeedButtonUpdate.Enabled()) {
        SpeedButtonCreateClick(&SpeedButtonUpdate);
        FKeyHandled = true;
      }
      break;
    default:
      break;
  }
}

void TVNStampShifter::DoKeyPress(wchar_t& key) {
  if (FKeyHandled) {
    key = 0;
    FKeyHandled = false;
  }
}

bool TVNStampShifter::DoCanResize(int&, int&) { return false; }

void TVNStampShifter::DoShow() { FShown = true; }

// ---- animation ----

const wchar_t* TVNStampShifter::SpeechOfFrame(int frame) {
  if (frame >= 3 && frame <= 6) return L"・　　";
  if (frame >= 7 && frame <= 10) return L"・・　";
  if (frame >= 11 && frame <= 14) return L"・・・";
  if (frame >= 15 && frame <= 17) return L"！";
  if (frame >= 18 && frame <= 24) return L"うきゅ？";
  return L"";
}

void TVNStampShifter::PaintVorna(HDC dc) {
  if (!ImageList || FDrawnFrame < 0) return;
  ImageList_Draw(ImageList.Get(), FDrawnFrame, dc, 0, 0, ILD_TRANSPARENT);
}

void TVNStampShifter::TimerTimer(ui::Control*) {
  FDrawnFrame = FAnimFrame;
  ImageVorna.Repaint();
  LabelMsg.SetCaption(SpeechOfFrame(FAnimFrame));
  FAnimFrame += 1;
  if (FAnimFrame >= kFrameCount) FAnimFrame = 0;
}

void TVNStampShifter::ImageVornaClick(ui::Control*) { Timer.SetEnabled(!Timer.Enabled()); }

// ---- the change run ----

void TVNStampShifter::SetTargets(engine::IChangeTargets* targets) {
  engine::IChangeWindow& window = *this;
  engine::IChangeUser& user = *this;
  FChangeRun = targets ? std::make_unique<engine::TChangeRun>(window, *targets, user) : nullptr;
  if (FChangeRun) FChangeRun->SetJournal(FJournal.get());
  UpdateUndoCommand();
}

void TVNStampShifter::ButtonSetClick(ui::Control*) {
  if (FChangeRun) FChangeRun->ButtonSetClick();
  UpdateUndoCommand();
}

void TVNStampShifter::SetJournalPath(const std::wstring& path) {
  FJournalPath = path;
  FJournal = path.empty() ? nullptr : std::make_unique<engine::TJournalWriter>(path);
  if (FChangeRun) FChangeRun->SetJournal(FJournal.get());
  UpdateUndoCommand();
}

bool TVNStampShifter::UndoAvailable() const {
  return FChangeRun && !FJournalPath.empty() && !Running() && IsWindowEnabled(Handle()) &&
         GetFileAttributesW(FJournalPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TVNStampShifter::UpdateUndoCommand() {
  if (Undo1) Undo1->Enabled = UndoAvailable();
}

void TVNStampShifter::Undo1Click(ui::Control*) {
  // Not under a run or a collection.
  if (!FChangeRun || Running() || !IsWindowEnabled(Handle())) return;
  UndoLastRun(*FChangeRun, FJournalPath, Handle(), FPrompts);
  UpdateUndoCommand();
}

engine::TChangeControls TVNStampShifter::Controls() const {
  engine::TChangeControls c;
  c.AttrChg = CheckBoxAttrChg.Checked();
  c.ReadOnly = CheckBoxReadOnly.Checked();
  c.ReadOnlyOn = RadioButtonReadOnlyON.Checked();
  c.Hidden = CheckBoxHidden.Checked();
  c.HiddenOn = RadioButtonHiddenON.Checked();
  c.System = CheckBoxSystem.Checked();
  c.SystemOn = RadioButtonSystemON.Checked();
  c.DateChg = CheckBoxDateChg.Checked();
  c.Create = CheckBoxCreate.Checked();
  c.Update = CheckBoxUpdate.Checked();
  c.AutoExit = CheckBoxAutoExit.Checked();
  return c;
}

engine::TDateParts TVNStampShifter::DateParts() const {
  engine::TDateParts p{};
  for (int side = 0; side < 2; ++side)
    for (int part = 0; part < 6; ++part) p[side][part] = FDateParts[side][part];
  return p;
}

void TVNStampShifter::FocusMainWindow() {
  if (HWND f = GetFocus(); f && IsChild(Handle(), f)) return;
  ::SetFocus(Handle());
}

void TVNStampShifter::ProcessPendingMessages() { ui::Application::Instance().ProcessMessages(); }

void TVNStampShifter::ProcessMessages() {
  if (FRunPace.Due()) ui::Application::Instance().ProcessMessages();
}
void TVNStampShifter::SetBusyCursor(bool busy) { ui::Application::Instance().SetBusyCursor(busy); }
void TVNStampShifter::SetProgressRange(int min, int max) {
  ProgressBar.SetRange(min, max);
  FProgressMin = min;
  FProgressMax = max;
  FRunPace.Reset();
  FBarPace.Reset();
}
void TVNStampShifter::SetProgressPosition(int position) {
  // Its two ends are always shown: the bar reaches its end, and goes back to its start after a run.
  if (position <= FProgressMin || position >= FProgressMax || FBarPace.Due()) ProgressBar.SetPosition(position);
}
void TVNStampShifter::RequestClose() { Close(); }

void TVNStampShifter::BringToFront() {
  if (!Showing()) Show();
  ui::Form::BringToFront();
}

engine::TAnswer TVNStampShifter::Ask(engine::TQuestion question, const std::wstring& text) {
  return FPrompts.Ask(Handle(), question, text);
}
void TVNStampShifter::Inform(const std::wstring& text) { FPrompts.Inform(Handle(), text); }
void TVNStampShifter::ShowError(const std::wstring& text) { FPrompts.ShowError(Handle(), text); }
bool TVNStampShifter::Confirm(const std::wstring& text, bool defaultYes) {
  return FPrompts.Confirm(Handle(), text, defaultYes);
}

// The standard error box of the application, as for an exception that escapes any event handler.
void TVNStampShifter::ReportException() { ui::Application::Instance().HandleException(); }

// ---- commands ----

void TVNStampShifter::SpeedButtonCreateClick(ui::Control* sender) {
  if (!FInputDateTime || !sender) return;
  FDialogTarget = sender->Tag == 1 ? 1 : 0;
  // Just right of this window, level with the button that was pressed.
  POINT top{sender->Left(), sender->Top()};
  if (sender->Parent()) ClientToScreen(sender->Parent()->Handle(), &top);
  FInputDateTime->SetPositionOnScreen(Left() + Width(), top.y);
  FInputDateTime->SetCaption(FDialogCaptions[FDialogTarget]);
  FInputDateTime->CheckBoxTime.SetChecked(FTimeFree[FDialogTarget]);
  FInputDateTime->CheckBoxSecond.SetChecked(FSecondFree[FDialogTarget]);
  if (FInputDateTime->ShowModal() == ui::mrOk) {
    // Both sides: the dialog may have written the value to the other side too.
    ShowDateTime(&EditCreate);
    ShowDateTime(&EditUpdate);
  }
}

void TVNStampShifter::SpeedButtonListViewClick(ui::Control*) {
  if (OnShowList) OnShowList();
}

void TVNStampShifter::SpeedButtonSelectClick(ui::Control*) {
  if (OnSelectMenu) OnSelectMenu();
}

void TVNStampShifter::D1Click(ui::Control*) {
  if (OnSelectFolder) OnSelectFolder();
}

void TVNStampShifter::F1Click(ui::Control*) {
  if (OnSelectFiles) OnSelectFiles();
}

void TVNStampShifter::About1Click(ui::Control*) {
  if (OnAbout) OnAbout();
}

void TVNStampShifter::ButtonEndClick(ui::Control*) { Close(); }
void TVNStampShifter::Exit1Click(ui::Control*) { Close(); }

void TVNStampShifter::ButtonHelpClick(ui::Control*) { ui::Application::Instance().HelpCommand(HELP_FINDER, 0); }

// ---- settings ----

std::vector<TOptionBinding> TVNStampShifter::OptionBindings() {
  using O = settings::TAppOptions;
  // In the order they are applied: of two radio buttons of a group both stored as checked, the later
  // wins, and each check box runs its enabling rule as it is set.
  return {
      TOptionBinding{TRadioBinding{&O::TypeFile, &RadioButtonFile}},
      TOptionBinding{TRadioBinding{&O::TypeFolder, &RadioButtonFolder}},
      TOptionBinding{TRadioBinding{&O::TypeAll, &RadioButtonAll}},
      TOptionBinding{TCheckBinding{&O::SubFolder, &CheckBoxSubFolder}},
      TOptionBinding{TCheckBinding{&O::ExtSelect, &CheckBoxExtSelect}},
      TOptionBinding{TTextBinding{&O::ExtString, &EditExtString}},
      TOptionBinding{TCheckBinding{&O::DateChange, &CheckBoxDateChg}},
      TOptionBinding{TCheckBinding{&O::AttrChange, &CheckBoxAttrChg}},
      TOptionBinding{TCheckBinding{&O::ReadOnly, &CheckBoxReadOnly}},
      TOptionBinding{TRadioBinding{&O::ReadOnlyOn, &RadioButtonReadOnlyON}},
      TOptionBinding{TRadioBinding{&O::ReadOnlyOff, &RadioButtonReadOnlyOFF}},
      TOptionBinding{TCheckBinding{&O::Hidden, &CheckBoxHidden}},
      TOptionBinding{TRadioBinding{&O::HiddenOn, &RadioButtonHiddenON}},
      TOptionBinding{TRadioBinding{&O::HiddenOff, &RadioButtonHiddenOFF}},
      TOptionBinding{TCheckBinding{&O::System, &CheckBoxSystem}},
      TOptionBinding{TRadioBinding{&O::SystemOn, &RadioButtonSystemON}},
      TOptionBinding{TRadioBinding{&O::SystemOff, &RadioButtonSystemOFF}},
      TOptionBinding{TCheckBinding{&O::AutoEnd, &CheckBoxAutoExit}},
      TOptionBinding{TCheckBinding{&O::CreateDateTime, &CheckBoxCreate}},
      TOptionBinding{TCheckBinding{&O::UpdateDateTime, &CheckBoxUpdate}},
  };
}

void TVNStampShifter::LoadSettings() {
  auto& rm = RegManager;
  rm.ResetReadFailure();
  FOptions = settings::LoadApplicationOptions(rm);
  const settings::TAppOptions& o = FOptions;
  if (o.Left) {
    // A position off the screen (a monitor since removed, a smaller screen) is moved onto the nearest
    // monitor.
    SetPositionOnScreen(*o.Left, o.Top);
  } else {
    CenterOnScreen();
  }
  ApplyOptions(OptionBindings(), o);

  for (int side = 0; side < 2; ++side) {
    FTimeFree[side] = o.TimeFree[side];
    FSecondFree[side] = o.SecondFree[side];
  }
  FCreateUpdate = o.CreateUpdate;
  if (o.DateParts[0][0]) {
    for (int side = 0; side < 2; ++side)
      for (int part = 0; part < 6; ++part) FDateParts[side][part] = o.DateParts[side][part].value_or(0);
  } else {
    comm::TDateTimeParts now;
    comm::DecodeDateTime(comm::Now(), now);
    const int parts[6] = {now.Year, now.Month, now.Day, now.Hour, now.Minute, now.Second};
    for (int side = 0; side < 2; ++side)
      for (int part = 0; part < 6; ++part) FDateParts[side][part] = static_cast<uint16_t>(parts[part]);
  }

  FSplashCount = o.SplashCount;

  // A settings file that is there but could not be read (held by another program) keeps what it
  // holds: the defaults read in its place are never written over it, now or at shutdown.
  FSettingsUnread = rm.ReadFailed();
  std::optional<ui::Error> failure;
  if (FSettingsUnread) {
    failure = ui::Error(rm.IniFileName() + L" を読み込めません。\r既定の設定で起動します。このファイルの設定は上書きしません。");
  } else {
    try {
      settings::SaveApplicationOptions(rm, o, settings::TOptionStore::AtStart);
    } catch (const ui::Error& e) {
      failure = e;
    }
  }

  // The edits show the date-times a run would write, whatever became of the file.
  ShowDateTime(&EditCreate);
  ShowDateTime(&EditUpdate);
  CheckBoxCreateClick(nullptr);
  CheckBoxUpdateClick(nullptr);
  if (failure) throw *failure;
}

POINT TVNStampShifter::PlacedPosition() const {
  if (!IsIconic(Handle())) return POINT{Left(), Top()};
  // A minimised window stands far outside the screen; its place is the one it is restored to.
  const RECT restored = ui::RestoredBounds(Handle());
  return POINT{restored.left, restored.top};
}

LRESULT TVNStampShifter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ENDSESSION && wp) {
    // Windows is ending the session: the process may end before this window is destroyed, so the
    // options are saved now. No box can be answered at this point; a failed save stays silent.
    try {
      SaveSettings();
    } catch (const ui::Error&) {
    }
    return 0;
  }
  return ui::Form::WndProc(msg, wp, lp);
}

void TVNStampShifter::SaveSettings() {
  if (FSettingsUnread) return;  // the options shown were not read from the file
  settings::TAppOptions& o = FOptions;
  const POINT placed = PlacedPosition();
  o.Left = placed.x;
  o.Top = placed.y;
  CollectOptions(OptionBindings(), o);
  o.CreateUpdate = FCreateUpdate;
  for (int side = 0; side < 2; ++side) {
    o.TimeFree[side] = FTimeFree[side];
    o.SecondFree[side] = FSecondFree[side];
    for (int part = 0; part < 6; ++part) o.DateParts[side][part] = FDateParts[side][part];
  }
  settings::SaveApplicationOptions(RegManager, o, settings::TOptionStore::AtClose);
}

}  // namespace app
