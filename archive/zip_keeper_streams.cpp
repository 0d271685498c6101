// The component's stream operations that need no archive: one stream
// compressed into another or expanded, and the self-checking compressed
// stream in ZipStream (a header of our own, then the data).
#include <array>

#include "archive/messages/message_ids.h"
#include "archive/stream_header.h"
#include "archive/zip_keeper.h"
#include "platform/write_limit_stream.h"

namespace lunaro::archive {

namespace {

EZipKeeper Refused(TZKDLLOpr& opr, int ident, const std::string& why) {
    return EZipKeeper(opr.ZipLoadStr(ident) + ": " + why, ident, true);
}

bool RanWell(TZKDLLOpr& opr) { return opr.ErrCode() == 0 && opr.SuccessCnt() == 1; }

}  // namespace

int TCustomZipKeeper::Deflate(platform::TStream* OutStream, platform::TStream* InStream, int Length, int& Method,
                              uint32_t& crc) {
    RunAdmitted([&] { fOpr->Deflate(OutStream, InStream, Length, static_cast<uint32_t>(Method), crc); });
    return ErrCode();
}

int TCustomZipKeeper::Undeflate(platform::TStream* OutStream, platform::TStream* InStream, int Length, int& Method,
                                uint32_t& crc) {
    RunAdmitted([&] { fOpr->Undeflate(OutStream, InStream, Length, static_cast<uint32_t>(Method), crc); });
    return ErrCode();
}

platform::TStream* TCustomZipKeeper::AddStreamToStream(platform::TStream* InStream) {
    platform::TStream* result = nullptr;
    RunAdmitted([&] {
        platform::TMemoryStream& zip = fOpr->ZipStream;
        zip.Clear();
        TStreamHeader header;
        header.Method = fOpr->AddCompLevel == 0 ? 0 : 8;
        if (InStream && InStream != &zip) InStream->SetPosition(0);
        // Written again with the CRC and sizes once they are known.
        zip.WriteBuffer(header.Encode().data(), TStreamHeader::kSize);
        uint32_t crc = 0;
        fOpr->Deflate(&zip, InStream, -1, header.Method, crc);
        if (!RanWell(*fOpr)) {
            zip.Clear();
            return;
        }
        header.Crc = crc;
        header.Size = static_cast<uint64_t>(InStream->Position());
        header.Packed = static_cast<uint64_t>(zip.Size()) - TStreamHeader::kSize;
        zip.SetPosition(0);
        zip.WriteBuffer(header.Encode().data(), TStreamHeader::kSize);
        zip.SetPosition(0);
        result = &zip;
    });
    return result;
}

platform::TStream* TCustomZipKeeper::ExtractStreamToStream(platform::TStream* InStream, uint32_t OutSize) {
    platform::TStream* result = nullptr;
    RunAdmitted([&] {
        platform::TMemoryStream& zip = fOpr->ZipStream;
        zip.Clear();
        if (!InStream) throw EZipKeeper::CreateResDisp(msg::NoInputStream, true);
        if (InStream == &zip) throw EZipKeeper::CreateResDisp(msg::InputIsOutputStream, true);
        InStream->SetPosition(0);
        std::array<uint8_t, TStreamHeader::kSize> bytes{};
        const bool whole = InStream->Read(bytes.data(), TStreamHeader::kSize) == TStreamHeader::kSize;
        const std::optional<TStreamHeader> header = whole ? TStreamHeader::Decode(bytes) : std::nullopt;
        if (!header) throw Refused(*fOpr, msg::CompressedCopyError, "the stream is not one this component compressed");
        if (OutSize != 0 && header->Size != OutSize)
            throw Refused(*fOpr, msg::CompressedCopyError, "the stream holds " + std::to_string(header->Size) +
                                                                " bytes, not the " + std::to_string(OutSize) + " expected");
        if (header->Packed > static_cast<uint64_t>(InStream->Size()) - TStreamHeader::kSize)
            throw Refused(*fOpr, msg::CompressedCopyError, "the stream is cut short");
        // Never more than the header promises, whatever the data expands to.
        platform::TWriteLimitStream bounded(zip, static_cast<int64_t>(header->Size));
        uint32_t crc = 0;
        fOpr->Undeflate(&bounded, InStream, static_cast<int64_t>(header->Packed), header->Method, crc);
        const bool ran = RanWell(*fOpr);
        const bool sized = static_cast<uint64_t>(zip.Size()) == header->Size && !bounded.Refused();
        if (ran && sized && crc == header->Crc) {
            zip.SetPosition(0);
            result = &zip;
            return;
        }
        zip.Clear();
        if (bounded.Refused() || (ran && !sized))
            throw Refused(*fOpr, msg::CompressedCopyError, "the data does not expand to the size its header gives");
        if (ran) throw Refused(*fOpr, msg::CrcError, "the expanded data does not match the stream's CRC");
    });
    return result;
}

}  // namespace lunaro::archive
