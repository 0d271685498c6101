#pragma once
// Base of every exception the system raises with a message text. Subsystems
// derive their own classes (ECorvaneError, EZKException, ...) from it so a
// caller can catch "any of ours" in one place.
#include <stdexcept>
#include <string>

namespace lunaro::platform {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message), message_(message) {}
    const std::string& Message() const { return message_; }
    void SetMessage(const std::string& message) { message_ = message; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace lunaro::platform
