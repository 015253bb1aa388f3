// The drop target: drops as the shell sends them, its window made anew, the acceptance switch, refusals.
#include "shell/DropDst.h"
#include "support/DialogAnswerer.h"
#include "support/Drop.h"
#include "ui/Application.h"
#include "ui/Error.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "ui/StdControls.h"
#include <gtest/gtest.h>

using testsupport::SendDrop;

namespace {

struct Drop {
  std::vector<std::wstring> files;
  int x = -1, y = -1;
};

class TDropForm : public ui::Form {
 public:
  TDropForm() {
    CreateForm(L"落とし先", WS_CAPTION | WS_SYSMENU, 0, 300, 200);
    Panel.Create(this, 10, 10, 100, 80);
    List.Create(this, 120, 10, 150, 150, false);
    Show();
  }
  ui::Panel Panel;
  ui::ListBox List;
};

class DropDstTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drop.OnFileDrop = [this](shell::TDropDst* sender, const std::vector<std::wstring>& files, int x, int y) {
      EXPECT_EQ(sender, &drop);
      drops.push_back({files, x, y});
      if (onDrop) onDrop();
    };
  }
  static bool Accepts(HWND h) { return (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }
  TDropForm form;
  shell::TDropDst drop{&form};
  std::vector<Drop> drops;
  std::function<void()> onDrop;
};

}  // namespace

TEST_F(DropDstTest, DropGivesEveryNameWholeInTheShellsOrderAndThePoint) {
  drop.SetControl(&form.Panel);
  EXPECT_TRUE(Accepts(form.Panel.Handle()));
  const std::wstring longName = L"C:\\" + std::wstring(150, L'長') + L"\\" + std::wstring(150, L'x') + L".txt";
  const std::vector<std::wstring> files{L"C:\\b.txt", longName, L"C:\\a.txt", L"C:\\フォルダ"};
  EXPECT_TRUE(SendDrop(form.Panel.Handle(), files, POINT{5, 7}));
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].files, files);
  EXPECT_EQ(drops[0].files[1].size(), 308u);  // not cut at 260 characters
  EXPECT_EQ(drops[0].x, 5);
  EXPECT_EQ(drops[0].y, 7);
  // Without a handler a drop is still finished.
  drop.OnFileDrop = nullptr;
  EXPECT_TRUE(SendDrop(form.Panel.Handle(), files));
}

TEST_F(DropDstTest, WindowMadeAnewKeepsAcceptingAndTheSwitchActsAtOnce) {
  for (ui::WinControl* control : {static_cast<ui::WinControl*>(&form.Panel), static_cast<ui::WinControl*>(&form.List)}) {
    SCOPED_TRACE(control == &form.Panel ? "own class" : "standard class");
    drops.clear();
    drop.SetControl(control);
    const HWND old = control->Handle();
    control->RecreateWnd();
    ASSERT_NE(control->Handle(), old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(drop.HookedHandle(), control->Handle());
    EXPECT_TRUE(Accepts(control->Handle()));
    EXPECT_TRUE(SendDrop(control->Handle(), {L"C:\\a.txt"}));
    EXPECT_EQ(drops.size(), 1u);

    drop.SetAcceptDrop(false);
    EXPECT_FALSE(Accepts(control->Handle()));
    // A drop the shell queued before the switch is finished without an event.
    EXPECT_TRUE(SendDrop(control->Handle(), {L"C:\\b.txt"}));
    EXPECT_EQ(drops.size(), 1u);
    drop.SetAcceptDrop(true);
    EXPECT_TRUE(Accepts(control->Handle()));
    EXPECT_TRUE(SendDrop(control->Handle(), {L"C:\\c.txt"}));
    EXPECT_EQ(drops.size(), 2u);
  }
  // The window the target left takes no drops any more.
  EXPECT_FALSE(Accepts(form.Panel.Handle()));
}

TEST_F(DropDstTest, DropsAreRefusedUnderAModalWindowWhileDisabledOrBusyAndErrorsAreShown) {
  drop.SetControl(&form.Panel);
  const HWND panel = form.Panel.Handle();
  {
    // A question of the program's own: the drop arrives while it waits for its answer.
    testsupport::DialogAnswerer answers;
    bool finished = false;
    answers.Responder = [&](const testsupport::ShownDialog&) {
      finished = SendDrop(panel, {L"C:\\a.txt"});
      return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
    };
    ui::MessageDialogOptions o;
    o.caption = L"質問";
    o.text = L"続けますか？";
    o.owner = form.Handle();
    ui::ShowMessageDialog(o);
    EXPECT_TRUE(finished);
  }
  {
    ui::ModalScope systemDialog;  // a file dialog owned by another window
    EXPECT_TRUE(SendDrop(panel, {L"C:\\b.txt"}));
  }
  form.Panel.SetEnabled(false);
  EXPECT_TRUE(SendDrop(panel, {L"C:\\c.txt"}));
  form.Panel.SetEnabled(true);
  EXPECT_TRUE(drops.empty());

  // A drop that arrives while the handler of the last one is still at work is refused.
  onDrop = [&]() {
    onDrop = nullptr;
    EXPECT_TRUE(SendDrop(panel, {L"C:\\inner.txt"}));
  };
  EXPECT_TRUE(SendDrop(panel, {L"C:\\outer.txt"}));
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].files, std::vector<std::wstring>{L"C:\\outer.txt"});

  std::vector<std::wstring> errors;
  ui::Application::Instance().OnException = [&](const std::wstring& m) { errors.push_back(m); };
  onDrop = []() { throw ui::Error(L"追加できません。"); };
  EXPECT_TRUE(SendDrop(panel, {L"C:\\d.txt"}));
  ui::Application::Instance().OnException = nullptr;
  EXPECT_EQ(errors, std::vector<std::wstring>{L"追加できません。"});
  onDrop = nullptr;
  EXPECT_TRUE(SendDrop(panel, {L"C:\\e.txt"}));  // the target keeps working
  EXPECT_EQ(drops.size(), 3u);
}

