#include "archive/driver/entry_names.h"

#include "archive/messages/message_catalog.h"
#include "archive/messages/message_ids.h"

namespace lunaro::archive {

EZipKeeper InvalidEntryName(const std::string& name) {
    return EZipKeeper(ZipLoadStr(msg::InvalidFileName) + ": " + name, msg::InvalidFileName, true);
}

std::string EngineEntryName(const std::string& name) {
    std::string out = name;
    for (char& c : out)
        if (c == '\\') c = '/';
    const size_t first = out.find_first_not_of('/');
    out.erase(0, first == std::string::npos ? out.size() : first);
    return out;
}

std::string NewEntryName(const std::string& name, bool folderAllowed) {
    const std::string out = EngineEntryName(name);
    if (out.find_first_of("*?") != std::string::npos) throw EZipKeeper::CreateResDisp(msg::WildcardsNotAllowed, true);
    bool bad = out.empty() || (!folderAllowed && out.back() == '/') || out.find_first_of(":\"<>|") != std::string::npos;
    for (const char c : out) bad = bad || static_cast<unsigned char>(c) < 0x20;
    for (size_t start = 0; !bad && start < out.size();) {
        const size_t slash = out.find('/', start);
        const size_t end = slash == std::string::npos ? out.size() : slash;
        const std::string part = out.substr(start, end - start);
        bad = part == "." || part == ".." || part.empty();
        start = end + 1;
    }
    if (bad) throw InvalidEntryName(name);
    return out;
}

}  // namespace lunaro::archive
