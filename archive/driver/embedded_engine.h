#pragma once
// An engine carried inside the program, the resource "ZKResDll". A program
// that carries one registers its bytes at start-up; the installer carries
// none. Layout: u32 private version (little-endian), then either the library
// file itself (it starts with an executable's magic bytes, "MZ" or ELF's
// "\x7fELF") or a u32 library length followed by the library compressed with
// the message tables' LZ77 scheme. The resource is used only when it is at
// least 50000 and less than 600000 bytes long and its version exceeds
// 1900094.
#include <cstdint>
#include <span>
#include <string>

namespace lunaro::archive {

inline constexpr size_t kMinEngineResource = 50000;
inline constexpr size_t kMaxEngineResource = 600000;
inline constexpr int kMinEmbeddedVersion = 1900095;

// The process's "ZKResDll" resource; empty when the program carries none.
// The bytes must stay valid while any loader may use them.
void SetEmbeddedEngineResource(std::span<const uint8_t> resource);
std::span<const uint8_t> EmbeddedEngineResource();

class TZKEmbeddedEngine {
public:
    static constexpr int kNotLookedAt = -99;
    static constexpr int kNone = -1;
    static constexpr int kUnusable = 0;

    // kNone, kUnusable or the private version stored with the resource; the
    // resource is looked at on the first call.
    int State();
    bool Usable() { return State() > kUnusable; }
    void MarkUnusable() { state_ = kUnusable; }

    // The path of the unpacked library, written into tempDir (the system's
    // temporary folder when empty) unless a copy is still there. Raises
    // EZipKeeper 11027 when there is no temporary folder; returns "" (and
    // marks the engine unusable) when the copy cannot be made exactly.
    std::string Unpacked(const std::string& tempDir);
    // Deletes the unpacked copy, if any.
    void DeleteUnpacked();

private:
    int state_ = kNotLookedAt;
    std::string tempFile_;
};

}  // namespace lunaro::archive
