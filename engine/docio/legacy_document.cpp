#include "engine/docio/legacy_document.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <algorithm>
#include <iterator>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/measurements.h"
#include "engine/calc/value_objects.h"
#include "engine/core/action_button_data.h"
#include "engine/core/chunked_array.h"
#include "engine/core/geometry.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/services/later_release.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/shape_families.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/busy.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/fonts.h"
#include "engine/core/services/loci.h"
#include "engine/core/services/tables.h"
#include "engine/core/transform_maps.h"
#include "engine/docio/document_file.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/transfer_context.h"
#include "engine/text/captions.h"
#include "engine/text/code_tables.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"

namespace {

constexpr uint32_t kPcHeaderBytes = 326;
constexpr uint32_t kMacHeaderBytes = 356;
constexpr uint32_t kPcRecordBytes = 116;
constexpr uint32_t kMacRecordBytes = 136;
constexpr uint32_t kMaxObjects = 0x4000;
constexpr uint8_t kEndOfObjects = 255;
constexpr uint16_t kNoParent = 0xffff;
constexpr int32_t kNoClassHere = 18;
constexpr int32_t kNoKind = 75;
constexpr int32_t kNoType = 93;
constexpr uint32_t kMaxOldTokens = 40;
// Old texts are short; anything longer than this is taken for damage before it is read.
constexpr uint32_t kMaxOldText = 32000;

// ---- byte order ---------------------------------------------------------------------

uint16_t Get16(const uint8_t* p, bool big) {
    return big ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p, bool big) {
    return big ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
               : uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
// Records after ApplyFieldLayout hold little-endian numbers whatever the variant.
uint16_t LE16(const uint8_t* p) { return Get16(p, false); }
uint32_t LE32(const uint8_t* p) { return Get32(p, false); }

// ---- layouts --------------------------------------------------------------------------

// The header after the magic (PC layout).
const uint8_t kHeaderSwap[] = { 1, 4, 3, 2, 2, 4,  // +0 .. +17
                                5, 1,
                                36, 1, 1, 4, 36, 1, 1, 4, 36, 1, 1, 4, 36, 1, 1, 4,
                                36, 1, 1, 4, 36, 1, 1, 4, 36, 1, 1, 4,
                                2, 1, 2, 2, 3, 1, 3, 2, 2, 1, 2, 1, 0 };
const uint8_t kRecordSwap[] = { 1, 2, 1, 4, 1, 2, 2, 4, 1, 2, 1, 4, 3, 2, 8, 1, 1, 4, 1, 1, 72, 1, 1, 2, 1, 1, 0 };

constexpr int16_t kScratch = -1;
constexpr int16_t Counted(int16_t characters) { return static_cast<int16_t>(-characters - 1); }

const MacLayoutRow kMacHeaderMap[] = {
    { 0, 4, 2 }, { 2, 10, 8 }, { 11, 19, 2 }, { 15, 21, 1 }, { 17, 22, 1 }, { 18, 303, 2 }, { 20, kScratch, 4 },
    { 24, 23, Counted(32) },  { 58, 56, 3 },  { 62, 59, 4 },
    { 66, 63, Counted(32) },  { 100, 96, 3 }, { 104, 99, 4 },
    { 108, 103, Counted(32) }, { 142, 136, 3 }, { 146, 139, 4 },
    { 150, 143, Counted(32) }, { 184, 176, 3 }, { 188, 179, 4 },
    { 192, 183, Counted(32) }, { 226, 216, 3 }, { 230, 219, 4 },
    { 234, 223, Counted(32) }, { 268, 256, 3 }, { 272, 259, 4 },
    { 276, 263, Counted(32) }, { 310, 296, 3 }, { 314, 299, 4 },
    { 318, 309, 3 }, { 321, 320, 2 }, { 328, 312, 6 }, { 334, 318, 2 }, { 0, 0, 0 },
};
const MacLayoutRow kMacRecordMap[] = {
    { 0, 8, 8 },   { 8, 16, 2 },  { 10, 18, 4 }, { 14, 0, 2 },  { 16, 23, 1 }, { 18, 24, 4 },
    { 39, 29, 2 }, { 43, 28, 1 }, { 46, 31, 5 }, { 52, 36, 4 }, { 56, 40, 1 }, { 58, 41, Counted(32) },
    { 92, 74, Counted(38) }, { 132, 113, 2 }, { 134, 115, 1 }, { 0, 0, 0 },
};

// ---- conversion tables -----------------------------------------------------------------

const int32_t kClassOfOldClass[16] = { 0, 1, 2, 3, 17, 4, 18, 10, 18, 18, 12, 13, 8, 9, 6, 6 };
const int32_t kKindOfOldKind[41] = { 75, 75, 75, 4,  75, 75, 75, 11, 12, 13, 14, 15, 16, 17,
                                     18, 19, 75, 75, 66, 20, 75, 75, 75, 75, 22, 23, 24, 26,
                                     27, 18, 29, 75, 31, 32, 33, 34, 35, 36, 75, 37, 38 };
struct OldConstruction {
    int32_t type;
    int32_t order;
};
const OldConstruction kConstructionOfOldCode[68] = {
    { 0, 0 },  { 1, 0 },  { 2, 1 },  { 38, 0 }, { 9, 0 },  { 34, 0 }, { 5, 1 },  { 6, 1 },  { 3, 0 },
    { 15, 0 }, { 15, 0 }, { 11, 0 }, { 12, 0 }, { 21, 0 }, { 31, 0 }, { 13, 0 }, { 14, 0 }, { kNoType, 0 },
    { 8, 0 },  { 4, 0 },  { 7, 0 },  { 10, 0 }, { 40, 0 }, { kNoType, 0 }, { 20, 0 }, { 32, 0 }, { 36, 0 },
    { 91, 0 }, { 66, 1 }, { 35, 0 }, { kNoType, 0 }, { kNoType, 0 }, { 83, 0 }, { 15, 0 }, { 81, 0 }, { 84, 0 },
    { 85, 0 }, { 33, 0 }, { 37, 0 }, { 27, 0 }, { 26, 0 }, { 30, 0 }, { 29, 3 }, { 28, 0 }, { 23, 0 },
    { 22, 0 }, { 24, 2 }, { 25, 0 }, { 24, 0 }, { kNoType, 0 }, { 65, 0 }, { 65, 0 }, { 62, 0 }, { 62, 0 },
    { 56, 0 }, { 65, 0 }, { 65, 0 }, { kNoType, 0 }, { kNoType, 0 }, { 73, 6 }, { 74, 6 }, { kNoType, 0 },
    { kNoType, 0 }, { 39, 5 }, { 15, 0 }, { 15, 0 }, { 71, 0 }, { 72, 0 },
};
const int32_t kTracedOfOldTrace[4] = { 0, 1, 0, 1 };
// Old button types 0 to 4; the old types 5 and 6 have no counterpart.
const int32_t kButtonTypeOfOldType[5] = { kButtonMove, kButtonShow, kButtonHide, kButtonAnimate, kButtonPresentation };
// The old type whose data list the targets' motions.
constexpr uint8_t kOldAnimateButton = 3;
const int32_t kLineStyleOfOldLine[3] = { 1, 2, 0 };

// Old colour indexes as Windows colour values (red in the low byte).
const uint32_t kOldColors[29] = {
    0x000000, 0x404040, 0x808080, 0xc0c0c0,
    0xc00000, 0xff0000, 0xff6060, 0xffa0a0,  // blue
    0xc000c0, 0xff00ff, 0xff60ff, 0xffa0ff,  // magenta
    0x0000c0, 0x0000ff, 0x6060ff, 0xa0a0ff,  // red
    0x00c0c0, 0x00ffff, 0x60ffff, 0xa0ffff,  // yellow
    0x00c000, 0x00ff00, 0x60ff60, 0xa0ffa0,  // green
    0xc0c000, 0xffff00, 0xffff60, 0xffffa0,  // cyan
    0xffffff,
};
constexpr int32_t kOldWhite = 28;
constexpr int32_t kOldGrey = 2;

// Old measurement codes 0..20: type and parent order.
const OldConstruction kMeasurementOfOldCode[21] = {
    { 40, 0 }, { 41, 1 }, { 43, 0 }, { 44, 0 }, { 45, 0 }, { 46, 0 }, { 47, 4 }, { 48, 4 }, { 49, 0 }, { 50, 0 },
    { 42, 1 }, { 51, 0 }, { 52, 0 }, { 51, 0 }, { 47, 0 }, { 48, 0 }, { 53, 0 }, { 54, 0 }, { 55, 0 }, { 47, 0 },
    { 48, 0 },
};


// Old calculator words that map to one token.
struct OldTokenRow {
    uint16_t word;
    uint16_t token;
};
const OldTokenRow kOldTokens[] = {
    { 0xffff, 0x1000 }, { 0xfffe, 0x1001 }, { 0xfffd, 0x1002 }, { 0xfffc, 0x1003 }, { 0xfffb, 0x1005 },
    { 0xfffa, 0x1004 }, { 0xfff9, 12 },     { 0xfff8, 13 },     { 0xfff7, 11 },     { 0xfff6, 12 },
    { 0xffe5, 14 },     { 0xff38, 0x2000 }, { 0xff37, 0x2001 }, { 0xff36, 0x2006 }, { 0xff35, 0x2007 },
    { 0xff34, 0x2008 }, { 0xff33, 0x200b }, { 0xff32, 0x200c }, { 0xff31, 0x2002 }, { 0xff30, 0x2003 },
    { 0xff2f, 0x2004 }, { 0xff2e, 0x2005 }, { 0xff2d, 0x2009 }, { 0xff2c, 0x200a },
};
constexpr uint16_t kOldParentFirst = 0xff39;
constexpr uint16_t kOldParentLast = 0xff9c;
constexpr uint16_t kOldDistanceConst = 0xffe6;
constexpr uint16_t kOldAngleConst = 0xffe7;
constexpr uint16_t kOldNumberConst = 0xffe8;
constexpr uint16_t kOldUnitConst = 0xffe4;
constexpr uint16_t kOldYCoordinate = 0xfed2;
constexpr uint16_t kOldXCoordinate = 0xfed3;
constexpr double kDegreesPerRadian = 57.295779513082195;
constexpr int32_t kTypeAbscissa = 69;
constexpr int32_t kTypeOrdinate = 70;
constexpr int32_t kTypePlottedMeasuredRect = 73;

constexpr uint32_t kFontTableTag = 2001;
constexpr uint32_t kFontEntryBytes = 34;

}  // namespace

// ---- byte-order descriptors and record maps ------------------------------------------------

void ApplyFieldLayout(const uint8_t* layout, uint8_t* data, uint32_t size) {
    uint32_t at = 0;
    for (const uint8_t* p = layout; p[0] != 0; p += 2) {
        const uint32_t count = p[0], width = p[1];
        if (width <= 1) {
            at += count;
            continue;
        }
        for (uint32_t i = 0; i < count; ++i, at += width) {
            if (width > size || at > size - width) return;
            for (uint32_t a = at, b = at + width - 1; a < b; ++a, --b) {
                const uint8_t t = data[a];
                data[a] = data[b];
                data[b] = t;
            }
        }
    }
}

void SwapRecordIfForeign(bool foreignOrder, const uint8_t* layout, uint8_t* data, uint32_t size) {
    if (foreignOrder) ApplyFieldLayout(layout, data, size);
}

void MapMacRecord(const MacLayoutRow* map, const uint8_t* mac, uint32_t macSize, uint8_t* pc, uint32_t pcSize,
                  uint8_t* scratch) {
    std::memset(pc, 0, pcSize);
    for (const MacLayoutRow* row = map; row->length != 0; ++row) {
        if (row->macOffset < 0 || uint32_t(row->macOffset) >= macSize || row->pcOffset < kScratch) continue;
        if (row->pcOffset != kScratch && uint32_t(row->pcOffset) >= pcSize) continue;
        const uint32_t from = static_cast<uint32_t>(row->macOffset);
        uint8_t* to = row->pcOffset == kScratch ? scratch : pc + row->pcOffset;
        const uint32_t room = row->pcOffset == kScratch ? 4 : pcSize - static_cast<uint32_t>(row->pcOffset);
        if (row->length > 0) {
            const uint32_t n = static_cast<uint32_t>(row->length);
            if (n > room || n > macSize - from) continue;
            std::memcpy(to, mac + from, n);
        } else {
            const uint32_t most = static_cast<uint32_t>(-row->length - 1);
            uint32_t n = mac[from];
            if (n > most) n = most;
            if (n > macSize - from - 1) n = macSize - from - 1;
            if (n + 1 > room) continue;
            std::memcpy(to, mac + from + 1, n);
            to[n] = 0;
        }
    }
}

ResultCode ReadMacRecord(StreamHandle stream, const MacLayoutRow* map, uint32_t macSize, uint8_t* pc,
                         uint32_t pcSize, uint8_t* scratch) {
    uint8_t mac[kMacHeaderBytes];
    if (macSize > sizeof mac) return kResultInvalidArg;
    const ResultCode rc = StreamRead(stream, mac, macSize);
    if (rc != kResultOK) return rc;
    MapMacRecord(map, mac, macSize, pc, pcSize, scratch);
    return kResultOK;
}

// ---- header --------------------------------------------------------------------------------

namespace {

int32_t UnitOrDefault(uint8_t old, const int32_t (&units)[3]) {
    // Unit bytes above 2 do not occur in the files this reader accepts; the first unit
    // of each list (degrees, inches) is as good a reading as any.
    return old <= 2 ? units[old] : units[0];
}

}  // namespace

ResultCode ReadLegacyHeader(StreamHandle stream, LegacyHeader* header) {
    *header = LegacyHeader{};
    ResultCode rc = StreamSeek(stream, 0, 0);
    uint8_t magic[4];
    if (rc == kResultOK) rc = StreamRead(stream, magic, sizeof magic);
    if (rc != kResultOK) return rc;
    uint8_t pc[kPcHeaderBytes] = {};
    const bool foreign = std::memcmp(magic, "YRNk", 4) != 0;
    if (!foreign) {
        rc = StreamRead(stream, pc, sizeof pc);
        if (rc != kResultOK) return rc;
        if (LE16(pc + 8) != kPcHeaderBytes) return kResultOtherVersion;
    } else {
        if (std::memcmp(magic, "YRNc", 4) == 0) return kResultOtherVersion;
        uint8_t scratch[4] = {};
        rc = ReadMacRecord(stream, kMacHeaderMap, kMacHeaderBytes, pc, sizeof pc, scratch);
        if (rc != kResultOK) return rc;
        std::memcpy(pc, magic, 4);
        ApplyFieldLayout(kHeaderSwap, pc, sizeof pc);
        // The Mac window rectangle is stored top, left, bottom, right: the swap of its two
        // 32-bit halves leaves left, top, right, bottom at +10.
        const int16_t left = static_cast<int16_t>(LE16(pc + 10)), top = static_cast<int16_t>(LE16(pc + 12));
        const int16_t right = static_cast<int16_t>(LE16(pc + 14)), bottom = static_cast<int16_t>(LE16(pc + 16));
        int32_t width = right - left - 48;
        if (pc[304] == 0) width += 32;
        const int32_t height = bottom - top - 16;
        // The origin is a Mac point {v, h}.
        header->windowTop = static_cast<int16_t>(Get16(scratch, true));
        header->windowLeft = static_cast<int16_t>(Get16(scratch + 2, true));
        header->windowWidth = static_cast<int16_t>(width < 0 ? 0 : width > 0x7fff ? 0x7fff : width);
        header->windowHeight = static_cast<int16_t>(height < 0 ? 0 : height > 0x7fff ? 0x7fff : height);
    }
    header->foreignOrder = foreign;
    header->objectCount = LE32(pc + 0);
    header->version = LE16(pc + 4);
    if (header->objectCount >= kMaxObjects) return kResultOtherVersion;
    if (header->version < 10 || header->version > 12) return kResultOtherVersion;
    if (!foreign) {
        header->windowLeft = static_cast<int16_t>(LE16(pc + 10));
        header->windowTop = static_cast<int16_t>(LE16(pc + 12));
        header->windowWidth = static_cast<int16_t>(LE16(pc + 14));
        header->windowHeight = static_cast<int16_t>(LE16(pc + 16));
    }
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t p = LE16(pc + 312 + 2 * i);
        header->precision[i] = p > 5 ? 5 : p;
    }
    static constexpr int32_t kAngleUnits[3] = { 1, 2, 0 };
    static constexpr int32_t kDistanceUnits[3] = { 2, 1, 0 };
    header->angleUnit = UnitOrDefault(pc[318], kAngleUnits);
    header->distanceUnit = UnitOrDefault(pc[319], kDistanceUnits);
    header->snapToGrid = pc[320] != 0;
    header->polarGrid = pc[321] != 0;
    return kResultOK;
}

