#include "net/binding/socket_library.h"

#include <dlfcn.h>

#include <cstring>

#include "platform/text_case.h"

namespace lunaro::net {
namespace {

bool IsAddressInfoFunction(const char* name) {
    return std::strcmp(name, "getaddrinfo") == 0 || std::strcmp(name, "freeaddrinfo") == 0 ||
           std::strcmp(name, "getnameinfo") == 0;
}

TProc FromCLibrary(const char* name) { return reinterpret_cast<TProc>(::dlsym(RTLD_DEFAULT, name)); }

TProc ResolveFull(const char* name) {
    if (name == nullptr) return nullptr;
    const TProc adapter = FindSocketAdapter(name);
    return adapter != nullptr ? adapter : FromCLibrary(name);
}

// The older library generation: no address-information functions.
TProc ResolveWithoutAddressInfo(const char* name) {
    if (name == nullptr || IsAddressInfoFunction(name)) return nullptr;
    return ResolveFull(name);
}

// The IPv6 support library: only the address-information functions.
TProc ResolveAddressInfoOnly(const char* name) {
    if (name == nullptr || !IsAddressInfoFunction(name)) return nullptr;
    return FromCLibrary(name);
}

const TSocketLibrary kLibraries[] = {
    {"ws2_32.dll", &ResolveFull},
    {"wsock32.dll", &ResolveWithoutAddressInfo},
    {"wship6.dll", &ResolveAddressInfoOnly},
};

}  // namespace

const TSocketLibrary* FindSocketLibrary(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    for (const TSocketLibrary& library : kLibraries) {
        if (platform::SameTextAscii(library.name, fileName)) return &library;
    }
    return nullptr;
}

}  // namespace lunaro::net
