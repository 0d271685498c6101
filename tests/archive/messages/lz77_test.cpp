// The table compression: the build-time encoder and the run-time decoder
// must agree on real tables and on the awkward corners of the ring, and the
// decoder must survive anything.
#include <gtest/gtest.h>

#include <random>

#include "archive/messages/lz77.h"
#include "tests/support/test_support.h"
#include "tools/message_tables/lz77_encoder.h"
#include "tools/message_tables/message_source.h"
#include "tools/message_tables/string_table_image.h"
#include "platform/utf8.h"

namespace lunaro::archive {
namespace {

using Bytes = std::vector<uint8_t>;

int Decode(const Bytes& packed, size_t expected, Bytes& out) {
    return Lz77Decode(packed, packed.size(), expected, out);
}

void ExpectRoundTrip(const Bytes& data) {
    const Bytes packed = tools::Lz77Encode(data);
    Bytes out;
    ASSERT_EQ(Decode(packed, data.size(), out), kLz77Ok);
    EXPECT_EQ(out, data);
}

Bytes ImageOfList(const std::string& file) {
    const std::string path = std::string(LUNARO_SOURCE_DIR) + "/archive/messages/" + file;
    const tools::MessageSource source = tools::ParseMessageSource(testkit::ReadFile(path), path);
    std::map<int, std::u16string> wide;
    for (const auto& [ident, text] : source.texts) wide.emplace(ident, platform::Utf8ToUtf16(text));
    return tools::BuildStringTableImage(wide, source.lcid);
}

TEST(Lz77, RealTablesRoundTripAndShrink) {
    for (const char* file : {"us.txt", "br.txt", "es.txt", "fr.txt"}) {
        SCOPED_TRACE(file);
        const Bytes image = ImageOfList(file);
        ExpectRoundTrip(image);
        EXPECT_LT(tools::Lz77Encode(image).size(), image.size() / 2);
    }
}

TEST(Lz77, RunsOverlapTheWritePositionAndWrapTheRing) {
    Bytes run(40, 'a');  // a reference one byte behind the write position copies its own output
    ExpectRoundTrip(run);

    // Enough distinct bytes to wrap the 4096-byte ring several times, with
    // repeats that straddle the wrap point.
    Bytes data;
    std::mt19937 random(7);
    while (data.size() < 9000) {
        const size_t at = data.size();
        if (at > 50 && random() % 3 == 0) {
            const size_t from = at - 1 - random() % std::min<size_t>(at - 1, 4000);
            for (size_t i = 0; i < 3 + random() % 16; ++i) data.push_back(data[from + i]);
        } else {
            data.push_back(static_cast<uint8_t>(random()));
        }
    }
    ExpectRoundTrip(data);
    ExpectRoundTrip({});
}

TEST(Lz77, HandMadeReferencesFollowTheRingRules) {
    // Literal 'x' lands at 0xFF0; a reference to 0xFF0 of length 5 that runs
    // over the write position yields "xxxxx". A reference at 0xFFE of length
    // 4 reads 0xFFE, 0xFFF (zero), then wraps to 0 and 1 (zero as well).
    const Bytes packed = {0x01, 'x', 0xF0, 0xF2, 0xFE, 0xF1};
    Bytes out;
    ASSERT_EQ(Decode(packed, 10, out), kLz77Ok);
    EXPECT_EQ(out, (Bytes{'x', 'x', 'x', 'x', 'x', 'x', 0, 0, 0, 0}));
}

TEST(Lz77, DamagedInputIsRefused) {
    const Bytes image = ImageOfList("us.txt");
    const Bytes packed = tools::Lz77Encode(image);
    Bytes out;
    // Wrong stored length: all input used, output differs.
    EXPECT_EQ(Decode(packed, image.size() + 1, out), kLz77WrongLength);
    // Output would exceed the stored length.
    EXPECT_EQ(Decode(packed, image.size() - 1, out), kLz77Damaged);
    EXPECT_LE(out.size(), image.size() - 1);
    // Input shorter than the declared compressed length.
    EXPECT_EQ(Lz77Decode(std::span(packed).first(packed.size() / 2), packed.size(), image.size(), out), kLz77Damaged);
    // Declared length shorter than the data: stops early with the wrong length.
    EXPECT_EQ(Lz77Decode(packed, packed.size() / 2, image.size(), out), kLz77WrongLength);
    // A reference cut after its first byte.
    EXPECT_EQ(Decode(Bytes{0x00, 0x12}, 3, out), kLz77Damaged);

    std::mt19937 random(11);
    for (int round = 0; round < 500; ++round) {
        Bytes garbage(random() % 300);
        for (uint8_t& b : garbage) b = static_cast<uint8_t>(random());
        const size_t expected = random() % 2000;
        const int result = Decode(garbage, expected, out);
        EXPECT_TRUE(result == kLz77Ok || result == kLz77Damaged || result == kLz77WrongLength);
        EXPECT_LE(out.size(), expected);
    }
}

}  // namespace
}  // namespace lunaro::archive
