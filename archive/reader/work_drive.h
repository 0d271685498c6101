#pragma once
// The drive that holds an archive file, evaluated through the drive mapping:
// a drive letter is present when it maps to an existing folder, and then it
// is a fixed drive with media. No drive of this platform is a floppy, so
// the removable-disk prompts never apply. Roots without a letter (a host
// path's "/", a UNC share) are never floppies and always have media.
#include <cstdint>
#include <string>

namespace lunaro::archive {

// Drive types as the system numbers them.
inline constexpr int kDriveUnknown = 0;
inline constexpr int kDriveNoRootDir = 1;
inline constexpr int kDriveRemovable = 2;
inline constexpr int kDriveFixed = 3;

class TZKWorkDrive {
public:
    TZKWorkDrive() { Clear(); }

    const std::string& DriveStr() const { return fDriveStr; }
    // Re-evaluates the drive when the root of name differs from the last one.
    void SetDriveStr(const std::string& name);

    char DriveLetter() const { return fDriveLetter; }
    int DriveType() const { return fDriveType; }
    bool DriveIsFloppy() const { return FDriveIsFloppy; }
    bool DriveIsFixed() const { return !FDriveIsFloppy; }

    // Raises EZipKeeper 11003 for a letter outside A-Z and 11004 for a
    // letter that maps nowhere; otherwise reads the volume figures.
    bool HasMedia(bool unformOk);
    void VolumeRefresh();

    const std::string& DiskName() const { return fDiskName; }
    uint64_t DiskSerial() const { return fDiskSerial; }
    bool DiskReadOnly() const { return fDiskReadOnly; }
    uint32_t VolumeSecSize() const { return fVolumeSecSize; }
    uint32_t VolumeSectorsPerCluster() const { return fVolumeSectorsPerCluster; }
    uint64_t VolumeFreeClusters() const { return fVolumeFreeClusters; }
    uint64_t VolumeTotalClusters() const { return fVolumeTotalClusters; }
    int64_t VolumeSize() const { return fVolumeSize; }
    int64_t VolumeSpace() const { return fVolumeSpace; }

private:
    void Clear();
    void ClearVolume();
    // The host folder whose file system is the drive's; "" for a UNC share.
    std::string HostRoot() const;

    std::string fDriveStr;
    std::string fLastDrive;
    char fDriveLetter = 0;
    int fDriveType = kDriveUnknown;
    bool FDriveIsFloppy = false;
    std::string fDiskName;
    uint64_t fDiskSerial = 0;
    bool fDiskReadOnly = false;
    uint32_t fVolumeSecSize = 512;
    uint32_t fVolumeSectorsPerCluster = 4;
    uint64_t fVolumeFreeClusters = 0;
    uint64_t fVolumeTotalClusters = 0;
    int64_t fVolumeSize = -1;
    int64_t fVolumeSpace = -1;
};

// The upper-cased drive root of a file name: "C:\" for a drive-letter path,
// "\\SERVER\SHARE\" for a UNC path, "/" for any host path, "" for "".
std::string DriveRootOf(const std::string& name);

}  // namespace lunaro::archive
