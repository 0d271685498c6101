// Both encryptions against archives that Debian's zip and 7z wrote, with the
// right password, a wrong one, and tampered data.
#include "engine/codec/decoder.h"
#include "engine/codec/decryptor.h"
#include "tests/engine/codec/codec_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace lunaro::testkit {
namespace {

using engine::MakeAesDecryptor;
using engine::MakeDecoder;
using engine::MakeZipCryptoDecryptor;
using engine::ParseAesExtra;
using engine::TAesExtra;
using engine::TDecodeStatus;

constexpr uint16_t kAesExtraTag = 0x9901;
constexpr size_t kAuthCodeSize = 10;

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

class Decryptors : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = std::make_unique<TempDir>();
        WriteFile(Dir->File("p.bin"), SampleText(100000, 5));
        ToolsRan = RunIn(Dir->Path(), "zip -q -P secret zipcrypto.zip p.bin");
        for (const char* bits : {"128", "192", "256"})
            ToolsRan = ToolsRan && RunIn(Dir->Path(), std::string("7z a -tzip -psecret -mem=AES") + bits +
                                                          " aes" + bits + ".zip p.bin");
    }
    static void TearDownTestSuite() { Dir.reset(); }

    void SetUp() override {
        LUNARO_REQUIRE_PEER(ToolsRan && !FindProgram("zip").empty() && !FindProgram("7z").empty(),
                            "zip and 7z (p7zip-full)");
    }

    // Decodes decrypted entry data with the entry's real method.
    static std::string Inflate(uint16_t method, const std::string& data) {
        auto decoder = MakeDecoder(method, 0);
        const TDecodeRun run = DecodeInPieces(*decoder, data, data.size(), 1 << 16);
        EXPECT_EQ(run.Status, TDecodeStatus::dsEnd) << run.Error;
        return run.Output;
    }

    static std::unique_ptr<TempDir> Dir;
    static bool ToolsRan;
};

std::unique_ptr<TempDir> Decryptors::Dir;
bool Decryptors::ToolsRan = false;

TEST_F(Decryptors, TraditionalRightPasswordDecryptsAndWrongOneIsRefused) {
    TZipEntry entry;
    ASSERT_TRUE(ReadFirstEntry(Dir->File("zipcrypto.zip"), entry));
    ASSERT_EQ(entry.Flags & 1, 1);
    ASSERT_GT(entry.Data.size(), 12u);
    const uint8_t check = (entry.Flags & 8) != 0 ? entry.DosTime >> 8 : entry.Crc >> 24;
    const auto* header = Bytes(entry.Data);

    auto decryptor = MakeZipCryptoDecryptor("secret", header, check);
    ASSERT_NE(decryptor, nullptr);
    std::string data = entry.Data.substr(12);
    decryptor->Decrypt(reinterpret_cast<uint8_t*>(data.data()), 5);  // the key state carries across calls
    decryptor->Decrypt(reinterpret_cast<uint8_t*>(data.data()) + 5, data.size() - 5);
    EXPECT_EQ(Inflate(entry.Method, data), SampleText(100000, 5));

    // The check byte lets 1 wrong password in 256 through; such a one must
    // then fail to give back the data.
    for (const char* wrong : {"Secret", "secre", "secret "}) {
        auto other = MakeZipCryptoDecryptor(wrong, header, check);
        if (other == nullptr) continue;
        std::string garbled = entry.Data.substr(12);
        other->Decrypt(reinterpret_cast<uint8_t*>(garbled.data()), garbled.size());
        auto decoder = MakeDecoder(entry.Method, 0);
        const TDecodeRun run = DecodeInPieces(*decoder, garbled, garbled.size(), 1 << 16);
        EXPECT_NE(run.Output, SampleText(100000, 5)) << wrong;
    }
}

TEST_F(Decryptors, AesOfEveryStrengthDecryptsAuthenticatesAndNoticesTampering) {
    for (const char* bits : {"128", "192", "256"}) {
        SCOPED_TRACE(std::string("AES-") + bits);
        TZipEntry entry;
        ASSERT_TRUE(ReadFirstEntry(Dir->File(std::string("aes") + bits + ".zip"), entry));
        ASSERT_EQ(entry.Method, 99);
        const std::string field = FindExtra(entry.LocalExtra, kAesExtraTag);
        TAesExtra aes{};
        ASSERT_TRUE(ParseAesExtra(Bytes(field), field.size(), aes));
        EXPECT_EQ(aes.Strength, std::string(bits) == "128" ? 1 : std::string(bits) == "192" ? 2 : 3);
        const size_t salt = engine::AesSaltSize(aes.Strength);
        ASSERT_GT(entry.Data.size(), salt + 2 + kAuthCodeSize);
        const auto* verifier = Bytes(entry.Data) + salt;
        const std::string cipher = entry.Data.substr(salt + 2, entry.Data.size() - salt - 2 - kAuthCodeSize);
        const auto* code = Bytes(entry.Data) + entry.Data.size() - kAuthCodeSize;

        auto decryptor = MakeAesDecryptor("secret", aes.Strength, Bytes(entry.Data), verifier);
        ASSERT_NE(decryptor, nullptr);
        std::string plain = cipher;
        // Uneven pieces: the counter and the key stream must carry across calls.
        for (size_t at = 0, piece = 1; at < plain.size(); at += piece, piece = piece * 3 + 1)
            decryptor->Decrypt(reinterpret_cast<uint8_t*>(plain.data()) + at, std::min(piece, plain.size() - at));
        EXPECT_TRUE(decryptor->CheckAuthCode(code));
        EXPECT_EQ(Inflate(aes.Method, plain), SampleText(100000, 5));

        EXPECT_EQ(MakeAesDecryptor("Secret", aes.Strength, Bytes(entry.Data), verifier), nullptr);

        std::string tampered = cipher;
        tampered[tampered.size() / 2] ^= 1;
        auto again = MakeAesDecryptor("secret", aes.Strength, Bytes(entry.Data), verifier);
        ASSERT_NE(again, nullptr);
        again->Decrypt(reinterpret_cast<uint8_t*>(tampered.data()), tampered.size());
        EXPECT_FALSE(again->CheckAuthCode(code));
    }
}

TEST(AesExtra, MalformedFieldsAreRefusedAndTheHeaderFormIsAccepted) {
    const std::string good("\x02\x00" "AE" "\x03" "\x08\x00", 7);
    TAesExtra aes{};
    ASSERT_TRUE(ParseAesExtra(Bytes(good), good.size(), aes));
    EXPECT_EQ(aes.Version, 2);
    EXPECT_EQ(aes.Strength, 3);
    EXPECT_EQ(aes.Method, 8);
    const std::string withHeader = std::string("\x01\x99\x07\x00", 4) + good;
    ASSERT_TRUE(ParseAesExtra(Bytes(withHeader), withHeader.size(), aes));
    EXPECT_EQ(aes.Method, 8);

    for (const std::string& bad : {good.substr(0, 6), std::string("\x02\x00" "AX" "\x03" "\x08\x00", 7),
                                   std::string("\x02\x00" "AE" "\x04" "\x08\x00", 7),
                                   std::string("\x03\x00" "AE" "\x01" "\x08\x00", 7),
                                   std::string("\x01\x99\x09\x00", 4) + good})
        EXPECT_FALSE(ParseAesExtra(Bytes(bad), bad.size(), aes)) << bad.size();
    EXPECT_EQ(MakeAesDecryptor("secret", 4, Bytes(good), Bytes(good)), nullptr);
}

}  // namespace
}  // namespace lunaro::testkit
