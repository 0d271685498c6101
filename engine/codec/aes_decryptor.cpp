#include "engine/codec/decryptor.h"

#include <nettle/aes.h>
#include <nettle/hmac.h>
#include <nettle/memops.h>
#include <nettle/pbkdf2.h>

#include <algorithm>
#include <cstring>

namespace lunaro::engine {
namespace {

constexpr unsigned kIterations = 1000;
constexpr size_t kBlock = AES_BLOCK_SIZE;
// Key stream made per cipher call: enough blocks for the vectorised cipher to pay off.
constexpr size_t kBatchBlocks = 64;

// AES in counter mode with a little-endian counter that starts at 1, and
// HMAC-SHA1 over the ciphertext.
class TAesCtrDecryptor final : public TAesDecryptor {
public:
    TAesCtrDecryptor(int strength, const uint8_t* aesKey, const uint8_t* macKey, size_t keySize)
        : Strength(strength) {
        switch (strength) {
            case 1: aes128_set_encrypt_key(&Cipher.Aes128, aesKey); break;
            case 2: aes192_set_encrypt_key(&Cipher.Aes192, aesKey); break;
            default: aes256_set_encrypt_key(&Cipher.Aes256, aesKey); break;
        }
        hmac_sha1_set_key(&Mac, keySize, macKey);
    }

    ~TAesCtrDecryptor() override { std::memset(&Cipher, 0, sizeof Cipher); }

    void Decrypt(uint8_t* data, size_t len) override {
        hmac_sha1_update(&Mac, len, data);
        while (len > 0) {
            if (StreamPos == StreamLen) NextKeyStream();
            const size_t n = std::min(len, StreamLen - StreamPos);
            for (size_t i = 0; i < n; ++i) data[i] ^= KeyStream[StreamPos + i];
            StreamPos += n;
            data += n;
            len -= n;
        }
    }

    bool CheckAuthCode(const uint8_t code[10]) override {
        uint8_t digest[SHA1_DIGEST_SIZE];
        hmac_sha1_digest(&Mac, sizeof digest, digest);
        return memeql_sec(digest, code, 10) != 0;
    }

private:
    void NextKeyStream() {
        uint8_t counters[kBatchBlocks * kBlock] = {};
        for (size_t b = 0; b < kBatchBlocks; ++b) {
            ++Counter;
            uint64_t c = Counter;
            for (size_t i = 0; i < 8; ++i, c >>= 8) counters[b * kBlock + i] = static_cast<uint8_t>(c);
        }
        switch (Strength) {
            case 1: aes128_encrypt(&Cipher.Aes128, sizeof counters, KeyStream, counters); break;
            case 2: aes192_encrypt(&Cipher.Aes192, sizeof counters, KeyStream, counters); break;
            default: aes256_encrypt(&Cipher.Aes256, sizeof counters, KeyStream, counters); break;
        }
        StreamLen = sizeof counters;
        StreamPos = 0;
    }

    int Strength;
    union {
        aes128_ctx Aes128;
        aes192_ctx Aes192;
        aes256_ctx Aes256;
    } Cipher;
    hmac_sha1_ctx Mac;
    // 2^64 blocks are far beyond any entry, so the counter's upper half stays 0.
    uint64_t Counter = 0;
    uint8_t KeyStream[kBatchBlocks * kBlock] = {};
    size_t StreamLen = 0;
    size_t StreamPos = 0;
};

}  // namespace

std::unique_ptr<TAesDecryptor> MakeAesDecryptor(const std::string& password, int strength,
                                                const uint8_t* salt, const uint8_t verifier[2]) {
    const size_t saltSize = AesSaltSize(strength);
    if (saltSize == 0 || salt == nullptr) return nullptr;
    const size_t keySize = saltSize * 2;
    uint8_t derived[2 * 32 + 2];
    pbkdf2_hmac_sha1(password.size(), reinterpret_cast<const uint8_t*>(password.data()), kIterations,
                     saltSize, salt, 2 * keySize + 2, derived);
    std::unique_ptr<TAesDecryptor> result;
    if (derived[2 * keySize] == verifier[0] && derived[2 * keySize + 1] == verifier[1])
        result = std::make_unique<TAesCtrDecryptor>(strength, derived, derived + keySize, keySize);
    std::memset(derived, 0, sizeof derived);
    return result;
}

}  // namespace lunaro::engine
