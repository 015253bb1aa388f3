// The program's command line: the paths it names, in the form the collection takes them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace targets {

// Splits a command line into arguments exactly as the system's CommandLineToArgvW does, so that
// every argument the shell (Send To) or a caller quoted arrives as it was meant. The first argument
// is the program's name: it ends at the first blank, or, when it opens with a quote, at the next
// quote, and takes no escapes. The others: blanks (space, tab) outside quotes separate them; 2n
// backslashes before a quote give n backslashes and the quote opens or closes a quoted part, 2n+1
// give n backslashes and a literal quote; other backslashes are ordinary characters; in a run of
// quotes every third is a literal quote (so "a""b" gives a"b, and """ alone a lone quote). An empty
// line gives the program's own path alone.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// The arguments of this process after the program's own name.
std::vector<std::wstring> ProgramArguments();

// The arguments as paths for one AddPaths, in argument order. Each name is kept exactly as given
// (a trailing "." or " " included) apart from short (8.3) names and letter case, which become the
// stored long names (comm_GetLongPathName); a relative name is made absolute from the current folder
// without the system's trimming. A drive root keeps its separator (C:\ stays C:\, since C: alone
// names the current folder of drive C). An argument that is no complete path is left out: an empty
// or blank one, one holding a character no name can hold (" < > | or a control character), a
// drive-relative one ("C:", "C:x") or one rooted at the current drive ("\", "\x"), and a relative
// one that comes out as a root (".." in a root folder): none of these can name, unseen, the root of
// a whole drive.
std::vector<std::wstring> CommandLinePaths(const std::vector<std::wstring>& arguments);

// Whether an argument is a complete path in the sense above (before it is made absolute).
bool IsCompletePathArgument(std::wstring_view argument);

}  // namespace targets
