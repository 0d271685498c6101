#include "zipcli/extract_command.h"

#include <unistd.h>

#include <csignal>
#include <set>
#include <string>

#include "archive/directory/fn_match.h"
#include "archive/driver/dll_opr.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/files.h"
#include "zipcli/terminal.h"

namespace lunaro::zipcli {

namespace {

using archive::TZKSkipTypes;

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

const char* SkipReason(TZKSkipTypes type) {
    switch (type) {
        case TZKSkipTypes::stOnFreshen: return "no older file to freshen";
        case TZKSkipTypes::stNoOverwrite: return "exists, not overwritten";
        case TZKSkipTypes::stFileExists: return "file exists";
        case TZKSkipTypes::stBadPassword: return "wrong or missing password";
        case TZKSkipTypes::stBadName: return "unsafe name";
        case TZKSkipTypes::stCompressionUnknown: return "unknown compression method";
        case TZKSkipTypes::stUnknownZipHost: return "unknown host system";
        case TZKSkipTypes::stZipFileFormatWrong: return "damaged entry";
        case TZKSkipTypes::stGeneralExtractError: return "extract error";
        case TZKSkipTypes::stUser: return "skipped on request";
        case TZKSkipTypes::stCannotDo: return "cannot be done";
        case TZKSkipTypes::stNotFound: return "not found";
        case TZKSkipTypes::stNoShare: return "file in use";
        case TZKSkipTypes::stNoAccess: return "access denied";
        case TZKSkipTypes::stNoOpen: return "cannot open";
        case TZKSkipTypes::stDupName: return "duplicate name";
        case TZKSkipTypes::stReadError: return "read error";
        case TZKSkipTypes::stSizeChange: return "size changed";
    }
    return "skipped";
}

// Message texts carry CR LF line breaks; a terminal wants one line.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        out.push_back(c == '\n' ? ' ' : c);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string CurrentFolder() {
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

// An engine path given on the command line is the user's, relative to
// where the user stands, not to the program's folder.
std::string AbsoluteEngine(const std::string& path) {
    return path.empty() || path[0] == '/' ? path : CurrentFolder() + "/" + path;
}

class TExtractRun {
public:
    TExtractRun(const ExtractRequest& request, std::FILE* err)
        : request_(request), err_(err), bar_(err), opr_(master_) {}

    int Run();

private:
    void Configure();
    void Report(const std::string& name, const std::string& reason);
    bool CheckSpecsMatch();
    int Verdict();

