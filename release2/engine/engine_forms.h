// figlate's forms of engine operations and of the command table, as entries of the
// later-release table.
#pragma once

#include "engine/core/services/later_release.h"

// Sets the engine and command entries of forms (the rest is left as it is).
void AddEngineForms(LaterReleaseForms* forms);
