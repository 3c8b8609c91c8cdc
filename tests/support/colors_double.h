// Test double of the platform's colours: keeps the installed custom colours (read with
// GetCustomColors) and gives the palette of a white window.
#pragma once
#include <cstdint>

struct CustomColorBlock;

// How many times a block (or null) was installed.
int32_t CustomColorInstallCount();
