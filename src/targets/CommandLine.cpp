// Splitting the command line and turning its arguments into the paths of a collection.
#include "targets/CommandLine.h"
#include "Base.h"
#include "comm/LiteralPath.h"
#include "comm/LongPathName.h"
#include "comm/PathText.h"

namespace targets {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) {
      path.resize(got);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
  std::vector<std::wstring> out;
  if (line.empty()) {
    out.push_back(ModulePath());
    return out;
  }
  size_t i = 0;
  // The program's name: up to the next quote when it opens with one, else up to the first blank.
  std::wstring name;
  if (line[0] == L'"') {
    for (i = 1; i < line.size() && line[i] != L'"'; ++i) name += line[i];
    if (i < line.size()) ++i;  // the closing quote
  } else {
    for (; i < line.size() && !IsBlank(line[i]); ++i) name += line[i];
  }
  out.push_back(std::move(name));

  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i >= line.size()) return out;
  std::wstring arg;
  int quotes = 0;       // quotes counted in the current run: 1 inside a quoted part
  size_t slashes = 0;   // backslashes just before the current character
  while (i < line.size()) {
    const wchar_t c = line[i];
    if (IsBlank(c) && quotes == 0) {
      out.push_back(std::move(arg));
      arg.clear();
      slashes = 0;
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i >= line.size()) return out;  // trailing blanks open no argument
      continue;
    }
    if (c == L'\\') {
      arg += c;
      ++slashes;
      ++i;
      continue;
    }
    if (c != L'"') {
      arg += c;
      slashes = 0;
      ++i;
      continue;
    }
    // A quote: the backslashes before it are halved; an odd one left over makes it a literal quote.
    arg.resize(arg.size() - slashes / 2);
    if (slashes % 2 == 0) {
      ++quotes;
    } else {
      arg.back() = L'"';
    }
    slashes = 0;
    // The quotes right after it: every third of the run, counted with the quoted part it is in, is
    // a literal quote and ends that part.
    for (++i; i < line.size() && line[i] == L'"'; ++i) {
      if (++quotes == 3) {
        arg += L'"';
        quotes = 0;
      }
    }
    if (quotes == 2) quotes = 0;  // a quoted part was closed
  }
  out.push_back(std::move(arg));
  return out;
}

std::vector<std::wstring> ProgramArguments() {
  std::vector<std::wstring> args = SplitCommandLine(GetCommandLineW());
  if (!args.empty()) args.erase(args.begin());
  return args;
}

bool IsCompletePathArgument(std::wstring_view arg) {
  if (arg.find_first_not_of(L" \t") == std::wstring_view::npos) return false;  // empty or blank
  for (wchar_t c : arg)
    if (c < 32 || c == L'"' || c == L'<' || c == L'>' || c == L'|') return false;
  if (arg.size() >= 2 && IsLetter(arg[0]) && arg[1] == L':') return arg.size() >= 3 && IsSeparator(arg[2]);
  if (!IsSeparator(arg[0])) return true;  // relative to the current folder
  // Of the paths that open with a separator only a share is rooted by itself ("\\server\share", and
  // the literal forms "\\?\C:\", "\\?\UNC\server\share"); "\" and "\x" take their drive from the
  // current folder, "\\.\" names a device.
  if (arg.size() < 3 || !IsSeparator(arg[1])) return false;
  std::wstring_view rest = arg.substr(2);
  if (rest.substr(0, 2) == L"?\\") {
    rest.remove_prefix(2);
    if (rest.size() >= 3 && IsLetter(rest[0]) && rest[1] == L':' && rest[2] == L'\\') return true;
    if (rest.substr(0, 4) != L"UNC\\") return false;
    rest.remove_prefix(4);
  }
  const size_t cut = rest.find_first_of(L"\\/");
  if (cut == std::wstring_view::npos || cut == 0) return false;
  const std::wstring_view server = rest.substr(0, cut);
  const std::wstring_view share = rest.substr(cut + 1, rest.find_first_of(L"\\/", cut + 1) - (cut + 1));
  return server != L"." && server != L"?" && !share.empty();
}

std::vector<std::wstring> CommandLinePaths(const std::vector<std::wstring>& arguments) {
  std::vector<std::wstring> paths;
  for (const auto& arg : arguments) {
    if (!IsCompletePathArgument(arg)) continue;
    const bool relative = !IsSeparator(arg[0]) && !(arg.size() >= 2 && IsLetter(arg[0]) && arg[1] == L':');
    // A relative name is taken from the current folder as it stands: the system's rules would cut a
    // trailing "." or " ", and "x." would become "x" beside it. "." and ".." are resolved, "/" is a
    // separator and a literal "\\?\" form becomes the ordinary one, by the same rules.
    std::wstring full = comm::comm_AbsolutePath(arg);
    if (full.empty() || (relative && comm::comm_IsRootPath(full))) continue;
    std::wstring path;
    const size_t cut = full.find_last_of(L"\\/:");
    const std::wstring_view name = std::wstring_view(full).substr(cut == std::wstring::npos ? 0 : cut + 1);
    if (name.find_first_of(L"*?") != std::wstring_view::npos && cut != std::wstring::npos) {
      // A pattern names many entries: only its folder is expanded; a search for the pattern itself
      // would put the first match in its place.
      path = comm::comm_GetLongPathName(full.substr(0, cut + 1)) + comm::kPathSeparator;
      path += name;
    } else {
      path = comm::comm_GetLongPathName(full);
    }
    // "C:\" comes back as "C:", which would be the current folder of drive C.
    if (!path.empty() && path.back() == L':' && comm::comm_IsRootPath(full)) path += comm::kPathSeparator;
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace targets
