// libFuzzer target: arbitrary bytes opened and loaded as an archive through
// the same road the component takes, then every entry's name and comment
// decoded and the directory searched and selected. Any crash, sanitizer
// report or hang is a finding; the component's own errors are not.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/directory/waux.h"
#include "archive/messages/zk_exception.h"

namespace {

// The reader opens files by name: one memory-backed file, rewritten for
// every input.
const std::string& InputPath() {
    static const std::string path = [] {
        const int fd = ::memfd_create("zip_load_fuzzer", 0);
        return fd < 0 ? std::string() : "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

bool WriteInput(const uint8_t* data, size_t size) {
    const int fd = std::stoi(InputPath().substr(InputPath().rfind('/') + 1));
    if (::ftruncate(fd, 0) != 0) return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
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
    if (InputPath().empty() || !WriteInput(data, size)) return 0;
    lunaro::archive::TZKMaster master;
    master.Settings.Unattended = true;
    lunaro::archive::TZKWAux worker(master);
    worker.StartUp();
    // A damaged archive is a negative result, never an exception.
    if (worker.LoadZip(InputPath(), true) >= 0) {
        lunaro::archive::TZKZipFile& zip = *worker.CentralDir().Current();
        zip.File_Open(lunaro::archive::kOpenReadShared);
        Exercise(zip);
    }
    worker.Done(true);
    return 0;
}
