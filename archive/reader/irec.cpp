#include "archive/reader/irec.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "archive/reader/extra_fields.h"
#include "archive/reader/header_source.h"
#include "archive/messages/message_ids.h"
#include "archive/reader/name_decoding.h"
#include "archive/directory/name_hash.h"
#include "archive/reader/zip_bytes.h"
#include "archive/reader/zip_file.h"
#include "archive/messages/zk_exception.h"

namespace lunaro::archive {

namespace {

constexpr std::array<int, 18> kFixedFields = {4, 1, 1, 2, 2, 2, 2, 2, 4, 4, 4, 2, 2, 2, 2, 2, 4, 4};

}  // namespace

int TZKIRec::Read(TZKHeaderSource& source) {
    fStatusBits = zsbInvalid;
    uint8_t h[kCentralHeaderSize];
    if (source.Reads(h, kFixedFields) != kCentralHeaderSize) return -msg::CentralHeaderReadError;
    if (GetU32(h) != kCentralHeaderSig) return -msg::CentralHeaderSignatureWrong;

    FVersionMadeBy = GetU16(h + 4);
    fVersionNeeded = GetU16(h + 6);
    fFlag = GetU16(h + 8);
    fComprMethod = GetU16(h + 10);
    fModifDateTime = GetU32(h + 12);
    fCRC32 = GetU32(h + 16);
    fComprSize = GetU32(h + 20);
    fUnComprSize = GetU32(h + 24);
    fFileNameLen = GetU16(h + 28);
    fExtraLen = GetU16(h + 30);
    fFileComLen = GetU16(h + 32);
    fDiskStart = GetU16(h + 34);
    fIntFileAtt = GetU16(h + 36);
    fExtFileAtt = GetU32(h + 38);
    fRelOffLocal = GetU32(h + 42);

    // Name, extra field and comment arrive in one read; how far it got
    // tells which of them is missing.
    const int total = fFileNameLen + fExtraLen + fFileComLen;
    char* raw = total == 0 ? nullptr : fOwner->TextStore().Allocate(static_cast<size_t>(total));
    fRaw = raw;
    const std::array<int, 3> parts = {fFileNameLen, fExtraLen, fFileComLen};
    const int got = total == 0 ? 0 : source.Reads(raw, parts);
    if (got < total) {
        if (got < fFileNameLen) return -msg::CentralNameReadError;
        if (got < fFileNameLen + fExtraLen) return -msg::ArchiveSeekError;
        return -msg::FileCommentReadError;
    }

    fStatusBits &= ~zsbInvalid;
    if (fFileNameLen > 0 && RawName().back() == '/') fStatusBits |= zsbDirOnly;
    return ApplyZip64Field();
}

int TZKIRec::ApplyZip64Field() {
    // Entries that do not need Zip64 keep their 32-bit values whatever they carry.
    if ((fVersionNeeded & 0xFF) < 45) return 0;
    auto data = archive::ExtraBlockData(RawExtra(), kZip64ExtraTag);
    if (!data) return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(data->data());
    size_t left = data->size();
    auto take = [&](size_t size, auto& field) {
        if (left < size) return false;
        field = size == 8 ? static_cast<std::remove_reference_t<decltype(field)>>(GetU64(p)) : GetU32(p);
        p += size;
        left -= size;
        return true;
    };
    if (fUnComprSize == kEscape32 && !take(8, fUnComprSize)) return -msg::Zip64FieldReadError;
    if (fComprSize == kEscape32 && !take(8, fComprSize)) return -msg::Zip64FieldReadError;
    if (fRelOffLocal == kEscape32 && !take(8, fRelOffLocal)) return -msg::Zip64FieldReadError;
    if (fDiskStart == kEscape16 && !take(4, fDiskStart)) return -msg::Zip64FieldReadError;
    return 1;
}

int TZKIRec::SeekLocalData() {
    const int64_t offset = LocalDataOffset();
    if (offset < 0) return static_cast<int>(offset);
    if (fOwner->Seek(offset, kSeekFromStart) == offset) return 0;
    fOwner->Boss().Diag("could not reach the data of: " + std::string(DecodedName()));
    return -msg::LocalHeaderReadError;
}

int64_t TZKIRec::LocalDataOffset() {
    if (!fOwner->IsOpen()) return -msg::ZipFileNotOpened;
    try {
        fOwner->SeekDisk(static_cast<int>(fDiskStart));
        int nameLength = 0;
        int extraLength = 0;
        std::string name;
        if (fOwner->Seek(fRelOffLocal, kSeekFromStart) == fRelOffLocal &&
            ReadLocalHeader(nameLength, extraLength, name)) {
            if (name != RawName()) return -msg::LocalCentralNamesDiffer;
            const int64_t data = fRelOffLocal + kLocalHeaderSize + nameLength + extraLength;
            if (fOwner->IsMultiPart()) return fOwner->Position();
            if (data <= fOwner->RealFileSize()) return data;
        }
        fOwner->Boss().Diag("could not read local header: " + std::string(DecodedName()));
        return -msg::LocalHeaderReadError;
    } catch (const EZipKeeper& e) {
        return -e.ResId();
    } catch (const std::exception&) {
        return -msg::UnknownFailure;
    }
}

// From the header's start; false unless the header is there with a name as
// long as the central one. A single file is read in one piece (the extra
// field is only stepped over); the parts of a multi-part archive never split
// a field, so there each is read on its own and the file is left at the data.
bool TZKIRec::ReadLocalHeader(int& nameLength, int& extraLength, std::string& name) {
    static constexpr std::array<int, 10> kLocalFields = {2, 2, 2, 2, 2, 4, 4, 4, 2, 2};
    if (!fOwner->IsMultiPart()) {
        std::string header(static_cast<size_t>(kLocalHeaderSize + fFileNameLen), '\0');
        const int got = fOwner->Read(header.data(), static_cast<int>(header.size()));
        const auto* h = reinterpret_cast<const uint8_t*>(header.data());
        if (got < kLocalHeaderSize || GetU32(h) != kLocalHeaderSig) return false;
        nameLength = GetU16(h + 26);
        extraLength = GetU16(h + 28);
        if (nameLength != fFileNameLen || got != static_cast<int>(header.size())) return false;
        name = header.substr(kLocalHeaderSize);
        return true;
    }
    uint8_t h[kLocalHeaderSize];
    if (fOwner->Read(h, 4) != 4 || GetU32(h) != kLocalHeaderSig ||
        fOwner->Reads(h + 4, kLocalFields) != kLocalHeaderSize - 4)
        return false;
    nameLength = GetU16(h + 26);
    extraLength = GetU16(h + 28);
    if (nameLength != fFileNameLen) return false;
    std::string variable(static_cast<size_t>(nameLength + extraLength), '\0');
    const std::array<int, 2> parts = {nameLength, extraLength};
    if (!variable.empty() && fOwner->Reads(variable.data(), parts) != nameLength + extraLength) return false;
    name = variable.substr(0, static_cast<size_t>(nameLength));
    return true;
}

std::optional<std::string_view> TZKIRec::UnicodeText(uint16_t tag, std::string_view stored) const {
    return UnicodeFieldText(RawExtra(), tag, stored);
}

TZKEncodingOpts TZKIRec::Encoded() const {
    if (fFlag & 0x0800) return TZKEncodingOpts::zeoUTF8;
    if (UnicodeText(kUnicodePathTag, RawName())) return TZKEncodingOpts::zeoUPath;
    if (fFileComLen > 0 && UnicodeText(kUnicodeCommentTag, RawComment()))
        return TZKEncodingOpts::zeoUPath;
    const int host = FVersionMadeBy >> 8;
    if (host == 0 || host == 6 || FVersionMadeBy == 0x0B32) return TZKEncodingOpts::zeoOEM;
    return TZKEncodingOpts::zeoNone;
}

TZKEncodingOpts TZKIRec::IsEncoded() {
    const auto cached = static_cast<uint8_t>((fStatusBits & zsbEncMask) >> zsbEncShift);
    if (cached >= 1 && cached <= 4) return static_cast<TZKEncodingOpts>(cached);
    const TZKEncodingOpts value = Encoded();
    SetIsEncoded(value);
    return value;
}

void TZKIRec::SetIsEncoded(TZKEncodingOpts value) {
    fStatusBits = (fStatusBits & ~zsbEncMask) | ((static_cast<uint32_t>(value) << zsbEncShift) & zsbEncMask);
}

TZKEncodingOpts TZKIRec::EffectiveEncoding() {
    const TZKEncodingOpts setting = fOwner->Encoding();
    return setting == TZKEncodingOpts::zeoAuto ? IsEncoded() : setting;
}

std::string_view TZKIRec::DecodedName() {
    if (fFileName.empty() && fFileNameLen > 0) {
        const TZKEncodingOpts encoding = EffectiveEncoding();
        const std::string_view raw = RawName();
        // Folder separators are turned while copying: one pass over the name.
        auto keep = [this](std::string_view text) {
            char* name = fOwner->TextStore().Allocate(text.size());
            std::replace_copy(text.begin(), text.end(), name, '/', '\\');
            fFileName = {name, text.size()};
        };
        if (DecodesAsStored(raw, encoding)) {
            keep(raw);
        } else {
            std::optional<std::string_view> unicode;
            if (encoding == TZKEncodingOpts::zeoUPath) unicode = UnicodeText(kUnicodePathTag, raw);
            keep(DecodeStoredText(raw, encoding, fOwner->Encoding_CP(), unicode));
        }
    }
    return fFileName;
}

std::string TZKIRec::FileComment() {
    if (fFileComLen == 0) return {};
    const TZKEncodingOpts encoding = EffectiveEncoding();
    std::optional<std::string_view> unicode;
    if (encoding == TZKEncodingOpts::zeoUPath) unicode = UnicodeText(kUnicodeCommentTag, RawComment());
    return DecodeStoredText(RawComment(), encoding, fOwner->Encoding_CP(), unicode);
}

uint32_t TZKIRec::GetHash() {
    if (!(fStatusBits & zsbHashed)) {
        FHash = NameHash(DecodedName());
        fStatusBits |= zsbHashed;
    }
    return FHash;
}

void TZKIRec::ClearCachedName() {
    fFileName = {};  // decoded again into new storage when next asked for
    FHash = 0;
    fStatusBits &= ~(zsbHashed | zsbEncMask);
}

void TZKIRec::SetSelected(bool on) {
    if (on) {
        fStatusBits |= zsbSelected;
    } else {
        fStatusBits &= ~zsbSelected;
        FSelectArgs.reset();
    }
}

void TZKIRec::SetSelectArgs(std::string args) {
    if (args.empty()) FSelectArgs.reset();
    else FSelectArgs = std::make_unique<std::string>(std::move(args));
}

bool TZKIRec::Select(TZipSelects how) {
    switch (how) {
        case TZipSelects::zzsClear: SetSelected(false); break;
        case TZipSelects::zzsSet: SetSelected(true); break;
        case TZipSelects::zzsToggle: SetSelected(!Selected()); break;
    }
    return Selected();
}

}  // namespace lunaro::archive
