#pragma once
// Where a transfer's progress is shown: a bar with a maximum and a position,
// and a one-line status text.
#include <cstdint>
#include <string>

namespace lunaro::app {

class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetProgressMaximum(int32_t maximum) = 0;
    virtual void SetProgressPosition(int32_t position) = 0;
    virtual void SetConnectionInfo(const std::string& text) = 0;
};

}  // namespace lunaro::app
