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
    std::wstring path = comm_GetLongPathName(arg);
    const bool driveRoot = arg.size() == 3 && arg[1] == L':' && arg[2] == comm::kPathSeparator;
    if (driveRoot && path.size() == 2 && path[1] == L':') path += comm::kPathSeparator;
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace targets
