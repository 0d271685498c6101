#include "archive/directory/waux.h"

#include <utility>

#include "archive/messages/message_ids.h"

namespace lunaro::archive {

int TZKWAux::Set_ZipFileName(const std::string& zname, TZipLoadOpts load) {
    fZipFileName = zname;
    if (load == TZipLoadOpts::zloNoLoad) return 0;
    return LoadZip(zname, load == TZipLoadOpts::zloSilent);
}

int TZKWAux::List() { return LoadZip(fZipFileName, false); }

int TZKWAux::LoadZip(const std::string& name, bool NoEvent) {
    // The list reports each step of replacing the directory; the owner
    // hears of one load once, when it is complete.
    struct Hush {
        std::function<void()>& slot;
        std::function<void()> saved;
        ~Hush() { slot = std::move(saved); }
    } hush{fCentralDir.OnDirUpdate, std::exchange(fCentralDir.OnDirUpdate, nullptr)};
    ClearError();
    fZipComment.clear();  // a failed load must not leave the previous archive's comment
    fCentralDir.SetCurrent(nullptr);
    int result = 0;
    if (!name.empty()) {
        TZKZipFile* zip = fCentralDir.Current();
        zip->SetFileName(name);
        result = zip->Open(false, false);
        if (result >= 0) {
            zip->File_Close();  // the directory stays in memory
            fZipComment = zip->ZipComment();
        } else if (result == -msg::InputFileMissing) {
            ShowMsg(ZipLoadStr(msg::InputFileMissing), msg::InputFileMissing, false);
        } else {
            ShowZipMessage(-result, "");
        }
    }
    if (!NoEvent && hush.saved) hush.saved();
    return result;
}

void TZKWAux::EncodingChanged(TZKEncodingOpts encoding) {
    if (TZKZipFile* zip = fCentralDir.CurrentIfAny()) zip->SetEncoding(encoding);
}

void TZKWAux::CodePageChanged(uint32_t codePage) {
    if (TZKZipFile* zip = fCentralDir.CurrentIfAny()) zip->SetEncoding_CP(codePage);
}

}  // namespace lunaro::archive
