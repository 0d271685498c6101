#pragma once
// The download component's own texts, shown to the operator as they are.
#include <string>

namespace lunaro::download {

inline const char* const kMsgWrongOwner = "Essa Classe deve ser instanciada por TNexoDownload";
inline const char* const kMsgNoProtocol = "Antes de iniciar o download, defina o protocolo a ser usado HTTP ou FTP!";
inline const char* const kMsgNoFileName = "Favor informar o nome do arquivo para download!";
inline const char* const kMsgLoginFailed = "Não foi possível efetuar o login!";
inline const char* const kMsgFtpNoFileName = "File To Save not found";
inline const char* const kMsgAlreadyRunning =
    "Já existe um download em andamento neste componente; aguarde o seu término.";
inline const char* const kMsgNoSettings = "As configurações do download não podem ser vazias.";

inline std::string MsgCannotDelete(const std::string& file) {
    return "Não foi possível excluir o arquivo: " + file;
}

inline std::string MsgCannotRename(const std::string& from, const std::string& to) {
    return "Não foi possível renomear o arquivo: " + from + " para " + to;
}

}  // namespace lunaro::download

inline std::string MsgUnusableSuggestedName(const std::string& printableName, const std::string& problem) {
    return "O nome de arquivo sugerido pelo servidor foi recusado: \"" + printableName + "\" " + problem + ".";
}
