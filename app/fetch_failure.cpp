#include "app/fetch_failure.h"

#include "platform/ui_service.h"

namespace lunaro::app {

std::string FetchFailureText(const FetchFailure& failure) {
    // The folder ends the line: a full stop right after it would read as
    // part of the path.
    const std::string what = failure.unpacking ? "Não foi possível descompactar o pacote " + failure.packageName +
                                                     " na pasta "
                                               : "Não foi possível baixar o pacote " + failure.packageName +
                                                     " para a pasta ";
    return what + failure.folder + "\nMotivo: " + failure.reason;
}

bool AskOperatorToRetry::TryAgain(const FetchFailure& failure) {
    platform::MessageBoxRequest request;
    request.caption = platform::ApplicationTitle();
    request.text = FetchFailureText(failure) +
                   (failure.unpacking ? "\n\nRepetir baixa o pacote de novo e tenta descompactá-lo; "
                                        "Anular interrompe a instalação."
                                      : "\n\nRepetir tenta baixar o pacote de novo (o que já veio é aproveitado); "
                                        "Anular interrompe a instalação.");
    request.icon = platform::MessageIcon::Error;
    request.buttons = {platform::mrRetry, platform::mrAbort};
    // An operator at the window mostly wants another try (Enter gives it);
    // the unattended mode never shows this box, it retries a bounded number
    // of times on its own.
    request.defaultButton = platform::mrRetry;
    return platform::Ui().MessageBox(request) == platform::mrRetry;
}

}  // namespace lunaro::app