// ---- Mac text ------------------------------------------------------------------------------

ResultCode ConvertMacText(char* text, uint32_t* size, uint32_t capacity) {
    uint32_t n = *size;
    auto insert = [&](uint32_t at, char c) {
        if (n + 2 > capacity) return false;  // room for the byte and the NUL
        std::memmove(text + at + 1, text + at, n - at);
        text[at] = c;
        ++n;
        return true;
    };
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t c = static_cast<uint8_t>(text[i]);
        if (c == '\r') {
            if (i + 1 < n && text[i + 1] == '\n') {
                ++i;
                continue;
            }
            if (!insert(i + 1, '\n')) return kResultOutOfMemory;
            ++i;
        } else if (c == kMacPi) {
            text[i] = 'p';
            if (!insert(i + 1, 'i')) return kResultOutOfMemory;
            ++i;
        } else if (c >= 0x80 && kMacToWindowsHigh[c - 0x80] != 0) {
            text[i] = static_cast<char>(kMacToWindowsHigh[c - 0x80]);
        }
    }
    if (n < capacity) text[n] = '\0';
    *size = n;
    return kResultOK;
}

// ---- calculator words ----------------------------------------------------------------------

namespace {

struct TokenSink {
    uint16_t* tokens = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
    bool Add(uint16_t token) {
        if (count == capacity) {
            const uint32_t grown = capacity ? capacity * 2 : 32;
            auto* more = static_cast<uint16_t*>(AllocMemory(grown * sizeof(uint16_t), 0));
            if (!more) return false;
            if (tokens) {
                std::memcpy(more, tokens, count * sizeof(uint16_t));
                FreeMemory(tokens);
            }
            tokens = more;
            capacity = grown;
        }
        tokens[count++] = token;
        return true;
    }
};

// A number printed as "%.7g" always with '.', its characters as calculator keys.
bool AddNumberTokens(TokenSink* sink, double value) {
    char text[40];
    const auto printed = std::to_chars(text, text + sizeof text - 1, value, std::chars_format::general, 7);
    if (printed.ec != std::errc()) return false;
    *printed.ptr = '\0';
    const char* exponent = std::strchr(text, 'e');
    bool ok = true;
    if (exponent) ok = sink->Add(kTokenOpen);
    for (const char* p = text; ok && *p && p != exponent; ++p) {
        if (*p >= '0' && *p <= '9') ok = sink->Add(static_cast<uint16_t>(*p - '0'));
        else if (*p == '.') ok = sink->Add(kTokenDecimalPoint);
        else if (*p == '-') ok = sink->Add(kClassOperator | kOpNegate);
    }
    if (ok && exponent) {
        // m e k as m * 10 ^ k.
        ok = sink->Add(kClassOperator | kOpMultiply) && sink->Add(1) && sink->Add(0) &&
             sink->Add(kClassOperator | kOpPower);
        for (const char* p = exponent + 1; ok && *p; ++p) {
            if (*p == '-') ok = sink->Add(kClassOperator | kOpNegate);
            else if (*p >= '0' && *p <= '9') ok = sink->Add(static_cast<uint16_t>(*p - '0'));
        }
        if (ok) ok = sink->Add(kTokenClose);
    }
    return ok;
}

}  // namespace

