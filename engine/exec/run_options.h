#pragma once
// The option bits of an extract or test run, read once from the command
// record so that the rest of the run asks questions instead of masking bits.
#include <cstdint>

#include "engine/abi/zip_engine_abi.h"

namespace lunaro::engine {

struct TRunOptions {
    bool Test = false;          // decode and check, write nothing
    bool KeepFolders = false;   // entries keep their folder names
    bool Overwrite = false;     // replace existing files without being told to
    bool Update = false;        // missing files, and existing ones older than the entry
    bool Freshen = false;       // only existing files older than the entry
    bool RestoreTimes = false;  // give files the entries' modification times

    static TRunOptions From(uint32_t bits) {
        TRunOptions o;
        o.Test = (bits & ZE_OPT_TEST) != 0;
        o.KeepFolders = (bits & ZE_OPT_DIR_NAMES) != 0;
        o.Overwrite = (bits & ZE_OPT_OVERWRITE) != 0;
        o.Update = (bits & ZE_OPT_UPDATE) != 0;
        o.Freshen = !o.Update && (bits & ZE_OPT_FRESHEN) != 0;
        o.RestoreTimes = (bits & ZE_OPT_NTFS) != 0;
        return o;
    }
};

}  // namespace lunaro::engine
