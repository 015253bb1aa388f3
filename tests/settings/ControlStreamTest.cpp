// Storing controls through the settings and rebuilding them, with a stand-in control class.
#include "settings/ControlStream.h"
#include "settings/RegMng.h"
#include "settings/SettingsTestKit.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <set>

using namespace settings;
using namespace settingstest;

namespace {

class TTestForm;

// A control of the stand-in form: names must be unique within the form, as the real owner demands.
class TTestControl : public TStreamableControl {
 public:
  TTestControl(TTestForm* owner, std::wstring className, TTestControl* parent)
      : FOwner(owner), FClass(std::move(className)), FParent(parent) {}
  std::wstring ClassName() const override { return FClass; }
  std::wstring Name() const override { return FName; }
  bool SetName(const std::wstring& name) override;
  bool IsForm() const override { return FClass == L"TForm"; }
  std::vector<TControlProperty> Properties() const override { return Props; }
  bool SetProperty(const TControlProperty& p) override {
    static const std::set<std::wstring> known = {L"Caption", L"Left", L"Color"};
    if (!known.count(p.Name)) return false;
    auto it = std::find_if(Props.begin(), Props.end(), [&](const TControlProperty& q) { return q.Name == p.Name; });
    if (it != Props.end()) it->Value = p.Value;
    else Props.push_back(p);
    return true;
  }
  std::vector<TStreamableControl*> Children() const override { return {FChildren.begin(), FChildren.end()}; }
  TStreamableControl* Parent() const override { return FParent; }
  TStreamableControl* CreateControl(const std::wstring& className, TStreamableControl* parent) override;
  void Free() override;

  std::vector<TControlProperty> Props;
  TTestForm* FOwner;
  std::wstring FClass, FName;
  TTestControl* FParent;
  std::vector<TTestControl*> FChildren;
};

// The owner of every control; it makes only the classes it knows.
class TTestForm {
 public:
  TTestForm() { Root = Make(L"TForm", nullptr, L"Form1"); }
  TTestControl* Make(const std::wstring& className, TTestControl* parent, const std::wstring& name = L"") {
    if (!Creatable.count(className)) return nullptr;
    Controls.push_back(std::make_unique<TTestControl>(this, className, parent));
    TTestControl* made = Controls.back().get();
    if (parent) parent->FChildren.push_back(made);
    made->SetName(name);
    return made;
  }
  void Destroy(TTestControl* c) {
    for (TTestControl* child : std::vector<TTestControl*>(c->FChildren)) Destroy(child);
    if (c->FParent) std::erase(c->FParent->FChildren, c);
    std::erase_if(Controls, [&](const auto& p) { return p.get() == c; });
  }
  TTestControl* Find(const std::wstring& name) {
    for (auto& c : Controls)
      if (c->FName == name) return c.get();
    return nullptr;
  }

  std::set<std::wstring> Creatable = {L"TForm", L"TPanel", L"TButton", L"TMystery"};
  std::vector<std::unique_ptr<TTestControl>> Controls;
  TTestControl* Root;
};

bool TTestControl::SetName(const std::wstring& name) {
  if (!name.empty() && FOwner->Find(name) && FOwner->Find(name) != this) return false;
  FName = name;
  return true;
}
TStreamableControl* TTestControl::CreateControl(const std::wstring& className, TStreamableControl* parent) {
  return FOwner->Make(className, static_cast<TTestControl*>(parent));
}
void TTestControl::Free() { FOwner->Destroy(this); }

class ControlStore : public testing::Test {
 protected:
  ControlStore() {
    FManager.SetRegType(rtIni);
    FManager.SetIniFileName(FTree.Path(L"controls.ini"));
    FManager.RegItems().Add(L"Ctl", L"Controls", L"Panel");
    // Panel1 { Button1, Panel2 { Button2 } }
    FPanel = FForm.Make(L"TPanel", FForm.Root, L"Panel1");
    FPanel->Props = {{L"Caption", L"設定"}, {L"Color", L"clBtnFace"}};
    TTestControl* button = FForm.Make(L"TButton", FPanel, L"Button1");
    button->Props = {{L"Caption", L"OK"}, {L"Left", L"8"}};
    FForm.Make(L"TButton", FForm.Make(L"TPanel", FPanel, L"Panel2"), L"Button2");
  }
  // Reads into FPanel and tells whether the old tree survived with all its names.
  bool ReadKeepsOldTree() {
    size_t count = FForm.Controls.size();
    TStreamableControl* control = FPanel;
    FManager.Filer(L"Ctl").ReadControl(control);
    return control == FPanel && FForm.Controls.size() == count && FForm.Find(L"Panel1") == FPanel &&
           FForm.Find(L"Button1") && FForm.Find(L"Panel2") && FForm.Find(L"Button2") &&
           FForm.Find(L"Button2")->FParent == FForm.Find(L"Panel2");
  }

