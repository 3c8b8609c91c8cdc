// Colours that follow measured values: the mapping of a value onto 0..1 over a user's
// range, the spectrum and grey ramp of one value, the red-green-blue and hue-saturation-
// value colours of three, and the update of the images coloured by them. The dialogs
// draw their colour bars with the same functions.
#pragma once
#include <cstdint>

#include "engine/core/sketch_object.h"

// How values outside From..To repeat (the low four bits of the mode word).
constexpr int32_t kColorNoRepeat     = 0;
constexpr int32_t kColorRepeatOneWay = 1;
constexpr int32_t kColorRepeatBothWays = 2;

// Colour models (the mode word's high bits).
constexpr uint32_t kColorModelSpectrum = 0x10;
constexpr uint32_t kColorModelGrey     = 0x20;
constexpr uint32_t kColorModelRgb      = 0x30;
constexpr uint32_t kColorModelHsv      = 0x40;
constexpr uint32_t kColorModelMask     = 0xF0;
constexpr uint32_t kColorModeMask      = 0x0F;

// The construction data of an image coloured by values, as it is kept in memory: five
// 32-bit words packed without padding.
constexpr uint32_t kParametricColorDataBytes = 20;
struct ParametricColorData {
    uint32_t modeWord;
    double   from;
    double   to;
};
// Packs and unpacks the 20 bytes.
void PackParametricColorData(const ParametricColorData& data, uint8_t bytes[kParametricColorDataBytes]);
ParametricColorData UnpackParametricColorData(const uint8_t bytes[kParametricColorDataBytes]);

// Maps v onto 0..1. False (t untouched) when the range or the value gives no finite
// position in it (From = To, an infinite end, an overflowing quotient).
bool MapParameterToUnit(double v, double from, double to, int32_t mode, double* t);
// One value: the spectrum (violet at t = 0 to red at t = 1) or the grey ramp. False
// when the value does not map.
bool ParametricColorFromValue(double v, double from, double to, int32_t mode, bool spectrum, uint8_t* red,
                              uint8_t* green, uint8_t* blue);
// Three values, each mapped over the same range: red, green and blue, or hue,
// saturation and value.
bool ParametricColorFrom3Values(double a, double b, double c, double from, double to, int32_t mode, bool rgb,
                                uint8_t* red, uint8_t* green, uint8_t* blue);

// Update of construction type 79: parents [source, values newest first] (one or three
// values). The image exists only while every value is defined and maps; it takes the
// colour and copies the source's geometry.
void UpdateParametricColorImage(SketchObject* image, SketchObject* const* parents);
