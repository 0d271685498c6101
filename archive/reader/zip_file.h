#pragma once
// An opened archive with its central directory loaded: the entries in
// directory order, a name index over them, lookup and wildcard selection,
// and change notifications that keep the component's public list in step.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/reader/irec.h"
#include "archive/directory/dir_hash_list.h"
#include "archive/reader/end_record.h"
#include "archive/directory/text_arena.h"
#include "platform/stream.h"

namespace lunaro::archive {

enum class TZCChanges : uint8_t { zccNone, zccBegin, zccCount, zccAdd, zccEdit, zccDelete, zccEnd, zccCheckNo };

inline constexpr int kNoIndex = -2147483648;  // "no entry" from the index walks

class TZKZipFile : public TZKEOC {
public:
    using TZCChangeEvent = std::function<void(TZKZipFile* sender, int idx, TZCChanges change)>;

    // Takes the encoding settings of the operation object.
    explicit TZKZipFile(TZKCore& worker);
    ~TZKZipFile() override;

    // A negative message identifier on every failure, a damaged directory
    // or a cancel included, else the end-record warning bits. EOConly reads
    // only the end record; NoLoad stops before the directory. Only what is
    // not the archive's fault (memory, say) is raised.
    int Open(bool EOConly, bool NoLoad);

    int Count() const { return static_cast<int>(fEntries.size()); }
    uint32_t CheckNo() const { return fCheckNo; }
    // The entry at idx when chk is the current check number, else null.
    TZKIRec* Entry(uint32_t chk, int idx);
    std::vector<TZKIRec>& Entries() { return fEntries; }
    TZKIRec* Items(int idx) { return idx >= 0 && idx < Count() ? &fEntries[static_cast<size_t>(idx)] : nullptr; }
    int Next(int current) const;
    int NextSelected(int current) const;

    // Lookups; idx is in-out: start with -1, kNoIndex after a failed search.
    TZKIRec* FindName(std::string_view pattern, int& idx);
    TZKIRec* FindName(std::string_view pattern, int& idx, TZKIRec* myself);
    TZKIRec* FindNameEx(std::string_view pattern, int& idx, bool IsWild);
    int HasDupName(TZKIRec* rec);
    // Fills list, which must index Entries(), with the entries that have
    // the status bits what (0: those in use, -1: all); returns the number of
    // repeated names.
    int HashContents(TZKDirHashList& list, int what);

    int Select(std::string_view pattern, TZipSelects how);
    int Select1(std::string_view pattern, std::string_view reject, TZipSelects how);
    int SelectFiles(const std::vector<std::string>& want, const std::vector<std::string>& reject,
                    std::vector<std::string>& skipped);
    void ClearSelection();
    int SelCount() const { return FSelCount; }

    void Invalidate();
    bool IsInvalid() const;
    int VerifyOpen();
    int Reopen(int mode);

    TZKEncodingOpts Encoding() const { return fEncoding; }
    void SetEncoding(TZKEncodingOpts value);
    uint32_t Encoding_CP() const { return fEncoding_CP; }
    void SetEncoding_CP(uint32_t value);
    bool IgnoreDirOnly() const { return FIgnoreDirOnly; }
    void SetIgnoreDirOnly(bool value) { FIgnoreDirOnly = value; }

    int64_t SFXOfs() const { return fSFXOfs; }
    // The bytes before the archive of a file that starts with an executable stub.
    const platform::TMemoryStream* Stub() const { return fStub.get(); }
    int OpenRet() const { return fOpenRet; }
    // The name index, built on first use.
    const TZKDirHashList& HashList();
    // Where the entries keep their stored and decoded texts.
    TZKTextArena& TextStore() { return fTexts; }

    TZCChangeEvent OnChange;

protected:
    // 0, or the negated identifier of what stopped the directory.
    int Load();

private:
    void Notify(int idx, TZCChanges change);
    void ForgetNames();
    int64_t ExpectedCentralStart() const;
    int64_t ChooseCentralStart(int64_t expected);
    void CheckEntryCountFits(int64_t start);
    void ReadEntries();
    // Leaves a failed load with no file name and tells the listeners it ended.
    void AbandonLoad();
    void IndexEntries();
    void KeepStub();
    void ChooseNumbering();
    int TakePartOfEndRecord();
    bool SetBy(TZKIRec& rec, TZipSelects how);
    int Walk(std::string_view pattern, std::string_view reject, TZipSelects how, bool clearArgs);

    // Entries are added only while a directory loads; their addresses hold
    // from the end of the load until the next one. The name index keeps
    // positions, so it survives entries being added.
    std::vector<TZKIRec> fEntries;
    TZKTextArena fTexts;
    TZKDirHashList fHashList;
    bool fIndexPending = false;  // loaded entries not yet in the name index
    uint32_t fCheckNo = 0;
    TZKEncodingOpts fEncoding;
    uint32_t fEncoding_CP;
    bool FIgnoreDirOnly;
    int64_t fSFXOfs = 0;
    std::unique_ptr<platform::TMemoryStream> fStub;
    int64_t fEOCFileTime = 0;
    int fOpenRet = 0;
    int FFirst = -1;
    int FSelCount = 0;
};

}  // namespace lunaro::archive
