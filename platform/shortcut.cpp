#include "platform/shortcut.h"

#include <cerrno>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text_case.h"

namespace lunaro::platform {

namespace {

constexpr std::string_view kLinkExtension = ".lnk";
constexpr std::string_view kLauncherExtension = ".desktop";

// The escapes every string value of a launcher file needs.
std::string EscapedValue(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c == ' ' && i == 0) out += "\\s";
        else out += c;
    }
    return out;
}

// One program argument in the launcher's command syntax: always quoted, with
// the characters that stay special inside quotes escaped, and '%' doubled so
// it is never taken for a field code.
std::string QuotedArgument(std::string_view argument) {
    std::string out = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    return out + "\"";
}

bool EndsWithLinkExtension(const std::string& name) {
    return name.size() >= kLinkExtension.size() &&
           SameTextAscii(std::string_view(name).substr(name.size() - kLinkExtension.size()), kLinkExtension);
}

}  // namespace

std::string TShellLink::LauncherPath(const std::string& linkFile) {
    std::string path = HostPath(linkFile);
    if (EndsWithLinkExtension(path)) path.resize(path.size() - kLinkExtension.size());
    if (path.size() < kLauncherExtension.size() ||
        path.compare(path.size() - kLauncherExtension.size(), kLauncherExtension.size(), kLauncherExtension) != 0)
        path += kLauncherExtension;
    return path;
}

std::string TShellLink::LauncherText(const std::string& name) const {
    std::string exec = QuotedArgument(HostPath(target_));
    for (const std::string& argument : SplitCommandLine(arguments_)) exec += " " + QuotedArgument(argument);

    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
    text += "Name=" + EscapedValue(name) + "\n";
    if (!description_.empty()) text += "Comment=" + EscapedValue(description_) + "\n";
    text += "Exec=" + EscapedValue(exec) + "\n";
    if (!workingDirectory_.empty()) text += "Path=" + EscapedValue(HostPath(workingDirectory_)) + "\n";
    if (!icon_.empty()) text += "Icon=" + EscapedValue(HostPath(icon_)) + "\n";
    text += "Terminal=false\n";
    return text;
}

bool TShellLink::Save(const std::string& linkFile) const {
    if (target_.empty() || linkFile.empty()) {
        errno = EINVAL;
        return false;
    }
    const std::string path = LauncherPath(linkFile);
    std::string name = ExtractFileName(path);
    name.resize(name.size() - kLauncherExtension.size());
    if (name.empty()) {
        errno = EINVAL;
        return false;
    }
    return ReplaceFileAtomically(path, LauncherText(name), 0755);
}

}  // namespace lunaro::platform
