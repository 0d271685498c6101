// libFuzzer target: arbitrary bytes opened and loaded as an archive through
// the same road the component takes, then every entry's name and comment
// decoded and the directory searched and selected. Any crash, sanitizer
// report or hang is a finding; the component's own errors are not.
#include <cstddef>
#include <cstdint>

#include "archive/directory/waux.h"
#include "archive/messages/zk_exception.h"
#include "fuzz/memory_input.h"

namespace {

const lunaro::fuzz::TMemoryInput& Input() {
    static const lunaro::fuzz::TMemoryInput input("zip_load_fuzzer");
    return input;
}

void Exercise(lunaro::archive::TZKZipFile& zip) {
    using lunaro::archive::TZipSelects;
    for (int i = 0; i < zip.Count(); ++i) {
        lunaro::archive::TZKIRec& rec = *zip.Items(i);
        (void)rec.FileComment();
        (void)rec.DateStamp();
        int idx = -1;
        (void)zip.FindNameEx(rec.FileName(), idx, false);
    }
    (void)zip.Select("*.t?t|*\\*", TZipSelects::zzsSet);
    (void)zip.Select("*.*", TZipSelects::zzsToggle);
    if (zip.Count() > 0) (void)zip.Items(0)->SeekLocalData();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (Input().FilePath().empty() || !Input().Write(data, size)) return 0;
    lunaro::archive::TZKMaster master;
    master.Settings.Unattended = true;
    lunaro::archive::TZKWAux worker(master);
    worker.StartUp();
    try {
        if (worker.LoadZip(Input().FilePath(), true) >= 0) {
            lunaro::archive::TZKZipFile& zip = *worker.CentralDir().Current();
            zip.File_Open(lunaro::archive::kOpenReadShared);
            Exercise(zip);
        }
    } catch (const lunaro::archive::EZKException&) {
        // a damaged archive, reported as the component reports it
    }
    worker.Done(true);
    return 0;
}
