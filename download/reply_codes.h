#pragma once
// The reply codes the download workers act on, named once.
#include <cstdint>

namespace lunaro::download {

inline constexpr int32_t kHttpOk = 200;
inline constexpr int32_t kHttpPartialContent = 206;
inline constexpr int32_t kHttpFound = 302;
inline constexpr int32_t kHttpRangeNotSatisfiable = 416;
// The HTTP client's code until a status line arrives: with an empty reason
// phrase it means that no reply was received at all.
inline constexpr int32_t kHttpNoReply = 500;
// A status line the client could not read as HTTP.
inline constexpr int32_t kHttpNotUnderstood = 0;

inline constexpr int32_t kFtpDataConnectionOpen = 125;
inline constexpr int32_t kFtpEnteringPassive = 227;
inline constexpr int32_t kFtpEnteringExtendedPassive = 229;
inline constexpr int32_t kFtpFileStatusOk = 150;
inline constexpr int32_t kFtpTransferComplete = 226;

}  // namespace lunaro::download
