#pragma once
// An entry kept from the old archive, copied into the new one as stored
// bytes (never recompressed, never decrypted): its local header rebuilt from
// the central record and the old local extra field, its data copied, a
// fresh data descriptor behind it when it had one.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "archive/reader/irec.h"
#include "engine/writer/archive_output.h"

namespace lunaro::engine {

struct TEntryChange {
    std::optional<std::string> Name;   // new stored name
    bool NameIsUtf8 = false;           // sets the UTF-8 flag with the new name
    std::optional<uint32_t> DosTime;   // new DOS date and time
};

// fd: the old archive. onBytes is told of every piece copied and may stop
// the copy by answering false. false with error text on a failure (the
// output is then in no state to finish).
bool CopyEntry(int fd, archive::TZKIRec& rec, const TEntryChange& change, TArchiveOutput& out,
               const std::function<bool(uint64_t)>& onBytes, std::string& error);

}  // namespace lunaro::engine
