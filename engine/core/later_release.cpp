#include "engine/core/services/later_release.h"

namespace {
LaterReleaseForms gForms = {};
}

const LaterReleaseForms& LaterForms() { return gForms; }

void InstallLaterForms(const LaterReleaseForms& forms) { gForms = forms; }

void ResetLaterForms() { gForms = {}; }
