#include "app/engine_admission.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <memory>

#include "archive/driver/dll_loader.h"
#include "platform/environment.h"
#include "platform/exception.h"
#include "platform/paths.h"

namespace lunaro::app {

std::optional<std::string> FileSha256(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
    std::array<char, 65536> block;
    while (file) {
        file.read(block.data(), block.size());
        if (file.gcount() > 0 && EVP_DigestUpdate(ctx.get(), block.data(), static_cast<size_t>(file.gcount())) != 1)
            return std::nullopt;
    }
    if (file.bad()) return std::nullopt;
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest;
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest.data(), &length) != 1) return std::nullopt;
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

std::optional<std::string> NormalizedDigest(const std::string& text) {
    std::string digest = text.substr(0, text.find_first_of(" \t\r\n"));
    if (digest.size() != 64 || !std::all_of(digest.begin(), digest.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return std::nullopt;
    std::transform(digest.begin(), digest.end(), digest.begin(), [](unsigned char c) { return std::tolower(c); });
    return digest;
}

std::vector<std::string> TrustedEngineDigests(const std::optional<std::string>& configured) {
    std::vector<std::string> trusted;
    auto add = [&](const std::string& text) {
        if (auto digest = NormalizedDigest(text)) trusted.push_back(*digest);
    };
    std::ifstream built(platform::ProgramFolder() + kBuiltEngineDigestFile);
    std::string line;
    if (built && std::getline(built, line)) add(line);
    add(platform::EnvironmentValue(kEngineDigestVariable));
    if (configured) add(*configured);
    return trusted;
}

void AdmitEngineFile(const std::string& path, const std::vector<std::string>& trusted) {
    const std::optional<std::string> digest = FileSha256(platform::HostPath(path));
    if (!digest) throw platform::Exception("O motor de extração " + path + " não pôde ser lido para conferência");
    if (trusted.empty())
        throw platform::Exception("O motor de extração " + path +
                                  " foi recusado: nenhum SHA-256 confiável está configurado (--engine-sha256 ou " +
                                  kEngineDigestVariable + ")");
    if (std::find(trusted.begin(), trusted.end(), *digest) == trusted.end())
        throw platform::Exception("O motor de extração " + path + " foi recusado: o SHA-256 " + *digest +
                                  " não é o de um motor confiável");
}

void GuardEngineLoading(std::vector<std::string> trusted) {
    archive::TZKDLLLoader::Process().OnAdmitLibrary = [trusted = std::move(trusted)](const std::string& path) {
        AdmitEngineFile(path, trusted);
    };
}

}  // namespace lunaro::app
