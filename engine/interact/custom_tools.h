// Stand-in: the custom-tool machinery is not built yet; what the engine's core calls of it.
#pragma once

struct Sketch;

// Start-up step of the custom-tool library; answers true.
bool InitCustomToolLibrary();
// Frees the tool-folder list at shutdown.
void FreeToolFolderList();
// Detaches a tool sketch shown in the script view before it is freed.
void DetachToolSketch(Sketch* sketch);
