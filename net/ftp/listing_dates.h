#pragma once
// Dates and times as directory listings write them: month names in the
// languages servers use, and times of day.
#include <string>
#include <string_view>
#include <vector>

namespace lunaro::net {

using TMonthNames = std::vector<std::string>;  // twelve names, January first

// Month 1..12 whose name matches, letter case ignored; 0 when none does.
// Rows are tried month by month: the custom row (when given: a listing's own
// names), the system's short month names, then English, French (with and
// without accents), German (two spellings) and Czech.
int MonthNumber(std::string_view name);
int MonthNumber(std::string_view name, const TMonthNames& customRow);

// Time of day of a text such as "10:30" or "10:30:15" as a fraction of a day;
// characters beyond two after the last colon are ignored ("10:30pm" reads as
// 10:30). -1 when the text is not a valid time.
double TimeOfDayFromText(const std::string& text);
// The same with the system's time separator already looked up (a parser
// asks once per listing, not once per line).
double TimeOfDayFromText(const std::string& text, const std::string& separator);

// Days since 1899-12-30 of a calendar date (years 1..9999); false when the
// date does not exist.
bool TryEncodeDate(int year, int month, int day, double& days);
int DaysInMonth(int year, int month);
// The present moment as a local date-time, and its year.
double LocalNow();
int CurrentLocalYear();

}  // namespace lunaro::net
