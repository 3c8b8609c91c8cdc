// The calculator's editing model begun and ended for the dialog's tests, from a file
// that needs none of the system headers (the model's records share names with them).
#pragma once
#include <cstdint>

bool BeginCalcModelForTest(int32_t form);
void EndCalcModelForTest();
