#pragma once
// Small value types shared by the archive component's layers: option
// enumerations and sets, dialog buttons and progress action codes.
#include <cstdint>
#include <initializer_list>

namespace lunaro::archive {

enum class TZKEncodingOpts : uint8_t { zeoAuto = 0, zeoNone = 1, zeoOEM = 2, zeoUTF8 = 3, zeoUPath = 4 };
enum class TZKDeleteOpts : uint8_t { htdFinal = 0, htdAllowUndo = 1 };

enum class TZKSkipTypes : uint8_t {
    stOnFreshen, stNoOverwrite, stFileExists, stBadPassword, stBadName, stCompressionUnknown,
    stUnknownZipHost, stZipFileFormatWrong, stGeneralExtractError, stUser, stCannotDo, stNotFound,
    stNoShare, stNoAccess, stNoOpen, stDupName, stReadError, stSizeChange,
};

// A set over a small enumeration, one bit per ordinal.
template <typename Enum>
class TZKSet {
public:
    constexpr TZKSet() = default;
    constexpr TZKSet(std::initializer_list<Enum> members) {
        for (Enum member : members) Include(member);
    }
    constexpr bool Contains(Enum member) const { return (bits_ >> static_cast<unsigned>(member)) & 1u; }
    constexpr void Include(Enum member) { bits_ |= uint32_t{1} << static_cast<unsigned>(member); }
    constexpr void Exclude(Enum member) { bits_ &= ~(uint32_t{1} << static_cast<unsigned>(member)); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TZKSet&) const = default;

private:
    uint32_t bits_ = 0;
};

using TZKSkipAborts = TZKSet<TZKSkipTypes>;

enum class TZKAddOptsEnum : uint8_t {
    AddDirNames, AddRecurseDirs, AddMove, AddFreshen, AddUpdate, AddHiddenFiles, AddArchiveOnly, AddResetArchive,
    AddEncrypt, AddEmptyDirs, AddVolume, AddFromDate, AddSafe, AddVersion, AddNTFS,
};
using TZKAddOpts = TZKSet<TZKAddOptsEnum>;

enum class TZKWriteOptsEnum : uint8_t { zwoDiskSpan, zwoZipTime, zwoForceDest };
using TZKWriteOpts = TZKSet<TZKWriteOptsEnum>;

// Spanning is not built; its options are carried as raw bits.
using TZKSpanOpts = uint32_t;

// Dialog buttons in their ordinal order; captions are message ButtonYes +
// ordinal (ButtonClose for mbClose).
enum class TMsgDlgBtn : uint8_t {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose,
};
using TMsgDlgButtons = TZKSet<TMsgDlgBtn>;

// Progress and callback action codes of the engine protocol.
enum class TActionCodes : uint8_t {
    zacTick = 0, zacItem, zacProgress, zacEndOfBatch, zacCount, zacSize, zacXItem, zacXProgress, zacMessage,
    zacNewName, zacPassword, zacCRCError, zacOverwrite, zacSkipped, zacComment, zacData, zacExtName, zacNone,
    zacKey, zacArg, zacWinErr,
};

enum class TZKExtrOptsEnum : uint8_t {
    ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest, ExtrForceDirs, ExtrNTFS,
};
using TZKExtrOpts = TZKSet<TZKExtrOptsEnum>;

// File kinds that adding stores without compression, in their ordinal order.
enum class TZKAddStoreSuffixEnum : uint8_t {
    assGIF, assPNG, assZ, assZIP, assZOO, assARC, assLZH, assARJ, assTAZ, assTGZ, assLHA, assRAR, assACE, assCAB,
    assGZ, assGZIP, assJAR, assEXE, assEXT, assJPG, assJPEG, ass7Zp, assMP3, assWMV, assWMA, assDVR, assAVI,
};
using TZKAddStoreExts = TZKSet<TZKAddStoreSuffixEnum>;

inline constexpr int kAddStoreSuffixCount = 27;

// Every suffix except the executables and the caller's own list.
constexpr TZKAddStoreExts DefaultAddStoreSuffixes() {
    TZKAddStoreExts set;
    for (int i = 0; i < kAddStoreSuffixCount; ++i) set.Include(static_cast<TZKAddStoreSuffixEnum>(i));
    set.Exclude(TZKAddStoreSuffixEnum::assEXE);
    set.Exclude(TZKAddStoreSuffixEnum::assEXT);
    return set;
}

enum class TZKStreamOp : uint8_t { zsoIdentify, zsoOpen, zsoClose };

enum class TZKProgressType : uint8_t {
    NewFile = 0, ProgressUpdate, EndOfItem, EndOfBatch, TotalFiles2Process, TotalSize2Process, NewExtra, ExtraUpdate,
};

}  // namespace lunaro::archive
