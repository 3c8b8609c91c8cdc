// Test double of the calculator's platform side: the dialog runs a script of steps
// against the editing model and answers OK or Cancel; the pointer of a drag follows a
// script of positions; pop-up menus are recorded (popup_menu_double.cpp, apart because
// the user interface defines that service in the program, not the platform layer).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/screen_types.h"

struct CalculatorScript {
    std::vector<std::function<void()>> steps;
    bool ok = true;
};

struct RanCalculator {
    int32_t mode;
    int32_t titleItem;
};

// One poll of the pointer while a drag is tracked: the button still down at `point`,
// after `elapsedMs` more milliseconds of the test clock.
struct MousePoll {
    ScreenPoint point;
    uint32_t elapsedMs;
};

struct PopupEntry {
    int32_t kind;  // 0 separator, 1 heading, 3 item
    bool checked;
    bool ownerDrawn;
    uint32_t id;
    std::string text = {};
    bool enabled = true;
    int32_t menu = 0;     // 0 the menu itself, n the n-th submenu made
    int32_t submenu = 0;  // for a submenu's title: its number
};

// The next calculator dialogs run these scripts in order; one without a script cancels.
void ScriptCalculator(std::vector<CalculatorScript> scripts);
std::vector<RanCalculator>& RanCalculators();
// Polls answered "down" in order; once they run out the button is up.
void ScriptMousePolls(std::vector<MousePoll> polls);
// Every pop-up menu given to the engine is this recorder; its entries in order.
struct PopupMenu;
PopupMenu* RecordingPopupMenu();
std::vector<PopupEntry>& RecordedPopupEntries();
void ResetCalculatorDoubles();
