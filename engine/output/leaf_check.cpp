#include "engine/output/leaf_check.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace lunaro::engine {

TExisting LookAtName(int folderFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return TExisting{errno == ENOENT ? TExisting::None : TExisting::Other, 0, 0};
    }
    if (S_ISREG(st.st_mode)) return TExisting{TExisting::File, st.st_size, st.st_mtim.tv_sec};
    if (S_ISDIR(st.st_mode)) return TExisting{TExisting::Folder, 0, st.st_mtim.tv_sec};
    return TExisting{TExisting::Other, 0, 0};
}

bool NameTakesFile(int folderFd, const std::string& name, std::string& error) {
    switch (LookAtName(folderFd, name).Kind) {
    case TExisting::None:
    case TExisting::File:
        return true;
    case TExisting::Folder:
        error = "\"" + name + "\" is a folder";
        return false;
    case TExisting::Other:
        break;
    }
    error = "\"" + name + "\" is a link or not a regular file";
    return false;
}

}  // namespace lunaro::engine
