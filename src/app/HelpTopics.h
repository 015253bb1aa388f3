// The help topics of the program's windows: the names under which the help file (help/topics) keeps
// them. F1 in a window opens its topic.
#pragma once

namespace app {

constexpr const wchar_t* kHelpTopicMain = L"main-window";
constexpr const wchar_t* kHelpTopicDateTime = L"datetime-dialog";
constexpr const wchar_t* kHelpTopicFileList = L"file-list";
constexpr const wchar_t* kHelpTopicAbout = L"about-dialog";
// The questions of a run (and of an undo) about a target that is missing or cannot be changed.
constexpr const wchar_t* kHelpTopicQuestions = L"questions";
// The undo, with its question about a target changed since the run.
constexpr const wchar_t* kHelpTopicUndo = L"undo";
// The preview of a run.
constexpr const wchar_t* kHelpTopicPreview = L"preview";
// The report of the last run or undo, with its outcomes.
constexpr const wchar_t* kHelpTopicReport = L"run-report";

}  // namespace app
