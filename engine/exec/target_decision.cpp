#include "engine/exec/target_decision.h"

namespace lunaro::engine {

namespace {

// DOS times have two-second steps: a file written from the entry may look
// up to that much older or newer than the entry itself.
constexpr int64_t kTimeSlack = 2;

bool ExistingIsOlder(const TExisting& existing, std::optional<int64_t> entryTime) {
    return entryTime && existing.ModTime + kTimeSlack < *entryTime;
}

}  // namespace

bool ExistingIsNewer(const TExisting& existing, std::optional<int64_t> entryTime) {
    return entryTime && existing.ModTime > *entryTime + kTimeSlack;
}

TTargetVerdict DecideTarget(const TExisting& existing, std::optional<int64_t> entryTime, const TRunOptions& options) {
    switch (existing.Kind) {
        case TExisting::None: return options.Freshen ? TTargetVerdict::NotThere : TTargetVerdict::Write;
        case TExisting::File:
            if (options.Update || options.Freshen)
                return ExistingIsOlder(existing, entryTime) ? TTargetVerdict::Write : TTargetVerdict::NotOlder;
            return TTargetVerdict::Ask;
        case TExisting::Folder:
        case TExisting::Other: break;
    }
    return TTargetVerdict::InTheWay;
}

}  // namespace lunaro::engine
