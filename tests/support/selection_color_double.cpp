// Test double of the selection-colour refresh: no view shows a test's sketch, so there
// is nothing to choose or redraw. In a file of its own so that a build with the real
// colour services takes theirs.
#include "engine/core/services/colors.h"

void RefreshSelectionColor(int32_t) {}
