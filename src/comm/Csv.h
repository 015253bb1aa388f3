// Comma-separated text, as spreadsheets read it: the form in which list windows copy and save rows.
#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace comm {

// One field: as it is, or in double quotes with each quote doubled where it holds a comma, a quote,
// a line break or a blank at either end (which a reader would otherwise drop).
std::wstring CsvField(std::wstring_view text);

// Appends one row: the fields joined by commas, then CR LF.
void AppendCsvRow(std::wstring& out, std::span<const std::wstring> fields);

// A table: a head row of the columns' captions, then each row's cells.
std::wstring CsvTableText(int columns, size_t rows, const std::function<std::wstring(int column)>& caption,
                          const std::function<std::wstring(size_t row, int column)>& cell);

// The text as a file's bytes: UTF-8 behind a byte-order mark, by which spreadsheets know the encoding
// (without it they take Japanese for the system's code page).
std::string CsvFileBytes(std::wstring_view text);

}  // namespace comm
