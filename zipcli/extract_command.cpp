#include "zipcli/extract_command.h"

#include <string>

#include "zipcli/command_run.h"

namespace lunaro::zipcli {

namespace {

using archive::TZKSkipTypes;

class TExtractRun : public TCommandRun {
public:
    TExtractRun(const ExtractRequest& request, std::FILE* err)
        : TCommandRun(request.archive, request.engine, err), request_(request) {}

    int Run();

private:
    void Configure();

    const ExtractRequest& request_;
    bool overwriteAll_ = false;
    bool overwriteNone_ = false;
    bool passwordAsked_ = false;
};

void TExtractRun::Configure() {
    archive::TZKSettings& s = Settings();
    s.ExtrBaseDir = request_.testOnly ? "" : (request_.destination.empty() ? CurrentFolder() : request_.destination);
    if (request_.keepFolders) s.ExtrOptions.Include(archive::TZKExtrOptsEnum::ExtrDirNames);
    if (request_.overwrite == OverwriteMode::Always) s.ExtrOptions.Include(archive::TZKExtrOptsEnum::ExtrOverWrite);
    if (request_.testOnly) s.ExtrOptions.Include(archive::TZKExtrOptsEnum::ExtrTest);
    if (request_.password) s.Password = *request_.password;
    s.FSpecArgs = request_.specs.empty() ? std::vector<std::string>{"*.*"} : request_.specs;
    s.FSpecArgsExcl = request_.excludes;

    archive::TZKMaster& master = Master();
    master.OnSkipped = [this](archive::TZKMaster&, const std::string& name, TZKSkipTypes type, int& extError) {
        EngineSeen();
        const bool chosen = (type == TZKSkipTypes::stNoOverwrite || type == TZKSkipTypes::stFileExists) &&
                            (request_.overwrite == OverwriteMode::Never || overwriteNone_ || CanAsk());
        if (chosen) return;  // the user asked to keep the file
        Report(name, SkipText(type, extError));
    };
    master.OnCRC32Error = [this](archive::TZKMaster&, const std::string& name, uint32_t found, uint32_t expected,
                                 bool& doExtract) {
        EngineSeen();
        doExtract = false;
        char text[80];
        std::snprintf(text, sizeof text, "CRC error (found %08x, expected %08x)", found, expected);
        Report(name, text);
    };
    // Without a handler a wrong or missing password only skips the entry;
    // on a terminal the user may type one.
    master.OnPasswordError = [this](archive::TZKMaster&, bool, std::string& password, const std::string& name,
                                    uint32_t&, archive::TMsgDlgBtn& action) {
        EngineSeen();
        if (request_.password || passwordAsked_ || !CanAsk()) {
            action = archive::TMsgDlgBtn::mbCancel;
            return;
        }
        Bar().Finish();
        password = AskPassword(name);
        passwordAsked_ = password.empty();
        if (password.empty()) action = archive::TMsgDlgBtn::mbCancel;
    };
    if (request_.overwrite != OverwriteMode::Always) {
        master.OnExtractOverwrite = [this](archive::TZKMaster&, const std::string& name, bool, bool& doOverwrite,
                                           int) {
            EngineSeen();
            doOverwrite = false;
            if (request_.overwrite == OverwriteMode::Never || overwriteNone_ || !CanAsk()) return;
            if (overwriteAll_) {
                doOverwrite = true;
                return;
            }
            Bar().Finish();
            switch (AskOverwrite(name)) {
                case Answer::Yes: doOverwrite = true; break;
                case Answer::No: break;
                case Answer::All: overwriteAll_ = doOverwrite = true; break;
                case Answer::None: overwriteNone_ = true; break;
            }
        };
    }
}

int TExtractRun::Run() {
    Configure();
    return Execute(false, [this] {
        // A name given on the command line that selects nothing is a
        // failure of its own.
        CheckSpecsMatch(request_.specs);
        Opr().Extract();
    });
}

}  // namespace

int RunExtract(const ExtractRequest& request, std::FILE* out, std::FILE* err) {
    CatchInterrupts();
    TExtractRun run(request, err);
    const int status = run.Run();
    std::fflush(out);
    return status;
}

}  // namespace lunaro::zipcli
