#include "engine/core/random.h"

namespace {
uint32_t RandomSeed = 1;
}

int32_t NextRandom() {
    RandomSeed = RandomSeed * 1103515245u + 12345u;
    return static_cast<int32_t>((RandomSeed >> 16) & 0x7fff);
}

void SetRandomSeed(uint32_t seed) { RandomSeed = seed; }

uint32_t GetRandomSeed() { return RandomSeed; }