ResultCode ConvertLegacyTokens(const uint16_t* words, uint32_t wordCount, const LegacyTokenContext& context,
                               uint16_t** tokens, uint32_t* count, LegacyCoordinateRefs* coordinates) {
    *tokens = nullptr;
    *count = 0;
    if (coordinates) coordinates->count = 0;
    TokenSink sink;
    ResultCode rc = kResultOK;
    bool memory = true;
    int32_t pendingCoordinate = 0;  // the measurement type the next parent reference takes
    for (uint32_t i = 0; i < wordCount && rc == kResultOK && memory; ++i) {
        const uint16_t w = words[i];
        if (w <= 0x7fff) {
            char digits[8];
            const auto printed = std::to_chars(digits, digits + sizeof digits, static_cast<int>(w));
            for (const char* p = digits; memory && p < printed.ptr; ++p) memory = sink.Add(static_cast<uint16_t>(*p - '0'));
        } else if (w >= kOldParentFirst && w <= kOldParentLast) {
            if (pendingCoordinate != 0) {
                coordinates->item[coordinates->count++] = { sink.count, pendingCoordinate };
                pendingCoordinate = 0;
            }
            memory = sink.Add(static_cast<uint16_t>(kClassParentValue | (kOldParentLast - w)));
        } else if (w == kOldDistanceConst || w == kOldAngleConst || w == kOldNumberConst) {
            if (wordCount - i < 3) {
                rc = kResultDamaged;
                break;
            }
            // The single-precision float is stored in the file's byte order: on the Mac
            // the first word holds its high half.
            const uint32_t bits = context.foreignOrder ? uint32_t(words[i + 1]) << 16 | words[i + 2]
                                                       : uint32_t(words[i + 2]) << 16 | words[i + 1];
            float f;
            std::memcpy(&f, &bits, 4);
            double value = f;
            i += 2;
            uint16_t unit = 0;
            if (w == kOldDistanceConst) {
                const double inch = context.foreignOrder ? 72.0 : 96.0;
                if (context.distanceUnit == 2) value /= inch;
                else if (context.distanceUnit == 1) value *= 2.54 / inch;
                unit = static_cast<uint16_t>(kTokenDistanceUnit + context.distanceUnit);
            } else if (w == kOldAngleConst) {
                if (context.angleUnit != 0) value *= kDegreesPerRadian;
                unit = static_cast<uint16_t>(kTokenAngleUnit + context.angleUnit);
            }
            if (!std::isfinite(value)) {
                rc = kResultDamaged;
                break;
            }
            memory = AddNumberTokens(&sink, value) && (unit == 0 || sink.Add(unit));
        } else if (w == kOldUnitConst) {
            if (wordCount - i < 3) {
                rc = kResultDamaged;
                break;
            }
            const uint16_t constant = words[i + 1], unitWord = words[i + 2];
            i += 2;
            uint16_t token = 0;
            if (constant == 0xfff8) token = kTokenPi;
            else if (constant == 0xfff5) token = kTokenE;
            static constexpr uint16_t kDistanceOfOld[3] = { 2, 1, 0 };
            static constexpr uint16_t kAngleOfOld[3] = { 1, 2, 0 };
            uint16_t unit = 0;
            if (unitWord <= 2) unit = static_cast<uint16_t>(kTokenDistanceUnit + kDistanceOfOld[unitWord]);
            else if (unitWord >= 128 && unitWord <= 130) unit = static_cast<uint16_t>(kTokenAngleUnit + kAngleOfOld[unitWord - 128]);
            if (token == 0 || unit == 0) {
                rc = kResultSkippedObject;
                break;
            }
            memory = sink.Add(token) && sink.Add(unit);
        } else if (w == kOldYCoordinate || w == kOldXCoordinate) {
            // Of the next referenced point; two in a row name nothing.
            if (!coordinates || pendingCoordinate != 0 || coordinates->count == kMaxLegacyCoordinateRefs) {
                rc = kResultSkippedObject;
                break;
            }
            pendingCoordinate = w == kOldXCoordinate ? kTypeAbscissa : kTypeOrdinate;
        } else {
            uint16_t token = 0;
            for (const OldTokenRow& row : kOldTokens)
                if (row.word == w) token = row.token;
            if (token == 0) {
                rc = kResultSkippedObject;
                break;
            }
            memory = sink.Add(token);
        }
    }
    if (!memory) rc = kResultOutOfMemory;
    if (rc == kResultOK && pendingCoordinate != 0) rc = kResultSkippedObject;
    if (rc != kResultOK) {
        if (coordinates) coordinates->count = 0;
        FreeMemory(sink.tokens);
        return rc;
    }
    *tokens = sink.tokens;
    *count = sink.count;
    return kResultOK;
}

// ---- objects -----------------------------------------------------------------------------

