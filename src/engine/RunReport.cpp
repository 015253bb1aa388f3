// The words, columns and CSV text of a run's report.
#include "engine/RunReport.h"
#include "comm/Csv.h"
#include "comm/ErrorText.h"
#include "comm/FileDateTime.h"
#include "engine/Preview.h"

namespace engine {

std::wstring RunEndingText(TRunEnding ending) {
  switch (ending) {
    case TRunEnding::Ended: return L"最後まで実行されました";
    case TRunEnding::Stopped: return L"途中で中止されました";
    case TRunEnding::Cut: break;
  }
  return L"途中で終わっています（記録がそこで途切れています）";
}

std::wstring OutcomeText(TTargetOutcome outcome) {
  switch (outcome) {
    case TTargetOutcome::Failed: return L"失敗";
    case TTargetOutcome::Missing: return L"見つからない";
    case TTargetOutcome::Changed: return L"変更";
    case TTargetOutcome::Unchanged: return L"変更なし";
    case TTargetOutcome::NoValue: return L"値なし";
  }
  return L"";
}

namespace {
const wchar_t* NoteText(TReportNote note) {
  switch (note) {
    case TReportNote::None: break;
    case TReportNote::AttrUnreadable: return L"属性を読み取れません";
    case TReportNote::AttrWriteFailed: return L"属性を変更できません";
    case TReportNote::AttrNotTaken: return L"属性が指定どおりになりません";
    case TReportNote::TimeUnreadable: return L"日時を読み取れません";
    case TReportNote::TimeWriteFailed: return L"日時を変更できません";
    case TReportNote::Link: return L"リンクそのものを変更できません";
    case TReportNote::Cut: return L"この対象の処理中にプログラムが終了しました";
    case TReportNote::Unknown: return L"結果は記録されていません";
    case TReportNote::NoTakenTime: return L"撮影日時なし";
    case TReportNote::NoNameDate: return L"ファイル名に日時なし";
    case TReportNote::NoCurrentTime: return L"元の日時なし";
    case TReportNote::OutOfRange: return L"範囲外の日時";
  }
  return L"";
}
}  // namespace

std::wstring ReasonText(const TReportEntry& entry) {
  if (entry.Outcome == TTargetOutcome::Changed || entry.Outcome == TTargetOutcome::Unchanged) return L"";
  std::wstring text = NoteText(entry.Note);
  if (entry.Error != ERROR_SUCCESS) {
    std::wstring reason = comm::SystemErrorText(entry.Error);
    if (reason.empty()) reason = L"エラー " + std::to_wstring(entry.Error);
    text += (text.empty() ? L"" : L"：") + reason;
  }
  return text;
}

const wchar_t* ReportColumnCaption(int column) {
  static constexpr const wchar_t* kCaptions[rcColumnCount] = {
      L"結果",     L"パス",           L"理由",       L"作成日時",   L"新しい作成日時",
      L"更新日時", L"新しい更新日時", L"属性", L"新しい属性"};
  return column >= 0 && column < rcColumnCount ? kCaptions[column] : L"";
}

std::wstring ReportCellText(const TReportEntry& e, int column) {
  switch (column) {
    case rcOutcome: return OutcomeText(e.Outcome);
    case rcPath: return e.Path;
    case rcReason: return ReasonText(e);
    case rcCreation: return e.HasBefore ? comm::LocalFileTimeText(e.Before.Creation) : L"";
    case rcNewCreation: return e.HasAfter ? comm::LocalFileTimeText(e.After.Creation) : L"";
    case rcLastWrite: return e.HasBefore ? comm::LocalFileTimeText(e.Before.LastWrite) : L"";
    case rcNewLastWrite: return e.HasAfter ? comm::LocalFileTimeText(e.After.LastWrite) : L"";
    case rcAttr: return e.HasBefore ? AttrText(e.Before.Attr) : L"";
    case rcNewAttr: return e.HasAfter ? AttrText(e.After.Attr) : L"";
    default: return L"";
  }
}

std::wstring ReportCsvText(const TRunReport& report, const std::vector<size_t>& rows) {
  return comm::CsvTableText(
      rcColumnCount, rows.size(), [](int c) { return std::wstring(ReportColumnCaption(c)); },
      [&](size_t row, int c) { return ReportCellText(report.Entries.at(rows[row]), c); });
}

std::wstring ReportCsvText(const TRunReport& report) {
  std::vector<size_t> rows(report.Entries.size());
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = i;
  return ReportCsvText(report, rows);
}

std::vector<size_t> ReportOrder(const TRunReport& report, int filter) {
  // A counting sort by outcome keeps the run's order within each and costs one pass per outcome.
  std::vector<size_t> order;
  for (int outcome = 0; outcome < kOutcomeCount; ++outcome) {
    if (filter >= 0 && outcome != filter) continue;
    for (size_t i = 0; i < report.Entries.size(); ++i)
      if (static_cast<int>(report.Entries[i].Outcome) == outcome) order.push_back(i);
  }
  return order;
}

std::array<int, kOutcomeCount> OutcomeCounts(const TRunReport& report) {
  std::array<int, kOutcomeCount> counts{};
  for (const TReportEntry& e : report.Entries) {
    const size_t k = static_cast<size_t>(e.Outcome);
    if (k < counts.size()) ++counts[k];
  }
  return counts;
}

}  // namespace engine
