#include "engine/exec/run_keys.h"

#include <mutex>
#include <unordered_map>

namespace lunaro::engine {

namespace {

std::mutex& KeysLock() {
    static std::mutex lock;
    return lock;
}

std::unordered_map<uint32_t, TRunKey*>& RunningCalls() {
    static std::unordered_map<uint32_t, TRunKey*> calls;
    return calls;
}

uint32_t gLastKey = 0;

}  // namespace

TRunKey::TRunKey() {
    std::lock_guard<std::mutex> hold(KeysLock());
    auto& calls = RunningCalls();
    do {
        fKey = ++gLastKey;
    } while (fKey == 0 || calls.count(fKey) != 0);
    calls.emplace(fKey, this);
}

TRunKey::~TRunKey() {
    std::lock_guard<std::mutex> hold(KeysLock());
    RunningCalls().erase(fKey);
}

bool TRunKey::Abort(uint32_t key) {
    std::lock_guard<std::mutex> hold(KeysLock());
    auto& calls = RunningCalls();
    const auto found = calls.find(key);
    if (found == calls.end()) return false;
    found->second->fAborted.store(true, std::memory_order_relaxed);
    return true;
}

}  // namespace lunaro::engine
