#include "archive/main_thread.h"

#include <thread>

namespace lunaro::archive {

namespace {

// Static initialisation runs before main, on the main thread.
const std::thread::id kMainThreadId = std::this_thread::get_id();

}  // namespace

bool OnMainThread() { return std::this_thread::get_id() == kMainThreadId; }

}  // namespace lunaro::archive
