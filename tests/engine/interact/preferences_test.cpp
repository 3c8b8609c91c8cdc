#include "engine/interact/preferences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "engine/core/color_list.h"
#include "engine/core/memory.h"
#include "engine/core/services/colors.h"
#include "engine/docio/streams.h"
#include "engine/docio/seed_files.h"
#include "engine/docio/stream_bytes.h"
#include "tests/support/drawing_metrics_double.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/files_double.h"
#include "tests/support/scoped_preferences.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutLE(Bytes* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(uint8_t(value >> (8 * i)));
}

Bytes Record(uint32_t tag, const Bytes& payload) {
    Bytes out;
    PutLE(&out, uint32_t(payload.size()), 4);
    PutLE(&out, tag, 4);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}
Bytes Word(uint32_t tag, uint32_t value) { return Record(tag, { uint8_t(value), uint8_t(value >> 8) }); }
Bytes Long(uint32_t tag, uint32_t value) {
    Bytes payload;
    PutLE(&payload, value, 4);
    return Record(tag, payload);
}
Bytes Real(uint32_t tag, double value) {
    Bytes payload(8);
    std::memcpy(payload.data(), &value, 8);
    return Record(tag, payload);
}
// A 20013 payload: family, reserved, ten fields, then traits and a face.
Bytes Style(uint32_t family, uint16_t traits, const std::string& face, bool terminated = true) {
    Bytes payload;
    PutLE(&payload, family, 2);
    PutLE(&payload, 0, 2);
    for (uint32_t field = 0; field < 10; ++field) PutLE(&payload, 20 + field, 2);
    PutLE(&payload, traits, 2);
    payload.insert(payload.end(), face.begin(), face.end());
    if (terminated) payload.push_back(0);
    while (payload.size() < 28) payload.push_back('x');
    return Record(kPrefTagTextStyle, payload);
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& b : parts) out.insert(out.end(), b.begin(), b.end());
    return out;
}
const Bytes kFirst = Record(kPrefTagFirst, {});

// Every field away from its default, with the derived values as a load makes them.
Preferences Unusual() {
    Preferences p;
    PreferencesDefaults(&p);
    SketchSettings& s = p.sketchSettings;
    s.labelMeasuredObjects = 0;
    s.labelNewPoints = 1;
    s.captionTextPalette = 0;
    for (uint32_t i = 0; i < kColorSlotCount; ++i) s.palette[i] = 0x102030u + i * 0x010101u;
    s.traceFade = 7;
    s.autoUpdateColors = 0;
    s.precision[0] = 0, s.precision[1] = 3, s.precision[2] = 5;
    s.distanceUnit = 2;
    s.angleUnit = 0;
    p.slowBackgroundMotion = 0;
    p.speedUnit = 1.25;
    p.savedResolution = p.resolution = 144;
    for (int16_t k = 0; k < 5; ++k) {
        TextStyle& style = p.defaultTextStyles[k];
        for (int16_t& field : style.field) field = int16_t(k + 2);
        style.field[kStyleFont] = int16_t(k % 3 == 0 ? 1 : 2 + k % 3);  // Arial, Symbol, Times New Roman
        style.field[kStyleRed] = -1;  // stored as a word, read back signed
        style.field[kStyleScriptLevel] = 0;
    }
    p.locusSamples = 300;
    p.plotSamples = 700;
    p.maxSamples = 20000;
    p.iterationSamples = 5000;
    p.exportQuality = 10;
    p.clipboardScale = 4;
    std::strcpy(p.mathSymbolFont, "Times New Roman");
    p.exportArrowheads = 0;
    PreferencesDerive(&p);
    return p;
}

Bytes Written(const Preferences& p) {
    StreamHandle h = 0;
    EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
    EXPECT_EQ(PreferencesWriteStream(h, &p), kResultOK);
    EXPECT_EQ(CloseStream(h), kResultOK);
    return TakeStreamVector(h);
}

// The record a load makes of `bytes` over `start`; *read tells whether anything was read.
Preferences Loaded(const Bytes& bytes, const Preferences& start, bool* read = nullptr) {
    Preferences p = start;
    StreamHandle h = 0;
    EXPECT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
    const bool any = PreferencesReadStream(h, &p);
    DiscardStream(h);
    if (read) *read = any;
    return p;
}

