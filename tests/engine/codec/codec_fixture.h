#pragma once
// Helpers for the codec tests: archives and streams made by Debian's tools,
// the first entry of such an archive, and a decoder driven to its end.
#include "engine/codec/decoder.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace lunaro::testkit {

// Text-like bytes with some noise: compressible, but not trivially.
inline std::string SampleText(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"archive ", "entry ", "window ", "stream ", "block ",
                                         "the ",     "of ",    "and\n",   "code ",   "length "};
    std::string text;
    uint32_t state = seed * 2654435761u + 1;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        const uint32_t r = state >> 16;
        if (r % 7 == 0) text += static_cast<char>(r >> 3);
        else text += kWords[r % 10];
    }
    text.resize(size);
    return text;
}

// Runs a shell command in dir with a time limit; true when it exits with 0.
inline bool RunIn(const std::string& dir, const std::string& command) {
    const std::string line = "cd '" + dir + "' && timeout 120 sh -c '" + command + "' >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

inline uint32_t LittleEndian(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + i]);
    return v;
}

// The first entry of a small zip archive, as its headers describe it.
struct TZipEntry {
    uint16_t Method = 0;
    uint16_t Flags = 0;
    uint16_t DosTime = 0;
    uint32_t Crc = 0;
    std::string LocalExtra;  // the local header's extra fields
    std::string Data;        // the entry's bytes as stored in the archive
};

// false when the archive cannot be read that way.
inline bool ReadFirstEntry(const std::string& archive, TZipEntry& entry) {
    const std::string zip = ReadFile(archive);
    const size_t end = zip.rfind(std::string("PK\5\6", 4));
    if (end == std::string::npos || end + 22 > zip.size()) return false;
    const size_t central = LittleEndian(zip, end + 16, 4);
    if (central + 46 > zip.size() || zip.compare(central, 4, "PK\1\2") != 0) return false;
    entry.Flags = static_cast<uint16_t>(LittleEndian(zip, central + 8, 2));
    entry.Method = static_cast<uint16_t>(LittleEndian(zip, central + 10, 2));
    entry.DosTime = static_cast<uint16_t>(LittleEndian(zip, central + 12, 2));
    entry.Crc = LittleEndian(zip, central + 16, 4);
    const size_t packed = LittleEndian(zip, central + 20, 4);
    const size_t local = LittleEndian(zip, central + 42, 4);
    if (local + 30 > zip.size()) return false;
    const size_t nameLen = LittleEndian(zip, local + 26, 2);
    const size_t extraLen = LittleEndian(zip, local + 28, 2);
    const size_t data = local + 30 + nameLen + extraLen;
    if (data + packed > zip.size()) return false;
    entry.LocalExtra = zip.substr(local + 30 + nameLen, extraLen);
    entry.Data = zip.substr(data, packed);
    return true;
}

// The payload of extra field tag in extras, or "" when it is absent.
inline std::string FindExtra(const std::string& extras, uint16_t tag) {
    for (size_t at = 0; at + 4 <= extras.size();) {
        const size_t size = LittleEndian(extras, at + 2, 2);
        if (LittleEndian(extras, at, 2) == tag) return extras.substr(at + 4, size);
        at += 4 + size;
    }
    return {};
}

struct TDecodeRun {
    engine::TDecodeStatus Status = engine::TDecodeStatus::dsMore;
    std::string Output;
    std::string Error;
    bool BrokeBounds = false;  // a report or a write outside the buffers given
};

// Feeds data in pieces of inPiece bytes into buffers of outPiece bytes,
// then calls without input until the decoder ends or fails. Stops with
// dsMore once more than outLimit bytes came out or progress stops.
inline TDecodeRun DecodeInPieces(engine::TDecoder& decoder, const std::string& data, size_t inPiece,
                                 size_t outPiece, size_t outLimit = size_t{64} << 20) {
    constexpr size_t kGuard = 16;
    constexpr uint8_t kSentinel = 0xA5;
    TDecodeRun run;
    std::string buffer(outPiece + kGuard, '\0');
    size_t pos = 0;
    int idle = 0;
    while (run.Output.size() <= outLimit && idle < 3) {
        const size_t n = std::min(inPiece, data.size() - pos);
        std::fill(buffer.begin() + outPiece, buffer.end(), static_cast<char>(kSentinel));
        size_t used = 0;
        size_t made = 0;
        run.Status = decoder.Decode(reinterpret_cast<const uint8_t*>(data.data()) + pos, n, used,
                                    reinterpret_cast<uint8_t*>(buffer.data()), outPiece, made);
        if (used > n || made > outPiece ||
            buffer.find_first_not_of(static_cast<char>(kSentinel), outPiece) != std::string::npos) {
            run.BrokeBounds = true;
            break;
        }
        pos += used;
        run.Output.append(buffer, 0, made);
        if (run.Status != engine::TDecodeStatus::dsMore) break;
        idle = used == 0 && made == 0 ? idle + 1 : 0;
    }
    if (run.Status == engine::TDecodeStatus::dsError) run.Error = decoder.ErrorText();
    return run;
}

}  // namespace lunaro::testkit
