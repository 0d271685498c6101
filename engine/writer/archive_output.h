#pragma once
// The new archive on its way to the old one's name: an unnamed file in the
// same folder, written through a buffer, its central directory and end
// records added at Finish, and only then, flushed to the disk, renamed over
// the archive. Destroyed without Finish it leaves nothing behind and the
// old archive exactly as it was.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/output/pending_file.h"
#include "engine/writer/zip_records.h"

namespace lunaro::engine {

class TArchiveOutput {
public:
    // nullptr with error text when the folder of path cannot take the file.
    static std::unique_ptr<TArchiveOutput> Begin(const std::string& path, std::string& error);

    // Every call below returns false once a write has failed (Error says why).
    bool Write(const void* data, size_t len);
    bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
    uint64_t Offset() const { return fFlushed + fBuffer.size(); }
    // Rewrites bytes already written (a local header whose sizes are known
    // only after the data).
    bool Patch(uint64_t offset, const std::string& bytes);
    // Drops everything from offset on (an entry that could not be finished).
    bool Rewind(uint64_t offset);

    // The entry's central record, for the directory written at Finish.
    void AddEntry(TWriterEntry entry) { fEntries.push_back(std::move(entry)); }
    size_t EntryCount() const { return fEntries.size(); }

    // Writes the directory and end records, gives the file mode and modTime
    // (seconds since 1970, when set), flushes it and renames it over path.
    bool Finish(const std::string& comment, unsigned mode, std::optional<int64_t> modTime);

    const std::string& Error() const { return fError; }

private:
    explicit TArchiveOutput(std::unique_ptr<TPendingFile> file);
    bool Flush();

    std::unique_ptr<TPendingFile> fFile;
    std::vector<uint8_t> fBuffer;
    uint64_t fFlushed = 0;
    std::vector<TWriterEntry> fEntries;
    std::string fError;
};

}  // namespace lunaro::engine
