// Hooks the engine calls on the platform when its records go away.
#pragma once

// Called after a sketch was freed; the platform has nothing of its own to release.
void NotifySketchFreed();
