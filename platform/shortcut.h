#pragma once
// Shortcuts to programs. The shell-link object of the platform the system was
// written for is replaced by a desktop launcher file: "Name.lnk" is saved as
// "Name.desktop" with the mapped target as the program to run and the mapped
// working folder as its folder, made executable so desktops offer to run it.
#include <string>

namespace lunaro::platform {

class TShellLink {
public:
    // The program, Windows-style or host path.
    void SetPath(const std::string& target) { target_ = target; }
    // Command-line text, split with the Windows quoting rules.
    void SetArguments(const std::string& arguments) { arguments_ = arguments; }
    void SetWorkingDirectory(const std::string& folder) { workingDirectory_ = folder; }
    void SetDescription(const std::string& description) { description_ = description; }
    void SetIconLocation(const std::string& iconFile) { icon_ = iconFile; }

    // The launcher file that Save writes for a link file name: the host path
    // with a final ".lnk" (any case) replaced by ".desktop", or ".desktop"
    // appended when the name ends otherwise.
    static std::string LauncherPath(const std::string& linkFile);

    // Writes the launcher atomically, mode 0755. Its folder is not created.
    // False (errno set) when the file cannot be written or no target is set.
    bool Save(const std::string& linkFile) const;

private:
    std::string LauncherText(const std::string& name) const;

    std::string target_;
    std::string arguments_;
    std::string workingDirectory_;
    std::string description_;
    std::string icon_;
};

}  // namespace lunaro::platform
