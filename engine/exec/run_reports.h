#pragma once
// The two reports every kind of run makes the same way: a failure that ends
// it, and an item passed over (which the caller may turn into a stop).
#include <cstdint>
#include <string>

#include "engine/exec/engine_callbacks.h"

namespace lunaro::engine {

// Reports the failure with its text in front and returns the run's result.
inline int FailRun(TEngineCallbacks& callbacks, int magnitude, const std::string& text) {
    callbacks.Message(static_cast<uint32_t>(magnitude) | ZE_MSG_CLASS_ERROR | ZE_MSG_PREFIX_TEXT, text);
    return -magnitude;
}

// false when the caller wants the run to stop because of the skip.
inline bool SkipItem(TEngineCallbacks& callbacks, const std::string& name, uint32_t skipType, uint32_t error = 0) {
    const int32_t answer = callbacks.Report(zacSkipped, {.Text = name, .Arg1 = error, .Arg2 = skipType});
    if (answer == 1) callbacks.Stop(-ZE_ERR_SKIPPING);
    return !callbacks.Stopped();
}

}  // namespace lunaro::engine
