#pragma once
// A network failure as the operator reads it: the common socket errors in
// Portuguese, the code in brackets so that support can still look it up.
#include <string>

namespace lunaro::app {

// "conexão recusada (10061)"; a number without a Portuguese word keeps the
// library's own description ("Message too long (10040)"). "" for 0.
std::string SocketFailureText(int socketError, const std::string& libraryDescription);

}  // namespace lunaro::app
