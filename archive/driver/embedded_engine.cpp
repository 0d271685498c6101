#include "archive/driver/embedded_engine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "archive/messages/lz77.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace lunaro::archive {

namespace {

std::atomic<const uint8_t*> g_resourceData{nullptr};
std::atomic<size_t> g_resourceSize{0};

// A library decoded from the resource may not grow past this: the resource
// is below 600000 bytes and the scheme expands at most 18 / 2 times.
constexpr uint32_t kMaxUnpackedLibrary = 16u << 20;

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

bool StartsWithLibraryMagic(std::span<const uint8_t> body) {
    if (body.size() >= 2 && body[0] == 'M' && body[1] == 'Z') return true;
    return body.size() >= 4 && body[0] == 0x7F && body[1] == 'E' && body[2] == 'L' && body[3] == 'F';
}

// The library bytes of the resource, or nothing when they cannot be had exactly.
std::optional<std::vector<uint8_t>> LibraryBytes(std::span<const uint8_t> resource) {
    const std::span<const uint8_t> body = resource.subspan(4);
    if (StartsWithLibraryMagic(body)) return std::vector<uint8_t>(body.begin(), body.end());
    if (body.size() < 4) return std::nullopt;
    const uint32_t length = LittleEndian32(body.data());
    if (length == 0 || length > kMaxUnpackedLibrary) return std::nullopt;
    std::vector<uint8_t> out;
    const std::span<const uint8_t> packed = body.subspan(4);
    if (Lz77Decode(packed, packed.size(), length, out) != kLz77Ok) return std::nullopt;
    return out;
}

// A fresh random name in the textual form of a GUID.
std::optional<std::string> NewGuidName() {
    uint8_t bytes[16];
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const ssize_t n = ::read(fd, bytes, sizeof bytes);
    ::close(fd);
    if (n != static_cast<ssize_t>(sizeof bytes)) return std::nullopt;
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4: random
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
    char text[40];
    std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                  bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return std::string(text);
}

std::string TemporaryFolder(const std::string& tempDir) {
    std::string folder = tempDir.empty() ? platform::EnvironmentValue("TMPDIR") : platform::HostPath(tempDir);
    if (folder.empty()) folder = "/tmp";
    if (!platform::DirectoryExists(folder)) return {};
    if (folder.back() != '/') folder += '/';
    return folder;
}

// Writes the bytes to a new file that nobody else can have prepared or
// replace: the library will be run, so an existing name is never reused.
bool WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool closed = ::close(fd) == 0;
    if (done == bytes.size() && closed) return true;
    ::unlink(path.c_str());
    return false;
}

}  // namespace

void SetEmbeddedEngineResource(std::span<const uint8_t> resource) {
    g_resourceSize.store(0);
    g_resourceData.store(resource.data());
    g_resourceSize.store(resource.size());
}

std::span<const uint8_t> EmbeddedEngineResource() {
    const uint8_t* data = g_resourceData.load();
    return data ? std::span<const uint8_t>(data, g_resourceSize.load()) : std::span<const uint8_t>();
}

int TZKEmbeddedEngine::State() {
    if (state_ != kNotLookedAt) return state_;
    const std::span<const uint8_t> resource = EmbeddedEngineResource();
    if (resource.empty()) return state_ = kNone;
    if (resource.size() < kMinEngineResource || resource.size() >= kMaxEngineResource) return state_ = kUnusable;
    const int version = static_cast<int>(LittleEndian32(resource.data()));
    return state_ = version >= kMinEmbeddedVersion ? version : kUnusable;
}

std::string TZKEmbeddedEngine::Unpacked(const std::string& tempDir) {
    if (!Usable()) return {};
    if (!tempFile_.empty() && platform::FileExists(tempFile_)) return tempFile_;
    tempFile_.clear();
    const std::string folder = TemporaryFolder(tempDir);
    if (folder.empty()) throw EZipKeeper::CreateResDisp(msg::TempFileNotCreated, true);
    const std::optional<std::vector<uint8_t>> library = LibraryBytes(EmbeddedEngineResource());
    const std::optional<std::string> name = NewGuidName();
    const std::string path = folder + (name ? *name : "ZE_" + std::to_string(::getpid())) + ".dll";
    if (!library || !WriteNewFile(path, *library)) {
        MarkUnusable();
        return {};
    }
    return tempFile_ = path;
}

void TZKEmbeddedEngine::DeleteUnpacked() {
    if (!tempFile_.empty()) platform::DeleteFile(tempFile_);
    tempFile_.clear();
}

}  // namespace lunaro::archive
