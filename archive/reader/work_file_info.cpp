// The identity of the open file: taken when the directory is read, checked
// before the archive is used again, so a file changed meanwhile is noticed.
#include <fcntl.h>
#include <sys/stat.h>

#include "archive/reader/file_times.h"
#include "archive/reader/work_file.h"

namespace lunaro::archive {

namespace {

constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrNormal = 0x80;

bool QueryInformation(int handle, TZKFileInformation& info) {
    if (handle == -1) return false;
    struct statx details {};
    if (::statx(handle, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &details) != 0) return false;
    info = {};
    if (S_ISDIR(details.stx_mode)) info.Attributes |= kAttrDirectory;
    if ((details.stx_mode & S_IWUSR) == 0) info.Attributes |= kAttrReadOnly;
    if (info.Attributes == 0) info.Attributes = kAttrNormal;
    if (details.stx_mask & STATX_BTIME)
        info.CreationTime = FileTimeFromUnix(details.stx_btime.tv_sec, details.stx_btime.tv_nsec);
    info.LastWriteTime = FileTimeFromUnix(details.stx_mtime.tv_sec, details.stx_mtime.tv_nsec);
    info.VolumeSerial = (static_cast<uint64_t>(details.stx_dev_major) << 32) | details.stx_dev_minor;
    info.Size = static_cast<int64_t>(details.stx_size);
    info.FileIndex = details.stx_ino;
    return true;
}

}  // namespace

bool TZKWorkFile::LastWriteTime(int64_t& time) const {
    TZKFileInformation info;
    time = 0;
    if (!fIsOpen || !QueryInformation(Handle(), info)) return false;
    time = info.LastWriteTime;
    return true;
}

void TZKWorkFile::SaveFileInformation() {
    if (!QueryInformation(Handle(), fSavedFileInfo)) fSavedFileInfo = {};
}

bool TZKWorkFile::VerifyFileInformation() const {
    TZKFileInformation now;
    return fIsOpen && QueryInformation(Handle(), now) && now == fSavedFileInfo;
}

}  // namespace lunaro::archive
