#include "engine/exec/entry_encryption.h"

namespace lunaro::engine {

namespace {

constexpr uint16_t kAesMethod = 99;
constexpr uint16_t kAesExtraTag = 0x9901;
constexpr uint16_t kStrongEncryptionFlag = 0x40;
constexpr uint16_t kDataDescriptorFlag = 0x08;
constexpr size_t kZipCryptoHeader = 12;
constexpr size_t kVerifierSize = 2;

}  // namespace

std::optional<TEntryEncryption> TEntryEncryption::Read(archive::TZKIRec& rec, TEntrySource& source,
                                                       std::string& error) {
    TEntryEncryption enc;
    if (rec.Flag() & kStrongEncryptionFlag) {
        error = "unsupported encryption";
        return std::nullopt;
    }
    if (rec.CompressionMethod() == kAesMethod) {
        TAesExtra extra{};
        const std::optional<std::string> field = rec.ExtraBlockData(kAesExtraTag);
        if (!field || !ParseAesExtra(reinterpret_cast<const uint8_t*>(field->data()), field->size(), extra)) {
            error = "damaged AES extra field";
            return std::nullopt;
        }
        enc.fAes = true;
        enc.fMethod = extra.Method;
        enc.fAesVersion = extra.Version;
        enc.fStrength = extra.Strength;
        const size_t front = AesSaltSize(extra.Strength) + kVerifierSize;
        if (!source.ReadExactly(enc.fHeader.data(), front) ||
            !source.HoldBackTrailer(static_cast<int64_t>(enc.fAuthCode.size()), enc.fAuthCode.data())) {
            error = "encrypted entry cut short";
            return std::nullopt;
        }
        return enc;
    }
    enc.fMethod = rec.CompressionMethod();
    // The check byte is the CRC's high byte, unless the CRC was not known
    // when the header was written: then it is the DOS time's.
    enc.fCheckByte = (rec.Flag() & kDataDescriptorFlag) ? static_cast<uint8_t>(rec.DateTime() >> 8)
                                                        : static_cast<uint8_t>(rec.CRC32() >> 24);
    if (!source.ReadExactly(enc.fHeader.data(), kZipCryptoHeader)) {
        error = "encrypted entry cut short";
        return std::nullopt;
    }
    return enc;
}

TDecryptor* TEntryEncryption::Unlock(const std::string& password) {
    fAesDecryptor = nullptr;
    if (fAes) {
        const size_t salt = AesSaltSize(fStrength);
        std::unique_ptr<TAesDecryptor> aes = MakeAesDecryptor(password, fStrength, fHeader.data(), fHeader.data() + salt);
        fAesDecryptor = aes.get();
        fDecryptor = std::move(aes);
    } else {
        fDecryptor = MakeZipCryptoDecryptor(password, fHeader.data(), fCheckByte);
    }
    return fDecryptor.get();
}

bool TEntryEncryption::Authentic() { return !fAes || (fAesDecryptor && fAesDecryptor->CheckAuthCode(fAuthCode.data())); }

}  // namespace lunaro::engine
