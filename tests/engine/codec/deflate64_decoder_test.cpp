// Deflate64 streams written bit by bit, so that each feature and each
// refusal is exercised exactly, whatever an encoder happens to choose.
#include "engine/codec/decoder.h"
#include "tests/engine/codec/codec_fixture.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace lunaro::testkit {
namespace {

using engine::MakeDecoder;
using engine::TDecodeStatus;

constexpr uint16_t kDeflate64 = 9;

class TBitWriter {
public:
    void Put(uint32_t value, int bits) {
        Acc |= uint64_t{value} << Count;
        Count += bits;
        while (Count >= 8) {
            Bytes += static_cast<char>(Acc & 0xFF);
            Acc >>= 8;
            Count -= 8;
        }
    }
    // Prefix codes go out most significant bit first.
    void Code(uint32_t code, int len) {
        for (int i = len - 1; i >= 0; --i) Put((code >> i) & 1, 1);
    }
    void FixedLiteral(int symbol) {
        if (symbol < 144) Code(0x30 + symbol, 8);
        else if (symbol < 256) Code(0x190 + symbol - 144, 9);
        else if (symbol < 280) Code(symbol - 256, 7);
        else Code(0xC0 + symbol - 280, 8);
    }
    void AlignToByte() {
        if (Count > 0) Put(0, 8 - Count);
    }
    std::string Finish() {
        AlignToByte();
        return Bytes;
    }

private:
    std::string Bytes;
    uint64_t Acc = 0;
    int Count = 0;
};

// A dynamic block header whose code-length code is 0, 1, 2 (2 bits) and 16,
// 18 (3 bits); lengths holds the literal/length then the distance lengths,
// each 0, 1 or 2, and zero runs are sent with code 18.
void DynamicHeader(TBitWriter& w, int literals, int distances, const std::vector<uint8_t>& lengths) {
    w.Put(1, 1);
    w.Put(2, 2);
    w.Put(literals - 257, 5);
    w.Put(distances - 1, 5);
    w.Put(18 - 4, 4);
    const uint8_t codeLengthLengths[18] = {3, 0, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2};
    for (const uint8_t len : codeLengthLengths) w.Put(len, 3);
    for (size_t i = 0; i < lengths.size();) {
        size_t run = 0;
        while (i + run < lengths.size() && lengths[i + run] == 0 && run < 138) ++run;
        if (run >= 11) {
            w.Code(7, 3);
            w.Put(static_cast<uint32_t>(run - 11), 7);
            i += run;
        } else {
            w.Code(lengths[i], 2);
            ++i;
        }
    }
}

// A dynamic block header with 257 literal/length codes and the given
// (symbol, length) pairs, distance lengths following from symbol 257.
std::string BlockWithLengths(int distances, std::initializer_list<std::pair<int, uint8_t>> pairs) {
    std::vector<uint8_t> lengths(257 + distances, 0);
    for (const auto& [symbol, len] : pairs) lengths[symbol] = len;
    TBitWriter w;
    DynamicHeader(w, 257, distances, lengths);
    return w.Finish();
}

TDecodeRun DecodeDeflate64(const std::string& stream, size_t inPiece, size_t outPiece) {
    auto decoder = MakeDecoder(kDeflate64, 0);
    return DecodeInPieces(*decoder, stream, inPiece, outPiece);
}

TEST(Deflate64Decoder, FarDistancesAndSixteenBitLengthsDecodeInAnyPieces) {
    const std::string noise = SampleText(40000, 3);
    TBitWriter w;
    w.Put(0, 1);  // stored, not final
    w.Put(0, 2);
    w.AlignToByte();
    w.Put(static_cast<uint32_t>(noise.size()), 16);
    w.Put(static_cast<uint32_t>(~noise.size() & 0xFFFF), 16);
    std::string stream = w.Finish() + noise;
    TBitWriter fixed;
    fixed.Put(1, 1);  // fixed codes, final
    fixed.Put(1, 2);
    fixed.FixedLiteral(285);        // length 3 + 59997
    fixed.Put(59997, 16);
    fixed.Code(30, 5);              // distance 32769 + 7231
    fixed.Put(7231, 14);
    fixed.FixedLiteral(264);        // length 10
    fixed.Code(31, 5);              // distance 49153 + 16383, the whole window
    fixed.Put(16383, 14);
    fixed.FixedLiteral('!');
    fixed.FixedLiteral(256);
    stream += fixed.Finish();

    std::string expected = noise;
    for (int i = 0; i < 60000; ++i) expected += expected[expected.size() - 40000];
    for (int i = 0; i < 10; ++i) expected += expected[expected.size() - 65536];
    expected += '!';

    for (const auto& [in, out] : {std::pair<size_t, size_t>{stream.size(), 1 << 20}, {3, 1000}, {1, 65537}}) {
        SCOPED_TRACE(testing::Message() << "pieces " << in << "/" << out);
        const TDecodeRun run = DecodeDeflate64(stream, in, out);
        EXPECT_EQ(run.Status, TDecodeStatus::dsEnd) << run.Error;
        EXPECT_FALSE(run.BrokeBounds);
        EXPECT_TRUE(run.Output == expected) << "got " << run.Output.size() << " bytes";
    }
}

TEST(Deflate64Decoder, DynamicBlockWithALoneDistanceCodeDecodes) {
    // Lengths: 'A' and end-of-block 1 bit each; one distance code of 1 bit.
    std::vector<uint8_t> lengths(258, 0);
    lengths['A'] = 1;
    lengths[256] = 1;
    lengths[257] = 1;
    TBitWriter w;
    DynamicHeader(w, 257, 1, lengths);
    for (int i = 0; i < 3; ++i) w.Code(0, 1);  // 'A' sorts before 256
    w.Code(1, 1);
    const TDecodeRun run = DecodeDeflate64(w.Finish(), 2, 2);
    EXPECT_EQ(run.Status, TDecodeStatus::dsEnd) << run.Error;
    EXPECT_EQ(run.Output, "AAA");
}

struct THostileCase {
    const char* Name;
    std::string Stream;
    const char* Reason;  // a word of the expected error text
};

std::vector<THostileCase> HostileCases() {
    std::vector<THostileCase> cases;
    {
        TBitWriter w;  // a distance of 2 after 1 byte
        w.Put(1, 1);
        w.Put(1, 2);
        w.FixedLiteral('a');
        w.FixedLiteral(257);
        w.Code(1, 5);
        w.FixedLiteral(256);
        cases.push_back({"distance beyond the data", w.Finish(), "beyond"});
    }
    {
        TBitWriter w;
        w.Put(1, 1);
        w.Put(3, 2);
        cases.push_back({"block type 3", w.Finish(), "unknown type"});
    }
    {
        TBitWriter w;
        w.Put(1, 1);
        w.Put(0, 2);
        w.AlignToByte();
        w.Put(5, 16);
        w.Put(5, 16);
        cases.push_back({"stored length check", w.Finish() + "hello", "length"});
    }
    {
        TBitWriter w;
        w.Put(1, 1);
        w.Put(1, 2);
        w.FixedLiteral(286);
        cases.push_back({"length code 286", w.Finish(), "length code"});
    }
    {
        TBitWriter w;  // 19 code-length codes of 1 bit each
        w.Put(1, 1);
        w.Put(2, 2);
        w.Put(0, 5);
        w.Put(0, 5);
        w.Put(15, 4);
        for (int i = 0; i < 19; ++i) w.Put(1, 3);
        cases.push_back({"oversubscribed code-length code", w.Finish(), "code-length"});
    }
    {
        TBitWriter w;  // three code-length codes of 2 bits leave one unused
        w.Put(1, 1);
        w.Put(2, 2);
        w.Put(0, 5);
        w.Put(0, 5);
        w.Put(0, 4);
        for (const int len : {2, 2, 2, 0}) w.Put(len, 3);
        cases.push_back({"incomplete code-length code", w.Finish(), "code-length"});
    }
    {
        TBitWriter w;  // three runs of 138 zeros for 258 lengths
        DynamicHeader(w, 257, 1, {});
        for (int i = 0; i < 3; ++i) {
            w.Code(7, 3);
            w.Put(127, 7);
        }
        cases.push_back({"code lengths overflow the tables", w.Finish(), "overflow"});
    }
    {
        TBitWriter w;  // repeat of the previous length with none before it
        DynamicHeader(w, 257, 1, {});
        w.Code(6, 3);
        w.Put(0, 2);
        cases.push_back({"repeat before the first length", w.Finish(), "before the first"});
    }
    // 1 + 2 bits leave a quarter unused; three 1-bit codes oversubscribe;
    // two 2-bit distance codes leave half unused.
    cases.push_back({"incomplete literal code", BlockWithLengths(1, {{'A', 2}, {256, 1}, {257, 1}}), "literal/length"});
    cases.push_back({"oversubscribed literal code",
                     BlockWithLengths(1, {{'A', 1}, {'B', 1}, {256, 1}, {257, 1}}), "literal/length"});
    cases.push_back({"incomplete distance code", BlockWithLengths(2, {{'A', 1}, {256, 1}, {257, 2}, {258, 2}}),
                     "distance code"});
    return cases;
}

TEST(Deflate64Decoder, HostileStreamsAreRefusedWithTheirReason) {
    for (const THostileCase& c : HostileCases()) {
        SCOPED_TRACE(c.Name);
        const TDecodeRun run = DecodeDeflate64(c.Stream, c.Stream.size(), 1 << 16);
        EXPECT_EQ(run.Status, TDecodeStatus::dsError);
        EXPECT_NE(run.Error.find(c.Reason), std::string::npos) << run.Error;
        EXPECT_FALSE(run.BrokeBounds);
    }
}

}  // namespace
}  // namespace lunaro::testkit
