// Stand-in: the motion engine's calls made by Animate and the speed commands: no motion
// is made, speeds stay, and the Motion Controller bar is the shell stand-in's.
#include "engine/interact/interaction_services.h"
#include "engine/interact/neighbour_services.h"

Motion* CreateMotionsForSelection(SketchObject*) { return nullptr; }
ResultCode StartMotion(Motion*, SketchObject*, int32_t* undoNeeded) {
    *undoNeeded = 0;
    return kResultOK;
}
void ChangeMotionSpeeds(double, bool, bool) {}
bool MotionControllerShown() { return ShellStandin().motionControllerVisible != 0; }
