#include "app/unpack_step.h"

#include "platform/files.h"
#include "platform/text_case.h"
#include "app/installer_message.h"

namespace lunaro::app {

namespace {

// A name that is a URL or a drive path was stored under its last segment.
std::string StoredName(const std::string& name) {
    if (name.find(':') == std::string::npos) return name;
    return name.substr(name.find_last_of("/\\:") + 1);
}

std::string JudgedOutcome(archive::TZipKeeper& ZipKeeper1) {
    if (const int code = archive::TCustomZipKeeper::TheErrorCode(ZipKeeper1.ErrCode()); code != 0)
        return ZipKeeper1.ErrMessage() + " (" + std::to_string(code) + ")";
    if (ZipKeeper1.SuccessCnt() == 0) return "nenhum arquivo foi extraído do pacote";
    return {};
}

}  // namespace

void ConfigureZipKeeper(archive::TZipKeeper& ZipKeeper1) {
    ZipKeeper1.Settings.DLLDirectory = "c:\\Lunaro\\";
    ZipKeeper1.Settings.ConfirmErase = false;
    ZipKeeper1.Settings.Unattended = false;
    ZipKeeper1.Settings.Verbose = false;
    ZipKeeper1.Settings.Trace = false;
    archive::TZKSFXSettings sfx = ZipKeeper1.SFX();
    sfx.SFXOverwriteMode = archive::TZKOvrOpts::ovrAlways;
    ZipKeeper1.SetSFX(sfx);
    ZipKeeper1.Settings.AddStoreSuffixes = archive::DefaultAddStoreSuffixes();
}

bool IsZipPackage(const std::string& name) {
    const std::string tail = name.size() < 3 ? name : name.substr(name.size() - 3);
    return platform::AsciiUpperCase(tail) == "ZIP";
}

std::optional<std::string> UnpackPackage(archive::TZipKeeper& ZipKeeper1, const std::string& name,
                                         const std::string& folder) {
    if (!IsZipPackage(name)) return std::nullopt;
    const std::string archivePath = folder + "\\" + StoredName(name);
    std::string failure;
    try {
        ZipKeeper1.SetZipFileName(archivePath);
        ZipKeeper1.SetDLL_Load(true);
        ZipKeeper1.Settings.FSpecArgs.push_back("*.*");
        ZipKeeper1.Settings.ExtrBaseDir = folder;
        ZipKeeper1.Settings.ExtrOptions.Include(archive::TZKExtrOptsEnum::ExtrOverWrite);
        ZipKeeper1.Extract();
        failure = JudgedOutcome(ZipKeeper1);
    } catch (const std::exception& e) {
        ShowInstallerMessage(kUnpackErrorPrefix + name + "\r" + e.what());
        failure = e.what();
    }
    ZipKeeper1.SetDLL_Load(false);
    platform::DeleteFile(archivePath);
    if (failure.empty()) return std::nullopt;
    return failure;
}

}  // namespace lunaro::app
