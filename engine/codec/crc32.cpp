#include "engine/codec/crc32.h"

#include <isa-l/crc.h>

namespace lunaro::engine {

uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t len) {
    // Carry-less-multiply folding: several GB/s, so checking never limits extraction.
    return crc32_gzip_refl(crc, data, len);
}

}  // namespace lunaro::engine
