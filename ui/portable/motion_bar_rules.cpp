#include "ui/portable/motion_bar_rules.h"

int32_t SpinStepCommand(int32_t previous, int32_t now) {
    const bool slower = previous < now || (previous == kSpinBottom && now == kSpinBottom);
    return slower ? 4 : 3;
}

std::string TargetCaption(int32_t state, const TargetCaptionTexts& texts, const std::string& noun,
                          const std::string& single, int32_t width,
                          const std::function<int32_t(const std::string&)>& measure) {
    if (state == 1) return texts.all;
    if (state != 0) return texts.none;
    const int32_t room = width - kTargetCaptionMargin;
    const std::string& named = !single.empty() && measure(single) <= room ? single : noun;
    std::string caption = texts.prefix + named;
    // A caption too long for the button keeps what matters most: what kind of objects.
    if (measure(caption) > room) caption = noun;
    return caption;
}
