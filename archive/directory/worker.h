#pragma once
// The layer of the operation object for operations that need the archive's
// directory but not the engine; it also keeps the outcome count of the last
// engine run, which the driver above it fills.
#include "archive/directory/waux.h"

namespace lunaro::archive {

class TZKWorker : public TZKWAux {
public:
    using TZKWAux::TZKWAux;

    void StartUp() override;

    // Entries the engine processed in the last run.
    int SuccessCnt() const { return fSuccessCnt; }

protected:
    void SetSuccessCnt(int count) { fSuccessCnt = count; }

private:
    int fSuccessCnt = 0;
};

}  // namespace lunaro::archive