namespace {

// What became of an old object, by its 1-based number.
struct MapEntry {
    SketchObject* object;
    int32_t leftOut;
};

struct LegacyReader {
    StreamHandle stream;
    LegacyHeader header;
    Sketch* sketch;
    ChunkedArray* map;
    int32_t objectsRead;
    SketchObject* coordSystem;  // the converted system (one a page) and its axes
    SketchObject* horizontalAxis;
    SketchObject* verticalAxis;
    SketchObject* helperParameter;  // the later release's zero of plotted values, made once
};

// A file that ends inside an object is damaged, not merely short.
ResultCode ReadBytes(LegacyReader& r, void* buffer, uint32_t n) {
    const ResultCode rc = StreamRead(r.stream, buffer, n);
    return rc == kResultEndOfData ? kResultDamaged : rc;
}

uint32_t BytesLeft(const LegacyReader& r) {
    uint32_t position = 0, size = 0;
    if (StreamTell(r.stream, &position) != kResultOK || StreamSize(r.stream, &size) != kResultOK) return 0;
    return size > position ? size - position : 0;
}

// Reading only ever moves forward: a negative skip, or one past the data, is damage.
ResultCode SkipForward(LegacyReader& r, int64_t n) {
    if (n < 0 || n > int64_t(BytesLeft(r))) return kResultDamaged;
    return n == 0 ? kResultOK : StreamSeek(r.stream, static_cast<int32_t>(n), 1);
}

ResultCode ReadU16(LegacyReader& r, uint16_t* value) {
    uint8_t b[2];
    const ResultCode rc = ReadBytes(r, b, 2);
    *value = rc == kResultOK ? Get16(b, r.header.foreignOrder) : 0;
    return rc;
}
ResultCode ReadU32(LegacyReader& r, uint32_t* value) {
    uint8_t b[4];
    const ResultCode rc = ReadBytes(r, b, 4);
    *value = rc == kResultOK ? Get32(b, r.header.foreignOrder) : 0;
    return rc;
}

MapEntry* EntryOf(LegacyReader& r, int32_t number) {
    return static_cast<MapEntry*>(ChunkedArrayAt(r.map, number));
}

// An old object number names an object read before this one; 0 and later numbers are
// damage.
ResultCode CheckOldNumber(const LegacyReader& r, uint32_t number) {
    return number >= 1 && number <= uint32_t(r.objectsRead) ? kResultOK : kResultDamaged;
}

// The counted text of a record (at most `most` characters, NUL-terminated in the record)
// into `out`, converted for Mac files.
void RecordText(const LegacyReader& r, const uint8_t* field, uint32_t most, char* out, uint32_t room) {
    uint32_t n = 0;
    while (n < most && field[n] != 0) ++n;
    std::memcpy(out, field, n);
    out[n] = '\0';
    if (r.header.foreignOrder) ConvertMacText(out, &n, room);
}

// The fields of the fixed record that the conversion uses.
struct OldRecord {
    int32_t kind, oldClass, colorIndex, code, labelShown, trace, hidden, line, labelInTools;
    uint32_t total;
    int16_t x, y;
    // The record's second point beside the position: a text's box extent, of which the
    // horizontal part is the width its rows were broken to.
    int16_t boxWidth;
    uint32_t parentCount;
    uint16_t face, font, size;
    char label[kLabelBufferSize];
};

ResultCode ReadFixedRecord(LegacyReader& r, OldRecord* o, bool* end) {
    uint8_t rec[kPcRecordBytes] = {};
    ResultCode rc;
    if (r.header.foreignOrder) {
        uint8_t scratch[4];
        rc = ReadMacRecord(r.stream, kMacRecordMap, kMacRecordBytes, rec, sizeof rec, scratch);
        if (rc == kResultEndOfData) rc = kResultDamaged;
        ApplyFieldLayout(kRecordSwap, rec, sizeof rec);
    } else {
        rc = ReadBytes(r, rec, sizeof rec);
    }
    if (rc != kResultOK) return rc;
    o->oldClass = rec[28];
    *end = o->oldClass == kEndOfObjects;
    if (*end) return kResultOK;
    o->kind = LE16(rec + 0);
    o->total = LE32(rec + 2);
    // Positions beyond the screen limit would be clamped when the converted page is
    // opened again, so that it no longer saved as it was converted.
    o->x = RoundToScreen(static_cast<int16_t>(LE16(rec + 8)));
    o->y = RoundToScreen(static_cast<int16_t>(LE16(rec + 10)));
    o->boxWidth = static_cast<int16_t>(LE16(rec + 12));
    o->parentCount = LE16(rec + 16);
    o->face = LE16(rec + 22);
    o->font = LE16(rec + 24);
    o->size = LE16(rec + 26);
    o->colorIndex = rec[29];
    o->code = rec[30];
    o->labelShown = rec[31] != 0;
    o->trace = rec[32];
    o->hidden = rec[33] != 0;
    o->line = rec[34];
    o->labelInTools = rec[40] != 0;
    RecordText(r, rec + 41, 32, o->label, sizeof o->label);
    if (o->oldClass > 15 || o->code > 67 || o->kind > 40 || o->trace > 3) return kResultSkippedObject;
    return kResultOK;
}

// The old text style: bits 0-2 bold, italic, underline; bits 3, 5, 6 and 7 (old flags
// 0x20, 8, 0x10 and 0x40) have no counterpart in a text style and give warning 4.
ResultCode ConvertStyle(const LegacyReader& r, const OldRecord& o, TextStyle* style) {
    OldFontRecord font{ static_cast<uint8_t>(o.face & 7), 0 };
    StyleFromFontFlags(&font, style);
    int32_t size = r.header.foreignOrder ? o.size : (96 * o.size + 36) / 72;
    if (size < 8 || size > 127) size = 12;
    style->field[kStyleSize] = static_cast<int16_t>(size);
    // Old font numbers are remapped through the trailing font table; until then they
    // are kept as read, shifted past 0 ("inherit").
    style->field[kStyleFont] = static_cast<int16_t>(o.font + 1 > 0x7fff ? 1 : o.font + 1);
    return (o.face & 0xe8) ? kResultLongerRecord : kResultOK;
}

uint32_t ColorOf(int32_t newClass, const OldRecord& o) {
    int32_t index = o.colorIndex;
    switch (newClass) {
    case kClassCaption: case kClassMeasurement: case kClassCalculation: index = 0; break;
    case kClassPolygonInterior: case kClassCircleInterior: break;
    case kClassCoordinateSystem: case kClassAxis: index = kOldGrey; break;
    default: index &= 0x1c; break;
    }
    if (o.oldClass == 1 && index == 0 && !kTracedOfOldTrace[o.trace]) index = kOldWhite;
    return index <= kOldWhite ? kOldColors[index] : 0;
}

constexpr uint32_t kMaxOldParents = 60;

// Puts the old parents into the order of the new construction; *count grows by one for
// order 5. `p` has room for kMaxOldParents + 1.
void Reorder(SketchObject** p, uint32_t* count, int32_t order) {
    const uint32_t n = *count;
    SketchObject* old[kMaxOldParents];
    if (n > kMaxOldParents) return;
    std::memcpy(old, p, n * sizeof *p);
    switch (order) {
    case 1:
        for (uint32_t i = 0; i < n; ++i) p[i] = old[n - 1 - i];
        break;
    case 2:
        if (n >= 2) {
            p[2] = old[1];
            *count = 3;
        }
        break;
    case 3:
        if (n >= 2) {
            for (uint32_t i = 1; i + 1 < n; ++i) p[i] = old[i + 1];
            p[n - 1] = old[1];
        }
        break;
    case 4:
        if (n >= 2) {
            p[0] = old[1];
            p[1] = old[0];
        }
        break;
    case 5:
        if (n >= 1) {
            p[0] = old[n - 1];
            for (uint32_t i = 0; i < n; ++i) p[i + 1] = old[i];
            *count = n + 1;
        }
        break;
    case 6:
        if (n >= 3) {
            p[0] = old[2];
            p[1] = old[0];
            p[2] = old[1];
        }
        break;
    default:
        break;
    }
}

// Old parent numbers (u16, 0xffff none) into objects, reordered. A number beyond the
// objects read so far is damage; a parent that was left out leaves this object out too.
ResultCode ReadLegacyParents(LegacyReader& r, SketchObject** out, uint32_t* count, uint32_t stored, int32_t order) {
    *count = 0;
    bool leftOut = false;
    if (stored > kMaxOldParents) return kResultDamaged;
    for (uint32_t i = 0; i < stored; ++i) {
        uint16_t number = 0;
        const ResultCode rc = ReadU16(r, &number);
        if (rc != kResultOK) return rc;
        if (number == kNoParent) continue;
        if (CheckOldNumber(r, number) != kResultOK) return kResultDamaged;
        const MapEntry* e = EntryOf(r, number);
        if (!e) return kResultOutOfMemory;
        if (e->leftOut || !e->object) {
            leftOut = true;
            continue;
        }
        out[(*count)++] = e->object;
    }
    if (leftOut) return kResultSkippedObject;
    Reorder(out, count, order);
    return kResultOK;
}

// The classes whose data the old records carry, read after the fixed record. What each
// reader finds goes here for the construction.
struct OldClassData {
    bool haveNumbers;
    double numbers[2];
    int16_t labelDx, labelDy;
    int32_t segmentForm;  // -1 none
    char* text;           // heap text of a caption, or null
    uint32_t textLength;
    int32_t measureType, measureOrder;
    char measureText[kLabelBufferSize];
    uint16_t* tokens;
    uint32_t tokenCount;
    SketchObject* made;  // an object the class reader made itself
    LegacyCoordinateRefs coordinates;
    bool isLocus;
    int32_t locusSamples;
    int32_t locusDrawOption;  // 0 a connected curve, 1 dots
    bool isButton;
    ActionButtonInit button;
    bool partial;  // made, but with less than the record held (warning 9)
};

void FreeClassData(OldClassData* d) {
    FreeMemory(d->text);
    FreeMemory(d->tokens);
    d->text = nullptr;
    d->tokens = nullptr;
}

ResultCode ReadCaptionText(LegacyReader& r, OldClassData* d) {
    uint8_t head[14];
    const uint32_t headBytes = r.header.foreignOrder ? 14 : 6;
    ResultCode rc = ReadBytes(r, head, headBytes);
    if (rc != kResultOK) return rc;
    const uint32_t length = Get16(head + 4, r.header.foreignOrder);
    if (r.header.foreignOrder) {
        // Style runs of the Mac text: a count and that many words, not kept.
        uint16_t words = 0;
        if ((rc = ReadU16(r, &words)) != kResultOK) return rc;
        if ((rc = SkipForward(r, 2 * int64_t(words))) != kResultOK) return rc;
    }
    if (length > kMaxOldText || length > BytesLeft(r)) return kResultDamaged;
    // Room for every byte to grow by one in the Mac conversion.
    const uint32_t room = 2 * length + 1;
    d->text = static_cast<char*>(AllocMemory(room, 0));
    if (!d->text) return kResultOutOfMemory;
    if ((rc = ReadBytes(r, d->text, length)) != kResultOK) return rc;
    d->text[length] = '\0';
    d->textLength = length;
    if (r.header.foreignOrder) return ConvertMacText(d->text, &d->textLength, room);
    return kResultOK;
}

// A counted string (u8 length) into out, trailing blanks and "=" removed.
ResultCode ReadCountedText(LegacyReader& r, char* out, uint32_t room) {
    uint8_t n = 0;
    ResultCode rc = ReadBytes(r, &n, 1);
    if (rc != kResultOK) return rc;
    uint8_t bytes[256];
    if ((rc = ReadBytes(r, bytes, n)) != kResultOK) return rc;
    uint32_t length = n < room - 1 ? n : room - 1;
    while (length > 0 && (bytes[length - 1] == ' ' || bytes[length - 1] == '=')) --length;
    std::memcpy(out, bytes, length);
    out[length] = '\0';
    if (r.header.foreignOrder) ConvertMacText(out, &length, room);
    return kResultOK;
}

ResultCode ReadMeasurementData(LegacyReader& r, OldClassData* d, bool* warn) {
    uint8_t head[7];
    ResultCode rc = ReadBytes(r, head, sizeof head);
    if (rc != kResultOK) return rc;
    if (head[0] > 20) return kResultSkippedObject;
    d->measureType = kMeasurementOfOldCode[head[0]].type;
    d->measureOrder = kMeasurementOfOldCode[head[0]].order;
    char name[kLabelBufferSize];
    if ((rc = ReadCountedText(r, name, sizeof name)) != kResultOK) return rc;
    if ((rc = ReadCountedText(r, d->measureText, sizeof d->measureText)) != kResultOK) return rc;
    uint8_t flag = 0;
    if ((rc = ReadBytes(r, &flag, 1)) != kResultOK) return rc;
    if (flag) *warn = true;
    uint16_t block = 0;
    if ((rc = ReadU16(r, &block)) != kResultOK) return rc;
    if ((rc = SkipForward(r, block)) != kResultOK) return rc;
    if (d->measureType != kTypeCalculation) return kResultOK;
    uint8_t five[5];
    uint16_t count = 0;
    if ((rc = ReadBytes(r, five, sizeof five)) != kResultOK) return rc;
    if ((rc = ReadU16(r, &count)) != kResultOK) return rc;
    if (count > kMaxOldTokens) return kResultDamaged;
    uint16_t words[kMaxOldTokens];
    for (uint32_t i = 0; i < count; ++i)
        if ((rc = ReadU16(r, &words[i])) != kResultOK) return rc;
    const LegacyTokenContext context{ r.header.foreignOrder, r.sketch->settings.angleUnit,
                                      r.sketch->settings.distanceUnit };
    return ConvertLegacyTokens(words, count, context, &d->tokens, &d->tokenCount, &d->coordinates);
}

// Reads the data of the old object's class; 9 when the object cannot be converted but
// its bytes were passed over.
ResultCode ReadLegacyClassData(LegacyReader& r, const OldRecord& o, int32_t newClass, OldClassData* d, bool* warn) {
    const bool big = r.header.foreignOrder;
    uint8_t b[64];
    ResultCode rc = kResultOK;
    switch (o.oldClass) {
    case 0:
        return ReadCaptionText(r, d);
    case 1:
        if ((rc = ReadBytes(r, b, 12)) != kResultOK) return rc;
        d->haveNumbers = true;
        d->numbers[0] = static_cast<int32_t>(Get32(b, big));
        d->numbers[1] = static_cast<int32_t>(Get32(b + 4, big));
        d->labelDx = static_cast<int16_t>(Get16(b + 8, big));
        d->labelDy = static_cast<int16_t>(Get16(b + 10, big));
        return kResultOK;
    case 2:
    case 13:
        if ((rc = ReadBytes(r, b, 30)) != kResultOK) return rc;
        d->segmentForm = b[29];
        if (o.oldClass == 13) {
            // An old axis is one of the converted system's own: old code 4 the
            // horizontal one, any other the vertical one.
            SketchObject* axis = o.code == 4 ? r.horizontalAxis : r.verticalAxis;
            if (!axis) return kResultSkippedObject;
            axis->hidden = o.hidden ? kHiddenByUser : kShown;
            d->made = axis;
        }
        return kResultOK;
    case 3:
        // The label's place on the circle is not kept: the label goes where new ones go.
        return ReadBytes(r, b, 20);
    case 5: {
        uint32_t vertices = 0;
        if (r.header.version == 10) {
            uint16_t n = 0;
            if ((rc = ReadU16(r, &n)) != kResultOK) return rc;
            vertices = n;
        } else {
            if ((rc = ReadBytes(r, b, 10)) != kResultOK) return rc;
            vertices = Get16(b, big);
        }
        return SkipForward(r, 8 * int64_t(vertices));
    }
    case 10:
    case 11:
        return SkipForward(r, big ? 36 + 16 + 4 + 1 + 1 : 36 + 4 + 1);
    case 14:
    case 15:
        // {u16, u16 sample count, byte, byte connected}; the parents are rebuilt once read.
        if ((rc = ReadBytes(r, b, 6)) != kResultOK) return rc;
        d->isLocus = true;
        d->locusSamples = Get16(b + 2, big);
        d->locusDrawOption = b[5] != 0 ? 0 : 1;
        return kResultOK;
    case 12: {
        if ((rc = ReadBytes(r, b, 16)) != kResultOK) return rc;
        const uint32_t count = Get16(b + 14, big);
        if (2 * int64_t(count) > BytesLeft(r)) return kResultDamaged;
        // The system is built on its listed objects (origin, unit point or object),
        // handed over as the selection, the first listed the most recently selected.
        // Only the first few can take part, each once, so that the selection keeps
        // their order; every number is checked.
        SketchObject* listed[4] = {};
        uint32_t distinct = 0;
        bool leftOut = false;
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t number = 0;
            if ((rc = ReadU16(r, &number)) != kResultOK) break;
            if (CheckOldNumber(r, number) != kResultOK) {
                rc = kResultDamaged;
                break;
            }
            const MapEntry* e = EntryOf(r, number);
            if (!e) {
                rc = kResultOutOfMemory;
                break;
            }
            if (!e->object) {
                leftOut = true;
                continue;
            }
            if (std::find(listed, listed + distinct, e->object) == listed + distinct && distinct < std::size(listed))
                listed[distinct++] = e->object;
        }
        DeselectAll();
        for (uint32_t i = std::size(listed); i-- > 0;)
            if (listed[i] && !IsSelected(listed[i])) SelectSketchObject(listed[i]);
        // Old forms 50, 51, and 55 and 56 (the construction codes of old systems).
        int32_t flags = 0;
        if (o.code == 50) flags = 17;
        else if (o.code == 51) flags = 8;
        else if (o.code == 55 || o.code == 56) flags = 3;
        // The system builder trusts its selection: the listed objects must be what the
        // form builds on (an origin point and a unit point; a unit circle). The unit
        // objects of forms 55 and 56 are not checked here, so those systems are left out.
        bool suits = false;
        if (flags == 17) {
            suits = listed[0] && listed[0]->objectClass == kClassPoint && listed[1] &&
                    KindIsA(listed[1]->objectKind, kKindUnitPoint);
        } else if (flags == 8) {
            suits = listed[0] && listed[0]->objectClass == kClassCircle;
        }
        if (!suits) leftOut = true;
        SketchObject* system = nullptr;
        bool built = false;
        if (rc == kResultOK && !leftOut && !r.coordSystem) {
            system = CreateCoordSystem(flags, 0, 0, r.header.polarGrid ? kGridPolar : kGridSquare);
            built = true;
        }
        DeselectAll();
        if (rc != kResultOK) return rc;
        // On objects that suit it the system fails to build only for want of memory.
        if (!system) return built ? kResultOutOfMemory : kResultSkippedObject;
        if (o.hidden) system->hidden = kHiddenByUser;
        r.coordSystem = system;
        r.horizontalAxis = static_cast<SketchObject*>(PtrListItem(system->parents, 0));
        r.verticalAxis = static_cast<SketchObject*>(PtrListItem(system->parents, 1));
        d->made = system;
        return kResultOK;
    }
    case 7: {
        uint32_t length = 0;
        if ((rc = ReadU32(r, &length)) != kResultOK) return rc;
        if (length > BytesLeft(r)) return kResultDamaged;
        if ((rc = ReadBytes(r, b, 10)) != kResultOK) return rc;
        const uint32_t rest = length >= 10 ? length - 10 : 0;
        if (b[0] == kOldAnimateButton) {
            // Animate: 16 bytes a target, each naming an object read before.
            for (uint32_t i = 0; i + 16 <= rest; i += 16) {
                if ((rc = ReadBytes(r, b + 16, 16)) != kResultOK) return rc;
                if (CheckOldNumber(r, Get32(b + 16, big)) != kResultOK) return kResultDamaged;
            }
            if ((rc = SkipForward(r, rest % 16)) != kResultOK) return rc;
        } else if ((rc = SkipForward(r, rest)) != kResultOK) {
            return rc;
        }
        if (b[0] >= std::size(kButtonTypeOfOldType)) return kResultSkippedObject;
        d->isButton = true;
        d->button = ActionButtonInit{ kButtonTypeOfOldType[b[0]], 0, 0, 0, o.x, o.y, nullptr };
        switch (d->button.buttonType) {
        case kButtonShow:
        case kButtonPresentation: d->button.buttonOptions = b[1] != 0 ? 1 : 0; break;
        case kButtonMove: d->button.buttonOptions = b[1] <= 3 ? b[1] : 1; break;
        case kButtonAnimate:
            // How the old entries' speeds map is not known: the targets move at the
            // default speed, and the loss is told with warning 9.
            d->partial = true;
            break;
        default: break;
        }
        return kResultOK;
    }
    case 4: {
        uint32_t size = 0;
        if ((rc = ReadU32(r, &size)) != kResultOK) return rc;
        if (size > BytesLeft(r)) return kResultDamaged;
        // An oversized block is passed over, and the table with it.
        if (size > 64000) return KeepWorstError(SkipForward(r, size), kResultSkippedObject);
        uint32_t second = 0;
        if (size >= 8) {
            if ((rc = ReadBytes(r, b, 8)) != kResultOK) return rc;
            second = Get32(b + 4, big);
            size -= 8;
        }
        if ((rc = SkipForward(r, size)) != kResultOK) return rc;
        if (!big && (rc = SkipForward(r, second)) != kResultOK) return rc;
        // The inner layout of the old blocks (their rows of recorded values) is not
        // known: the table is made on its parents with its headers and current values
        // only, and the loss is told with warning 4.
        return kResultLongerRecord;
    }
    default:
        break;
    }
    if (newClass == kClassMeasurement) return ReadMeasurementData(r, d, warn);
    // Any other class: its data are passed over by their length.
    if (o.total != 0) return SkipForward(r, int64_t(o.total) - 2 * int64_t(o.parentCount) - kPcRecordBytes);
    uint16_t length = 0, zero = 0;
    if ((rc = ReadU16(r, &length)) != kResultOK || (rc = ReadU16(r, &zero)) != kResultOK) return rc;
    if (zero != 0) return kResultDamaged;
    return SkipForward(r, length);
}

