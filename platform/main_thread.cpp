#include "platform/main_thread.h"

#include <unistd.h>

namespace lunaro::platform {

// The main thread's id equals the process id; every other thread's differs.
bool IsMainThread() { return ::gettid() == ::getpid(); }

}  // namespace lunaro::platform
