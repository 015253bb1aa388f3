// Every window of the program as a screen reader finds it: each control a user acts on or reads
// has a name, and the fields are named by the texts beside them.
#include "app/InputDateTime.h"
#include "app/Main.h"
#include "app/PreviewWindow.h"
#include "app/Prompts.h"
#include "app/ReportWindow.h"
#include "app/Startup.h"
#include "help/HelpViewer.h"
#include "shell/Version.h"
#include "support/Accessible.h"
#include "support/BuiltFiles.h"
#include "support/TempTree.h"
#include "targets/FileList.h"
#include "targets/Splash.h"
#include "ui/Accessible.h"
#include "ui/Application.h"
#include <gtest/gtest.h>
#include <algorithm>

using testsupport::UnnamedControls;

namespace {

class NoTargets : public engine::IChangeTargets {
 public:
  int Count() const override { return 0; }
  std::wstring Entry(int) const override { return {}; }
};

std::string Joined(const std::vector<std::wstring>& lines) {
  std::string out;
  for (const auto& l : lines) out += std::string(l.begin(), l.end()) + "\n";
  return out;
}

void ExpectAllNamed(HWND hwnd, const char* window) {
  const auto unnamed = UnnamedControls(hwnd);
  EXPECT_TRUE(unnamed.empty()) << window << ":\n" << Joined(unnamed);
  // A window of its own is what a reader announces first, caption or none.
  if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) {
    const auto nodes = testsupport::WalkAccessible(hwnd);
    ASSERT_FALSE(nodes.empty()) << window;
    EXPECT_FALSE(nodes[0].Name.empty()) << window;
  }
}

}  // namespace

TEST(AccessibleWindows, EveryControlOfEveryWindowHasAName) {
  testsupport::TempTree tree;
  ASSERT_TRUE(CopyFileW(testsupport::BuiltHelpFile().c_str(), tree.Path(L"VornaSTS.hlp").c_str(), FALSE));
  {
    app::TProgram program(tree.Path(L"VornaStampShifter.exe"), {});
    auto& main = program.MainWindow();
    main.Show();
    ExpectAllNamed(main.Handle(), "main window");
    EXPECT_EQ(ui::AccessibleNameOf(main.EditCreate), L"作成日時(C)");
    EXPECT_EQ(ui::AccessibleNameOf(main.EditUpdate), L"更新日時(U)");
    EXPECT_EQ(ui::AccessibleNameOf(main.EditExtString), L"指定拡張子のみ対象にする(X)");
    EXPECT_EQ(ui::AccessibleNameOf(main.SpeedButtonSelect), L"ファイル／フォルダ選択ダイアログ表示(Ctrl+O)");
    // The ON / OFF buttons of an attribute are read within a group named by the attribute's label.
    EXPECT_EQ(ui::AccessibleNameOf(main.PanelReadOnly), ui::PlainCaption(main.LabelReadOnly.Caption()));
    EXPECT_EQ(ui::AccessibleRoleOf(main.PanelReadOnly), ui::AccRole::Grouping);
    EXPECT_EQ(ui::AccessibleRoleOf(main.PanelMain), ui::AccRole::Default);

    auto& list = program.FileListWindow();
    list.Show();
    ExpectAllNamed(list.Handle(), "file list");

    main.ButtonHelp.Click();
    help::THelpViewer* viewer = program.HelpWindow();
    ASSERT_NE(viewer, nullptr);
    // The pages follow the tabs: the viewer's walk reaches every page's controls, named.
    for (int tab : {help::THelpViewer::tabContents, help::THelpViewer::tabIndex, help::THelpViewer::tabSearch}) {
      viewer->SelectTab(tab);
      ExpectAllNamed(viewer->Handle(), "help viewer");
    }
    std::vector<std::wstring> pageFields;
    for (const auto& n : testsupport::WalkAccessible(viewer->Handle()))
      if (n.Window == viewer->EditIndex.Handle() || n.Window == viewer->EditSearch.Handle() ||
          (n.Window == viewer->PageSearch.Handle() && n.Child == CHILDID_SELF))
        pageFields.push_back(n.Name);
    EXPECT_EQ(pageFields, (std::vector<std::wstring>{L"キーワードを入力してください(W):", L"検索",
                                                     L"検索する語句を入力してください(W):"}));
    // The topic reads as a text whose value is what the window shows.
    comm::TComPtr<IAccessible> topic;
    *&topic = testsupport::ClientObject(viewer->RichEditTopic.Handle());
    ASSERT_TRUE(topic);
    VARIANT self = testsupport::ChildVariant(CHILDID_SELF), role;
    ASSERT_EQ(topic->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
    BSTR text = nullptr;
    ASSERT_EQ(topic->get_accValue(self, &text), S_OK);
    const long shown = viewer->RichEditTopic.TextLength();
    ASSERT_GT(shown, 0);
    EXPECT_EQ(std::wstring(text, SysStringLen(text)).substr(0, 40), viewer->RichEditTopic.TextRange(0, std::min(shown, 40L)));
    SysFreeString(text);
    viewer->Close();
    list.Close();
  }
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ui::Application::Instance().ResetTerminated();

  app::TDateEntryState state;
  app::TFormInputDateTime date{state};
  date.Show();
  ExpectAllNamed(date.Handle(), "date dialog");
  EXPECT_EQ(ui::AccessibleNameOf(date.CommonSpinEditYear), L"年");
  EXPECT_EQ(ui::AccessibleNameOf(date.CommonSpinEditSecond), L"秒");
  EXPECT_EQ(ui::AccessibleNameOf(date.ComboBoxRule), L"日時の決め方(K):");
  // The time field that a rule with an offset shows beside the rule.
  date.ComboBoxRule.SetItemIndex(static_cast<int>(engine::TTimeSource::Shift));
  date.ComboBoxRuleChange(&date.ComboBoxRule);
  ASSERT_TRUE(date.EditOffset.Visible());
  ExpectAllNamed(date.Handle(), "date dialog with a time field");

  shell::TFormVersion about;
  about.Show();
  ExpectAllNamed(about.Handle(), "about box");

  targets::TFormSplash splash([] {});
  splash.Show();
  ExpectAllNamed(splash.Handle(), "splash");

  NoTargets targets;
  engine::ChangePlan plan;
  app::TPrompts prompts;
  app::TFormPreview preview(nullptr, targets, plan, prompts);
  preview.Show();
  ExpectAllNamed(preview.Handle(), "preview");
  engine::TRunReport report;
  app::TFormReport window(nullptr, report, prompts);
  window.Show();
  ExpectAllNamed(window.Handle(), "report");
}
