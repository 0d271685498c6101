// A stand-in for the extraction engine, built in several variants to test
// the loader: the version it reports, its private version and whether it
// exports everything are chosen at build time. Its run asks for its key
// and the archive path, and returns the number written after "result" in
// that path, so a test chooses the outcome by naming the archive.
#include <dlfcn.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/abi/zip_engine_abi.h"

#ifndef FAKE_VERSION
#define FAKE_VERSION 190
#endif
#ifndef FAKE_PRIV_VERSION
#define FAKE_PRIV_VERSION 1900095
#endif

namespace {

// Bytes that do not compress, so that the library is big enough to be
// carried as an embedded engine, packed or not.
constexpr std::array<uint8_t, 60000> MakePadding() {
    std::array<uint8_t, 60000> bytes{};
    uint32_t state = 2463534242u;
    for (uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

uint32_t g_lastAbortKey = 0;

int32_t Call(TDLLCommands* rec, TZCallBackStruct& cb, int action) {
    cb.Caller = rec->fCaller;
    cb.Check = ZE_CALLBACK_CHECK;
    cb.ActionCode = action;
    return rec->ZCallbackFunc(&cb);
}

}  // namespace

extern "C" {

ZE_EXPORT std::array<uint8_t, 60000> ZE_FakePadding = MakePadding();

ZE_EXPORT uint32_t ZE_FakeLastAbortKey() { return g_lastAbortKey; }

ZE_EXPORT int32_t ZE_STDCALL ZE_Exec(TDLLCommands* rec) {
    if (rec->fVersion != ZE_ENGINE_VERSION || rec->fCheck != ZE_COMMAND_CHECK) return -ZE_ERR_BAD_OPTIONS;
    TZCallBackStruct key{};
    key.Arg1 = 4242;
    Call(rec, key, zacKey);
    TZCallBackStruct arg{};
    arg.Arg1 = ZE_ARG_TARGET;
    if (Call(rec, arg, zacArg) != 1 || !arg.MsgP || arg.HaveWide != 1) return -ZE_ERR_CALLBACK;
    char path[1024] = {};
    for (size_t i = 0; i + 1 < sizeof path; ++i) {
        char16_t unit;
        std::memcpy(&unit, arg.MsgP + 2 * i, 2);
        if (unit == 0) break;
        path[i] = static_cast<char>(unit < 0x80 ? unit : '?');
    }
    const char* result = std::strstr(path, "result");
    return result ? static_cast<int32_t>(std::atoi(result + 6)) : 0;
}

ZE_EXPORT int32_t ZE_STDCALL ZE_Version(void) { return FAKE_VERSION + (ZE_FakePadding[0] & 0); }
ZE_EXPORT int32_t ZE_STDCALL ZE_PrivVersion(void) { return FAKE_PRIV_VERSION; }
ZE_EXPORT int32_t ZE_STDCALL ZE_Abort(uint32_t key) {
    g_lastAbortKey = key;
    return 0;
}

ZE_EXPORT int32_t ZE_STDCALL ZE_Name(void* buf, int32_t bufsiz, uint8_t wide) {
    Dl_info info{};
    const char* name = dladdr(reinterpret_cast<void*>(&ZE_Name), &info) && info.dli_fname ? info.dli_fname : "";
    int32_t n = 0;
    for (; name[n] && n < bufsiz; ++n) {
        if (wide) static_cast<char16_t*>(buf)[n] = static_cast<unsigned char>(name[n]);
        else static_cast<char*>(buf)[n] = name[n];
    }
    if (wide) static_cast<char16_t*>(buf)[n] = 0;
    else static_cast<char*>(buf)[n] = 0;
    return n;
}

#ifndef FAKE_NO_BANNER
ZE_EXPORT const char* ZE_STDCALL ZE_Banner(void) { return "fake engine for tests"; }
#endif
ZE_EXPORT const char* ZE_STDCALL ZE_Path(void) { return ""; }

}  // extern "C"
