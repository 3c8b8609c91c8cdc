// The value display that measurements and calculations share: creation, release, the
// parts they offer to merged texts and tables, and the tail of their file record.
#pragma once
#include <cstdint>

#include "engine/calc/value_objects.h"
#include "engine/core/result_codes.h"
#include "engine/core/services/measurements.h"

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
// InitMeasurementData (engine/core/services/measurements.h), the class-7 initExtra and the value part
// of class 11: 1 done, 0 failure; with a null object only the record's layouts go.

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

// Value slots of a measurement's ValueSlotList.
enum ValueSlot : int32_t {
    kSlotName = 0,       // the name node
    kSlotUnits = 1,      // alternatives: nothing or the units
    kSlotValueGroup = 2, // alternatives: the equals sign, value and units
    kSlotValue = 3,      // the value text, followed by its selector and exponent slots
    kValueSlotCount = 6,
};

// Rebuilds the display's layout from the template; 0 or the parse's error code (the old
// layout is kept on failure).
ResultCode BuildValueLayout(SketchObject* object);
// After every compute: rebuilds the layout when it is missing or the units changed, and
// writes the value (or "undefined") into it.
void RelayoutValueDisplay(SketchObject* object);
// Placeholder callback of value layouts; the context's user data is the object.
ResultCode ExpandValuePlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                  LayoutParseContext* context);
// Display part 0: the value with its units (radians as a plain number), or
// "undefined". The caller owns the result; null when memory runs out.
LayoutNode* BuildMeasurementValuePart(SketchObject* object);

// The layout of the measurement's name for captions: its label in display mode 1, else
// the name the display itself shows. The caller owns it; null when memory runs out.
LayoutNode* MeasurementNameLayout(SketchObject* object, LayoutNode* parent);
// Display part `part` (0 value, 1 the whole display, 2 the caption template, 3 the label)
// and the object's text style; *owned is 0 for part 1, the object's own layout.
LayoutNode* BuildMeasurementPart(SketchObject* object, int32_t part, int32_t* flatten, int32_t* join,
                                 int32_t* wrapStyled, TextStyle* style, int32_t* owned);

// Display mode changes ("Display With" Original Name, No Name, Current Label). The custom
// layout, when given, passes to the object.
void SetValueDisplayMode(SketchObject* object, int32_t mode, LayoutNode* customLayout);
void DisplayWithOriginalName(SketchObject* object);
void DisplayWithNoName(SketchObject* object);
void DisplayWithCurrentLabel(SketchObject* object);
