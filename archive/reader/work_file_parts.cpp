// Reading across the parts of a multi-part archive. Only fixed drives exist
// here, so a part is a file beside the others and a missing one is an
// error, never a disk to ask the user for.
#include <cstdio>

#include "archive/reader/work_file.h"
#include "archive/messages/zk_exception.h"
#include "platform/files.h"

namespace lunaro::archive {

namespace {

std::string WithoutExtension(const std::string& name) {
    return name.substr(0, name.size() - platform::ExtractFileExt(name).size());
}

// Part k (from 1) before the last: ".z01" ... ".z09", ".z10", ...
std::string ExtensionSchemeName(const std::string& base, int k) {
    char extension[16];
    std::snprintf(extension, sizeof extension, k < 10 ? ".z0%d" : ".z%d", k);
    return WithoutExtension(base) + extension;
}

// "name001.zip", "name002.zip", ...
std::string NumberedSchemeName(const std::string& base, int k) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", k % 1000);
    return WithoutExtension(base) + digits + platform::ExtractFileExt(base);
}

}  // namespace

std::string TZKWorkFile::PartFileName(int n) {
    const std::string& base = FReqFileName;
    const int k = n + 1;
    const bool last = k >= fTotalDisks;
    switch (FNumbering) {
        case TZipNumberScheme::znsExt: return last ? base : ExtensionSchemeName(base, k);
        case TZipNumberScheme::znsName: return NumberedSchemeName(base, k);
        case TZipNumberScheme::znsVolume: return base;
        case TZipNumberScheme::znsNone: break;
    }
    const std::string byExtension = last ? base : ExtensionSchemeName(base, k);
    if (platform::FileExists(byExtension)) {
        FNumbering = TZipNumberScheme::znsExt;
        return byExtension;
    }
    const std::string numbered = NumberedSchemeName(base, k);
    if (platform::FileExists(numbered)) FNumbering = TZipNumberScheme::znsName;
    return numbered;  // tried last, so the failing open names it
}

void TZKWorkFile::GetNewDisk(int n) {
    File_Close();
    if (FReqFileName.empty()) FReqFileName = fFileName;
    if (fTotalDisks > 1 || n != 0) fIsMultiPart = true;
    fDiskNr = n;
    Boss().CheckCancel();
    fFileName = PartFileName(n);
    if (Boss().Verbosity() >= 1) Boss().ReportMsg(msg::TraceOpeningPart, {fFileName});
    if (!File_Open(kOpenReadShared)) throw EZipKeeper::CreateResDisp(msg::InputFileMissing, true);
    FNewDisk = false;
}

int TZKWorkFile::SeekDisk(int n) {
    if (n != fDiskNr) GetNewDisk(n);
    return n;
}

bool TZKWorkFile::AtEndOfPart() {
    const int64_t here = Seek(0, kSeekFromCurrent);
    const int64_t end = Seek(0, kSeekFromEnd);
    return here >= 0 && here == end;
}

int TZKWorkFile::MultiPartRead(uint8_t* buffer, int64_t wanted, bool unsplittable) {
    try {
        int64_t done = 0;
        while (done < wanted) {
            const int64_t got = SystemRead(buffer + done, wanted - done);
            if (got < 0) return -msg::FileReadError;
            done += got;
            if (done == wanted) break;
            if ((unsplittable && done > 0) || !AtEndOfPart()) return -msg::FileReadError;
            // The last part simply ends: what was read is the answer.
            if (fTotalDisks > 0 && fDiskNr + 1 >= fTotalDisks) break;
            GetNewDisk(fDiskNr + 1);
        }
        return static_cast<int>(done);
    } catch (const EZipKeeper& e) {
        return -e.ResId();
    } catch (const std::exception&) {
        return -msg::FileReadError;
    }
}

}  // namespace lunaro::archive
