// The shell's bars as the engine reaches them.
#pragma once

// Writes the Motion Controller's speed-range text for the range low..high (the empty
// text for 0..0); the bar shows it when it next refreshes its speed item.
void FormatSpeedRangeText(double low, double high);
