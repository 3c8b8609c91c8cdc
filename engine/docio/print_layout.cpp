#include "engine/core/services/document_io.h"

// Stand-in: the print layout is not built yet; nothing to compute until the print
// settings exist.
void ComputeDefaultPrintLayout() {}
