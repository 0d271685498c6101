// libFuzzer target: arbitrary bytes parsed as a directory listing. The
// first byte chooses LIST (every mask, EPLF) or MLSD parsing. A crash,
// sanitizer report or hang is a finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/ftp/ftp_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    lunaro::net::TFTPList list;
    list.FLines.SetText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (data[0] & 1) {
        list.ParseMLSDLines();
    } else {
        list.ParseLines();
    }
    for (int i = 0; i < list.Count(); ++i) (void)list.Items(i)->FileName.size();
    return 0;
}
