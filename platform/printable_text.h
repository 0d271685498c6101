#pragma once
// Text from a peer (a reply's reason phrase, header values, names it
// suggests), made safe to print on a terminal or write into a log: a byte
// that could move the cursor, clear the screen or set a window title never
// reaches the output raw.
#include <string>
#include <string_view>

namespace lunaro::platform {

// The text with every C0 control (0x00-0x1F), DEL, C1 control (U+0080 to
// U+009F, each byte of its UTF-8 form) and byte that is not part of valid
// UTF-8 written as "\xNN" (two upper-case hex digits). Everything else,
// backslashes included, is kept as it is.
std::string PrintableText(std::string_view text);

}  // namespace lunaro::platform
