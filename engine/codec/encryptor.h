#pragma once
// Traditional zip encryption for the entries the engine writes. It is weak
// by today's measure, but it is what every reader of the format accepts.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/codec/zip_crypto_keys.h"

namespace lunaro::engine {

class TZipCryptoEncryptor {
public:
    explicit TZipCryptoEncryptor(const std::string& password) : Keys(password) {}

    // The 12 bytes that precede the entry's data, already encrypted: eleven
    // random ones, then checkByte (the CRC's high byte, or the DOS time's
    // high byte for an entry whose sizes follow its data).
    std::array<uint8_t, 12> Header(uint8_t checkByte);

    void Encrypt(uint8_t* data, size_t len) {
        for (size_t i = 0; i < len; ++i) {
            const uint8_t plain = data[i];
            data[i] ^= Keys.StreamByte();
            Keys.Mix(plain);
        }
    }

private:
    TZipCryptoKeys Keys;
};

}  // namespace lunaro::engine
