// Stand-in: the print layout is not built yet.
#pragma once

// Computes the default print layout at engine start.
void ComputeDefaultPrintLayout();
