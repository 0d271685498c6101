#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace lunaro::platform {

namespace {

#if defined(__x86_64__)
constexpr int kNativeMachine = EM_X86_64;
#elif defined(__i386__)
constexpr int kNativeMachine = EM_386;
#elif defined(__aarch64__)
constexpr int kNativeMachine = EM_AARCH64;
#elif defined(__arm__)
constexpr int kNativeMachine = EM_ARM;
#else
constexpr int kNativeMachine = EM_NONE;  // not checked: the loader decides
#endif

// What a loadable library for this process looks like: an ELF shared object
// of the process's word size, byte order and machine. A file that cannot be
// opened is left to the loader to report.
bool IsLoadableFormat(const std::string& hostPath) {
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    ElfW(Ehdr) header{};
    const ssize_t n = ::read(fd, &header, sizeof header);
    ::close(fd);
    if (n != static_cast<ssize_t>(sizeof header)) return false;
    const unsigned char nativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    const unsigned char nativeOrder = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
    return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 && header.e_ident[EI_CLASS] == nativeClass &&
           header.e_ident[EI_DATA] == nativeOrder && header.e_type == ET_DYN &&
           (kNativeMachine == EM_NONE || header.e_machine == kNativeMachine);
}

std::string LoaderError() {
    const char* text = ::dlerror();
    return text ? text : "unknown error";
}

}  // namespace

bool TDynamicLibrary::Fail(int error, std::string text) {
    error_ = error;
    errorText_ = std::move(text);
    return false;
}

bool TDynamicLibrary::Load(const std::string& path) {
    Free();
    error_ = 0;
    errorText_.clear();
    if (path.empty()) return Fail(kErrorModuleNotFound, "no library name given");
    std::string host = HostPath(path);
    if (host.find('/') == std::string::npos) {
        const std::string folder = ProgramFolder();
        if (!folder.empty() && FileExists(folder + host)) host = folder + host;
    }
    if (host.find('/') != std::string::npos) {
        if (!FileExists(host)) return Fail(kErrorModuleNotFound, host + ": " + std::strerror(ENOENT));
        if (!IsLoadableFormat(host)) return Fail(kErrorBadExeFormat, host + ": not a shared library for this machine");
    }
    ::dlerror();
    handle_ = ::dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) return true;
    const std::string text = LoaderError();
    if (text.find("undefined symbol") != std::string::npos) return Fail(kErrorProcNotFound, text);
    if (text.find("invalid ELF header") != std::string::npos || text.find("wrong ELF class") != std::string::npos ||
        text.find("file too short") != std::string::npos)
        return Fail(kErrorBadExeFormat, text);
    return Fail(kErrorModuleNotFound, text);
}

void* TDynamicLibrary::Resolve(const std::string& name) {
    if (!handle_) {
        Fail(kErrorInvalidHandle, "no library loaded");
        return nullptr;
    }
    ::dlerror();
    void* address = ::dlsym(handle_, name.c_str());
    if (!address) Fail(kErrorProcNotFound, LoaderError());
    return address;
}

void TDynamicLibrary::Free() {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

}  // namespace lunaro::platform
