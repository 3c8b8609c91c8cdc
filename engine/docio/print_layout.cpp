#include "engine/docio/print_layout.h"

// Stand-in: nothing to compute until the print settings exist.
void ComputeDefaultPrintLayout() {}
