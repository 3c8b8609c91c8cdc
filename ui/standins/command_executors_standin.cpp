// Stand-in: the executors of the engine's commands that the code carrying them out
// does not define yet (motions, dialogs); each does
// nothing here, in the program only (the tests take their doubles).
#include "engine/interact/command_executors.h"

ResultCode PropertiesCommand(int32_t) { return kResultOK; }
