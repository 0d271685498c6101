#pragma once
// What every lunaro-zip command that runs the engine shares: an operation
// object over a bare component, unattended and with every entry tried, the
// progress bar, stopping on SIGINT or SIGTERM, each skipped or failed name
// on err with its reason, and the exit status.
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "archive/driver/dll_opr.h"
#include "zipcli/terminal.h"

namespace lunaro::zipcli {

inline constexpr int kExitAllDone = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitNothingDone = 2;

// Makes SIGINT and SIGTERM ask the running engine to stop.
void CatchInterrupts();

std::string CurrentFolder();

// Message texts carry CR LF line breaks; a terminal wants one line.
std::string OneLine(const std::string& text);

class TCommandRun {
public:
    // engine: "" for the driver's own search beside the program.
    TCommandRun(const std::string& archive, const std::string& engine, std::FILE* err);
    virtual ~TCommandRun() = default;
    TCommandRun(const TCommandRun&) = delete;
    TCommandRun& operator=(const TCommandRun&) = delete;

protected:
    // Reads the archive's directory, then runs body (which calls the
    // engine through opr_); the exit status. A missing archive stops the
    // run unless missingAllowed.
    int Execute(bool missingAllowed, const std::function<void()>& body);
    void Report(const std::string& name, const std::string& reason);
    // "skipped: REASON (the engine's message)".
    std::string SkipText(archive::TZKSkipTypes type, int extError) const;
    // Names each spec that selects no entry; true when all select one.
    bool CheckSpecsMatch(const std::vector<std::string>& specs);
    // The entry exactly so named ('/' and '\' alike), or null.
    archive::TZKCentralEntry* FindEntry(const std::string& name);
    // Called from the engine's callbacks: the run got as far as the engine.
    void EngineSeen() { engineCalled_ = true; }

    archive::TZKSettings& Settings() { return master_.Settings; }
    archive::TZKMaster& Master() { return master_; }
    archive::TZKDLLOpr& Opr() { return opr_; }
    TProgressBar& Bar() { return bar_; }

private:
    int Verdict();

    std::string archive_;
    std::FILE* err_;
    TProgressBar bar_;
    archive::TZKMaster master_;
    archive::TZKDLLOpr opr_;
    std::set<std::string> failed_;
    bool engineCalled_ = false;
};

}  // namespace lunaro::zipcli
