// A few services of the shell that the engine calls: the refusal beep, the arrow-key
// nudge and answers about numbers and locus codes.
#pragma once
#include <cstdint>

// The system beep for a refused edit or command.
void RefusalBeep();
// True while an arrow key is held; *dx and *dy are -1, 0 or 1.
bool ReadArrowKeyNudge(int32_t unused, int16_t* dx, int16_t* dy);

bool IsFiniteReal(double value);
// True for a signalling or a quiet NaN; infinities are not NaN.
bool IsNanReal(double value);
// Rewrites locus class code 10 as 6 and 6 as 3; answers the code it was given.
int32_t MapLocusClassCode(int32_t* code);

// Asks for the name of a new custom tool (up to 255 characters and a NUL in `name`),
// proposing "Tool #n", until the user gives one that no tool of the front document has
// (true) or cancels (false).
bool PromptNewToolName(char* name);
