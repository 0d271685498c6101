#include "archive/messages/message_catalog.h"

#include <cctype>

#include "archive/messages/embedded_tables.h"
#include "archive/messages/language_request.h"
#include "archive/messages/string_table.h"
#include "archive/messages/table_entry.h"
#include "archive/messages/user_locale.h"
#include "platform/utf8.h"

namespace lunaro::archive {

namespace {

constexpr int kPrimaryLanguageLimit = 1024;

std::string WithCrLf(const std::u16string& text) {
    std::string out;
    for (char c : platform::Utf16ToUtf8(text)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A code name is compared up to its first character that cannot be part of
// a name; an empty one never matches.
bool NameMatches(const std::string& entryName, const std::string& wanted) {
    size_t length = 0;
    while (length < entryName.size() &&
           (std::isalnum(static_cast<unsigned char>(entryName[length])) || entryName[length] == '_'))
        ++length;
    if (length == 0 || length > wanted.size()) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(entryName[i])) != static_cast<unsigned char>(wanted[i]))
            return false;
    return true;
}

bool EntryWanted(const TableEntry& entry, const LanguageRequest& request) {
    if (request.kind == LanguageRequest::ByName) return NameMatches(entry.name, request.name);
    if (entry.lcid == request.lcid) return true;
    return request.lcid < kPrimaryLanguageLimit && (entry.lcid & 0x3FF) == request.lcid;
}

}  // namespace

TMessageCatalog::TMessageCatalog(std::span<const uint8_t> builtinEntry, std::span<const uint8_t> languageResource)
    : builtinEntry_(builtinEntry), languageResource_(languageResource) {}

TMessageCatalog& TMessageCatalog::Process() {
    static TMessageCatalog catalog(BuiltinTableEntry(), LanguageResource());
    return catalog;
}

TMessageCatalog::Image TMessageCatalog::BuiltinImage() {
    if (!builtinUnpacked_) {
        builtinUnpacked_ = true;
        const std::vector<TableEntry> entries = ReadTableEntries(builtinEntry_);
        if (!entries.empty())
            if (auto image = UnpackTableEntry(entries.front()))
                builtin_ = std::make_shared<const std::vector<uint8_t>>(std::move(*image));
    }
    return builtin_;
}

std::optional<std::string> TMessageCatalog::FindText(int ident) {
    Image current;
    Image builtin;
    {
        std::lock_guard<std::mutex> guard(lock_);
        current = current_;
        builtin = BuiltinImage();
    }
    for (const Image& image : {current, builtin}) {
        if (!image) continue;
        if (auto text = FindStringInImage(*image, ident)) return WithCrLf(*text);
    }
    return std::nullopt;
}

std::string TMessageCatalog::LoadStr(int ident) {
    std::string text = FindText(ident).value_or(std::string());
    TZKLoadStrEvent hook;
    {
        std::lock_guard<std::mutex> guard(lock_);
        hook = onLoadStr_;
    }
    if (hook) {
        std::string replacement = text;
        hook(ident, replacement);
        if (!replacement.empty()) text = std::move(replacement);
    }
    if (text.empty()) text = "Resource missing for " + std::to_string(ident);
    return text;
}

std::string TMessageCatalog::FmtLoadStr(int ident, const TZKFormatArgs& args) {
    return FormatMessageText(LoadStr(ident), args);
}

void TMessageCatalog::SelectLanguage(std::string_view value) {
    if (selecting_.exchange(true)) return;
    ApplyLanguage(value);
    selecting_ = false;
}

void TMessageCatalog::ApplyLanguage(std::string_view value) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        current_.reset();
        currentName_.clear();
        currentLcid_ = 0;
    }
    const LanguageRequest request = ParseLanguageRequest(value, UserDefaultLcid());
    if (request.kind == LanguageRequest::None || request.kind == LanguageRequest::Builtin) return;
    for (const TableEntry& entry : ReadTableEntries(languageResource_)) {
        if (!EntryWanted(entry, request)) continue;
        std::optional<std::vector<uint8_t>> image = UnpackTableEntry(entry);
        if (!image) return;
        std::lock_guard<std::mutex> guard(lock_);
        current_ = std::make_shared<const std::vector<uint8_t>>(std::move(*image));
        currentName_ = entry.name;
        currentLcid_ = entry.lcid;
        return;
    }
}

std::string TMessageCatalog::LanguageName() {
    std::lock_guard<std::mutex> guard(lock_);
    return current_ ? currentName_ : std::string(kBuiltinLanguageName);
}

int TMessageCatalog::LanguageId() {
    std::lock_guard<std::mutex> guard(lock_);
    return current_ ? currentLcid_ : 0;
}

void TMessageCatalog::SetOnLoadStr(TZKLoadStrEvent handler) {
    std::lock_guard<std::mutex> guard(lock_);
    onLoadStr_ = std::move(handler);
}

std::string ZipLoadStr(int ident) { return TMessageCatalog::Process().LoadStr(ident); }

std::string ZipFmtLoadStr(int ident, const TZKFormatArgs& args) {
    return TMessageCatalog::Process().FmtLoadStr(ident, args);
}

}  // namespace lunaro::archive
