// What the test hook asks of the engine's value objects, kept apart from the hook's
// Windows code (the engine's geometry headers and the platform's share names).
#pragma once
#include <string>

// The front sketch's measurements and calculations, one line each: position value.
std::string HookValues();
// A new parameter of the value with its default change settings in the front sketch:
// "ok", or why not.
std::string HookBuildParameter(double value);
