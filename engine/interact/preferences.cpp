// The preferences record, its defaults and derived values, and the preferences file.
#include "engine/interact/preferences.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "engine/core/color_list.h"
#include "engine/core/memory.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/files.h"
#include "engine/core/services/fonts.h"
#include "engine/core/services/string_groups.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/streams.h"

namespace {

constexpr int32_t kStartingResolution = 100;
constexpr int32_t kMinDerivedSamples = 12;
constexpr int32_t kMaxTraceFade = 16;
constexpr int32_t kMaxPrecision = 5;
constexpr int32_t kSymbolFontItem = 17;  // of the miscellany group: "Symbol"

// 20013: {u16 family, u16 reserved, ten u16 style fields}, then the font description.
constexpr uint32_t kStyleRecordHead = 24;
constexpr uint32_t kStyleRecordMinimum = 28;
// A font description this long or longer is not stored.
constexpr uint32_t kLongestFontSpec = 248;
constexpr uint32_t kStoredStyleFields = 10;  // the script level is not stored
constexpr uint32_t kSymbolFontBytes = 256;

Preferences gPreferences = [] {
    Preferences p{};
    PreferencesDefaults(&p);
    return p;
}();
uint32_t gStartCounter = 0;

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

int32_t Flag(const uint8_t* payload) { return PreferencesPayloadWord(payload) != 0 ? 1 : 0; }

ResultCode WriteFlag(StreamHandle stream, int32_t value, uint32_t tag) {
    return PreferencesWriteWord(stream, value != 0 ? 1 : 0, tag);
}

// The writers of one group run in order and stop at the first failure.
struct Writes {
    StreamHandle stream;
    ResultCode   result = kResultOK;
    void Word(uint32_t value, uint32_t tag) {
        if (result == kResultOK) result = PreferencesWriteWord(stream, value, tag);
    }
    void FlagWord(int32_t value, uint32_t tag) {
        if (result == kResultOK) result = WriteFlag(stream, value, tag);
    }
    void Long(int32_t value, uint32_t tag) {
        if (result == kResultOK) result = PreferencesWriteLong(stream, value, tag);
    }
    void Record(uint32_t length, uint32_t tag, const void* payload) {
        if (result == kResultOK) result = StreamWriteRecord(stream, length, tag, payload);
    }
};

void WriteTextStyle(Writes* w, int32_t family, const TextStyle& style) {
    uint8_t payload[kStyleRecordMinimum + kLongestFontSpec] = {};
    const uint32_t known = GetFontSpec(nullptr, style.field[kStyleFont]);
    // A font beyond the list is stored as the default font, which reads back as itself.
    const int16_t font = known != 0 ? style.field[kStyleFont] : int16_t(1);
    const uint32_t rounded = (GetFontSpec(nullptr, font) + 1) & ~1u;
    if (rounded == 0 || rounded >= kLongestFontSpec) return;
    PutU16(payload, static_cast<uint32_t>(family));
    for (uint32_t i = 0; i < kStoredStyleFields; ++i)
        PutU16(payload + 4 + 2 * i, static_cast<uint16_t>(style.field[i]));
    GetFontSpec(payload + kStyleRecordHead, font);
    w->Record(kStyleRecordMinimum + rounded, kPrefTagTextStyle, payload);
}

// A 20013 record: the ten stored fields, then the font found from its description. One
// whose face name does not end inside the payload is ignored as a wrong length is.
void StoreTextStyle(Preferences* p, const uint8_t* payload, uint32_t length) {
    if (length < kStyleRecordMinimum) return;
    const uint32_t family = PreferencesPayloadWord(payload);
    if (family >= 5) return;
    const uint8_t* face = payload + kStyleRecordHead + 2;
    if (!std::memchr(face, 0, length - kStyleRecordHead - 2)) return;
    TextStyle& style = p->defaultTextStyles[family];
    for (uint32_t i = 0; i < kStoredStyleFields; ++i)
        style.field[i] = static_cast<int16_t>(PreferencesPayloadWord(payload + 4 + 2 * i));
    int16_t font = 1;
    FindFontNumber(&font, payload + kStyleRecordHead);
    style.field[kStyleFont] = font;
}

int32_t ClampSamples(int32_t value, int32_t largest) {
    return value < kMinSamples ? kMinSamples : value > largest ? largest : value;
}

}  // namespace

Preferences& ThePreferences() { return gPreferences; }
uint32_t& EngineStartCounter() { return gStartCounter; }

