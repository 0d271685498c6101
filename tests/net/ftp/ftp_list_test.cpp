#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <map>
#include <string>
#include <algorithm>
#include <vector>

#include "net/ftp/ftp_list.h"
#include "net/ftp/listing_dates.h"
#include "net/text_utils.h"

namespace lunaro::net {
namespace {

double DateOf(int year, int month, int day, int hours = 0, int minutes = 0, int seconds = 0) {
    double days = 0;
    EXPECT_TRUE(TryEncodeDate(year, month, day, days));
    return days + (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
}

void ExpectSameTime(double actual, double expected) { EXPECT_NEAR(actual, expected, 0.5 / 86400.0); }

TFTPList& Parsed(TFTPList& list, std::initializer_list<std::string> lines, bool mlsd = false) {
    for (const std::string& line : lines) list.FLines.Add(line);
    mlsd ? list.ParseMLSDLines() : list.ParseLines();
    return list;
}

TEST(ListMasks, EveryBuiltInMaskHasItsDocumentedLength) {
    const int lengths[] = {41, 41, 33, 33, 32, 31, 33, 23, 23, 25, 25, 25, 25, 22, 23, 19, 24, 25,
                           23, 24, 23, 39, 21, 7,  25, 25, 25, 25, 36, 32, 30, 24, 43, 42, 34, 74,
                           77, 55, 61, 53, 59, 39, 39, 29, 56, 57, 58, 58, 63, 74, 58, 3,  74, 74};
    TFTPList list;
    ASSERT_EQ(list.FMasks.Count(), 54);
    for (int i = 0; i < 54; ++i) EXPECT_EQ(static_cast<int>(list.FMasks[i].size()), lengths[i]) << "mask " << i + 1;
    EXPECT_EQ(list.FMasks[51], "n*\xA7");
    EXPECT_EQ(list.FMasks[17], "v*\\$!DD TTT YYYY hh mm ss");
    EXPECT_EQ(list.FMasks[49], list.FMasks[53]);
}

// A line laid out by a mask: each run of a field letter gets the field's
// value fitted to the run (a run before "*" gets the whole value; name runs
// take the name pieces in turn), the skipping characters get what they skip,
// and the rest stays as written. Spaces right after a "$" stand for columns
// that hold something: the "$" already took the spaces.
std::string LineFromMask(const std::string& mask, const std::map<char, std::string>& values,
                         const std::vector<std::string>& nameParts) {
    std::string line;
    size_t namePart = 0;
    bool afterOpenName = false;
    bool afterSkip = false;
    for (size_t i = 0; i < mask.size();) {
        const char m = mask[i];
        size_t run = 1;
        while (i + run < mask.size() && mask[i + run] == m) ++run;
        if (values.count(m) != 0) {
            std::string value = m == 'n' ? nameParts[std::min(namePart++, nameParts.size() - 1)] : values.at(m);
            const bool open = i + run < mask.size() && mask[i + run] == '*';
            if (!open) value = m == 'S' ? std::string(run > value.size() ? run - value.size() : 0, ' ') + value
                                        : (value + std::string(run, ' ')).substr(0, run);
            line += value;
            afterOpenName = open && m == 'n';
            afterSkip = false;
            i += run + (open ? 1 : 0);
            continue;
        }
        const bool wasOpenName = afterOpenName;
        afterOpenName = false;
        if (m == ' ' && afterSkip) {
            line += std::string(run, '_');
            i += run;
            continue;
        }
        afterSkip = m == '$';
        if (m == '!') line += wasOpenName ? " " : "w ";
        else if (m == '$' || m == 'x') line += " ";
        else if (m == '=') line += " ", ++i;
        else if (m == '\\') line += "\n";
        else if (m != '\xA7') line += m;
        ++i;
    }
    return line;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(ListMasks, LinesOfEveryFamilyLaidOutByTheirMasks) {
    const std::map<char, std::string> values = {
        {'n', ""},    {'v', "REPORT.TXT;1"}, {'D', "15"}, {'M', "03"}, {'T', "Mar"}, {'U', " 2021"},         {'Y', "2021"},
        {'h', "10"},  {'H', "P"},            {'m', "30"}, {'s', "45"}, {'S', "1024"}, {'p', "-rw-r--r--"}, {'d', "-"}};
    TFTPList list;
    int recognised = 0;
    for (int i = 0; i < list.FMasks.Count(); ++i) {
        std::map<char, std::string> fitted = values;
        const std::string& mask = list.FMasks[i];
        if (mask.find("YY ") != std::string::npos && mask.find("YYYY") == std::string::npos) fitted['Y'] = "21";
        if (mask.rfind("ppppppp ", 0) == 0) fitted['p'] = "-rw-r--";
        // Masks that read the name as name and extension, or in 8 columns.
        std::vector<std::string> nameParts = {"report.txt"};
        std::string expected = mask[0] == 'v' ? "REPORT.TXT;1" : "report.txt";
        if (mask.find('.') != std::string::npos && mask.find("YYYY-") == std::string::npos) nameParts = {"report", "txt"};
        if (mask.rfind("nnnnnnnn ", 0) == 0) nameParts = {expected = "data.bin"};
        const std::string text = LineFromMask(mask, fitted, nameParts);
        TFTPList one;
        const size_t split = text.find('\n');
        one.FLines.Add(text.substr(0, split));
        if (split != std::string::npos) one.FLines.Add(text.substr(split + 1));
        one.ParseLines();
        if (one.Count() != 1) {
            ADD_FAILURE() << "mask " << i + 1 << " line [" << text << "]";
            continue;
        }
        ++recognised;
        const TFTPListRec& record = *one.Items(0);
        // An earlier mask may take the line and read it its own way (a
        // skipped word or a space more in front of the name).
        EXPECT_TRUE(EndsWith(TrimSpaces(record.FileName), expected))
            << "mask " << i + 1 << " line [" << text << "] took " << record.Mask << " as [" << record.FileName << "]";
        EXPECT_FALSE(record.Directory) << "mask " << i + 1;
        if (record.Mask.find('S') != std::string::npos) {
            EXPECT_EQ(record.FileSize, 1024) << "mask " << i + 1;
        }
        EXPECT_TRUE(one.FUnparsedLines.Count() == 0) << "mask " << i + 1;
    }
    EXPECT_EQ(recognised, list.FMasks.Count());
}

TEST(ListLines, UnixLineWithTimeTakesTheLatestPastYear) {
    TFTPList list;
    Parsed(list, {"-rw-r--r--   1 ftp  ftp  1024 Mar 15 10:30 notes.txt"});
    ASSERT_EQ(list.Count(), 1);
    const TFTPListRec& record = *list.Items(0);
    EXPECT_EQ(record.Mask, list.FMasks[2]);
    EXPECT_EQ(record.FileName, "notes.txt");
    EXPECT_EQ(record.FileSize, 1024);
    EXPECT_TRUE(record.Readable);
    EXPECT_FALSE(record.Directory);
    EXPECT_EQ(record.Permission, "-rw-r--r--");
    int year = CurrentLocalYear();
    if (DateOf(year, 3, 15, 10, 30) > LocalNow()) --year;
    ExpectSameTime(record.FileTime, DateOf(year, 3, 15, 10, 30));
    EXPECT_EQ(list.Items(1), nullptr);
}

TEST(ListLines, DirectoriesLinksAndDotEntries) {
    TFTPList list;
    Parsed(list, {"drwxr-xr-x   2 ftp  ftp  4096 Jan  2  2019 pub", "drwxr-xr-x   2 ftp  ftp  4096 Jan  2  2019 .",
                  "lrwxrwxrwx   1 ftp  ftp    11 Jan  2  2019 latest -> pub/v1.2", "04-27-00  09:09PM       <DIR>          licensed",
                  "04-27-00  09:09PM                  7 readme.txt"});
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(0)->FileName, "pub");
    EXPECT_TRUE(list.Items(0)->Directory);
    EXPECT_FALSE(list.Items(0)->Readable);
    ExpectSameTime(list.Items(0)->FileTime, DateOf(2019, 1, 2));
    EXPECT_EQ(list.Items(1)->FileName, "latest");
    EXPECT_TRUE(list.Items(1)->Directory);
    EXPECT_EQ(list.Items(2)->FileName, "licensed");
    EXPECT_EQ(list.Items(2)->Mask, list.FMasks[8]);
    EXPECT_TRUE(list.Items(2)->Directory);
    ExpectSameTime(list.Items(2)->FileTime, DateOf(2000, 4, 27, 21, 9));
    EXPECT_EQ(list.Items(3)->FileName, "readme.txt");
    EXPECT_EQ(list.Items(3)->FileSize, 7);
    EXPECT_FALSE(list.Items(3)->Directory);
}

TEST(ListLines, VmsEntrySpreadOverTwoLines) {
    TFTPList list;
    Parsed(list, {"SUBDIR.DIR;1", "                 2  27-JAN-2021 14:05:09", "-rw-r--r--   1 a  a  5 Jan  2  2019 x"});
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->FileName, "SUBDIR.DIR;1");
    EXPECT_TRUE(list.Items(0)->Directory);
    ExpectSameTime(list.Items(0)->FileTime, DateOf(2021, 1, 27, 14, 5, 9));
    EXPECT_EQ(list.Items(1)->FileName, "x");
    EXPECT_EQ(list.FUnparsedLines.Count(), 0);
}

TEST(ListLines, ValueChecksRejectImpossibleFields) {
    TFTPList list;
    list.FMasks.Clear();
    list.FMasks.Add("pppppppppp $!!!S*$TTT$DD$UUUUU$n*");
    Parsed(list, {"-rw-r--r--   1 a  a  12 Mar 32 10:30 day", "-rw-r--r--   1 a  a  12 Foo 10 10:30 month",
                  "-rw-r--r--   1 a  a  12 Mar 10 25:30 hour", "-rw-r--r--   1 a  a  12 Mar 10  1850 year",
                  "-rwQr--r--   1 a  a  12 Mar 10 10:30 perm", "-rw-r--r--   1 a  a  12 Feb 29  2021 leap"});
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->FileName, "leap");
    ExpectSameTime(list.Items(0)->FileTime, DateOf(2021, 2, 28));
    EXPECT_EQ(list.FUnparsedLines.Count(), 5);
}

TEST(ListLines, EplfLines) {
    TFTPList list;
    Parsed(list, {"+i8388621.48594,m825718503,r,s280,\tdjb.html", "+i8388621.50690,m824255907,/,\t514",
                  "+i1.2,/,\t..", "not a listing line at all"});
    ASSERT_EQ(list.Count(), 2);
    const TFTPListRec& file = *list.Items(0);
    EXPECT_EQ(file.FileName, "djb.html");
    EXPECT_EQ(file.FileSize, 280);
    EXPECT_TRUE(file.Readable);
    EXPECT_FALSE(file.Directory);
    EXPECT_EQ(file.Mask, "EPLF");
    ExpectSameTime(file.FileTime, 825718503 / 86400.0 + 25569.0);
    EXPECT_TRUE(list.Items(1)->Directory);
    ASSERT_EQ(list.FUnparsedLines.Count(), 1);
    EXPECT_EQ(list.FUnparsedLines[0], "not a listing line at all");
}

TEST(ListLines, MlsdFacts) {
    TFTPList list;
    Parsed(list, {"type=dir;modify=20230102030405;size=0; pub", "Type=file;Size=77;modify=20231345000000;UNIX.mode=0644; a;b.txt",
                  "type=cdir; ."},
           true);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0)->FileName, "pub");
    EXPECT_TRUE(list.Items(0)->Directory);
    ExpectSameTime(list.Items(0)->FileTime, DateOf(2023, 1, 2, 3, 4, 5));
    EXPECT_EQ(list.Items(1)->FileName, "a");
    EXPECT_EQ(list.Items(1)->FileSize, 77);
    ExpectSameTime(list.Items(1)->FileTime, DateOf(1970, 1, 1));
    EXPECT_TRUE(list.Items(2)->Directory);
    EXPECT_EQ(list.Items(2)->Mask, "");
}

TEST(ListLines, ClearKeepsMasksAndAssignCopiesEverything) {
    TFTPList list;
    Parsed(list, {"-rw-r--r--   1 a  a  5 Jan  2  2019 x", "no mask fits this"});
    TFTPList copy;
    copy.FMasks.Clear();
    copy.Assign(list);
    EXPECT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.FMasks.Count(), 54);
    EXPECT_EQ(copy.FUnparsedLines.Count(), 1);
    EXPECT_EQ(copy.FLines.Count(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FLines.Count(), 0);
    EXPECT_EQ(list.FMasks.Count(), 54);
    EXPECT_EQ(copy.Items(0)->FileName, "x");
}

}  // namespace
}  // namespace lunaro::net
