// Comma-separated text.
#include "comm/Csv.h"
#include "comm/Utf8.h"
#include <vector>

namespace comm {

std::wstring CsvField(std::wstring_view text) {
  const bool quoted = text.find_first_of(L",\"\r\n") != std::wstring_view::npos ||
                      (!text.empty() && (text.front() == L' ' || text.back() == L' ' || text.front() == L'\t' ||
                                         text.back() == L'\t'));
  if (!quoted) return std::wstring(text);
  std::wstring out;
  out.reserve(text.size() + 2);
  out += L'"';
  for (wchar_t c : text) {
    if (c == L'"') out += L'"';
    out += c;
  }
  out += L'"';
  return out;
}

void AppendCsvRow(std::wstring& out, std::span<const std::wstring> fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += L',';
    out += CsvField(fields[i]);
  }
  out += L"\r\n";
}

std::wstring CsvTableText(int columns, size_t rows, const std::function<std::wstring(int column)>& caption,
                          const std::function<std::wstring(size_t row, int column)>& cell) {
  std::wstring text;
  std::vector<std::wstring> fields(static_cast<size_t>(columns > 0 ? columns : 0));
  for (int c = 0; c < columns; ++c) fields[static_cast<size_t>(c)] = caption(c);
  AppendCsvRow(text, fields);
  for (size_t r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) fields[static_cast<size_t>(c)] = cell(r, c);
    AppendCsvRow(text, fields);
  }
  return text;
}

std::string CsvFileBytes(std::wstring_view text) { return "\xEF\xBB\xBF" + WideToUtf8(text); }

}  // namespace comm
