#include "platform/command_line.h"

namespace lunaro::platform {

std::vector<std::string> SplitCommandLine(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            size_t count = 0;
            while (i < text.size() && text[i] == '\\') ++count, ++i;
            if (i < text.size() && text[i] == '"') {
                current.append(count / 2, '\\');
                if (count % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(count, '\\');
            }
            continue;
        }
        if (c == '"') quoted = !quoted;
        else current += c;
        ++i;
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

}  // namespace lunaro::platform
