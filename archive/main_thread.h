#pragma once
// Whether the caller runs on the program's main thread: only there may the
// archive component let the user interface process pending events.
namespace lunaro::archive {

bool OnMainThread();

}  // namespace lunaro::archive
