#include "engine/codec/decryptor.h"

#include "engine/codec/zip_crypto_keys.h"

namespace lunaro::engine {
namespace {

class TZipCryptoDecryptor final : public TDecryptor {
public:
    explicit TZipCryptoDecryptor(const std::string& password) : Keys(password) {}

    void Decrypt(uint8_t* data, size_t len) override {
        for (size_t i = 0; i < len; ++i) {
            data[i] ^= Keys.StreamByte();
            Keys.Mix(data[i]);
        }
    }

private:
    TZipCryptoKeys Keys;
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
