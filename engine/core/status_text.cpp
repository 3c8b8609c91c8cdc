#include "engine/core/status_text.h"

#include "engine/core/memory.h"
#include "engine/core/services/views.h"

namespace {

bool               gHasProvider = false;
StatusTextProvider gProvider = {};
char*              gText = nullptr;
bool               gDirty = false;

}  // namespace

void SetStatusTextProvider(const StatusTextProvider* provider, int32_t argument) {
    if (provider == nullptr) {
        ClearStatusTextProvider(argument);
        return;
    }
    if (gHasProvider && gProvider.callback == provider->callback && gProvider.key == provider->key)
        return;
    gProvider = *provider;
    gHasProvider = true;
    gDirty = true;
    ScheduleStatusTextRefresh(0);
}

void ClearStatusTextProvider(int32_t argument) {
    if (!gHasProvider) return;
    gHasProvider = false;
    gProvider = {};
    gDirty = true;
    ScheduleStatusTextRefresh(argument);
}

bool FetchStatusText(const char** text) {
    const bool changed = gDirty;
    if (gDirty) {
        gDirty = false;
        FreeMemory(gText);
        gText = nullptr;
        if (gHasProvider && gProvider.callback != nullptr) gProvider.callback(&gText, &gProvider);
    }
    *text = gText;
    return changed;
}

void FreeStatusText() {
    FreeMemory(gText);
    gText = nullptr;
    gHasProvider = false;
    gProvider = {};
    gDirty = false;
}

void InitStatusText() {
    FreeStatusText();
}
