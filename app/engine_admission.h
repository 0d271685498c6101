#pragma once
// The extraction engine is fetched over plain HTTP like any package, and
// opening a library runs its code. So before the archive component may
// open a ZipEngine190.dll, its SHA-256 must be one this installer trusts:
// the digest of the engine built from the same source (recorded at build
// time in ZipEngine190.dll.sha256 beside the program) or one the
// deployment configures (--engine-sha256=HEX or LUNARO_ENGINE_SHA256).
#include <optional>
#include <string>
#include <vector>

namespace lunaro::app {

inline constexpr const char* kEngineDigestVariable = "LUNARO_ENGINE_SHA256";
inline constexpr const char* kBuiltEngineDigestFile = "ZipEngine190.dll.sha256";

// Lower-case hex SHA-256 of the file, or nothing when it cannot be read.
std::optional<std::string> FileSha256(const std::string& path);

// A digest as 64 lower-case hex digits, or nothing when it is not one.
std::optional<std::string> NormalizedDigest(const std::string& text);

// The built engine's digest, the variable's and the configured one, each
// when present and well formed.
std::vector<std::string> TrustedEngineDigests(const std::optional<std::string>& configured);

// Raises platform::Exception, naming the file and the reason, unless the
// file's digest is one of trusted.
void AdmitEngineFile(const std::string& path, const std::vector<std::string>& trusted);

// From now on the process-wide engine loader opens only admitted files.
void GuardEngineLoading(std::vector<std::string> trusted);

}  // namespace lunaro::app
