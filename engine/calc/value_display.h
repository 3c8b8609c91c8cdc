// The value display that measurements and calculations share: creation, release, the
// parts they offer to merged texts and tables, and the tail of their file record.
#pragma once
#include <cstdint>

#include "engine/calc/value_objects.h"
#include "engine/core/result_codes.h"

// Stand-in: what creators hand to the caption text data (layout root, style, position).
struct CaptionInit {
    LayoutNode* layout;
    int16_t style[11];
    int32_t x;
    int32_t y;
};

// Creation record of the value display (creation, reading, undo). Class 11 adds its form.
struct ValueDisplayInit {
    CaptionInit caption;
    int32_t precision;
    int32_t displayMode;
    LayoutNode* customLayout;  // owned by the record until installed
    int32_t form;
};

constexpr int32_t kMaxPrecision = 5;
constexpr int32_t kMaxDisplayMode = kDisplayCurrentLabel;

// Defaults of a new measurement of measurement-function row `row`. False when the
// caption's empty layout cannot be made.
bool InitValueDisplay(ValueDisplayInit* record, uint32_t row);
// The class-7 initExtra (and the value part of class 11): 1 done, 0 failure. With a
// null object only the record's layouts are released.
int32_t InitMeasurementData(SketchObject* object, void* record);
void FreeMeasurementData(SketchObject* object);

// Display parts offered to merged texts and tables.
bool MeasurementHasValue(const SketchObject* object);
int32_t MeasurementPartCount(const SketchObject* object);
void MeasurementPartInfo(const SketchObject* object, int32_t part, int32_t* mayChange, int32_t* dropOnClear);

// The tail of record 2307 after the caption text, by the record's format version: the
// current form {u16 6, u16 display mode, u16 precision}; version 1 (handheld)
// {u16 name length, u16, u16 name flag, u16 precision}; version 2 a u16 size before that.
uint32_t ValueDisplayTailLength(int32_t formatVersion);
void WriteValueDisplayTail(uint8_t* out, int32_t formatVersion, int32_t displayMode, int32_t precision);

struct ValueDisplayTail {
    int32_t displayMode;
    int32_t precision;
    // In display mode 2 read from an older record: how many characters of the stored
    // caption text make the custom name.
    uint32_t customLength;
};
// `captionText` is the stored caption text with its trailing blanks and "=" removed.
// Answers 35 when the tail is shorter than its form.
ResultCode ReadValueDisplayTail(const uint8_t* bytes, uint32_t length, int32_t formatVersion,
                                const char* captionText, uint32_t captionLength, ValueDisplayTail* out);
