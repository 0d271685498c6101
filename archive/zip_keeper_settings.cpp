// The setters whose writing has an effect: those deferred until the
// component is usable, and those that reach the open archive or the
// running operation.
#include <algorithm>

#include "archive/messages/message_catalog.h"
#include "archive/zip_keeper.h"
#include "platform/code_pages.h"

namespace lunaro::archive {

namespace {

constexpr uint32_t kMaxPasswordRequests = 15;

}  // namespace

void TCustomZipKeeper::SetDeferred(DeferredFlag flag, const std::function<void()>& store,
                                   const std::function<void()>& apply) {
    if (!Usable()) {
        store();
        fDeferred |= flag;
        return;
    }
    if (!EnterOperation()) return;  // busy: dropped, the reentry flag is set
    try {
        store();
        StartUpOperation();
        apply();
        LeaveOperation(true);
    } catch (const std::exception& e) {
        HandleOperationError(e);
    }
}

void TCustomZipKeeper::ApplyZipFileName() { fOpr->Set_ZipFileName(fZipFileName, TZipLoadOpts::zloFull); }

void TCustomZipKeeper::ApplyDllLoad() {
    fOpr->SetDLL_Load(fDllLoad);
    fDllLoad = fOpr->DLL_Load();
}

void TCustomZipKeeper::SetZipFileName(const std::string& value) {
    if (value == fZipFileName) return;
    SetDeferred(dfZipName, [&] { fZipFileName = value; }, [this] { ApplyZipFileName(); });
}

bool TCustomZipKeeper::DLL_Load() {
    if (fLoading) return fDeferredDllLoad;
    if (!Usable() && (fDeferred & dfDllLoad) != 0) return fDeferredDllLoad;
    fDllLoad = fOpr->DLL_Load();
    return fDllLoad;
}

void TCustomZipKeeper::SetDLL_Load(bool value) {
    const bool current = (fLoading || (fDeferred & dfDllLoad) != 0) ? fDeferredDllLoad : fDllLoad;
    if (value == current) return;
    // Stored after start-up, so that start-up (which applies the cached
    // value) and the effect do not both try a load that fails.
    SetDeferred(dfDllLoad, [&] { fDeferredDllLoad = value; },
                [&] {
                    fDllLoad = value;
                    ApplyDllLoad();
                    fDeferredDllLoad = fDllLoad;
                });
}

std::string TCustomZipKeeper::Language() const {
    if (fLoading) return fLanguage;
    return TMessageCatalog::Process().LanguageName();
}

void TCustomZipKeeper::SetLanguage(const std::string& value) {
    if (value == fLanguage) return;
    SetDeferred(dfLanguage, [&] { fLanguage = value; },
                [this] { TMessageCatalog::Process().SelectLanguage(fLanguage); });
}

void TCustomZipKeeper::SetZipComment(const std::string& value) {
    if (value == fZipComment) return;
    SetDeferred(dfComment, [&] { fZipComment = value; },
                [this] { fOpr->WriteComment(fZipComment); });
}

void TCustomZipKeeper::ApplyDeferredSettings() {
    const unsigned flags = fDeferred;
    const bool wantDll = fDeferredDllLoad;
    if (!EnterOperation()) return;
    try {
        fDeferred = 0;
        fDllLoad = fOpr->DLL_Load();  // start-up must not apply the wanted value yet
        StartUpOperation();
        if (flags & dfLanguage) TMessageCatalog::Process().SelectLanguage(fLanguage);
        if (flags & dfZipName) ApplyZipFileName();
        if ((flags & dfComment) && fOpr->ErrCode() == 0) fOpr->WriteComment(fZipComment);
        if ((flags & dfDllLoad) && fOpr->ErrCode() == 0) {
            fDllLoad = wantDll;
            ApplyDllLoad();
        }
        fDeferredDllLoad = fDllLoad;
        LeaveOperation(true);
    } catch (const std::exception& e) {
        HandleOperationError(e);
    }
}

void TCustomZipKeeper::SetPassword(const std::string& value) {
    Settings.Password = value;
    if (Busy()) fOpr->Password = value;
}

void TCustomZipKeeper::SetPasswordReqCount(uint32_t value) {
    Settings.PasswordReqCount = std::min(value, kMaxPasswordRequests);
    if (Busy()) fOpr->PasswordReqCount = Settings.PasswordReqCount;
}

// Each of these re-applies the settings to the open archive through the
// start-up of an empty operation.
void TCustomZipKeeper::SetEncoding(TZKEncodingOpts value) {
    Settings.Encoding = value;
    RunAdmitted([] {});
}

void TCustomZipKeeper::SetEncodeAs(TZKEncodingOpts value) {
    Settings.EncodeAs = value;
    RunAdmitted([] {});
}

void TCustomZipKeeper::SetEncoding_CP(uint32_t value) {
    Settings.Encoding_CP = platform::IsKnownCodePage(static_cast<int>(value)) ? value : 0;
    RunAdmitted([] {});
}

void TCustomZipKeeper::SetUseDirOnlyEntries(bool value) {
    Settings.UseDirOnlyEntries = value;
    RunAdmitted([] {});
}

void TCustomZipKeeper::SetWriteOptions(TZKWriteOpts value) {
    if (value != Settings.WriteOptions) MarkAuxChanged();
    Settings.WriteOptions = value;
}

void TCustomZipKeeper::SetSpanOptions(TZKSpanOpts value) {
    if (value != Settings.SpanOptions) MarkAuxChanged();
    Settings.SpanOptions = value;
}

void TCustomZipKeeper::SetSFX(const TZKSFXSettings& value) {
    const auto& o = fSFX;
    if (o.SFXCaption != value.SFXCaption || o.SFXCommandLine != value.SFXCommandLine ||
        o.SFXDefaultDir != value.SFXDefaultDir || o.SFXIcon != value.SFXIcon || o.SFXMessage != value.SFXMessage ||
        o.SFXOptions != value.SFXOptions || o.SFXOverwriteMode != value.SFXOverwriteMode ||
        o.SFXRegFailPath != value.SFXRegFailPath)
        MarkAuxChanged();
    fSFX = value;
}

void TCustomZipKeeper::MarkAuxChanged() {
    if (fNoReadAux && !fLoading) return;
    fAuxChanged = true;
}

}  // namespace lunaro::archive
