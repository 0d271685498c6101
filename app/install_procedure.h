#pragma once
// The installation itself, once the checks have let it start: the packages
// of the chosen mode in their fixed order, the configuration values, the
// desktop shortcut and the closing message.
#include "app/install_choices.h"
#include "app/package_source.h"

namespace lunaro::app {

enum class InstallOutcome {
    Completed,  // every step done and the closing message shown
    Stopped,    // a package could not be fetched and the operator stopped
};

inline constexpr const char* kPointOfSaleDoneMessage =
    "Para Abrir o PDV, abra o sistema Zeltra e no menu esquerdo VENDAS / CUPOM FISCAL";
inline constexpr const char* kShortcutDoneMessage = "Atalho VENTRIX foi criado na Área de Trabalho, pode executa-lo";

// The choices are taken as they were when the checks passed, so a control
// the operator can still reach during the transfers cannot switch the mode
// half-way. Errors of the download component and refused configuration
// writes are raised; nothing done before them is undone.
InstallOutcome RunInstallProcedure(const InstallChoices& choices, PackageSource& packages);

}  // namespace lunaro::app
