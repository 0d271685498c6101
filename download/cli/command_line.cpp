#include "download/cli/command_line.h"

#include <charconv>
#include <limits>

#include "download/cli/ftp_settings.h"
#include "platform/text_case.h"

namespace lunaro::download::cli {

namespace {

// Splits "--key=value"; false for an argument that is not an option.
bool SplitOption(const std::string& arg, std::string& key, std::string& value) {
    if (!arg.starts_with("--")) return false;
    const size_t equals = arg.find('=');
    key = arg.substr(0, equals);
    value = equals == std::string::npos ? std::string() : arg.substr(equals + 1);
    return true;
}

std::string ParseProxy(const std::string& value, TDownloadOptions& options) {
    const size_t colon = value.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == value.size()) {
        return "--proxy needs HOST:PORT";
    }
    std::string host = value.substr(0, colon);
    if (host.starts_with('[') && host.ends_with(']')) host = host.substr(1, host.size() - 2);
    const std::string port = value.substr(colon + 1);
    unsigned number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (host.empty() || error != std::errc() || end != port.data() + port.size() || number == 0 || number > 65535) {
        return "--proxy needs HOST:PORT with a port from 1 to 65535";
    }
    options.ProxyHost = host;
    options.ProxyPort = port;
    return "";
}

std::string ParseTimeout(const std::string& value, TDownloadOptions& options) {
    int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number < 1 ||
        number > std::numeric_limits<int32_t>::max()) {
        return "--timeout needs a number of milliseconds from 1 to 2147483647";
    }
    options.TimeoutMs = static_cast<int32_t>(number);
    return "";
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

std::string CheckUrl(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) return "";
    const std::string upper = platform::AsciiUpperCase(url.substr(0, scheme));
    if (upper == "HTTP" || upper == "HTTPS" || upper == "FTP") return "";
    return "only http:// and ftp:// addresses can be downloaded, not " + url.substr(0, scheme) + "://";
}

// Options of one protocol are refused for the other rather than ignored.
std::string CheckProtocolOptions(const TDownloadOptions& options) {
    if (IsFtpUrl(options.Url)) {
        if (!options.ProxyHost.empty()) return "--proxy works only for http:// addresses";
        return "";
    }
    if (!options.FtpUser.empty() || !options.FtpPass.empty()) {
        return "--ftp-user and --ftp-pass work only for ftp:// addresses";
    }
    return "";
}

std::string ApplyOption(const std::string& key, const std::string& value, bool hasValue, TDownloadOptions& options) {
    if (key == "--help") {
        options.Help = true;
        return "";
    }
    if (std::optional<std::string> problem = ApplyTransferOption(key, value, hasValue, options.Transfer)) {
        return *problem;
    }
    if (!hasValue || value.empty()) return key + " needs a value (" + key + "=...)";
    if (key == "--name") {
        if (!IsPlainFileName(value)) return "--name takes a plain file name, without folders";
        options.Name = value;
        return "";
    }
    if (key == "--proxy") return ParseProxy(value, options);
    if (key == "--proxy-user") {
        options.ProxyUser = value;
        return "";
    }
    if (key == "--proxy-pass") {
        options.ProxyPass = value;
        return "";
    }
    if (key == "--timeout") return ParseTimeout(value, options);
    if (key == "--ftp-user") {
        options.FtpUser = value;
        return "";
    }
    if (key == "--ftp-pass") {
        options.FtpPass = value;
        return "";
    }
    return "unknown option " + key;
}

}  // namespace

std::string ParseCommandLine(const std::vector<std::string>& args, TDownloadOptions& options) {
    std::vector<std::string> positional;
    for (const std::string& arg : args) {
        if (arg == "-h") {
            options.Help = true;
            continue;
        }
        std::string key;
        std::string value;
        if (!SplitOption(arg, key, value)) {
            positional.push_back(arg);
            continue;
        }
        const std::string problem = ApplyOption(key, value, arg.find('=') != std::string::npos, options);
        if (!problem.empty()) return problem;
    }
    if (options.Help) return "";
    if (positional.size() != 2) return "expected a URL and a folder";
    if (positional[0].empty() || positional[1].empty()) return "the URL and the folder must not be empty";
    options.Url = positional[0];
    options.Folder = positional[1];
    if (std::string problem = CheckUrl(options.Url); !problem.empty()) return problem;
    if (options.ProxyHost.empty() && (!options.ProxyUser.empty() || !options.ProxyPass.empty())) {
        return "--proxy-user and --proxy-pass need --proxy";
    }
    if (options.ProxyUser.empty() && !options.ProxyPass.empty()) return "--proxy-pass needs --proxy-user";
    if (std::string problem = CheckProtocolOptions(options); !problem.empty()) return problem;
    return CheckTransferOptions(options.Transfer);
}

std::string UsageText() {
    return "Usage: lunaro-download URL FOLDER [options]\n"
           "\n"
           "Downloads URL (http://, https:// or ftp://[USER[:PASS]@]HOST[:PORT]/PATH)\n"
           "into FOLDER, which is created when missing.\n"
           "While the transfer runs the file is FOLDER/NAME.part; it takes its final\n"
           "name NAME only when the whole file has arrived, replacing an older NAME.\n"
           "When FOLDER/NAME.part is already there (an interrupted earlier run), only\n"
           "the missing bytes are asked for and appended to it.\n"
           "\n"
           "Options:\n"
           "  --name=NAME        save as NAME instead of the last part of the URL\n"
           "  --proxy=HOST:PORT  go through this HTTP proxy\n"
           "  --proxy-user=U     user name for the proxy (with --proxy-pass=P)\n"
           "  --proxy-pass=P     password for the proxy\n"
           "  --timeout=MS       give up when the server is silent this long\n"
           "                     (milliseconds, default 90000)\n"
           "  --speed-limit=N    with --speed-time=S: give up when fewer than N bytes\n"
           "                     a second arrived over the last S seconds\n"
           "  --max-time=S       give up when the transfer takes longer than S seconds\n"
           "  --cacert=FILE      trust the CA certificates in FILE (PEM) for https://\n"
           "  --insecure         accept any certificate for https:// (no verification)\n"
           "  --ftp-user=U       FTP user name (instead of the URL's; default anonymous)\n"
           "  --ftp-pass=P       FTP password (instead of the URL's)\n"
           "  --help             show this text\n"
           "\n"
           "Without --proxy, the environment's http_proxy or https_proxy (or their\n"
           "upper-case forms) is used unless no_proxy (NO_PROXY) lists the host.\n"
           "\n"
           "Progress goes to standard error: a bar on a terminal, plain lines\n"
           "otherwise. Exit status: 0 when the file is in place, 1 when the download\n"
           "failed (the reason is printed; a partial file is kept for the next run),\n"
           "2 for a wrong command line.\n";
}

}  // namespace lunaro::download::cli
