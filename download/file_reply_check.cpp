#include "download/file_reply_check.h"

#include <charconv>
#include <optional>

#include "download/http_reply_names.h"
#include "download/reply_codes.h"
#include "platform/text_case.h"

namespace lunaro::download {

namespace {

struct TContentRange {
    int64_t First = 0;
    int64_t Last = 0;
    int64_t Total = 0;
};

// Digits only, no sign, no overflow; the whole text.
std::optional<int64_t> ParseCount(std::string_view text) {
    int64_t value = 0;
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "bytes FIRST-LAST/TOTAL". An unknown total ("*") cannot prove that the
// bytes run to the file's end, so it gives nothing.
std::optional<TContentRange> ParseContentRange(const std::string& value) {
    static constexpr std::string_view kUnit = "bytes ";
    const std::string_view text = value;
    if (text.size() < kUnit.size() || !platform::SameTextAscii(text.substr(0, kUnit.size()), kUnit)) {
        return std::nullopt;
    }
    const std::string_view spec = text.substr(kUnit.size());
    const size_t dash = spec.find('-');
    const size_t slash = spec.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) return std::nullopt;
    const auto first = ParseCount(spec.substr(0, dash));
    const auto last = ParseCount(spec.substr(dash + 1, slash - dash - 1));
    const auto total = ParseCount(spec.substr(slash + 1));
    if (!first || !last || !total || *last < *first || *last >= *total) return std::nullopt;
    return TContentRange{*first, *last, *total};
}

TFileReplyCheck Refuse(TReplyRefusal reason, const std::string& detail) { return {reason, detail}; }

TFileReplyCheck CheckPartialContent(const platform::TStringList& headers, int64_t requestedStart) {
    const std::optional<std::string> rangeText = FindHeader(headers, "Content-Range");
    if (!rangeText) return Refuse(TReplyRefusal::WrongRange, "");
    const std::optional<TContentRange> range = ParseContentRange(*rangeText);
    if (!range || range->First != requestedStart || range->Last + 1 != range->Total) {
        return Refuse(TReplyRefusal::WrongRange, *rangeText);
    }
    if (const std::optional<std::string> length = FindHeader(headers, "Content-Length")) {
        const std::optional<int64_t> count = ParseCount(*length);
        if (!count || *count != range->Last - range->First + 1) return Refuse(TReplyRefusal::WrongRange, *rangeText);
    }
    return {};
}

}  // namespace

bool RangeReplyProvesFileWhole(int32_t code, const platform::TStringList& headers, int64_t requestedStart) {
    static constexpr std::string_view kUnsatisfied = "bytes */";
    if (code != kHttpRangeNotSatisfiable || requestedStart <= 0) return false;
    const std::optional<std::string> rangeText = FindHeader(headers, "Content-Range");
    if (!rangeText) return false;
    const std::string_view text = *rangeText;
    if (text.size() <= kUnsatisfied.size() || !platform::SameTextAscii(text.substr(0, kUnsatisfied.size()), kUnsatisfied)) {
        return false;
    }
    return ParseCount(text.substr(kUnsatisfied.size())) == requestedStart;
}

TFileReplyCheck CheckFileReply(int32_t code, const platform::TStringList& headers, int64_t requestedStart) {
    if (code < 200 || code > 299) return {};
    if (code == kHttpPartialContent) return CheckPartialContent(headers, requestedStart);
    if (code != kHttpOk) return Refuse(TReplyRefusal::NotTheFile, "");
    if (requestedStart > 0) {
        const std::optional<std::string> length = FindHeader(headers, "Content-Length");
        if (length && ParseCount(*length) == 0) return Refuse(TReplyRefusal::NotTheRest, *length);
    }
    return {};
}

}  // namespace lunaro::download
