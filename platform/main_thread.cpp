#include "platform/main_thread.h"

#include <unistd.h>

namespace lunaro::platform {

// The main thread's id equals the process id; every other thread's differs.
// A thread's answer never changes, and it is asked on every progress step, so
// each thread works it out once. (A child forked from another thread would
// keep that thread's answer; children here only run another program.)
bool IsMainThread() {
    thread_local const bool main = ::gettid() == ::getpid();
    return main;
}

}  // namespace lunaro::platform
