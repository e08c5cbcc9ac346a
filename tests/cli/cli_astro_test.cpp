#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace redoviri::cli {
namespace {

using testing::RunTool;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line, char sep) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string f; std::getline(in, f, sep);) fields.push_back(f);
  return fields;
}

// Decimals after the point of a number's text.
int Decimals(const std::string& number) {
  const auto dot = number.find('.');
  return dot == std::string::npos ? 0 : static_cast<int>(number.size() - dot - 1);
}

struct Value {
  const char* key;
  double want, tolerance;
};

void ExpectAstro(const std::string& date, const std::vector<Value>& want) {
  const auto r = RunTool({"astro", date});
  ASSERT_EQ(r.code, kOk) << r.err;
  EXPECT_TRUE(r.err.empty());
  const auto lines = Lines(r.out);
  const std::vector<std::string> keys{"jd",          "sun_longitude",  "sun_latitude",     "sun_distance_km",
                                      "moon_longitude", "moon_latitude", "moon_distance_km", "phase_angle",
                                      "illumination"};
  ASSERT_EQ(lines.size(), keys.size()) << r.out;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto f = Fields(lines[i], ' ');
    ASSERT_EQ(f.size(), 2u) << lines[i];
    EXPECT_EQ(f[0], keys[i]);
    EXPECT_EQ(Decimals(f[1]), keys[i].ends_with("_km") ? 3 : 9) << lines[i];
    for (const Value& v : want) {
      if (f[0] == v.key) {
        EXPECT_NEAR(std::stod(f[1]), v.want, v.tolerance) << lines[i];
      }
    }
  }
}

TEST(CliAstro, PositionsAtJ2000) {
  ExpectAstro("2000-01-01T12:00", {{"jd", 2451545.0, 0},
                                   {"sun_longitude", 280.368138, 5e-7},
                                   {"sun_latitude", 0.000253, 5e-7},
                                   {"sun_distance_km", 147103726, 0.5},
                                   {"moon_longitude", 223.314854, 5e-7},
                                   {"phase_angle", -122.66, 5e-3},
                                   {"illumination", 0.2301, 5e-5}});
  EXPECT_EQ(Lines(RunTool({"astro", "2000-01-01T12:00"}).out)[0], "jd 2451545.000000000");
  EXPECT_EQ(RunTool({"astro", "2000-01-01T12:00:00"}).out, RunTool({"astro", "2000-01-01T12:00"}).out);
}

TEST(CliAstro, PositionsOn1992April12) {
  ExpectAstro("1992-04-12", {{"jd", 2448724.5, 0},
                             {"sun_longitude", 22.339748, 5e-7},
                             {"sun_distance_km", 149971519, 0.5},
                             {"moon_longitude", 133.167270, 5e-7},
                             {"moon_latitude", -3.229127, 5e-7},
                             {"moon_distance_km", 368409.7, 0.05},
                             {"phase_angle", 69.0756, 5e-5},
                             {"illumination", 0.6786, 5e-5}});
}

TEST(CliAstro, TimeOfDayAndExtremeYears) {
  EXPECT_EQ(Lines(RunTool({"astro", "2000-01-01T18:00:36"}).out)[0], "jd 2451545.250416667");
  EXPECT_EQ(Lines(RunTool({"astro", "0001-01-01"}).out)[0], "jd 1721425.500000000");
  EXPECT_EQ(Lines(RunTool({"astro", "9999-12-31T23:59:59"}).out)[0], "jd 5373484.499988426");
}

// One line of `moon`: date, fraction, percent, mark.
std::vector<std::string> MoonDay(const std::string& out, int day) {
  const auto lines = Lines(out);
  return Fields(lines.at(static_cast<std::size_t>(day - 1)), '\t');
}

