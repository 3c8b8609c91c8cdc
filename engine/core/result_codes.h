// Result codes: small integers returned up the call chain, 0 = success.
// Codes 1 to 16 are warnings after which reading and writing go on; above 16 is fatal.
#pragma once
#include <cstdint>

using ResultCode = int32_t;

constexpr ResultCode kResultOK          = 0;
constexpr ResultCode kResultOutOfMemory = 100;
constexpr ResultCode kResultCancelled   = 104;  // silent: the user chose to stop

inline bool IsFatalResult(ResultCode code) { return code > 16; }
inline bool IsWarningResult(ResultCode code) { return code >= 1 && code <= 16; }

// Keeps the worse of two codes: the larger number wins.
inline ResultCode KeepWorstError(ResultCode worst, ResultCode code) {
    return code > worst ? code : worst;
}