    const ExtractRequest& request_;
    std::FILE* err_;
    TProgressBar bar_;
    archive::TZKMaster master_;
    archive::TZKDLLOpr opr_;
    std::set<std::string> failed_;
    bool engineCalled_ = false;
    bool overwriteAll_ = false;
    bool overwriteNone_ = false;
    bool passwordAsked_ = false;
};

void TExtractRun::Report(const std::string& name, const std::string& reason) {
    bar_.Finish();
    std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(name).c_str(), Printable(reason).c_str());
    failed_.insert(name);
}

void TExtractRun::Configure() {
    archive::TZKSettings& s = master_.Settings;
    s.Unattended = true;  // messages come back as text, never as boxes
    s.NoSkipping = {};    // every entry is tried; each failure is named
    s.DLLDirectory = request_.engine.empty() ? "." : AbsoluteEngine(request_.engine);
    s.ExtrBaseDir = request_.testOnly ? "" : (request_.destination.empty() ? CurrentFolder() : request_.destination);
    if (request_.keepFolders) s.ExtrOptions.Include(archive::TZKExtrOptsEnum::ExtrDirNames);
    if (request_.overwrite == OverwriteMode::Always) s.ExtrOptions.Include(archive::TZKExtrOptsEnum::ExtrOverWrite);
    if (request_.testOnly) s.ExtrOptions.Include(archive::TZKExtrOptsEnum::ExtrTest);
    if (request_.password) s.Password = *request_.password;
    s.FSpecArgs = request_.specs.empty() ? std::vector<std::string>{"*.*"} : request_.specs;
    s.FSpecArgsExcl = request_.excludes;

    master_.OnProgress = [this](archive::TZKMaster&, const archive::TZKProgressDetails& details) {
        engineCalled_ = true;
        bar_.Update(details.TotalPosition(), details.TotalSize());
    };
    master_.OnCheckTerminate = [](archive::TZKMaster&, bool& abort) {
        if (g_interrupted) abort = true;
    };
    master_.OnSkipped = [this](archive::TZKMaster&, const std::string& name, TZKSkipTypes type, int& extError) {
        engineCalled_ = true;
        const bool chosen = (type == TZKSkipTypes::stNoOverwrite || type == TZKSkipTypes::stFileExists) &&
                            (request_.overwrite == OverwriteMode::Never || overwriteNone_ || CanAsk());
        if (chosen) return;  // the user asked to keep the file
        std::string reason = std::string("skipped: ") + SkipReason(type);
        const int ident = extError < 0 ? -extError : extError;
        if (ident != 0 && ident != archive::msg::SkippingNotAllowed)
            reason += " (" + OneLine(opr_.ZipLoadStr(ident)) + ")";
        Report(name, reason);
    };
    master_.OnCRC32Error = [this](archive::TZKMaster&, const std::string& name, uint32_t found, uint32_t expected,
                                  bool& doExtract) {
        engineCalled_ = true;
        doExtract = false;
        char text[80];
        std::snprintf(text, sizeof text, "CRC error (found %08x, expected %08x)", found, expected);
        Report(name, text);
    };
    // Without a handler a wrong or missing password only skips the entry;
    // on a terminal the user may type one.
    master_.OnPasswordError = [this](archive::TZKMaster&, bool, std::string& password, const std::string& name,
                                     uint32_t&, archive::TMsgDlgBtn& action) {
        engineCalled_ = true;
        if (request_.password || passwordAsked_ || !CanAsk()) {
            action = archive::TMsgDlgBtn::mbCancel;
            return;
        }
        bar_.Finish();
        password = AskPassword(name);
        passwordAsked_ = password.empty();
        if (password.empty()) action = archive::TMsgDlgBtn::mbCancel;
    };
    if (request_.overwrite != OverwriteMode::Always) {
        master_.OnExtractOverwrite = [this](archive::TZKMaster&, const std::string& name, bool, bool& doOverwrite,
                                            int) {
            engineCalled_ = true;
            doOverwrite = false;
            if (request_.overwrite == OverwriteMode::Never || overwriteNone_ || !CanAsk()) return;
            if (overwriteAll_) {
                doOverwrite = true;
                return;
            }
            bar_.Finish();
            switch (AskOverwrite(name)) {
                case Answer::Yes: doOverwrite = true; break;
                case Answer::No: break;
                case Answer::All: overwriteAll_ = doOverwrite = true; break;
                case Answer::None: overwriteNone_ = true; break;
            }
        };
    }
}

// A name given on the command line that selects nothing is a failure of its own.
bool TExtractRun::CheckSpecsMatch() {
    archive::TZKCenDir& directory = opr_.CentralDir();
    bool all = true;
    for (const std::string& spec : request_.specs) {
        const archive::TFNPattern pattern(spec);
        bool found = false;
        for (int i = 0; i < directory.Count() && !found; ++i)
            if (archive::TZKCentralEntry* entry = directory.Items(i)) found = pattern.Matches(entry->FileName());
        if (!found) {
            Report(spec, "no entry matches");
            all = false;
        }
    }
    return all;
}

int TExtractRun::Verdict() {
    bar_.Finish();
    if (g_interrupted) {
        std::fprintf(err_, "lunaro-zip: %s: interrupted\n", Printable(request_.archive).c_str());
        return opr_.SuccessCnt() > 0 ? kExitSomeFailed : kExitNothingDone;
    }
    const int code = opr_.ErrCode();
    if (code != 0) {
        std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(request_.archive).c_str(),
                     Printable(OneLine(opr_.ErrMessage())).c_str());
        // Failures before the engine ran (no engine, no destination, an
        // unreadable archive) or an engine that extracted nothing at all.
        if (!engineCalled_ || (opr_.SuccessCnt() == 0 && failed_.empty())) return kExitNothingDone;
        return kExitSomeFailed;
    }
    return failed_.empty() ? kExitAllDone : kExitSomeFailed;
}

int TExtractRun::Run() {
    Configure();
    opr_.StartUp();
    if (opr_.Set_ZipFileName(request_.archive, archive::TZipLoadOpts::zloFull) < 0) {
        std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(request_.archive).c_str(),
                     Printable(OneLine(opr_.ErrMessage())).c_str());
        opr_.Done(false);
        return kExitNothingDone;
    }
    CheckSpecsMatch();
    try {
        opr_.Extract();
    } catch (const std::exception& e) {  // not the component's own: nothing more can be done
        bar_.Finish();
        std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(request_.archive).c_str(), Printable(e.what()).c_str());
        opr_.Done(false);
        return kExitNothingDone;
    }
    const int verdict = Verdict();
    opr_.Done(verdict == kExitAllDone);
    return verdict;
}

}  // namespace

int RunExtract(const ExtractRequest& request, std::FILE* out, std::FILE* err) {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    TExtractRun run(request, err);
    const int status = run.Run();
    std::fflush(out);
    return status;
}

}  // namespace lunaro::zipcli
