// The engine's one pseudo-random generator. Iterations save and restore the seed
// so that their random images repeat; everyone else only draws values.
#pragma once
#include <cstdint>

// seed = seed * 1103515245 + 12345 (mod 2^32); answers bits 16..30, 0..32767.
// The seed is 1 when the process starts.
int32_t  NextRandom();
void     SetRandomSeed(uint32_t seed);
uint32_t GetRandomSeed();
