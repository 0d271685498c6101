#include <gtest/gtest.h>

#include "net/ftp/listing_dates.h"

namespace lunaro::net {
namespace {

TEST(MonthNames, EveryRowAndAnyLetterCase) {
    EXPECT_EQ(MonthNumber("Jan"), 1);
    EXPECT_EQ(MonthNumber("dec"), 12);
    EXPECT_EQ(MonthNumber("MAY"), 5);
    EXPECT_EQ(MonthNumber("fév"), 2);
    EXPECT_EQ(MonthNumber("FÉV"), 2);
    EXPECT_EQ(MonthNumber("aoû"), 8);
    EXPECT_EQ(MonthNumber("aou"), 8);
    EXPECT_EQ(MonthNumber("Okt"), 10);
    EXPECT_EQ(MonthNumber("dez"), 12);
    EXPECT_EQ(MonthNumber("mär"), 3);
    EXPECT_EQ(MonthNumber("Úno"), 2);
    EXPECT_EQ(MonthNumber("úno"), 2);
    EXPECT_EQ(MonthNumber("Bøe"), 3);
    EXPECT_EQ(MonthNumber("Èec"), 7);
    EXPECT_EQ(MonthNumber("øíj"), 10);
    EXPECT_EQ(MonthNumber("Pro"), 12);
}

TEST(MonthNames, NoMatchAndMalformedInput) {
    EXPECT_EQ(MonthNumber(""), 0);
    EXPECT_EQ(MonthNumber("Ja"), 0);
    EXPECT_EQ(MonthNumber("January"), 0);
    EXPECT_EQ(MonthNumber("\xff\xfe"), 0);
    EXPECT_EQ(MonthNumber(std::string(100000, 'J')), 0);
}

TEST(MonthNames, CustomRowComesFirst) {
    const TMonthNames custom = {"Sty", "Lut", "Mar", "Kwi", "Maj", "Cze", "Lip", "Sie", "Wrz", "Paz", "Lis", "Gru"};
    EXPECT_EQ(MonthNumber("lut", custom), 2);
    EXPECT_EQ(MonthNumber("GRU", custom), 12);
    EXPECT_EQ(MonthNumber("Feb", custom), 2);  // the other rows still count
    EXPECT_EQ(MonthNumber("lut"), 0);
    EXPECT_EQ(MonthNumber("Feb", TMonthNames{"x"}), 2);
    EXPECT_EQ(MonthNumber("", TMonthNames{}), 0);
    // A name two rows give different months: the earlier month wins, from
    // whichever row it comes.
    const TMonthNames late = {"x", "x", "x", "x", "x", "Mar", "x", "x", "x", "x", "x", "x"};
    EXPECT_EQ(MonthNumber("MAR", late), 3);
    const TMonthNames early = {"x", "Apr", "x", "x", "x", "x", "x", "x", "x", "x", "x", "x"};
    EXPECT_EQ(MonthNumber("apr", early), 2);
}

TEST(TimeOfDay, ValidTimes) {
    EXPECT_DOUBLE_EQ(TimeOfDayFromText("12:00"), 0.5);
    EXPECT_DOUBLE_EQ(TimeOfDayFromText("10:30"), (10 * 60 + 30) / 1440.0);
    EXPECT_DOUBLE_EQ(TimeOfDayFromText("06:00:36"), (6 * 3600 + 36) / 86400.0);
    EXPECT_DOUBLE_EQ(TimeOfDayFromText(" 0:0 "), 0.0);
    // Whatever follows two characters after the last colon is cut off.
    EXPECT_DOUBLE_EQ(TimeOfDayFromText("10:30pm"), (10 * 60 + 30) / 1440.0);
    EXPECT_DOUBLE_EQ(TimeOfDayFromText("1:2:345"), (3600 + 120 + 34) / 86400.0);
}

TEST(TimeOfDay, InvalidTimesGiveMinusOne) {
    EXPECT_EQ(TimeOfDayFromText(""), -1);
    EXPECT_EQ(TimeOfDayFromText("2023"), -1);
    EXPECT_EQ(TimeOfDayFromText("24:00"), -1);
    EXPECT_EQ(TimeOfDayFromText("10:60"), -1);
    EXPECT_EQ(TimeOfDayFromText("10:"), -1);
    EXPECT_EQ(TimeOfDayFromText("a:b"), -1);
    EXPECT_EQ(TimeOfDayFromText("1:2:3:4"), -1);
    EXPECT_EQ(TimeOfDayFromText("100:10"), -1);
    EXPECT_EQ(TimeOfDayFromText(std::string(100000, ':')), -1);
}

}  // namespace
}  // namespace lunaro::net
