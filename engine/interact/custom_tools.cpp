#include "engine/interact/custom_tools.h"

// Stand-in: no library, no tool folder and no script view exist yet.
bool InitCustomToolLibrary() { return true; }
void FreeToolFolderList() {}
void DetachToolSketch(Sketch*) {}
