#pragma once
// The archive component: it names one zip archive, reads the archive's
// directory as soon as the name is set and runs operations on it through
// the operation object (directory reading itself, compressed data through
// the extraction engine). Plain settings live in the inherited Settings
// record; the properties whose writing has an effect are setters here.
// No public operation or setter lets one of the component's failures
// escape: they become ErrCode/ErrMessage, OnMessage and, unless
// Unattended, the component's message box.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/directory/dir_entry.h"
#include "archive/driver/dll_opr.h"
#include "archive/messages/zk_exception.h"
#include "archive/operation/zk_master.h"
#include "archive/operation/zk_types.h"
#include "platform/stream.h"

namespace lunaro::archive {

class TZKDLLLoader;

enum class TZKStates : uint8_t { zsDisabled = 0, zsIdle = 1, zsBusy = 2 };
enum class TZKOvrOpts : uint8_t { ovrAlways = 0, ovrNever = 1, ovrConfirm = 2 };

inline constexpr const char* kZipKeeperVersion = "1.9.0.0113";
inline constexpr int kZipKeeperBuild = 1900113;
// ErrCode carries this bit when the last call was refused as re-entrant.
inline constexpr int kReentryErrorBit = 0x4000000;
// Operations this build cannot carry out.
inline constexpr int kOperationNotAvailable = 10330;

using TZKStateChangeEvent = std::function<void(TZKMaster& Sender, TZKStates state, bool& NoCursor)>;
using TZKNotifyEvent = std::function<void(TZKMaster& Sender)>;

// The published properties' declared streaming defaults: a form stores a
// property only when its value differs from these.
struct TZipKeeperStreamingDefaults {
    static constexpr bool Active = true;
    static constexpr int AddCompLevel = 9;
    static constexpr bool ConfirmErase = true;
    static constexpr TZKEncodingOpts Encoding = TZKEncodingOpts::zeoAuto;
    static constexpr TZKDeleteOpts HowToDelete = TZKDeleteOpts::htdAllowUndo;
    static constexpr uint32_t MinFreeVolumeSize = 65536;
    static constexpr uint32_t PasswordReqCount = 1;
    static constexpr TZKOvrOpts SFXOverwriteMode = TZKOvrOpts::ovrConfirm;
    static constexpr bool UseDirOnlyEntries = false;
};

// The self-extractor settings: kept and streamed, their change marks the
// archive's auxiliary data as changed.
struct TZKSFXSettings {
    std::string SFXCaption;
    std::string SFXCommandLine;
    std::string SFXDefaultDir;
    std::string SFXIcon;  // path of the icon file
    std::string SFXMessage;
    uint32_t SFXOptions = 0;
    TZKOvrOpts SFXOverwriteMode = TZKOvrOpts::ovrAlways;
    std::string SFXRegFailPath;
    std::string SFXPath;
};

class TCustomZipKeeper : public TZKMaster {
public:
    // AfterConstruction: the construction values, the operation object
    // (over the process-wide engine loader unless one is given).
    explicit TCustomZipKeeper(TZKDLLLoader* loader = nullptr);
    // BeforeDestruction.
    ~TCustomZipKeeper() override;
    TCustomZipKeeper(const TCustomZipKeeper&) = delete;
    TCustomZipKeeper& operator=(const TCustomZipKeeper&) = delete;

    // Streaming: between BeginLoading and Loaded the setters only store
    // their values; Loaded applies what they deferred.
    void BeginLoading() { fLoading = true; }
    void Loaded();
    bool Loading() const { return fLoading; }

    // State.
    bool Active() const { return fActiveState != 0; }
    void SetActive(bool value);
    bool Busy() const { return fBusyCount != 0; }
    bool Cancel() const;
    void SetCancel(bool value);
    bool NotMainThread() const { return Settings.NotMainThread; }
    void SetNotMainThread(bool value) { Settings.NotMainThread = value; }
    intptr_t Handle() const { return Settings.Handle; }

    // Outcome of the last operation.
    int ErrCode() const;
    std::string ErrMessage() const;
    int DllErrCode() const;
    int SuccessCnt() const;
    static int TheErrorCode(int code) { return code & 0x3FFFFFF; }

