// Stand-in: the executors of the engine's commands that the code carrying them out
// does not define yet (motions, dialogs, clipboard); each does
// nothing here, in the program only (the tests take their doubles).
#include "engine/interact/command_executors.h"

ResultCode PreferencesCommand(int32_t) { return kResultOK; }
ResultCode PropertiesCommand(int32_t) { return kResultOK; }
ResultCode DocumentOptionsCommand(int32_t) { return kResultOK; }
ResultCode OtherColorCommand(int32_t) { return kResultOK; }
ResultCode CutCommand(int32_t) { return kResultOK; }
ResultCode CopyCommand(int32_t) { return kResultOK; }
ResultCode PasteCommand(int32_t) { return kResultOK; }
ResultCode ClearCommand(int32_t) { return kResultOK; }
