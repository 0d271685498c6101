#pragma once
// The operator stopped the installation (closed the window and confirmed):
// raised from inside the running transfer so that it ends at once, through
// the download component, which keeps its partial file for a later resume.
#include <exception>

namespace lunaro::app {

class EInstallInterrupted : public std::exception {
public:
    const char* what() const noexcept override { return "installation stopped by the operator"; }
};

}  // namespace lunaro::app
