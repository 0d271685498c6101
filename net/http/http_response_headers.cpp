#include "net/http/http_response_headers.h"

#include <limits>

#include "net/text_utils.h"
#include "platform/text_case.h"

namespace lunaro::net {

namespace {

enum class TNumberText : uint8_t { Valid, NotANumber, TooLarge };

// An optional sign followed by decimal digits, nothing else.
TNumberText ParseDecimal(const std::string& text, int64_t& value) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    if (pos == text.size()) return TNumberText::NotANumber;
    uint64_t magnitude = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : std::numeric_limits<int64_t>::max();
    bool tooLarge = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9') return TNumberText::NotANumber;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) tooLarge = true;
        else magnitude = magnitude * 10 + digit;
    }
    if (tooLarge) return TNumberText::TooLarge;
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return TNumberText::Valid;
}

// A Content-Length value: one number, or a list of copies of one number.
// -1 when it holds no number; malformed is set for a negative or oversized
// number and for a list whose members differ.
int64_t ContentLengthValue(const std::string& value, bool& malformed) {
    std::string rest = value;
    int64_t result = 0;
    bool first = true;
    while (!rest.empty() || first) {
        int64_t size = -1;
        switch (ParseDecimal(FetchField(rest, ","), size)) {
            case TNumberText::Valid:
                if (size < 0) malformed = true;
                break;
            case TNumberText::TooLarge:
                malformed = true;
                size = -1;
                break;
            case TNumberText::NotANumber:
                size = -1;
                break;
        }
        if (!first && size != result) malformed = true;
        result = size;
        first = false;
    }
    return result;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

void DecodeStatusLine(const std::string& value, int32_t& code, std::string& reason) {
    const std::string rest = Trim(TextAfter(value, " "));
    int64_t number = 0;
    const bool valid = ParseDecimal(Trim(TextBefore(rest, " ")), number) == TNumberText::Valid &&
                       number >= std::numeric_limits<int32_t>::min() &&
                       number <= std::numeric_limits<int32_t>::max();
    code = valid ? static_cast<int32_t>(number) : 0;
    reason = rest.find(' ') == std::string::npos ? std::string() : Trim(TextAfter(rest, " "));
}

void ApplyResponseHeader(const std::string& line, bool usingProxy, TResponseFraming& framing,
                         std::string& mimeType) {
    const std::string upper = platform::AsciiUpperCase(line);
    if (StartsWith(upper, "CONTENT-LENGTH:")) {
        const int64_t size = ContentLengthValue(TextAfter(line, ":"), framing.Malformed);
        // Two lengths that disagree leave no way to tell where the body ends.
        if (framing.LengthSeen && size != framing.Size) framing.Malformed = true;
        framing.LengthSeen = true;
        framing.Size = size;
        if (size != -1 && framing.Encoding == TTransferEncoding::TE_UNKNOWN)
            framing.Encoding = TTransferEncoding::TE_IDENTITY;
    } else if (StartsWith(upper, "CONTENT-TYPE:")) {
        mimeType = Trim(TextAfter(line, ":"));
    } else if (StartsWith(upper, "TRANSFER-ENCODING:")) {
        if (Trim(TextAfter(upper, ":")).find("CHUNKED") != std::string::npos)
            framing.Encoding = TTransferEncoding::TE_CHUNKED;
    } else if (StartsWith(upper, usingProxy ? "PROXY-CONNECTION:" : "CONNECTION:")) {
        if (upper.find("CLOSE") != std::string::npos) framing.ToClose = true;
    }
}

bool ParseChunkSize(const std::string& line, int64_t& size) {
    const std::string digits = Trim(TextBefore(Trim(TextBefore(line, " ")), ";"));
    if (digits.empty()) return false;
    uint64_t value = 0;
    for (const char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        if (value > (static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) >> 4)) return false;
        value = (value << 4) | static_cast<uint64_t>(digit);
    }
    size = static_cast<int64_t>(value);
    return true;
}

}  // namespace lunaro::net
