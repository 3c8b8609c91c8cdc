// The custom colours as the colour menu and the colour dialog read them.
#pragma once
#include <windows.h>

// The 16 colours handed to the common colour dialog as its custom colours: those of
// the block installed last (GetCustomColors).
COLORREF* CustomColorArray();
