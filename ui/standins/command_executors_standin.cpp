// Stand-in: the executors of the engine's commands belong to the code that carries each
// command out (construction, transforms, edit commands, motions, dialogs); until it is
// built, each does nothing here, in the program only (the tests take their doubles).
// Quit posts its request as the command will: save the preferences, really quit.
#include "engine/core/engine_startup.h"
#include "engine/interact/command_executors.h"

ResultCode QuitCommand(int32_t) {
    RequestAppQuit(1, 1);
    return kResultOK;
}

ResultCode ConstructByProgramCommand(int32_t) { return kResultOK; }
ResultCode ConstructBetweenPointsCommand(int32_t) { return kResultOK; }
ResultCode ConstructIntersectionsCommand(int32_t) { return kResultOK; }
ResultCode ConstructPointsOnObjectsCommand(int32_t) { return kResultOK; }
ResultCode ConstructLocusCommand(int32_t) { return kResultOK; }
ResultCode HideObjectsCommand(int32_t) { return kResultOK; }
ResultCode ShowAllHiddenCommand(int32_t) { return kResultOK; }
ResultCode SplitCommand(int32_t) { return kResultOK; }
ResultCode MergeCommand(int32_t) { return kResultOK; }
ResultCode SplitTextCommand(int32_t) { return kResultOK; }
ResultCode MergeTextCommand(int32_t) { return kResultOK; }
ResultCode AnimateCommand(int32_t) { return kResultOK; }
ResultCode TraceCommand(int32_t) { return kResultOK; }
ResultCode ChangeSpeedCommand(int32_t) { return kResultOK; }
ResultCode DeleteCommand(int32_t) { return kResultOK; }
ResultCode SelectAllCommand(int32_t) { return kResultOK; }
ResultCode SelectRelativesCommand(int32_t) { return kResultOK; }
ResultCode ActionButtonCommand(int32_t) { return kResultOK; }
ResultCode DefineCoordSystemCommand(int32_t) { return kResultOK; }
ResultCode ShowHideGridCommand(int32_t) { return kResultOK; }
ResultCode ToggleSnapToGridCommand(int32_t) { return kResultOK; }
ResultCode PlotPointsCommand(int32_t) { return kResultOK; }
ResultCode GridFormCommand(int32_t) { return kResultOK; }
ResultCode PauseAnimationCommand(int32_t) { return kResultOK; }
ResultCode ShowLabelsCommand(int32_t) { return kResultOK; }
ResultCode PreferencesCommand(int32_t) { return kResultOK; }
ResultCode PropertiesCommand(int32_t) { return kResultOK; }
ResultCode ShowToolboxCommand(int32_t) { return kResultOK; }
ResultCode LineStyleCommand(int32_t) { return kResultOK; }
ResultCode EditCalculationCommand(int32_t) { return kResultOK; }
ResultCode EquationCommand(int32_t) { return kResultOK; }
ResultCode DocumentOptionsCommand(int32_t) { return kResultOK; }
ResultCode TextStyleCommand(int32_t) { return kResultOK; }
ResultCode ShowTextPaletteCommand(int32_t) { return kResultOK; }
ResultCode StopAllSketchesMotions(int32_t) { return kResultOK; }
ResultCode ParametricColorCommand(int32_t) { return kResultOK; }
ResultCode OtherColorCommand(int32_t) { return kResultOK; }
ResultCode ShowMotionControllerCommand(int32_t) { return kResultOK; }
ResultCode ConstructFromFunctionsCommand(int32_t) { return kResultOK; }
ResultCode DerivativeCommand(int32_t) { return kResultOK; }
ResultCode CutCommand(int32_t) { return kResultOK; }
ResultCode CopyCommand(int32_t) { return kResultOK; }
ResultCode PasteCommand(int32_t) { return kResultOK; }
ResultCode ClearCommand(int32_t) { return kResultOK; }
ResultCode NewParameterCommand(int32_t) { return kResultOK; }
ResultCode IterateCommand(int32_t) { return kResultOK; }
ResultCode AddTableEntryCommand(int32_t) { return kResultOK; }
ResultCode RemoveTableEntryCommand(int32_t) { return kResultOK; }
