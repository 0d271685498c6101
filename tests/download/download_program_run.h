#pragma once
// Runs lunaro-download as a program (at most 60 s), with its output caught
// in files of a scratch folder, and reports its exit and peak memory.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_support.h"

namespace lunaro::download::testing_support {

struct TRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    long peakRssKiB = 0;
};

inline TRun RunDownloadProgram(std::vector<std::string> args, const testkit::TempDir& scratch) {
    const std::string outPath = scratch.File("stdout.txt");
    const std::string errPath = scratch.File("stderr.txt");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(LUNARO_DOWNLOAD_PROGRAM)};
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(LUNARO_DOWNLOAD_PROGRAM, argv.data());
        ::_exit(127);
    }
    TRun run;
    int status = 0;
    rusage usage{};
    for (int i = 0; i < 6000; ++i) {
        if (::wait4(pid, &status, WNOHANG, &usage) == pid) {
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            run.peakRssKiB = usage.ru_maxrss;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (run.exitCode == -1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    run.out = testkit::ReadFile(outPath);
    run.err = testkit::ReadFile(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

}  // namespace lunaro::download::testing_support
