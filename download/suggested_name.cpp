#include "download/suggested_name.h"

#include "download/download_types.h"
#include "net/text_utils.h"
#include "platform/files.h"
#include "platform/printable_text.h"
#include "platform/utf8.h"

namespace lunaro::download {

std::string SuggestedNameProblem(const std::string& name, const std::string& folder) {
    if (!platform::IsValidUtf8(name)) return "não é texto UTF-8 válido";
    // PrintableText changes exactly the control characters of valid UTF-8.
    if (platform::PrintableText(name) != name) return "contém caracteres de controle";
    if (name.starts_with('.')) return "começa com um ponto";
    if (name.ends_with(kPartSuffix)) return std::string("termina em ") + kPartSuffix;
    if (platform::FileExists(net::EnsurePathDelimiter(folder) + name)) {
        return "já existe um arquivo com esse nome na pasta";
    }
    return "";
}

}  // namespace lunaro::download
