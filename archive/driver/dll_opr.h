#pragma once
// The most derived layer of the operation object: it runs operations
// through the extraction engine. It builds the command record of each run,
// calls the engine through the process-wide loader and answers the
// engine's callbacks, turning them into the component's events and
// messages.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/directory/worker.h"
#include "archive/driver/answer_buffer.h"
#include "engine/abi/zip_engine_abi.h"
#include "platform/stream.h"

namespace lunaro::archive {

class TZKDLLLoader;

// A caller-supplied stream of a stream operation.
struct TZKPipe {
    platform::TStream* Stream = nullptr;
    std::string FileName;  // "" for an unnamed pipe
    TZKSStats Stats;
};

class TZKDLLOpr : public TZKWorker {
public:
    // The process-wide loader unless another one is given (tests).
    explicit TZKDLLOpr(TZKMaster& master, TZKDLLLoader* loader = nullptr);
    ~TZKDLLOpr() override;

    void StartUp() override;
    void Clear() override;
    void Kill() override;

    // Extracts (or tests) the entries of the archive selected by FSpecArgs
    // and FSpecArgsExcl into ExtrBaseDir. Reports its failures; raises only
    // what is not the component's own exception.
    void Extract();

    // Asks the engine to stop the running call.
    void AbortDLL();
    // The engine's private version as text; with load, a use is taken for
    // the question and given back.
    std::string DLL_Version(bool load);
    bool DLL_Load();
    void SetDLL_Load(bool value);
    std::string DLL_Path();
    int DLL_Build();

    const std::string& DLLDirectory() const { return fDLLDirectory; }
    void SetDLLDirectory(const std::string& directory) { fDLLDirectory = directory; }
    uint32_t DLLOperKey() const { return fDLLOperKey.load(); }

    // The settings of the running operation (taken at start-up; Password and
    // PasswordReqCount may change while it runs).
    std::string ExtrBaseDir;
    TZKExtrOpts ExtrOptions;
    std::string Password;
    uint32_t PasswordReqCount = 1;
    std::string RootDir;
    int AddCompLevel = 9;
    double AddFrom = 0;
    TZKAddStoreExts AddStoreSuffixes = DefaultAddStoreSuffixes();
    std::string ExtAddStoreList;  // ".abc:.def:"

    std::vector<TZKPipe> Pipes;
    platform::TMemoryStream ZipStream;
    // The one stream of a single-stream operation; it answers the engine's
    // identify, open and close requests before anyone else.
    struct AutoStream {
        platform::TStream* Stream = nullptr;
        TZKSStats Stats;
    } Automatic;

    // The command record of an extract run, as handed to the engine.
    std::unique_ptr<TDLLCommands> BuildExtractCommand(const std::string& target);
    const std::string& DLLTargetName() const { return fDLLTargetName; }

    // The engine's callbacks, reached through the C entry points below.
    int DispatchCallback(TZCallBackStruct& rec);
    int DispatchStream(TZStreamRec& rec);

protected:
    std::unique_ptr<TDLLCommands> BuildCommand(const std::string& target);
    // Runs the engine; its result, checked (a negative one raises).
    int ExecEngine(TDLLCommands& rec);

private:
    int HandleAction(int action, TZCallBackStruct& rec);
    int AnswerProgress(int action, TZCallBackStruct& rec);
    int AnswerMessage(TZCallBackStruct& rec);
    int AnswerPassword(TZCallBackStruct& rec);
    int AnswerSkipped(TZCallBackStruct& rec);
    int AnswerArg(TZCallBackStruct& rec);
    int AnswerAddName(TZCallBackStruct& rec);
    int AnswerComment(TZCallBackStruct& rec);
    int AnswerData(TZCallBackStruct& rec);
    int AnswerExtName(TZCallBackStruct& rec);
    int StreamRequest(TZStreamRec& rec);
    bool AskPassword(bool isAdd, std::string& password, int& response);
    void RunExtract();
    void PipesToSpecs();

    TZKDLLLoader& loader_;
    std::atomic<uint32_t> fDLLOperKey{0};
    std::string fDLLDirectory;
    std::string fDLLTargetName;
    bool fDidLoad = false;
    std::atomic<bool> fDestructing{false};
    TZKAnswerBuffer fAnswer;
};

// The entry points handed to the engine in the command record. They never
// let an exception through: a record that fails its check answers -5.
int32_t ZE_STDCALL ZCallbackFunc(TZCallBackStruct* rec);
int32_t ZE_STDCALL ZStreamFunc(TZStreamRec* rec);

}  // namespace lunaro::archive
