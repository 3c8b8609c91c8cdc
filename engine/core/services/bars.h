// The shell's bars as the engine reaches them.
#pragma once
#include <cstdint>

// Writes the Motion Controller's speed-range text for the range low..high (the empty
// text for 0..0); the bar shows it when it next refreshes its speed item.
void FormatSpeedRangeText(double low, double high);

// The Motion Controller bar. `RefreshMotionControllerItem` shows one of its eight items in
// `state` (0 enabled, 1 enabled and checked, 2 disabled) and repaints its control.
void RefreshMotionControllerItem(int32_t item, int32_t state);
bool IsMotionControllerVisible();
// Hides or shows the bar unless it already is so.
void SetMotionControllerHidden(bool hidden);
// Whether the command states hold an item for showing the bar (the menu offers it).
bool HasMotionControllerCommand();

// The Text Palette. Both answer the visibility the palette had. Hiding it also forgets
// that the user opened the notation bar; while the palette itself reports being closed
// by its own close box the call changes nothing.
bool ShowTextPalette(bool show);
bool IsTextPaletteVisible();
// The palette shows the current text style again; `enabled`: its controls may be used.
void UpdateTextPalette(bool enabled);
// Shows or hides the symbolic notation bar; answers the visibility it had.
bool ShowNotationBar(bool show);
// Whether the user has the notation bar open (it is hidden while no caption is edited
// and shown again by the next edit).
bool NotationBarWanted();
