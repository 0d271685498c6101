#pragma once
// The operation object: everything one operation of the archive component
// needs while it runs, apart from the component's published settings. It
// takes a snapshot of those settings at StartUp, keeps the error state of
// the last operation, the cancel request, the progress snapshot and the
// files to clean up, and does all message reporting. Later layers (archive
// name and directory, engine driver) derive from it.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "archive/operation/cleanup_list.h"
#include "archive/messages/message_format.h"
#include "archive/operation/progress_details.h"
#include "archive/operation/zk_master.h"
#include "archive/operation/zk_types.h"

namespace lunaro::archive {

// The settings as the running operation sees them.
struct TZKOperationSettings {
    intptr_t Handle = kApplicationWindowHandle;
    TZKAddOpts AddOptions;
    bool Unattended = true;
    bool ConfirmErase = false;
    uint32_t KeepFreeOnAllDisks = 0;
    uint32_t KeepFreeOnDisk1 = 0;
    int64_t MaxVolumeSize = 0;
    uint32_t MinFreeVolumeSize = 0;
    TZKSkipAborts NoSkipping;
    TZKSpanOpts SpanOptions = 0;
    TZKWriteOpts WriteOptions;
    int Verbosity = 0;  // 0, 1 verbose, 2 trace
    TZKEncodingOpts Encoding = TZKEncodingOpts::zeoAuto;
    uint32_t Encoding_CP = 0;
    TZKEncodingOpts EncodeAs = TZKEncodingOpts::zeoAuto;
    TZKDeleteOpts HowToDelete = TZKDeleteOpts::htdAllowUndo;
    std::string TempDir;
    bool IgnoreDirOnly = false;
    bool NotMainTask = false;
};

class TZKCore {
public:
    explicit TZKCore(TZKMaster& master);
    virtual ~TZKCore() = default;
    TZKCore(const TZKCore&) = delete;
    TZKCore& operator=(const TZKCore&) = delete;

    TZKMaster& Master() const { return master_; }

    // Lifecycle of one operation.
    virtual void StartUp();
    virtual void Done(bool good);
    virtual void Clear();
    virtual void Kill();

    bool Busy() const { return fBusy; }
    int ErrCode() const { return fErrCode; }
    const std::string& ErrMessage() const { return fErrMessage; }
    int DllErrCode() const { return fDllErrCode; }
    int Cancel() const { return fCancel; }
    void SetCancel(int code) { fCancel = code; }
    uint32_t NextCheckNo() { return ++fCheckNo; }
    const TZKOperationSettings& Snapshot() const { return fSettings; }
    int Verbosity() const { return fSettings.Verbosity; }
    bool Unattended() const { return fSettings.Unattended; }
    TZKProgressDetails& Progress() { return fProgress; }

    bool AnswerAll = false;
    std::string EventError;  // an event handler's failure during an engine run
    std::vector<std::string> FSpecArgs;
    std::vector<std::string> FSpecArgsExcl;

    // Raises OnTick, then asks OnCheckTerminate (or, on the main thread and
    // without that handler, lets the user interface run). True when the
    // operation is to stop.
    bool KeepAlive();
    // KeepAlive, then raises EZipKeeper with the cancel code when one is set.
    void CheckCancel();

    void AddCleanupFile(const std::string& name, bool always);
    bool RemoveFileCleanup(const std::string& name);
    const TZKCleanupList& CleanupList() const { return fCleanup; }

    // Reporting.
    void ReportMessage(int errCode, const std::string& msg);
    void ShowMsg(const std::string& msg, int errCode, bool display);
    void ShowZipMessage(int ident, const std::string& userStr);
    void ShowZipMsg(int ident, bool display);
    void ShowZipFmtMsg(int ident, const TZKFormatArgs& args, bool display);
    void ShowExceptionError(const std::exception& e);
    void ReportMsg(int ident, const TZKFormatArgs& args);
    void Diag(const std::string& msg);
    int ZipMessageDlg(const std::string& msg, int context);
    int ZipMessageDlgEx(const std::string& title, const std::string& msg, TMsgDlgButtons buttons, int context);
    int ZipMessageDialog(const std::string& title, std::string& msg, TMsgDlgButtons buttons, int context);

    // Updates the progress snapshot for action 1 to 7, raises OnProgress,
    // then keeps alive (any other action only keeps alive). For zacCount the
    // count comes in size; for zacXItem name is the phase's text.
    void ReportProgress(TActionCodes action, const std::string& name, int64_t size, int64_t written = 0);

    std::string ZipLoadStr(int ident) const;
    std::string ZipFmtLoadStr(int ident, const TZKFormatArgs& args) const;

protected:
    // The open archive follows the encoding settings; the layer that holds
    // it reacts here.
    virtual void EncodingChanged(TZKEncodingOpts encoding) = 0;
    virtual void CodePageChanged(uint32_t codePage) = 0;

    void SetEncoding(TZKEncodingOpts encoding);
    void SetEncodingCP(uint32_t codePage);
    void ClearError();
    void SetDllErrCode(int code) { fDllErrCode = code; }
    // The outcome recorded so far, for a step that clears it on its way.
    struct TZKErrorState {
        int code;
        std::string message;
        int dllCode;
    };
    TZKErrorState SavedError() const { return {fErrCode, fErrMessage, fDllErrCode}; }
    void RestoreError(const TZKErrorState& state) {
        fErrCode = state.code;
        fErrMessage = state.message;
        fDllErrCode = state.dllCode;
    }

private:
    TZKMaster& master_;
    bool fBusy = false;
    int fErrCode = -1;
    std::string fErrMessage;
    int fDllErrCode = 0;
    int fCancel = 0;
    uint32_t fCheckNo = 0;
    TZKOperationSettings fSettings;
    TZKProgressDetails fProgress;
    TZKCleanupList fCleanup;
};

}  // namespace lunaro::archive
