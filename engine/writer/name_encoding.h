#pragma once
// How an entry's name is stored: plain ASCII as it is; anything else as
// UTF-8 with the flag that says so, or in the OEM code page when the caller
// asked for it and the name fits that page exactly.
#include <string>

namespace lunaro::engine {

struct TStoredName {
    std::string Bytes;
    bool Utf8 = false;
};

TStoredName StoredName(const std::string& utf8, bool preferOem);

}  // namespace lunaro::engine
