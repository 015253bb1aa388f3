// The picture buttons, the spin pair and the gauge as a screen reader finds them.
#include "support/Accessible.h"
#include "support/DialogAnswerer.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/CommonButton.h"
#include "widgets/CommonSpin.h"
#include "widgets/GradGauge.h"
#include <gtest/gtest.h>

using namespace widgets;
using testsupport::ClientObject;
using testsupport::PumpFor;
using testsupport::WalkAccessible;

namespace {

class TButtonsForm : public ui::Form {
 public:
  TButtonsForm() {
    CreateForm(L"ボタン", WS_CAPTION | WS_SYSMENU, 0, 240, 120);
    LabelYear.Create(this, 8, 10, 20, 14, L"年");
    Year.Create(this, 30, 8, 60, 21);
    Year.MinValue = 1980, Year.MaxValue = 2100;
    Year.SetValue(2000);
    LabelYear.FocusControl = &Year;
    Save.Create(this, 100, 8, 23, 22);
    Save.SetHint(L"一覧を保存します(Ctrl+S)|");
    Check.Create(this, 130, 8, 23, 22);
    Check.SetStyle(clsCheckButton);
    Check.SetCaption(L"固定");
    Gauge.Create(this, 8, 60, 200, 20);
    Gauge.SetPosition(40);
    Gauge.AccessibleName = L"取得";
    Show();
  }
  ui::Label LabelYear;
  TCommonSpinEdit Year;
  TCommonButton Save, Check;
  TGradationGauge Gauge;
};

const testsupport::TAccessibleNode* Find(const std::vector<testsupport::TAccessibleNode>& nodes,
                                         const std::wstring& name, LONG role) {
  for (const auto& n : nodes)
    if (n.Name == name && n.Role == role) return &n;
  return nullptr;
}

}  // namespace

TEST(AccessibleWidgets, PictureButtonsSpinAndGaugeReadAsWhatTheyAre) {
  TButtonsForm f;
  const auto nodes = WalkAccessible(f.Handle());
  EXPECT_TRUE(testsupport::UnnamedControls(f.Handle()).empty());

  ASSERT_TRUE(Find(nodes, L"一覧を保存します(Ctrl+S)", ROLE_SYSTEM_PUSHBUTTON));
  const auto* check = Find(nodes, L"固定", ROLE_SYSTEM_CHECKBUTTON);
  ASSERT_TRUE(check);
  EXPECT_FALSE(check->State & STATE_SYSTEM_CHECKED);
  const auto* gauge = Find(nodes, L"取得", ROLE_SYSTEM_PROGRESSBAR);
  ASSERT_TRUE(gauge);
  EXPECT_EQ(gauge->Value, f.Gauge.PercentText());

  // The year field, its spin pair and the pair's buttons all carry the label's name or their own.
  const auto* year = Find(nodes, L"年", ROLE_SYSTEM_TEXT);
  ASSERT_TRUE(year);
  EXPECT_EQ(year->Value, L"2000");
  EXPECT_EQ(year->Window, f.Year.Handle());
  const auto pair = WalkAccessible(f.Year.SpinButton().Handle());
  ASSERT_EQ(pair.size(), 3u);
  EXPECT_EQ(pair[0].Name, L"年");
  EXPECT_EQ(pair[0].Role, ROLE_SYSTEM_SPINBUTTON);
  EXPECT_EQ(pair[1].Name, L"増やす");
  EXPECT_EQ(pair[2].Name, L"減らす");
  EXPECT_EQ(pair[1].Role, ROLE_SYSTEM_PUSHBUTTON);

  // Pressing "増やす" for the reader steps the year once; the check button's state follows a click.
  comm::TComPtr<IAccessible> spin;
  *&spin = ClientObject(f.Year.SpinButton().Handle());
  ASSERT_TRUE(spin);
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = 1;
  ASSERT_EQ(spin->accDoDefaultAction(id), S_OK);
  PumpFor(50);
  EXPECT_EQ(f.Year.Value(), 2001);
  f.Check.Click();
  const auto after = WalkAccessible(f.Handle());
  check = Find(after, L"固定", ROLE_SYSTEM_CHECKBUTTON);
  ASSERT_TRUE(check);
  EXPECT_TRUE(check->State & STATE_SYSTEM_CHECKED);

  // A button with neither caption nor hint is what the walk reports.
  f.Save.SetHint(L"");
  const auto unnamed = testsupport::UnnamedControls(f.Handle());
  EXPECT_EQ(unnamed.size(), 1u);
}