TEST(CliMoon, January2000) {
  const auto r = RunTool({"moon", "2000-01"});
  ASSERT_EQ(r.code, kOk) << r.err;
  EXPECT_TRUE(r.err.empty());
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 31u);
  for (int day = 1; day <= 31; ++day) {
    const auto f = MoonDay(r.out, day);
    ASSERT_EQ(f.size(), 4u) << lines[day - 1];
    char date[16];
    std::snprintf(date, sizeof date, "2000-01-%02d", day);
    EXPECT_EQ(f[0], date);
    EXPECT_EQ(Decimals(f[1]), 9);
    EXPECT_EQ(f[3], day == 6 ? "new" : day == 21 ? "full" : "-") << lines[day - 1];
  }
  EXPECT_EQ(MoonDay(r.out, 6)[2], "0");
  EXPECT_NEAR(std::stod(MoonDay(r.out, 6)[1]), 0.000887, 5e-7);
  EXPECT_EQ(MoonDay(r.out, 7)[2], "1");
  EXPECT_NEAR(std::stod(MoonDay(r.out, 7)[1]), 0.005035, 5e-7);
  EXPECT_EQ(MoonDay(r.out, 20)[2], "99");
  EXPECT_EQ(MoonDay(r.out, 21)[2], "100");
  EXPECT_NEAR(std::stod(MoonDay(r.out, 21)[1]), 0.998648, 5e-7);
}

TEST(CliMoon, DayAfterAMarkShowsItsPercentButNoMark) {
  // 1995-03-30 and 31 both round to 0; 1995-12-06 and 07 both to 100.
  const auto march = RunTool({"moon", "1995-03"}).out;
  EXPECT_EQ(MoonDay(march, 30)[3], "new");
  EXPECT_EQ(MoonDay(march, 31)[2], "0");
  EXPECT_EQ(MoonDay(march, 31)[3], "-");
  const auto december = RunTool({"moon", "1995-12"}).out;
  EXPECT_EQ(MoonDay(december, 6)[3], "full");
  EXPECT_EQ(MoonDay(december, 7)[2], "100");
  EXPECT_EQ(MoonDay(december, 7)[3], "-");
  // The day before the 1st is not looked at: 2016-09-30 and 10-01 are both marked.
  EXPECT_EQ(MoonDay(RunTool({"moon", "2016-09"}).out, 30)[3], "new");
  EXPECT_EQ(MoonDay(RunTool({"moon", "2016-10"}).out, 1)[3], "new");
}

TEST(CliMoon, MonthLengthsAndYearRange) {
  EXPECT_EQ(Lines(RunTool({"moon", "2000-02"}).out).size(), 29u);
  EXPECT_EQ(Lines(RunTool({"moon", "1900-02"}).out).size(), 28u);
  const auto first = RunTool({"moon", "0001-01"});
  ASSERT_EQ(first.code, kOk) << first.err;
  EXPECT_EQ(Lines(first.out).front().substr(0, 11), "0001-01-01\t");
  const auto last = RunTool({"moon", "9999-12"});
  ASSERT_EQ(last.code, kOk) << last.err;
  EXPECT_EQ(Lines(last.out).back().substr(0, 11), "9999-12-31\t");
}

