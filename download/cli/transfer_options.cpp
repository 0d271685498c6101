#include "download/cli/transfer_options.h"

#include <charconv>
#include <limits>

namespace lunaro::download::cli {

namespace {

std::optional<uint32_t> PositiveNumber(const std::string& value) {
    uint32_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() || number == 0) return std::nullopt;
    return number;
}

std::string TakeNumber(const std::string& key, const std::string& value, uint32_t& target) {
    const std::optional<uint32_t> number = PositiveNumber(value);
    if (!number) return key + " needs a whole number from 1 to " + std::to_string(std::numeric_limits<uint32_t>::max());
    target = *number;
    return "";
}

}  // namespace

std::optional<std::string> ApplyTransferOption(const std::string& key, const std::string& value, bool hasValue,
                                               TTransferOptions& options) {
    if (key == "--insecure") {
        if (hasValue) return std::string("--insecure takes no value");
        options.Insecure = true;
        return "";
    }
    if (key != "--speed-limit" && key != "--speed-time" && key != "--max-time" && key != "--cacert") {
        return std::nullopt;
    }
    if (!hasValue || value.empty()) return key + " needs a value (" + key + "=...)";
    if (key == "--speed-limit") return TakeNumber(key, value, options.Limits.LowSpeedBytesPerSec);
    if (key == "--speed-time") return TakeNumber(key, value, options.Limits.LowSpeedSeconds);
    if (key == "--max-time") return TakeNumber(key, value, options.Limits.MaxSeconds);
    options.CACertFile = value;
    return "";
}

std::string CheckTransferOptions(const TTransferOptions& options) {
    if ((options.Limits.LowSpeedBytesPerSec == 0) != (options.Limits.LowSpeedSeconds == 0)) {
        return "--speed-limit and --speed-time go together";
    }
    if (options.Insecure && !options.CACertFile.empty()) return "--cacert and --insecure exclude each other";
    return "";
}

}  // namespace lunaro::download::cli
