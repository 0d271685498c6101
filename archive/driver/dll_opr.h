#pragma once
// The most derived layer of the operation object: it runs operations
// through the extraction engine. It builds the command record of each run,
// calls the engine through the process-wide loader and answers the
// engine's callbacks, turning them into the component's events and
// messages.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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

// What one engine run does with the archive.
enum class TZKRunKind : uint8_t { Extract, Add, Delete, Rename, Comment };

using TZKRenameList = std::vector<std::pair<std::string, std::string>>;

class TZKDLLOpr : public TZKWorker, public TZKEngineSettings {
public:
    // The process-wide loader unless another one is given (tests).
    explicit TZKDLLOpr(TZKMaster& master, TZKDLLLoader* loader = nullptr);
    ~TZKDLLOpr() override;

    void StartUp() override;
    void Clear() override;
    void Kill() override;

    // Each run reports its failures and raises only what is not the
    // component's own exception. FSpecArgs is consumed only by a run that
    // called the engine; a run that changed the archive reads its directory
    // again.
    //
    // Extracts (or tests) the entries of the archive selected by FSpecArgs
    // and FSpecArgsExcl into ExtrBaseDir.
    void Extract();
    // Adds the files FSpecArgs names (relative to RootDir) and the pipes,
    // making the archive when it does not exist.
    void Add();
    // Adds ZipStream as the one entry FileName, with that DOS date-time (0:
    // now) and those attributes. FSpecArgs is left as it was.
    void AddStreamToFile(const std::string& FileName, uint32_t FileDate, uint32_t FileAttr);
    // Deletes the entries FSpecArgs selects and FSpecArgsExcl does not.
    void Delete();
    // Gives each entry named first the second name; a non-zero DOS date-time
    // is stamped on the renamed entries. FSpecArgs is left as it was.
    void Rename(const TZKRenameList& RenameList, uint32_t DateTime);
    // Rewrites the archive with this comment (raw bytes, at most 65535).
    void WriteComment(const std::string& comment);
    // Compresses length bytes of in into out with method (8 raw deflate at
    // AddCompLevel, 0 a copy), or expands in into out (8: raw deflate
    // within length bytes of input; 0: a copy of length bytes). A negative
    // length reads to the end of in. On success SuccessCnt is 1 and crc is
    // the CRC-32 of the uncompressed bytes; failures are reported.
    void Deflate(platform::TStream* out, platform::TStream* in, int64_t length, uint32_t method, uint32_t& crc);
    void Undeflate(platform::TStream* out, platform::TStream* in, int64_t length, uint32_t method, uint32_t& crc);

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

    // The settings of the running operation are the inherited engine
    // settings, taken at start-up (Password and PasswordReqCount may change
    // while it runs); the caller's extensions as the engine reads them:
    std::string ExtAddStoreList;  // ".abc:.def:"

    std::vector<TZKPipe> Pipes;
    platform::TMemoryStream ZipStream;
    // The one stream of a single-stream operation; it answers the engine's
    // identify, open and close requests before anyone else.
    struct AutoStream {
        platform::TStream* Stream = nullptr;
        TZKSStats Stats;
    } Automatic;

    // The command records, as handed to the engine.
    std::unique_ptr<TDLLCommands> BuildExtractCommand(const std::string& target);
    std::unique_ptr<TDLLCommands> BuildAddCommand(const std::string& target);
    std::unique_ptr<TDLLCommands> BuildDeleteCommand(const std::string& target);
    std::unique_ptr<TDLLCommands> BuildRenameCommand(const std::string& target, uint32_t dosDateTime);
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
    int HandBack(TZCallBackStruct& rec, bool changed, const std::string& text);
    int StreamRequest(TZStreamRec& rec);
    bool AskPassword(bool isAdd, std::string& password, int& response);
    // The frame of every run: it reports what the run raises.
    // prepare runs first inside the frame, so its failures are reported too.
    void Run(TZKRunKind kind, const std::function<void()>& prepare);
    void RunEngine(TZKRunKind kind, const std::function<void()>& prepare);
    // The checks before the engine is taken; false when the run stops
    // quietly (the reason is reported already).
    bool ReadyToExtract();
    bool ReadyToWrite(TZKRunKind kind);
    // The directory lists no entries, or only those read before damage.
    bool NeedsReread();
    // Reads the directory again when it needs it; false when that failed
    // (reported), a raise of emptyIdent when the archive has no entries.
    bool ReadEntries(int emptyIdent);
    std::unique_ptr<TDLLCommands> BuildRunCommand(TZKRunKind kind, const std::string& target);
    void RereadAfterWrite();
    void PipesToSpecs(bool adding);
    void RunStreams(bool compress, platform::TStream* out, platform::TStream* in, int64_t length, uint32_t method,
                    uint32_t& crc);

    // The patterns of a run that names its own entries, handed to the
    // engine in place of FSpecArgs.
    std::optional<std::vector<std::string>> fRunSpecs;
    uint32_t fRenameDate = 0;
    std::optional<std::string> fNewComment;  // the comment a comment run writes

    TZKDLLLoader& loader_;
    std::atomic<uint32_t> fDLLOperKey{0};
    std::string fDLLDirectory;
    std::string fDLLTargetName;
    bool fDidLoad = false;
    std::atomic<bool> fDestructing{false};
    TZKAnswerBuffer fAnswer;
};

// The one way into the operation object from the engine: a record that
// fails its check, or names no caller, answers -5; whatever escapes the
// handler answers `failure`.
template <typename Record>
int32_t GuardedDispatch(Record* rec, uint32_t check, int32_t failure, int (TZKDLLOpr::*dispatch)(Record&)) {
    if (!rec || rec->Check != check || !rec->Caller) return ZE_ANSWER_BAD_RECORD;
    try {
        return (static_cast<TZKDLLOpr*>(rec->Caller)->*dispatch)(*rec);
    } catch (...) {
        return failure;
    }
}

// The entry points handed to the engine in the command record. They never
// let an exception through: a record that fails its check answers -5.
int32_t ZE_STDCALL ZCallbackFunc(TZCallBackStruct* rec);
int32_t ZE_STDCALL ZStreamFunc(TZStreamRec* rec);

}  // namespace lunaro::archive
