// Matching a listing line against one mask, checking what the mask picked
// out, and turning it into a record.
#include <cctype>

#include "net/ftp/decimal_text.h"
#include "net/ftp/ftp_list.h"
#include "net/ftp/listing_dates.h"
#include "net/text_utils.h"

namespace lunaro::net {
namespace {

constexpr char kLineEndMark = '\xA7';
constexpr char kNextLineMark = '\\';
constexpr size_t kRememberedMonthNames = 32;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Views, not copies: these run several times for every line of a listing.
std::string_view WithoutSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view WithoutBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

int64_t NumberOf(std::string_view text, int64_t fallback = -1) { return DecimalOr(WithoutSpaces(text), fallback); }

bool InRange(std::string_view text, int64_t low, int64_t high) {
    const int64_t value = NumberOf(text);
    return value >= low && value <= high;
}

TMonthNames MonthRowOf(const std::string& names) {
    TMonthNames row;
    for (size_t i = 0; i < 12; ++i) row.push_back(names.substr(i * 3, 3));
    return row;
}

int MonthOf(const std::string& name, const std::string& customNames) {
    return customNames.size() == 36 ? MonthNumber(WithoutSpaces(name), MonthRowOf(customNames))
                                    : MonthNumber(WithoutSpaces(name));
}

bool ValidPermissions(const std::string& text) {
    static const std::string allowed = "-Sabcdhlprstwxy";
    if (text.size() != 10 && text.size() != 7) return false;
    for (char c : text) {
        if (allowed.find(c) == std::string::npos) return false;
    }
    return true;
}

bool ValidYear(const std::string& text) {
    const std::string_view year = WithoutBlanks(text);
    const int64_t value = NumberOf(year);
    switch (year.size()) {
        case 4: return value >= 1901 && value <= 2099;
        case 2: return value >= 0 && value <= 99;
        case 3: return value >= 100 && value <= 110;
        default: return false;
    }
}

bool ValidYearTime(const std::string& text, const std::string& timeSeparator) {
    const std::string value = Trim(ReplaceAll(text, "-", ":"));
    if (value.find(':') == std::string::npos) return InRange(value, 1900, 2100);
    return TimeOfDayFromText(value, timeSeparator) >= 0;
}

}  // namespace

void TFTPList::TParseState::Clear() {
    for (std::string* field : {&Monthnames, &BlockSize, &DirFlagValue, &FileName, &VMSFileName, &Day, &Month,
                               &ThreeMonth, &YearTime, &Year, &Hours, &HoursModif, &Minutes, &Seconds, &Size,
                               &Permissions, &DirFlag}) {
        field->clear();
    }
    MonthOfName = 0;
}

std::string* TFTPList::TParseState::Field(char MaskLetter) {
    switch (MaskLetter) {
        case 'n': return &FileName;
        case 'v': return &VMSFileName;
        case 'D': return &Day;
        case 'M': return &Month;
        case 'T': return &ThreeMonth;
        case 'U': return &YearTime;
        case 'Y': return &Year;
        case 'h': return &Hours;
        case 'H': return &HoursModif;
        case 'm': return &Minutes;
        case 's': return &Seconds;
        case 'S': return &Size;
        case 'p': return &Permissions;
        case 'd': return &DirFlag;
        default: return nullptr;
    }
}

std::string_view TFTPList::WithoutTrailingControls(std::string_view line) {
    while (!line.empty() && static_cast<unsigned char>(line.back()) < 33) line.remove_suffix(1);
    return line;
}

int TFTPList::ParseByMask(std::string_view Line, std::string_view NextLine, const std::string& Mask) {
    S.Clear();
    if (Line.empty() || Mask.empty()) return 0;
    // The line the mask reads: the entry's, and after the next-line mark
    // the line below it.
    const std::string_view* text = &Line;
    int result = 1;
    char previous = ' ';
    long li = 0;
    for (size_t mi = 0; mi < Mask.size(); ++mi, ++li) {
        const char m = Mask[mi];
        const long size = static_cast<long>(text->size());
        if (m != '*' && m != kNextLineMark && m != kLineEndMark && li >= size) return 0;
        if (std::string* field = S.Field(m)) {
            // A run of one letter takes that many line characters at once.
            size_t run = 1;
            while (mi + run < Mask.size() && Mask[mi + run] == m) ++run;
            if (li + static_cast<long>(run) > size) return 0;
            field->append(*text, static_cast<size_t>(li), run);
            mi += run - 1;
            li += static_cast<long>(run) - 1;
            previous = m;
            continue;
        }
        const char c = li < size ? (*text)[static_cast<size_t>(li)] : '\0';
        switch (m) {
            case '*':
                if (previous == 'n' || previous == 'v') {
                    std::string& name = previous == 'n' ? S.FileName : S.VMSFileName;
                    if (mi + 1 == Mask.size()) {
                        if (li < size) name.append((*text), static_cast<size_t>(li), std::string::npos);
                        li = size;
                    } else {
                        while (li < size && (*text)[static_cast<size_t>(li)] != ' ') name += (*text)[static_cast<size_t>(li++)];
                    }
                } else {
                    while (li < size && IsDigit((*text)[static_cast<size_t>(li)])) {
                        if (previous == 'S') S.Size += (*text)[static_cast<size_t>(li)];
                        ++li;
                    }
                }
                --li;
                break;
            case '!':
                while (li < size && (*text)[static_cast<size_t>(li)] != ' ') ++li;
                while (li < size && (*text)[static_cast<size_t>(li)] == ' ') ++li;
                --li;
                break;
            case '$':
                while (li < size && ((*text)[static_cast<size_t>(li)] == ' ' || (*text)[static_cast<size_t>(li)] == '\t')) ++li;
                --li;
                break;
            case '.':
                if (c != '.' && c != ' ') return 0;
                S.FileName = TrimSpaces(S.FileName) + ".";
                break;
            case ':':
                if (c != ':') return 0;
                break;
            case 'x':
                if (c != ' ') return 0;
                break;
            case 'y':
                if (c != ' ') result = 0;
                break;
            case '=':
                // An annotation of the mask itself: after "d" the flag letter
                // that marks a directory; after "S" the block size and after
                // "T" a row of 36 month-name characters (these two take no
                // line character).
                if (previous == 'd') {
                    if (++mi < Mask.size()) S.DirFlagValue = Mask[mi];
                } else if (previous == 'S') {
                    while (mi + 1 < Mask.size() && IsDigit(Mask[mi + 1])) S.BlockSize += Mask[++mi];
                    --li;
                } else if (previous == 'T') {
                    S.Monthnames = Mask.substr(mi + 1, 36);
                    mi += S.Monthnames.size();
                    --li;
                }
                break;
            case kNextLineMark:
                text = &NextLine;
                li = -1;
                result = 2;
                break;
            case kLineEndMark:
                if (li < size - 1) return 0;
                break;
            default: break;
        }
        previous = m;
    }
    return result;
}

bool TFTPList::CheckValues() {
    if (WithoutBlanks(S.FileName).empty() && WithoutBlanks(S.VMSFileName).empty()) return false;
    if (!S.FileName.empty() && S.VMSFileName.find_first_of("?*") != std::string::npos) return false;
    if (!S.VMSFileName.empty() && S.VMSFileName.find(';') == std::string::npos) return false;
    if (!S.Permissions.empty() && !ValidPermissions(S.Permissions)) return false;
    if (!S.Day.empty() && !InRange(S.Day, 1, 31)) return false;
    if (!S.Month.empty() && !InRange(S.Month, 1, 12)) return false;
    if (!S.Hours.empty() && !InRange(S.Hours, 0, 24)) return false;
    if (!S.Minutes.empty() && !InRange(S.Minutes, 0, 59)) return false;
    if (!S.Seconds.empty() && !InRange(S.Seconds, 0, 59)) return false;
    if (!S.HoursModif.empty() && std::string("APap").find(S.HoursModif[0]) == std::string::npos) return false;
    if (!S.Size.empty()) {
        for (char c : WithoutSpaces(S.Size)) {
            if (!IsDigit(c)) return false;
        }
    }
    if (!S.ThreeMonth.empty() && (S.MonthOfName = MonthOfThreeMonth()) == 0) return false;
    if (!S.YearTime.empty() && !ValidYearTime(S.YearTime, FContext.TimeSeparator)) return false;
    if (!S.Year.empty() && !ValidYear(S.Year)) return false;
    return true;
}

int TFTPList::MonthOfThreeMonth() {
    // A mask's own row of names is rare enough to be looked up every time.
    if (S.Monthnames.size() == 36) return MonthOf(S.ThreeMonth, S.Monthnames);
    for (const auto& [name, month] : FContext.Months) {
        if (name == S.ThreeMonth) return month;
    }
    const int month = MonthOf(S.ThreeMonth, S.Monthnames);
    // A hostile listing full of different names must not make every line scan a long list.
    if (FContext.Months.size() < kRememberedMonthNames) FContext.Months.emplace_back(S.ThreeMonth, month);
    return month;
}

void TFTPList::FillRecord(TFTPListRec& Value) const {
    Value.Directory = SameLetters(S.DirFlag, S.DirFlagValue.empty() ? std::string_view("D") : S.DirFlagValue);
    std::string name = S.FileName;
    const size_t link = name.find(" -> ");
    if (link != std::string::npos) name.resize(link);
    if (!S.VMSFileName.empty()) {
        name = S.VMSFileName;
        Value.Directory = name.find(".DIR;") != std::string::npos;
    }
    Value.FileName = TrimSpacesRight(name);
    Value.Readable = !Value.Directory;

    const int64_t blockSize = S.BlockSize.empty() ? 1 : NumberOf(S.BlockSize, 1);
    const int64_t size = NumberOf(S.Size, 0);
    Value.FileSize = size > 0 && blockSize > 0 && size > INT64_MAX / blockSize ? 0 : size * blockSize;

    int year = FContext.Year;
    int month = 1;
    int day = 1;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (!S.Day.empty()) day = static_cast<int>(NumberOf(S.Day, 1));
    if (!S.Month.empty()) month = static_cast<int>(NumberOf(S.Month, 1));
    if (!S.ThreeMonth.empty()) month = S.MonthOfName;
    if (!S.Year.empty()) {
        year = static_cast<int>(NumberOf(WithoutBlanks(S.Year), year));
        if (year >= 51 && year <= 99) year += 1900;
        else if (year <= 50) year += 2000;
    }
    if (!S.YearTime.empty()) {
        const std::string yearTime = Trim(ReplaceAll(S.YearTime, "-", ":"));
        if (yearTime.find(':') == std::string::npos) {
            year = static_cast<int>(NumberOf(yearTime, year));
        } else {
            hours = static_cast<int>(NumberOf(TextBefore(yearTime, ":"), 0));
            minutes = static_cast<int>(NumberOf(TextAfter(yearTime, ":"), 0));
            double date = 0;
            // Listings show a time instead of a year for recent files: a
            // moment still to come belongs to last year.
            if (TryEncodeDate(year, month, day, date) && date + (hours * 60.0 + minutes) / 1440.0 > FContext.Now) --year;
        }
    }
    if (!S.Minutes.empty()) minutes = static_cast<int>(NumberOf(S.Minutes, 0));
    if (!S.Seconds.empty()) seconds = static_cast<int>(NumberOf(S.Seconds, 0));
    if (!S.Hours.empty()) {
        hours = static_cast<int>(NumberOf(S.Hours, 0));
        if (!S.HoursModif.empty() && (S.HoursModif[0] == 'P' || S.HoursModif[0] == 'p') && hours != 12) hours += 12;
    }
    // A day the month does not have (29 February of a common year) becomes its last.
    if (month >= 1 && month <= 12 && day > DaysInMonth(year, month)) day = DaysInMonth(year, month);
    double date = 0;
    if (!TryEncodeDate(year, month, day, date)) TryEncodeDate(FContext.Year, 1, 1, date);
    Value.FileTime = date + (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;

    if (!S.Permissions.empty()) {
        Value.Permission = S.Permissions;
        Value.Readable = S.Permissions.size() > 1 && (S.Permissions[1] == 'R' || S.Permissions[1] == 'r');
        if (S.Permissions[0] == 'd' || S.Permissions[0] == 'D') {
            Value.Directory = true;
            Value.Readable = false;
        } else if (S.Permissions[0] == 'l' || S.Permissions[0] == 'L') {
            Value.Directory = true;
        }
    }
}

}  // namespace lunaro::net
