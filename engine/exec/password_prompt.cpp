#include "engine/exec/password_prompt.h"

#include <algorithm>

namespace lunaro::engine {

namespace {

// The driver caps its repeat count at this; asking more often would only
// keep a user in front of the same box.
constexpr uint32_t kMaxRequests = 15;

}  // namespace

TUnlockResult UnlockEntry(TEntryEncryption& encryption, std::string& password, const std::string& name,
                          uint32_t maxRequests, TEngineCallbacks& callbacks) {
    if (!password.empty() && encryption.Unlock(password)) return TUnlockResult::Unlocked;
    const uint32_t requests = std::clamp<uint32_t>(maxRequests, 1, kMaxRequests);
    for (uint32_t asked = 0; asked < requests; ++asked) {
        const TEngineCallbacks::TReply reply =
            callbacks.Call(zacPassword, {.Text = name, .Arg1 = requests - asked}, true);
        if (callbacks.Stopped()) return TUnlockResult::Abort;
        switch (reply.Answer) {
            case ZE_PASSWORD_GIVEN:
                if (!reply.Text.empty() && encryption.Unlock(reply.Text)) {
                    password = reply.Text;
                    return TUnlockResult::Unlocked;
                }
                break;
            case ZE_PASSWORD_NONE_ALL: return TUnlockResult::SkipAll;
            case ZE_PASSWORD_ABORT:
                callbacks.Stop(-ZE_ERR_ABORTED);
                return TUnlockResult::Abort;
            default: return TUnlockResult::Skip;
        }
    }
    return TUnlockResult::Skip;
}

}  // namespace lunaro::engine
