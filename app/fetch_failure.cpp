#include "app/fetch_failure.h"

#include "platform/ui_service.h"

namespace lunaro::app {

std::string FetchFailureText(const FetchFailure& failure) {
    return "Não foi possível baixar o pacote " + failure.packageName + " em " + failure.folder +
           ".\nMotivo: " + failure.reason;
}

bool AskOperatorToRetry::TryAgain(const FetchFailure& failure) {
    platform::MessageBoxRequest request;
    request.caption = platform::ApplicationTitle();
    request.text = FetchFailureText(failure) +
                   "\n\nRepetir tenta baixar o pacote de novo (o que já veio é aproveitado); "
                   "Anular interrompe a instalação.";
    request.icon = platform::MessageIcon::Error;
    request.buttons = {platform::mrRetry, platform::mrAbort};
    // Stopping is the answer of a user interface that cannot ask anyone, so
    // an unattended box never retries for ever.
    request.defaultButton = platform::mrAbort;
    return platform::Ui().MessageBox(request) == platform::mrRetry;
}

}  // namespace lunaro::app
