// Every method against data made by Debian's own tools, whole and in small
// pieces, and the same data shortened or damaged.
#include "engine/codec/crc32.h"
#include "engine/codec/decoder.h"
#include "tests/engine/codec/codec_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace lunaro::testkit {
namespace {

using engine::Crc32Update;
using engine::MakeDecoder;
using engine::TDecodeStatus;

struct TSample {
    std::string Name;
    uint16_t Method = 0;
    uint16_t Flags = 0;
    std::string Data;
    bool SelfChecking = false;  // the format carries its own checksum
    bool EndsWithInput = false;  // no end marker: the data's end is the stream's end
};

// The payload: text, a noisy block met again more than 32 KiB later, and a
// long run, so that deflate64 needs its far distances and long lengths.
std::string Payload() {
    const std::string noise = SampleText(40000, 9);
    std::string p = SampleText(150000, 1) + noise + SampleText(12000, 2) + noise;
    p += std::string(70000, 'z') + SampleText(30000, 4);
    return p;
}

class DecoderMethods : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = std::make_unique<TempDir>();
        WriteFile(Dir->File("p.bin"), Payload());
        WriteFile(Dir->File("make.py"),
                  "import zipfile\n"
                  "for name, method in (('stored', zipfile.ZIP_STORED), ('deflate', zipfile.ZIP_DEFLATED),\n"
                  "                     ('bzip2', zipfile.ZIP_BZIP2), ('lzma', zipfile.ZIP_LZMA)):\n"
                  "    with zipfile.ZipFile(name + '.zip', 'w', method) as z:\n"
                  "        z.write('p.bin')\n");
        ToolsRan = RunIn(Dir->Path(), "python3 make.py") &&
                   RunIn(Dir->Path(), "7z a -tzip -mm=Deflate64 deflate64.zip p.bin") &&
                   RunIn(Dir->Path(), "7z a -tzip -m0=LZMA:eos=off lzma-unmarked.zip p.bin") &&
                   RunIn(Dir->Path(), "zstd -q p.bin -o p.zst") &&
                   RunIn(Dir->Path(), "xz -k -c p.bin > p.xz");
    }
    static void TearDownTestSuite() { Dir.reset(); }

    void SetUp() override {
        LUNARO_REQUIRE_PEER(ToolsRan && !FindProgram("7z").empty() && !FindProgram("zstd").empty(),
                            "python3, 7z (p7zip-full), zstd and xz (xz-utils)");
        for (const char* name : {"stored", "deflate", "deflate64", "bzip2", "lzma", "lzma-unmarked"}) {
            TZipEntry entry;
            ASSERT_TRUE(ReadFirstEntry(Dir->File(std::string(name) + ".zip"), entry)) << name;
            EXPECT_EQ(entry.Crc, Crc32Of(Payload())) << name;
            const bool unmarked = entry.Method == 14 && (entry.Flags & 2) == 0;
            EXPECT_EQ(unmarked, std::string(name) == "lzma-unmarked") << name;
            Samples.push_back({name, entry.Method, entry.Flags, entry.Data, entry.Method == 12, unmarked});
        }
        Samples.push_back({"zstd", 93, 0, ReadFile(Dir->File("p.zst")), true});
        Samples.push_back({"xz", 95, 0, ReadFile(Dir->File("p.xz")), true});
    }

    static uint32_t Crc32Of(const std::string& s) {
        return Crc32Update(0, reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }

    static TDecodeRun Decode(const TSample& s, const std::string& data, size_t inPiece, size_t outPiece) {
        auto decoder = MakeDecoder(s.Method, s.Flags);
        return DecodeInPieces(*decoder, data, inPiece, outPiece);
    }

    static std::unique_ptr<TempDir> Dir;
    static bool ToolsRan;
    std::vector<TSample> Samples;
};

std::unique_ptr<TempDir> DecoderMethods::Dir;
bool DecoderMethods::ToolsRan = false;

TEST_F(DecoderMethods, EveryMethodRoundTripsWholeAndInTinyPieces) {
    const std::string payload = Payload();
    for (const TSample& s : Samples) {
        for (const auto& [in, out] : {std::pair<size_t, size_t>{1 << 20, 1 << 20}, {1, 7}, {4093, 65536}}) {
            SCOPED_TRACE(testing::Message() << s.Name << " in pieces " << in << "/" << out);
            const TDecodeRun run = Decode(s, s.Data, in, out);
            EXPECT_FALSE(run.BrokeBounds);
            // A stored entry has no end of its own: the caller counts its bytes.
            EXPECT_EQ(run.Status, s.Method == 0 ? TDecodeStatus::dsMore : TDecodeStatus::dsEnd) << run.Error;
            EXPECT_EQ(Crc32Of(run.Output), Crc32Of(payload));
            EXPECT_EQ(run.Output.size(), payload.size());
        }
    }
}

TEST_F(DecoderMethods, ShortenedDataIsAnErrorNotAWait) {
    for (const TSample& s : Samples) {
        if (s.Method == 0) continue;
        for (const size_t keep : {size_t{0}, s.Data.size() / 2, s.Data.size() - 1}) {
            SCOPED_TRACE(testing::Message() << s.Name << " cut to " << keep);
            const TDecodeRun run = Decode(s, s.Data.substr(0, keep), 1000, 1 << 16);
            EXPECT_LE(run.Output.size(), Payload().size());
            if (s.EndsWithInput) {
                // Only the caller's size check can tell; what came out must be short.
                EXPECT_NE(run.Status, TDecodeStatus::dsMore);
                if (keep <= s.Data.size() / 2) {
                    EXPECT_LT(run.Output.size(), Payload().size());
                }
                continue;
            }
            EXPECT_EQ(run.Status, TDecodeStatus::dsError);
            EXPECT_FALSE(run.Error.empty());
        }
    }
}

TEST_F(DecoderMethods, DamagedDataNeverOverrunsAndSelfCheckingFormatsNoticeIt) {
    for (const TSample& s : Samples) {
        if (s.Method == 0) continue;
        for (const size_t at : {s.Data.size() / 3, s.Data.size() / 2, s.Data.size() - 12}) {
            SCOPED_TRACE(testing::Message() << s.Name << " byte " << at << " flipped");
            std::string damaged = s.Data;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
            const TDecodeRun run = Decode(s, damaged, 4096, 1 << 16);
            EXPECT_FALSE(run.BrokeBounds);
            EXPECT_NE(run.Status, TDecodeStatus::dsMore);
            if (s.SelfChecking) {
                EXPECT_EQ(run.Status, TDecodeStatus::dsError);
            }
            if (run.Status == TDecodeStatus::dsEnd) {
                EXPECT_NE(run.Output, Payload());
            }
        }
        SCOPED_TRACE(s.Name + " fed noise");
        const TDecodeRun noise = Decode(s, SampleText(100000, 77), 4096, 1 << 16);
        EXPECT_FALSE(noise.BrokeBounds);
        EXPECT_EQ(noise.Status, TDecodeStatus::dsError);
    }
}

TEST(Crc32, MatchesTheZipCheckValueInAnySplit) {
    const std::string text = "123456789";
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    EXPECT_EQ(Crc32Update(0, p, text.size()), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(Crc32Update(0, p, 4), p + 4, 5), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(0, p, 0), 0u);
}

TEST(MakeDecoder, UnknownMethodsHaveNoDecoder) {
    for (const uint16_t method : {1, 6, 10, 98, 99}) EXPECT_EQ(MakeDecoder(method, 0), nullptr) << method;
}

}  // namespace
}  // namespace lunaro::testkit
