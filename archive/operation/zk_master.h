#pragma once
// What the operation object needs from the component that owns it: the
// component's settings, which it snapshots at the start of every operation,
// and the events it raises while reporting. The archive component derives
// from TZKMaster and fills both through its properties.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/operation/progress_details.h"
#include "archive/operation/zk_types.h"
#include "platform/stream.h"

namespace lunaro::archive {

// The user-interface service has no window handles; the engine only tells
// "no window" (0, unattended runs) from "the application's window".
inline constexpr intptr_t kApplicationWindowHandle = 1;

// The settings of operations that run through the engine; the engine
// layer of the operation object takes its own copy at start-up.
struct TZKEngineSettings {
    std::string ExtrBaseDir;
    TZKExtrOpts ExtrOptions;
    std::string Password;
    uint32_t PasswordReqCount = 1;
    std::string RootDir;
    int AddCompLevel = 9;
    double AddFrom = 0;
    TZKAddStoreExts AddStoreSuffixes = DefaultAddStoreSuffixes();
    std::string ExtAddStoreSuffixes;  // the caller's own extensions, "abc, .def;ghi"
};

struct TZKSettings : TZKEngineSettings {
    intptr_t Handle = kApplicationWindowHandle;
    TZKAddOpts AddOptions;
    bool Unattended = false;
    bool ConfirmErase = false;
    uint32_t KeepFreeOnAllDisks = 0;
    uint32_t KeepFreeOnDisk1 = 0;
    int64_t MaxVolumeSize = 0;
    int32_t MaxVolumeSizeKb = 0;
    uint32_t MinFreeVolumeSize = 65536;
    TZKSkipAborts NoSkipping{TZKSkipTypes::stDupName, TZKSkipTypes::stReadError};
    TZKSpanOpts SpanOptions = 0;
    TZKWriteOpts WriteOptions;
    bool Trace = false;
    bool Verbose = false;
    TZKEncodingOpts Encoding = TZKEncodingOpts::zeoAuto;
    uint32_t Encoding_CP = 0;
    TZKEncodingOpts EncodeAs = TZKEncodingOpts::zeoAuto;
    TZKDeleteOpts HowToDelete = TZKDeleteOpts::htdAllowUndo;
    std::string TempDir;
    std::vector<std::string> FSpecArgs;
    std::vector<std::string> FSpecArgsExcl;
    bool UseDirOnlyEntries = false;
    bool NotMainThread = false;
    std::string DLLDirectory;
};

// What a caller's stream reports about itself when the engine identifies it.
struct TZKSStats {
    int64_t Size = 0;
    uint32_t Date = 0;        // DOS date and time
    uint32_t Attributes = 0;
};

class TZKMaster;

using TZKMessageEvent = std::function<void(TZKMaster& Sender, int ErrCode, const std::string& ErrMsg)>;
using TZKTickEvent = std::function<void(TZKMaster& Sender)>;
using TZKCheckTerminateEvent = std::function<void(TZKMaster& Sender, bool& abort)>;
using TZKDialogEvent = std::function<void(TZKMaster& Sender, const std::string& title, std::string& msg,
                                          int& Result, TMsgDlgButtons btns)>;
using TZKProgressEvent = std::function<void(TZKMaster& Sender, const TZKProgressDetails& details)>;
using TZKExtractOverwriteEvent = std::function<void(TZKMaster& Sender, const std::string& ForFile, bool IsOlder,
                                                    bool& DoOverwrite, int DirIndex)>;
using TZKPasswordErrorEvent = std::function<void(TZKMaster& Sender, bool IsZipAction, std::string& NewPassword,
                                                 const std::string& ForFile, uint32_t& RepeatCount,
                                                 TMsgDlgBtn& Action)>;
using TZKCRC32ErrorEvent = std::function<void(TZKMaster& Sender, const std::string& ForFile, uint32_t FoundCRC,
                                              uint32_t ExpectedCRC, bool& DoExtract)>;
using TZKSkippedEvent = std::function<void(TZKMaster& Sender, const std::string& ForFile, TZKSkipTypes SkipType,
                                           int& ExtError)>;
using TZKSetExtNameEvent = std::function<void(TZKMaster& Sender, std::string& FileName, const std::string& BaseDir,
                                              bool& IsChanged)>;
using TZKSetAddNameEvent = std::function<void(TZKMaster& Sender, std::string& FileName, const std::string& ExtName,
                                              bool& IsChanged)>;
using TZKFileCommentEvent = std::function<void(TZKMaster& Sender, const std::string& ForFile,
                                               std::string& FileComment, bool& IsChanged)>;
using TZKFileExtraEvent = std::function<void(TZKMaster& Sender, const std::string& ForFile, std::string& Data,
                                             bool& IsChanged)>;
using TZKSetCompLevelEvent = std::function<void(TZKMaster& Sender, const std::string& ForFile, int& level,
                                                bool& IsChanged)>;
using TZKStreamEvent = std::function<void(TZKMaster& Sender, TZKStreamOp opr, int snumber,
                                          platform::TStream*& strm, TZKSStats& stat, bool& done)>;

class TZKMaster {
public:
    virtual ~TZKMaster() = default;

    TZKSettings Settings;

    TZKMessageEvent OnMessage;
    TZKTickEvent OnTick;
    TZKCheckTerminateEvent OnCheckTerminate;
    TZKDialogEvent OnZipDialog;
    TZKProgressEvent OnProgress;
    TZKExtractOverwriteEvent OnExtractOverwrite;
    TZKPasswordErrorEvent OnPasswordError;
    TZKCRC32ErrorEvent OnCRC32Error;
    TZKSkippedEvent OnSkipped;
    TZKSetExtNameEvent OnSetExtName;
    TZKSetAddNameEvent OnSetAddName;
    TZKFileCommentEvent OnFileComment;
    TZKFileExtraEvent OnFileExtra;
    TZKSetCompLevelEvent OnSetCompLevel;
    TZKStreamEvent OnStream;
};

}  // namespace lunaro::archive
