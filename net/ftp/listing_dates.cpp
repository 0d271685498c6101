#include "net/ftp/listing_dates.h"

#include <array>
#include <ctime>
#include <string_view>
#include <unordered_map>

#include "net/text_utils.h"
#include "platform/date_time.h"
#include "platform/locale_info.h"

namespace lunaro::net {
namespace {

using MonthRow = std::array<std::string, 12>;

// Written in UTF-8; listings from servers in these languages use them.
constexpr const char* kKnownRows[][12] = {
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"jan", "f\u00e9v", "mar", "avr", "mai", "jun", "jul", "ao\u00fb", "sep", "oct", "nov", "d\u00e9c"},
    {"jan", "fev", "mar", "avr", "mai", "jun", "jul", "aou", "sep", "oct", "nov", "dec"},
    {"Jan", "Feb", "Mar", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"Jan", "Feb", "M\u00e4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"Led", "\u00dano", "B\u00f8e", "Dub", "Kv\u00ec", "\u00c8en", "\u00c8ec", "Srp", "Z\u00e1\u00f8", "\u00d8\u00edj",
     "Lis", "Pro"},
};

std::string Upper(std::string_view text) { return platform::UserUpperCase(text); }

// Every name of the system's and the known rows, upper-cased, with the
// lowest month it names: looking a name up must give what trying the rows
// month by month gives, and it runs for every line of a listing.
const std::unordered_map<std::string, int>& KnownNames() {
    static const std::unordered_map<std::string, int> names = [] {
        std::unordered_map<std::string, int> built;
        const auto systemNames = platform::UserShortMonthNames();
        for (int month = 0; month < 12; ++month) {
            built.emplace(Upper(systemNames[month]), month + 1);
            for (const auto& row : kKnownRows) built.emplace(Upper(row[month]), month + 1);
        }
        return built;
    }();
    return names;
}

int FindMonth(std::string_view name, const MonthRow* custom) {
    if (name.empty()) return 0;
    const std::string wanted = Upper(name);
    const auto known = KnownNames().find(wanted);
    int month = known == KnownNames().end() ? 0 : known->second;
    if (custom != nullptr) {
        const int last = month == 0 ? 12 : month - 1;
        for (int i = 0; i < last; ++i) {
            if ((*custom)[i] == wanted) return i + 1;
        }
    }
    return month;
}

// Hours 0..23, minutes and seconds 0..59, one or two digits each.
bool ReadTimeField(const std::string& text, int limit, int& value) {
    if (text.empty() || text.size() > 2) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

}  // namespace

int MonthNumber(std::string_view name) { return FindMonth(name, nullptr); }

int MonthNumber(std::string_view name, const TMonthNames& customRow) {
    MonthRow custom;
    for (size_t month = 0; month < 12 && month < customRow.size(); ++month) custom[month] = Upper(customRow[month]);
    return FindMonth(name, &custom);
}

double TimeOfDayFromText(const std::string& text) { return TimeOfDayFromText(text, platform::UserTimeSeparator()); }

double TimeOfDayFromText(const std::string& text, const std::string& separator) {
    std::string value = text;
    const size_t lastColon = value.rfind(':');
    if (lastColon != std::string::npos && value.size() - lastColon - 1 > 2) value.resize(lastColon + 3);
    value = Trim(ReplaceAll(value, ":", separator));
    std::string fields[3];
    int count = 0;
    while (count < 3) {
        const bool more = value.find(separator) != std::string::npos;
        fields[count++] = more ? TextBefore(value, separator) : value;
        value = more ? TextAfter(value, separator) : std::string();
        if (!more) break;
    }
    if (count < 2 || !value.empty()) return -1;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (!ReadTimeField(fields[0], 23, hours) || !ReadTimeField(fields[1], 59, minutes)) return -1;
    if (count == 3 && !ReadTimeField(fields[2], 59, seconds)) return -1;
    return (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, double& days) {
    if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return false;
    // Days from the civil calendar's origin, shifted so that March starts the year.
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int monthFromMarch = (month + 9) % 12;
    const int dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long long fromUnixEpoch = static_cast<long long>(era) * 146097 + dayOfEra - 719468;
    days = static_cast<double>(fromUnixEpoch) + platform::kUnixEpochDays;
    return true;
}

double LocalNow() { return platform::DateTimeFromUnixTime(std::time(nullptr)); }

int CurrentLocalYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    return ::localtime_r(&now, &local) ? local.tm_year + 1900 : 1970;
}

}  // namespace lunaro::net
