#include "engine/exec/archive_input.h"

#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "engine/abi/zip_engine_abi.h"

namespace lunaro::engine {

namespace {

archive::TZKMaster& Quiet(archive::TZKMaster& master) {
    master.Settings.Unattended = true;  // the engine never shows the reader's boxes
    return master;
}

}  // namespace

TArchiveInput::TArchiveInput() : fWorker(Quiet(fMaster)) { fWorker.StartUp(); }

TArchiveInput::~TArchiveInput() {
    if (fZip) fZip->File_Close();
    fWorker.Done(true);
}

int TArchiveInput::Open(const std::string& path, std::string& error) {
    try {
        const int loaded = fWorker.LoadZip(path, true);
        if (loaded < 0) {
            error = fWorker.ErrMessage().empty() ? "cannot read the archive" : fWorker.ErrMessage();
            // A file that is not there, or cannot be opened, is not a damaged archive.
            const bool unopened = -loaded == archive::msg::InputFileMissing || -loaded == archive::msg::ZipFileNotOpened;
            return unopened ? ZE_ERR_OPEN_ZIP : ZE_ERR_ZIP_STRUCTURE;
        }
        archive::TZKZipFile* zip = fWorker.CentralDir().Current();
        if (!zip->File_Open(archive::kOpenReadShared) || zip->Handle() < 0) {
            error = "cannot open the archive";
            return ZE_ERR_OPEN_ZIP;
        }
        fZip = zip;
        return 0;
    } catch (const archive::EZKException& e) {
        error = e.Message();
        return ZE_ERR_ZIP_STRUCTURE;
    }
}

int64_t TArchiveInput::DataOffset(int index) {
    const int64_t offset = Entry(index).LocalDataOffset();
    return offset < 0 ? -1 : offset;
}

}  // namespace lunaro::engine
