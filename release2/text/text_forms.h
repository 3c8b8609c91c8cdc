// figlate's forms of the text operations, as entries of the later-release table.
#pragma once

#include "engine/core/services/later_release.h"

// Sets the text entries of forms (the rest is left as it is).
void AddTextForms(LaterReleaseForms* forms);
