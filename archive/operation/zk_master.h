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

namespace lunaro::archive {

// The user-interface service has no window handles; the engine only tells
// "no window" (0, unattended runs) from "the application's window".
inline constexpr intptr_t kApplicationWindowHandle = 1;

struct TZKSettings {
    intptr_t Handle = kApplicationWindowHandle;
    TZKAddOpts AddOptions = 0;
    bool Unattended = false;
    bool ConfirmErase = false;
    uint32_t KeepFreeOnAllDisks = 0;
    uint32_t KeepFreeOnDisk1 = 0;
    int64_t MaxVolumeSize = 0;
    int32_t MaxVolumeSizeKb = 0;
    uint32_t MinFreeVolumeSize = 65536;
    TZKSkipAborts NoSkipping{TZKSkipTypes::stDupName, TZKSkipTypes::stReadError};
    TZKSpanOpts SpanOptions = 0;
    TZKWriteOpts WriteOptions = 0;
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
};

class TZKMaster;

using TZKMessageEvent = std::function<void(TZKMaster& Sender, int ErrCode, const std::string& ErrMsg)>;
using TZKTickEvent = std::function<void(TZKMaster& Sender)>;
using TZKCheckTerminateEvent = std::function<void(TZKMaster& Sender, bool& abort)>;
using TZKDialogEvent = std::function<void(TZKMaster& Sender, const std::string& title, std::string& msg,
                                          int& Result, TMsgDlgButtons btns)>;
using TZKProgressEvent = std::function<void(TZKMaster& Sender, const TZKProgressDetails& details)>;

class TZKMaster {
public:
    virtual ~TZKMaster() = default;

    TZKSettings Settings;

    TZKMessageEvent OnMessage;
    TZKTickEvent OnTick;
    TZKCheckTerminateEvent OnCheckTerminate;
    TZKDialogEvent OnZipDialog;
    TZKProgressEvent OnProgress;
};

}  // namespace lunaro::archive
