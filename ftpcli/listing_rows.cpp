#include "ftpcli/listing_rows.h"

#include <cmath>
#include <cstdio>

#include "platform/date_time.h"
#include "platform/printable_text.h"

namespace lunaro::ftpcli {
namespace {

// Appends, rather than returning pieces, because a listing of many entries
// is printed row after row into one text.
void AppendEscapingControls(std::string& out, const std::string& text) {
    size_t plain = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != 0x7F) continue;
        static constexpr char kHex[] = "0123456789ABCDEF";
        const char escaped[4] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        out.append(text, plain, i - plain).append(escaped, sizeof escaped);
        plain = i + 1;
    }
    out.append(text, plain, std::string::npos);
}

void AppendDigits(std::string& out, long long value, int width) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 || count < width);
    while (count > 0) out += digits[--count];
}

void AppendListingTime(std::string& out, double dateTime) {
    // Whole seconds since the epoch of the day count, rounded.
    const long long totalSeconds = std::llround(dateTime * 86400.0);
    long long days = totalSeconds / 86400;
    long long seconds = totalSeconds % 86400;
    if (seconds < 0) seconds += 86400, --days;
    // Civil date of a day count from 1970-01-01, March-based years.
    const long long z = days - static_cast<long long>(platform::kUnixEpochDays) + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const long long month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    // As "%04lld" writes a year: the sign takes one of the four places.
    if (year < 0) out += '-';
    AppendDigits(out, year < 0 ? -year : year, year < 0 ? 3 : 4);
    out += '-';
    AppendDigits(out, month, 2);
    out += '-';
    AppendDigits(out, day, 2);
    out += ' ';
    AppendDigits(out, seconds / 3600, 2);
    out += ':';
    AppendDigits(out, seconds / 60 % 60, 2);
    out += ':';
    AppendDigits(out, seconds % 60, 2);
}

void AppendTsvRow(std::string& out, const net::TFTPListRec& record) {
    AppendEscapingControls(out, record.FileName);
    out += record.Directory ? "\t1\t" : "\t0\t";
    out += std::to_string(record.FileSize);
    out += '\t';
    AppendListingTime(out, record.FileTime);
    out += '\t';
    if (record.Mask.empty()) out += "MLSD";
    else AppendEscapingControls(out, record.Mask);
}

}  // namespace

std::string FormatListingTime(double dateTime) {
    std::string text;
    AppendListingTime(text, dateTime);
    return text;
}

std::string TsvRow(const net::TFTPListRec& record) {
    std::string row;
    AppendTsvRow(row, record);
    return row;
}

std::string TableRow(const net::TFTPListRec& record) {
    char head[64];
    std::snprintf(head, sizeof head, "%s %15lld  ", record.Directory ? "d" : "-",
                  static_cast<long long>(record.FileSize));
    return head + FormatListingTime(record.FileTime) + "  " + platform::PrintableText(record.FileName);
}

std::string ListingRows(const net::TFTPList& list, TListFormat format) {
    std::string rows;
    for (int i = 0; i < list.Count(); ++i) {
        if (format == TListFormat::Tsv) AppendTsvRow(rows, *list.Items(i));
        else rows += TableRow(*list.Items(i));
        rows += '\n';
    }
    return rows;
}

}  // namespace lunaro::ftpcli
