// Splitting the command line and turning its arguments into the paths of a collection.
#include "targets/CommandLine.h"
#include "Base.h"
#include "comm/LongPathName.h"
#include "comm/PathText.h"

namespace targets {

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
  std::vector<std::wstring> out;
  size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    if (i >= line.size()) break;
    std::wstring arg;
    bool quoted = false;
    for (; i < line.size(); ++i) {
      const wchar_t c = line[i];
      if (c == L'"') {
        quoted = !quoted;
      } else if (!quoted && (c == L' ' || c == L'\t')) {
        break;
      } else {
        arg += c;
      }
    }
    out.push_back(std::move(arg));
  }
  return out;
}

std::vector<std::wstring> ProgramArguments() {
  std::vector<std::wstring> args = SplitCommandLine(GetCommandLineW());
  if (!args.empty()) args.erase(args.begin());
  return args;
}

std::vector<std::wstring> CommandLinePaths(const std::vector<std::wstring>& arguments) {
  std::vector<std::wstring> paths;
  for (const auto& arg : arguments) {
    if (arg.empty()) continue;
    std::wstring path;
    const size_t cut = arg.find_last_of(L"\\:");
    const std::wstring_view name = cut == std::wstring::npos ? std::wstring_view(arg) : std::wstring_view(arg).substr(cut + 1);
    if (name.find_first_of(L"*?") != std::wstring_view::npos) {
      // A pattern names many entries: only its folder is expanded; a search for the pattern itself
      // would put the first match in its place.
      const std::wstring folder = arg.substr(0, cut + 1);
      path = folder.size() < 3 ? folder : comm_GetLongPathName(folder) + comm::kPathSeparator;
      path += name;
    } else {
      path = comm_GetLongPathName(arg);
    }
    const bool driveRoot = arg.size() == 3 && arg[1] == L':' && arg[2] == comm::kPathSeparator;
    if (driveRoot && path.size() == 2 && path[1] == L':') path += comm::kPathSeparator;
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace targets
