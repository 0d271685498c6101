#pragma once
// Private-profile INI files: single values read and written by section and
// key, with the behaviour the installed applications' configuration files
// were made for. Section and key names match ignoring ASCII letter case and
// the spaces around them; files are 8-bit (bytes kept as stored), read with
// LF or CR LF line ends and written with CR LF. The file name may be
// Windows-style or a host path.
#include <cstddef>
#include <string>

#include "platform/exception.h"

namespace lunaro::platform {

// Values come back through a 2048-character buffer: at most 2047 bytes.
inline constexpr size_t kProfileValueLimit = 2047;

// Files larger than this are not read (the default comes back) and not
// rewritten (the write is refused).
inline constexpr size_t kProfileFileLimit = 16 * 1024 * 1024;

// The value stored under key in section, trimmed of surrounding spaces and
// of one pair of enclosing quotes ('...' or "..."); defaultValue when the
// file, the section or the key is missing. Either way cut to
// kProfileValueLimit bytes.
std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue);

// Stores value under key in section: replaces the key's line, or adds the key
// after the section's last line, or appends the section at the end, or
// creates the file. Every other line is kept as it was. The file is replaced
// atomically; its folder must exist. Returns false, leaving the file as it
// was, when the write is refused: a missing folder, a target that cannot be
// read or written, or names and values that would break the file's line
// structure (a line break anywhere, an empty key, a key starting with '[').
bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value);

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

// WriteProfileString that raises EIniFileException with the text
// "Unable to write to <file>" when the write is refused.
void WriteProfileStringOrRaise(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value);

}  // namespace lunaro::platform
