#include "archive/messages/zk_exception.h"

#include "archive/messages/message_catalog.h"
#include "archive/messages/message_ids.h"

namespace lunaro::archive {

int NormalizedIdent(int ident) { return ident >= -11603 && ident <= -10096 ? -ident : ident; }

EZipKeeper EZipKeeper::CreateDisp(const std::string& message, bool display) {
    return EZipKeeper(message, msg::UnknownFailure, display);
}

EZipKeeper EZipKeeper::CreateResDisp(int ident, bool display) {
    ident = NormalizedIdent(ident);
    return EZipKeeper(ZipLoadStr(ident), ident, display);
}

EZipKeeper EZipKeeper::CreateResInt(int ident, int anInt) {
    ident = NormalizedIdent(ident);
    return EZipKeeper(ZipFmtLoadStr(ident, {anInt}), ident, true);
}

EZipKeeper EZipKeeper::CreateResStr(int ident, const std::string& str1) {
    ident = NormalizedIdent(ident);
    return EZipKeeper(ZipFmtLoadStr(ident, {str1}), ident, true);
}

EZipKeeper EZipKeeper::CreateRes2Str(int ident, const std::string& str1, const std::string& str2) {
    ident = NormalizedIdent(ident);
    return EZipKeeper(ZipFmtLoadStr(ident, {str1, str2}), ident, true);
}

}  // namespace lunaro::archive
