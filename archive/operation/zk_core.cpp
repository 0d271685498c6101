#include "archive/operation/zk_core.h"

#include "platform/main_thread.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/ui_service.h"

namespace lunaro::archive {

TZKCore::TZKCore(TZKMaster& master) : master_(master) {}

void TZKCore::ClearError() {
    fErrCode = 0;
    fErrMessage.clear();
    fDllErrCode = 0;
}

void TZKCore::SetEncoding(TZKEncodingOpts encoding) {
    fSettings.Encoding = encoding;
    EncodingChanged(encoding);
}

void TZKCore::SetEncodingCP(uint32_t codePage) {
    fSettings.Encoding_CP = codePage;
    CodePageChanged(codePage);
}

void TZKCore::StartUp() {
    const TZKSettings& from = master_.Settings;
    fBusy = true;
    fCancel = 0;
    AnswerAll = false;
    ClearError();
    fSettings.Handle = from.Handle;
    fSettings.AddOptions = from.AddOptions;
    fSettings.Unattended = from.Unattended;
    fSettings.ConfirmErase = from.ConfirmErase;
    fSettings.KeepFreeOnAllDisks = from.KeepFreeOnAllDisks;
    fSettings.KeepFreeOnDisk1 = from.KeepFreeOnDisk1;
    fSettings.MaxVolumeSize = from.MaxVolumeSizeKb != 0 ? int64_t{from.MaxVolumeSizeKb} * 1024 : from.MaxVolumeSize;
    fSettings.MinFreeVolumeSize = from.MinFreeVolumeSize;
    fSettings.NoSkipping = from.NoSkipping;
    fSettings.SpanOptions = from.SpanOptions;
    fSettings.WriteOptions = from.WriteOptions;
    fSettings.Verbosity = from.Trace ? 2 : from.Verbose ? 1 : 0;
    SetEncoding(from.Encoding);
    SetEncodingCP(from.Encoding_CP);
    fSettings.EncodeAs = from.EncodeAs;
    fSettings.HowToDelete = from.HowToDelete;
    fSettings.TempDir = from.TempDir;
    FSpecArgs = from.FSpecArgs;
    FSpecArgsExcl = from.FSpecArgsExcl;
    fSettings.IgnoreDirOnly = !from.UseDirOnlyEntries;
    fSettings.NotMainTask = from.NotMainThread || !platform::IsMainThread();
    fCleanup.Clear();
}

void TZKCore::Done(bool good) {
    fCleanup.Run(!good);
    fBusy = false;
}

void TZKCore::Clear() {
    fCancel = 0;
    ClearError();
    fSettings.HowToDelete = TZKDeleteOpts::htdAllowUndo;
    fSettings.Unattended = false;
    SetEncoding(TZKEncodingOpts::zeoAuto);
    fSettings.EncodeAs = TZKEncodingOpts::zeoAuto;
    fSettings.Verbosity = 0;
    fProgress.Clear();
    FSpecArgs.clear();
    FSpecArgsExcl.clear();
    EventError.clear();
    fSettings.SpanOptions = 0;
    fSettings.WriteOptions = {};
}

void TZKCore::Kill() { fCancel = msg::UserCanceled; }

bool TZKCore::KeepAlive() {
    if (master_.OnTick) master_.OnTick(master_);
    if (master_.OnCheckTerminate) {
        bool abort = fCancel != 0;
        master_.OnCheckTerminate(master_, abort);
        if (abort) fCancel = msg::UserCanceled;
    } else if (!fSettings.NotMainTask && platform::IsMainThread()) {
        platform::Ui().ProcessMessages();
    }
    return fCancel != 0;
}

void TZKCore::CheckCancel() {
    KeepAlive();
    if (fCancel != 0) throw EZipKeeper::CreateResDisp(fCancel, true);
}

void TZKCore::AddCleanupFile(const std::string& name, bool always) { fCleanup.Add(name, always); }

bool TZKCore::RemoveFileCleanup(const std::string& name) { return fCleanup.Remove(name); }

}  // namespace lunaro::archive
