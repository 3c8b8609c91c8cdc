// The script view services of the engine.
//
// Stand-in: the Script View bar is not built; until it is there is no bar, so every
// service does nothing and the bar counts as hidden.
#include "engine/core/services/script_view.h"

bool  IsScriptViewVisible() { return false; }
void  ShowScriptView(bool) {}
void  SetScriptViewCaption(const char*) {}
void  SetScriptViewTool(int32_t, const char*) {}
char* GetScriptViewComment() { return nullptr; }
void  RefreshScriptViewStatus() {}
void  UpdateScriptStepList(int32_t, int32_t) {}
