// figlate's forms of the layout engine's operations, as entries of the later-release table.
#pragma once

#include "engine/core/services/later_release.h"

// Sets the layout entries of forms (the rest is left as it is).
void AddLayoutForms(LaterReleaseForms* forms);
