#include "engine/exec/entry_selection.h"

#include <cctype>
#include <optional>

#include "archive/directory/fn_match.h"

namespace lunaro::engine {

namespace {

struct TStreamSpec {
    int Number;
    archive::TFNPattern Pattern;
    bool Taken = false;
};

}  // namespace

std::optional<int> StreamNumber(const std::string& spec, std::string& name) {
    const size_t colon = spec.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 9) return std::nullopt;
    int number = 0;
    for (size_t i = 0; i < colon; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(spec[i]))) return std::nullopt;
        number = number * 10 + (spec[i] - '0');
    }
    name = spec.substr(colon + 1);
    return number;
}

std::vector<TSelectedEntry> SelectEntries(const std::vector<std::string>& names, const std::vector<std::string>& specs,
                                          const std::vector<std::string>& excludes) {
    std::vector<archive::TFNPattern> files;
    std::vector<TStreamSpec> streams;
    for (const std::string& spec : specs) {
        std::string name;
        if (const std::optional<int> number = StreamNumber(spec, name))
            streams.push_back({*number, archive::TFNPattern(name)});
        else
            files.emplace_back(spec);
    }
    std::vector<archive::TFNPattern> rejects(excludes.begin(), excludes.end());
    const bool all = specs.empty();

    std::vector<TSelectedEntry> selected;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        bool rejected = false;
        for (const auto& reject : rejects) rejected = rejected || reject.Matches(name);
        if (rejected) continue;
        // Each stream takes the first entry it matches, and only one.
        int stream = kNoStream;
        for (TStreamSpec& spec : streams) {
            if (!spec.Taken && spec.Pattern.Matches(name)) {
                spec.Taken = true;
                stream = spec.Number;
                break;
            }
        }
        bool asFile = all;
        for (const auto& pattern : files) asFile = asFile || pattern.Matches(name);
        if (stream != kNoStream) selected.push_back({static_cast<int>(i), stream});
        if (asFile) selected.push_back({static_cast<int>(i), kNoStream});
    }
    return selected;
}

}  // namespace lunaro::engine
