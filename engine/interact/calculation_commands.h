// The calculator commands: New and Edit Calculation, New and Edit Function, Plot New
// Function, Edit Parameter Definition (EditCalculationCommand, by its flags) and Plot
// Function (ConstructFromFunctionsCommand), with the picking they run while the
// calculator is open.
#pragma once
#include <cstdint>

#include "engine/calc/expression_tokens.h"
#include "engine/interact/pick_session.h"

// Command flags of EditCalculationCommand.
constexpr int32_t kCalcCommandFunction = 1;
constexpr int32_t kCalcCommandEdit = 2;
constexpr int32_t kCalcCommandPlot = 4;
constexpr int32_t kCalcCommandParameter = 8;

struct CalculationEditRecord;
// The parameter dialog for a new parameter, proposing the next point letter as its name
// (without using it up): on OK the record holds the expression of the value entered and
// `name` (41 bytes) the name, `renamed` when the user changed it. False on Cancel or
// when memory runs out; the record holds nothing then.
bool AskForNewParameter(CalculationEditRecord* record, char* name, bool* renamed);

// Picking into the calculator: values and functions marked as offerable.
bool CalcPickFilter(SketchObject* object, void* user);
void CalcPickAccept(SketchObject* object, void* user, PickApplyFn* apply);

// Offers to switch the sketch to radians when the expression uses a trigonometric
// function in a sketch measuring angles otherwise; once declined, never again while
// the program runs.
void CheckTrigAngleUnits(const InfixExpression* record);
