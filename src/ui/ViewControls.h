// Wrappers for the controls of a viewer window: tab control with its pages, tree view, rich edit, and
// the table of a list window.
#pragma once
#include "ui/StdControls.h"
#include <commctrl.h>
#include <richedit.h>
#include <functional>
#include <string>
#include <vector>

namespace ui {

// A tab control whose pages are TabPage panels placed on it. Changing the tab, by the user or from
// code, runs OnChange.
class TabControl : public WinControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height);
  void AddTab(const std::wstring& caption);
  int TabCount() const;
  int TabIndex() const;
  void SetTabIndex(int index);
  // The text of a tab, empty for no such tab.
  std::wstring TabText(int index) const;
  // The area below the tabs, in the control's client coordinates: where the pages go.
  RECT PageRect() const;
  NotifyEvent OnChange;

 protected:
  LRESULT NotifyReflect(NMHDR* nm) override;
};

// A page of a tab control: a container drawn with the tab control's own background.
class TabPage : public Panel {
 public:
  void Create(TabControl* parent);
  // The page's tab: the one whose place among the tabs is the page's among the pages.
  int TabIndexOfPage() const;
  AccRole AccessibleRole() const override { return AccRole::PropertyPage; }

 protected:
  void PaintBackground(HDC dc, const RECT& rc) override;
};

// A tree view with lines and buttons; each item carries a number (its data).
class TreeView : public WinControl {
 public:
  void Create(WinControl* parent, int left, int top, int width, int height);
  void SetImageList(HIMAGELIST images);
  HTREEITEM Add(HTREEITEM parent, const std::wstring& text, LPARAM data, int image);
  void Clear();
  HTREEITEM Selected() const;
  void Select(HTREEITEM item);
  LPARAM Data(HTREEITEM item) const;
  std::wstring ItemText(HTREEITEM item) const;
  bool Expanded(HTREEITEM item) const;
  void Expand(HTREEITEM item, bool expand);
  void SetImage(HTREEITEM item, int image);
  // The items in the order the tree shows them when every book is open.
  HTREEITEM First() const;
  HTREEITEM Next(HTREEITEM item) const;  // depth first
  std::function<void(TreeView* sender, HTREEITEM item)> OnChange;                 // selection changed
  std::function<void(TreeView* sender, HTREEITEM item, bool expanded)> OnExpanded;
  std::function<void(TreeView* sender, HTREEITEM item)> OnActivate;               // Enter or double click

 protected:
  LRESULT NotifyReflect(NMHDR* nm) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A table (list view in report mode) whose rows live in its owner: the control holds only their count
// and selection, and asks OnCellText for a cell's text whenever it draws it or anyone (a screen reader
// through the system's accessibility proxy, another program) asks for it. A million rows cost the
// control next to nothing.
class ListView : public WinControl {
 public:
  struct Column {
    std::wstring Caption;
    int Width = 100;  // at 96 DPI
    bool RightAligned = false;
  };
  void Create(WinControl* parent, int left, int top, int width, int height, const std::vector<Column>& columns);
  int ColumnCount() const { return FColumns; }
  // The number of rows; the selection is cleared, the top row shown and every row drawn again.
  void SetRowCount(int rows);
  int RowCount() const;
  // Draws the rows again (their texts changed) without touching the selection or the scroll place.
  void RefreshRows();
  // Marks the column the rows are sorted by (-1: none) with the header's arrow.
  void SetSortMark(int column, bool ascending);
  // The selected rows in order, and selection by code.
  std::vector<int> SelectedRows() const;
  void SelectAll();
  std::function<std::wstring(int row, int column)> OnCellText;
  std::function<void(ListView* sender, int column)> OnColumnClick;

 protected:
  LRESULT NotifyReflect(NMHDR* nm) override;

 private:
  int FColumns = 0;
  std::wstring FCellText;  // the text last handed to the control, kept until it asks again
};

// A read-only rich edit control of the system (Msftedit.dll, or riched20.dll where it is missing)
// that shows formatted text and reports clicks on its links.
class RichEdit : public WinControl {
 public:
  // False when the system has no rich edit control.
  static bool LibraryLoaded();
  void Create(WinControl* parent, int left, int top, int width, int height);
  // Replaces the content with the RTF text.
  void LoadRtf(const std::string& rtf);
  // Sets the face of the whole text, keeping every other character attribute.
  void SetFace(const std::wstring& face, BYTE charset);
  // Character format over a range of character positions (the mask says which members apply).
  void FormatRange(long start, long end, const CHARFORMAT2W& format);
  long TextLength() const;
  std::wstring TextRange(long start, long end) const;
  void SetSelection(long start, long end);
  void ScrollToTop();
  // A click on a run marked as a link (CFE_LINK), with its range.
  std::function<void(RichEdit* sender, long start, long end)> OnLinkClick;

 protected:
  LRESULT NotifyReflect(NMHDR* nm) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace ui
