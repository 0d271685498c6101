#pragma once
// Turning the bytes of a stored entry name or comment into text, by the
// encoding the archive's settings or the entry's own data indicate.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/operation/zk_types.h"

namespace lunaro::archive {

// `encoding` is already resolved (never zeoAuto); `codePage` is the
// archive's configured code page for zeoNone (0: the system ANSI code page);
// `unicodeText` is the accepted Unicode Path/Comment text, if any. Bytes
// that are all printable ASCII are taken as they are unless the encoding is
// zeoUPath. The result is UTF-8 and never empty for non-empty input.
// True when DecodeStoredText gives the stored bytes back unchanged.
bool DecodesAsStored(std::string_view raw, TZKEncodingOpts encoding);

std::string DecodeStoredText(std::string_view raw, TZKEncodingOpts encoding, uint32_t codePage,
                             std::optional<std::string_view> unicodeText);

}  // namespace lunaro::archive
