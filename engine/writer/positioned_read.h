#pragma once
// Exactly len bytes from offset of a file, retried across interruptions and
// short reads; false at a read error or when the file ends first.
#include <cstddef>
#include <cstdint>

namespace lunaro::engine {

bool ReadFullyAt(int fd, void* buffer, size_t len, uint64_t offset);

}  // namespace lunaro::engine