void PreferencesDefaults(Preferences* p) {
    *p = Preferences{};
    SketchSettings& s = p->sketchSettings;
    s.labelMeasuredObjects = 1;
    s.labelNewPoints = 0;
    s.captionTextPalette = 1;
    for (int32_t k = 0; k < 5; ++k) InitDefaultTextStyle(k, &p->defaultTextStyles[k]);
    for (int32_t& digits : s.precision) digits = 2;
    s.distanceUnit = 1;
    s.angleUnit = 1;
    p->locusSamples = 250;
    p->plotSamples = 500;
    p->maxSamples = 10000;
    p->iterationSamples = 2500;
    p->exportQuality = 5;
    p->clipboardScale = 1;
    p->exportArrowheads = 1;
    CopyString255(p->mathSymbolFont, GroupText(kGroupMiscellany, kSymbolFontItem));
    s.traceFade = 0;
    s.autoUpdateColors = 1;
    InitDefaultPalette(s.palette);
    p->speedUnit = 0.6;
    p->slowBackgroundMotion = 1;
    // The unit factors are usable before the screen is asked, and follow it after.
    p->resolution = kStartingResolution;
    PreferencesDerive(p);
    StoreScreenResolution(p);
    PreferencesDerive(p);
    p->savedResolution = p->resolution;
}

void PreferencesDerive(Preferences* p) {
    p->unitFactor[0] = 1.0;
    p->unitFactor[1] = p->resolution * 0.39370078740157477;
    p->unitFactor[2] = p->resolution;
    if (p->maxSamples < kMinDerivedSamples) p->maxSamples = kMinDerivedSamples;
    for (int32_t* samples : { &p->locusSamples, &p->plotSamples }) {
        const int32_t n = *samples < p->maxSamples ? *samples : p->maxSamples;
        *samples = n < kMinDerivedSamples ? kMinDerivedSamples : n;
    }
    p->newLineStyle = 1;
}

uint16_t PreferencesPayloadWord(const uint8_t* payload) {
    return static_cast<uint16_t>(payload[0] | payload[1] << 8);
}

int32_t PreferencesPayloadLong(const uint8_t* payload) {
    return static_cast<int32_t>(uint32_t(payload[0]) | uint32_t(payload[1]) << 8 | uint32_t(payload[2]) << 16 |
                                uint32_t(payload[3]) << 24);
}

ResultCode PreferencesWriteWord(StreamHandle stream, uint32_t value, uint32_t tag) {
    uint8_t payload[2];
    PutU16(payload, value);
    return StreamWriteRecord(stream, sizeof payload, tag, payload);
}

ResultCode PreferencesWriteLong(StreamHandle stream, int32_t value, uint32_t tag) {
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t payload[4] = { uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24) };
    return StreamWriteRecord(stream, sizeof payload, tag, payload);
}

ResultCode PreferencesWriteGroup1(StreamHandle stream, const SketchSettings* s) {
    Writes w{ stream };
    w.FlagWord(s->labelMeasuredObjects, kPrefTagLabelMeasured);
    w.FlagWord(s->labelNewPoints, kPrefTagLabelNewPoints);
    w.FlagWord(s->captionTextPalette, kPrefTagCaptionPalette);
    for (uint32_t slot = 0; slot < kColorSlotCount; ++slot) {
        const uint32_t c = s->palette[slot];
        const uint8_t payload[6] = { uint8_t(slot), uint8_t(slot >> 8), uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0 };
        w.Record(sizeof payload, kPrefTagPaletteSlot, payload);
    }
    w.Word(s->traceFade > 0 ? static_cast<uint32_t>(s->traceFade) : 0, kPrefTagTraceFade);
    w.FlagWord(s->autoUpdateColors, kPrefTagAutoUpdate);
    for (uint32_t i = 0; i < 3; ++i) w.Word(i << 8 | (static_cast<uint32_t>(s->precision[i]) & 0xff), kPrefTagPrecision);
    w.Word(static_cast<uint32_t>(s->distanceUnit), kPrefTagDistanceUnit);
    w.Word(static_cast<uint32_t>(s->angleUnit), kPrefTagAngleUnit);
    return w.result;
}

