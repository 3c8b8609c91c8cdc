// Action buttons: pressing, captions, frames and the bookkeeping of running buttons. The
// class data and its record are engine/core's action_button_data.h and docio's codec.
#pragma once
#include <cstdint>

#include "engine/core/action_button_data.h"
#include "engine/core/services/action_buttons.h"
