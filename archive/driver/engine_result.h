#pragma once
// How the engine's error numbers become the component's message
// identifiers: the codes in callbacks (zacMessage, zacSkipped) and the
// negative results of a run.
#include <cstdint>
#include <string>

namespace lunaro::archive {

// 0 for a code whose low byte is 0, else 11648 + the low byte, or 11654
// ("Fatal error") when that passes the last engine message.
int EngineErrorIdent(uint32_t code);

// Nothing for result >= 0; otherwise raises EZipKeeper: "critical DLL
// Error" beyond the known range, "User canceled operation" for a cancelled
// run, else 11648 + the magnitude.
void CheckEngineResult(int result);

// The private version as "major.minor.release.build" (1900095 reads
// 1.9.0.0095).
std::string FormatEngineVersion(int privateVersion);

}  // namespace lunaro::archive
