// What the list windows of rows share (the preview and the run report): the list, its keys, and the
// copy and save of its rows as CSV.
#pragma once
#include "Base.h"
#include "app/Prompts.h"
#include "shell/PlacedFileDialog.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/ViewControls.h"
#include <string>
#include <vector>

namespace app {

class TFormRows : public ui::Form {
 public:
  ui::ListView ListViewRows;
  ui::Button ButtonCopy, ButtonSave, ButtonClose;
  shell::TSaveDialogEx SaveDialogEx;

  // Centres the window on the owner's bounds, kept on the work area.
  void CenterOn(const RECT& ownerBounds);
  // The rows to copy: the selected ones in the order shown, or every row when none is selected, as
  // CSV text with the head line.
  std::wstring CopyText() const;
  // Every row in the order shown, with the head line, as the file is saved.
  std::wstring SaveText() const;

  void ButtonCopyClick(ui::Control* sender);
  void ButtonSaveClick(ui::Control* sender);

 protected:
  // The spacing and the buttons' size, at 96 DPI.
  static constexpr int kMargin = 8, kGap = 6, kButtonWidth = 84, kButtonHeight = 25;

  explicit TFormRows(const TPrompts& prompts) : FPrompts(prompts) {}
  // The parts, each made where the window's tab order wants it (after CreateForm).
  void CreateList(const std::vector<ui::ListView::Column>& columns);
  void CreateCopyAndSave();
  void CreateClose();
  // Places the window's controls for its client size and DPI; runs on every new size and scale once
  // the window is built. The windows add their own controls to the button row.
  virtual void Layout() { PlaceButtonRow(); }
  // The bottom row: copy and save at the left, close at the right. Returns the row's top in pixels.
  int PlaceButtonRow();
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void DoDpiChanged() override;
  // The list's own keys: Ctrl+A selects every row, Ctrl+C copies.
  void DoKeyDown(WORD& key, unsigned shift) override;

  // The columns and cells of the rows in the order shown.
  virtual int ColumnCount() const = 0;
  virtual std::wstring ColumnCaption(int column) const = 0;
  virtual std::wstring CellText(int row, int column) const = 0;

  const TPrompts& FPrompts;

 private:
  std::wstring RowsText(const std::vector<int>& rows) const;
};

}  // namespace app