// Whether the first parent is the vertical axis, or is reached from it through the
// implicit parents of their constructions.
bool ReachedFromVerticalAxis(const LegacyReader& r, SketchObject* first) {
    for (int32_t steps = 0; first && steps < 64; ++steps) {
        if (first == r.verticalAxis) return true;
        const int32_t type = first->constructionType;
        if (type <= 0 || type >= kConstructionTypeCount) return false;
        const uint32_t implicit = ConstructionTypeTable[type].implicitParent;
        first = static_cast<SketchObject*>(PtrListItem(first->parents, static_cast<int32_t>(implicit)));
    }
    return false;
}

PtrList TwoReals(double a, double b) {
    PtrList list = 0;
    const int32_t items = static_cast<int32_t>(16 / sizeof(void*));
    if (!AllocPtrList(items, items, &list)) return 0;
    auto* bytes = reinterpret_cast<uint8_t*>(PtrListData(list));
    std::memcpy(bytes, &a, 8);
    std::memcpy(bytes + 8, &b, 8);
    return list;
}

PtrList ListOf(SketchObject* const* items, uint32_t count, bool* ok) {
    PtrList list = 0;
    *ok = true;
    if (count == 0) return 0;
    if (!AllocPtrList(static_cast<int32_t>(count), static_cast<int32_t>(count), &list)) {
        *ok = false;
        return 0;
    }
    void** data = PtrListData(list);
    for (uint32_t i = 0; i < count; ++i) data[i] = items[i];
    return list;
}

