// The companion's command line: every kind of usage error, both sides of each limit, and what the
// options make of a run.
#include "cli/Options.h"
#include <gtest/gtest.h>

namespace {

using cli::TCliOptions;
using cli::TUsageError;

comm::TDateTime Now() {
  comm::TDateTime t;
  comm::TryEncodeDateTime({2026, 12, 8, 17, 30, 15, 250}, t);
  return t;
}

bool Parse(std::vector<std::wstring> args, TCliOptions& o, TUsageError& e) {
  return cli::ParseArguments(args, Now(), o, e);
}

// The line is refused; the error names the option and the message holds the piece given.
void ExpectUsage(std::vector<std::wstring> args, const std::wstring& option, const std::wstring& inMessage) {
  std::wstring line;
  for (const auto& a : args) line += a + L" ";
  SCOPED_TRACE(testing::Message() << "args: " << std::string(line.begin(), line.end()));
  TCliOptions o;
  TUsageError e;
  ASSERT_FALSE(Parse(args, o, e));
  EXPECT_EQ(e.Option, option);
  EXPECT_NE(e.Message.find(inMessage), std::wstring::npos);
  const std::wstring text = cli::UsageErrorText(e);
  // The text shows the option's line of the usage (the whole usage's first line without an option).
  const std::wstring usageLine = cli::UsageLine(option);
  ASSERT_FALSE(usageLine.empty());
  EXPECT_NE(text.find(usageLine), std::wstring::npos);
  if (!option.empty()) {
    EXPECT_NE(usageLine.find(option.substr(0, 6)), std::wstring::npos);
  }
}

TEST(CliOptions, UsageErrorsNameTheirOption) {
  ExpectUsage({L"--bogus", L"a"}, L"", L"--bogus");
  ExpectUsage({L"a", L"--created"}, L"--created", L"--created");
  ExpectUsage({L"--modified", L"yesterday", L"a"}, L"--modified", L"yesterday");
  ExpectUsage({L"--created", L"now", L"--created", L"taken", L"a"}, L"--created", L"二度");
  ExpectUsage({L"--hidden", L"yes", L"a"}, L"--hidden", L"on か off");
  ExpectUsage({L"--readonly", L"a"}, L"--readonly", L"on か off");  // "a" is taken as its value
  ExpectUsage({L"--system"}, L"--system", L"値が必要");
  // The option after one whose value was left out is not taken for it.
  ExpectUsage({L"--log", L"--yes", L"--hidden", L"on", L"a"}, L"--log", L"値が必要");
  ExpectUsage({L"--ext", L"--recurse", L"--hidden", L"on", L"a"}, L"--ext", L"値が必要");
  ExpectUsage({L"--shift", L"1 hour", L"a"}, L"--shift", L"+1:00:00");
  ExpectUsage({L"--shift", L"+36501d", L"a"}, L"--shift", L"36500");
  ExpectUsage({L"--files", L"--folders", L"--hidden", L"on", L"a"}, L"--folders", L"--files");
  ExpectUsage({L"--all", L"--all", L"--hidden", L"on", L"a"}, L"--all", L"二度");
  ExpectUsage({L"--ext", L" ; . ", L"--hidden", L"on", L"a"}, L"--ext", L"拡張子");
  ExpectUsage({L"--log", L"", L"--hidden", L"on", L"a"}, L"--log", L"ファイル名");
  ExpectUsage({L"--date-only", L"--time-only", L"--created", L"now", L"a"}, L"--time-only", L"同時");
  ExpectUsage({L"--date-only", L"--created", L"taken", L"a"}, L"--date-only", L"固定");
  ExpectUsage({L"--time-only", L"--hidden", L"on", L"a"}, L"--time-only", L"--created");
  ExpectUsage({L"--time-only", L"--modified", L"2025-01-02", L"a"}, L"--time-only", L"時刻");
  ExpectUsage({L"--undo", L"a"}, L"--undo", L"a");
  ExpectUsage({L"--undo", L"--hidden", L"on"}, L"--hidden", L"--undo");
  ExpectUsage({L"--undo", L"--recurse"}, L"--recurse", L"--undo");
  ExpectUsage({L"a", L"b"}, L"", L"変更する内容");
  ExpectUsage({L"--hidden", L"on"}, L"", L"パス");
}

TEST(CliOptions, DatesAndTheirLimits) {
  comm::TDateTime now = Now();
  cli::TSideValue v;
  std::wstring reason;
  // The shapes taken, and those not.
  ASSERT_TRUE(cli::ParseSideValue(L"2025-07-14 15:07:58", now, v, reason));
  EXPECT_EQ(v.Kind, cli::TValueKind::Fixed);
  EXPECT_TRUE(v.HasTime);
  EXPECT_EQ(v.Parts, (comm::TDateTimeParts{2025, 7, 14, 15, 7, 58, 0}));
  ASSERT_TRUE(cli::ParseSideValue(L"2025-7-4", now, v, reason));
  EXPECT_FALSE(v.HasTime);
  EXPECT_EQ(v.Parts, (comm::TDateTimeParts{2025, 7, 4, 0, 0, 0, 0}));
  for (const wchar_t* bad : {L"2025-07-14 15:07", L"25-07-14", L"2025/07/14", L"2025-07-14T15:07:58", L"2025-07-14 ",
                             L"2025-07-14 15:7:58", L"2025-07-14 15:07:58x", L"2025-007-14", L"", L"today"}) {
    SCOPED_TRACE(testing::Message() << "value " << std::string(bad, bad + wcslen(bad)));
    EXPECT_FALSE(cli::ParseSideValue(bad, now, v, reason));
    EXPECT_NE(reason.find(L"YYYY-MM-DD"), std::wstring::npos);
  }
  // Dates that do not exist: the usage error says so.
  for (const wchar_t* bad : {L"2025-02-30", L"2025-02-29", L"2025-13-01", L"2025-00-10", L"2025-04-31",
                             L"2025-01-01 24:00:00", L"2025-01-01 23:60:00", L"2025-01-01 23:59:60"}) {
    SCOPED_TRACE(testing::Message() << "value " << std::string(bad, bad + wcslen(bad)));
    EXPECT_FALSE(cli::ParseSideValue(bad, now, v, reason));
    EXPECT_NE(reason.find(L"存在しません"), std::wstring::npos);
  }
  EXPECT_TRUE(cli::ParseSideValue(L"2024-02-29", now, v, reason));
  EXPECT_TRUE(cli::ParseSideValue(L"2025-01-01 23:59:59", now, v, reason));
  // The years the program takes: 1980 to 2100, both ends.
  EXPECT_FALSE(cli::ParseSideValue(L"1979-12-31 23:59:59", now, v, reason));
  EXPECT_NE(reason.find(L"1980"), std::wstring::npos);
  EXPECT_TRUE(cli::ParseSideValue(L"1980-01-01 00:00:00", now, v, reason));
  EXPECT_TRUE(cli::ParseSideValue(L"2100-12-31 23:59:59", now, v, reason));
  EXPECT_FALSE(cli::ParseSideValue(L"2101-01-01", now, v, reason));
  // The names, in any case; now is the clock's to the second.
  ASSERT_TRUE(cli::ParseSideValue(L"NOW", now, v, reason));
  EXPECT_EQ(v.Kind, cli::TValueKind::Now);
  EXPECT_EQ(v.Parts, (comm::TDateTimeParts{2026, 12, 8, 17, 30, 15, 0}));
  ASSERT_TRUE(cli::ParseSideValue(L"Taken", now, v, reason));
  EXPECT_EQ(v.Kind, cli::TValueKind::Taken);
  ASSERT_TRUE(cli::ParseSideValue(L"name", now, v, reason));
  EXPECT_EQ(v.Kind, cli::TValueKind::Name);

  // A date that does not exist is a usage error of its option.
  ExpectUsage({L"--created", L"2025-02-30", L"a"}, L"--created", L"2025-02-30");
}

TEST(CliOptions, ShiftLimitsAndPaths) {
  TCliOptions o;
  TUsageError e;
  ASSERT_TRUE(Parse({L"--shift", L"+36500d", L"x"}, o, e));
  EXPECT_EQ(o.ShiftSeconds, 36500LL * 86400);
  ASSERT_TRUE(Parse({L"--shift", L"-1d 2:30", L"x"}, o, e));
  EXPECT_EQ(o.ShiftSeconds, -(86400 + 2 * 3600 + 30 * 60));
  ExpectUsage({L"--shift", L"-36500d 0:00:01", L"x"}, L"--shift", L"36500");
  // "--" ends the options: a file named like one is a path.
  ASSERT_TRUE(Parse({L"--hidden", L"ON", L"--", L"--yes", L"-x"}, o, e));
  EXPECT_EQ(o.Hidden, cli::TSwitch::On);
  EXPECT_FALSE(o.Yes);
  EXPECT_EQ(o.Paths, (std::vector<std::wstring>{L"--yes", L"-x"}));
  // A value with one dash is a value.
  ASSERT_TRUE(Parse({L"--log", L"-x.csv", L"--shift", L"-1:00", L"a"}, o, e));
  EXPECT_EQ(o.LogFile, L"-x.csv");
  EXPECT_EQ(o.ShiftSeconds, -3600);
  // --help and --version win over anything else on the line.
  ASSERT_TRUE(Parse({L"--help", L"--bogus"}, o, e));
  EXPECT_EQ(o.Command, cli::TCommand::Help);
  ASSERT_TRUE(Parse({L"--version"}, o, e));
  EXPECT_EQ(o.Command, cli::TCommand::Version);
  ASSERT_TRUE(Parse({L"--undo", L"--yes", L"--log", L"u.csv"}, o, e));
  EXPECT_EQ(o.Command, cli::TCommand::Undo);
  EXPECT_EQ(o.LogFile, L"u.csv");
}

TEST(CliOptions, RunSettingsFromTheOptions) {
  TCliOptions o;
  TUsageError e;
  cli::TRunSettings s;
  using engine::TTimeSource;

  // A fixed creation time, the update time from the file's own creation time, hidden off.
  ASSERT_TRUE(Parse({L"--created", L"2001-02-03 04:05:06", L"--modified", L"created", L"--hidden", L"off", L"p"}, o, e));
  ASSERT_TRUE(cli::MakeRunSettings(o, s, e));
  EXPECT_TRUE(s.Controls.DateChg && s.Controls.Create && s.Controls.Update);
  EXPECT_TRUE(s.Controls.AttrChg && s.Controls.Hidden && !s.Controls.HiddenOn && !s.Controls.ReadOnly && !s.Controls.System);
  EXPECT_EQ(s.Rule[engine::tsCreate].Source, TTimeSource::Fixed);
  EXPECT_EQ(s.Parts[engine::dsCreate], (std::array<uint16_t, 6>{2001, 2, 3, 4, 5, 6}));
  EXPECT_EQ(s.Rule[engine::tsUpdate].Source, TTimeSource::OtherSide);

  // --shift alone: both sides' own times.
  ASSERT_TRUE(Parse({L"--shift", L"-1:00", L"p"}, o, e));
  ASSERT_TRUE(cli::MakeRunSettings(o, s, e));
  EXPECT_TRUE(s.Controls.Create && s.Controls.Update && !s.Controls.AttrChg);
  EXPECT_EQ(s.Rule[engine::tsCreate], (engine::TTimeRule{TTimeSource::Shift, -3600}));
  EXPECT_EQ(s.Rule[engine::tsUpdate], (engine::TTimeRule{TTimeSource::Shift, -3600}));

  // --shift with per-file values is their offset; only the side given is set.
  ASSERT_TRUE(Parse({L"--modified", L"taken", L"--shift", L"+1d", L"--readonly", L"on", L"p"}, o, e));
  ASSERT_TRUE(cli::MakeRunSettings(o, s, e));
  EXPECT_FALSE(s.Controls.Create);
  EXPECT_TRUE(s.Controls.Update && s.Controls.ReadOnly && s.Controls.ReadOnlyOn);
  EXPECT_EQ(s.Rule[engine::tsUpdate], (engine::TTimeRule{TTimeSource::Taken, 86400}));
  ASSERT_TRUE(Parse({L"--created", L"name", L"--modified", L"modified", L"p"}, o, e));
  ASSERT_TRUE(cli::MakeRunSettings(o, s, e));
  EXPECT_EQ(s.Rule[engine::tsCreate].Source, TTimeSource::FileName);
  EXPECT_EQ(s.Rule[engine::tsUpdate].Source, TTimeSource::Shift);

  // With a fixed value the shift moves the value; date only and time only keep their value.
  ASSERT_TRUE(Parse({L"--modified", L"2025-12-31 23:30:00", L"--shift", L"+1:00", L"--date-only", L"p"}, o, e));
  ASSERT_TRUE(cli::MakeRunSettings(o, s, e));
  EXPECT_EQ(s.Rule[engine::tsUpdate].Source, TTimeSource::DateOnly);
  EXPECT_EQ(s.Parts[engine::dsUpdate], (std::array<uint16_t, 6>{2026, 1, 1, 0, 30, 0}));
  ASSERT_TRUE(Parse({L"--created", L"now", L"--time-only", L"p"}, o, e));
  ASSERT_TRUE(cli::MakeRunSettings(o, s, e));
  EXPECT_EQ(s.Rule[engine::tsCreate].Source, TTimeSource::TimeOnly);
  EXPECT_EQ(s.Parts[engine::dsCreate], (std::array<uint16_t, 6>{2026, 12, 8, 17, 30, 15}));

  // A shift that takes a fixed value out of the program's years: on the edge it is taken, past it not.
  ASSERT_TRUE(Parse({L"--created", L"2100-12-31 23:00:00", L"--shift", L"+0:59:59", L"p"}, o, e));
  EXPECT_TRUE(cli::MakeRunSettings(o, s, e));
  EXPECT_EQ(s.Parts[engine::dsCreate], (std::array<uint16_t, 6>{2100, 12, 31, 23, 59, 59}));
  ASSERT_TRUE(Parse({L"--created", L"2100-12-31 23:00:00", L"--shift", L"+1:00:00", L"p"}, o, e));
  EXPECT_FALSE(cli::MakeRunSettings(o, s, e));
  EXPECT_EQ(e.Option, L"--shift");
  EXPECT_NE(e.Message.find(L"2100"), std::wstring::npos);
}

TEST(CliOptions, HelpShowsEveryOptionOnItsLine) {
  const std::wstring help = cli::UsageText();
  for (const wchar_t* option : {L"--created", L"--modified", L"--shift", L"--date-only", L"--time-only", L"--readonly",
                                L"--hidden", L"--system", L"--files", L"--folders", L"--all", L"--recurse", L"--ext",
                                L"--dry-run", L"--log", L"--undo", L"--yes", L"--help", L"--version"}) {
    const std::wstring line = cli::UsageLine(option);
    SCOPED_TRACE(testing::Message() << "option " << std::string(option, option + wcslen(option)));
    EXPECT_NE(line.find(option), std::wstring::npos);
    EXPECT_NE(help.find(line), std::wstring::npos);
  }
  EXPECT_EQ(cli::UsageLine(L"--nothing"), L"");
  EXPECT_NE(cli::VersionText().find(L"vornasts"), std::wstring::npos);
}

}  // namespace
