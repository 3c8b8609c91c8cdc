// The script view: the bar that shows one custom tool as a script, as the engine drives
// it. Each does nothing, or answers false or null, while the program has no such bar.
#pragma once
#include <cstdint>

bool  IsScriptViewVisible();
// Shows or hides the bar (and its floating frame) unless it is already so.
void  ShowScriptView(bool show);
// The bar's caption, also on every frame that holds it.
void  SetScriptViewCaption(const char* text);
// A new tool: the step list gets `rowCount` rows and the comment box the text.
void  SetScriptViewTool(int32_t rowCount, const char* comment);
// The comment box's text in a new engine block (FreeMemory), or null.
char* GetScriptViewComment();
// The status line or the apply buttons, whichever the playback state asks for.
void  RefreshScriptViewStatus();
// The step list: a new row count (0 keeps it) and a row to scroll into view (0 none).
void  UpdateScriptStepList(int32_t rowCount, int32_t revealRow);