ResultCode PreferencesStoreGroup1(SketchSettings* s, uint32_t tag, const uint8_t* payload, uint32_t length) {
    if (tag < kPrefTagGroup1First || tag > kPrefTagGroup1Last) return kResultInvalidArg;
    if (tag == kPrefTagPaletteSlot) {
        const uint32_t slot = length >= 6 ? PreferencesPayloadWord(payload) : kColorSlotCount;
        if (slot < kColorSlotCount)
            s->palette[slot] = uint32_t(payload[2]) | uint32_t(payload[3]) << 8 | uint32_t(payload[4]) << 16;
        return kResultOK;
    }
    if (length != 2) return kResultOK;
    const uint16_t word = PreferencesPayloadWord(payload);
    switch (tag) {
    case kPrefTagLabelMeasured:  s->labelMeasuredObjects = Flag(payload); break;
    case kPrefTagLabelNewPoints: s->labelNewPoints = Flag(payload); break;
    case kPrefTagCaptionPalette: s->captionTextPalette = Flag(payload); break;
    case kPrefTagTraceFade:      s->traceFade = word > kMaxTraceFade ? kMaxTraceFade : word; break;
    case kPrefTagAutoUpdate:     s->autoUpdateColors = Flag(payload); break;
    case kPrefTagPrecision: {
        const uint32_t index = word >> 8;
        const int32_t digits = word & 0xff;
        if (index < 3) s->precision[index] = digits > kMaxPrecision ? kMaxPrecision : digits;
        break;
    }
    case kPrefTagDistanceUnit:
        if (word < 3) s->distanceUnit = word;
        break;
    case kPrefTagAngleUnit:
        if (word < 3) s->angleUnit = word;
        break;
    default: break;  // a tag of a later version
    }
    return kResultOK;
}

ResultCode PreferencesReadGroup1(StreamHandle stream, SketchSettings* settings) {
    uint32_t tag = 0, length = 0;
    const uint8_t* payload = nullptr;
    const ResultCode rc = StreamReadRecord(stream, &tag, &length, &payload);
    if (rc != kResultOK) return rc;
    return PreferencesStoreGroup1(settings, tag, payload, length);
}

ResultCode PreferencesWriteGroup2(StreamHandle stream, const Preferences* p) {
    Writes w{ stream };
    w.FlagWord(p->slowBackgroundMotion, kPrefTagSlowBackground);
    uint8_t speed[8];
    std::memcpy(speed, &p->speedUnit, sizeof speed);  // IEEE little-endian on every target built
    w.Record(sizeof speed, kPrefTagSpeedUnit, speed);
    w.Word(static_cast<uint32_t>(p->savedResolution), kPrefTagResolution);
    for (int32_t family = 0; family < 5 && w.result == kResultOK; ++family)
        WriteTextStyle(&w, family, p->defaultTextStyles[family]);
    w.Long(p->locusSamples, kPrefTagLocusSamples);
    w.Long(p->plotSamples, kPrefTagPlotSamples);
    w.Long(p->maxSamples, kPrefTagMaxSamples);
    w.Long(p->iterationSamples, kPrefTagIterations);
    if (const CustomColorBlock* colors = GetCustomColors()) {
        const uint32_t size = WriteColorList(colors, nullptr);
        // Without room for the stored form the colours are left out of the file.
        if (uint8_t* stored = static_cast<uint8_t*>(AllocMemory(size, kAllocZero))) {
            WriteColorList(colors, stored);
            w.Record(size, kPrefTagCustomColors, stored);
            FreeMemory(stored);
        }
    }
    w.FlagWord(p->exportArrowheads, kPrefTagArrowheads);
    w.Word(static_cast<uint32_t>(p->exportQuality), kPrefTagExportQuality);
    w.Word(static_cast<uint32_t>(p->clipboardScale), kPrefTagClipboardScale);
    char font[kSymbolFontBytes] = {};
    CopyString255(font, p->mathSymbolFont);
    w.Record(sizeof font, kPrefTagSymbolFont, font);
    if (p->antiAliasInFile || p->antiAliasPreference != 0) w.Word(p->antiAliasPreference, kPrefTagAntiAlias);
    return w.result;
}

