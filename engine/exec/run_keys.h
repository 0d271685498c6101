#pragma once
// The keys of running calls, so that ZE_Abort, called from any thread, can
// reach the call it names. A key is never 0 and never reused while its call
// runs.
#include <atomic>
#include <cstdint>

namespace lunaro::engine {

class TRunKey {
public:
    TRunKey();
    ~TRunKey();
    TRunKey(const TRunKey&) = delete;
    TRunKey& operator=(const TRunKey&) = delete;

    uint32_t Key() const { return fKey; }
    bool Aborted() const { return fAborted.load(std::memory_order_relaxed); }

    // Marks the running call with this key; false when none runs.
    static bool Abort(uint32_t key);

private:
    uint32_t fKey;
    std::atomic<bool> fAborted{false};
};

}  // namespace lunaro::engine