std::vector<uint32_t> Tags(const Bytes& bytes) {
    std::vector<uint32_t> tags;
    for (size_t at = 0; at + 8 <= bytes.size();) {
        uint32_t length, tag;
        std::memcpy(&length, &bytes[at], 4);
        std::memcpy(&tag, &bytes[at + 4], 4);
        tags.push_back(tag);
        at += 8 + length;
    }
    return tags;
}

class PreferencesFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitStreamTable());
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  (std::string("prefs_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "Preferences.dat").string();
        SetPreferencesPath(path_.c_str());
    }
    void TearDown() override {
        SetPreferencesPath(nullptr);
        SetCustomColors(nullptr);
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(folder_, ec);
    }
    Bytes FileBytes() const {
        std::ifstream in(path_, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void WriteFile(const Bytes& bytes) const {
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    size_t FilesInFolder() const {
        return size_t(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()));
    }
    ScopedPreferences scoped_;
    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace

// The defaults come in steps: the unit factors are derived once from 100 pixels per
// inch and again from the screen's, which is also the resolution stored in the file.
TEST(Preferences, DefaultsFollowTheScreenAndThePlatformsDefaults) {
    SetScreenResolution(120);
    Preferences p;
    PreferencesDefaults(&p);
    SetScreenResolution(100);
    EXPECT_EQ(p.resolution, 120);
    EXPECT_EQ(p.savedResolution, 120);
    EXPECT_DOUBLE_EQ(p.unitFactor[1], 120 / 2.54);
    EXPECT_DOUBLE_EQ(p.unitFactor[2], 120.0);
    EXPECT_EQ(p.sketchSettings.palette[0], 0x0000FFu);  // red
    EXPECT_EQ(p.sketchSettings.palette[7], 0xFFFFFFu);  // the window colour
    EXPECT_EQ(p.defaultTextStyles[4].field[kStyleSize], 10);
    EXPECT_EQ(p.defaultTextStyles[0].field[kStyleSize], 12);
    EXPECT_EQ(p.sketchSettings.precision[1], 2);
    EXPECT_STREQ(p.mathSymbolFont, "Symbol");
    EXPECT_DOUBLE_EQ(p.speedUnit, 0.6);
    EXPECT_EQ(p.exportQuality, 5);
    EXPECT_EQ(p.clipboardScale, 1);
    EXPECT_EQ(p.newLineStyle, 1);
}

TEST(Preferences, DeriveKeepsTheSampleCountsWithinTheLargest) {
    struct Case { int32_t locus, plot, max; int32_t locusOut, plotOut, maxOut; };
    const Case cases[] = {
        { 250, 500, 10000, 250, 500, 10000 },
        { 250, 500, 300, 250, 300, 300 },
        { 5, 500, 10000, 12, 500, 10000 },
        { 250, 500, 8, 12, 12, 12 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.max);
        Preferences p;
        PreferencesDefaults(&p);
        p.locusSamples = c.locus;
        p.plotSamples = c.plot;
        p.maxSamples = c.max;
        p.newLineStyle = 2;
        PreferencesDerive(&p);
        EXPECT_EQ(p.locusSamples, c.locusOut);
        EXPECT_EQ(p.plotSamples, c.plotOut);
        EXPECT_EQ(p.maxSamples, c.maxOut);
        EXPECT_EQ(p.newLineStyle, 1);
    }
}

TEST_F(PreferencesFile, ASavedRecordLoadsBackEqualWithTheCustomColours) {
    const Preferences saved = Unusual();
    ThePreferences() = saved;
    CustomColorBlock* colors = static_cast<CustomColorBlock*>(AllocMemory(sizeof(CustomColorBlock), kAllocZero));
    ASSERT_NE(colors, nullptr);
    colors->count = 3;
    colors->colors[0] = 0x010203, colors->colors[1] = 0x040506, colors->colors[2] = 0x070809;
    SetCustomColors(colors);
    PreferencesSave();
    SetCustomColors(NewDefaultCustomColors());

    const Bytes file = FileBytes();
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), Bytes({ 0, 0, 0, 0, 0x21, 0x4E, 0, 0 }));
    EXPECT_EQ(FilesInFolder(), 1u);
    SaveFuzzSeed("preferences_read_fuzz", "unusual", file);

    PreferencesDefaults(&ThePreferences());
    ThePreferences().newLineStyle = 0;
    PreferencesLoad();
    EXPECT_TRUE(SamePreferences(ThePreferences(), saved));
    ASSERT_NE(GetCustomColors(), nullptr);
    EXPECT_EQ(GetCustomColors()->count, 3);
    EXPECT_EQ(GetCustomColors()->colors[2], 0x070809u);
}

TEST_F(PreferencesFile, RecordsAreWrittenInTheirOrderAndLengths) {
    SetCustomColors(NewDefaultCustomColors());
    const Bytes bytes = Written(Unusual());
    std::vector<uint32_t> expected = { 20001, 10002, 10003, 10004 };
    expected.insert(expected.end(), 12, 10020);
    expected.insert(expected.end(), { 10021, 10022, 10040, 10040, 10040, 10041, 10042, 20002, 20003, 20004 });
    expected.insert(expected.end(), 5, 20013);
    expected.insert(expected.end(), { 20006, 20007, 20008, 20018, 20012, 20014, 20015, 20016, 20017 });
    EXPECT_EQ(Tags(bytes), expected);

    // Text styles: 28 bytes and the font description (face length + 5) rounded up to
    // even, for the fonts 1, 3, 4, 1, 3 of the families.
    std::vector<uint32_t> styleLengths;
    for (size_t at = 0; at + 8 <= bytes.size(); at += 8 + bytes[at] + (bytes[at + 1] << 8))
        if (bytes[at + 4] + (bytes[at + 5] << 8) == kPrefTagTextStyle) styleLengths.push_back(bytes[at]);
    EXPECT_EQ(styleLengths, (std::vector<uint32_t>{ 38, 40, 48, 38, 40 }));

    // Without custom colours there is no 20012.
    SetCustomColors(nullptr);
    const std::vector<uint32_t> tags = Tags(Written(Unusual()));
    EXPECT_EQ(std::count(tags.begin(), tags.end(), kPrefTagCustomColors), 0);
}

// The later release's anti-aliasing choice shares this file: a save keeps what was read
// (else figmantle's next save would reset the other program to "Never").
TEST_F(PreferencesFile, TheAntiAliasingChoiceReadIsWrittenBack) {
    SetCustomColors(nullptr);
    Preferences p = Unusual();
    const auto antiAliasRecords = [](const Bytes& bytes) {
        const std::vector<uint32_t> tags = Tags(bytes);
        return std::count(tags.begin(), tags.end(), kPrefTagAntiAlias);
    };
    EXPECT_EQ(antiAliasRecords(Written(p)), 0);  // never chosen: the file stays as it was

    for (const uint16_t value : { 2, 0 }) {
        SCOPED_TRACE(value);
        ThePreferences() = p;
        ThePreferences().antiAliasPreference = value;
        ThePreferences().antiAliasInFile = 1;
        PreferencesSave();
        EXPECT_EQ(antiAliasRecords(FileBytes()), 1);
        PreferencesDefaults(&ThePreferences());
        PreferencesLoad();
        EXPECT_EQ(ThePreferences().antiAliasPreference, value);
        EXPECT_EQ(ThePreferences().antiAliasInFile, 1);
        // Saved again as it was read.
        PreferencesSave();
        PreferencesDefaults(&ThePreferences());
        PreferencesLoad();
        EXPECT_EQ(ThePreferences().antiAliasPreference, value);
    }
}

TEST(Preferences, FadingSwitchedOffIsStoredAsZero) {
    ASSERT_TRUE(InitStreamTable());
    Preferences p;
    PreferencesDefaults(&p);
    p.sketchSettings.traceFade = -7;
    const Preferences back = Loaded(Written(p), Unusual());
    EXPECT_EQ(back.sketchSettings.traceFade, 0);
}

// What a file holds after its first record, and what a load makes of it over the
// defaults; the line style stands for the derived values (a load that reads anything
// derives, which sets it back to 1).
TEST(Preferences, EachTagKeepsItsLengthAndRangeRules) {
    ASSERT_TRUE(InitStreamTable());
    Preferences start;
    PreferencesDefaults(&start);
    start.newLineStyle = 0;
    using Change = std::function<void(Preferences&)>;
    const Change derived = [](Preferences& p) { p.newLineStyle = 1; };
    struct Case {
        const char* name;
        Bytes bytes;
        Change expected;
    };
    const Case cases[] = {
        { "only the first record", kFirst, derived },
        { "no first record", Word(kPrefTagTraceFade, 3), nullptr },
        { "first record not first", Cat({ Word(kPrefTagTraceFade, 3), kFirst }), nullptr },
        { "fade 40 reads as 16", Cat({ kFirst, Word(kPrefTagTraceFade, 40) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.traceFade = 16; } },
        { "flag of a wrong length", Cat({ kFirst, Long(kPrefTagLabelNewPoints, 1) }), derived },
        { "flag other than 1", Cat({ kFirst, Word(kPrefTagLabelNewPoints, 7) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.labelNewPoints = 1; } },
        { "distance unit 3", Cat({ kFirst, Word(kPrefTagDistanceUnit, 3) }), derived },
        { "angle unit 2", Cat({ kFirst, Word(kPrefTagAngleUnit, 2) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.angleUnit = 2; } },
        { "precision of index 1 above 5", Cat({ kFirst, Word(kPrefTagPrecision, 1 << 8 | 9) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.precision[1] = 5; } },
        { "precision of index 3", Cat({ kFirst, Word(kPrefTagPrecision, 3 << 8 | 1) }), derived },
        { "palette slot 3", Cat({ kFirst, Record(kPrefTagPaletteSlot, { 3, 0, 1, 2, 3, 0 }) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.palette[3] = 0x030201; } },
        { "palette slot 12", Cat({ kFirst, Record(kPrefTagPaletteSlot, { 12, 0, 1, 2, 3, 0 }) }), derived },
        { "palette record of 5 bytes", Cat({ kFirst, Record(kPrefTagPaletteSlot, { 3, 0, 1, 2, 3 }) }), derived },
        { "locus samples 5", Cat({ kFirst, Long(kPrefTagLocusSamples, 5) }),
          [](Preferences& p) { p.newLineStyle = 1, p.locusSamples = 12; } },
        { "largest samples 8", Cat({ kFirst, Long(kPrefTagMaxSamples, 8) }),
          [](Preferences& p) { p.newLineStyle = 1, p.maxSamples = p.locusSamples = p.plotSamples = 12; } },
        { "largest samples above the page's bound", Cat({ kFirst, Long(kPrefTagMaxSamples, 900000) }),
          [](Preferences& p) { p.newLineStyle = 1, p.maxSamples = 200000; } },
        { "negative plot samples", Cat({ kFirst, Long(kPrefTagPlotSamples, uint32_t(-5)) }),
          [](Preferences& p) { p.newLineStyle = 1, p.plotSamples = 12; } },
        { "iterations above the page's bound", Cat({ kFirst, Long(kPrefTagIterations, 200000) }),
          [](Preferences& p) { p.newLineStyle = 1, p.iterationSamples = 100000; } },
        { "iterations of a word", Cat({ kFirst, Word(kPrefTagIterations, 200) }), derived },
        { "style of family 7", Cat({ kFirst, Style(7, 0, "Arial") }), derived },
        { "style with an unknown face", Cat({ kFirst, Style(2, 1, "Garamond") }),
          [](Preferences& p) {
              p.newLineStyle = 1;
              for (int16_t i = 0; i < 10; ++i) p.defaultTextStyles[2].field[i] = int16_t(20 + i);
              p.defaultTextStyles[2].field[kStyleFont] = 4;  // the font of equal traits
          } },
        { "style whose face runs past the record", Cat({ kFirst, Style(2, 1, "Garamond Garamond", false) }), derived },
        { "style of 27 bytes", Cat({ kFirst, Record(kPrefTagTextStyle, Bytes(27, 0)) }), derived },
        { "resolution 120", Cat({ kFirst, Word(kPrefTagResolution, 120) }),
          [](Preferences& p) { p.savedResolution = p.resolution = 120, PreferencesDerive(&p); } },
        { "resolution 0", Cat({ kFirst, Word(kPrefTagResolution, 0) }), derived },
        { "speed 1.5", Cat({ kFirst, Real(kPrefTagSpeedUnit, 1.5) }),
          [](Preferences& p) { p.newLineStyle = 1, p.speedUnit = 1.5; } },
        { "speed 0", Cat({ kFirst, Real(kPrefTagSpeedUnit, 0) }), derived },
        { "speed -2", Cat({ kFirst, Real(kPrefTagSpeedUnit, -2) }), derived },
        { "speed not a number", Cat({ kFirst, Real(kPrefTagSpeedUnit, std::nan("")) }), derived },
        { "speed infinite", Cat({ kFirst, Real(kPrefTagSpeedUnit, std::numeric_limits<double>::infinity()) }), derived },
        { "export quality 10", Cat({ kFirst, Word(kPrefTagExportQuality, 10) }),
          [](Preferences& p) { p.newLineStyle = 1, p.exportQuality = 10; } },
        { "export quality 3", Cat({ kFirst, Word(kPrefTagExportQuality, 3) }), derived },
        { "clipboard scale 8", Cat({ kFirst, Word(kPrefTagClipboardScale, 8) }),
          [](Preferences& p) { p.newLineStyle = 1, p.clipboardScale = 8; } },
        { "clipboard scale 3", Cat({ kFirst, Word(kPrefTagClipboardScale, 3) }), derived },
        { "short symbol font", Cat({ kFirst, Record(kPrefTagSymbolFont, { 'W', 'i', 'n', 'g' }) }),
          [](Preferences& p) { p.newLineStyle = 1, std::strcpy(p.mathSymbolFont, "Wing"); } },
        { "symbol font without an end", Cat({ kFirst, Record(kPrefTagSymbolFont, Bytes(300, 'a')) }),
          [](Preferences& p) { p.newLineStyle = 1, std::strcpy(p.mathSymbolFont, std::string(255, 'a').c_str()); } },
        { "anti-aliasing 2", Cat({ kFirst, Word(kPrefTagAntiAlias, 2) }),
          [](Preferences& p) { p.newLineStyle = 1, p.antiAliasPreference = 2, p.antiAliasInFile = 1; } },
        { "anti-aliasing 0", Cat({ kFirst, Word(kPrefTagAntiAlias, 0) }),
          [](Preferences& p) { p.newLineStyle = 1, p.antiAliasInFile = 1; } },
        { "anti-aliasing 3", Cat({ kFirst, Word(kPrefTagAntiAlias, 3) }), derived },
        { "anti-aliasing of a wrong length", Cat({ kFirst, Long(kPrefTagAntiAlias, 1) }), derived },
        { "a tag of a later version", Cat({ kFirst, Word(15000, 1), Word(20999, 1), Word(kPrefTagAngleUnit, 0) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.angleUnit = 0; } },
        { "21000 stops", Cat({ kFirst, Word(kPrefTagAngleUnit, 0), Word(21000, 1), Word(kPrefTagAngleUnit, 2) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.angleUnit = 0; } },
        { "30000 stops", Cat({ kFirst, Word(kPrefTagAngleUnit, 0), Word(30000, 1), Word(kPrefTagAngleUnit, 2) }),
          [](Preferences& p) { p.newLineStyle = 1, p.sketchSettings.angleUnit = 0; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Preferences expected = start;
        if (c.expected) c.expected(expected);
        bool read = false;
        EXPECT_TRUE(SamePreferences(Loaded(c.bytes, start, &read), expected));
        EXPECT_EQ(read, c.expected != nullptr);
    }
}

TEST(Preferences, CustomColoursOfNoCountAdoptNothing) {
    ASSERT_TRUE(InitStreamTable());
    Preferences p;
    PreferencesDefaults(&p);
    SetCustomColors(nullptr);
    Loaded(Cat({ kFirst, Long(kPrefTagCustomColors, 0) }), p);
    EXPECT_EQ(GetCustomColors(), nullptr);
    Loaded(Cat({ kFirst, Record(kPrefTagCustomColors, { 2, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6, 0 }) }), p);
    ASSERT_NE(GetCustomColors(), nullptr);
    EXPECT_EQ(GetCustomColors()->count, 2);
    SetCustomColors(nullptr);
}

// A file cut anywhere reads as if cut at the record boundary before it: every record
// read before the damage stays, and nothing of the damaged one is taken.
TEST(Preferences, AFileCutShortKeepsWhatWasReadBefore) {
    ASSERT_TRUE(InitStreamTable());
    SetCustomColors(nullptr);
    const Preferences saved = Unusual();
    const Bytes bytes = Written(saved);
    Preferences start;
    PreferencesDefaults(&start);
    start.newLineStyle = 0;
    std::vector<size_t> boundaries;
    for (size_t at = 0; at < bytes.size(); at += 8 + bytes[at] + (bytes[at + 1] << 8)) boundaries.push_back(at);
    boundaries.push_back(bytes.size());
    Preferences atBoundary = start;
    size_t next = 0;
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        const Preferences p = Loaded(Bytes(bytes.begin(), bytes.begin() + long(cut)), start);
        if (cut == boundaries[next]) {
            if (next > 1) {
                EXPECT_FALSE(SamePreferences(p, atBoundary)) << "the record before " << cut << " was read";
            }
            atBoundary = p;
            ++next;
        } else {
            EXPECT_TRUE(SamePreferences(p, atBoundary)) << "cut at " << cut;
        }
    }
    EXPECT_TRUE(SamePreferences(atBoundary, saved));
}

TEST_F(PreferencesFile, AMissingFileOrNoPathLeavesTheRecord) {
    Preferences before = ThePreferences();
    PreferencesLoad();
    EXPECT_TRUE(SamePreferences(ThePreferences(), before));
    SetPreferencesPath(nullptr);
    PreferencesSave();
    EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(PreferencesFile, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const Bytes old = { 'o', 'l', 'd' };
    ThePreferences() = Unusual();

    // The target cannot be written: no temporary file can be made for it.
    WriteFile(old);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read);
    PreferencesSave();
    EXPECT_EQ(FileBytes(), old);
    EXPECT_EQ(FilesInFolder(), 1u);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);

    // The replacement fails: a folder stands under the target's name.
    std::filesystem::remove(path_);
    std::filesystem::create_directories(path_);
    PreferencesSave();
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    EXPECT_EQ(FilesInFolder(), 1u);
    std::filesystem::remove(path_);

#if defined(__linux__)
    // The disk fills: the bytes fail at the latest when the stream is closed.
    WriteFile(old);
    ASSERT_TRUE(WithFileSizeLimit(100, [] { PreferencesSave(); }));
    EXPECT_EQ(FileBytes(), old);
    EXPECT_EQ(FilesInFolder(), 1u);
#endif
}

// Writing into a stream that fills up answers the failure of the first record that
// did not fit, and writes nothing after it.
TEST(Preferences, WritingStopsAtTheFirstFailedRecord) {
    ASSERT_TRUE(InitStreamTable());
    const Preferences p = Unusual();
    const size_t whole = Written(p).size();
    for (uint32_t room : { 0u, 7u, 40u, uint32_t(whole / 2), uint32_t(whole - 1) }) {
        SCOPED_TRACE(room);
        Bytes block(room + 1);
        StreamHandle h = 0;
        ASSERT_EQ(OpenViewStream(block.data(), room, &h), kResultOK);
        EXPECT_NE(PreferencesWriteStream(h, &p), kResultOK);
        DiscardStream(h);
    }
}

TEST(Preferences, ReadingUnderMemoryFailureKeepsTheRecordSound) {
    ASSERT_TRUE(InitStreamTable());
    SetCustomColors(NewDefaultCustomColors());
    const Bytes bytes = Written(Unusual());
    SetCustomColors(nullptr);
    Preferences start;
    PreferencesDefaults(&start);
    for (int32_t n = 1; n < 20; ++n) {
        SCOPED_TRACE(n);
        StreamHandle h = 0;
        ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        Preferences p = start;
        SetAllocFailureAfter(n);
        PreferencesReadStream(h, &p);
        SetAllocFailureAfter(0);
        DiscardStream(h);
        EXPECT_GE(p.maxSamples, 12);
        EXPECT_GE(p.locusSamples, 12);
    }
    SetCustomColors(nullptr);
}
