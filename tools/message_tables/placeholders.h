#pragma once
// Translations are formatted with the same arguments as the built-in texts,
// so their placeholders must match in number, order and kind; the compiler
// refuses a table that would format an argument wrongly at run time.
#include <string>
#include <string_view>
#include <vector>

#include "tools/message_tables/message_source.h"

namespace lunaro::tools {

// The conversion letters of the text's placeholders in order ("%.1d" -> 'd');
// "%%" is not a placeholder.
std::string PlaceholderKinds(std::string_view text);

// One line per problem: identifiers unknown to the built-in table and texts
// whose placeholders differ from the built-in text.
std::vector<std::string> TranslationProblems(const MessageSource& builtin, const MessageSource& translation);

}  // namespace lunaro::tools
