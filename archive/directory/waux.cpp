#include "archive/directory/waux.h"

#include "archive/messages/message_ids.h"

namespace lunaro::archive {

int TZKWAux::Set_ZipFileName(const std::string& zname, TZipLoadOpts load) {
    fZipFileName = zname;
    if (load == TZipLoadOpts::zloNoLoad) return 0;
    return LoadZip(zname, load == TZipLoadOpts::zloSilent);
}

int TZKWAux::List() { return LoadZip(fZipFileName, false); }

int TZKWAux::LoadZip(const std::string& name, bool NoEvent) {
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
    if (!NoEvent && fCentralDir.OnDirUpdate) fCentralDir.OnDirUpdate();
    return result;
}

void TZKWAux::EncodingChanged(TZKEncodingOpts encoding) {
    if (TZKZipFile* zip = fCentralDir.CurrentIfAny()) zip->SetEncoding(encoding);
}

void TZKWAux::CodePageChanged(uint32_t codePage) {
    if (TZKZipFile* zip = fCentralDir.CurrentIfAny()) zip->SetEncoding_CP(codePage);
}

}  // namespace lunaro::archive
