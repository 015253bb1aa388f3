// Start-up and shutdown of the program.
#include "app/Startup.h"
#include "app/HelpTopics.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/SelectCommands.h"
#include "help/HelpViewer.h"
#include "settings/AppSettings.h"
#include "settings/IniLocation.h"
#include "targets/CommandLine.h"
#include "targets/FileList.h"
#include "ui/Application.h"

namespace app {

namespace {

// The target list as the change run reads it: the file list window's shown copy.
class TFileListTargets : public engine::IChangeTargets {
 public:
  explicit TFileListTargets(targets::TFormFileList& list) : FList(list) {}
  int Count() const override { return FList.EntryCount(); }
  std::wstring Entry(int index) const override { return FList.Entry(index); }

 private:
  targets::TFormFileList& FList;
};

// The file list window as the application object's commands reach it.
class TListViewLink : public IListView {
 public:
  explicit TListViewLink(targets::TFormFileList& list) : FList(list) {}
  void ShowBeside(const RECT& mainBounds) override {
    // Moved beside the main window; the size stays as the user left it.
    FList.MoveBeside(mainBounds);
    FList.Show();
  }
  void SetListControlsEnabled(bool enabled) override { FList.SetListControlsEnabled(enabled); }
  void SetListEnabled(bool enabled) override { FList.SetEnabled(enabled); }
  void AddPaths(const std::vector<std::wstring>& paths) override { FList.AddPaths(paths); }
  HWND ListHandle() const override { return FList.Handle(); }
  const targets::TTargetList& ListTargets() const override { return FList.TargetList(); }
  bool AskSaveFileName(const std::wstring& initialDir, std::wstring& file) override {
    return FList.AskSaveFileName(initialDir, file);
  }

