// The console's side of the companion.
#include "cli/Console.h"
#include "comm/Clock.h"
#include "comm/ErrorText.h"
#include "comm/FileDateTime.h"
#include "comm/Utf8.h"
#include "engine/Preview.h"
#include "engine/TakenTimeFile.h"
#include <atomic>
#include <cwctype>

namespace cli {
namespace {

std::atomic<bool> gStop{false};

BOOL WINAPI StopHandler(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      gStop = true;
      // Ctrl+C and Ctrl+Break are taken: the run stops at its next target and the program ends by itself,
      // with its journal complete. A closing console ends the process when the handler returns.
      return TRUE;
    default: return FALSE;
  }
}

// The collection's splash on a console: nothing shown, the stop request passed on.
class TStopSplash : public targets::ICollectionSplash {
 public:
  explicit TStopSplash(std::function<void()> requestStop) : FRequestStop(std::move(requestStop)) {}
  void Appear() override {}
  void Counting() override { Check(); }
  void Start(int) override { Check(); }
  void Progress(int, const std::wstring&) override { Check(); }

 private:
  void Check() {
    if (StopRequested() && !FPassed) {
      FPassed = true;
      FRequestStop();
    }
  }
  std::function<void()> FRequestStop;
  bool FPassed = false;
};

}  // namespace

// ---- text out ----

