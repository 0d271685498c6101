#include "archive/reader/work_file.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include "archive/reader/file_times.h"
#include "archive/messages/zk_exception.h"

namespace lunaro::archive {

namespace {

// fmCreate may carry a share mode: it still writes.
bool AllowsWriting(uint32_t mode) {
    return (mode & platform::fmCreate) == platform::fmCreate || (mode & 3) != platform::fmOpenRead;
}

}  // namespace

TZKWorkFile::TZKWorkFile(TZKCore& worker) : fWorker(worker), FBoss(&worker) {}

TZKWorkFile::~TZKWorkFile() { File_Close(); }

void TZKWorkFile::Trace(const std::string& text) {
    if (Boss().Verbosity() > 1) Boss().Diag(text);
}

void TZKWorkFile::SetFileName(const std::string& name) {
    if (name == fFileName) return;
    File_Close();
    fFileName = name;
    fWorkDrive.SetDriveStr(name);
}

bool TZKWorkFile::File_Open(uint32_t mode) {
    File_Close();
    fRealFileName = fFileName;
    Trace("Opening " + fFileName);
    if (fFileName.empty()) return false;
    // The platform's stream takes the share lock before it changes anything
    // and refuses folders; a refusal here is "not opened", not an error.
    try {
        fFile = std::make_unique<platform::TFileStream>(fFileName, mode);
    } catch (const platform::EStreamError&) {
        return false;
    }
    fIsOpen = true;
    fOpenMode = mode;
    fRealFileSize = fFile->Size();
    return true;
}

void TZKWorkFile::File_Close() {
    if (fFile) {
        const std::unique_ptr<platform::TFileStream> file = std::move(fFile);
        if (fStampDate != 0 && AllowsWriting(fOpenMode)) StampFileDate(file->Handle());
        Trace("Closed " + fRealFileName);
    }
    fIsOpen = false;
}

void TZKWorkFile::StampFileDate(int handle) {
    Trace("Set file Date " + fRealFileName + " to " + FormatDosDateTime(fStampDate));
    const std::optional<std::time_t> when = UnixTimeFromDosDateTime(fStampDate);
    if (!when) return;
    const struct timespec times[2] = {{*when, 0}, {*when, 0}};
    ::futimens(handle, times);
}

int64_t TZKWorkFile::Seek(int64_t offset, int origin) {
    if (!fFile || origin < kSeekFromStart || origin > kSeekFromEnd) return -1;
    return fFile->Seek(offset, static_cast<platform::TSeekOrigin>(origin));
}

int64_t TZKWorkFile::SystemRead(uint8_t* buffer, int64_t count) {
    if (!fFile) return -1;
    int64_t done = 0;
    try {
        while (done < count) {
            const int64_t got = fFile->Read(buffer + done, count - done);
            if (got == 0) break;
            done += got;
        }
    } catch (const platform::EStreamError&) {
        return -1;
    }
    fBytesRead += done;
    return done;
}

int TZKWorkFile::Read(void* buffer, int len) {
    const bool unsplittable = len < 0;
    const int64_t wanted = std::llabs(static_cast<int64_t>(len));
    if (wanted == 0) return 0;
    if (!fFile && !fIsMultiPart) return -msg::FileReadError;
    auto* bytes = static_cast<uint8_t*>(buffer);
    if (fIsMultiPart) return MultiPartRead(bytes, wanted > INT_MAX ? INT_MAX : wanted, unsplittable);
    const int64_t got = SystemRead(bytes, wanted > INT_MAX ? INT_MAX : wanted);
    return got < 0 ? -msg::FileReadError : static_cast<int>(got);
}

int TZKWorkFile::Reads(void* buffer, std::span<const int> sizes) {
    int64_t total = 0;
    for (int size : sizes) {
        if (size < 0) return -msg::FileReadError;
        total += size;
    }
    if (total > INT_MAX) return -msg::FileReadError;
    if (!fIsMultiPart) return Read(buffer, static_cast<int>(total));
    auto* bytes = static_cast<uint8_t*>(buffer);
    int done = 0;
    for (int size : sizes) {
        const int got = Read(bytes + done, -size);
        if (got < 0) return got;
        done += got;
        if (got != size) break;
    }
    return done;
}

bool TZKWorkFile::CheckRead(void* buffer, int len) {
    const int64_t wanted = std::llabs(static_cast<int64_t>(len));
    return Read(buffer, len) == wanted;
}

void TZKWorkFile::CheckRead(void* buffer, int len, int errId) {
    if (!CheckRead(buffer, len)) throw EZipKeeper::CreateResDisp(errId != 0 ? errId : msg::FileReadError, true);
}

bool TZKWorkFile::CheckReads(void* buffer, std::span<const int> sizes) {
    int64_t total = 0;
    for (int size : sizes) total += size;
    return Reads(buffer, sizes) == total;
}

void TZKWorkFile::CheckReads(void* buffer, std::span<const int> sizes, int errId) {
    if (!CheckReads(buffer, sizes)) throw EZipKeeper::CreateResDisp(errId != 0 ? errId : msg::FileReadError, true);
}

int64_t TZKWorkFile::CheckSeek(int64_t offset, int origin, int errId) {
    const int64_t position = Seek(offset, origin);
    if (position >= 0) return position;
    if (errId == 0) errId = msg::FileSeekError;
    else if (errId == -1) errId = msg::InputSeekError;
    throw EZipKeeper::CreateResDisp(errId, true);
}

int64_t TZKWorkFile::ReadTo(platform::TStream& dest, int64_t count) {
    std::vector<uint8_t> chunk(kReadToChunk);
    int64_t copied = 0;
    while (copied < count) {
        const int wanted = static_cast<int>(count - copied < kReadToChunk ? count - copied : kReadToChunk);
        const int got = Read(chunk.data(), wanted);
        if (got < 0) return got;
        if (got != wanted) return -msg::FileError;
        int64_t written = 0;
        try {
            written = dest.Write(chunk.data(), got);
        } catch (const std::exception&) {
            written = -1;
        }
        if (written != got) return -msg::FileWriteError;
        copied += got;
    }
    return copied;
}

}  // namespace lunaro::archive
