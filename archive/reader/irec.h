#pragma once
// One central-directory entry as the reader keeps it: the header's values,
// the raw name, comment and extra field exactly as stored, Zip64 sizes and
// offsets resolved, and the name decoded into text on first use.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "archive/directory/dir_entry.h"
#include "archive/operation/zk_types.h"

namespace lunaro::archive {

class TZKZipFile;
class TZKHeaderSource;

enum class TZipSelects : uint8_t { zzsClear, zzsSet, zzsToggle };

class TZKIRec : public TZKDirEntry {
public:
    explicit TZKIRec(TZKZipFile& owner) : fOwner(&owner) {}

    // Reads one central header from the source's position. Returns a
    // negative message identifier on failure, 0 for an ordinary entry and 1
    // when a Zip64 extended-information field was applied.
    int Read(TZKHeaderSource& source);

    // Positions the owner's open file at the entry's data after checking
    // its local header.
    int SeekLocalData();
    // The same check; the offset of the data in the open file (or part), or a
    // negative message identifier. Where the file is left is not said.
    int64_t LocalDataOffset();

    int64_t CompressedSize() const override { return fComprSize; }
    uint16_t CompressionMethod() const override { return fComprMethod; }
    uint32_t CRC32() const override { return fCRC32; }
    uint32_t DateTime() const override { return fModifDateTime; }
    TZKEncodingOpts Encoded() const override;
    bool Encrypted() const override { return (fFlag & 1) != 0; }
    uint32_t ExtFileAttrib() const override { return fExtFileAtt; }
    std::string ExtraField() const override { return std::string(RawExtra()); }
    std::string FileComment() override;
    uint16_t FileCommentLen() const override { return fFileComLen; }
    std::string FileName() override { return std::string(DecodedName()); }
    uint16_t FileNameLength() const override { return fFileNameLen; }
    uint16_t Flag() const override { return fFlag; }
    std::string HeaderName() const override { return std::string(RawName()); }
    uint16_t IntFileAttrib() const override { return fIntFileAtt; }
    int64_t RelOffLocalHdr() const override { return fRelOffLocal; }
    uint32_t StartOnDisk() const override { return fDiskStart; }
    uint32_t StatusBits() const override { return fStatusBits; }
    int64_t UncompressedSize() const override { return fUnComprSize; }
    uint16_t VersionMadeBy() const override { return FVersionMadeBy; }
    uint16_t VersionNeeded() const override { return fVersionNeeded; }

    void SetEncrypted(bool on) { fFlag = on ? (fFlag | 1) : (fFlag & ~1); }
    // The bytes as stored. Entries are never renamed here, so the header
    // name is always the name as read.
    std::string_view RawName() const { return {fRaw, fFileNameLen}; }
    std::string_view RawExtra() const { return {fRaw + fFileNameLen, fExtraLen}; }
    std::string_view RawComment() const { return {fRaw + fFileNameLen + fExtraLen, fFileComLen}; }

    // The decoded name, cached (in the owner's text storage) until
    // ClearCachedName.
    std::string_view DecodedName();
    uint32_t GetHash();
    void ClearCachedName();

    // The cached form of Encoded.
    TZKEncodingOpts IsEncoded();
    void SetIsEncoded(TZKEncodingOpts value);

    bool Selected() const { return (fStatusBits & zsbSelected) != 0; }
    void SetSelected(bool on);
    bool Select(TZipSelects how);
    std::string SelectArgs() const { return FSelectArgs ? *FSelectArgs : std::string(); }
    void SetSelectArgs(std::string args);

    bool TestStatusBit(uint32_t mask) const { return (fStatusBits & mask) != 0; }
    void SetStatusBit(uint32_t mask) { fStatusBits |= mask; }
    void ClearStatusBit(uint32_t mask) { fStatusBits &= ~mask; }

private:
    bool ReadLocalHeader(int& nameLength, int& extraLength, std::string& name);
    int ApplyZip64Field();
    TZKEncodingOpts EffectiveEncoding();
    std::optional<std::string_view> UnicodeText(uint16_t tag, std::string_view stored) const;

    // What a listing reads of every entry comes first, in one cache line:
    // directories of many entries are walked through memory.
    std::string_view fFileName;
    int64_t fComprSize = 0;
    int64_t fUnComprSize = 0;
    uint32_t fCRC32 = 0;
    uint32_t fModifDateTime = 0;
    uint16_t fComprMethod = 0;
    uint16_t fFlag = 0;
    uint32_t fStatusBits = 0;
    uint32_t FHash = 0;
    uint16_t fFileNameLen = 0;
    uint16_t fFileComLen = 0;
    uint16_t fExtraLen = 0;
    uint16_t FVersionMadeBy = 0;
    uint16_t fVersionNeeded = 0;
    uint16_t fIntFileAtt = 0;
    uint32_t fExtFileAtt = 0;
    uint32_t fDiskStart = 0;
    int64_t fRelOffLocal = 0;
    TZKZipFile* fOwner;
    // Name, extra field and comment one after the other, in the owner's
    // text storage.
    const char* fRaw = nullptr;
    std::unique_ptr<std::string> FSelectArgs;  // rarely set
};

}  // namespace lunaro::archive
