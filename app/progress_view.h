#pragma once
// Where a transfer's progress is shown: a bar with a maximum and a position,
// and a one-line status text. The operator watching it may ask the
// installation to stop.
#include <cstdint>
#include <string>

namespace lunaro::app {

class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetProgressMaximum(int32_t maximum) = 0;
    virtual void SetProgressPosition(int32_t position) = 0;
    virtual void SetConnectionInfo(const std::string& text) = 0;
    // True once the operator asked, while pending events were handled, for
    // the installation to stop.
    virtual bool StopRequested() const { return false; }
};

}  // namespace lunaro::app
