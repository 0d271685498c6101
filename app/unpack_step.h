#pragma once
// The unpack step: after a transfer, a package whose name ends in "zip"
// (any case) is extracted into its folder by the archive component,
// without folder names and overwriting, and its archive is deleted
// whatever happened. Unlike the procedure it was modelled on, the outcome
// is judged: an archive that could not be read, an engine that did not
// load and an archive from which nothing came out are failures.
#include <optional>
#include <string>

#include "archive/zip_keeper.h"

namespace lunaro::app {

inline constexpr const char* kUnpackErrorPrefix = "Não foi possivel atualizar o \r";

// Sets up the component as the installer's window has it.
void ConfigureZipKeeper(archive::TZipKeeper& ZipKeeper1);

// True for names whose last three characters are "ZIP" in any case.
bool IsZipPackage(const std::string& name);

// Unpacks the package `name` fetched into `folder` (ending in "\");
// nothing for other packages or when it went well, else the reason.
std::optional<std::string> UnpackPackage(archive::TZipKeeper& ZipKeeper1, const std::string& name,
                                         const std::string& folder);

}  // namespace lunaro::app
