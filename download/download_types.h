#pragma once
// Values shared by the download component, its workers and their callers.
#include <cstdint>

#include "platform/exception.h"

namespace lunaro::download {

// The state of the download component and of its workers.
enum class TDownloadStatus : uint8_t {
    stNone = 0,      // nothing started, or a fresh transfer being prepared
    stStop = 1,      // stop requested
    stDownload = 2,  // downloading
    stPause = 3,     // pause requested
    stResume = 4,    // resuming from a partial file
    stRedirect = 5,  // following an HTTP redirect
};

enum class TNexoProtocolo : uint8_t { protNenhum = 0, protHTTP = 1, protFTP = 2 };

// Errors of the download component and its workers (texts in Portuguese).
class ENexoDownloadError : public platform::Exception {
public:
    using Exception::Exception;
};

}  // namespace lunaro::download