  testsupport::TempTree FTree;
  TRegManager FManager;
  TTestForm FForm;
  TTestControl* FPanel;
};

}  // namespace

TEST_F(ControlStore, StoredControlReadsBackWithPropertiesChildrenAndNames) {
  FManager.Filer(L"Ctl").WriteComponent(FPanel);
  const std::vector<uint8_t> stored = SaveControl(*FPanel);
  FPanel->SetProperty({L"Caption", L"changed"});
  FForm.Find(L"Button1")->Free();

  TStreamableControl* control = FPanel;
  FManager.Filer(L"Ctl").ReadControl(control);
  ASSERT_NE(control, FPanel);
  EXPECT_EQ(SaveControl(*control), stored);  // same classes, names, properties and children as written
  EXPECT_EQ(control->Parent(), FForm.Root);
  EXPECT_EQ(FForm.Find(L"Panel1"), control);
  EXPECT_EQ(FForm.Controls.size(), 5u);  // the form and the four rebuilt controls: the old ones are gone
}

TEST_F(ControlStore, FormsAreNotStoredAndAnEmptyStoreChangesNothing) {
  FManager.Filer(L"Ctl").WriteComponent(FForm.Root);
  EXPECT_FALSE(Exists(FManager.IniFileName()));
  EXPECT_TRUE(ReadKeepsOldTree());
}

TEST_F(ControlStore, FailedReadKeepsOldControlWithItsNames) {
  // Each case stores Panel1 with one extra piece, takes the piece away again and reads the store back.
  TTestControl* panel2 = FForm.Find(L"Panel2");
  auto storeWith = [&](TTestControl* extra) {
    FManager.Filer(L"Ctl").WriteComponent(FPanel);
    if (extra) extra->Free();
  };
  // A class the form cannot make, deep in the tree.
  storeWith(FForm.Make(L"TMystery", panel2, L"Mystery"));
  FForm.Creatable.erase(L"TMystery");
  EXPECT_TRUE(ReadKeepsOldTree());
  // A property the control does not have.
  FForm.Find(L"Button2")->Props.push_back({L"Unknown", L"1"});
  storeWith(nullptr);
  FForm.Find(L"Button2")->Props.clear();
  EXPECT_TRUE(ReadKeepsOldTree());
  // A stored name that a control outside the replaced tree holds by now.
  storeWith(FForm.Make(L"TButton", panel2, L"Taken"));
  FForm.Make(L"TButton", FForm.Root, L"Taken");
  EXPECT_TRUE(ReadKeepsOldTree());
  // Bytes that are not a stored control at all.
  WriteBytes(FManager.IniFileName(), "[Controls]\r\nPanel_c=1\r\nPanel_d0=5653433100FFFF\r\n");
  EXPECT_TRUE(ReadKeepsOldTree());
}

TEST(ControlBytes, TruncatedTrailingOrTooDeepDataIsRefused) {
  TTestForm form;
  TTestControl* node = form.Root;
  for (int depth = 2; depth <= kMaxControlDepth; ++depth) node = form.Make(L"TPanel", node, L"P" + std::to_wstring(depth));
  node->Props = {{L"Caption", L"最後"}};
  std::vector<uint8_t> bytes = SaveControl(*form.Root);
  ASSERT_TRUE(LoadControlData(bytes));
  for (size_t n = 0; n < bytes.size(); ++n)
    ASSERT_FALSE(LoadControlData(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n)))) << n;
  bytes.push_back(0);
  EXPECT_FALSE(LoadControlData(bytes));

  form.Make(L"TPanel", node, L"OneTooDeep");
  EXPECT_FALSE(LoadControlData(SaveControl(*form.Root)));
}
