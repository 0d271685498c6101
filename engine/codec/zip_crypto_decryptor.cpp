#include "engine/codec/decryptor.h"

#include <array>

namespace lunaro::engine {
namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

// The traditional cipher: three keys stirred by every plaintext byte.
class TZipCryptoDecryptor final : public TDecryptor {
public:
    explicit TZipCryptoDecryptor(const std::string& password) {
        for (const char c : password) Mix(static_cast<uint8_t>(c));
    }

    void Decrypt(uint8_t* data, size_t len) override {
        for (size_t i = 0; i < len; ++i) {
            const uint32_t t = (Key2 | 2) & 0xFFFF;
            data[i] ^= static_cast<uint8_t>((t * (t ^ 1)) >> 8);
            Mix(data[i]);
        }
    }

private:
    static uint32_t CrcByte(uint32_t crc, uint8_t b) { return kCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8); }

    void Mix(uint8_t plain) {
        Key0 = CrcByte(Key0, plain);
        Key1 = (Key1 + (Key0 & 0xFF)) * 134775813u + 1;
        Key2 = CrcByte(Key2, static_cast<uint8_t>(Key1 >> 24));
    }

    uint32_t Key0 = 0x12345678;
    uint32_t Key1 = 0x23456789;
    uint32_t Key2 = 0x34567890;
};

}  // namespace

std::unique_ptr<TDecryptor> MakeZipCryptoDecryptor(const std::string& password,
                                                   const uint8_t header[12], uint8_t checkByte) {
    auto decryptor = std::make_unique<TZipCryptoDecryptor>(password);
    uint8_t plain[12];
    for (int i = 0; i < 12; ++i) plain[i] = header[i];
    decryptor->Decrypt(plain, sizeof plain);
    if (plain[11] != checkByte) return nullptr;
    return decryptor;
}

}  // namespace lunaro::engine
