#pragma once
// A package that could not be fetched, and who decides what happens next.
#include <string>

namespace lunaro::app {

struct FetchFailure {
    std::string packageName;
    std::string folder;
    std::string reason;  // reply code and text, or the network error's description
    int attempt = 1;     // 1 for the first try of this package
    bool unpacking = false;  // it arrived, but could not be unpacked
};

// "Não foi possível baixar o pacote <name> para a pasta <folder>\nMotivo: <reason>",
// or for unpacking "Não foi possível descompactar o pacote <name> na pasta <folder>\n...".
std::string FetchFailureText(const FetchFailure& failure);

class FetchFailureHandler {
public:
    virtual ~FetchFailureHandler() = default;
    // True to fetch the package again, false to stop the installation.
    virtual bool TryAgain(const FetchFailure& failure) = 0;
};

// Asks the operator in a message box with "Repetir" (the default) and "Anular".
class AskOperatorToRetry : public FetchFailureHandler {
public:
    bool TryAgain(const FetchFailure& failure) override;
};

}  // namespace lunaro::app