    // Deferred setters.
    const std::string& ZipFileName() const { return fZipFileName; }
    void SetZipFileName(const std::string& value);
    bool DLL_Load();
    void SetDLL_Load(bool value);
    std::string Language() const;
    void SetLanguage(const std::string& value);
    const std::string& ZipComment() const { return fZipComment; }
    void SetZipComment(const std::string& value);

    // Setters with an effect on the open archive or a running operation.
    const std::string& Password() const { return Settings.Password; }
    void SetPassword(const std::string& value);
    uint32_t PasswordReqCount() const { return Settings.PasswordReqCount; }
    void SetPasswordReqCount(uint32_t value);
    void SetEncoding(TZKEncodingOpts value);
    void SetEncodeAs(TZKEncodingOpts value);
    void SetEncoding_CP(uint32_t value);
    void SetUseDirOnlyEntries(bool value);
    void SetWriteOptions(TZKWriteOpts value);
    void SetSpanOptions(TZKSpanOpts value);
    void SetNoReadAux(bool value) { fNoReadAux = value; }
    bool NoReadAux() const { return fNoReadAux; }
    const TZKSFXSettings& SFX() const { return fSFX; }
    void SetSFX(const TZKSFXSettings& value);
    // Whether the self-extractor data or the spanning naming changed.
    bool AuxChanged() const { return fAuxChanged; }
    std::string Version() const { return kZipKeeperVersion; }
    void SetVersion(const std::string&) {}
    int Build() const { return kZipKeeperBuild; }

    // The engine.
    std::string DLL_Path();
    int DLL_Build();
    std::string DLL_Version();
    std::string FullVersionString();

    // The directory.
    int Count();
    int DirOnlyCnt();
    // Entry i (0-based), or null outside the list.
    TZKDirEntry* DirEntry(int i);
    int IndexOf(const std::string& FName);
    TZKDirEntry* Find(const std::string& fspec, int& idx);
    int64_t ZipFileSize();
    int64_t ZipEOC();
    int64_t ZipSOC();
    int64_t SFXOffset();
    bool IsSpanned();

    // Operations; each returns ErrCode unless said otherwise.
    int Extract();
    int List();
    void Clear();
    void AbortDLL();
    // The memory stream holding the one extracted entry, or null.
    platform::TStream* ExtractFileToStream(const std::string& FileName);
    // InStream, from its start, compressed (stored when AddCompLevel is 0)
    // into ZipStream behind a header that records the method, the CRC-32
    // and both sizes: ZipStream, or null when it failed.
    platform::TStream* AddStreamToStream(platform::TStream* InStream);
    // Such a stream expanded into ZipStream, checked against its header
    // (and against OutSize unless that is 0) and never written past the
    // size it records: ZipStream, or null when anything did not check out.
    platform::TStream* ExtractStreamToStream(platform::TStream* InStream, uint32_t OutSize);
    platform::TStream* ZipStream();
    std::vector<TZKPipe>& Pipes();
    // Classifies a file by its end records without making it the current
    // archive: a negative message identifier, or the warning bits (>= 0).
    int QueryZip(const std::string& FName);
    // A name for a new file in TempDir (or the system's temporary folder)
    // that does not exist yet.
    std::string MakeTempFileName(const std::string& Prefix = "", const std::string& Extension = ".tmp");
    static std::string AppendSlash(const std::string& path);
    // 0 done, -1 no such file, else the system's error number.
    int EraseFile(const std::string& FName, TZKDeleteOpts How);

    // Writing the archive (the engine makes it when it does not exist);
    // a run that changed it reads its directory again (OnDirUpdate).
    // The files FSpecArgs names, relative to RootDir, with AddOptions.
    int Add();
    // ZipStream as the one entry FileName; FileDate is a DOS date-time, 0
    // for now.
    int AddStreamToFile(const std::string& FileName, uint32_t FileDate, uint32_t FileAttr);
    int Delete();
    // Each pair (entry name, new name); a non-zero DOS DateTime is stamped
    // on the renamed entries.
    int Rename(const TZKRenameList& RenameList, uint32_t DateTime);

