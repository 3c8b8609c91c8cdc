// figlate's layout forms installed for the life of a scope, and the shared ones back after.
#pragma once
#include "engine/core/services/later_release.h"
#include "release2/text/layout_forms.h"

struct LaterLayoutInstalled {
    LaterLayoutInstalled() {
        LaterReleaseForms forms{};
        AddLayoutForms(&forms);
        InstallLaterForms(forms);
    }
    ~LaterLayoutInstalled() { ResetLaterForms(); }
    LaterLayoutInstalled(const LaterLayoutInstalled&) = delete;
    LaterLayoutInstalled& operator=(const LaterLayoutInstalled&) = delete;
};
