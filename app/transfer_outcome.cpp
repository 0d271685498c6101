#include "app/transfer_outcome.h"

#include "download/nexo_http_download.h"
#include "platform/files.h"

namespace lunaro::app {

namespace {

struct ReplySeen {
    int32_t code = 0;
    std::string text;         // "404 Not Found"
    std::string socketError;  // "Connection refused (10061)", "" without one
};

ReplySeen WhatTheClientSaw(download::TNexoDownloadClass& worker) {
    ReplySeen seen;
    seen.code = worker.ResultCode();
    seen.text = std::to_string(seen.code);
    if (auto* http = dynamic_cast<download::TNexoHTTPDownload*>(&worker)) {
        net::THTTPSend& client = http->HTTPSend();
        seen.code = client.ResultCode();
        seen.text = std::to_string(seen.code) + (client.ResultString().empty() ? "" : " " + client.ResultString());
        if (client.Sock().LastError() != 0)
            seen.socketError = client.Sock().LastErrorDesc() + " (" + std::to_string(client.Sock().LastError()) + ")";
    }
    return seen;
}

}  // namespace

std::optional<std::string> TransferFailure(download::TNexoDownloadClass& worker) {
    const ReplySeen seen = WhatTheClientSaw(worker);
    if (seen.code != 200 && seen.code != 206) {
        // 500 without a reply line is the client's own mark for "no answer".
        if (!seen.socketError.empty() && (seen.code == 500 || seen.code == 0)) return seen.socketError;
        return "o servidor respondeu " + seen.text;
    }
    if (!worker.Finished())
        return seen.socketError.empty() ? std::string("a transferência terminou antes do fim do arquivo")
                                        : seen.socketError;
    const std::string file = worker.FinalFileName();
    if (!platform::FileExists(file)) return "o arquivo " + file + " não ficou na pasta";
    const int64_t size = platform::FileSize(file);
    const int64_t expected = worker.BytesResumed() + worker.DownloadSize();
    if (worker.DownloadSize() > 0 && size != expected)
        return "o arquivo veio incompleto (" + std::to_string(size) + " de " + std::to_string(expected) + " bytes)";
    return std::nullopt;
}

}  // namespace lunaro::app
