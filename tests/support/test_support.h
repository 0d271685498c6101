#pragma once
// Helpers shared by the test suites: temporary folders, free loopback ports
// and the rule for missing peers (skip on a developer's machine, fail in CI).
#include <gtest/gtest.h>

#include <string>

namespace lunaro::testkit {

// True when the CI environment variable is "true".
bool RunningInCi();

// A fresh folder under the build tree's tmp/, removed with its contents on
// destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort();

// Full path of an executable found on PATH (or in /usr/sbin, /sbin), or "".
std::string FindProgram(const std::string& name);

// True once bytes or the peer's close wait to be read on the socket fd,
// at most timeoutMs from now. The socket itself is left untouched.
bool WaitReadable(int fd, int timeoutMs);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

}  // namespace lunaro::testkit

// Use in a test body when a real peer (a program from a Debian package) is
// missing: the test skips with the reason, except in CI where it fails.
#define LUNARO_REQUIRE_PEER(available, reason)                                   \
    do {                                                                         \
        if (!(available)) {                                                      \
            if (::lunaro::testkit::RunningInCi()) FAIL() << "peer missing: " << (reason); \
            GTEST_SKIP() << "peer missing: " << (reason);                        \
        }                                                                        \
    } while (0)
