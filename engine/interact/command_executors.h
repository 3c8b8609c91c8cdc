// The routines of the CommandExecutors table. Each belongs to the subsystem that
// carries the command out (construction commands, transforms, the host's document
// commands, motions, dialogs); the table only names them.
// StopMotions is the motion engine's and RebuildSketchViews a service of the views
// (engine/core/services/); CloseActiveWindow and RunCommandVariantProgram are the
// shell's (platform/win32).
// TransformCommand and MarkCommand are the Transform commands' (transform_commands.cpp),
// UndoRedoCommand the undo machinery's (undo.cpp); the construction commands are in
// construction_commands.cpp and the commands on the selected objects, Quit among them,
// in object_commands.cpp; SplitCommand and MergeCommand the point merging's
// (merge_split.cpp); DerivativeCommand is derivative_command.cpp's,
// NewParameterCommand parameter_command.cpp's, EditCalculationCommand and
// ConstructFromFunctionsCommand calculation_commands.cpp's, AddTableEntryCommand and
// RemoveTableEntryCommand table_commands.cpp's, and SplitTextCommand and
// MergeTextCommand the merged texts' (engine/text/merged_text_commands.cpp); the Edit
// menu's Cut, Copy, Paste, Clear and Other colour are edit_commands.cpp's.
// The others are the host's document commands (ui/doc/document_services.cpp) and the
// motions' (motion.cpp) and dialogs' own files; the tests' doubles stand in for the host.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

ResultCode ConstructByProgramCommand(int32_t argument);
ResultCode ConstructBetweenPointsCommand(int32_t argument);
ResultCode ConstructIntersectionsCommand(int32_t argument);
ResultCode ConstructPointsOnObjectsCommand(int32_t argument);
ResultCode TransformCommand(int32_t argument);
ResultCode MarkCommand(int32_t argument);
ResultCode QuitCommand(int32_t argument);
ResultCode HostOpenDocument(int32_t argument);
ResultCode HostSaveDocument(int32_t argument);
ResultCode ConstructLocusCommand(int32_t argument);
ResultCode HideObjectsCommand(int32_t argument);
ResultCode ShowAllHiddenCommand(int32_t argument);
ResultCode HostNewDocument(int32_t argument);
ResultCode UndoRedoCommand(int32_t argument);
ResultCode SplitCommand(int32_t argument);
ResultCode MergeCommand(int32_t argument);
ResultCode SplitTextCommand(int32_t argument);
ResultCode MergeTextCommand(int32_t argument);
ResultCode AnimateCommand(int32_t argument);
ResultCode TraceCommand(int32_t argument);
ResultCode ChangeSpeedCommand(int32_t argument);
ResultCode DeleteCommand(int32_t argument);
ResultCode HostNoOp(int32_t argument);
ResultCode SelectAllCommand(int32_t argument);
ResultCode SelectRelativesCommand(int32_t argument);
ResultCode ActionButtonCommand(int32_t argument);
ResultCode DefineCoordSystemCommand(int32_t argument);
ResultCode ShowHideGridCommand(int32_t argument);
ResultCode ToggleSnapToGridCommand(int32_t argument);
ResultCode PlotPointsCommand(int32_t argument);
ResultCode GridFormCommand(int32_t argument);
ResultCode RebuildSketchViews(int32_t argument);
ResultCode StopMotions(int32_t argument);
ResultCode PauseAnimationCommand(int32_t argument);
ResultCode ShowLabelsCommand(int32_t argument);
ResultCode PreferencesCommand(int32_t argument);
ResultCode PropertiesCommand(int32_t argument);
ResultCode ShowToolboxCommand(int32_t argument);
ResultCode LineStyleCommand(int32_t argument);
ResultCode EditCalculationCommand(int32_t argument);
ResultCode EquationCommand(int32_t argument);
ResultCode DocumentOptionsCommand(int32_t argument);
ResultCode TextStyleCommand(int32_t argument);
ResultCode ShowTextPaletteCommand(int32_t argument);
ResultCode StopAllSketchesMotions(int32_t argument);
ResultCode CloseActiveWindow(int32_t argument);
ResultCode ParametricColorCommand(int32_t argument);
ResultCode OtherColorCommand(int32_t argument);
ResultCode ShowMotionControllerCommand(int32_t argument);
ResultCode ConstructFromFunctionsCommand(int32_t argument);
ResultCode DerivativeCommand(int32_t argument);
ResultCode RunCommandVariantProgram(int32_t argument);
ResultCode CutCommand(int32_t argument);
ResultCode CopyCommand(int32_t argument);
ResultCode PasteCommand(int32_t argument);
ResultCode ClearCommand(int32_t argument);
ResultCode HostPrint(int32_t argument);
ResultCode HostPrintPreview(int32_t argument);
ResultCode HostPrintSetup(int32_t argument);
ResultCode NewParameterCommand(int32_t argument);
ResultCode IterateCommand(int32_t argument);
ResultCode AddTableEntryCommand(int32_t argument);
ResultCode RemoveTableEntryCommand(int32_t argument);