 private:
  targets::TFormFileList& FList;
};

// The help window's place, kept with the main window's settings.
bool LoadHelpPlacement(settings::TRegManager& rm, help::THelpPlacement& p) {
  if (rm.Filer(L"HelpLeft").ReadString().empty()) return false;
  const int left = rm.Filer(L"HelpLeft").ReadInteger(), top = rm.Filer(L"HelpTop").ReadInteger();
  const int width = rm.Filer(L"HelpWidth").ReadInteger(), height = rm.Filer(L"HelpHeight").ReadInteger();
  if (width <= 0 || height <= 0) return false;
  p.Bounds = RECT{left, top, left + width, top + height};
  p.PaneWidth = rm.Filer(L"HelpPane").ReadInteger();
  return true;
}

void SaveHelpPlacement(settings::TRegManager& rm, const help::THelpPlacement& p) {
  // A settings file that cannot be written is reported when the main window saves the options; the
  // help window's place is not worth a message of its own, and the first failure ends the save.
  (void)(rm.Filer(L"HelpLeft").WriteInteger(p.Bounds.left) && rm.Filer(L"HelpTop").WriteInteger(p.Bounds.top) &&
         rm.Filer(L"HelpWidth").WriteInteger(p.Bounds.right - p.Bounds.left) &&
         rm.Filer(L"HelpHeight").WriteInteger(p.Bounds.bottom - p.Bounds.top) &&
         rm.Filer(L"HelpPane").WriteInteger(p.PaneWidth));
}

}  // namespace

struct TProgram::Windows {
  std::unique_ptr<TShifterApp> App;  // outlives every window
  std::unique_ptr<TVNStampShifter> Main;
  std::unique_ptr<TListViewLink> ListLink;
  std::unique_ptr<targets::TFormFileList> FileList;
  std::unique_ptr<TFileListTargets> Targets;
  std::unique_ptr<TFormInputDateTime> InputDateTime;
  std::unique_ptr<TSelectCommands> Select;
  std::unique_ptr<help::THelpViewer> Help;  // made at the first request for help
};

std::wstring HelpFileForExecutable(const std::wstring& exePath) {
  size_t slash = exePath.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : exePath.substr(0, slash + 1);
  return folder + L"VornaSTS.hlp";
}

TProgram::TProgram(const std::wstring& exePath, const std::vector<std::wstring>& arguments)
    : FWindows(std::make_unique<Windows>()) {
  auto& app = ui::Application::Instance();
  app.SetTitle(kApplicationTitle);
  app.SetHelpFile(HelpFileForExecutable(exePath));

  // The main window loads its settings as it is created: beside a portable copy, in the user's own
  // folder for an installed one (or a portable one whose folder takes nothing).
  Windows& w = *FWindows;
  w.App = std::make_unique<TShifterApp>(settings::IniLocationForProgram(exePath).Path);
  TShifterApp& program = *w.App;
  w.Main = std::make_unique<TVNStampShifter>(program);
  app.SetMainForm(w.Main.get());

  // The file list window; the command line is collected by the settings just loaded.
  w.FileList = std::make_unique<targets::TFormFileList>(*w.Main);
  targets::TFormFileList* list = w.FileList.get();
  TVNStampShifter* main = w.Main.get();
  w.Targets = std::make_unique<TFileListTargets>(*list);
  program.SetTargets(w.Targets.get());
  // Every run keeps its journal for the undo command in the user's own folder, whichever copy runs.
  program.SetJournalPath(settings::UserFilePath(engine::kJournalName));
  list->SetCommands(&program);
  w.ListLink = std::make_unique<TListViewLink>(*list);
  program.AttachListView(w.ListLink.get());
  // The selection commands and the picture's drop target hand their paths to the list.
  w.Select = std::make_unique<TSelectCommands>(*main, [&program](const std::vector<std::wstring>& paths) {
    program.AddPaths(paths);
  });
  list->TakeCommandLine(arguments);

  // The date-time dialog, hidden until a date button asks for it.
  w.InputDateTime = std::make_unique<TFormInputDateTime>(program.DateState, main->Handle());
  main->FInputDateTime = w.InputDateTime.get();
  w.InputDateTime->Prompter = &program.Prompts();

  // Help: one help window for the whole program, made when it is first asked for; F1 in a window
  // opens that window's topic.
  settings::AddHelpWindowItems(main->RegManager.RegItems());
  app.OnHelp = [this](const std::wstring& file, const std::wstring& topic) {
    Windows& parts = *FWindows;
    if (!parts.Help) {
      parts.Help = std::make_unique<help::THelpViewer>();
      settings::TRegManager& rm = parts.App->RegManager;
      parts.Help->OnLoadPlacement = [&rm](help::THelpPlacement& p) { return LoadHelpPlacement(rm, p); };
      parts.Help->OnSavePlacement = [&rm](const help::THelpPlacement& p) { SaveHelpPlacement(rm, p); };
    }
    return parts.Help->ShowHelp(file, topic);
  };
  main->HelpTopic = kHelpTopicMain;
  list->HelpTopic = kHelpTopicFileList;
  w.InputDateTime->HelpTopic = kHelpTopicDateTime;

  // The file list window waits, hidden, at the main window's right edge.
  list->PlaceBeside(main->BoundsRect());
}

TProgram::~TProgram() {
  Windows& w = *FWindows;
  // The help window goes first: it keeps its place in the main window's settings.
  ui::Application::Instance().OnHelp = nullptr;
  w.Help.reset();
  w.Select.reset();
  w.App->SetTargets(nullptr);
  w.App->AttachListView(nullptr);
  if (w.Main) w.Main->FInputDateTime = nullptr;
  w.InputDateTime.reset();
  w.ListLink.reset();
  w.FileList.reset();
  w.Targets.reset();
  // The main window saves the settings as it goes.
  w.Main.reset();
  ui::Application::Instance().SetMainForm(nullptr);
  w.App.reset();
}

TVNStampShifter& TProgram::MainWindow() { return *FWindows->Main; }
targets::TFormFileList& TProgram::FileListWindow() { return *FWindows->FileList; }
help::THelpViewer* TProgram::HelpWindow() { return FWindows->Help.get(); }

int TProgram::Run() {
  FWindows->Main->Show();
  ui::Application::Instance().Run();
  return 0;
}

}  // namespace app
