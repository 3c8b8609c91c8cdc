// figlate's forms of the engine's commands, as entries of the later-release table.
#pragma once

#include "engine/core/services/later_release.h"

// Sets the command entries of forms (the rest is left as it is).
void AddCommandForms(LaterReleaseForms* forms);
