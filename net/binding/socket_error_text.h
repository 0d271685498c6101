#pragma once
// Descriptions of the socket error numbers, as every message of the network
// library shows them.
#include <string>

namespace lunaro::net {

// "" for 0; the table's text for a known number; otherwise
// "Other Winsock error (<code>)".
std::string SocketErrorText(int code);

}  // namespace lunaro::net
