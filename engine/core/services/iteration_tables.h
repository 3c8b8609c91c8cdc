// What an iteration asks of its table of iterated values (construction type 92): the
// table code (engine/calc) defines it.
#pragma once
#include <cstdint>

struct SketchObject;

// Sizes the table for `rows` rows of iterated values (the image count + 1); false when
// memory runs out.
bool SetTableRowsForIteration(SketchObject* table, int32_t rows);
// Called for each image of an update (image index 0 and number 0 for the seeds' own row
// first): the table's row for that image shows the values its parents have now.
void FillIterationTableRows(SketchObject* table, int32_t imageIndex, int32_t iterationNumber);
