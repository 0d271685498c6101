#include "engine/exec/archive_input.h"

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
            return ZE_ERR_OPEN_ZIP;
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
    if (Entry(index).SeekLocalData() != 0) return -1;
    return fZip->Position();
}

}  // namespace lunaro::engine
