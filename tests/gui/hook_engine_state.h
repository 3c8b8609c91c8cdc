// What the test hook asks of the engine's value objects, kept apart from the hook's
// Windows code (the engine's geometry headers and the platform's share names).
#pragma once
#include <string>

// The front sketch's measurements and calculations, one line each: position value.
std::string HookValues();
// A new parameter of the value with its default change settings in the front sketch:
// "ok", or why not.
std::string HookBuildParameter(double value);
// The front sketch's action buttons, one line each:
// position|type|caption|run state|left top right bottom.
std::string HookButtons();
// Engine-made buttons in the front sketch, by kind (animate, move, scroll, link,
// present): "ok", or why not. A link goes to the document's second page.
std::string HookBuildButtons(const std::string& kind);
// The front sketch's window rectangle: left top right bottom.
std::string HookWindow();
