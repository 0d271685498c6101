#pragma once
// File-system services with the behaviour the installer and its libraries
// expect from a Windows file system. Every path may be Windows-style
// ("c:\Lunaro\x.ini", resolved by the drive mapping) or a host path.
// None of these raise: failures come back as false, -1 or an empty optional,
// with errno describing the cause.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace lunaro::platform {

// Creates the folder and every missing parent. True when the folder exists
// afterwards (also when it already did).
bool ForceDirectories(const std::string& path);

// True for an existing file (not a folder).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Deletes a file; folders are refused.
bool DeleteFile(const std::string& path);

// Renames a file or folder, replacing an existing target file in one atomic
// step. Renaming to the same name in another letter case changes the case.
bool RenameFile(const std::string& oldPath, const std::string& newPath);

// Size in bytes of a file; -1 when it is not an existing file.
int64_t FileSize(const std::string& path);

// Last write time of a file or folder: as a local date-time day count
// (date_time.h) or as raw seconds since 1970-01-01 UTC.
std::optional<double> FileLastWriteTime(const std::string& path);
std::optional<std::time_t> FileLastWriteUnixTime(const std::string& path);

// The whole content of a file, or nothing when it is missing, unreadable, a
// folder, or longer than maxBytes (errno EFBIG).
std::optional<std::string> ReadFileBytes(const std::string& path, size_t maxBytes);

// Path pieces; '\', '/' and the colon of a leading drive letter end a
// folder part.
// ExtractFilePath keeps the final separator ("c:\a\b.txt" -> "c:\a\"),
// ExtractFileExt keeps the dot (".txt"; "" when the name has none).
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);

}  // namespace lunaro::platform
