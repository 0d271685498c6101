#include "ftpcli/ftp_cli_run.h"

#include <exception>
#include <string>

#include "download/http_reply_names.h"
#include "ftpcli/listing_rows.h"
#include "net/ftp/ftp_send.h"
#include "net/text_utils.h"
#include "platform/files.h"
#include "platform/printable_text.h"
#include "platform/stream.h"
#include "platform/string_list.h"

namespace lunaro::ftpcli {
namespace {

struct TFtpTarget {
    std::string Host;
    std::string Port;
    std::string User;
    std::string Pass;
    std::string Path;  // as the server is to see it, relative to the login folder
};

void Say(std::FILE* err, const std::string& text) {
    std::fprintf(err, "lunaro-ftp: %s\n", platform::PrintableText(text).c_str());
}

bool ReadTarget(const std::string& url, TFtpTarget& target, std::FILE* err) {
    if (url.rfind("ftp://", 0) != 0) {
        Say(err, "not an ftp:// URL: " + url);
        return false;
    }
    const net::TUrlParts parts = net::SplitUrl(url);
    target.Host = parts.Host;
    target.Port = parts.Port;
    target.User = net::PercentDecode(parts.User);
    target.Pass = net::PercentDecode(parts.Pass);
    target.Path = net::PercentDecode(parts.Path);
    if (!target.Path.empty() && target.Path[0] == '/') target.Path.erase(0, 1);
    return true;
}

void Configure(net::TFTPSend& ftp, const TFtpTarget& target, const TFtpCliOptions& options) {
    ftp.TargetHost = target.Host;
    ftp.TargetPort = target.Port;
    if (options.UserGiven) ftp.UserName = options.User;
    else if (!target.User.empty()) ftp.UserName = target.User;
    if (options.PassGiven) ftp.Password = options.Pass;
    else if (!target.Pass.empty()) ftp.Password = target.Pass;
    ftp.Timeout = options.TimeoutMs;
    ftp.Sock().ConnectionTimeout = options.TimeoutMs;
    ftp.DSock().ConnectionTimeout = options.TimeoutMs;
    ftp.PassiveMode = !options.Active;
    ftp.ForceOldPort = options.NoEpsv;
    ftp.TrustPasvAddress = options.TrustPasvAddress;
    ftp.FWHost = options.FwHost;
    ftp.FWPort = options.FwPort;
    ftp.FWUsername = options.FwUser;
    ftp.FWPassword = options.FwPass;
    ftp.FWMode = options.FwMode;
    ftp.UseMLSDList = options.Mlsd;
}

// After a failed step: the server's reply when it gave one (a refusal),
// else the connection's error.
int Failure(net::TFTPSend& ftp, std::FILE* err) {
    const int code = ftp.ResultCode();
    if (code >= 400) {
        for (int i = 0; i < ftp.FullResult().Count(); ++i) {
            std::fprintf(err, "%s\n", platform::PrintableText(ftp.FullResult()[i]).c_str());
        }
        return kExitRefused;
    }
    const net::TTCPBlockSocket& failed = ftp.DSock().LastError() != 0 ? ftp.DSock() : ftp.Sock();
    std::string reason = failed.LastError() != 0 ? failed.LastErrorDesc() : std::string();
    if (reason.empty()) reason = ftp.ResultString().empty() ? "no usable reply" : "reply: " + ftp.ResultString();
    Say(err, "connection failed: " + reason);
    return kExitFailed;
}

std::string RemoteBaseName(const std::string& path) { return download::LastPathSegment(path); }

int Get(net::TFTPSend& ftp, const TFtpTarget& target, const TFtpCliOptions& options, std::FILE* out, std::FILE* err) {
    // A name from the URL is reduced to a plain file name in the current folder.
    const std::string local = options.Operands.size() > 1 ? options.Operands[1] : RemoteBaseName(target.Path);
    if (local.empty()) {
        Say(err, "the URL names no file: give a local FILE");
        return kExitFailed;
    }
    const std::string part = local + ".part";
    if (!options.Resume) platform::DeleteFile(part);
    ftp.DirectFile = true;
    ftp.DirectFileName = part;
    if (!ftp.RetrieveFile(target.Path, options.Resume)) return Failure(ftp, err);
    if (!platform::RenameFile(part, local)) {
        Say(err, "cannot give " + part + " its name " + local);
        return kExitFailed;
    }
    std::fprintf(out, "%s\n", local.c_str());
    return kExitOk;
}

int Put(net::TFTPSend& ftp, const TFtpTarget& target, const TFtpCliOptions& options, std::FILE* err) {
    const std::string& local = options.Operands[0];
    if (!platform::FileExists(local)) {
        Say(err, "no such file: " + local);
        return kExitFailed;
    }
    std::string remote = target.Path;
    if (remote.empty() || remote.back() == '/') remote += RemoteBaseName(local);
    ftp.DirectFile = true;
    ftp.DirectFileName = local;
    const bool done = options.Append ? ftp.AppendFile(remote) : ftp.StoreFile(remote, options.Resume);
    return done ? kExitOk : Failure(ftp, err);
}

void PrintListing(const net::TFTPList& list, const TFtpCliOptions& options, std::FILE* out, std::FILE* err) {
    const std::string rows = ListingRows(list, options.Format);
    std::fwrite(rows.data(), 1, rows.size(), out);
    for (int i = 0; i < list.FUnparsedLines.Count(); ++i) {
        std::fprintf(err, "unparsed: %s\n", platform::PrintableText(list.FUnparsedLines[i]).c_str());
    }
}

int RunOnServer(net::TFTPSend& ftp, const TFtpTarget& target, const TFtpCliOptions& options, std::FILE* out,
                std::FILE* err) {
    const std::string& command = options.Command;
    if (command == "ls") {
        if (!ftp.List(target.Path, false)) return Failure(ftp, err);
        PrintListing(ftp.FtpList(), options, out, err);
        return kExitOk;
    }
    if (command == "get") return Get(ftp, target, options, out, err);
    if (command == "put") return Put(ftp, target, options, err);
    if (command == "size") {
        const int64_t size = ftp.FileSize(target.Path);
        if (size < 0) return Failure(ftp, err);
        std::fprintf(out, "%lld\n", static_cast<long long>(size));
        return kExitOk;
    }
    if (command == "pwd") {
        const std::string folder = ftp.GetCurrentDir();
        if (ftp.ResultCode() / 100 != 2) return Failure(ftp, err);
        std::fprintf(out, "%s\n", platform::PrintableText(folder).c_str());
        return kExitOk;
    }
    bool done = false;
    if (command == "mkdir") done = ftp.CreateDir(target.Path);
    else if (command == "rmdir") done = ftp.DeleteDir(target.Path);
    else if (command == "rm") done = ftp.DeleteFile(target.Path);
    else if (command == "mv") done = ftp.RenameFile(target.Path, options.Operands[1]);
    return done ? kExitOk : Failure(ftp, err);
}

int ParseSavedListing(const TFtpCliOptions& options, std::FILE* out, std::FILE* err) {
    const std::string& path = options.Operands[0];
    if (!platform::FileExists(path)) {
        Say(err, "no such file: " + path);
        return kExitFailed;
    }
    platform::TFileStream file(path, platform::fmOpenRead | platform::fmShareDenyNone);
    if (file.Size() > net::kMaxListingBytes) {
        Say(err, "listing larger than the limit of " + std::to_string(net::kMaxListingBytes) + " bytes");
        return kExitFailed;
    }
    net::TFTPList list;
    list.FLines.SetText(net::ReadTextFromStream(file, file.Size()));
    options.Mlsd ? list.ParseMLSDLines() : list.ParseLines();
    PrintListing(list, options, out, err);
    return kExitOk;
}

}  // namespace

int RunFtpCommand(const TFtpCliOptions& options, std::FILE* out, std::FILE* err) {
    try {
        if (options.Command == "parse-listing") return ParseSavedListing(options, out, err);
        TFtpTarget target;
        if (!ReadTarget(options.Operands[options.Command == "put" ? 1 : 0], target, err)) return kExitFailed;
        net::TFTPSend ftp;
        Configure(ftp, target, options);
        if (!ftp.Login()) return Failure(ftp, err);
        const int status = RunOnServer(ftp, target, options, out, err);
        ftp.Logout();
        return status;
    } catch (const std::exception& error) {
        Say(err, error.what());
        return kExitFailed;
    }
}

}  // namespace lunaro::ftpcli
