// Stand-in: what the engine's document asks of the user interface, until the menus,
// views and page tabs are built. Nothing is shown; every request is allowed.
#include "engine/core/services/user_interface.h"

ResultCode BuildMenuBarFromStream(const uint8_t*, uint32_t) { return kResultOK; }

const uint8_t* ProgramMenuStream(uint32_t* length) {
    *length = 0;
    return nullptr;
}

const uint8_t* DefaultMenuStream(uint32_t* length) {
    static const uint8_t kEmptyDescription[2] = { 0, 0 };
    *length = sizeof kEmptyDescription;
    return kEmptyDescription;
}

int32_t NoPageHook(EngineDocument*, int32_t) { return 0; }

void ShowPageInViews(EngineDocument*, int32_t, int32_t) {}

void ShowContextMenu(bool, bool) {}
