// The preferences file: a flat run of records {u32 length, u32 tag, payload}, the
// first of which is the empty record 20001. Tags 10001-19999 hold the sketch settings
// at the head of the record (the same records a page stores), tags 20000-21000 the
// rest. Readers take any order after the first record and keep what they cannot use to
// the rules of each tag: a wrong length or a value out of range leaves the field alone.
#pragma once
#include <cstdint>

#include "engine/core/services/preferences.h"

struct CustomColorBlock;

constexpr uint32_t kPrefTagFirst           = 20001;
constexpr uint32_t kPrefTagGroup1First     = 10001;
constexpr uint32_t kPrefTagGroup1Last      = 19999;
// The load hands tags up to 21000 to the second group's reader, which takes 20000-20999
// and answers 27 for 21000: a 21000 record ends reading.
constexpr uint32_t kPrefTagGroup2First     = 20000;
constexpr uint32_t kPrefTagGroup2RouteLast = 21000;
constexpr uint32_t kPrefTagGroup2Last      = 20999;

// Group 1 tags.
constexpr uint32_t kPrefTagLabelMeasured   = 10002;
constexpr uint32_t kPrefTagLabelNewPoints  = 10003;
constexpr uint32_t kPrefTagCaptionPalette  = 10004;
constexpr uint32_t kPrefTagPaletteSlot     = 10020;
constexpr uint32_t kPrefTagTraceFade       = 10021;
constexpr uint32_t kPrefTagAutoUpdate      = 10022;
constexpr uint32_t kPrefTagPrecision       = 10040;
constexpr uint32_t kPrefTagDistanceUnit    = 10041;
constexpr uint32_t kPrefTagAngleUnit       = 10042;
// Group 2 tags.
constexpr uint32_t kPrefTagSlowBackground  = 20002;
constexpr uint32_t kPrefTagSpeedUnit       = 20003;
constexpr uint32_t kPrefTagResolution      = 20004;
constexpr uint32_t kPrefTagLocusSamples    = 20006;
constexpr uint32_t kPrefTagPlotSamples     = 20007;
constexpr uint32_t kPrefTagMaxSamples      = 20008;
constexpr uint32_t kPrefTagCustomColors    = 20012;
constexpr uint32_t kPrefTagTextStyle       = 20013;
constexpr uint32_t kPrefTagArrowheads      = 20014;
constexpr uint32_t kPrefTagExportQuality   = 20015;
constexpr uint32_t kPrefTagClipboardScale  = 20016;
constexpr uint32_t kPrefTagSymbolFont      = 20017;
constexpr uint32_t kPrefTagIterations      = 20018;
constexpr uint32_t kPrefTagAntiAlias       = 20020;

// The choices of the anti-aliasing preference.
constexpr uint16_t kAntiAliasNever            = 0;
constexpr uint16_t kAntiAliasWhenSpeedPermits = 1;
constexpr uint16_t kAntiAliasAlways           = 2;

// The sample counts the Sampling page lets the user choose.
constexpr int32_t kMinSamples          = 10;
constexpr int32_t kMaxSampleSetting    = 200000;
constexpr int32_t kMaxIterationSetting = 100000;

// One record with a 2- or 4-byte little-endian payload.
ResultCode PreferencesWriteWord(StreamHandle stream, uint32_t value, uint32_t tag);
ResultCode PreferencesWriteLong(StreamHandle stream, int32_t value, uint32_t tag);
uint16_t   PreferencesPayloadWord(const uint8_t* payload);
int32_t    PreferencesPayloadLong(const uint8_t* payload);

// The records of tags 20002-20018 in their stored order, then 20020 when the record has
// an anti-aliasing choice.
ResultCode PreferencesWriteGroup2(StreamHandle stream, const Preferences* preferences);
// Reads one record of tags 20000-20999; a 20012 record hands its new custom-colour
// block (the caller adopts it) to `colors`, else null.
ResultCode PreferencesReadGroup2(StreamHandle stream, Preferences* preferences, CustomColorBlock** colors);

// The whole file's records on a stream. Reading stops at the first record it cannot
// take; it answers whether anything was read (then the record has been derived again)
// and adopts a custom-colour block at once. Writing answers the first failed write.
bool       PreferencesReadStream(StreamHandle stream, Preferences* preferences);
ResultCode PreferencesWriteStream(StreamHandle stream, const Preferences* preferences);