// The coordinate measurement (type 69 x, 70 y) of an old calculation's point on the
// converted system: one that exists is taken, else one is built, hidden.
ResultCode CoordinateMeasurementOf(const LegacyReader& r, SketchObject* point, int32_t type, SketchObject** out) {
    if (!r.coordSystem || point->objectClass != kClassPoint) return kResultSkippedObject;
    int32_t n = 0;
    void** children = PtrListItems(point->children, &n);
    for (int32_t i = 0; i < n; ++i) {
        auto* child = static_cast<SketchObject*>(children[i]);
        if (child->constructionType == type && PtrListItem(child->parents, 0) == point &&
            PtrListItem(child->parents, 1) == r.coordSystem) {
            *out = child;
            return kResultOK;
        }
    }
    SketchObject* const items[2] = { point, r.coordSystem };
    bool listed = true;
    PtrList list = ListOf(items, 2, &listed);
    if (!listed) return kResultOutOfMemory;
    uint16_t flags = 0;
    SketchObject* made = ConstructObject(type, nullptr, list, 0, true, false, &flags);
    if (!made) return kResultOutOfMemory;
    if (flags == kConstructedNew) {
        made->hidden = kHiddenByUser;
        RecomputeObject(made, nullptr, true);
    }
    *out = made;
    return kResultOK;
}

// A calculation's parents become the objects its expression uses, each once, in the
// order of first use, its parent tokens renumbered; a coordinate of a point becomes the
// point's coordinate measurement. 9 when a token names no parent, a coordinate no point,
// or there is no converted system.
ResultCode SettleCalculationParents(const LegacyReader& r, OldClassData* d, SketchObject** parents, uint32_t* count) {
    SketchObject* used[kMaxOldTokens];
    uint32_t n = 0, nextCoordinate = 0;
    for (uint32_t i = 0; i < d->tokenCount; ++i) {
        uint16_t& token = d->tokens[i];
        if (TokenClass(token) != kClassParentValue) continue;
        const uint32_t index = TokenIndex(token);
        if (index >= *count || n == kMaxOldTokens) return kResultSkippedObject;
        SketchObject* parent = parents[index];
        const LegacyCoordinateRefs& c = d->coordinates;
        if (nextCoordinate < c.count && c.item[nextCoordinate].token == i) {
            const ResultCode rc = CoordinateMeasurementOf(r, parent, c.item[nextCoordinate++].type, &parent);
            if (rc != kResultOK) return rc;
        }
        uint32_t k = 0;
        while (k < n && used[k] != parent) ++k;
        if (k == n) used[n++] = parent;
        token = static_cast<uint16_t>(kClassParentValue | k);
    }
    std::memcpy(parents, used, n * sizeof *used);
    *count = n;
    return kResultOK;
}

// The old list of a locus, in its new order, names the traced object, the path and the
// driver; the locus is built on the chain of objects between driver and traced object.
// 9 when they make no locus.
ResultCode RebuildLocusParents(SketchObject* const* p, uint32_t count, PtrList* out) {
    *out = 0;
    if (count < 3) return kResultSkippedObject;
    SketchObject* traced = p[0];
    SketchObject* path = p[1];
    SketchObject* driver = p[2];
    if (traced == driver || driver->objectClass != kClassPoint || !PathMethodsOf(path) ||
        ObjectClassTable[traced->objectClass].shapeFamily >= kShapeFamilyCount)
        return kResultSkippedObject;
    bool outOfMemory = false;
    *out = BuildLocusParents(traced, driver, path, &outOfMemory);
    if (*out) return kResultOK;
    return outOfMemory ? kResultOutOfMemory : kResultSkippedObject;
}

// Gives the made object its label, style and position.
ResultCode FinishObject(SketchObject* made, const OldRecord& o, const OldClassData& d) {
    ResultCode rc = kResultOK;
    if (o.label[0] != '\0') {
        if (StoreLabelText(made, o.label, false) != 0) rc = kResultOutOfMemory;
        made->label.level = kLabelGiven;
        made->label.useInTools = o.labelInTools;
    }
    made->label.shown = o.labelShown;
    if (!ObjectClassTable[made->objectClass].labelFollowsGeometry && made->objectClass != kClassPoint)
        made->label.shown = 0;
    if (made->objectClass == kClassPoint) {
        made->label.offsetX = d.labelDx;
        made->label.offsetY = d.labelDy;
        if (made->constructionType == kTypeFree && d.haveNumbers)
            SetPointPosition(made, d.numbers[0], d.numbers[1], 1, nullptr, false);
    }
    return rc;
}

