// The entry points of ZipEngine190.dll. Each one is a C function that
// never lets an exception out: the caller may not be C++ at all.
#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/abi/zip_engine_abi.h"
#include "engine/exec/engine_run.h"
#include "engine/exec/run_keys.h"
#include "platform/utf8.h"

namespace {

constexpr int32_t kPrivateVersion = 1900100;  // 1.9.0.0100

// Where this library was loaded from, found through one of its own symbols.
const std::string& OwnPath() {
    static const std::string path = [] {
        Dl_info info{};
        if (::dladdr(reinterpret_cast<void*>(&ZE_Version), &info) == 0 || info.dli_fname == nullptr)
            return std::string();
        char resolved[PATH_MAX];
        return std::string(::realpath(info.dli_fname, resolved) ? resolved : info.dli_fname);
    }();
    return path;
}

}  // namespace

extern "C" {

ZE_EXPORT int32_t ZE_STDCALL ZE_Exec(TDLLCommands* rec) { return lunaro::engine::RunEngineCommand(rec); }

ZE_EXPORT int32_t ZE_STDCALL ZE_Version(void) { return ZE_ENGINE_VERSION; }

ZE_EXPORT int32_t ZE_STDCALL ZE_PrivVersion(void) { return kPrivateVersion; }

ZE_EXPORT int32_t ZE_STDCALL ZE_Abort(uint32_t key) {
    try {
        return lunaro::engine::TRunKey::Abort(key) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

ZE_EXPORT int32_t ZE_STDCALL ZE_Name(void* buf, int32_t bufsiz, uint8_t wide) {
    try {
        if (buf == nullptr || bufsiz <= 0) return 0;
        const std::string& path = OwnPath();
        if (wide) {
            const std::u16string text = lunaro::platform::Utf8ToUtf16(path);
            const size_t count = text.size() < static_cast<size_t>(bufsiz) ? text.size() : static_cast<size_t>(bufsiz);
            auto* out = static_cast<char16_t*>(buf);
            std::memcpy(out, text.data(), count * sizeof(char16_t));
            out[count] = 0;
            return static_cast<int32_t>(count);
        }
        const size_t count = path.size() < static_cast<size_t>(bufsiz) ? path.size() : static_cast<size_t>(bufsiz);
        auto* out = static_cast<char*>(buf);
        std::memcpy(out, path.data(), count);
        out[count] = 0;
        return static_cast<int32_t>(count);
    } catch (...) {
        return 0;
    }
}

ZE_EXPORT const char* ZE_STDCALL ZE_Banner(void) {
    return "Lunaro extraction engine 1.9.0.0100: stored, deflate, deflate64, bzip2, LZMA, zstd, xz; "
           "traditional and AES decryption";
}

ZE_EXPORT const char* ZE_STDCALL ZE_Path(void) {
    try {
        return OwnPath().c_str();
    } catch (...) {
        return "";
    }
}

}  // extern "C"
