#pragma once
// The layer of the operation object that holds the archive name and the
// archive's directory, and loads the one into the other: naming an archive
// drops the old directory, opens the file, reads its directory into the
// public list and closes the file again.
#include <cstdint>
#include <string>

#include "archive/directory/cen_dir.h"
#include "archive/operation/zk_core.h"

namespace lunaro::archive {

enum class TZipLoadOpts : uint8_t { zloNoLoad, zloFull, zloSilent };

class TZKWAux : public TZKCore {
public:
    explicit TZKWAux(TZKMaster& master) : TZKCore(master), fCentralDir(*this) {}

    TZKCenDir& CentralDir() { return fCentralDir; }
    const std::string& ZipFileName() const { return fZipFileName; }
    // The archive comment as last loaded (raw bytes).
    const std::string& ZipComment() const { return fZipComment; }

    // Stores the name and, unless zloNoLoad, loads it; zloFull raises the
    // directory-update event at the end, zloSilent does not.
    int Set_ZipFileName(const std::string& zname, TZipLoadOpts load);
    // Reloads the stored name, with the event.
    int List();

    // Replaces the current directory by that of `name`. Returns the open
    // result (0 for an empty name): a failure, a damaged directory included,
    // is a negative identifier, already recorded as the error code and
    // message (and shown, unless the file is simply missing).
    int LoadZip(const std::string& name, bool NoEvent);

protected:
    void EncodingChanged(TZKEncodingOpts encoding) override;
    void CodePageChanged(uint32_t codePage) override;

private:
    std::string fZipFileName;
    std::string fZipComment;
    TZKCenDir fCentralDir;
};

}  // namespace lunaro::archive
