#pragma once
// The user's language as a language identifier, for Language = "*". Taken
// from the message locale of the environment (LC_ALL, LC_MESSAGES, LANG).
// Known language/territory pairs give their full identifier; a language
// known without its territory gives the primary language number (below
// 1024), which selects the first table of that language; the "C" locale and
// unknown languages give 1033, the built-in table.
#include <string_view>

namespace lunaro::archive {

int LcidOfLocaleName(std::string_view localeName);
int UserDefaultLcid();

}  // namespace lunaro::archive
