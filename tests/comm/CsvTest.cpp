// Comma-separated text: which fields are quoted, and the bytes of a file.
#include "comm/Csv.h"
#include <gtest/gtest.h>
#include <vector>

TEST(Csv, FieldsAreQuotedExactlyWhereAReaderWouldMisreadThem) {
  const struct {
    std::wstring in, out;
  } cases[] = {
      {L"", L""},
      {L"C:\\写真\\a.jpg", L"C:\\写真\\a.jpg"},
      {L"2025/07/14 15:07:58", L"2025/07/14 15:07:58"},
      {L"a,b", L"\"a,b\""},
      {L"say \"hi\"", L"\"say \"\"hi\"\"\""},
      {L"two\r\nlines", L"\"two\r\nlines\""},
      {L"line\n", L"\"line\n\""},
      {L" lead", L"\" lead\""},
      {L"trail ", L"\"trail \""},
      {L"in side", L"in side"},
      {L"\"", L"\"\"\"\""},
  };
  for (const auto& c : cases) EXPECT_EQ(comm::CsvField(c.in), c.out) << c.in;

  std::wstring text;
  const std::vector<std::wstring> row = {L"変更", L"C:\\a,b.txt", L""};
  comm::AppendCsvRow(text, row);
  comm::AppendCsvRow(text, std::vector<std::wstring>{L"x"});
  EXPECT_EQ(text, L"変更,\"C:\\a,b.txt\",\r\nx\r\n");
  EXPECT_EQ(comm::CsvFileBytes(L"変\r\n"), std::string("\xEF\xBB\xBF\xE5\xA4\x89\r\n"));
}
