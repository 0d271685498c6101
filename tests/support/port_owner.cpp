#include "tests/support/port_owner.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/test_support.h"

namespace lunaro::testkit {

namespace {

constexpr const char* kListenState = "0A";

// Inodes of the sockets listening on port, from one of the kernel's tables
// ("sl local_address rem_address st ... inode", addresses as HEX:HEXPORT).
void AddListeners(const char* table, int port, std::set<std::string>& inodes) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);  // the column titles
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode))
            continue;
        const std::size_t colon = local.rfind(':');
        if (colon == std::string::npos || state != kListenState) continue;
        if (std::strtol(local.c_str() + colon + 1, nullptr, 16) == port) inodes.insert(inode);
    }
}

// The process group of pid, from /proc/PID/stat ("pid (comm) state ppid pgrp ..."),
// or -1. The command name may hold spaces and parentheses: fields count
// from the last ')'.
pid_t GroupOf(const std::string& pid) {
    const std::string stat = ReadFile("/proc/" + pid + "/stat");
    const std::size_t end = stat.rfind(')');
    if (end == std::string::npos) return -1;
    std::istringstream rest(stat.substr(end + 1));
    std::string state;
    long parent = 0, group = -1;
    if (!(rest >> state >> parent >> group)) return -1;
    return static_cast<pid_t>(group);
}

bool HoldsSocket(const std::string& pid, const std::set<std::string>& inodes) {
    const std::string folder = "/proc/" + pid + "/fd";
    DIR* fds = ::opendir(folder.c_str());
    if (fds == nullptr) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(fds)) {
        char target[64];
        const ssize_t length = ::readlink((folder + "/" + entry->d_name).c_str(), target, sizeof target - 1);
        if (length <= 0) continue;
        const std::string link(target, static_cast<std::size_t>(length));
        // "socket:[INODE]"
        if (link.starts_with("socket:[") && inodes.count(link.substr(8, link.size() - 9)) != 0) {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

}  // namespace

bool GroupListensOn(pid_t group, int port) {
    std::set<std::string> inodes;
    AddListeners("/proc/net/tcp", port, inodes);
    AddListeners("/proc/net/tcp6", port, inodes);
    if (inodes.empty()) return false;
    DIR* processes = ::opendir("/proc");
    if (processes == nullptr) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(processes)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (GroupOf(pid) == group && HoldsSocket(pid, inodes)) {
            found = true;
            break;
        }
    }
    ::closedir(processes);
    return found;
}

}  // namespace lunaro::testkit
