#include "ftpcli/listing_rows.h"

#include <cmath>
#include <cstdio>

#include "platform/date_time.h"
#include "platform/printable_text.h"

namespace lunaro::ftpcli {
namespace {

std::string EscapeControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string FormatListingTime(double dateTime) {
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
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", year, month, day, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

std::string TsvRow(const net::TFTPListRec& record) {
    return EscapeControls(record.FileName) + "\t" + (record.Directory ? "1" : "0") + "\t" +
           std::to_string(record.FileSize) + "\t" + FormatListingTime(record.FileTime) + "\t" +
           (record.Mask.empty() ? std::string("MLSD") : EscapeControls(record.Mask));
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
        rows += format == TListFormat::Tsv ? TsvRow(*list.Items(i)) : TableRow(*list.Items(i));
        rows += '\n';
    }
    return rows;
}

}  // namespace lunaro::ftpcli
