#include "archive/reader/work_drive.h"

#include <sys/statvfs.h>

#include <cctype>

#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace lunaro::archive {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string UncRoot(const std::string& name) {
    std::string root = "\\\\";
    int separators = 0;
    for (size_t i = 2; i < name.size(); ++i) {
        if (IsSeparator(name[i]) && ++separators == 2) break;
        root += IsSeparator(name[i]) ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
    }
    return root + '\\';
}

int SystemDriveType(char letter) {
    return platform::DirectoryExists(std::string(1, letter) + ":\\") ? kDriveFixed : kDriveNoRootDir;
}

}  // namespace

std::string DriveRootOf(const std::string& name) {
    if (name.empty()) return {};
    if (name.size() >= 2 && name[1] == ':')
        return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])))) + ":\\";
    if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) return UncRoot(name);
    return "/";
}

void TZKWorkDrive::Clear() {
    fDriveStr.clear();
    fLastDrive.clear();
    fDriveLetter = 0;
    fDriveType = kDriveUnknown;
    FDriveIsFloppy = false;
    fDiskReadOnly = false;
    ClearVolume();
}

void TZKWorkDrive::ClearVolume() {
    fDiskName.clear();
    fDiskSerial = 0;
    fVolumeSecSize = 512;
    fVolumeSectorsPerCluster = 4;
    fVolumeFreeClusters = 0;
    fVolumeTotalClusters = 0;
    fVolumeSize = -1;
    fVolumeSpace = -1;
}

void TZKWorkDrive::SetDriveStr(const std::string& name) {
    const std::string root = DriveRootOf(name);
    if (root == fLastDrive) return;
    Clear();
    if (root.size() == 3 && root[1] == ':') {
        fDriveLetter = root[0];
        fDriveType = SystemDriveType(fDriveLetter);
        FDriveIsFloppy = fDriveType == kDriveRemovable && (fDriveLetter == 'A' || fDriveLetter == 'B');
    }
    fLastDrive = root;
    fDriveStr = root;
}

std::string TZKWorkDrive::HostRoot() const {
    if (fDriveLetter != 0) return platform::HostPath(fDriveStr);
    return fDriveStr == "/" ? fDriveStr : std::string();
}

// No device of this platform reports itself unformatted, so the
// unformatted-but-acceptable case never arises.
bool TZKWorkDrive::HasMedia(bool /*unformOk*/) {
    ClearVolume();
    if (fDriveLetter != 0) {
        if (fDriveLetter < 'A' || fDriveLetter > 'Z') throw EZipKeeper::CreateResStr(msg::InvalidDrive, fDriveStr);
        if (SystemDriveType(fDriveLetter) == kDriveNoRootDir)
            throw EZipKeeper::CreateResStr(msg::DriveNotDefined, fDriveStr);
    }
    VolumeRefresh();
    return fDriveLetter == 0 || fVolumeSize >= 0;
}

void TZKWorkDrive::VolumeRefresh() {
    const std::string root = HostRoot();
    struct statvfs volume {};
    if (root.empty() || ::statvfs(root.c_str(), &volume) != 0 || volume.f_frsize == 0) {
        fVolumeSize = -1;
        fVolumeSpace = -1;
        return;
    }
    fDiskSerial = volume.f_fsid;
    fDiskReadOnly = (volume.f_flag & ST_RDONLY) != 0;
    fVolumeSecSize = 512;
    fVolumeSectorsPerCluster = volume.f_frsize >= 512 ? static_cast<uint32_t>(volume.f_frsize / 512) : 1;
    fVolumeTotalClusters = volume.f_blocks;
    fVolumeFreeClusters = volume.f_bavail;
    fVolumeSize = static_cast<int64_t>(volume.f_blocks * volume.f_frsize);
    fVolumeSpace = static_cast<int64_t>(volume.f_bavail * volume.f_frsize);
}

}  // namespace lunaro::archive
