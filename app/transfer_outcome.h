#pragma once
// Whether a finished transfer delivered its file.
#include <optional>
#include <string>

#include "download/nexo_download_class.h"

namespace lunaro::app {

// Nothing when the worker's transfer ended with a success reply, gave the
// file its final name in its folder and, when the size was announced,
// delivered all of it. Otherwise why not: the reply code and text, or the
// network error's description.
std::optional<std::string> TransferFailure(download::TNexoDownloadClass& worker);

}  // namespace lunaro::app
