#pragma once
// The block-socket module's hold on the sockets library: bound (and
// started) when the first socket object is made, released when the process
// ends.
namespace lunaro::net {

// Raises ECorvaneError "Error loading Socket interface (ws2_32.dll)!" when
// the library cannot be bound; a later call tries again.
void EnsureSocketModule();

}  // namespace lunaro::net
