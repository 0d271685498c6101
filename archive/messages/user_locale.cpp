#include "archive/messages/user_locale.h"

#include <cctype>
#include <string>

#include "platform/environment.h"

namespace lunaro::archive {

namespace {

struct LanguageIds {
    const char* language;
    int primary;
    const char* territory;  // the territory whose identifier is sublanguage 1 (or listed)
    int lcid;
};

// The languages for which tables may exist. Spanish of Spain maps to the
// traditional-sort identifier: the locale carries no sort order, and that is
// the identifier the Spanish table is stored under.
constexpr LanguageIds kLanguages[] = {
    {"ca", 0x03, "ES", 1027}, {"zh", 0x04, "CN", 2052}, {"cs", 0x05, "CZ", 1029}, {"da", 0x06, "DK", 1030},
    {"de", 0x07, "DE", 1031}, {"el", 0x08, "GR", 1032}, {"en", 0x09, "US", 1033}, {"es", 0x0A, "ES", 1034},
    {"fi", 0x0B, "FI", 1035}, {"fr", 0x0C, "FR", 1036}, {"hu", 0x0E, "HU", 1038}, {"it", 0x10, "IT", 1040},
    {"ja", 0x11, "JP", 1041}, {"ko", 0x12, "KR", 1042}, {"nl", 0x13, "NL", 1043}, {"nb", 0x14, "NO", 1044},
    {"no", 0x14, "NO", 1044}, {"pl", 0x15, "PL", 1045}, {"pt", 0x16, "BR", 1046}, {"ro", 0x18, "RO", 1048},
    {"ru", 0x19, "RU", 1049}, {"sr", 0x1A, "RS", 2074}, {"sv", 0x1D, "SE", 1053}, {"ms", 0x3E, "MY", 1086},
};

constexpr int kBuiltinLcid = 1033;

}  // namespace

int LcidOfLocaleName(std::string_view localeName) {
    const size_t end = localeName.find_first_of(".@");
    const std::string_view tag = localeName.substr(0, end);
    const size_t underscore = tag.find('_');
    std::string language(tag.substr(0, underscore));
    for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string_view territory = underscore == std::string_view::npos ? std::string_view() : tag.substr(underscore + 1);
    if (language == "zh" && (territory == "TW" || territory == "HK")) return 1028;
    for (const LanguageIds& ids : kLanguages) {
        if (language != ids.language) continue;
        return territory == ids.territory ? ids.lcid : ids.primary;
    }
    return kBuiltinLcid;
}

int UserDefaultLcid() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string value = platform::EnvironmentValue(variable);
        if (!value.empty()) return LcidOfLocaleName(value);
    }
    return kBuiltinLcid;
}

}  // namespace lunaro::archive
