#include "tools/message_tables/placeholders.h"

#include <cctype>

namespace lunaro::tools {

std::string PlaceholderKinds(std::string_view text) {
    std::string kinds;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        size_t j = i + 1;
        while (j < text.size() && (text[j] == '-' || text[j] == '.' || std::isdigit(static_cast<unsigned char>(text[j]))))
            ++j;
        if (j >= text.size()) break;
        if (text[j] != '%') kinds += text[j];
        i = j;
    }
    return kinds;
}

std::vector<std::string> TranslationProblems(const MessageSource& builtin, const MessageSource& translation) {
    std::vector<std::string> problems;
    for (const auto& [ident, text] : translation.texts) {
        const auto original = builtin.texts.find(ident);
        const std::string where = translation.name + " " + std::to_string(ident) + ": ";
        if (original == builtin.texts.end()) {
            problems.push_back(where + "identifier unknown to the built-in table");
        } else if (PlaceholderKinds(text) != PlaceholderKinds(original->second)) {
            problems.push_back(where + "placeholders '" + PlaceholderKinds(text) + "' differ from '" +
                               PlaceholderKinds(original->second) + "'");
        }
    }
    return problems;
}

}  // namespace lunaro::tools
