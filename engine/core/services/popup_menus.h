// Pop-up menus of the platform as the engine fills them (the custom-tool menu); the
// menu is opaque to the engine.
#pragma once
#include <cstdint>

#include "engine/core/services/calculator.h"

// An item with the next identifier of the counter, greyed unless enabled.
bool AppendPopupCommand(PopupMenu* menu, const char* text, bool enabled, bool checked, uint32_t* counter,
                        uint32_t* id);
// A greyed item without an identifier (a heading).
bool AppendPopupHeading(PopupMenu* menu, const char* text);
// A new submenu under the title; false (nothing appended) without memory.
bool AppendPopupSubmenu(PopupMenu* menu, PopupMenu** submenu, const char* title);