// An old point plotted from one value on a coordinate system (its two parents, in either
// order) has no construction of its own; the later release builds it on hidden helpers,
// the value as its horizontal coordinate. 9 when this does not apply.
ResultCode PlotOneValue(LegacyReader& r, const OldRecord& o, const OldClassData& d, SketchObject* const* parents,
                        MapEntry* entry) {
    auto helpers = LaterForms().engine.legacyHelperObjects;
    if (!helpers) return kResultSkippedObject;
    const bool systemFirst = parents[0]->objectClass == kClassCoordinateSystem;
    SketchObject* system = parents[systemFirst ? 0 : 1];
    SketchObject* value = parents[systemFirst ? 1 : 0];
    if (system->objectClass != kClassCoordinateSystem || !HasValueDisplay(value)) return kResultSkippedObject;
    SketchObject* made[2] = {};
    const ResultCode rc = static_cast<ResultCode>(helpers(value, system, true, &r.helperParameter, made));
    if (rc != kResultOK) return rc;
    SketchObject* point = made[0];
    point->color = ColorOf(kClassPoint, o);
    if (!o.hidden) ChangeObjectHidden(point, kShown, false);
    entry->object = point;
    entry->leftOut = 0;
    return FinishObject(point, o, d);
}

// Reads one old object and stores what it became at its number. *end is set by the
// end mark and by a record that cannot be trusted.
ResultCode ReadLegacyObject(LegacyReader& r, int32_t index, bool* end) {
    OldRecord o{};
    ResultCode rc = ReadFixedRecord(r, &o, end);
    if (rc != kResultOK) {
        *end = true;
        return rc;
    }
    if (*end) return kResultOK;
    MapEntry* entry = EntryOf(r, index);
    if (!entry) return kResultOutOfMemory;
    entry->leftOut = 1;

    int32_t newClass = kClassOfOldClass[o.oldClass];
    const int32_t kind = kKindOfOldKind[o.kind];
    if (kind != kNoKind && (KindIsA(kind, kKindMeasurementText) || KindIsA(kind, kKindAnalyticMeasure)))
        newClass = kClassMeasurement;
    if (newClass == kClassPolygonInterior && kind == kKindCircleInterior) newClass = kClassCircleInterior;
    OldConstruction construction = kConstructionOfOldCode[o.code];

    OldClassData d{};
    d.segmentForm = -1;
    bool warn = false;
    ResultCode classResult = ReadLegacyClassData(r, o, newClass, &d, &warn);
    if (IsFatalResult(classResult)) {
        FreeClassData(&d);
        return classResult;
    }
    if (newClass == kClassMeasurement && classResult == kResultOK && o.oldClass != 0) {
        construction = { d.measureType, d.measureOrder };
        if (construction.type == kTypeCalculation) newClass = kClassCalculation;
    }

    SketchObject* parents[kMaxOldParents + 1];
    uint32_t count = 0;
    rc = ReadLegacyParents(r, parents, &count, o.parentCount, construction.order);
    if (IsFatalResult(rc)) {
        FreeClassData(&d);
        return rc;
    }
    ResultCode result = KeepWorstError(classResult, rc);
    if (warn) result = KeepWorstError(result, kResultLongerRecord);
    if (d.made && result != kResultSkippedObject) {
        entry->object = d.made;
        entry->leftOut = 0;
        FreeClassData(&d);
        return result;
    }
    if (result == kResultSkippedObject || newClass == kNoClassHere || construction.type > 92) {
        FreeClassData(&d);
        return kResultSkippedObject;
    }

    int32_t type = construction.type;
    if (newClass == kClassCalculation && d.tokens) {
        rc = SettleCalculationParents(r, &d, parents, &count);
        if (rc != kResultOK) {
            FreeClassData(&d);
            return rc;
        }
    }
    // A free object has no parents to be built on.
    if (type == kTypeFree && count != 0) {
        FreeClassData(&d);
        return kResultSkippedObject;
    }
    // Without parents (none stored, or every one "none") only texts, points and
    // calculations can stand, as free objects.
    if (count == 0) {
        if (newClass != kClassCaption && newClass != kClassPoint && newClass != kClassCalculation) {
            FreeClassData(&d);
            return kResultSkippedObject;
        }
        type = kTypeFree;
    }
    // Fix-ups of the old constructions.
    if (type == kTypeSegment && d.segmentForm >= 0) {
        static constexpr int32_t kForms[3] = { kTypeLine, kTypeRay, kTypeSegment };
        type = d.segmentForm <= 2 ? kForms[d.segmentForm] : kTypeSegment;
    }
    if ((type == 11 || type == 12) && count > 0 && ReachedFromVerticalAxis(r, parents[0])) type = 23 - type;
    if (type == kTypeArcOnCircle && count > 0 && parents[0]->objectClass == kClassPoint) type = kTypeArcByCentre;
    if (type == kTypePlottedMeasuredRect && count == 2 && newClass == kClassPoint) {
        const ResultCode plotted = PlotOneValue(r, o, d, parents, entry);
        if (plotted != kResultSkippedObject) {
            FreeClassData(&d);
            return KeepWorstError(result, plotted);
        }
    }
    PtrList locusParents = 0;
    SketchObject* const* use = parents;
    uint32_t useCount = count;
    if (type == kTypeLocus) {
        if ((rc = RebuildLocusParents(parents, count, &locusParents)) != kResultOK) {
            FreeClassData(&d);
            return rc;
        }
        int32_t n = 0;
        use = reinterpret_cast<SketchObject* const*>(PtrListItems(locusParents, &n));
        useCount = static_cast<uint32_t>(n);
    }
    if (type != kTypeFree) {
        const int32_t op = ConstructionTypeTable[type].transformOp;
        // The old layout of a transformation's fixed values is not known: such an image
        // cannot be rebuilt and is left out.
        bool fits = op >= 21 || TransformOpTable[op].fixedWords == 0;
        fits = fits && CheckStoredParents(type, use, useCount) == kResultOK;
        // A construction makes objects of one class (an image those of its pre-image's):
        // an old record whose class disagrees cannot be made into that object.
        int32_t typeClass = ConstructionTypeTable[type].objectClass;
        if (typeClass == kClassOfImage) typeClass = count > 0 ? ObjectClassTable[parents[0]->objectClass].imageClass : -1;
        if (!fits || typeClass != newClass) {
            FreePtrList(&locusParents);
            FreeClassData(&d);
            return kResultSkippedObject;
        }
    }

    ObjectTemplate t{};
    t.constructionType = type;
    t.traced = kTracedOfOldTrace[o.trace];
    t.hidden = o.hidden ? kHiddenByUser : kShown;
    t.objectClass = newClass;
    // Line codes above 2 do not occur in accepted files; they are read as thin lines.
    t.lineStyle = ObjectClassTable[newClass].hasLineStyle ? (o.line <= 2 ? kLineStyleOfOldLine[o.line] : 1)
                                                          : kLineStyleOfOldLine[0];
    t.objectKind = kind == kNoKind ? ConstructionTypeTable[type].objectKind : kind;
    if (type == kTypeFree) {
        // A free object keeps its record's kind (an old origin point stays one) unless the
        // record has none or one of another class: the class's own kind stands in then.
        static constexpr int32_t kFreeKinds[3] = { kKindCaption, kKindPoint, kKindCalculation };
        const int32_t own = newClass == kClassCaption ? kFreeKinds[0] : newClass == kClassPoint ? kFreeKinds[1] : kFreeKinds[2];
        if (kind == kNoKind || !KindIsA(kind, own)) t.objectKind = own;
    }
    t.color = ColorOf(newClass, o);

    PtrList data = 0;
    if (d.haveNumbers && (type == kTypePointOnPath || type == 56 || type == 71 || type == 72)) {
        data = TwoReals(d.numbers[0], d.numbers[1]);
        if (!data) {
            FreeClassData(&d);
            return kResultOutOfMemory;
        }
    }
    bool listed = true;
    PtrList list = locusParents ? locusParents : ListOf(parents, count, &listed);
    if (!listed) {
        FreePtrList(&data);
        FreeClassData(&d);
        return kResultOutOfMemory;
    }

    TextStyle style{};
    DefaultTextStyle(newClass, &style);
    result = KeepWorstError(result, ConvertStyle(r, o, &style));

    CaptionInit caption{};
    CalculationEditRecord calculation{};
    TableGridRecord grid{};
    uint8_t locusRecord[kLocusRecordBytes];
    void* extra = nullptr;
    if (type == kTypeLocus) {
        // The range is not stored: it is made afresh from the path.
        LocusData fields{};
        fields.lo = fields.hi = std::nan("");
        fields.form = kLocusTraceForm;
        fields.sampleCount = d.locusSamples;
        fields.ends = PathMethodsOf(use[1])->pathFlags(use[1]);
        fields.drawOption = d.locusDrawOption;
        LocusFieldsToRecord(&fields, locusRecord);
        extra = locusRecord;
    }
    if (newClass == kClassCaption) {
        if (!InitCaptionData(&caption, &style, o.x, o.y)) {
            FreePtrList(&list);
            FreePtrList(&data);
            FreeClassData(&d);
            return kResultOutOfMemory;
        }
        if (d.text) {
            const int32_t boxWidth = o.boxWidth;
            const int32_t length = static_cast<int32_t>(d.textLength);
            auto withWidth = LaterForms().layout.plainTextWithWidth;
            LayoutNode* text = withWidth ? withWidth(d.text, length, boxWidth) : LayoutFromPlainText(d.text, length, 1);
            if (text) {
                SetObjectTextLayout(nullptr, &caption);
                caption.layout = text;
            }
        }
        extra = &caption;
    } else if (newClass == kClassTable) {
        grid.left = o.x;
        grid.top = o.y;
        grid.track = 1;
        extra = &grid;
    } else if (newClass == kClassActionButton && d.isButton) {
        extra = &d.button;
        t.objectKind = kKindActionButton;
        // Targets of the wrong class (a presentation of points) could not be pressed,
        // nor read back once saved.
        if (!ActionButtonParentsFit(d.button.buttonType, use, useCount)) {
            FreePtrList(&list);
            FreePtrList(&data);
            FreeClassData(&d);
            return kResultSkippedObject;
        }
    } else if (newClass == kClassCalculation) {
        if (!InitFunctionEditRecord(&calculation, kFormCalculation)) {
            FreePtrList(&list);
            FreePtrList(&data);
            FreeClassData(&d);
            return kResultOutOfMemory;
        }
        if (d.tokens) {
            FreeMemory(calculation.tokens);
            calculation.tokens = d.tokens;
            calculation.count = d.tokenCount;
            d.tokens = nullptr;
        }
        calculation.display.caption.style = style;
        calculation.display.caption.x = o.x;
        calculation.display.caption.y = o.y;
        calculation.display.displayMode = d.measureText[0] ? kDisplayCurrentLabel : kDisplayOriginalName;
        extra = &calculation;
    }
    SketchObject* made = ConstructObjectEx(&t, extra, list, data, nullptr, nullptr, false);
    if (!made) {
        FreeClassData(&d);
        // A calculation also fails when its old expression does not compile; every
        // other construction fails only for want of memory.
        return newClass == kClassCalculation ? kResultSkippedObject : kResultOutOfMemory;
    }
    made->textStyle = style;
    if (HasValueDisplay(made)) {
        ValueDisplay* v = ValueDisplayOf(made);
        v->displayMode = d.measureText[0] ? kDisplayCurrentLabel : kDisplayOriginalName;
        if (d.measureText[0]) {
            if (StoreLabelText(made, d.measureText, false) != 0) result = KeepWorstError(result, kResultOutOfMemory);
            made->label.level = kLabelGiven;
        }
        made->bounds = { o.x, o.y, o.x, o.y };
    }
    result = KeepWorstError(result, FinishObject(made, o, d));
    RecomputeObject(made, nullptr, true);
    if (made->objectClass == kClassActionButton) {
        // Older buttons kept no caption: they take the one of their type and targets.
        GetObjectLabel(made, kLabelSequence);
        ActionButtonFrameMetrics(made);
    }
    if (d.partial) result = KeepWorstError(result, kResultSkippedObject);
    entry->object = made;
    entry->leftOut = 0;
    FreeClassData(&d);
    return result;
}

