#pragma once
// What an encrypted entry carries around its data: the traditional 12-byte
// header, or the AES salt and password verifier in front and the
// authentication code behind. Read once per entry, so that every password
// the caller offers is tried against the same bytes.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "archive/reader/irec.h"
#include "engine/codec/decryptor.h"
#include "engine/exec/entry_source.h"

namespace lunaro::engine {

class TEntryEncryption {
public:
    // Takes the header (and an AES trailer) out of source; nullopt with the
    // reason when the entry's encryption is unknown or its header cut short.
    static std::optional<TEntryEncryption> Read(archive::TZKIRec& rec, TEntrySource& source, std::string& error);

    // The compression method behind the encryption.
    uint16_t Method() const { return fMethod; }
    // AE-2 entries store no CRC: their authentication code stands for it.
    bool HasCrc() const { return !fAes || fAesVersion != 2; }

    // The decryptor for password, owned here; null when the password fails
    // the header's check.
    TDecryptor* Unlock(const std::string& password);
    TDecryptor* Decryptor() const { return fDecryptor.get(); }
    // After all data went through the decryptor: whether the AES
    // authentication code matches (always true for the traditional kind).
    bool Authentic();

private:
    bool fAes = false;
    uint16_t fMethod = 0;
    uint16_t fAesVersion = 0;
    int fStrength = 0;
    uint8_t fCheckByte = 0;
    std::array<uint8_t, 18> fHeader{};  // 12 header bytes, or salt and verifier
    std::array<uint8_t, 10> fAuthCode{};
    std::unique_ptr<TDecryptor> fDecryptor;
    TAesDecryptor* fAesDecryptor = nullptr;
};

}  // namespace lunaro::engine
