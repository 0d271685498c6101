#pragma once
// Our POSIX versions of the sockets-library calls the C library does not
// have (WSAStartup, closesocket, ioctlsocket, ...), so that the function
// table can be filled completely by name.
namespace lunaro::net {

// Untyped function address, as a library lookup by name returns it.
using TProc = void (*)();

// The adapter exported under `name` ("WSAStartup", "__WSAFDIsSet", ...), or
// nullptr when the name is not one of ours.
TProc FindSocketAdapter(const char* name);

}  // namespace lunaro::net
