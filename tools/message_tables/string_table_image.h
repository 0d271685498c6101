#pragma once
// The uncompressed form of a message table: a compiled resource file that
// holds string-table records only. Each record covers one block of 16
// identifiers (block b holds 16 * (b - 1) .. 16 * (b - 1) + 15) and stores
// 16 counted UTF-16 strings; the file starts with the customary empty record.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lunaro::tools {

std::vector<uint8_t> BuildStringTableImage(const std::map<int, std::u16string>& texts, uint16_t lcid);

}  // namespace lunaro::tools
