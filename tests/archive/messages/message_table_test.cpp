// Message lookup and language selection, on the embedded tables and on
// damaged ones built for the purpose.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "archive/messages/embedded_tables.h"
#include "archive/messages/message_catalog.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/string_table.h"
#include "archive/messages/user_locale.h"
#include "tests/support/test_support.h"
#include "tools/message_tables/message_source.h"
#include "tools/message_tables/string_table_image.h"
#include "tools/message_tables/table_entry_writer.h"

namespace lunaro::archive {
namespace {

using Bytes = std::vector<uint8_t>;

tools::MessageSource List(const std::string& file) {
    const std::string path = std::string(LUNARO_SOURCE_DIR) + "/archive/messages/" + file;
    return tools::ParseMessageSource(testkit::ReadFile(path), path);
}

std::string WithCrLf(std::string text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, "\r");
    return text;
}

Bytes Entry(uint16_t lcid, const std::string& name, std::map<int, std::string> texts) {
    tools::MessageSource source;
    source.lcid = lcid;
    source.name = name;
    source.texts = std::move(texts);
    return tools::BuildTableEntry(source);
}

TEST(MessageTable, EmbeddedBuiltinTableHoldsEveryListedText) {
    TMessageCatalog catalog(BuiltinTableEntry(), LanguageResource());
    const tools::MessageSource us = List("us.txt");
    EXPECT_EQ(us.texts.size(), 197u);
    for (const auto& [ident, text] : us.texts) EXPECT_EQ(catalog.LoadStr(ident), WithCrLf(text)) << ident;
    EXPECT_EQ(catalog.LoadStr(msg::LanguageCode), "US: default");
    EXPECT_EQ(catalog.LoadStr(msg::LanguageNeutral), "Language Neutral");
    EXPECT_EQ(catalog.LoadStr(11684), "Resource missing for 11684");
    EXPECT_EQ(catalog.LoadStr(-3), "Resource missing for -3");
    EXPECT_EQ(catalog.LoadStr(msg::FileExistsOverwrite),
              "There is already a file %s\r\nDo you want to overwrite this file");
    EXPECT_EQ(catalog.LanguageName(), "US: default");
}

TEST(MessageTable, LanguageSelection) {
    TMessageCatalog catalog(BuiltinTableEntry(), LanguageResource());
    for (const char* value : {"BR", "1046", "22", " br: whatever", "$416"}) {
        catalog.SelectLanguage(value);
        EXPECT_EQ(catalog.LanguageName(), "BR") << value;
        EXPECT_EQ(catalog.LanguageId(), 1046) << value;
    }
    EXPECT_EQ(catalog.LoadStr(msg::UserCanceled), "Operação cancelada pelo usuário");
    EXPECT_EQ(catalog.LoadStr(msg::FileExistsOverwrite), "Já existe um arquivo %s\r\nDeseja substituir este arquivo");

    catalog.SelectLanguage("FR");
    EXPECT_EQ(catalog.LoadStr(msg::ButtonCancel), "&Annuler");
    // A text the French table lacks comes from the built-in table.
    EXPECT_EQ(catalog.LoadStr(msg::SfxStubNotFound), "Error: SFX stub '%s' not found!");

    for (const char* value : {"US", "1033", "X", "", "0", "65536", "12abc", "NOPE"}) {
        catalog.SelectLanguage("BR");
        catalog.SelectLanguage(value);
        EXPECT_EQ(catalog.LanguageName(), "US: default") << value;
        EXPECT_EQ(catalog.LoadStr(msg::UserCanceled), "User canceled operation") << value;
    }
}

TEST(MessageTable, StarSelectsTheUsersLanguage) {
    EXPECT_EQ(LcidOfLocaleName("pt_BR.UTF-8"), 1046);
    EXPECT_EQ(LcidOfLocaleName("pt_PT.UTF-8"), 22);
    EXPECT_EQ(LcidOfLocaleName("fr_CA"), 12);
    EXPECT_EQ(LcidOfLocaleName("C"), 1033);
    EXPECT_EQ(LcidOfLocaleName("zh_TW.Big5"), 1028);

    TMessageCatalog catalog(BuiltinTableEntry(), LanguageResource());
    const char* saved = std::getenv("LC_ALL");
    const std::string before = saved ? saved : "";
    ::setenv("LC_ALL", "pt_PT.UTF-8", 1);
    catalog.SelectLanguage("*");
    EXPECT_EQ(catalog.LanguageName(), "BR");
    ::setenv("LC_ALL", "C", 1);
    catalog.SelectLanguage("*");
    EXPECT_EQ(catalog.LanguageName(), "US: default");
    if (saved) ::setenv("LC_ALL", before.c_str(), 1);
    else ::unsetenv("LC_ALL");
}

TEST(MessageTable, OnLoadStrSeesAndMayReplaceEveryText) {
    TMessageCatalog catalog(BuiltinTableEntry(), LanguageResource());
    std::vector<std::pair<int, std::string>> seen;
    catalog.SetOnLoadStr([&](int ident, std::string& text) {
        seen.emplace_back(ident, text);
        if (ident == msg::UserAbort) text = "Stopped";
        if (ident == msg::CrcError) text.clear();
        if (ident == 20000) text = "Supplied";
    });
    EXPECT_EQ(catalog.LoadStr(msg::UserAbort), "Stopped");
    EXPECT_EQ(catalog.LoadStr(msg::CrcError), "CRC error");  // an emptied text does not replace
    EXPECT_EQ(catalog.LoadStr(20000), "Supplied");
    EXPECT_EQ(catalog.LoadStr(20001), "Resource missing for 20001");
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], std::make_pair(msg::UserAbort, std::string("User Abort")));
    EXPECT_EQ(seen[2], std::make_pair(20000, std::string()));
    EXPECT_EQ(catalog.FmtLoadStr(msg::IndexOutOfRange, {7, 3}), "Index (7) outside range 0..3");
}

