// Stand-ins of what the calculation code offers the layout builders until function
// plots are built.
#include "engine/calc/standin_engine.h"

#include "engine/calc/value_display.h"
#include "engine/text/layout.h"

// Stand-in: function plots keep their form once they are built; until then y = f(x).
int32_t FunctionPlotForm(const SketchObject*) { return 0; }
