#include "zipcli/command_run.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "archive/directory/fn_match.h"
#include "archive/messages/message_ids.h"

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

// An engine path given on the command line is the user's, relative to
// where the user stands, not to the program's folder.
std::string AbsoluteEngine(const std::string& path) {
    return path.empty() || path[0] == '/' ? path : CurrentFolder() + "/" + path;
}

std::string Slashed(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

}  // namespace

std::string CurrentFolder() {
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        out.push_back(c == '\n' ? ' ' : c);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

TCommandRun::TCommandRun(const std::string& archive, const std::string& engine, std::FILE* err)
    : archive_(archive), err_(err), bar_(err), opr_(master_) {
    archive::TZKSettings& s = master_.Settings;
    s.Unattended = true;  // messages come back as text, never as boxes
    s.NoSkipping = {};    // every entry is tried; each failure is named
    s.DLLDirectory = engine.empty() ? "." : AbsoluteEngine(engine);
    master_.OnProgress = [this](archive::TZKMaster&, const archive::TZKProgressDetails& details) {
        engineCalled_ = true;
        bar_.Update(details.TotalPosition(), details.TotalSize());
    };
    master_.OnCheckTerminate = [](archive::TZKMaster&, bool& abort) {
        if (g_interrupted) abort = true;
    };
    master_.OnSkipped = [this](archive::TZKMaster&, const std::string& name, TZKSkipTypes type, int& extError) {
        engineCalled_ = true;
        Report(name, SkipText(type, extError));
    };
}

void TCommandRun::Report(const std::string& name, const std::string& reason) {
    bar_.Finish();
    std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(name).c_str(), Printable(reason).c_str());
    failed_.insert(name);
}

std::string TCommandRun::SkipText(TZKSkipTypes type, int extError) const {
    std::string reason = std::string("skipped: ") + SkipReason(type);
    const int ident = extError < 0 ? -extError : extError;
    if (ident != 0 && ident != archive::msg::SkippingNotAllowed)
        reason += " (" + OneLine(opr_.ZipLoadStr(ident)) + ")";
    return reason;
}

bool TCommandRun::CheckSpecsMatch(const std::vector<std::string>& specs) {
    archive::TZKCenDir& directory = opr_.CentralDir();
    bool all = true;
    for (const std::string& spec : specs) {
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

archive::TZKCentralEntry* TCommandRun::FindEntry(const std::string& name) {
    archive::TZKCenDir& directory = opr_.CentralDir();
    const std::string wanted = Slashed(name);
    for (int i = 0; i < directory.Count(); ++i) {
        archive::TZKCentralEntry* entry = directory.Items(i);
        if (entry && Slashed(entry->FileName()) == wanted) return entry;
    }
    return nullptr;
}

int TCommandRun::Verdict() {
    bar_.Finish();
    if (g_interrupted) {
        std::fprintf(err_, "lunaro-zip: %s: interrupted\n", Printable(archive_).c_str());
        return opr_.SuccessCnt() > 0 ? kExitSomeFailed : kExitNothingDone;
    }
    const int code = opr_.ErrCode();
    if (code != 0) {
        std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(archive_).c_str(),
                     Printable(OneLine(opr_.ErrMessage())).c_str());
        // Failures before the engine ran (no engine, no destination, an
        // unreadable archive) or an engine that did nothing at all.
        if (!engineCalled_ || (opr_.SuccessCnt() == 0 && failed_.empty())) return kExitNothingDone;
        return kExitSomeFailed;
    }
    return failed_.empty() ? kExitAllDone : kExitSomeFailed;
}

int TCommandRun::Execute(bool missingAllowed, const std::function<void()>& body) {
    opr_.StartUp();
    const int loaded = opr_.Set_ZipFileName(archive_, archive::TZipLoadOpts::zloFull);
    if (loaded < 0 && !(missingAllowed && loaded == -archive::msg::InputFileMissing)) {
        std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(archive_).c_str(),
                     Printable(OneLine(opr_.ErrMessage())).c_str());
        opr_.Done(false);
        return kExitNothingDone;
    }
    try {
        body();
    } catch (const std::exception& e) {  // not the component's own: nothing more can be done
        bar_.Finish();
        std::fprintf(err_, "lunaro-zip: %s: %s\n", Printable(archive_).c_str(), Printable(e.what()).c_str());
        opr_.Done(false);
        return kExitNothingDone;
    }
    const int verdict = Verdict();
    opr_.Done(verdict == kExitAllDone);
    return verdict;
}

}  // namespace lunaro::zipcli