TEST(CliAstroErrors, BadInputIsOneLineAndNoOutput) {
  struct Case {
    Args args;
    const char* says;
  };
  const std::vector<Case> cases{
      {{"astro"}, "astro: missing date"},
      {{"astro", "2000-01-01", "2000-01-02"}, "unexpected argument '2000-01-02'"},
      {{"astro", "2003-02-29"}, "no such date"},
      {{"astro", "2000-13-01"}, "month must be 01..12"},
      {{"astro", "2000-00-10"}, "month must be 01..12"},
      {{"astro", "0000-01-01"}, "year must be 0001..9999"},
      {{"astro", "abcd-01-01"}, "expected YYYY-MM-DD"},
      {{"astro", "2000-1-1"}, "expected YYYY-MM-DD"},
      {{"astro", "2000-01-01T12"}, "expected YYYY-MM-DD"},
      {{"astro", "2000-01-01 12:00"}, "expected YYYY-MM-DD"},
      {{"astro", "2000-01-01T1a:00"}, "expected YYYY-MM-DD"},
      {{"astro", "2000-01-01T24:00"}, "no such time of day"},
      {{"astro", "2000-01-01T12:60"}, "no such time of day"},
      {{"astro", "2000-01-01T12:00:60"}, "no such time of day"},
      {{"astro", "--frobnicate"}, "unknown option '--frobnicate'"},
      {{"astro", "2000-01-01\nx"}, "'2000-01-01?x'"},
      {{"moon"}, "moon: missing month"},
      {{"moon", "2000-01", "--file"}, "unknown option '--file'"},
      {{"moon", "2000-13"}, "month must be 01..12"},
      {{"moon", "0000-05"}, "year must be 0001..9999"},
      {{"moon", "2000-01-01"}, "expected YYYY-MM"},
      {{"moon", "200-01"}, "expected YYYY-MM"},
      {{"moon", "jan"}, "expected YYYY-MM"},
      {{"phases"}, "phases: missing year or month"},
      {{"phases", "2000", "2001"}, "unexpected argument '2001'"},
      {{"phases", "2000-13"}, "month must be 01..12"},
      {{"phases", "2000-00"}, "month must be 01..12"},
      {{"phases", "0000"}, "year must be 0001..9999"},
      {{"phases", "200"}, "expected YYYY or YYYY-MM"},
      {{"phases", "20000"}, "expected YYYY or YYYY-MM"},
      {{"phases", "2000-1"}, "expected YYYY or YYYY-MM"},
      {{"phases", "2000-01-01"}, "expected YYYY or YYYY-MM"},
      {{"phases", "2000/01"}, "expected YYYY or YYYY-MM"},
  };
  for (const Case& c : cases) {
    const auto r = RunTool(c.args);
    const std::string what = c.args.size() > 1 ? c.args[0] + " " + c.args[1] : c.args[0];
    EXPECT_EQ(r.code, kBadInput) << what;
    EXPECT_TRUE(r.out.empty()) << what;
    EXPECT_EQ(r.err.rfind("redoviri-cli: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << "want '" << c.says << "' in: " << r.err;
  }
}

// Each line "YYYY-MM-DDThh:mm:ssZ<TAB>new|full", in time order, new and
// full alternating, every line in the year asked for; the months of a year
// give the year's lines.
TEST(CliAstro, PhasesFormatYearsAndMonths) {
  const std::regex form(R"((\d{4})-(\d{2})-\d{2}T([01]\d|2[0-3]):[0-5]\d:[0-5]\dZ\t(new|full))");
  for (const std::string year : {"0001", "1900", "2000", "2024", "9999"}) {
    const auto r = RunTool({"phases", year});
    ASSERT_EQ(r.code, kOk) << r.err;
    EXPECT_TRUE(r.err.empty());
    const auto lines = Lines(r.out);
    EXPECT_GE(lines.size(), 24u) << year;
    EXPECT_LE(lines.size(), 26u) << year;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      std::smatch m;
      ASSERT_TRUE(std::regex_match(lines[i], m, form)) << lines[i];
      EXPECT_EQ(m[1].str(), year) << lines[i];
      if (i == 0) continue;
      EXPECT_LT(lines[i - 1], lines[i]);  // the fixed-width stamps sort as text
      EXPECT_NE(Fields(lines[i - 1], '\t')[1], Fields(lines[i], '\t')[1]) << lines[i];
    }
    std::string months;
    for (int month = 1; month <= 12; ++month) {
      const std::string arg = year + (month < 10 ? "-0" : "-") + std::to_string(month);
      const auto mr = RunTool({"phases", arg});
      ASSERT_EQ(mr.code, kOk) << mr.err;
      for (const std::string& line : Lines(mr.out)) EXPECT_EQ(line.substr(0, 7), arg) << line;
      months += mr.out;
    }
    EXPECT_EQ(months, r.out) << year;
  }
  // Meeus' example 49.a, 1977-02-18 3h37m42s TD, is 03:36:54 UT with
  // Delta T = 47.6 s (within 1955..2005: no lunar correction); the
  // truncated lunar theory puts it some five seconds later.
  const auto feb = Lines(RunTool({"phases", "1977-02"}).out);
  ASSERT_EQ(feb.size(), 2u);
  EXPECT_EQ(feb[1].substr(0, 18), "1977-02-18T03:36:5") << feb[1];
  EXPECT_EQ(feb[1].substr(feb[1].size() - 4), "\tnew");
  EXPECT_NE(RunTool({"--help"}).out.find("phases YYYY[-MM]"), std::string::npos);
  EXPECT_EQ(RunTool({"phases", "--help"}).out.rfind("usage: redoviri-cli phases YYYY[-MM]", 0), 0u);
}

}  // namespace
}  // namespace redoviri::cli
