// Stand-in: what the engine's document asks of the run-time menus, until they are
// built. No menu is built from a description, no key letter has a command, and help
// topics and links (reached through the link targets) open nothing.
#include "engine/core/services/user_interface.h"
#include "ui/frames/engine_commands.h"

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

void UpdateCommandElement(uint32_t, bool) {}

UINT LookupCtrlKeyCommand(UINT, bool) { return 0; }
UINT LookupAltKeyCommand(char) { return 0; }

void OpenHelpTopicStandin(int32_t) {}
void OpenHelpLinkStandin(int32_t) {}

// Stand-in: the sketch's context menus come with the run-time menus; none opens.
void ShowContextMenu(bool, bool) {}

// Stand-in: the toolbox bar follows the model's selection once the bar is built.
void RefreshToolboxBar() {}
