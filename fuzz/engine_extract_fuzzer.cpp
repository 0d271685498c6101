// libFuzzer target: arbitrary bytes extracted as an archive through ZE_Exec
// into a scratch folder, with a caller that answers like an unattended
// installer (a password, overwrite everything). Any crash, sanitizer report
// or hang is a finding; the engine's own error codes are not.
#include <sys/resource.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/abi/zip_engine_abi.h"
#include "fuzz/memory_input.h"

namespace {

// Output past this fails with EFBIG instead of filling the disk: a small
// input may still declare (and really hold) a large entry.
constexpr rlim_t kMaxOutputFileBytes = 64 << 20;
constexpr char kPassword[] = "secret";

struct TScratch {
    lunaro::fuzz::TMemoryInput Archive{"engine_extract_fuzzer"};
    std::string OutDir;
};

// Never destroyed: the exit handler below still needs the folder's name.
const TScratch& Scratch() {
    static const TScratch& scratch = *[] {
        auto* created = new TScratch;
        TScratch& s = *created;
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/engine-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) s.OutDir = pattern;
        const rlimit limit{kMaxOutputFileBytes, kMaxOutputFileBytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Scratch().OutDir, ignored);
        });
        return created;
    }();
    return scratch;
}

// The engine reads an answer from MsgP up to its zero; it stays valid until
// the next callback.
int32_t Answer(TZCallBackStruct* rec, const std::string& text) {
    thread_local std::string held;
    held = text;
    rec->MsgP = reinterpret_cast<uint8_t*>(held.data());
    rec->HaveWide = 0;
    return 1;
}

int32_t ZE_STDCALL Callback(TZCallBackStruct* rec) {
    if (rec == nullptr || rec->Check != ZE_CALLBACK_CHECK) return ZE_ANSWER_BAD_RECORD;
    switch (rec->ActionCode & ZE_ACTION_MASK) {
    case zacArg:
        switch (rec->Arg1) {
        case ZE_ARG_TARGET: return Answer(rec, Scratch().Archive.FilePath());
        case ZE_ARG_PASSWORD: return Answer(rec, kPassword);
        case ZE_ARG_EXTRACT_DIR: return Answer(rec, Scratch().OutDir);
        case ZE_ARG_SPEC:
            if (rec->Arg3 != 0) return 0;
            rec->Arg3 = 1;
            return Answer(rec, "*");
        default: return 0;
        }
    case zacPassword:
        Answer(rec, kPassword);
        return ZE_PASSWORD_GIVEN;
    case zacOverwrite: return ZE_OVERWRITE_YES;
    default: return 0;
    }
}

void ClearOutput() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(Scratch().OutDir, ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TScratch& scratch = Scratch();
    if (scratch.Archive.FilePath().empty() || scratch.OutDir.empty() || !scratch.Archive.Write(data, size)) return 0;
    TDLLCommands command{};
    command.fVersion = ZE_ENGINE_VERSION;
    command.ZCallbackFunc = Callback;
    command.fOptions = ZE_OPT_ALWAYS | ZE_OPT_EXTRACT | ZE_OPT_DIR_NAMES | ZE_OPT_OVERWRITE | ZE_OPT_NTFS;
    command.fPwdReqCount = 1;
    command.fCheck = ZE_COMMAND_CHECK;
    (void)ZE_Exec(&command);
    ClearOutput();
    return 0;
}
