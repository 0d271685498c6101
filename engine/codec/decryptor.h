#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lunaro::engine {

class TDecryptor {
public:
    virtual ~TDecryptor() = default;
    virtual void Decrypt(uint8_t* data, size_t len) = 0;  // in place
};

// Traditional zip encryption: the 12-byte header that precedes the data;
// checkByte is the CRC's high byte, or the DOS time's high byte when general
// flag bit 3 is set. nullptr when the password does not pass the check.
std::unique_ptr<TDecryptor> MakeZipCryptoDecryptor(const std::string& password,
                                                   const uint8_t header[12], uint8_t checkByte);

// AES (extra field 0x9901, method 99): strength 1/2/3 = AES-128/192/256, salt
// 8/12/16 bytes, then a 2-byte password verifier before the data and a 10-byte
// authentication code after it. nullptr when the verifier does not match.
class TAesDecryptor : public TDecryptor {
public:
    // true when the HMAC-SHA1 over all ciphertext passed to Decrypt matches.
    virtual bool CheckAuthCode(const uint8_t code[10]) = 0;
};
std::unique_ptr<TAesDecryptor> MakeAesDecryptor(const std::string& password, int strength,
                                                const uint8_t* salt, const uint8_t verifier[2]);

// Salt length for an AES strength (8, 12 or 16); 0 for an unknown strength.
size_t AesSaltSize(int strength);

// The AES extra field's values: vendor version (1 = AE-1, 2 = AE-2), strength,
// and the real compression method; false when the field is malformed.
struct TAesExtra { uint16_t Version; uint8_t Strength; uint16_t Method; };
// data/len: the field's payload (7 bytes); the whole field with its 4-byte
// id and size header in front is accepted as well.
bool ParseAesExtra(const uint8_t* data, size_t len, TAesExtra& out);

}  // namespace lunaro::engine
