// The shell's bars as the engine reaches them.
#pragma once

// Writes the Motion Controller's speed-range text for the range low..high (the empty
// text for 0..0); the bar shows it when it next refreshes its speed item.
void FormatSpeedRangeText(double low, double high);

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
