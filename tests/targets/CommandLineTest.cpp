// The command line: split as the system splits it, arguments kept exactly as named, and nothing that
// is not a complete path taken for the root of a drive.
#include "CollectionFakes.h"
#include "support/TempTree.h"
#include "targets/CommandLine.h"
#include "targets/FileList.h"
#include <gtest/gtest.h>
#include <shellapi.h>

using Strings = std::vector<std::wstring>;

namespace {

// What the system's own splitter makes of a command line.
Strings SystemSplit(const std::wstring& line) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
  Strings out;
  if (!argv) return out;
  for (int i = 0; i < count; ++i) out.push_back(argv[i]);
  LocalFree(argv);
  return out;
}

// Runs the test's body with the current folder set to folder, and puts the previous one back.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::wstring& folder) {
    wchar_t saved[MAX_PATH + 1];
    GetCurrentDirectoryW(MAX_PATH + 1, saved);
    FSaved = saved;
    EXPECT_TRUE(SetCurrentDirectoryW(folder.c_str()));
  }
  ~CurrentFolder() { SetCurrentDirectoryW(FSaved.c_str()); }

 private:
  std::wstring FSaved;
};

// Makes a file by its literal name, so that "a." and "b " are made as they stand.
void MakeLiteralDir(const std::wstring& path) { ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr)); }

}  // namespace

TEST(CommandLine, IsSplitExactlyAsTheSystemSplitsIt) {
  // Each line with what it must give, checked against the system's splitter too.
  const std::pair<const wchar_t*, Strings> cases[] = {
      {L"prog", {L"prog"}},
      {L"\"C:\\Program Files\\vss.exe\" a  b", {L"C:\\Program Files\\vss.exe", L"a", L"b"}},
      // A lone quote and a lone blank, each quoted: the arguments around them stay apart.
      {L"prog x1.txt \"\\\"\" \" \" x2.txt", {L"prog", L"x1.txt", L"\"", L" ", L"x2.txt"}},
      {L"prog \"\" \"\" a", {L"prog", L"", L"", L"a"}},
      {L"prog\ta\t\t\"c d\"\t", {L"prog", L"a", L"c d"}},
      // A quoted folder with one trailing backslash escapes its closing quote; two give one.
      {L"prog \"C:\\My Dir\\\" next", {L"prog", L"C:\\My Dir\" next"}},
      {L"prog \"C:\\My Dir\\\\\" next", {L"prog", L"C:\\My Dir\\", L"next"}},
      {L"prog C:\\dir\\\\ x\\", {L"prog", L"C:\\dir\\\\", L"x\\"}},
      {L"prog \\\\\\\"a a\\\\\\\\\"b c\"", {L"prog", L"\\\"a", L"a\\\\b c"}},
      // In a run of quotes every third is a literal one: the quoted part it ends is followed by a
      // plain one, and a quote after that opens a new quoted part.
      {L"prog \"a\"\"b\" \"a\"\"b c\"", {L"prog", L"a\"b ab", L"c"}},
      {L"prog \"a\"\"b\"c d", {L"prog", L"a\"bc d"}},
      {L"prog \"\"\"\" x \"\"\" y", {L"prog", L"\" x \" y"}},
      {L"prog \"\"\" x", {L"prog", L"\"", L"x"}},
      {L"prog \"unterminated arg", {L"prog", L"unterminated arg"}},
      {L"prog a\"b\"c \"d\"e", {L"prog", L"abc", L"de"}},
      // The program's name takes no escapes: it ends at its closing quote or its first blank.
      {L"\"pro\\\"g\"x y", {L"pro\\", L"gx y"}},
      {L"pro\\\"g a", {L"pro\\\"g", L"a"}},
      {L"\"prog with \"quote\" a", {L"prog with ", L"quote a"}},
      {L" leading", {L"", L"leading"}},
      {L"\"\"", {L""}},
      {L"prog a   ", {L"prog", L"a"}},
  };
  for (const auto& [line, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(line)));
    EXPECT_EQ(targets::SplitCommandLine(line), expected);
    EXPECT_EQ(targets::SplitCommandLine(line), SystemSplit(line));
  }
  // An empty line: the program's own path, as the system gives it.
  const Strings empty = targets::SplitCommandLine(L"");
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_EQ(empty, SystemSplit(L""));
}

TEST(CommandLine, OnlyCompletePathsAreArguments) {
  for (const wchar_t* arg : {L"x1.txt", L"a.", L"sub\\b ", L"..\\x", L"*.txt", L"C:\\", L"c:/x", L"C:\\ ",
                             L"\\\\server\\share", L"\\\\server\\share\\x", L"\\\\?\\C:\\x", L"\\\\?\\UNC\\server\\share"})
    EXPECT_TRUE(targets::IsCompletePathArgument(arg)) << testing::PrintToString(std::wstring(arg));
  for (const wchar_t* arg : {L"", L" ", L"\t", L"  \t ", L"\"", L"a\"b", L"a|b", L"<x", L"x>", L"a\x01", L"C:", L"c:x",
                             L"\\", L"/", L"\\ ", L"\\x", L"/x", L"\\\\server", L"\\\\server\\", L"\\\\.\\C:",
                             L"\\\\?\\C:", L"\\\\?\\UNC\\server", L"\\\\?\\Volume{0}\\"})
    EXPECT_FALSE(targets::IsCompletePathArgument(arg)) << testing::PrintToString(std::wstring(arg));
}

