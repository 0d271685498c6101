#pragma once
// The checks made before an installation starts. A refusal carries the
// message to show and the box the operator should fill in next.
#include <optional>
#include <string>

#include "app/install_choices.h"

namespace lunaro::app {

enum class FocusTarget { None, Server, CompanyAlias };

struct InstallRefusal {
    std::string message;
    FocusTarget focus = FocusTarget::None;
    // An interrupted installation is in the way: it can be continued, with
    // the choices it was started with, instead of starting a new one.
    std::optional<InstallChoices> interrupted;
};

inline constexpr const char* kAlreadyInstalledMessage =
    "Já Existe uma instalação nesse computador, não pode ser instalada novamente";
inline constexpr const char* kInterruptedMessage =
    "Uma instalação anterior não foi concluída nesse computador. Deseja continuá-la?";
inline constexpr const char* kNetworkFieldsMessage =
    "Para instalação de Estação em Rede, necessário informar o Servidor e Caminho do Banco";
inline constexpr const char* kCloudAliasMessage =
    "Para instalação de Estação nas Núvens, necessário informar o Alias da Empresa";

// Nothing when the installation may start. The point-of-sale-only mode is
// never refused. An installation that was interrupted comes before the
// already-installed check (its folder exists, but it is not finished). A box
// counts as empty only without any character at all.
std::optional<InstallRefusal> CheckInstall(const InstallChoices& choices);

}  // namespace lunaro::app
