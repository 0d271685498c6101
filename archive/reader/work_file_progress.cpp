// Progress of the archive reader, filtered by how much of it the operation
// wants to show.
#include "archive/reader/work_file.h"

namespace lunaro::archive {

void TZKWorkFile::ProgReport(TActionCodes action, int xprog, int64_t size, const std::string& name) {
    using enum TActionCodes;
    switch (fShowProgress) {
        case TZKShowProgress::zspNone:
            if (action == zacItem || action == zacCount || action == zacXItem) return;
            if (action == zacProgress || action == zacEndOfBatch || action == zacSize || action == zacXProgress)
                action = zacTick;
            break;
        case TZKShowProgress::zspExtra:
            if (action == zacItem || action == zacCount) return;
            if (action == zacProgress) action = zacXProgress;
            else if (action == zacSize) action = zacXItem;
            break;
        case TZKShowProgress::zspFull: break;
    }
    const std::string itemName = name.empty() && xprog >= msg::ProgressResettingArchiveBit ? Boss().ZipLoadStr(xprog) : name;
    Boss().ReportProgress(action, itemName, size);
}

}  // namespace lunaro::archive
