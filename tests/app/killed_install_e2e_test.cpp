// The unattended full installation, run as the program it is, killed at
// random moments (in the middle of a transfer, just as a file takes its
// final name, while the installation mark is rewritten) and then continued
// with --resume, must end exactly as an installation that was never
// killed: the same folders and files, byte for byte, and no partial file.
// The reference is a clean run's tree, not a list, so every step the
// installer gains is covered as it lands.
//
// The seed of the kill points is printed; LUNARO_KILL_SEED=N replays a run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/engine_admission.h"
#include "app/exit_codes.h"
#include "tests/app/demo_server.h"
#include "tests/support/test_support.h"

namespace lunaro::app {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKillPoints = 20;
// Two packages gain this much incompressible data and everything is served
// slowly, so that a kill at a random moment lands inside a transfer. nginx
// lets up to a second's worth go at once: the bulk is more than that, and
// each of the two takes up to a second.
constexpr int kBulkBytes = 320 * 1024;
constexpr const char* kServedSlowly = "limit_rate 256k;";
constexpr const char* kBulkyPackages[] = {"LunaroSoftInstalacao.zip", "banco.zip"};
constexpr auto kRunLimit = std::chrono::seconds(60);

// Every folder and file under a machine's root, by relative path; a file
// maps to its bytes.
using Tree = std::map<std::string, std::string>;
constexpr const char* kFolder = "<folder>";

Tree Snapshot(const std::string& root) {
    Tree tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string name = fs::relative(it->path(), root).string();
        tree[name] = it->is_directory() ? std::string(kFolder) : testkit::ReadFile(it->path().string());
    }
    return tree;
}

// The names that differ between two trees, for a failure message.
std::string Differences(const Tree& expected, const Tree& actual) {
    std::string out;
    for (const auto& [name, bytes] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end()) out += "  missing " + name + "\n";
        else if (found->second != bytes) out += "  different " + name + "\n";
    }
    for (const auto& entry : actual)
        if (!expected.contains(entry.first)) out += "  extra " + entry.first + "\n";
    return out;
}

// Files under root that have their final name (no partial file, no
// temporary), while an installation may be changing them.
int FinishedFiles(const std::string& root) {
    int count = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(ec) && !name.starts_with(".") && !name.ends_with(".part")) ++count;
    }
    return count;
}

// The installer program on a machine of its own: drive C: and the desktop
// under one root, the same paths on every run so that the launcher it
// writes is comparable.
class Machine {
public:
    Machine(std::string root, std::string baseUrl) : root_(std::move(root)), baseUrl_(std::move(baseUrl)) {}

    std::string Root() const { return root_ + "/machine"; }
    void Wipe() const {
        fs::remove_all(Root());
        fs::create_directories(Root() + "/drive_c");
        fs::create_directories(Root() + "/Desktop");
    }

