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
};

inline constexpr const char* kAlreadyInstalledMessage =
    "Já Existe uma instalação nesse computador, não pode ser instalada novamente";
inline constexpr const char* kNetworkFieldsMessage =
    "Para instalação de Estação em Rede, necessário informar o Servidor e Caminho do Banco";
inline constexpr const char* kCloudAliasMessage =
    "Para instalação de Estação nas Núvens, necessário informar o Alias da Empresa";

// Nothing when the installation may start. The point-of-sale-only mode is
// never refused. A box counts as empty only without any character at all.
std::optional<InstallRefusal> CheckInstall(const InstallChoices& choices);

}  // namespace lunaro::app
