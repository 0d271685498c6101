// A stand-in for the extraction engine, built in several variants to test
// the loader: the version it reports, its private version and whether it
// exports everything are chosen at build time. Its run asks for its key
// and the archive path, and returns the number written after "result" in
// that path, so a test chooses the outcome by naming the archive. The
// "unpacks" variant instead extracts every stored or deflated entry of a
// small archive into the extract folder, without folders, and returns how
// many it wrote; the "marker" variant's initialiser writes the file named
// by LUNARO_TEST_MARKER, so a test sees whether the library was ever opened.
// The "records" variant writes what it was handed (the command record's
// fields, the arguments it asks for, stream 0 as the driver serves it) into
// the file named by LUNARO_TEST_RECORD and, as a run that changed the
// archive would, copies the file named by LUNARO_TEST_REPLACEMENT over it.
#include <dlfcn.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#ifdef FAKE_UNPACKS
#include <zlib.h>
#endif

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

// The text the driver answers for one argument, or false.
bool ArgText(TDLLCommands* rec, uint32_t selector, std::string& text, int32_t index = 0) {
    TZCallBackStruct arg{};
    arg.Arg1 = selector;
    arg.Arg3 = index;
    if (Call(rec, arg, zacArg) != 1 || !arg.MsgP || arg.HaveWide != 1) return false;
    text.clear();
    for (size_t i = 0; i < 4096; ++i) {
        char16_t unit;
        std::memcpy(&unit, arg.MsgP + 2 * i, 2);
        if (unit == 0) break;
        text += static_cast<char>(unit < 0x80 ? unit : '?');
    }
    return true;
}

#ifdef FAKE_UNPACKS
uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
    return v;
}

bool Inflate(const std::string& in, std::string& out, size_t size) {
    out.assign(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(size);
    const int r = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return r == Z_STREAM_END && z.avail_out == 0;
}

int32_t Unpack(const std::string& archive, const std::string& folder) {
    std::ifstream file(archive, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t end = b.size() >= 22 ? b.size() - 22 : std::string::npos;
    while (end != std::string::npos && b.compare(end, 4, "PK\5\6") != 0) end = end == 0 ? std::string::npos : end - 1;
    if (end == std::string::npos) return -ZE_ERR_NO_CENTRAL;
    size_t at = Le(b, end + 16, 4);
    int32_t written = 0;
    for (uint32_t n = Le(b, end + 10, 2); n > 0; --n) {
        if (at + 46 > b.size() || b.compare(at, 4, "PK\1\2") != 0) return -ZE_ERR_ZIP_STRUCTURE;
        const uint32_t method = Le(b, at + 10, 2), csize = Le(b, at + 20, 4), usize = Le(b, at + 24, 4);
        const uint32_t nlen = Le(b, at + 28, 2), elen = Le(b, at + 30, 2), clen = Le(b, at + 32, 2);
        const std::string name = b.substr(at + 46, nlen);
        const size_t local = Le(b, at + 42, 4);
        at += 46 + nlen + elen + clen;
        if (name.empty() || name.back() == '/') continue;
        if (local + 30 > b.size()) return -ZE_ERR_ZIP_EOF;
        const size_t data = local + 30 + Le(b, local + 26, 2) + Le(b, local + 28, 2);
        if (data + csize > b.size()) return -ZE_ERR_ZIP_EOF;
        std::string bytes = b.substr(data, csize);
        if (method == 8 && !Inflate(b.substr(data, csize), bytes, usize)) return -ZE_ERR_ZIP_STRUCTURE;
        if (method != 0 && method != 8) continue;
        std::ofstream out(folder + name.substr(name.find_last_of('/') + 1), std::ios::binary | std::ios::trunc);
        out << bytes;
        if (out) ++written;
    }
    return written;
}
#endif

#ifdef FAKE_RECORDS
int32_t Stream(TDLLCommands* rec, TZStreamRec& s, int op) {
    s.Caller = rec->fCaller;
    s.Check = ZE_STREAM_CHECK;
    s.OpCode = op;
    return rec->ZStreamFunc(&s);
}

void Record(TDLLCommands* rec) {
    const char* file = std::getenv("LUNARO_TEST_RECORD");
    if (!file) return;
    std::ofstream out(file, std::ios::trunc);
    char fields[96];
    std::snprintf(fields, sizeof fields, "options %08x level %d date %08x encoded %u encode %u\n",
                  static_cast<unsigned>(rec->fOptions), static_cast<int>(rec->fLevel),
                  static_cast<unsigned>(rec->fDate), static_cast<unsigned>(rec->fEncodedAs),
                  static_cast<unsigned>(rec->fEncodeAs));
    out << fields;
    std::string text;
    for (int32_t i = 0; ArgText(rec, ZE_ARG_SPEC, text, i); ++i) out << "spec " << text << "\n";
    for (int32_t i = 0; ArgText(rec, ZE_ARG_SPEC_EXCLUDE, text, i); ++i) out << "exclude " << text << "\n";
    if (ArgText(rec, ZE_ARG_ROOT_DIR, text)) out << "root " << text << "\n";
    TZStreamRec s{};
    if (Stream(rec, s, ZE_STREAM_IDENTIFY) == 1) {
        std::snprintf(fields, sizeof fields, "stream %lld %08x %08x", static_cast<long long>(s.ArgLL),
                      static_cast<unsigned>(s.ArgD), static_cast<unsigned>(s.ArgA));
        out << fields;
        std::string bytes(static_cast<size_t>(s.ArgLL), '\0');
        if (Stream(rec, s, ZE_STREAM_OPEN) == 1 && s.StrmP) {
            s.BufP = reinterpret_cast<uint8_t*>(bytes.data());
            s.ArgI = static_cast<int32_t>(bytes.size());
            if (Stream(rec, s, ZE_STREAM_READ) == 1) out << " " << bytes;
            Stream(rec, s, ZE_STREAM_CLOSE);
        }
        out << "\n";
    }
}

void Replace(const std::string& path) {
    if (const char* replacement = std::getenv("LUNARO_TEST_REPLACEMENT")) {
        std::ifstream from(replacement, std::ios::binary);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << from.rdbuf();
    }
}
#endif

#ifdef FAKE_MARKER
__attribute__((constructor)) void LeaveMarker() {
    if (const char* marker = std::getenv("LUNARO_TEST_MARKER")) std::ofstream(marker) << "the engine ran";
}
#endif

}  // namespace

extern "C" {

ZE_EXPORT std::array<uint8_t, 60000> ZE_FakePadding = MakePadding();

ZE_EXPORT uint32_t ZE_FakeLastAbortKey() { return g_lastAbortKey; }

ZE_EXPORT int32_t ZE_STDCALL ZE_Exec(TDLLCommands* rec) {
    if (rec->fVersion != ZE_ENGINE_VERSION || rec->fCheck != ZE_COMMAND_CHECK) return -ZE_ERR_BAD_OPTIONS;
    TZCallBackStruct key{};
    key.Arg1 = 4242;
    Call(rec, key, zacKey);
    std::string path;
    if (!ArgText(rec, ZE_ARG_TARGET, path)) return -ZE_ERR_CALLBACK;
#ifdef FAKE_UNPACKS
    std::string folder;
    if (!ArgText(rec, ZE_ARG_EXTRACT_DIR, folder)) return -ZE_ERR_CALLBACK;
    return Unpack(path, folder);
#else
#ifdef FAKE_RECORDS
    Record(rec);
    Replace(path);
#endif
    const char* result = std::strstr(path.c_str(), "result");
    return result ? static_cast<int32_t>(std::atoi(result + 6)) : 0;
#endif
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
