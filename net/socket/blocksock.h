#pragma once
// The socket layer in one include: the block socket, the SOCKS and TCP
// sockets with their proxy tunnelling, and the SSL plug-in slot.
#include "net/socket/block_socket.h"
#include "net/corvane_error.h"
#include "net/socket/socks_socket.h"
#include "net/socket/ssl_plugin.h"
#include "net/socket/tcp_socket.h"
