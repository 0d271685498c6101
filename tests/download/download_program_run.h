#pragma once
// Runs lunaro-download as a child process with its output in files, at most
// 60 s. The child starts without any proxy variable of the test's own
// environment, plus the variables a test gives.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_support.h"

namespace lunaro::testkit {

struct TProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    long peakRssKiB = 0;
};

inline TProgramRun RunDownloadProgram(std::vector<std::string> args, const std::string& outputFolder,
                                      const std::map<std::string, std::string>& environment = {}) {
    const std::string outPath = outputFolder + "/stdout.txt";
    const std::string errPath = outputFolder + "/stderr.txt";
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY"}) {
            ::unsetenv(name);
        }
        for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
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
    TProgramRun run;
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
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

}  // namespace lunaro::testkit
