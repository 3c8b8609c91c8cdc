#include "ui/view/view_math.h"

#include <algorithm>
#include <cmath>

#include <windows.h>

namespace {
constexpr double kLimit = 30000.0;
constexpr int32_t kLineStep = 8;
constexpr int32_t kWheelStep = 120;
constexpr int32_t kExtentMargin = 5;
}  // namespace

int32_t RoundClamp(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::floor(value + 0.5);
    if (r >= kLimit) return 30000;
    if (r <= -kLimit) return -30000;
    return static_cast<int32_t>(r);
}

int16_t DeviceToSketch(int32_t device, int32_t scrollOrigin, double scale) {
    if (scale == 0) scale = 1;
    return static_cast<int16_t>(RoundClamp((static_cast<double>(device) + scrollOrigin) / scale));
}

int32_t SketchToDevice(int32_t sketch, int32_t scrollOrigin, double scale) {
    return RoundClamp(static_cast<double>(sketch) * scale - scrollOrigin);
}

int32_t ZoomViewportExtent(double scale) { return RoundClamp(scale * 1000.0); }

int32_t ScrollTarget(const ScrollBarState& bar, int32_t code, int32_t thumb) {
    const int32_t last = bar.maximum - bar.page;
    const auto limit = [&](int32_t p) { return p < bar.minimum ? bar.minimum : (p > last ? last : p); };
    switch (code) {
    case SB_LINEUP:        return bar.position - kLineStep;
    case SB_LINEDOWN:      return bar.position + kLineStep;
    case SB_PAGEUP:        return limit(bar.position - bar.page);
    case SB_PAGEDOWN:      return limit(bar.position + bar.page);
    case SB_THUMBTRACK:    return std::max(bar.minimum, std::min(last, thumb));
    case SB_TOP:           return bar.minimum;
    case SB_BOTTOM:        return last;
    default:               return bar.position;
    }
}

ScrollBarState ScrollRangeFor(int32_t extentLow, int32_t extentHigh, int32_t position, int32_t clientSize) {
    ScrollBarState s;
    s.minimum = extentLow < position ? extentLow : position;
    s.maximum = extentHigh > position + clientSize ? extentHigh : position + clientSize;
    s.page = clientSize;
    s.position = position;
    return s;
}

int32_t WheelToolSteps(int32_t delta) {
    const int32_t magnitude = delta < 0 ? -delta : delta;
    const int32_t steps = (magnitude + kWheelStep - 1) / kWheelStep;
    return delta < 0 ? -steps : steps;
}

PixelRect ScrollExtentFor(const ScreenRect& extent, double scaleX, double scaleY, const PixelRect& client) {
    if (extent.right < extent.left) return client;
    return PixelRect{ static_cast<int32_t>(extent.left * scaleX) - kExtentMargin,
                      static_cast<int32_t>(extent.top * scaleY) - kExtentMargin,
                      static_cast<int32_t>(extent.right * scaleX) + kExtentMargin,
                      static_cast<int32_t>(extent.bottom * scaleY) + kExtentMargin };
}

PixelRect WidenLineBounds(const PixelRect& bounds, const PixelRect& client) {
    if (client.left >= bounds.left && client.top >= bounds.top && client.right <= bounds.right &&
        client.bottom <= bounds.bottom) {
        return bounds;
    }
    const int32_t w = client.right - client.left;
    const int32_t h = client.bottom - client.top;
    return PixelRect{ client.left - w, client.top - h, client.right + w, client.bottom + h };
}
