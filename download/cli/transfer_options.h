#pragma once
// The options of lunaro-download that bound a transfer and say which TLS
// peers are trusted:
//   --speed-limit=N --speed-time=S  fail when under N bytes/s for S seconds
//   --max-time=S                    fail when the transfer takes longer
//   --cacert=FILE                   trust the CA certificates in FILE
//   --insecure                      do not verify the server's certificate
#include <optional>
#include <string>

#include "net/socket/transfer_limits.h"

namespace lunaro::download::cli {

struct TTransferOptions {
    net::TTransferLimits Limits;
    std::string CACertFile;  // empty: the system's trust store
    bool Insecure = false;
};

// nullopt when key is none of these options; otherwise "" when it was
// taken, or what is wrong with it.
std::optional<std::string> ApplyTransferOption(const std::string& key, const std::string& value, bool hasValue,
                                               TTransferOptions& options);

// What is wrong with the options as a whole; "" when nothing.
std::string CheckTransferOptions(const TTransferOptions& options);

}  // namespace lunaro::download::cli
