// The program's message boxes.
#include "app/Prompts.h"
#include "app/HelpTopics.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"

namespace app {

namespace {

ui::MessageDialogOptions Titled(HWND owner, const std::wstring& text) {
  ui::MessageDialogOptions o;
  o.caption = ui::Application::Instance().Title();
  o.text = text;
  o.owner = owner;
  return o;
}

}  // namespace

void TPrompts::Inform(HWND owner, const std::wstring& text) const {
  ui::MessageDialogOptions o = Titled(owner, text);
  o.escapeButton = 0;
  ui::ShowMessageDialog(o);
}

engine::TAnswer TPrompts::Ask(HWND owner, engine::TQuestion question, const std::wstring& text) const {
  ui::MessageDialogOptions o = Titled(owner, text);
  // F1 explains the question, not the window behind it: the undo's own question is explained with the
  // undo, the others (of a run and of an undo alike) together.
  o.helpTopic = question == engine::TQuestion::ChangedSince ? kHelpTopicUndo : kHelpTopicQuestions;
  o.buttons = {engine::kQuestionButtons[0], engine::kQuestionButtons[1], engine::kQuestionButtons[2]};
  o.defaultButton = 0;
  o.escapeButton = -1;
  switch (ui::ShowMessageDialog(o)) {
    case 0: return engine::TAnswer::Yes;
    case 1: return engine::TAnswer::Abort;
    case 2: return engine::TAnswer::YesToAll;
    default: return engine::TAnswer::Closed;
  }
}

bool TPrompts::Confirm(HWND owner, const std::wstring& text, bool defaultYes,
                       const std::vector<std::wstring>& details) const {
  ui::MessageDialogOptions o = Titled(owner, text);
  o.buttons = {L"はい(&Y)", L"いいえ(&N)"};
  o.defaultButton = defaultYes ? 0 : 1;
  o.escapeButton = 1;
  o.details = details;
  return ui::ShowMessageDialog(o) == 0;
}

void TPrompts::ShowError(HWND owner, const std::wstring& text) const {
  ui::MessageDialogOptions o = Titled(owner, text);
  o.icon = ui::MsgIcon::Error;
  o.escapeButton = 0;
  ui::ShowMessageDialog(o);
}

void TPrompts::ShowSettingsError(HWND owner, const std::wstring& text) const {
  ui::MessageDialogOptions o = Titled(owner, text);
  o.caption = L"エラー";
  o.icon = ui::MsgIcon::Error;
  o.escapeButton = 0;
  o.showWhileTerminating = true;
  ui::ShowMessageDialog(o);
}

}  // namespace app
