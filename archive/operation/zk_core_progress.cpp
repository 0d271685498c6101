// The operation object's progress reporting: the snapshot follows the
// report, OnProgress sees it, and the user interface gets its turn.
#include "archive/operation/zk_core.h"

namespace lunaro::archive {

void TZKCore::ReportProgress(TActionCodes action, const std::string& name, int64_t size, int64_t written) {
    bool notify = true;
    switch (action) {
        case TActionCodes::zacItem:
            if (size >= 0) fProgress.NewItem(name, size, written);
            else fProgress.EndItem(written);
            break;
        case TActionCodes::zacProgress: fProgress.Advance(size, written); break;
        case TActionCodes::zacEndOfBatch: notify = fProgress.EndBatch(); break;
        case TActionCodes::zacCount:
            fProgress.SetCount(static_cast<int>(size < 0 ? 0 : size > INT32_MAX ? INT32_MAX : size));
            break;
        case TActionCodes::zacSize: fProgress.SetTotalSize(size); break;
        case TActionCodes::zacXItem: fProgress.NewExtra(name, size); break;
        case TActionCodes::zacXProgress: fProgress.AdvanceExtra(size); break;
        default: notify = false; break;
    }
    if (notify && master_.OnProgress) master_.OnProgress(master_, fProgress);
    KeepAlive();
}

}  // namespace lunaro::archive