    // Length bytes of InStream (a negative Length: the rest of it)
    // compressed into OutStream with Method (8 raw deflate at AddCompLevel,
    // 0 a copy), or expanded (8: raw deflate within Length bytes of input,
    // 0: a copy of Length bytes); crc receives the CRC-32 of the
    // uncompressed bytes. SuccessCnt is 1 when it worked.
    int Deflate(platform::TStream* OutStream, platform::TStream* InStream, int Length, int& Method,
                uint32_t& crc);
    int Undeflate(platform::TStream* OutStream, platform::TStream* InStream, int Length, int& Method,
                  uint32_t& crc);

    // Spanning, self-extractors and copying between archives are not built:
    // each reports kOperationNotAvailable with its name and the reason, and
    // returns ErrCode.
    int AddZippedFiles(TCustomZipKeeper* Source);
    int CopyZippedFiles(TCustomZipKeeper* Destination, bool DeleteFromSource);
    int ChangeFileDetails();
    // Calls Func for every entry that FSpecArgs selects (every entry when
    // it is empty) and FSpecArgsExcl does not; a non-zero answer stops the
    // walk. The number of entries Func was called for.
    int ForEach(const std::function<int(TZKDirEntry& entry)>& Func);
    int ConvertToSFX();
    int ConvertToSpanSFX(const std::string& OutFile);
    int ConvertToZIP();
    int IsZipSFX(const std::string& SFXExeName);
    int ReadSpan(const std::string& InFileName, std::string& OutFilePath);
    int WriteSpan(const std::string& InFileName, const std::string& OutFileName);
    // Copies a file; the copy takes its name only once complete.
    int Copy_File(const std::string& InFileName, const std::string& OutFileName);

    // Messages and dialogs.
    std::string ZipLoadStr(int Ident);
    void ShowZipMessage(int Ident, const std::string& UserStr);
    void ShowZipFmtMessage(int Ident, const std::vector<std::string>& Args);
    void ShowExceptionError(const std::exception& e);
    // The password dialog; empty when the operator cancels.
    std::string GetPassword(const std::string& DialogCaption, const std::string& MsgTxt);
    std::string GetAddPassword();
    std::string GetExtrPassword();

    TZKStateChangeEvent OnStateChange;
    TZKNotifyEvent OnDirUpdate;

    // The operation object (tests look at its state).
    TZKDLLOpr& Operation() { return *fOpr; }

protected:
    bool Usable() const { return fActiveState != 0 && !fLoading; }

private:
    enum DeferredFlag : unsigned { dfLanguage = 1, dfZipName = 2, dfComment = 4, dfDllLoad = 8 };

    bool EnterOperation();
    void StartUpOperation();
    void LeaveOperation(bool Good);
    void HandleOperationError(const std::exception& e);
    void ReportStateChange(TZKStates state);
    void MarkReentry();
    void ApplyDeferredSettings();
    // Runs body inside the admission frame; false when it was refused.
    bool RunAdmitted(const std::function<void()>& body);
    // A setter's deferred path: admitted, stored and applied; or stored and
    // flagged while not usable; or dropped as re-entrant while busy.
    void SetDeferred(DeferredFlag flag, const std::function<void()>& store, const std::function<void()>& apply);
    void ApplyZipFileName();
    void ApplyDllLoad();
    // The failure of an operation this build cannot carry out.
    static EZipKeeper UnavailableError(const std::string& operation, const char* reason);
    int Unavailable(const std::string& operation, const char* reason = "this build does not carry it out");
    void MarkAuxChanged();

    std::unique_ptr<TZKDLLOpr> fOpr;
    int fActiveState = 2;
    int fBusyCount = 0;
    bool fReentry = false;
    unsigned fDeferred = 0;
    bool fLoading = false;
    int fWaitCursorCount = 0;
    bool fDllLoad = false;  // the cached DLL_Load
    bool fDeferredDllLoad = false;
    bool fCancel = false;
    bool fNoReadAux = false;
    bool fAuxChanged = false;
    std::string fZipFileName;
    std::string fLanguage;
    std::string fZipComment;
    TZKSFXSettings fSFX;
};

class TZipKeeper : public TCustomZipKeeper {
public:
    using TCustomZipKeeper::TCustomZipKeeper;
};

}  // namespace lunaro::archive
