#pragma once
// Search in an unpacked message table: the image of a compiled resource file
// whose string-table records each hold one block of 16 counted UTF-16
// strings. Every size in the image is checked against the image, so a
// damaged table yields "not found", never a read outside it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace lunaro::archive {

// The text of ident; nullopt when the table has none (or an empty one) or
// the record that should hold it is damaged.
std::optional<std::u16string> FindStringInImage(std::span<const uint8_t> image, int ident);

}  // namespace lunaro::archive
