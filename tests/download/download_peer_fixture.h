#pragma once
// A served folder behind a real nginx on a loopback port, a destination
// folder, and the files the download tests fetch.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/nginx_server.h"
#include "tests/support/test_support.h"

namespace lunaro::download::testing_support {

// Bytes that differ from block to block, so a misplaced block shows.
inline std::string PatternBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

class ServedFolder : public ::testing::Test {
protected:
    // Locations besides the plain files: /nolen/ answers without a length
    // (and so without ranges), /slow/ trickles, /named/ suggests a file name,
    // /old/ redirects to /data/, /loop.bin redirects to itself.
    void SetUp() override {
        const std::string config =
            "    location /nolen/ { alias " + served.Path() +
            "/data/; sub_filter 'never-there' 'x'; sub_filter_once off; sub_filter_types *; gzip off; }\n"
            "    location /slow/ { alias " + served.Path() + "/data/; limit_rate 512k; }\n"
            "    location /named/ { add_header Content-Disposition 'attachment; filename=\"probed.bin\"'; "
            "try_files /data/small.bin =404; }\n"
            "    location /old/ { return 302 /data/medium.bin; }\n"
            "    location = /loop.bin { return 302 /loop.bin; }\n";
        std::filesystem::create_directories(served.Path() + "/data");
        testkit::WriteFile(served.File("data/small.bin"), small);
        testkit::WriteFile(served.File("data/medium.bin"), medium);
        nginx = std::make_unique<testkit::NginxServer>(testkit::NginxOptions{served.Path(), config, false, ""});
    }

    bool Up() const { return nginx && nginx->Running(); }
    std::string Url(const std::string& path) const { return nginx->BaseUrl() + path; }
    std::string Dest(const std::string& name) const { return dest.File(name); }

    testkit::TempDir served;
    testkit::TempDir dest;
    std::unique_ptr<testkit::NginxServer> nginx;
    const std::string small = PatternBytes(1500, 1);
    const std::string medium = PatternBytes(3 << 20, 2);
};

}  // namespace lunaro::download::testing_support
