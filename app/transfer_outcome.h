#pragma once
// The installer's wording of a finished transfer's verdict.
#include <optional>
#include <string>

#include "download/transfer_verdict.h"

namespace lunaro::app {

// Nothing when the file arrived whole; otherwise why not, in Portuguese:
// the reply code and text, or the network error's description.
std::optional<std::string> TransferFailure(const download::TTransferFacts& facts);

}  // namespace lunaro::app
