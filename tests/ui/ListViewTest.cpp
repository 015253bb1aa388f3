// The owner-data table: texts asked of the owner, by the control and by any program that reads it.
#include "ui/Form.h"
#include "ui/ViewControls.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(ListView, RowsComeFromTheOwnerForTheControlAndForProgramsThatReadIt) {
  ui::Form form;
  form.CreateForm(L"表", WS_POPUP, 0, 400, 200);
  ui::ListView table;
  table.Create(&form, 0, 0, 400, 200, {{L"パス", 200}, {L"作成日時", 120}, {L"数", 60, true}});
  std::vector<int> clicked;
  table.OnCellText = [](int row, int column) {
    if (column == 0) return L"C:\\写真\\" + std::to_wstring(row) + L".jpg";
    return column == 1 ? std::wstring(400, L'x') : std::to_wstring(row * 2);
  };
  table.OnColumnClick = [&](ui::ListView*, int column) { clicked.push_back(column); };
  constexpr int kRows = 100000;
  table.SetRowCount(kRows);
  form.Show();
  EXPECT_EQ(table.RowCount(), kRows);
  EXPECT_EQ(table.ColumnCount(), 3);

  // What a screen reader's proxy reads: every cell of every row, a long text cut to the buffer given.
  auto cell = [&](int row, int column, int room) {
    std::wstring buffer(static_cast<size_t>(room), L'#');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = room;
    const auto n = SendMessageW(table.Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer.substr(0, static_cast<size_t>(n));
  };
  EXPECT_EQ(cell(0, 0, 260), L"C:\\写真\\0.jpg");
  EXPECT_EQ(cell(kRows - 1, 0, 260), L"C:\\写真\\99999.jpg");
  EXPECT_EQ(cell(70000, 2, 260), L"140000");
  EXPECT_EQ(cell(5, 1, 16), std::wstring(15, L'x'));

  // Selection by code and as the control reports it; a new count clears it.
  table.SelectAll();
  EXPECT_EQ(table.SelectedRows().size(), static_cast<size_t>(kRows));
  table.SetRowCount(3);
  EXPECT_TRUE(table.SelectedRows().empty());

  // A click on a column's header reaches the owner with the column.
  NMLISTVIEW click{};
  click.hdr.hwndFrom = table.Handle();
  click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(table.Handle()));
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = 2;
  SendMessageW(form.Handle(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(clicked, std::vector<int>{2});
}
