#include "archive/operation/progress_details.h"

namespace lunaro::archive {

int TZKProgressDetails::PerCent(int64_t position, int64_t size) {
    if (size <= 0 || position <= 0) return 0;
    // Divide first when the product could overflow; precision is irrelevant there.
    if (position > INT64_MAX / 100) return static_cast<int>(position / (size / 100 > 0 ? size / 100 : 1));
    return static_cast<int>(100 * position / size);
}

void TZKProgressDetails::Clear() { *this = TZKProgressDetails(); }

void TZKProgressDetails::NewItem(const std::string& name, int64_t size, int64_t written) {
    order_ = TZKProgressType::NewFile;
    itemName_ = name;
    itemSize_ = size;
    itemPosition_ = 0;
    ++itemNumber_;
    bytesWritten_ = written;
}

void TZKProgressDetails::EndItem(int64_t written) {
    order_ = TZKProgressType::EndOfItem;
    bytesWritten_ = written;
}

void TZKProgressDetails::Advance(int64_t delta, int64_t written) {
    order_ = TZKProgressType::ProgressUpdate;
    delta_ = delta;
    itemPosition_ += delta;
    totalPosition_ += delta;
    bytesWritten_ = written;
}

bool TZKProgressDetails::EndBatch() {
    if (!batchOpen_) return false;
    order_ = TZKProgressType::EndOfBatch;
    itemName_.clear();
    itemSize_ = 0;
    itemPosition_ = 0;
    batchOpen_ = false;
    Stop = false;
    return true;
}

void TZKProgressDetails::SetCount(int count) {
    Clear();
    order_ = TZKProgressType::TotalFiles2Process;
    totalCount_ = count;
}

void TZKProgressDetails::SetTotalSize(int64_t size) {
    order_ = TZKProgressType::TotalSize2Process;
    totalSize_ = size;
    itemPosition_ = 0;
    totalPosition_ = 0;
    bytesWritten_ = 0;
    Stop = false;
    batchOpen_ = true;
}

void TZKProgressDetails::NewExtra(const std::string& name, int64_t size) {
    order_ = TZKProgressType::NewExtra;
    itemName_ = name;
    itemSize_ = size;
    itemPosition_ = 0;
}

void TZKProgressDetails::AdvanceExtra(int64_t delta) {
    order_ = TZKProgressType::ExtraUpdate;
    itemPosition_ += delta;
}

}  // namespace lunaro::archive