TEST(MessageTable, DamagedLanguageEntriesLeaveTheBuiltinTextsInForce) {
    const Bytes good = Entry(1046, "BR", {{msg::UserCanceled, "Cancelado"}});
    std::vector<Bytes> damaged;
    damaged.push_back(Bytes(good.begin(), good.begin() + good.size() / 2));  // truncated data
    Bytes wrongSize = good;
    wrongSize[8 + 2] ^= 0x01;  // stored image length
    damaged.push_back(wrongSize);
    Bytes wrongLength = good;
    wrongLength[2] = 3;  // compressed length below its own length field
    damaged.push_back(wrongLength);
    damaged.push_back(Bytes{0x16, 0x04, 0xFF});  // header cut short
    Bytes huge = good;
    huge[8] = 0x50, huge[9] = 0xC3, huge[10] = 0, huge[11] = 0;  // declares 50000 bytes, the limit
    damaged.push_back(huge);
    for (Bytes& garbage : damaged) {
        TMessageCatalog catalog(BuiltinTableEntry(), garbage);
        catalog.SelectLanguage("BR");
        EXPECT_EQ(catalog.LanguageName(), "US: default");
        EXPECT_EQ(catalog.LoadStr(msg::UserCanceled), "User canceled operation");
    }
    TMessageCatalog noBuiltin(Bytes{1, 2, 3}, good);
    EXPECT_EQ(noBuiltin.LoadStr(msg::UserCanceled), "Resource missing for 11007");
    noBuiltin.SelectLanguage("BR");
    EXPECT_EQ(noBuiltin.LoadStr(msg::UserCanceled), "Cancelado");
}

// Images whose records lie: sizes pointing past the image, counts running
// over the record, sizes summing below the minimum. None may be followed.
TEST(MessageTable, LyingRecordSizesAreNotFollowed) {
    const Bytes image = tools::BuildStringTableImage({{msg::UserCanceled, u"Cancelado"}}, 1046);
    ASSERT_EQ(FindStringInImage(image, msg::UserCanceled), std::u16string(u"Cancelado"));
    auto patched = [&](size_t at, uint32_t value, int width) {
        Bytes copy = image;
        for (int i = 0; i < width; ++i) copy[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return copy;
    };
    const size_t record = 32;  // after the leading empty record
    const size_t slotCount = record + 32 + 2 * (msg::UserCanceled % 16);
    EXPECT_FALSE(FindStringInImage(patched(record, 0xFFFFFFF0, 4), msg::UserCanceled));
    EXPECT_FALSE(FindStringInImage(patched(record + 4, 0xFFFFFFFF, 4), msg::UserCanceled));
    EXPECT_FALSE(FindStringInImage(patched(slotCount, 0xFFFF, 2), msg::UserCanceled));
    EXPECT_FALSE(FindStringInImage(patched(4, 0, 4), msg::UserCanceled));  // 0 + 0 < 8 ends the walk
    EXPECT_FALSE(FindStringInImage(patched(record + 14, 0x1234, 2), msg::UserCanceled));
    const size_t recordEnd = record + 32 + image[record] + 256 * image[record + 1];
    for (size_t length = 0; length < recordEnd; ++length)
        EXPECT_FALSE(FindStringInImage(std::span(image).first(length), msg::UserCanceled)) << length;

    std::mt19937 random(3);
    for (int round = 0; round < 300; ++round) {
        Bytes garbage = image;
        for (int flips = 0; flips < 4; ++flips) garbage[random() % garbage.size()] = static_cast<uint8_t>(random());
        (void)FindStringInImage(garbage, msg::UserCanceled);
        (void)FindStringInImage(garbage, static_cast<int>(random() % 20000));
    }
}

}  // namespace
}  // namespace lunaro::archive
