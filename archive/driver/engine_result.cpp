#include "archive/driver/engine_result.h"

#include "archive/messages/message_format.h"
#include "archive/messages/message_ids.h"
#include "archive/messages/zk_exception.h"

namespace lunaro::archive {

namespace {

constexpr int kLastEngineError = 36;

}  // namespace

int EngineErrorIdent(uint32_t code) {
    const int low = static_cast<int>(code & 0xFF);
    if (low == 0) return 0;
    const int ident = msg::EngineGood + low;
    return ident > msg::EngineDuplicateName ? msg::EngineFatalError : ident;
}

void CheckEngineResult(int result) {
    if (result >= 0) return;
    const int64_t magnitude = -static_cast<int64_t>(result);
    if (magnitude > kLastEngineError)
        throw EZipKeeper::CreateResInt(msg::CriticalEngineError, static_cast<int>(magnitude > INT32_MAX ? INT32_MAX : magnitude));
    if (magnitude <= 2) throw EZipKeeper::CreateResDisp(msg::UserCanceled, true);
    throw EZipKeeper::CreateResDisp(msg::EngineGood + static_cast<int>(magnitude), true);
}

std::string FormatEngineVersion(int v) {
    if (v < 0) v = 0;
    return FormatMessageText("%d.%d.%d.%4.4d", {int64_t{v / 1000000}, int64_t{(v % 1000000) / 100000},
                                                int64_t{(v % 100000) / 10000}, int64_t{v % 1000}});
}

}  // namespace lunaro::archive
