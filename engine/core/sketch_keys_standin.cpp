// Stand-in: the keys of the front sketch (nudging, caption editing, tool keys) are not
// built; every special key counts as used until they are.
#include "engine/core/sketch_keys.h"

bool HandleViewCommand(uint16_t code, bool) { return code != 0; }
