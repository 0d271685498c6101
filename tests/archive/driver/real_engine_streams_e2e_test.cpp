// The real engine compressing one stream into another and expanding it
// again through the driver: every kind of data back as it went, damaged
// data refused, and an output that takes no more stopping the run.
#include <gtest/gtest.h>

#include <random>

#include "platform/stream.h"
#include "platform/write_limit_stream.h"
#include "tests/archive/driver/real_engine_fixture.h"

namespace lunaro::archive::testkit {
namespace {

using lunaro::testkit::Crc32;
using lunaro::testkit::FindProgram;

constexpr uint32_t kDeflated = 8;
constexpr uint32_t kStored = 0;

std::string TextLike() {
    std::string text;
    for (int i = 0; text.size() < 1536 * 1024; ++i)
        text += "record " + std::to_string(i * 7919 % 100003) + ": status ok, retries " + std::to_string(i % 7) + "\n";
    return text;
}

std::string Random(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

class RealEngineStreams : public RealEngineTest {
protected:
    struct Outcome {
        bool Done = false;
        int Code = 0;
        uint32_t Crc = 0;
    };

    // One run of the engine from input into out; a negative length reads
    // all of input.
    Outcome Run(bool compress, const std::string& input, uint32_t method, platform::TStream& out, int64_t length = -1) {
        platform::TMemoryStream in;
        in.WriteBuffer(input.data(), static_cast<int64_t>(input.size()));
        in.SetPosition(0);
        StartWith(LUNARO_REAL_ENGINE);
        Outcome outcome;
        if (compress) opr.Deflate(&out, &in, length, method, outcome.Crc);
        else opr.Undeflate(&out, &in, length, method, outcome.Crc);
        outcome.Done = opr.SuccessCnt() == 1 && opr.ErrCode() == 0;
        outcome.Code = opr.ErrCode();
        opr.Done(true);
        return outcome;
    }
    // The bytes a run made, empty when it failed.
    std::string Made(bool compress, const std::string& input, uint32_t method, uint32_t* crc = nullptr) {
        platform::TMemoryStream out;
        const Outcome outcome = Run(compress, input, method, out);
        EXPECT_TRUE(outcome.Done) << "code " << outcome.Code;
        if (crc) *crc = outcome.Crc;
        return outcome.Done ? out.ToString() : std::string();
    }
    int Refusal(const std::string& input, uint32_t method, int64_t length = -1, bool compress = false) {
        platform::TMemoryStream out;
        const Outcome outcome = Run(compress, input, method, out, length);
        EXPECT_FALSE(outcome.Done);
        EXPECT_LE(out.Size(), static_cast<int64_t>(TextLike().size()));
        return outcome.Code;
    }
};

TEST_F(RealEngineStreams, EveryKindOfDataComesBackAsItWent) {
    const std::string text = TextLike();
    for (const std::string& data : {std::string(), text, Random(1200 * 1024, 5)}) {
        for (const uint32_t method : {kDeflated, kStored}) {
            SCOPED_TRACE("size " + std::to_string(data.size()) + ", method " + std::to_string(method));
            uint32_t crc = 0;
            const std::string packed = Made(true, data, method, &crc);
            EXPECT_EQ(crc, Crc32(data));
            if (method == kStored) {
                EXPECT_TRUE(packed == data);
            } else {
                EXPECT_FALSE(packed.empty());  // even an empty stream has its end
            }
            uint32_t back = 0;
            EXPECT_TRUE(Made(false, packed, method, &back) == data);
            EXPECT_EQ(back, Crc32(data));
        }
    }
    const std::string packed = Made(true, text, kDeflated);
    EXPECT_LT(packed.size(), text.size() / 4);

    LUNARO_REQUIRE_PEER(!FindProgram("python3").empty(), "python3");
    WriteFile(work.File("text"), text);
    WriteFile(work.File("packed"), packed);
    EXPECT_TRUE(Shell("python3 -c \"import zlib, sys\n"
                      "sys.exit(zlib.decompress(open('packed', 'rb').read(), -15) != open('text', 'rb').read())\""));
}

TEST_F(RealEngineStreams, DamagedOrShortInputIsRefusedWithAnError) {
    constexpr int kInvalidStructure = 11653;
    constexpr int kPrematureEnd = 11660;
    constexpr int kBadOptions = 11666;
    std::string packed = Made(true, TextLike(), kDeflated);
    ASSERT_GT(packed.size(), 1000u);
    EXPECT_EQ(Refusal(packed.substr(0, packed.size() / 2), kDeflated), kInvalidStructure);
    EXPECT_EQ(Refusal(packed, kDeflated, static_cast<int64_t>(packed.size()) - 1), kInvalidStructure);
    EXPECT_EQ(Refusal(Random(64 * 1024, 9), kDeflated), kInvalidStructure);
    packed[0] = '\xff';  // a final block of the reserved type
    EXPECT_EQ(Refusal(packed, kDeflated), kInvalidStructure);
    EXPECT_EQ(Refusal("", kDeflated), kInvalidStructure);

    EXPECT_EQ(Refusal("abc", kStored, 10), kPrematureEnd);
    EXPECT_EQ(Refusal("abc", kDeflated, 10, true), kPrematureEnd);
    EXPECT_EQ(Refusal("abc", 12), kBadOptions);
    EXPECT_EQ(Refusal("abc", 12, -1, true), kBadOptions);
}

TEST_F(RealEngineStreams, AnOutputThatTakesNoMoreStopsTheRunAtItsLimit) {
    constexpr int kWriteError = 11671;
    const std::string packed = Made(true, TextLike(), kDeflated);
    platform::TMemoryStream out;
    platform::TWriteLimitStream limited(out, 1000);
    const Outcome outcome = Run(false, packed, kDeflated, limited);
    EXPECT_FALSE(outcome.Done);
    EXPECT_EQ(outcome.Code, kWriteError);
    EXPECT_EQ(out.Size(), 1000);
    EXPECT_TRUE(limited.Refused());
}

}  // namespace
}  // namespace lunaro::archive::testkit
