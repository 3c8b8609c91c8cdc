// The custom colours as the colour menu and the colour dialog read them.
#pragma once
#include <windows.h>

struct CustomColorBlock;

// The block installed now (null for none), and the 16 colours handed to the common
// colour dialog as its custom colours.
CustomColorBlock* CurrentCustomColors();
COLORREF* CustomColorArray();
