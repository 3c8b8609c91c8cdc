// figlate's window forms that call Windows: the colour pickers' Help button and whether
// the anti-aliasing choice can be offered.
#pragma once

#include "engine/core/services/later_release.h"

// Sets the Windows window entries of forms (the rest is left as it is).
void AddWindowWin32Forms(LaterReleaseForms* forms);
