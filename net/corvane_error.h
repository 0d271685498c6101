#pragma once
// The network library's exception: raised by a socket whose RaiseExcept is
// set (and when the sockets library cannot be bound). It carries the socket
// error number and its description besides the full message.
#include <string>

#include "platform/exception.h"

namespace lunaro::net {

class ECorvaneError : public platform::Exception {
public:
    ECorvaneError(const std::string& message, int errorCode, const std::string& errorMessage)
        : Exception(message), ErrorCode(errorCode), ErrorMessage(errorMessage) {}

    int ErrorCode;
    std::string ErrorMessage;
};

}  // namespace lunaro::net