TEST(CommandLine, AQuoteOrABlankArgumentNeverBecomesTheRootOfADrive) {
  testsupport::TempTree tree;
  tree.MakeFile(L"x1.txt");
  tree.MakeFile(L"x2.txt");
  CurrentFolder here(tree.Root());
  // The arguments x1.txt, ", " " and x2.txt as the system writes them, and the forms that name a root
  // only through the current drive or folder.
  Strings args = targets::SplitCommandLine(L"vss.exe x1.txt \"\\\"\" \" \" x2.txt \\ \"\\ \" / C: c:. \\x1.txt");
  args.erase(args.begin());
  EXPECT_EQ(targets::CommandLinePaths(args), (Strings{tree.Path(L"x1.txt"), tree.Path(L"x2.txt")}));

  // Collected, they add the two files and nothing else.
  targetstest::FakeHost host;
  host.splashCount = 0;
  targets::TFormFileList window{host};
  window.TakeCommandLine(args);
  ASSERT_EQ(window.EntryCount(), 2);
  EXPECT_EQ(window.Entry(0), tree.Path(L"x1.txt"));
  EXPECT_EQ(window.Entry(1), tree.Path(L"x2.txt"));

  // A relative name that comes out as a root is left out; the root named with its drive is kept.
  CurrentFolder root(L"C:\\");
  EXPECT_EQ(targets::CommandLinePaths({L".", L"..", L"windows\\..", L"C:\\", L"c:\\."}), (Strings{L"C:\\", L"c:\\"}));
}

TEST(CommandLine, NamesEndingInAPeriodOrABlankAreKeptAsNamed) {
  testsupport::TempTree tree;
  for (const wchar_t* f : {L"a", L"a.", L"b", L"b ", L"Mixed\\e\\f", L"Mixed\\e.\\F", L"only\\g"}) tree.MakeFile(f);
  // Each name as given, in its stored letter case; never its trimmed sibling.
  EXPECT_EQ(targets::CommandLinePaths({tree.Path(L"a."), tree.Path(L"b "), tree.Path(L"mixed\\E.\\f"),
                                       tree.Path(L"mixed\\e\\f"), tree.Path(L"only\\g.")}),
            (Strings{tree.Path(L"a."), tree.Path(L"b "), tree.Path(L"Mixed\\e.\\F"), tree.Path(L"Mixed\\e\\f"),
                     tree.Path(L"only\\g.")}));
  // A relative one is made absolute without the system's trimming.
  {
    CurrentFolder here(tree.Root());
    EXPECT_EQ(targets::CommandLinePaths({L"a.", L"b ", L"mixed\\e.\\f", L"MIXED\\*."}),
              (Strings{tree.Path(L"a."), tree.Path(L"b "), tree.Path(L"Mixed\\e.\\F"), tree.Path(L"Mixed\\*.")}));
  }
  // Beyond 260 characters too.
  std::wstring deep = L"deep";
  while (tree.Path(deep).size() < MAX_PATH + 20) deep += L"\\folder-with-a-long-name";
  tree.MakeFile(deep + L"\\z");
  tree.MakeFile(deep + L"\\z.");
  MakeLiteralDir(tree.Path(deep + L"\\dir "));
  std::wstring upper = tree.Path(deep);
  CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  EXPECT_EQ(targets::CommandLinePaths({upper + L"\\Z.", upper + L"\\DIR \\"}),
            (Strings{tree.Path(deep + L"\\z."), tree.Path(deep + L"\\dir ")}));
}

TEST(CommandLine, ShortNamesAndLetterCaseAreExpandedAndPatternsKeptWithADriveRootsSeparator) {
  testsupport::TempTree tree;
  tree.MakeFile(L"Mixed Case\\Zeta.txt");
  tree.MakeFile(L"Mixed Case\\b.log");
  wchar_t shortName[1024];
  const DWORD n = GetShortPathNameW(tree.Path(L"Mixed Case\\Zeta.txt").c_str(), shortName, 1024);
  ASSERT_TRUE(n > 0 && n < 1024);
  EXPECT_EQ(targets::CommandLinePaths({tree.Path(L"mixed case\\zeta.txt"), shortName, L"", L"C:\\", L"c:\\",
                                       tree.Path(L"missing\\")}),
            (Strings{tree.Path(L"Mixed Case\\Zeta.txt"), tree.Path(L"Mixed Case\\Zeta.txt"), L"C:\\", L"c:\\",
                     tree.Path(L"missing")}));
  // A pattern keeps its pattern (a search would put its first match in its place); its folder is
  // expanded, and a relative one is taken from the current folder.
  CurrentFolder here(tree.Path(L"Mixed Case"));
  EXPECT_EQ(targets::CommandLinePaths({tree.Path(L"mixed case\\*.log"), L"*.txt", L"C:\\*"}),
            (Strings{tree.Path(L"Mixed Case\\*.log"), tree.Path(L"Mixed Case\\*.txt"), L"C:\\*"}));
}
