#include "engine/core/parametric_color.h"

#include <cmath>
#include <cstring>

#include "engine/core/construction_data.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/measurements.h"
#include "engine/core/transform_maps.h"

namespace {

uint8_t ToByte(double factor) {
    const double v = 255.0 * factor;
    if (!(v > 0)) return 0;
    return v >= 255.0 ? 255 : static_cast<uint8_t>(v);
}

}  // namespace

void PackParametricColorData(const ParametricColorData& data, uint8_t bytes[kParametricColorDataBytes]) {
    std::memcpy(bytes, &data.modeWord, 4);
    std::memcpy(bytes + 4, &data.from, 8);
    std::memcpy(bytes + 12, &data.to, 8);
}

ParametricColorData UnpackParametricColorData(const uint8_t bytes[kParametricColorDataBytes]) {
    ParametricColorData data;
    std::memcpy(&data.modeWord, bytes, 4);
    std::memcpy(&data.from, bytes + 4, 8);
    std::memcpy(&data.to, bytes + 12, 8);
    return data;
}

bool MapParameterToUnit(double v, double from, double to, int32_t mode, double* t) {
    // A stored range of zero width, an infinite end or a quotient that overflows has no
    // position in the range: the caller treats it like an undefined value.
    if (!std::isfinite(from) || !std::isfinite(to)) return false;
    // Each step is rounded to a double in memory: an 80-bit register would keep an
    // overflowing difference or quotient finite, and the same document would colour
    // differently on another floating-point unit.
    volatile double offset = v - from;
    volatile double span = to - from;
    volatile double quotient = offset / span;
    const double u = quotient;
    if (!std::isfinite(u)) return false;
    double n = std::floor(u);
    double r = u - n;
    if (mode == kColorNoRepeat) {
        if (n < 0) r = 0;
        else if (n > 0) r = 1;
        n = 0;
    }
    n = std::fabs(n);
    // The parity in doubles: n may lie far beyond any integer type.
    bool odd = std::fmod(n, 2.0) == 1.0;
    if (odd && r == 0) {
        // An odd whole number of periods ends at the top of the range.
        r = 1;
        odd = false;
    }
    if (mode == kColorRepeatBothWays && odd) r = 1 - r;
    *t = r < 0 ? 0 : (r > 1 ? 1 : r);
    return true;
}

bool ParametricColorFromValue(double v, double from, double to, int32_t mode, bool spectrum, uint8_t* red,
                              uint8_t* green, uint8_t* blue) {
    double t;
    if (!MapParameterToUnit(v, from, to, mode, &t)) return false;
    if (!spectrum) {
        *red = *green = *blue = ToByte(t);
        return true;
    }
    // A wavelength in tenths of a nanometre, violet to red.
    const double w = 3850 + 2900 * t;
    double r = 0, g = 0, b = 0;
    if (w > 3800 && w < 4400) {
        b = 1;
        r = (4400 - w) / 600;
    } else if (w < 5100) {
        const double gs = (5100 - w) / 700, bs = (w - 4400) / 700;
        g = 1 - gs * gs;
        b = 1 - bs * bs;
    } else if (w < 6450) {
        const double gs = (w - 5100) / 1350, rs = (6450 - w) / 1350;
        g = 1 - gs * gs;
        r = 1 - rs * rs;
    } else {
        r = 1;
        if (w >= 7800) g = b = 1;
    }
    const double intensity = w > 7000 ? (7800 - w) * 0.000875 + 0.3 : 1.0;
    *red = ToByte(intensity * r);
    *green = ToByte(intensity * g);
    *blue = ToByte(intensity * b);
    return true;
}

bool ParametricColorFrom3Values(double a, double b, double c, double from, double to, int32_t mode, bool rgb,
                                uint8_t* red, uint8_t* green, uint8_t* blue) {
    double ta, tb, tc;
    if (!MapParameterToUnit(a, from, to, mode, &ta) || !MapParameterToUnit(b, from, to, mode, &tb) ||
        !MapParameterToUnit(c, from, to, mode, &tc))
        return false;
    if (rgb) {
        *red = ToByte(ta);
        *green = ToByte(tb);
        *blue = ToByte(tc);
        return true;
    }
    if (tb == 0) {
        *red = *green = *blue = ToByte(tc);
        return true;
    }
    const double h = ta * 6;
    const double i = std::floor(h);
    const double f = h - i;
    const double p = tc * (1 - tb), q = tc * (1 - tb * f), r = tc * (1 - tb * (1 - f));
    double rgbOut[3];
    switch (static_cast<int32_t>(i)) {
        case 0: rgbOut[0] = tc; rgbOut[1] = r; rgbOut[2] = p; break;
        case 1: rgbOut[0] = q; rgbOut[1] = tc; rgbOut[2] = p; break;
        case 2: rgbOut[0] = p; rgbOut[1] = tc; rgbOut[2] = r; break;
        case 3: rgbOut[0] = p; rgbOut[1] = q; rgbOut[2] = tc; break;
        case 4: rgbOut[0] = r; rgbOut[1] = p; rgbOut[2] = tc; break;
        default: rgbOut[0] = tc; rgbOut[1] = p; rgbOut[2] = q; break;  // a hue of exactly 1 too
    }
    *red = ToByte(rgbOut[0]);
    *green = ToByte(rgbOut[1]);
    *blue = ToByte(rgbOut[2]);
    return true;
}

void UpdateParametricColorImage(SketchObject* image, SketchObject* const* parents) {
    int32_t parentCount = 0;
    PtrListSize(image->parents, &parentCount);
    const int32_t values = parentCount - 1;
    uint8_t bytes[kParametricColorDataBytes];
    // A stored object with two values or more than three has no colour; its parents and
    // bytes stay as they were read.
    if ((values != 1 && values != 3) || !ReadConstructionData(image, bytes, sizeof bytes)) {
        image->exists = 0;
        return;
    }
    const ParametricColorData data = UnpackParametricColorData(bytes);
    double v[3] = { 0, 0, 0 };
    for (int32_t i = 0; i < values; ++i) {
        const SketchObject* value = parents[1 + i];
        if (!value || !value->exists || !ParentValue(value, &v[i]) || !std::isfinite(v[i])) {
            image->exists = 0;
            return;
        }
    }
    const int32_t mode = static_cast<int32_t>(data.modeWord & kColorModeMask);
    const uint32_t model = data.modeWord & kColorModelMask;
    uint8_t red = 0, green = 0, blue = 0;
    // The values are kept newest first: the first one picked gives red (or hue).
    const bool ok = values == 1
                        ? ParametricColorFromValue(v[0], data.from, data.to, mode, model == kColorModelSpectrum, &red,
                                                   &green, &blue)
                        : ParametricColorFrom3Values(v[2], v[1], v[0], data.from, data.to, mode,
                                                     model == kColorModelRgb, &red, &green, &blue);
    if (!ok) {
        image->exists = 0;
        return;
    }
    uint32_t color = 0;
    PackRgb(&color, red, green, blue);
    image->color = color;
    UpdateTransformedImage(image, parents);
}
