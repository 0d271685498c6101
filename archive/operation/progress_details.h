#pragma once
// The progress snapshot of one operation, updated from the progress reports
// and handed to OnProgress.
#include <cstdint>
#include <string>

#include "archive/operation/zk_types.h"

namespace lunaro::archive {

class TZKProgressDetails {
public:
    TZKProgressType Order() const { return order_; }
    const std::string& ItemName() const { return itemName_; }
    int ItemNumber() const { return itemNumber_; }
    int64_t ItemSize() const { return itemSize_; }
    int64_t ItemPosition() const { return itemPosition_; }
    int ItemPerCent() const { return PerCent(itemPosition_, itemSize_); }
    int TotalCount() const { return totalCount_; }
    int64_t TotalSize() const { return totalSize_; }
    int64_t TotalPosition() const { return totalPosition_; }
    int TotalPerCent() const { return PerCent(totalPosition_, totalSize_); }
    int64_t BytesWritten() const { return bytesWritten_; }
    int64_t Delta() const { return delta_; }
    bool BatchOpen() const { return batchOpen_; }

    bool Stop = false;

    void Clear();
    void NewItem(const std::string& name, int64_t size, int64_t written);
    void EndItem(int64_t written);
    void Advance(int64_t delta, int64_t written);
    // False (and nothing changes) when no batch is open.
    bool EndBatch();
    void SetCount(int count);
    void SetTotalSize(int64_t size);
    void NewExtra(const std::string& name, int64_t size);
    void AdvanceExtra(int64_t delta);

private:
    static int PerCent(int64_t position, int64_t size);

    TZKProgressType order_ = TZKProgressType::NewFile;
    std::string itemName_;
    int itemNumber_ = 0;
    int64_t itemSize_ = 0;
    int64_t itemPosition_ = 0;
    int totalCount_ = 0;
    int64_t totalSize_ = 0;
    int64_t totalPosition_ = 0;
    int64_t bytesWritten_ = 0;
    int64_t delta_ = 0;
    bool batchOpen_ = false;
};

}  // namespace lunaro::archive
