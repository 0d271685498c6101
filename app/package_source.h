#pragma once
// Where the install procedure gets its packages from.
#include <string>

namespace lunaro::app {

class PackageSource {
public:
    virtual ~PackageSource() = default;
    // Fetches one package into the folder (unpacking it where that applies).
    // False when the package could not be fetched and the operator chose to
    // stop; errors nobody can answer are raised.
    virtual bool BaixarArquivo(const std::string& folder, const std::string& name) = 0;
};

}  // namespace lunaro::app
