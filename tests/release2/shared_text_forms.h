// What a shared text of the engine's string groups reads as in figlate: the same, except
// the tool prompts, which take typed arguments (the number ^B, the noun ^A).
#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "engine/core/services/string_groups.h"

inline std::string AsFiglateText(int32_t group, std::string text) {
    if (group != kGroupToolMatching) return text;
    for (const auto& [from, to] : { std::pair{ "%i", "^B" }, std::pair{ "%s", "^A" } })
        if (const size_t at = text.find(from); at != std::string::npos) text.replace(at, 2, to);
    return text;
}
