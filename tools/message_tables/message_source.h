#pragma once
// The text lists from which the message tables are built. A list is UTF-8:
//
//   # comment
//   language 1046 BR
//   10096 "BR: padrão"
//   11039 "Já existe o arquivo %s\nDeseja substituí-lo"
//
// One "language LCID NAME" line, then one identifier and quoted text per
// line; inside the quotes "\n" is a line break, "\"" a quote, "\\" a
// backslash. Blank lines and lines starting with '#' are ignored.
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lunaro::tools {

// Highest identifier a string table can hold: block numbers are 16-bit.
inline constexpr int kMaxMessageIdent = 0xFFFE * 16 + 15;

struct MessageSource {
    uint16_t lcid = 0;
    std::string name;                // language code name, e.g. "BR"
    std::map<int, std::string> texts;  // identifier -> UTF-8 text
};

class MessageSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises MessageSourceError naming origin and line for anything malformed.
MessageSource ParseMessageSource(std::string_view text, const std::string& origin);

}  // namespace lunaro::tools
