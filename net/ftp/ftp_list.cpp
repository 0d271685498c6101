#include "net/ftp/ftp_list.h"

#include <cctype>

#include "net/ftp/decimal_text.h"
#include "net/ftp/listing_dates.h"
#include "net/text_utils.h"
#include "platform/date_time.h"
#include "platform/locale_info.h"

namespace lunaro::net {
namespace {

bool IsDotEntry(const TFTPListRec& Value) {
    return Value.Directory && (Value.FileName == "." || Value.FileName == "..");
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "name=value" facts before the first "; " of an MLSD line, keyed by the
// lower-cased name.
std::string FactValue(const std::string& Facts, const std::string& Name) {
    size_t start = 0;
    while (start < Facts.size()) {
        size_t end = Facts.find(';', start);
        if (end == std::string::npos) end = Facts.size();
        const std::string fact = Facts.substr(start, end - start);
        const size_t equals = fact.find('=');
        if (equals != std::string::npos && Lower(TrimSpaces(fact.substr(0, equals))) == Name) {
            return fact.substr(equals + 1);
        }
        start = end + 1;
    }
    return {};
}

double MLSDTime(const std::string& Value) {
    const auto field = [&Value](size_t from, size_t count, int64_t fallback) {
        return Value.size() >= from + count ? DecimalOr(Value.substr(from, count), fallback) : fallback;
    };
    const int64_t year = field(0, 4, 1970);
    const int64_t month = field(4, 2, 1);
    const int64_t day = field(6, 2, 1);
    const int64_t hours = field(8, 2, 0);
    const int64_t minutes = field(10, 2, 0);
    const int64_t seconds = field(12, 2, 0);
    double date = 0;
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 ||
        !TryEncodeDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), date)) {
        return platform::kUnixEpochDays;
    }
    return date + (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
}

}  // namespace

TFTPList::TFTPList() {
    for (const std::string& mask : BuiltInListMasks()) FMasks.Add(mask);
}

TFTPListRec* TFTPList::Items(int Index) const {
    return Index >= 0 && Index < Count() ? FList[static_cast<size_t>(Index)].get() : nullptr;
}

void TFTPList::Clear() {
    FList.clear();
    FLines.Clear();
    FUnparsedLines.Clear();
}

void TFTPList::Assign(const TFTPList& Value) {
    Clear();
    for (const auto& record : Value.FList) FList.push_back(std::make_unique<TFTPListRec>(*record));
    FLines = Value.FLines;
    FMasks = Value.FMasks;
    FUnparsedLines = Value.FUnparsedLines;
}

void TFTPList::AddRecord(std::unique_ptr<TFTPListRec> Value) {
    if (!IsDotEntry(*Value)) FList.push_back(std::move(Value));
}

void TFTPList::ParseLines() {
    FContext.Now = LocalNow();
    FContext.Year = CurrentLocalYear();
    FContext.TimeSeparator = platform::UserTimeSeparator();
    FContext.Months.clear();
    int i = 0;
    while (i < FLines.Count()) {
        const std::string& line = FLines[i];
        int step = 1;
        if (!ParseEPLFLine(line)) {
            const std::string_view trimmed = WithoutTrailingControls(line);
            const std::string_view next = i + 1 < FLines.Count() ? WithoutTrailingControls(FLines[i + 1]) : std::string_view();
            bool recognised = false;
            for (int m = 0; m < FMasks.Count() && !recognised; ++m) {
                const int result = ParseByMask(trimmed, next, FMasks[m]);
                if (result <= 0 || !CheckValues()) continue;
                auto record = std::make_unique<TFTPListRec>();
                FillRecord(*record);
                record->OriginalLine = line;
                record->Mask = FMasks[m];
                AddRecord(std::move(record));
                recognised = true;
                // Only a mask that recognised the entry may swallow the next line.
                step = result;
            }
            if (!recognised) FUnparsedLines.Add(line);
        }
        i += step;
    }
}

bool TFTPList::ParseEPLFLine(const std::string& Line) {
    if (Line.empty() || Line[0] != '+') return false;
    const std::string body = Line.substr(1);
    const size_t tab = body.find('\t');
    auto record = std::make_unique<TFTPListRec>();
    record->FileName = tab == std::string::npos ? body : body.substr(tab + 1);
    if (record->FileName.empty()) return false;
    std::string facts = tab == std::string::npos ? body : body.substr(0, tab);
    for (;;) {
        const bool more = facts.find(',') != std::string::npos;
        const std::string piece = TrimSpaces(more ? TextBefore(facts, ",") : facts);
        facts = more ? TrimSpaces(TextAfter(facts, ",")) : std::string();
        if (piece.empty()) break;
        if (piece == "/") {
            record->Directory = true;
        } else if (piece[0] == 'm') {
            const int64_t seconds = DecimalOr(piece.substr(1), -1);
            if (seconds >= 0) record->FileTime = static_cast<double>(seconds) / 86400.0 + platform::kUnixEpochDays;
        } else if (piece == "r") {
            record->Readable = true;
        } else if (piece[0] == 's') {
            record->FileSize = DecimalOr(piece.substr(1), record->FileSize);
        }
        if (!more) break;
    }
    record->OriginalLine = Line;
    record->Mask = "EPLF";
    AddRecord(std::move(record));
    return true;
}

void TFTPList::ParseMLSDLines() {
    for (int i = 0; i < FLines.Count(); ++i) {
        const std::string& line = FLines[i];
        const size_t nameStart = line.find("; ");
        const std::string facts = nameStart == std::string::npos ? line : line.substr(0, nameStart);
        auto record = std::make_unique<TFTPListRec>();
        record->FileTime = MLSDTime(FactValue(facts, "modify"));
        const std::string type = Lower(FactValue(facts, "type"));
        record->Directory = type == "dir" || type == "cdir";
        record->FileSize = DecimalOr(FactValue(facts, "size"), 0);
        record->Permission = FactValue(facts, "mode");
        if (nameStart != std::string::npos) record->FileName = TextBefore(line.substr(nameStart + 2), ";");
        record->OriginalLine = line;
        FList.push_back(std::move(record));
    }
}

}  // namespace lunaro::net
