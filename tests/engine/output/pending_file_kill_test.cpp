// A process killed in the middle of a file leaves the old file and nothing
// else: the bytes written so far have no name to be found under.
#include "tests/engine/output/output_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lunaro::testkit {
namespace {

// In the child: begin, write a good part of the file, tell the parent, wait
// to be killed (an alarm ends the wait should the parent never do it).
[[noreturn]] void WriteUntilKilled(engine::TDestination& dest, int readyFd) {
    std::string error;
    auto file = dest.Begin(EntryPath({"in"}, "f.txt"), 1 << 20, error);
    const std::string block(64 * 1024, 'n');
    bool ok = file != nullptr;
    for (int i = 0; ok && i < 8; ++i) {
        ok = file->Write(reinterpret_cast<const uint8_t*>(block.data()), block.size(), error);
    }
    const char status = ok ? 'w' : 'e';
    if (::write(readyFd, &status, 1) != 1) _exit(3);
    ::alarm(10);
    for (;;) ::pause();
}

TEST_F(OutputTest, KilledWriterLeavesNoStrayFile) {
    std::filesystem::create_directory(Base() + "/in");
    WriteFile(Base() + "/in/f.txt", "old");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        WriteUntilKilled(*Dest, ready[1]);
    }
    ::close(ready[1]);
    pollfd waitReady{ready[0], POLLIN, 0};
    char status = 0;
    const bool signalled = ::poll(&waitReady, 1, 10000) == 1 && ::read(ready[0], &status, 1) == 1;
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int childStatus = 0;
    ASSERT_EQ(::waitpid(child, &childStatus, 0), child);

    ASSERT_TRUE(signalled);
    EXPECT_EQ(status, 'w');
    EXPECT_TRUE(WIFSIGNALED(childStatus) && WTERMSIG(childStatus) == SIGKILL);
    EXPECT_EQ(NamesIn(Base() + "/in"), std::set<std::string>{"f.txt"});
    EXPECT_EQ(ReadFile(Base() + "/in/f.txt"), "old");
}

}  // namespace
}  // namespace lunaro::testkit
