#pragma once
// The process-wide message state: the built-in table (unpacked on first
// use), the table of the selected language, and the OnLoadStr hook. Every
// text of the component is looked up here.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/messages/message_format.h"

namespace lunaro::archive {

// Called for every lookup with the text found so far; a non-empty DefStr on
// return replaces it.
using TZKLoadStrEvent = std::function<void(int Ident, std::string& DefStr)>;

// What Language reads while the built-in table is in force.
inline constexpr std::string_view kBuiltinLanguageName = "US: default";

class TMessageCatalog {
public:
    TMessageCatalog(std::span<const uint8_t> builtinEntry, std::span<const uint8_t> languageResource);
    TMessageCatalog(const TMessageCatalog&) = delete;
    TMessageCatalog& operator=(const TMessageCatalog&) = delete;

    // The catalog of the tables embedded in the program.
    static TMessageCatalog& Process();

    // The text of ident: current table, then built-in table, line feeds as
    // CR LF, then OnLoadStr; never empty ("Resource missing for N").
    std::string LoadStr(int ident);
    std::string FmtLoadStr(int ident, const TZKFormatArgs& args);
    // The tables' text only (CR LF applied), without hook or fallback.
    std::optional<std::string> FindText(int ident);

    // Selects a language table (see language_request.h). Whatever fails,
    // the built-in table stays in force. Ignored while another selection runs.
    void SelectLanguage(std::string_view value);
    std::string LanguageName();
    int LanguageId();  // 0 while the built-in table is in force

    void SetOnLoadStr(TZKLoadStrEvent handler);

private:
    using Image = std::shared_ptr<const std::vector<uint8_t>>;
    Image BuiltinImage();
    void ApplyLanguage(std::string_view value);

    std::span<const uint8_t> builtinEntry_;
    std::span<const uint8_t> languageResource_;
    std::mutex lock_;
    Image builtin_;
    bool builtinUnpacked_ = false;
    Image current_;
    std::string currentName_;
    int currentLcid_ = 0;
    TZKLoadStrEvent onLoadStr_;
    std::atomic<bool> selecting_{false};
};

// The process-wide lookups.
std::string ZipLoadStr(int ident);
std::string ZipFmtLoadStr(int ident, const TZKFormatArgs& args);

}  // namespace lunaro::archive
