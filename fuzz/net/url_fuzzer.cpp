// libFuzzer target: arbitrary text through the URL and text utilities:
// SplitUrl, the escape decoders, base64, the address checks, header-line
// unfolding and line-break search.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/text_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace net = lunaro::net;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const net::TUrlParts parts = net::SplitUrl(text);
    (void)net::PercentDecode(parts.Path);
    (void)net::PercentDecode(parts.User + parts.Pass);
    (void)net::DecodeEscapes(text, '=');
    (void)net::Base64Encode(text);
    (void)net::IsIPv4Text(parts.Host);
    (void)net::IsIPv6Text(parts.Host);
    (void)net::IsIPv6Text(text);
    (void)net::EnsurePathDelimiter(text);
    std::string lineBreak;
    (void)net::FindLineBreak(text, lineBreak);

    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty() && lines.size() < 256) lines.push_back(net::FetchField(rest, "\n"));
    for (size_t index = 0; index < lines.size();) {
        const size_t before = index;
        (void)net::UnfoldHeaderLine(lines, index);
        if (index == before) ++index;
    }
    return 0;
}