TTextOut::TTextOut(HANDLE handle) : FHandle(handle), FLastFlush(comm::Ticks()) {
  DWORD mode = 0;
  FConsole = handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

void TTextOut::Write(std::wstring_view text) {
  if (!FHandle || FHandle == INVALID_HANDLE_VALUE) return;
  if (FConsole) {
    // WriteConsoleW takes at most what fits its buffer at once on some systems: pieces of 8 KB.
    while (!text.empty()) {
      const DWORD n = static_cast<DWORD>(std::min<size_t>(text.size(), 4096));
      DWORD written = 0;
      if (!WriteConsoleW(FHandle, text.data(), n, &written, nullptr) || written == 0) return;
      text.remove_prefix(written);
    }
    return;
  }
  size_t start = 0;
  while (start < text.size()) {
    const size_t nl = text.find(L'\n', start);
    const std::wstring_view piece = text.substr(start, nl == std::wstring_view::npos ? std::wstring_view::npos : nl - start);
    comm::AppendUtf8(FBuffer, piece);
    if (nl == std::wstring_view::npos) break;
    FBuffer += "\r\n";
    start = nl + 1;
  }
  // Large pieces, as few writes as a dry run over a large tree allows, yet a pipe still sees the lines
  // of a long run as it goes.
  if (FBuffer.size() >= kBufferBytes || comm::Ticks() - FLastFlush >= kFlushMs) Flush();
}

void TTextOut::Flush() {
  FLastFlush = comm::Ticks();
  size_t done = 0;
  while (done < FBuffer.size()) {
    DWORD written = 0;
    if (!WriteFile(FHandle, FBuffer.data() + done, static_cast<DWORD>(FBuffer.size() - done), &written, nullptr) ||
        written == 0)
      break;  // a closed pipe: what cannot be written is dropped, the run goes on
    done += written;
  }
  FBuffer.clear();
}

// ---- stop ----

void InstallStopHandler() { SetConsoleCtrlHandler(StopHandler, TRUE); }
bool StopRequested() { return gStop; }
void RequestStop() { gStop = true; }
void ClearStop() { gStop = false; }

wchar_t ReadConsoleKey() {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  for (;;) {
    if (StopRequested()) return 0;
    // Waits in slices, so that a Ctrl+C while a question waits is seen.
    const DWORD waited = WaitForSingleObject(in, 100);
    if (waited == WAIT_TIMEOUT) continue;
    if (waited != WAIT_OBJECT_0) return 0;
    INPUT_RECORD record;
    DWORD read = 0;
    if (!ReadConsoleInputW(in, &record, 1, &read)) return 0;
    if (read == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
        record.Event.KeyEvent.uChar.UnicodeChar)
      return static_cast<wchar_t>(std::towlower(record.Event.KeyEvent.uChar.UnicodeChar));
  }
}

// ---- lines ----

void TLineFormatter::AppendTime(std::wstring& to, const FILETIME& time, TCachedTime& cache) {
  if (!cache.Valid || !engine::SameFileTime(cache.Time, time)) {
    cache = {true, time, comm::LocalFileTimeText(time)};
  }
  to += cache.Text;
}

void TLineFormatter::AppendState(std::wstring& to, const engine::TTargetState& s, int side) {
  AppendTime(to, s.Creation, FTimes[side][0]);
  to += L" / ";
  AppendTime(to, s.LastWrite, FTimes[side][1]);
  to += L" / ";
  const std::wstring attr = engine::AttrText(s.Attr);
  to += attr.empty() ? L"-" : attr;
}

void TLineFormatter::Append(std::wstring& line, const engine::TReportEntry& e) {
  const auto outcome = static_cast<size_t>(e.Outcome);
  if (outcome < FOutcomes.size() && FOutcomes[outcome].empty()) FOutcomes[outcome] = engine::OutcomeText(e.Outcome);
  line += outcome < FOutcomes.size() ? FOutcomes[outcome] : engine::OutcomeText(e.Outcome);
  line += L'\t';
  line += e.Path;
  line += L'\t';
  if (e.HasBefore) AppendState(line, e.Before, 0);
  line += L'\t';
  if (e.HasAfter) AppendState(line, e.After, 1);
  line += L'\t';
  if (e.Outcome != engine::TTargetOutcome::Changed) line += OneLine(engine::ReasonText(e));
  line += L'\n';
}

std::wstring StateText(const engine::TTargetState& s) {
  TLineFormatter formatter;
  std::wstring text;
  formatter.AppendState(text, s, 0);
  return text;
}

std::wstring TargetLine(const engine::TReportEntry& e) {
  TLineFormatter formatter;
  std::wstring line;
  formatter.Append(line, e);
  line.pop_back();
  return line;
}

bool PrintsLine(const engine::TReportEntry& e) {
  return e.Outcome == engine::TTargetOutcome::Changed || e.Outcome == engine::TTargetOutcome::Failed ||
         e.Outcome == engine::TTargetOutcome::Missing;
}

std::wstring OneLine(std::wstring_view text) {
  std::wstring line;
  bool blank = false;
  for (const wchar_t c : text) {
    if (c == L'\r' || c == L'\n' || c == L'\t' || c == L' ') {
      blank = !line.empty();
      continue;
    }
    if (blank) line += L' ';
    blank = false;
    line += c;
  }
  return line;
}

// ---- the user ----

wchar_t TConsoleUser::AskKey(const std::wstring& text, const wchar_t* prompt, std::wstring_view keys) {
  FErr.Write(OneLine(text) + L"\n" + prompt);
  FErr.Flush();
  for (;;) {
    const wchar_t key = FKeys ? FKeys() : 0;
    if (key == 0) {
      FErr.Write(L"\n");
      return 0;
    }
    if (keys.find(key) != std::wstring_view::npos) {
      FErr.Write(std::wstring(1, key) + L"\n");
      FErr.Flush();
      return key;
    }
  }
}

engine::TAnswer TConsoleUser::Ask(engine::TQuestion, const std::wstring& text) {
  // With --yes every question is answered "go on"; the failure is counted and printed all the same.
  if (FYes) return engine::TAnswer::YesToAll;
  switch (AskKey(text, L"[y] 続行  [n] 中止  [a] すべてはい: ", L"yna")) {
    case L'y': return engine::TAnswer::Yes;
    case L'a': return engine::TAnswer::YesToAll;
    default: return engine::TAnswer::Abort;  // "n", Ctrl+C, or no more input
  }
}

void TConsoleUser::Inform(const std::wstring& text) { FOut.Write(OneLine(text) + L"\n"); }

void TConsoleUser::ShowError(const std::wstring& text) {
  FErr.Write(std::wstring(kProgramName) + L": " + OneLine(text) + L"\n");
  FErr.Flush();
}

bool TConsoleUser::Confirm(const std::wstring& text, bool defaultYes) {
  if (FYes) {
    // Answered as the box's default button would be; the user still reads what was asked.
    FErr.Write(OneLine(text) + (defaultYes ? L" -> y\n" : L" -> n\n"));
    return defaultYes;
  }
  return AskKey(text, L"[y] はい  [n] いいえ: ", L"yn") == L'y';
}

void TConsoleUser::ReportException() {
  std::wstring what;
  try {
    throw;
  } catch (const std::exception& e) {
    what = comm::Utf8ToWide(e.what());
  } catch (...) {
  }
  ShowError(L"予期しないエラーのため処理を中止しました。" + (what.empty() ? std::wstring() : L" (" + what + L")"));
}

// ---- the window ----

engine::TTargetTimeRules TConsoleWindow::TargetTimeRules() const {
  engine::TTargetTimeRules rules;
  rules.Rule[engine::tsCreate] = FSettings.Rule[engine::tsCreate];
  rules.Rule[engine::tsUpdate] = FSettings.Rule[engine::tsUpdate];
  rules.ReadTaken = engine::ReadFileTakenTime;
  return rules;
}

void TConsoleWindow::ProcessMessages() {
  // Ctrl+C stops the run as the stop button does: at the next target, with its journal ended.
  if (!FStopped && StopRequested() && FRun) {
    FStopped = true;
    FRun->ButtonSetClick();
  }
}

// ---- the collection ----

void TConsoleCollectionHost::Attach(targets::TTargetCollection& collection) {
  collection.SetSplashFactory([](std::function<void()> requestStop) -> std::unique_ptr<targets::ICollectionSplash> {
    return std::make_unique<TStopSplash>(std::move(requestStop));
  });
}

bool TConsoleCollectionHost::InsertItem(int index, std::wstring_view) {
  if (FKeepStates) {
    WIN32_FILE_ATTRIBUTE_DATA unknown{};
    unknown.dwFileAttributes = INVALID_FILE_ATTRIBUTES;
    FStates.insert(FStates.begin() + index, unknown);
  }
  return true;
}

void TConsoleCollectionHost::ItemState(int index, const WIN32_FILE_ATTRIBUTE_DATA& state) {
  FStates[static_cast<size_t>(index)] = state;
}

const WIN32_FILE_ATTRIBUTE_DATA* TConsoleCollectionHost::KnownState(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= FStates.size()) return nullptr;
  const WIN32_FILE_ATTRIBUTE_DATA& state = FStates[static_cast<size_t>(index)];
  return state.dwFileAttributes == INVALID_FILE_ATTRIBUTES ? nullptr : &state;
}

}  // namespace cli
