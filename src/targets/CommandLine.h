// The program's command line: the paths it names, in the form the collection takes them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace targets {

// Splits a command line into arguments: blanks separate them, double quotes group blanks into one
// and are dropped. A backslash is an ordinary character, so a quoted folder with a trailing
// separator ("C:\dir\") stays C:\dir\ instead of swallowing its closing quote.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// The arguments of this process after the program's own name.
std::vector<std::wstring> ProgramArguments();

// The arguments as paths for one AddPaths: each replaced by its long form (comm_GetLongPathName), in
// argument order. A drive root keeps its separator (C:\ stays C:\, since C: alone names the current
// folder of drive C); empty arguments are left out.
std::vector<std::wstring> CommandLinePaths(const std::vector<std::wstring>& arguments);

}  // namespace targets
