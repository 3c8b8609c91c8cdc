// The value display shared by measurements and calculations.
#include "engine/calc/value_display.h"

#include "engine/calc/measurements.h"
#include "engine/core/copy_map.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/object_creation.h"
#include "engine/text/layout.h"

namespace {

constexpr ResultCode kDamagedRecord = 35;
constexpr int32_t kHandheldPrecisionLimit = 4;

uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
void WriteU16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
int32_t Clamp(int32_t v, int32_t high) { return v < 0 ? 0 : v > high ? high : v; }

}  // namespace

bool InitValueDisplay(ValueDisplayInit* record, uint32_t row) {
    *record = ValueDisplayInit{};
    ScreenPoint at{};
    DefaultObjectPosition(&at, kClassMeasurement);
    if (!InitCaptionData(&record->caption, nullptr, at.x, at.y)) return false;
    DefaultTextStyle(kMeasurementClass, &record->caption.style);
    bool distance = false, angle = false;
    if (row < kMeasurementFunctionRows) {
        distance = MeasurementFunctionTable[row].distanceExponent != 0;
        angle = MeasurementFunctionTable[row].angleExponent != 0;
    }
    record->precision = DefaultPrecision(distance, angle, false);
    record->displayMode = kDisplayOriginalName;
    return true;
}

bool ParentValue(const SketchObject* object, double* value) {
    if (!HasValueDisplay(object)) return false;
    const ValueDisplay* display = ValueDisplayOf(object);
    if (!display->defined) return false;
    *value = display->value;
    return true;
}

bool GetValueState(const SketchObject* object, int32_t* defined, double* value) {
    if (!HasValueDisplay(object)) return false;
    const ValueDisplay* display = ValueDisplayOf(object);
    *defined = display->defined;
    *value = display->value;
    return true;
}

bool SetValueState(SketchObject* object, int32_t defined, double value) {
    if (!HasValueDisplay(object)) return false;
    ValueDisplay* display = ValueDisplayOf(object);
    display->defined = defined;
    display->value = value;
    return true;
}

int32_t InitMeasurementData(SketchObject* object, void* parameter) {
    ValueDisplayInit* record = static_cast<ValueDisplayInit*>(parameter);
    if (!object) {
        if (record) {
            SetObjectTextLayout(nullptr, &record->caption);
            if (record->customLayout) FreeLayoutNode(record->customLayout);
            record->customLayout = nullptr;
        }
        return 1;
    }
    const uint32_t row = MeasureFunctionOfType(object->constructionType);
    ValueDisplayInit made;
    int32_t result = 1;
    if (!record) {
        result = InitValueDisplay(&made, row) ? 1 : 0;
        if (!result) return 0;
        record = &made;
    } else if (CurrentCloneMode() == kClonePlayback) {
        // A measurement played into a sketch by a custom tool goes where new ones go.
        ScreenPoint at{};
        DefaultObjectPosition(&at, kClassMeasurement);
        record->caption.x = at.x;
        record->caption.y = at.y;
        record->caption.style = object->textStyle;
    }
    if (!SetObjectTextLayout(object, &record->caption)) {
        if (record == &made) SetObjectTextLayout(nullptr, &made.caption);
        return 0;
    }
    ValueDisplay* d = ValueDisplayOf(object);
    d->value = 0;
    d->defined = 0;
    d->busy = 0;
    d->captionTemplate = MeasurementCaptionTemplate(object->constructionType, ParentCountOf(object));
    d->precision = Clamp(record->precision, kMaxPrecision);
    d->displayMode = Clamp(record->displayMode, kMaxDisplayMode);
    d->customLayout = record->customLayout;
    record->customLayout = nullptr;  // the object owns it now
    d->cachedDistanceUnit = CurrentSketchDistanceUnit();
    d->cachedAngleUnit = CurrentSketchAngleUnit();
    return result;
}

void FreeMeasurementData(SketchObject* object) {
    ValueDisplay* d = ValueDisplayOf(object);
    if (d->customLayout) FreeLayoutNode(d->customLayout);
    d->customLayout = nullptr;
    FreeCaptionData(object);
}

bool MeasurementHasValue(const SketchObject*) { return true; }
int32_t MeasurementPartCount(const SketchObject*) { return 4; }

void MeasurementPartInfo(const SketchObject*, int32_t part, int32_t* mayChange, int32_t* dropOnClear) {
    // Display part 0 is the value, 1 the whole display, 2 the caption template, 3 the label.
    *mayChange = part == 0 || part == 1 || part > 3 ? 1 : 0;
    *dropOnClear = part == 0 ? 0 : 1;
}

uint32_t ValueDisplayTailLength(int32_t formatVersion) {
    return formatVersion == 1 ? 8 : formatVersion == 2 ? 10 : 6;
}

void WriteValueDisplayTail(uint8_t* out, int32_t formatVersion, int32_t displayMode, int32_t precision) {
    if (formatVersion == 1) {
        // The handheld form has no custom names: it always shows the original name.
        WriteU16(out, 0);
        WriteU16(out + 2, 0);
        WriteU16(out + 4, 1);
        WriteU16(out + 6, uint32_t(Clamp(precision, kHandheldPrecisionLimit)));
        return;
    }
    WriteU16(out, 6);
    WriteU16(out + 2, uint32_t(Clamp(displayMode, kMaxDisplayMode)));
    WriteU16(out + 4, uint32_t(Clamp(precision, kMaxPrecision)));
}

ResultCode ReadValueDisplayTail(const uint8_t* bytes, uint32_t length, int32_t formatVersion,
                                const char* captionText, uint32_t captionLength, ValueDisplayTail* out) {
    *out = ValueDisplayTail{kDisplayOriginalName, 0, 0};
    if (length < ValueDisplayTailLength(formatVersion)) return kDamagedRecord;
    if (formatVersion != 1 && formatVersion != 2) {
        out->displayMode = Clamp(ReadU16(bytes + 2), kMaxDisplayMode);
        out->precision = Clamp(ReadU16(bytes + 4), kMaxPrecision);
        return kResultOK;
    }
    const uint8_t* p = formatVersion == 2 ? bytes + 2 : bytes;
    const uint32_t nameLength = ReadU16(p);
    const uint32_t nameFlag = ReadU16(p + 4);
    out->precision = Clamp(ReadU16(p + 6), kMaxPrecision);
    if (nameFlag != 0) return kResultOK;
    if (nameLength == 0) {
        out->displayMode = kDisplayNoName;
        return kResultOK;
    }
    if (nameLength < captionLength && captionText) {
        // The old record kept the name at the front of the caption text.
        uint32_t n = nameLength;
        while (n > 0 && (captionText[n - 1] == ' ' || captionText[n - 1] == '=')) --n;
        out->displayMode = n > 0 ? kDisplayCustomName : kDisplayNoName;
        out->customLength = n;
    }
    return kResultOK;
}

int32_t ValueDisplayModeOf(const SketchObject* object) {
    return HasValueDisplay(object) ? ValueDisplayOf(object)->displayMode : -1;
}

const DisplayPartsOps* MeasurementDisplayPartsOf(const SketchObject*) {
    static const DisplayPartsOps ops = { MeasurementHasValue, MeasurementPartCount, MeasurementPartInfo,
                                         BuildMeasurementPart };
    return &ops;
}

int32_t ExpressionFormOf(const SketchObject* object) {
    const CalculationData* c = CalculationDataOf(object);
    return c && c->form >= 0 && c->form <= 3 ? c->form : 0;
}
