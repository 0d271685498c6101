#include "app/failure_reason_text.h"

#include "platform/socket_errors.h"

namespace lunaro::app {

namespace {

const char* PortugueseWord(int socketError) {
    using namespace platform;
    switch (socketError) {
        case WSAECONNREFUSED: return "conexão recusada";
        case WSAETIMEDOUT: return "tempo esgotado";
        case WSAHOST_NOT_FOUND:
        case WSATRY_AGAIN:
        case WSANO_DATA: return "servidor não encontrado";
        case WSAECONNRESET:
        case WSAECONNABORTED:
        case WSAENETRESET:
        case WSAEDISCON: return "conexão interrompida";
        case WSAENETDOWN:
        case WSAENETUNREACH: return "rede inacessível";
        case WSAEHOSTDOWN:
        case WSAEHOSTUNREACH: return "servidor inacessível";
        default: return nullptr;
    }
}

}  // namespace

std::string SocketFailureText(int socketError, const std::string& libraryDescription) {
    if (socketError == 0) return "";
    const char* word = PortugueseWord(socketError);
    return std::string(word ? word : libraryDescription.c_str()) + " (" + std::to_string(socketError) + ")";
}

}  // namespace lunaro::app
