// The identifiers through which menus, accelerators and bars reach the engine, and the
// status prompts and key letters of the engine's commands.
#pragma once
#include <windows.h>

#include <cstdint>

#include "classlib/str.h"

// Menu identifiers of the engine's command-state slots (identifier − 0x9000).
constexpr UINT kEngineCommandFirst = 0x9000;
constexpr UINT kEngineCommandLast  = 0xAFFF;
// The Help menu's items taken from the engine's strings.
constexpr UINT kHelpMenuFirst = 0xB000;
constexpr UINT kHelpMenuLast  = 0xB03F;

// A menu (code 0) or accelerator (code 1) command of the engine's range, and its slot.
bool EngineCommandSlot(WPARAM wParam, uint32_t* slot);
// The status prompt of a slot: its command-table row's text of the prompt group.
CString EngineCommandPrompt(uint32_t slot);
CString HelpItemPrompt();

// Ctrl and Alt key letters of the run-time menus; 0 when the key has no command.
UINT LookupCtrlKeyCommand(UINT virtualKey, bool shift);
UINT LookupAltKeyCommand(char character);

// The Help menu's link of an entry (the address beside its text in the menu's string group).
void OpenHelpMenuLink(int32_t entry);
