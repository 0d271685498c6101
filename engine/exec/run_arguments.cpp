#include "engine/exec/run_arguments.h"

namespace lunaro::engine {

namespace {

// A caller that keeps answering would otherwise keep the run asking.
constexpr int kMaxSpecs = 65536;

std::vector<std::string> FetchList(TEngineCallbacks& callbacks, uint32_t selector) {
    std::vector<std::string> items;
    for (int i = 0; i < kMaxSpecs && !callbacks.Stopped(); ++i) {
        int32_t count = 0;
        std::optional<std::string> item = callbacks.Argument(selector, i, &count);
        if (!item) break;
        if (!item->empty()) items.push_back(std::move(*item));
        if (count > 0 && i + 1 >= count) break;
    }
    return items;
}

}  // namespace

std::optional<TRunArguments> FetchRunArguments(TEngineCallbacks& callbacks, bool needBaseDir) {
    TRunArguments args;
    std::optional<std::string> archive = callbacks.Argument(ZE_ARG_TARGET);
    if (!archive || archive->empty() || callbacks.Stopped()) return std::nullopt;
    args.Archive = std::move(*archive);
    args.Password = callbacks.Argument(ZE_ARG_PASSWORD).value_or("");
    if (needBaseDir) args.BaseDir = callbacks.Argument(ZE_ARG_EXTRACT_DIR).value_or("");
    args.Specs = FetchList(callbacks, ZE_ARG_SPEC);
    args.Excludes = FetchList(callbacks, ZE_ARG_SPEC_EXCLUDE);
    if (callbacks.Stopped()) return std::nullopt;
    return args;
}

}  // namespace lunaro::engine
