// Downloads one URL into a file through THTTPSend (the body goes straight
// to a file stream given as OutputStream), for timing against other tools.
// Usage: lunaro-http-download URL FILE
// Prints the status code, the bytes written and the seconds taken; exits
// non-zero when the transfer failed or the answer was not 200.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "net/http/http_send.h"
#include "platform/stream.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s URL FILE\n", argv[0]);
        return 2;
    }
    try {
        const auto started = std::chrono::steady_clock::now();
        lunaro::platform::TFileStream file(argv[2], lunaro::platform::fmCreate);
        lunaro::net::THTTPSend http;
        http.OutputStream = &file;
        const bool ok = http.HTTPMethod("GET", argv[1]);
        const int64_t bytes = file.Size();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("%d %lld %.3f\n", http.ResultCode(), static_cast<long long>(bytes), seconds);
        if (!ok || http.ResultCode() != 200) {
            std::fprintf(stderr, "transfer failed: %d %s\n", http.Sock().LastError(),
                         http.Sock().LastErrorDesc().c_str());
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
