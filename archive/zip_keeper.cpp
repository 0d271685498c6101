#include "archive/zip_keeper.h"

#include <new>

#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"
#include "platform/main_thread.h"
#include "platform/ui_service.h"

namespace lunaro::archive {

TCustomZipKeeper::TCustomZipKeeper(TZKDLLLoader* loader) {
    Settings.AddCompLevel = 9;
    Settings.AddStoreSuffixes = DefaultAddStoreSuffixes();
    Settings.Encoding = TZKEncodingOpts::zeoAuto;
    Settings.HowToDelete = TZKDeleteOpts::htdAllowUndo;
    Settings.PasswordReqCount = 1;
    Settings.Unattended = false;
    Settings.UseDirOnlyEntries = false;
    Settings.MinFreeVolumeSize = 65536;
    Settings.ConfirmErase = false;
    Settings.NoSkipping = TZKSkipAborts{TZKSkipTypes::stDupName, TZKSkipTypes::stReadError};
    Settings.Handle = kApplicationWindowHandle;
    fSFX.SFXOverwriteMode = TZKOvrOpts::ovrAlways;
    fOpr = std::make_unique<TZKDLLOpr>(*this, loader);
    fOpr->CentralDir().OnDirUpdate = [this] {
        if (OnDirUpdate) OnDirUpdate(*this);
    };
}

TCustomZipKeeper::~TCustomZipKeeper() {
    SetCancel(true);
    fActiveState = 0;
    OnMessage = nullptr;
    OnStateChange = nullptr;
    OnStream = nullptr;
    fOpr->Kill();
    fOpr.reset();  // gives back its use of the engine
}

void TCustomZipKeeper::Loaded() {
    fLoading = false;
    if (Usable()) ApplyDeferredSettings();
}

// ---- the admission frame -------------------------------------------------

bool TCustomZipKeeper::EnterOperation() {
    if (!Usable()) return false;
    if (fBusyCount++ != 0) {
        --fBusyCount;
        MarkReentry();
        return false;
    }
    ReportStateChange(TZKStates::zsBusy);
    return true;
}

void TCustomZipKeeper::MarkReentry() {
    fReentry = true;
    if (Settings.Verbose) fOpr->Diag("Re-entry");
}

void TCustomZipKeeper::StartUpOperation() {
    fReentry = false;
    fOpr->StartUp();
    fOpr->SetDLLDirectory(Settings.DLLDirectory);
    if (fOpr->DLL_Load() != fDllLoad) {
        fOpr->SetDLL_Load(fDllLoad);
        fDllLoad = fOpr->DLL_Load();
    }
}

void TCustomZipKeeper::LeaveOperation(bool Good) {
    fOpr->Done(Good);
    if (Good) {
        Settings.FSpecArgs = fOpr->FSpecArgs;
        Settings.FSpecArgsExcl = fOpr->FSpecArgsExcl;
        fZipComment = fOpr->ZipComment();
        fZipFileName = fOpr->ZipFileName();
    }
    --fBusyCount;
    if (Settings.Trace) fOpr->Diag("done = " + std::to_string(fBusyCount));
    if (fBusyCount == 0) {
        ReportStateChange(TZKStates::zsIdle);
        if (fActiveState < 0) {
            fActiveState = 0;
            ReportStateChange(TZKStates::zsDisabled);
        }
    }
}

void TCustomZipKeeper::HandleOperationError(const std::exception& e) {
    LeaveOperation(false);
    fOpr->Pipes.clear();
    if (dynamic_cast<const EZKException*>(&e)) fOpr->ShowExceptionError(e);
    else if (dynamic_cast<const std::bad_alloc*>(&e)) fOpr->ShowZipMsg(msg::OutOfMemory, true);
    else fOpr->ShowZipMessage(msg::ListUnknownError, e.what());
}

bool TCustomZipKeeper::RunAdmitted(const std::function<void()>& body) {
    if (!EnterOperation()) return false;
    try {
        StartUpOperation();
        body();
        LeaveOperation(true);
    } catch (const std::exception& e) {
        HandleOperationError(e);
    }
    return true;
}

void TCustomZipKeeper::ReportStateChange(TZKStates state) {
    bool noCursor = Settings.NotMainThread || !platform::IsMainThread();
    if (OnStateChange) OnStateChange(*this, state, noCursor);
    if (noCursor) return;
    if (state == TZKStates::zsBusy) {
        if (fWaitCursorCount == 0) platform::Ui().SetWaitCursor(true);
        ++fWaitCursorCount;
    } else if (fWaitCursorCount > 0) {
        if (--fWaitCursorCount == 0) platform::Ui().SetWaitCursor(false);
    }
}

// ---- state ----------------------------------------------------------------

void TCustomZipKeeper::SetActive(bool value) {
    if (fLoading) {
        fActiveState = value ? 1 : 0;
        return;
    }
    if (value == Active()) return;
    if (value) {
        fActiveState = 1;
        ReportStateChange(TZKStates::zsIdle);
        if (fDeferred != 0 && !Busy()) ApplyDeferredSettings();
    } else if (Busy()) {
        fActiveState = -3;
    } else {
        fActiveState = 0;
        ReportStateChange(TZKStates::zsDisabled);
    }
}

bool TCustomZipKeeper::Cancel() const { return fOpr->Cancel() != 0; }

void TCustomZipKeeper::SetCancel(bool value) {
    if (value == Cancel()) return;
    fOpr->SetCancel(value ? msg::UserCanceled : 0);
}

int TCustomZipKeeper::ErrCode() const {
    if (fReentry) return fOpr->ErrCode() | kReentryErrorBit;
    return Usable() ? fOpr->ErrCode() : msg::NotActive;
}

std::string TCustomZipKeeper::ErrMessage() const {
    std::string text;
    if (!Usable()) {
        text = fOpr->ZipLoadStr(msg::NotActive);
    } else if (const int code = fOpr->ErrCode(); code != 0) {
        text = fOpr->ErrMessage().empty() ? fOpr->ZipLoadStr(code) : fOpr->ErrMessage();
    }
    if (fReentry) text = fOpr->ZipFmtLoadStr(msg::BusyWith, {text});
    return text;
}

int TCustomZipKeeper::DllErrCode() const { return fOpr->DllErrCode(); }

int TCustomZipKeeper::SuccessCnt() const { return fOpr->SuccessCnt(); }

}  // namespace lunaro::archive
