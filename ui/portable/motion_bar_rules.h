// Rules of the Motion Controller bar that need no window: the spin's direction and the
// target button's caption.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The spin's range runs from 200 (bottom) to 0 (top), so the up arrow lowers the position.
constexpr int32_t kSpinRest = 100;
constexpr int32_t kSpinBottom = 200;
constexpr int32_t kSpinTop = 0;

// The motion-bar command a spin step runs: 4 (slower) when the position rose, or when it
// stays at the bottom end (the down arrow held there); otherwise 3 (faster), which also
// covers the up arrow held at the top end.
int32_t SpinStepCommand(int32_t previous, int32_t now);

// The target button's room for its text: its width less the triangle and the margins.
constexpr int32_t kTargetCaptionMargin = 28;

struct TargetCaptionTexts {
    std::string prefix;   // "Target: "
    std::string all;      // the caption with every motion as the target
    std::string none;     // the caption with no target
};

// The caption for the target item's state (0: the selection, 1: all motions, 2: none).
// `noun` is the selection's noun text; `single` the noun and label of the one selected
// object (empty unless exactly one is selected). `measure` gives a text's width.
std::string TargetCaption(int32_t state, const TargetCaptionTexts& texts, const std::string& noun,
                          const std::string& single, int32_t width,
                          const std::function<int32_t(const std::string&)>& measure);
