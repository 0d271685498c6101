#pragma once
// The span options the reader consults. The option set belongs to the
// spanning and writing operations, which are not built; until they name
// their members, these two bits are the reader's.
#include "archive/operation/zk_types.h"

namespace lunaro::archive {

// Open exactly the name given: no retry, no search for a numbered set.
inline constexpr TZKSpanOpts spExactName = 0x1;
// Parts of a numbered set may carry different file dates.
inline constexpr TZKSpanOpts spAnyTime = 0x2;

}  // namespace lunaro::archive
