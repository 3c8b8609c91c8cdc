#include "engine/core/engine_startup.h"

#include "engine/core/memory.h"
#include "engine/core/print_state.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/document_io.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/views.h"
#include "engine/core/status_text.h"

namespace {

struct QuitRequest {
    int32_t pending;
    int32_t savePreferences;  // survives ClearAppQuitRequest, read by ShutdownEngine
    int32_t value;
};

QuitRequest gQuitRequest = {};

}  // namespace

bool StartEngine() {
    if (!InstallMemoryReserves(nullptr)) return false;
    if (!InitStreamTable()) {
        CmdStateFreeItems();
        FreeMemoryReserves();
        return false;
    }
    if (auto prepare = LaterForms().text.prepareTexts) prepare();
    SetCustomColors(NewDefaultCustomColors());
    PreferencesDefaults(&ThePreferences());
    PreferencesLoad();
    ++EngineStartCounter();
    if (!InitDrawingMetrics() || !InitCustomToolLibrary()) {
        SetCustomColors(nullptr);
        CmdStateFreeItems();
        FreeStreamTable();
        FreeMemoryReserves();
        return false;
    }
    InitStatusText();
    gQuitRequest = {};
    ResetPrintState();
    ScheduleToolFolderScan();
    return true;
}

void ShutdownEngine() {
    if (gQuitRequest.savePreferences != 0) PreferencesSave();
    CmdStateFreeItems();
    FreeStreamTable();
    FreeStatusText();
    SetCustomColors(nullptr);
    StopToolFolderScan();
    FreeToolFolderList();
    FreeMemoryReserves();
}

void RequestAppQuit(int32_t savePreferences, int32_t value) {
    gQuitRequest = { 1, savePreferences, value };
}

bool TakeAppQuitRequest(int32_t* savePreferences, int32_t* value) {
    if (gQuitRequest.pending == 0) return false;
    *savePreferences = gQuitRequest.savePreferences;
    *value = gQuitRequest.value;
    return true;
}

void ClearAppQuitRequest() {
    gQuitRequest.pending = 0;
}
