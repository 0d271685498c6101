#include "net/ftp/listing_dates.h"

#include <array>

#include "net/text_utils.h"
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

std::string Upper(const std::string& text) { return platform::UserUpperCase(text); }

struct MonthTables {
    MonthRow system;
    std::array<MonthRow, std::size(kKnownRows)> known;
};

const MonthTables& Tables() {
    static const MonthTables tables = [] {
        MonthTables built;
        const auto systemNames = platform::UserShortMonthNames();
        for (int month = 0; month < 12; ++month) built.system[month] = Upper(systemNames[month]);
        for (size_t row = 0; row < std::size(kKnownRows); ++row) {
            for (int month = 0; month < 12; ++month) built.known[row][month] = Upper(kKnownRows[row][month]);
        }
        return built;
    }();
    return tables;
}

int FindMonth(const std::string& name, const MonthRow* custom) {
    if (name.empty()) return 0;
    const std::string wanted = Upper(name);
    const MonthTables& tables = Tables();
    for (int month = 0; month < 12; ++month) {
        if (custom != nullptr && (*custom)[month] == wanted) return month + 1;
        if (tables.system[month] == wanted) return month + 1;
        for (const MonthRow& row : tables.known) {
            if (row[month] == wanted) return month + 1;
        }
    }
    return 0;
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

int MonthNumber(const std::string& name) { return FindMonth(name, nullptr); }

int MonthNumber(const std::string& name, const TMonthNames& customRow) {
    MonthRow custom;
    for (size_t month = 0; month < 12 && month < customRow.size(); ++month) custom[month] = Upper(customRow[month]);
    return FindMonth(name, &custom);
}

double TimeOfDayFromText(const std::string& text) {
    std::string value = text;
    const size_t lastColon = value.rfind(':');
    if (lastColon != std::string::npos && value.size() - lastColon - 1 > 2) value.resize(lastColon + 3);
    const std::string separator = platform::UserTimeSeparator();
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

}  // namespace lunaro::net
