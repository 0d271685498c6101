#pragma once
// The socket layer in one include: the block socket, the SOCKS and TCP
// sockets with their proxy tunnelling, and the SSL plug-in slot.
#include "net/block_socket.h"
#include "net/corvane_error.h"
#include "net/socks_socket.h"
#include "net/ssl_plugin.h"
#include "net/tcp_socket.h"
