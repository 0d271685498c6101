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

// The suffix a file carries while it is being received; it takes its
// final name, without it, only once complete.
inline constexpr const char* kPartSuffix = ".part";

// What went wrong, for callers that react to one error in their own way:
// they compare this, never the message text.
enum class TDownloadErrorId : uint8_t {
    WrongOwner,       // a worker without its component
    NoSettings,       // a null settings object
    NoProtocol,       // started without a protocol
    LoginFailed,      // the FTP server could not be reached or refused the login
    AlreadyRunning,   // started from inside its own transfer
    NoFileName,       // neither the user, the URL nor the server names the file
    UnusableName,     // the server's suggested name could replace or hide a file
    CannotDelete,     // a file that had to go could not be deleted
    CannotRename,     // the complete file could not take its final name
};

// Errors of the download component and its workers (texts in Portuguese).
class ENexoDownloadError : public platform::Exception {
public:
    ENexoDownloadError(TDownloadErrorId id, const std::string& message) : Exception(message), id_(id) {}
    TDownloadErrorId Id() const { return id_; }

private:
    TDownloadErrorId id_;
};

}  // namespace lunaro::download
