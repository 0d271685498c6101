#include "engine/codec/encryptor.h"

#include <random>

namespace lunaro::engine {

std::array<uint8_t, 12> TZipCryptoEncryptor::Header(uint8_t checkByte) {
    // The random bytes keep two entries with the same first bytes from
    // sharing a key stream; they need not be secret beyond that.
    thread_local std::mt19937 generator{std::random_device{}()};
    std::array<uint8_t, 12> header{};
    for (size_t i = 0; i + 1 < header.size(); ++i) header[i] = static_cast<uint8_t>(generator());
    header[11] = checkByte;
    Encrypt(header.data(), header.size());
    return header;
}

}  // namespace lunaro::engine