// After a full count of objects the end mark may still follow; it is passed over.
void SkipEndMark(LegacyReader& r) {
    const uint32_t size = r.header.foreignOrder ? kMacRecordBytes : kPcRecordBytes;
    const uint32_t classAt = r.header.foreignOrder ? 43 : 28;
    uint32_t position = 0;
    if (BytesLeft(r) < size || StreamTell(r.stream, &position) != kResultOK) return;
    uint8_t record[kMacRecordBytes];
    if (StreamRead(r.stream, record, size) == kResultOK && record[classAt] == kEndOfObjects) return;
    StreamSeek(r.stream, static_cast<int32_t>(position), 0);
}

// Records {u16 tag, u32 length, payload} after the objects of PC files, up to tag 0.
ResultCode ReadLegacyTrailer(LegacyReader& r, bool* fontsMapped) {
    *fontsMapped = false;
    for (;;) {
        uint16_t tag = 0;
        uint32_t length = 0;
        ResultCode rc = ReadU16(r, &tag);
        if (rc == kResultDamaged) return kResultOK;  // no trailer at all
        if (rc != kResultOK) return rc;
        if (tag == 0) return kResultOK;
        if ((rc = ReadU32(r, &length)) != kResultOK) return rc;
        if (length > BytesLeft(r)) return kResultDamaged;
        if (tag != kFontTableTag) {
            if ((rc = SkipForward(r, length)) != kResultOK) return rc;
            continue;
        }
        const uint32_t entries = length / kFontEntryBytes;
        // Old font numbers are 16-bit: a map of the whole range costs no allocation size
        // taken from the file.
        int16_t map[256];
        for (int16_t& m : map) m = 1;
        for (uint32_t i = 0; i < entries; ++i) {
            uint8_t e[kFontEntryBytes];
            if ((rc = ReadBytes(r, e, sizeof e)) != kResultOK) return rc;
            const uint16_t old = Get16(e, false);
            // FindFontNumber reads a traits word before the face name.
            uint8_t description[2 + 33] = {};
            std::memcpy(description + 2, e + 2, 32);
            int16_t font = 1;
            FindFontNumber(&font, description);
            if (old < 256) map[old] = font;
        }
        if ((rc = SkipForward(r, length % kFontEntryBytes)) != kResultOK) return rc;
        for (SketchObject* o = r.sketch->firstObject; o; o = o->nextInSketch) {
            // The reader stored old font numbers shifted by one.
            const int32_t old = o->textStyle.field[kStyleFont] - 1;
            o->textStyle.field[kStyleFont] = old >= 0 && old < 256 ? map[old] : 1;
            if (CaptionData* c = CaptionDataOf(o)) c->style.field[kStyleFont] = o->textStyle.field[kStyleFont];
        }
        *fontsMapped = true;
    }
}

}  // namespace

ResultCode ReadLegacyDocument(StreamHandle stream, Sketch* sketch, EngineDocument* document, BusyTask* progress) {
    LegacyReader r{};
    r.stream = stream;
    r.sketch = sketch;
    ResultCode rc = ReadLegacyHeader(stream, &r.header);
    if (rc == kResultEndOfData) return kResultDamaged;
    if (rc != kResultOK) return rc;

    const LegacyHeader& h = r.header;
    sketch->windowRect = { h.windowLeft, h.windowTop, static_cast<int16_t>(h.windowLeft + h.windowWidth),
                           static_cast<int16_t>(h.windowTop + h.windowHeight) };
    if (document && document->windowWidth <= 0) {
        document->windowWidth = h.windowWidth;
        document->windowHeight = h.windowHeight;
    }
    sketch->settings.precision[0] = h.precision[1];
    sketch->settings.precision[1] = h.precision[0];
    sketch->settings.precision[2] = h.precision[2];
    sketch->settings.angleUnit = h.angleUnit;
    sketch->settings.distanceUnit = h.distanceUnit;
    sketch->settings.palette[kColorSlotBackground] = kOldColors[kOldWhite];
    RefreshSelectionColor(6);

    r.map = CreateChunkedArray(sizeof(MapEntry), 0, 64, kAllocZero);
    if (!r.map) return kResultOutOfMemory;
    rc = kResultOK;
    bool end = false, invalid = false;
    for (int32_t index = 1; !end && uint32_t(index) <= h.objectCount; ++index) {
        if (progress) UpdateBusyTask(progress, static_cast<uint32_t>(index));
        const ResultCode one = ReadLegacyObject(r, index, &end);
        if (!end) r.objectsRead = index;
        invalid = end && one != kResultOK;
        rc = KeepWorstError(rc, one);
        if (IsFatalResult(rc)) break;
    }
    FreeChunkedArray(r.map);
    if (IsFatalResult(rc)) return rc;
    if (!end) SkipEndMark(r);

    // After an invalid record the position in the file means nothing: no trailer is
    // looked for there.
    bool fontsMapped = false;
    if (!h.foreignOrder && !invalid) {
        const ResultCode trailer = ReadLegacyTrailer(r, &fontsMapped);
        if (IsFatalResult(trailer)) rc = KeepWorstError(rc, kResultLongerRecord);
    }
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        if (!fontsMapped) o->textStyle.field[kStyleFont] = 1;
        const int32_t family = ObjectClassTable[o->objectClass].textFamily;
        if (CaptionData* c = CaptionDataOf(o); c && (family == 1 || family == 2)) c->style = o->textStyle;
        if (family >= 0 && family <= 4) RelayoutObjectText(o, false);
        if (auto fit = LaterForms().caption.fitWrapWidth; fit && o->objectClass == kClassCaption) fit(o);
    }
    if (r.coordSystem) sketch->pageFlags = static_cast<uint16_t>((sketch->pageFlags & ~1u) | (h.snapToGrid ? 1 : 0));
    return rc;
}
