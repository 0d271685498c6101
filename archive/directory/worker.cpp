#include "archive/directory/worker.h"

namespace lunaro::archive {

void TZKWorker::StartUp() {
    TZKWAux::StartUp();
    fSuccessCnt = 0;
    if (TZKZipFile* zip = CentralDir().CurrentIfAny()) zip->SetIgnoreDirOnly(Snapshot().IgnoreDirOnly);
}

}  // namespace lunaro::archive
