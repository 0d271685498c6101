#include "platform/locale_info.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <map>
#include <mutex>

#include "platform/charset_conversion.h"
#include "platform/environment.h"
#include "platform/text_case.h"

namespace lunaro::platform {

namespace {

std::string LocaleName(const char* categoryVariable) {
    for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
        std::string name = EnvironmentValue(variable);
        if (!name.empty()) return name;
    }
    return "C";
}

bool IsCLocale(const std::string& name) {
    return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

// Locale objects by name, loaded once and kept for the life of the process
// (the environment normally names one; tests may name a few). Null for the
// C locale and for names that are not installed.
locale_t UserLocale(const char* categoryVariable) {
    static std::mutex lock;
    // Never destroyed: a destroyed map would let go of locales still in use.
    static auto& loaded = *new std::map<std::string, locale_t>;
    const std::string name = LocaleName(categoryVariable);
    if (IsCLocale(name)) return static_cast<locale_t>(nullptr);
    std::lock_guard<std::mutex> guard(lock);
    auto found = loaded.find(name);
    if (found == loaded.end())
        found = loaded.emplace(name, newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(nullptr))).first;
    return found->second;
}

bool IsUtf8Locale(locale_t locale) {
    const char* codeset = nl_langinfo_l(CODESET, locale);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

std::string InfoText(locale_t locale, nl_item item) {
    const char* text = nl_langinfo_l(item, locale);
    if (!text) return {};
    if (IsUtf8Locale(locale)) return text;
    return ConvertCharset(text, nl_langinfo_l(CODESET, locale), "UTF-8").value_or(std::string());
}

// "%H:%M:%S" -> ":"; "%Hh%M" -> "h". Skips the first conversion (with its
// flags and modifiers) and takes the literal text up to the next one. The
// composite conversions (%T, %R, %r) all separate with ":".
std::string SeparatorAfterFirstField(const std::string& format) {
    if (format.rfind("%T", 0) == 0 || format.rfind("%R", 0) == 0 || format.rfind("%r", 0) == 0) return ":";
    size_t i = format.find('%');
    if (i == std::string::npos) return {};
    ++i;
    while (i < format.size() && std::strchr("_-0^#EO", format[i])) ++i;
    if (i >= format.size()) return {};
    const size_t start = i + 1;
    const size_t end = format.find('%', start);
    return format.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

NumberSeparators UserNumberSeparators() {
    NumberSeparators separators;
    const locale_t locale = UserLocale("LC_NUMERIC");
    if (locale != static_cast<locale_t>(nullptr)) {
        separators.thousands = InfoText(locale, THOUSEP);
        separators.decimal = InfoText(locale, RADIXCHAR);
    } else {
        separators.thousands.assign(1, ',');
    }
    if (separators.decimal.empty()) separators.decimal.assign(1, '.');
    return separators;
}

std::string UserTimeSeparator() {
    const locale_t locale = UserLocale("LC_TIME");
    if (locale == static_cast<locale_t>(nullptr)) return ":";
    const std::string separator = SeparatorAfterFirstField(InfoText(locale, T_FMT));
    return separator.empty() ? ":" : separator;
}

std::array<std::string, 12> UserShortMonthNames() {
    std::array<std::string, 12> names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const locale_t locale = UserLocale("LC_TIME");
    if (locale == static_cast<locale_t>(nullptr)) return names;
    for (int month = 0; month < 12; ++month) {
        const std::string name = InfoText(locale, static_cast<nl_item>(ABMON_1 + month));
        if (!name.empty()) names[static_cast<size_t>(month)] = name;
    }
    return names;
}

std::string UserUpperCase(std::string_view text) {
    const locale_t locale = UserLocale("LC_CTYPE");
    if (locale == static_cast<locale_t>(nullptr) || !IsUtf8Locale(locale)) return InvariantUpperCase(text);
    return UpperCaseWithLocale(text, locale);
}

}  // namespace lunaro::platform