TEST_F(DropDstTest, FormTargetAndControlsThatGoFirst) {
  shell::TDropDst orphan;
  try {
    orphan.SetTarget(shell::htForm);
    ADD_FAILURE() << "no error without a form";
  } catch (const ui::Error& e) {
    EXPECT_EQ(e.Message(), L"フック先を特定できません。");
  }
  drop.SetControl(&form.Panel);
  drop.SetTarget(shell::htForm);
  EXPECT_EQ(drop.HookedControl(), &form);
  EXPECT_TRUE(Accepts(form.Handle()));
  EXPECT_FALSE(Accepts(form.Panel.Handle()));
  EXPECT_TRUE(SendDrop(form.Handle(), {L"C:\\a.txt"}, POINT{1, 2}));
  EXPECT_EQ(drops.size(), 1u);

  drop.SetTarget(shell::htControl);
  {
    ui::Panel gone;
    gone.Create(&form, 0, 0, 10, 10);
    drop.SetControl(&gone);
    EXPECT_EQ(drop.HookedControl(), &gone);
  }
  EXPECT_EQ(drop.HookedControl(), nullptr);  // let go, nothing to unhook from later
  EXPECT_EQ(drop.Control(), nullptr);
}

TEST(DropDst, DisabledUpToTopSeesEveryWindowFromTheControlToItsTopLevelWindow) {
  TDropForm form;
  ui::Panel inner;
  inner.Create(&form.Panel, 5, 5, 40, 40);
  const HWND top = form.Handle(), panel = form.Panel.Handle(), leaf = inner.Handle();
  EXPECT_FALSE(shell::DisabledUpToTop(leaf));
  EXPECT_FALSE(shell::DisabledUpToTop(top));
  // Each window in turn disabled, the others enabled: the control, its parent, the top-level window.
  for (HWND off : {leaf, panel, top}) {
    EnableWindow(off, FALSE);
    EXPECT_TRUE(shell::DisabledUpToTop(leaf)) << (off == top ? "top" : off == panel ? "parent" : "control");
    EXPECT_EQ(shell::DisabledUpToTop(top), off == top);
    EnableWindow(off, TRUE);
  }
  // A disabled window below the control does not count.
  EnableWindow(leaf, FALSE);
  EXPECT_FALSE(shell::DisabledUpToTop(panel));
  EnableWindow(leaf, TRUE);
}

TEST_F(DropDstTest, DropOntoAControlOfADisabledWindowIsRefusedWithNoModalWindowOverIt) {
  drop.SetControl(&form.Panel);
  ASSERT_FALSE(ui::Application::Instance().ModalOver(form.Handle()));
  EnableWindow(form.Handle(), FALSE);  // disabled by something other than a modal window of the program
  EXPECT_TRUE(SendDrop(form.Panel.Handle(), {L"C:\\a.txt"}));
  EnableWindow(form.Handle(), TRUE);
  EXPECT_TRUE(drops.empty());
  EXPECT_TRUE(SendDrop(form.Panel.Handle(), {L"C:\\b.txt"}));
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].files, std::vector<std::wstring>{L"C:\\b.txt"});
}
