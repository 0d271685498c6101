#include "app/text_replace.h"

#include "platform/exception.h"
#include "platform/text_case.h"

namespace lunaro::app {

namespace {

// Far beyond any configuration value; stops replacements that feed each
// other from running away.
constexpr size_t kResultLimit = 1 << 20;

}  // namespace

std::string SubstituirTexto(const std::string& text, const std::string& pattern, const std::string& replacement) {
    if (pattern.empty()) return text;
    const std::string upperPattern = platform::AsciiUpperCase(pattern);
    const std::string upperReplacement = platform::AsciiUpperCase(replacement);
    if (upperReplacement.find(upperPattern) != std::string::npos)
        throw platform::Exception("The replacement \"" + replacement + "\" contains the pattern \"" + pattern +
                                  "\": the replacement would never end");

    std::string result = text;
    std::string upperResult = platform::AsciiUpperCase(text);
    for (size_t at = upperResult.find(upperPattern); at != std::string::npos; at = upperResult.find(upperPattern)) {
        result.replace(at, pattern.size(), replacement);
        upperResult.replace(at, pattern.size(), upperReplacement);
        if (result.size() > kResultLimit + text.size())
            throw platform::Exception("Replacing \"" + pattern + "\" keeps growing the text without end");
    }
    return result;
}

}  // namespace lunaro::app
