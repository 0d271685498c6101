#pragma once
// The three keys of the traditional zip cipher, stirred by every plaintext
// byte. Shared by the encryptor and the decryptor so that the two can never
// disagree on a single step.
#include <array>
#include <cstdint>
#include <string>

namespace lunaro::engine {

constexpr std::array<uint32_t, 256> MakeZipCryptoCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
inline constexpr std::array<uint32_t, 256> kZipCryptoCrcTable = MakeZipCryptoCrcTable();

class TZipCryptoKeys {
public:
    explicit TZipCryptoKeys(const std::string& password) {
        for (const char c : password) Mix(static_cast<uint8_t>(c));
    }

    // The byte the next plaintext byte is combined with.
    uint8_t StreamByte() const {
        const uint32_t t = (Key2 | 2) & 0xFFFF;
        return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    }

    void Mix(uint8_t plain) {
        Key0 = CrcByte(Key0, plain);
        Key1 = (Key1 + (Key0 & 0xFF)) * 134775813u + 1;
        Key2 = CrcByte(Key2, static_cast<uint8_t>(Key1 >> 24));
    }

private:
    static uint32_t CrcByte(uint32_t crc, uint8_t b) { return kZipCryptoCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8); }

    uint32_t Key0 = 0x12345678;
    uint32_t Key1 = 0x23456789;
    uint32_t Key2 = 0x34567890;
};

}  // namespace lunaro::engine
