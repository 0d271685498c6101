#include "archive/reader/name_decoding.h"

#include <gtest/gtest.h>

namespace lunaro::archive {
namespace {

using E = TZKEncodingOpts;

TEST(NameDecoding, FlaggedUtf8AgainstOemBytes) {
    const std::string bytes = "caf\xC3\xA9";
    EXPECT_EQ(DecodeStoredText(bytes, E::zeoUTF8, 0, std::nullopt), "caf\xC3\xA9");
    // The same two bytes through code page 850 are two characters: U+251C U+00AE.
    EXPECT_EQ(DecodeStoredText(bytes, E::zeoOEM, 0, std::nullopt), "caf\xE2\x94\x9C\xC2\xAE");
}

TEST(NameDecoding, PrintableAsciiIsTakenAsItIs) {
    for (E encoding : {E::zeoNone, E::zeoOEM, E::zeoUTF8})
        EXPECT_EQ(DecodeStoredText("docs/read me.txt", encoding, 0, std::nullopt), "docs/read me.txt");
    // Unicode Path wins even over plain ASCII bytes.
    EXPECT_EQ(DecodeStoredText("plain.txt", E::zeoUPath, 0, std::string_view("pl\xC3\xA4in.txt")),
              "pl\xC3\xA4in.txt");
    // Without an accepted field the stored bytes are widened.
    EXPECT_EQ(DecodeStoredText("plain.txt", E::zeoUPath, 0, std::nullopt), "plain.txt");
}

TEST(NameDecoding, FallbacksEndInTheAnsiCodePage) {
    // Invalid UTF-8 under the UTF-8 flag: read as code page 1252.
    EXPECT_EQ(DecodeStoredText("caf\xE9", E::zeoUTF8, 0, std::nullopt), "caf\xC3\xA9");
    // A configured code page.
    EXPECT_EQ(DecodeStoredText("\xE4", E::zeoNone, 28595, std::nullopt), "\xD1\x84");  // ISO-8859-5
    // One the system cannot convert from.
    EXPECT_EQ(DecodeStoredText("caf\xE9", E::zeoNone, 4242, std::nullopt), "caf\xC3\xA9");
    // A Unicode text that is not valid UTF-8 after all.
    EXPECT_EQ(DecodeStoredText("x\x01", E::zeoUPath, 0, std::string_view("\xF8\x88\x80\x80\x80")),
              "\xC3\xB8\xCB\x86\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
}

}  // namespace
}  // namespace lunaro::archive
