// Test double of the platform's custom colours: keeps the installed block.
#pragma once
#include <cstdint>

struct CustomColorBlock;

// The block installed now, or null.
const CustomColorBlock* InstalledCustomColors();
// How many times a block (or null) was installed.
int32_t CustomColorInstallCount();
