#include "net/socket/ssl_plugin_choice.h"

#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/dynamic_library.h"

namespace lunaro::net {
namespace {

struct TModuleChoice {
    TSSLClass moduleClass = nullptr;  // null: TSSLNone
    std::string problem;
};

std::mutex defaultsLock;
TSSLDefaults defaults;

TSSLClass TryModule(platform::TDynamicLibrary& library, const std::string& path, std::string& problem) {
    if (!library.Load(path)) {
        problem = path + ": " + library.LastErrorText();
        return nullptr;
    }
    using Entry = TSSLClass (*)();
    auto entry = reinterpret_cast<Entry>(library.Resolve(kTLSModuleEntry));
    if (entry == nullptr) {
        problem = path + ": no " + kTLSModuleEntry;
        library.Free();
        return nullptr;
    }
    return entry();
}

TModuleChoice LoadModule() {
    // The module stays loaded for the life of the process: sockets made from
    // its class may live until the very end.
    static platform::TDynamicLibrary library;
    TModuleChoice choice;
    const char* configured = std::getenv("LUNARO_TLS_PLUGIN");
    if (configured != nullptr && *configured != '\0') {
        if (std::string(configured) == "none") {
            choice.problem = "TLS turned off by LUNARO_TLS_PLUGIN";
            return choice;
        }
        choice.moduleClass = TryModule(library, configured, choice.problem);
        return choice;
    }
    choice.moduleClass = TryModule(library, kTLSModuleName, choice.problem);
#ifdef LUNARO_TLS_BUILD_DIR
    if (choice.moduleClass == nullptr) {
        std::string inTree;
        choice.moduleClass =
            TryModule(library, std::string(LUNARO_TLS_BUILD_DIR) + "/" + kTLSModuleName, inTree);
    }
#endif
    if (choice.moduleClass != nullptr) choice.problem.clear();
    return choice;
}

const TModuleChoice& Choice() {
    static const TModuleChoice choice = LoadModule();
    return choice;
}

std::unique_ptr<TCustomSSL> ModuleWithDefaults(TTCPBlockSocket* socket) {
    std::unique_ptr<TCustomSSL> plugin = Choice().moduleClass(socket);
    std::lock_guard<std::mutex> hold(defaultsLock);
    plugin->VerifyCert = defaults.VerifyCert;
    if (!defaults.CertCAFile.empty()) plugin->SetCertCAFile(defaults.CertCAFile);
    return plugin;
}

}  // namespace

void SetSSLDefaults(const TSSLDefaults& value) {
    std::lock_guard<std::mutex> hold(defaultsLock);
    defaults = value;
}

TSSLClass DefaultSSLClass() {
    return Choice().moduleClass != nullptr ? &ModuleWithDefaults : &SSLClassOf<TSSLNone>;
}

std::string TLSModuleProblem() { return Choice().problem; }

}  // namespace lunaro::net