    // Starts the installation; the caller waits for it or kills it.
    pid_t Start(bool resume) const {
        std::vector<std::string> args = {LUNARO_INSTALLER_PROGRAM, "--very-silent", "--mode=full",
                                         "--base-url=" + baseUrl_, "--drive-c=" + Root() + "/drive_c",
                                         "--log=" + root_ + "/install.log", "--retries=0"};
        if (resume) args.push_back("--resume");
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const std::string desktop = Root() + "/Desktop";
        // The demo server hands out the stand-in engine that unpacks.
        const std::string engineDigest = FileSha256(LUNARO_UNPACKING_ENGINE).value_or("");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("XDG_DESKTOP_DIR", desktop.c_str(), 1);
            ::setenv(kEngineDigestVariable, engineDigest.c_str(), 1);
            ::execv(LUNARO_INSTALLER_PROGRAM, argv.data());
            ::_exit(127);
        }
        return pid;
    }

    // The exit code, or -1 when it ran past the limit (it is then killed).
    static int Wait(pid_t pid) {
        const auto deadline = Clock::now() + kRunLimit;
        int status = 0;
        while (Clock::now() < deadline) {
            if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        Kill(pid);
        return -1;
    }

    static void Kill(pid_t pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }

    int Run(bool resume) const { return Wait(Start(resume)); }

    // Kills the installation once `files` files have their final name, or
    // once `after` has passed, whichever comes first, plus `extra`.
    void RunAndKill(int files, std::chrono::microseconds after, std::chrono::microseconds extra) const {
        const pid_t pid = Start(false);
        const auto deadline = Clock::now() + after;
        int status = 0;
        while (Clock::now() < deadline && FinishedFiles(Root()) < files) {
            if (::waitpid(pid, &status, WNOHANG) == pid) return;  // finished before the kill point
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::this_thread::sleep_for(extra);
        Kill(pid);
    }

private:
    std::string root_;
    std::string baseUrl_;
};

unsigned KillSeed() {
    if (const char* seed = std::getenv("LUNARO_KILL_SEED")) return static_cast<unsigned>(std::strtoul(seed, nullptr, 10));
    return std::random_device{}();
}

// Adds an incompressible member to the bulky packages, stored as it is.
bool AddBulk(const std::string& packages, const std::string& work) {
    std::mt19937 bytes(7);
    std::string bulk(kBulkBytes, '\0');
    for (char& c : bulk) c = static_cast<char>(bytes());
    testkit::WriteFile(work + "/dados.bin", bulk);
    for (const char* package : kBulkyPackages) {
        const std::string add = "cd '" + work + "' && zip -q -0 '" + packages + "/" + package + "' dados.bin";
        if (std::system(add.c_str()) != 0) return false;
    }
    return true;
}

TEST(KilledInstallation, ResumeEndsWithTheTreeOfACleanInstallation) {
    testkit::TempDir dir;
    testkit::DemoServer server(dir.Path(), kServedSlowly);
    LUNARO_REQUIRE_PEER(server.Running(), server.Error());
    ASSERT_TRUE(AddBulk(server.PackagesFolder(), dir.Path()));
    const Machine machine(dir.Path(), server.BaseUrl());

    machine.Wipe();
    const auto started = Clock::now();
    ASSERT_EQ(machine.Run(false), kExitSuccess) << testkit::ReadFile(dir.File("install.log"));
    const auto cleanTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
    const Tree clean = Snapshot(machine.Root());
    const int cleanFiles = FinishedFiles(machine.Root());
    ASSERT_GT(cleanFiles, 0);

    const unsigned seed = KillSeed();
    std::printf("kill points from LUNARO_KILL_SEED=%u, clean run %ld us\n", seed, static_cast<long>(cleanTime.count()));
    std::mt19937 random(seed);
    int midTransfer = 0;
    for (int point = 0; point < kKillPoints; ++point) {
        // Half the points fall anywhere in the run; the other half just as
        // a file takes its final name, where the mark is rewritten.
        const bool atAFile = point % 2 == 1;
        const int files = atAFile ? std::uniform_int_distribution<int>(1, cleanFiles)(random) : cleanFiles + 1;
        const auto after = atAFile ? kRunLimit : std::chrono::microseconds(std::uniform_int_distribution<long>(
                                                     0, static_cast<long>(cleanTime.count()))(random));
        const auto extra = std::chrono::microseconds(atAFile ? std::uniform_int_distribution<long>(0, 3000)(random) : 0);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", kill point " + std::to_string(point) + ": " +
                     (atAFile ? "file " + std::to_string(files) + " + " + std::to_string(extra.count()) + " us"
                              : std::to_string(after.count()) + " us"));

        machine.Wipe();
        machine.RunAndKill(files, after, extra);
        const Tree killed = Snapshot(machine.Root());
        for (const auto& entry : killed)
            if (entry.first.ends_with(".part")) ++midTransfer;
        const int resumed = machine.Run(true);
        // A run killed after its last step left nothing to continue.
        if (resumed == kExitRefused) EXPECT_EQ(killed, clean) << Differences(clean, killed);
        else EXPECT_EQ(resumed, kExitSuccess) << testkit::ReadFile(dir.File("install.log"));
        const Tree resumedTree = Snapshot(machine.Root());
        EXPECT_TRUE(resumedTree == clean) << Differences(clean, resumedTree);
        if (HasFailure()) break;
    }
    std::printf("%d of %d kills cut a transfer\n", midTransfer, kKillPoints);
}

}  // namespace
}  // namespace lunaro::app
