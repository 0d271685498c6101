#include "engine/writer/archive_output.h"

#include <cstring>
#include <limits>

#include "engine/output/destination.h"

namespace lunaro::engine {

namespace {

// Large enough that the many small entries of a tree go out in few writes.
constexpr size_t kBufferSize = 1 << 20;

std::pair<std::string, std::string> FolderAndLeaf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

TArchiveOutput::TArchiveOutput(std::unique_ptr<TPendingFile> file) : fFile(std::move(file)) {
    fBuffer.reserve(kBufferSize);
}

std::unique_ptr<TArchiveOutput> TArchiveOutput::Begin(const std::string& path, std::string& error) {
    const auto [folder, leaf] = FolderAndLeaf(path);
    std::unique_ptr<TDestination> destination = TDestination::Open(folder, error);
    if (!destination) return nullptr;
    TEntryPath target;
    target.Leaf = leaf;
    std::unique_ptr<TPendingFile> file = destination->Begin(target, std::numeric_limits<int64_t>::max(), error);
    if (!file) return nullptr;
    return std::unique_ptr<TArchiveOutput>(new TArchiveOutput(std::move(file)));
}

bool TArchiveOutput::Flush() {
    if (!fError.empty()) return false;
    if (fBuffer.empty()) return true;
    if (!fFile->Write(fBuffer.data(), fBuffer.size(), fError)) return false;
    fFlushed += fBuffer.size();
    fBuffer.clear();
    return true;
}

bool TArchiveOutput::Write(const void* data, size_t len) {
    if (!fError.empty()) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (fBuffer.size() + len > kBufferSize) {
        if (!Flush()) return false;
        if (len >= kBufferSize) {
            if (!fFile->Write(bytes, len, fError)) return false;
            fFlushed += len;
            return true;
        }
    }
    fBuffer.insert(fBuffer.end(), bytes, bytes + len);
    return true;
}

bool TArchiveOutput::Patch(uint64_t offset, const std::string& bytes) {
    if (!fError.empty()) return false;
    if (offset >= fFlushed && offset + bytes.size() <= Offset()) {
        std::memcpy(fBuffer.data() + (offset - fFlushed), bytes.data(), bytes.size());
        return true;
    }
    return Flush() && fFile->WriteAt(static_cast<int64_t>(offset), reinterpret_cast<const uint8_t*>(bytes.data()),
                                     bytes.size(), fError);
}

bool TArchiveOutput::Rewind(uint64_t offset) {
    if (!fError.empty()) return false;
    if (offset >= fFlushed) {
        fBuffer.resize(offset - fFlushed);
        return true;
    }
    fBuffer.clear();
    if (!fFile->TruncateTo(static_cast<int64_t>(offset), fError)) return false;
    fFlushed = offset;
    return true;
}

bool TArchiveOutput::Finish(const std::string& comment, unsigned mode, std::optional<int64_t> modTime) {
    const uint64_t directoryOffset = Offset();
    for (const TWriterEntry& entry : fEntries)
        if (!Write(CentralHeader(entry))) return false;
    const uint64_t directorySize = Offset() - directoryOffset;
    return Write(EndRecords(fEntries.size(), directoryOffset, directorySize, comment)) && Flush() &&
           fFile->Seal(mode, fError) && fFile->Commit(modTime, fError);
}

}  // namespace lunaro::engine
