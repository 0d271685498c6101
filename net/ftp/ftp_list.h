#pragma once
// TFTPList: directory listings turned into records. LIST lines are tried in
// EPLF form first, then against an ordered list of masks (a small pattern
// language: each mask character says what the line character at the same
// position means); MLSD lines are read by their facts. Lines no mask fits
// are kept apart in FUnparsedLines.
//
// Lines and masks are 8-bit texts, the listing's bytes as received.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/string_list.h"

namespace lunaro::net {

// What a listing may hold before the client refuses the rest: a server that
// never ends its listing must not exhaust memory.
inline constexpr int kMaxListingLines = 2'000'000;
inline constexpr int64_t kMaxListingBytes = 256LL * 1024 * 1024;

class TFTPListRec {
public:
    std::string FileName;
    bool Directory = false;
    bool Readable = false;
    int64_t FileSize = 0;
    double FileTime = 0;  // local date-time, days since 1899-12-30
    std::string OriginalLine;
    std::string Mask;  // the mask that recognised the line, "EPLF", or empty for MLSD
    std::string Permission;

    void Assign(const TFTPListRec& Value) { *this = Value; }
};

// The built-in masks, in trying order.
const std::vector<std::string>& BuiltInListMasks();

class TFTPList {
public:
    TFTPList();

    int Count() const { return static_cast<int>(FList.size()); }
    // The record at Index; nullptr outside 0..Count()-1.
    TFTPListRec* Items(int Index) const;

    platform::TStringList FLines;
    platform::TStringList FMasks;
    platform::TStringList FUnparsedLines;

    // Records, input lines and unparsed lines go; the masks stay.
    void Clear();
    void Assign(const TFTPList& Value);
    // LIST lines (EPLF included); the records are appended.
    void ParseLines();
    void ParseMLSDLines();

private:
    // The pieces of a line a mask picked out; cleared before every attempt.
    struct TParseState {
        std::string Monthnames, BlockSize, DirFlagValue, FileName, VMSFileName, Day, Month, ThreeMonth,
            YearTime, Year, Hours, HoursModif, Minutes, Seconds, Size, Permissions, DirFlag;
        int MonthOfName = 0;  // the month ThreeMonth names, once the checks found it
        void Clear();
        // The piece a mask letter collects into; nullptr for the other mask characters.
        std::string* Field(char MaskLetter);
    };
    // What every line of one listing is read against, looked up once: the
    // present moment and year, the system's time separator, and the month
    // names met so far with their numbers (a listing repeats a dozen names,
    // and looking one up means case-mapping it in the user's locale).
    struct TListingContext {
        double Now = 0;
        int Year = 0;
        std::string TimeSeparator;
        std::vector<std::pair<std::string, int>> Months;
    };

    bool ParseEPLFLine(const std::string& Line);
    // The line without the control characters and spaces that end it.
    static std::string_view WithoutTrailingControls(std::string_view line);
    // 0 no match, 1 a match, 2 a match that used NextLine too. Both lines
    // come without their trailing control characters and spaces.
    int ParseByMask(std::string_view Line, std::string_view NextLine, const std::string& Mask);
    bool CheckValues();
    int MonthOfThreeMonth();
    void FillRecord(TFTPListRec& Value) const;
    void AddRecord(std::unique_ptr<TFTPListRec> Value);

    std::vector<std::unique_ptr<TFTPListRec>> FList;
    TParseState S;
    TListingContext FContext;
};

}  // namespace lunaro::net
