// Reading a list view as a user sees it: its rows and the text of a cell.
#pragma once
#include "Base.h"
#include <string>

namespace testsupport {

std::wstring ListViewCell(HWND list, int row, int column);
int ListViewRows(HWND list);

}  // namespace testsupport