ResultCode PreferencesReadGroup2(StreamHandle stream, Preferences* p, CustomColorBlock** colors) {
    *colors = nullptr;
    uint32_t tag = 0, length = 0;
    const uint8_t* payload = nullptr;
    const ResultCode rc = StreamReadRecord(stream, &tag, &length, &payload);
    if (rc != kResultOK) return rc;
    if (tag < kPrefTagGroup2First || tag > kPrefTagGroup2Last) return kResultInvalidArg;
    const auto word = [&] { return PreferencesPayloadWord(payload); };
    const auto flag = [&] { return word() != 0 ? 1 : 0; };
    switch (tag) {
    case kPrefTagSlowBackground:
        if (length == 2) p->slowBackgroundMotion = flag();
        break;
    case kPrefTagSpeedUnit:
        if (length == 8) {
            double speed;
            std::memcpy(&speed, payload, sizeof speed);
            if (std::isfinite(speed) && speed > 0) p->speedUnit = speed;
        }
        break;
    case kPrefTagResolution:
        if (length == 2 && word() != 0) p->savedResolution = p->resolution = word();
        break;
    case kPrefTagTextStyle: StoreTextStyle(p, payload, length); break;
    case kPrefTagLocusSamples:
        if (length == 4) p->locusSamples = ClampSamples(PreferencesPayloadLong(payload), kMaxSampleSetting);
        break;
    case kPrefTagPlotSamples:
        if (length == 4) p->plotSamples = ClampSamples(PreferencesPayloadLong(payload), kMaxSampleSetting);
        break;
    case kPrefTagMaxSamples:
        if (length == 4) p->maxSamples = ClampSamples(PreferencesPayloadLong(payload), kMaxSampleSetting);
        break;
    case kPrefTagIterations:
        if (length == 4) p->iterationSamples = ClampSamples(PreferencesPayloadLong(payload), kMaxIterationSetting);
        break;
    case kPrefTagCustomColors: *colors = ReadColorList(payload, length); break;
    case kPrefTagArrowheads:
        if (length == 2) p->exportArrowheads = flag();
        break;
    case kPrefTagExportQuality:
        if (length == 2 && (word() == 1 || word() == 5 || word() == 10)) p->exportQuality = word();
        break;
    case kPrefTagClipboardScale:
        if (length == 2 && (word() == 1 || word() == 2 || word() == 4 || word() == 8)) p->clipboardScale = word();
        break;
    case kPrefTagSymbolFont: {
        const uint32_t n = length < kSymbolFontBytes ? length : kSymbolFontBytes;
        std::memset(p->mathSymbolFont, 0, sizeof p->mathSymbolFont);
        if (n) std::memcpy(p->mathSymbolFont, payload, n);
        p->mathSymbolFont[kSymbolFontBytes - 1] = '\0';
        break;
    }
    case kPrefTagAntiAlias:
        if (length == 2 && word() <= 2) {
            p->antiAliasPreference = static_cast<uint16_t>(word());
            p->antiAliasInFile = 1;
        }
        break;
    default: break;  // 20001, and tags of a later version
    }
    return kResultOK;
}

bool PreferencesReadStream(StreamHandle stream, Preferences* p) {
    if (StreamPeekRecordTag(stream) != kPrefTagFirst) return false;
    bool read = false;
    for (;;) {
        const uint32_t tag = StreamPeekRecordTag(stream);
        ResultCode rc;
        if (tag >= kPrefTagGroup1First && tag <= kPrefTagGroup1Last) {
            rc = PreferencesReadGroup1(stream, &p->sketchSettings);
        } else if (tag >= kPrefTagGroup2First && tag <= kPrefTagGroup2RouteLast) {
            CustomColorBlock* colors = nullptr;
            rc = PreferencesReadGroup2(stream, p, &colors);
            if (colors) SetCustomColors(colors);
        } else {
            break;  // 0: the end of the data or a damaged header
        }
        if (rc != kResultOK) break;
        read = true;
    }
    if (read) PreferencesDerive(p);
    return read;
}

ResultCode PreferencesWriteStream(StreamHandle stream, const Preferences* p) {
    ResultCode rc = StreamWriteRecord(stream, 0, kPrefTagFirst, nullptr);
    if (rc == kResultOK) rc = PreferencesWriteGroup1(stream, &p->sketchSettings);
    if (rc == kResultOK) rc = PreferencesWriteGroup2(stream, p);
    return rc;
}

void PreferencesLoad() {
    char path[kMaxPathChars];
    StreamHandle stream = 0;
    if (!GetPreferencesPath(path) || OpenFileStreamForRead(path, &stream) != kResultOK) return;
    PreferencesReadStream(stream, &gPreferences);
    CloseStream(stream);
}

void PreferencesSave() {
    char path[kMaxPathChars];
    char temporary[kMaxPathChars] = "";
    StreamHandle stream = 0;
    if (!GetPreferencesPath(path)) return;
    if (OpenTempFileStreamForWrite(path, temporary, &stream) != kResultOK) {
        // The file may have been made before its stream could be.
        if (temporary[0] != '\0') DeleteStreamFile(temporary);
        return;
    }
    ResultCode rc = PreferencesWriteStream(stream, &gPreferences);
    const ResultCode closed = CloseStream(stream);
    if (rc == kResultOK) rc = closed;
    if (rc == kResultOK) rc = ReplaceFileKeepingAttributes(path, temporary);
    // Failures are silent: the old file stays as it was.
    if (rc != kResultOK) DeleteStreamFile(temporary);
}
