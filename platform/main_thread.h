#pragma once
// Whether the caller runs on the process's main thread (the one that runs
// the window's message loop), for work that may only pump messages there.

namespace lunaro::platform {

bool IsMainThread();

}  // namespace lunaro::platform
