// The main window's layout: its controls, their places, captions, hints, glyphs, menu and events.
#include "app/Main.h"
#include "resource.h"
#include "ui/Image.h"

namespace app {

namespace {

constexpr int kFrameCount = VSS_VORNA_FRAME_COUNT;

const wchar_t* const kExtHint =
    L"「txt;bmp」などのように「;」（セミコロン）で区切ることで複数指定できます。\r"
    L"(大文字／小文字の区別、拡張子の直前のピリオドは不要です)|";
const wchar_t* const kVornaHint = L"エクスプローラからプレーリードッグの絵にドロップできます";

ui::Font MainFont() { return ui::Font{L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET, 0, ui::clWindowText}; }
ui::Font FixedFont() { return ui::Font{L"ＭＳ ゴシック", -12, SHIFTJIS_CHARSET, 0, ui::clWindowText}; }

}  // namespace

const wchar_t* const TVNStampShifter::kSetHintIdle = L"日時／属性の変更を開始します";
const wchar_t* const TVNStampShifter::kSetHintRunning = L"日時／属性の変更を中断します";

void TVNStampShifter::LoadFrames() {
  // The frames as drawn for the window's scale: their size is the strip's height and its width shared.
  ImageList.Reset();
  const comm::TGdiObject<HBITMAP> strip{ui::LoadArtBitmap(IDB_VORNA_FRAMES, Dpi())};
  BITMAP bm{};
  if (!strip || !GetObjectW(strip.Get(), sizeof(bm), &bm)) return;
  ImageList.Reset(ImageList_Create(bm.bmWidth / kFrameCount, bm.bmHeight, ILC_COLOR24 | ILC_MASK, kFrameCount, 0));
  ImageList_AddMasked(ImageList.Get(), strip.Get(), VSS_ART_KEY_COLOR);
}

void TVNStampShifter::DoDpiChanged() { LoadFrames(); }

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
  green.Color = ui::clGreen;
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
  ProgressBar.AccessibleName = L"日時／属性の変更";
  ProgressBar.SetRange(0, 100);

  // Glyphs.
  const std::pair<widgets::TCommonButton*, int> glyphs[] = {{&SpeedButtonListView, IDB_GLYPH_LISTVIEW},
                                                            {&SpeedButtonSelect, IDB_GLYPH_SELECT},
                                                            {&SpeedButtonCreate, IDB_GLYPH_DATE},
                                                            {&SpeedButtonUpdate, IDB_GLYPH_DATE}};
  for (const auto& [button, id] : glyphs) button->SetGlyphArt(id);
  for (widgets::TCommonButton* b : {&SpeedButtonListView, &SpeedButtonSelect, &SpeedButtonCreate, &SpeedButtonUpdate})
    b->SetFlat(true);

  // Popup menu. Ctrl+Z is the window's own key (an edit keeps its own Ctrl+Z): shown, not registered.
  Preview1 = PopupMenu.Add(L"変更内容の確認(&P)...", ui::scCtrl | 'P', [this](ui::Control* s) { Preview1Click(s); });
  Preview1->Name = L"Preview1";
  Undo1 = PopupMenu.Add(L"直前の変更を元に戻す(&Z)...\tCtrl+Z", 0, [this](ui::Control* s) { Undo1Click(s); });
  Undo1->Name = L"Undo1";
  Undo1->Enabled = false;
  Report1 = PopupMenu.Add(L"直前の実行結果(&R)...", ui::scCtrl | 'R', [this](ui::Control* s) { Report1Click(s); });
  Report1->Name = L"Report1";
  PopupMenu.AddSeparator();
  PopupMenu.OnPopup = [this](ui::Control*) { UpdateUndoCommand(); };
  About1 = PopupMenu.Add(L"ﾊﾞｰｼﾞｮﾝ情報(&V)...", ui::scCtrl | 'E', [this](ui::Control* s) { About1Click(s); });
  About1->Name = L"About1";
  Exit1 = PopupMenu.Add(L"終了(&X)", VK_ESCAPE, [this](ui::Control* s) { Exit1Click(s); });
  Exit1->Name = L"Exit1";
  SetPopupMenu(&PopupMenu);

  // Animation.
  LoadFrames();
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

}  // namespace app
