#pragma once
// The installation itself, once the checks have let it start: the packages
// of the chosen mode in their fixed order, the configuration values, the
// desktop shortcut and the closing message.
#include "app/install_choices.h"
#include "app/package_source.h"

namespace lunaro::app {

enum class InstallStart {
    Fresh,       // a new installation: a new mark of progress
    Continuing,  // an interrupted one: packages already in place are skipped
};

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
//
// The full and workstation installations keep a mark of their progress
// (install_mark.h) from their first step to their last, so that one that
// stops half-way, for whatever reason, can be continued: a continuing run
// skips the packages the mark has in place (partial files of the others
// resume), then does every remaining step as a fresh run would.
InstallOutcome RunInstallProcedure(const InstallChoices& choices, PackageSource& packages,
                                   InstallStart start = InstallStart::Fresh);

}  // namespace lunaro::app
