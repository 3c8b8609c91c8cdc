// Object descriptions: one sentence per object from the template of its construction
// type, whose caret codes the object text provider answers (names of the object and its
// parents, values kept in the construction data, counts, and why it does not exist).
#include "engine/text/object_descriptions.h"

#include <cstdio>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/iterations.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/sketch.h"
#include "engine/text/caret_codes.h"
#include "engine/text/number_text.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "engine/text/string_groups.h"

namespace {

constexpr uint32_t kFieldRoom = 256;
constexpr int32_t kListedLabels = 6;
constexpr int32_t kItemListSeparator = 19;  // ", " of group 3
constexpr int32_t kItemDistanceUnits = 8;   // group 7: " pixels", " cm", " in."
constexpr int32_t kItemAngleUnits = 11;     // group 7: " radians", degrees
constexpr int32_t kItemRadians = 11;
constexpr int32_t kItemFormVariables = 34;  // group 14: "x", "y", "theta", "r"
constexpr int32_t kReasonOneParent = 2;
constexpr int32_t kReasonSomeParents = 3;

SketchObject* const* ParentsOf(const SketchObject* o, int32_t* count) {
    *count = 0;
    return reinterpret_cast<SketchObject* const*>(PtrListItems(o->parents, count));
}

// Copies the first n characters of `text` (the field's full text) and answers its length.
uint32_t Answer(const char* text, uint32_t length, uint32_t n, char* destination) {
    if (destination) std::memcpy(destination, text, n < length ? n : length);
    return length;
}
uint32_t Answer(const char* text, uint32_t n, char* destination) {
    return Answer(text, static_cast<uint32_t>(std::strlen(text)), n, destination);
}

void Append(char* buffer, const char* text) { AppendToFixedBuffer(buffer, kFieldRoom, text, 0); }

// The construction data as bytes; false when it holds fewer than `bytes`.
bool ConstructionBytes(const SketchObject* o, uint32_t bytes, const uint8_t** data) {
    int32_t words = 0;
    PtrListSize(o->constructionData, &words);
    if (words <= 0 || static_cast<uint32_t>(words) * sizeof(void*) < bytes) return false;
    *data = reinterpret_cast<const uint8_t*>(PtrListData(o->constructionData));
    return true;
}

double RealAt(const uint8_t* data, uint32_t at) {
    double v;
    std::memcpy(&v, data + at, sizeof v);
    return v;
}
int32_t IntAt(const uint8_t* data, uint32_t at) {
    int32_t v;
    std::memcpy(&v, data + at, sizeof v);
    return v;
}

// "^0".."^9": a value of the construction data and its unit text.
void DigitField(const SketchObject* o, char code, bool piGlyph, char* out) {
    struct Row {
        uint32_t valueAt;
        int32_t unitKind;  // 0 none, 1 distance unit word, 2 angle unit word, 3 radians
        uint32_t unitAt;
        double factor;
    };
    static const Row rows[10] = {
        { 12, 0, 0, 1 }, { 8, 1, 16, 1 }, { 40, 1, 48, 1 }, { 32, 1, 16, 1 }, { 16, 2, 24, 1 },
        { 8, 3, 0, 1 },  { 0, 0, 0, 1 },  { 8, 0, 0, 1 },   { 0, 0, 0, 100 }, { 4, 0, 0, 1 },
    };
    const Row& r = rows[code - '0'];
    const uint32_t needed = r.unitKind == 1 || r.unitKind == 2 ? r.unitAt + 4 : r.valueAt + 8;
    const uint8_t* data = nullptr;
    out[0] = 0;
    if (!ConstructionBytes(o, needed > r.valueAt + 8 ? needed : r.valueAt + 8, &data)) return;
    FormatNumberText(out, kFieldRoom, RealAt(data, r.valueAt) * r.factor, piGlyph);
    int32_t item = -1;
    if (r.unitKind == 1) item = kItemDistanceUnits + IntAt(data, r.unitAt);
    else if (r.unitKind == 2) item = kItemAngleUnits + IntAt(data, r.unitAt);
    else if (r.unitKind == 3) item = kItemRadians;
    if (item >= 0) {
        char unit[kFieldRoom];
        GetGroupString(kGroupUnits, item, unit, sizeof unit);
        Append(out, unit);
    }
}

// The noun of the common kind of the listed objects.
void CommonNoun(SketchObject* const* items, int32_t first, int32_t step, int32_t count, bool plural, char* out) {
    int32_t kind = 0;
    for (int32_t i = 0, at = first; i < count; ++i, at += step) kind = CommonKind(kind, EffectiveKind(items[at]));
    GetKindNounString(kind, plural ? kNounPlural : kNounSingular, out, kFieldRoom);
}

int32_t IterationSeedCount(const SketchObject* o) {
    return o->objectClass == kClassIteration ? IterationDataOf(o)->parameters.seedCount : 0;
}
int32_t IterationMapCount(const SketchObject* o) {
    return o->objectClass == kClassIteration ? IterationDataOf(o)->parameters.mapCount : 1;
}
int32_t IterationDepth(const SketchObject* o) {
    return o->objectClass == kClassIteration ? IterationDataOf(o)->parameters.depth : 0;
}

// "^I", "^i", "^W", "^w": the noun of the listed parents, then their labels.
void ListField(SketchObject* o, char code, char* out) {
    int32_t count = 0;
    SketchObject* const* parents = ParentsOf(o, &count);
    int32_t s = 0, t = 1, n = 0;
    switch (code) {
        case 'I': n = IterationSeedCount(o); break;
        case 'i':
            s = IterationSeedCount(o) + (o->constructionType == kTypeIterationRuleDepth ? 1 : 0);
            break;
        case 'W': t = 2; break;
        default: s = 1; t = 2; break;
    }
    out[0] = 0;
    if (count - s <= 0) return;
    const int32_t most = (count - s - 1) / t + 1;
    if (n == 0 || n > most) n = most;
    CommonNoun(parents, s, t, n, n > 1, out);
    char separator[16];
    GetGroupString(kGroupMiscellany, kItemListSeparator, separator, sizeof separator);
    for (int32_t i = 0; i < n; ++i) {
        if (i == kListedLabels) {
            Append(out, "...");
            break;
        }
        Append(out, i == 0 ? " " : separator);
        char label[kLabelBufferSize];
        GetObjectLabel(parents[s + i * t], kLabelNumbered, label, nullptr);
        Append(out, label);
    }
}

// "^#": why the object does not exist, expanded through the provider again.
void ReasonField(SketchObject* o, bool piGlyph, char* out) {
    out[0] = 0;
    if (NumberedObjectCount() != 0 || o->exists == 1) return;
    if (o->constructionType < 0 || o->constructionType >= kConstructionTypeCount) return;
    int32_t item = ConstructionTypeTable[o->constructionType].nonexistenceReason;
    int32_t count = 0, missing = 0;
    SketchObject* const* parents = ParentsOf(o, &count);
    SketchObject* absent = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        if (parents[i]->exists != 1) {
            ++missing;
            absent = parents[i];
        }
    }
    if (missing == 1) item = kReasonOneParent;
    else if (missing > 1) item = kReasonSomeParents;
    const char* reason = GroupText(kGroupNonexistence, item);
    ObjectTextContext named{ missing == 1 ? absent : o, piGlyph ? 1 : 0 };
    const uint32_t n = ExpandCaretCodes(reason, static_cast<uint32_t>(std::strlen(reason)), 0, kFieldRoom - 1, out,
                                        ObjectDescriptionField, &named);
    out[n] = 0;
}

}  // namespace

uint32_t ObjectDescriptionField(char code, void* context, uint32_t n, char* destination) {
    auto* c = static_cast<ObjectTextContext*>(context);
    SketchObject* o = c ? c->object : nullptr;
    if (!o) return 0;
    const bool piGlyph = c->piGlyph != 0;
    int32_t count = 0;
    SketchObject* const* parents = ParentsOf(o, &count);
    char text[kFieldRoom] = {0};
    switch (code) {
        case 'A': {
            const uint32_t full = FormatNounAndLabel(o, kLabelNumbered, nullptr, 0, false);
            char name[kFieldRoom * 2];
            FormatNounAndLabel(o, kLabelNumbered, name, sizeof name, true);
            return Answer(name, full, n, destination);
        }
        case 'a':
            return Answer(GetObjectLabel(o, kLabelNumbered, text, nullptr), n, destination);
        case '#':
            ReasonField(o, piGlyph, text);
            return Answer(text, n, destination);
        case ':':
            std::snprintf(text, sizeof text, "%i", IterationMapCount(o));
            return Answer(text, n, destination);
        case ';':
            std::snprintf(text, sizeof text, "%i", IterationDepth(o));
            return Answer(text, n, destination);
        case 'I':
        case 'i':
        case 'W':
        case 'w':
            ListField(o, code, text);
            return Answer(text, n, destination);
        case 'X': {
            int32_t distinct = 0;
            for (int32_t i = 0; i < count; ++i)
                if (parents[i] != parents[(i + count - 1) % count]) ++distinct;
            std::snprintf(text, sizeof text, "%i", distinct);
            return Answer(text, n, destination);
        }
        case 'x':
            std::snprintf(text, sizeof text, "%i", count);
            return Answer(text, n, destination);
        case 'Y':
            if (count > 0) CommonNoun(parents, 0, 1, count, count != 1, text);
            return Answer(text, n, destination);
        case 'Z': {
            char* expression = static_cast<char*>(AllocMemory(kFieldRoom * 4, 0));
            if (!expression) return 0;  // the code then gives the empty text
            expression[0] = 0;
            ExpressionToText(o, kFieldRoom * 4, expression, true);
            const uint32_t full = Answer(expression, n, destination);
            FreeMemory(expression);
            return full;
        }
        case 'z':
            GetGroupString(kGroupCalculator, kItemFormVariables + ExpressionFormOf(o), text, sizeof text);
            return Answer(text, n, destination);
        default:
            break;
    }
    if (code >= '0' && code <= '9') {
        DigitField(o, code, piGlyph, text);
        return Answer(text, n, destination);
    }
    // Parents: lower-case letters give the label alone, others from 'B' on the noun too.
    int32_t index = -1;
    bool noun = true;
    if (code >= 'b' && code <= 'y') {
        index = code - 'b';
        noun = false;
    } else if (static_cast<unsigned char>(code) >= 'B') {
        index = static_cast<unsigned char>(code) - 'B';
    }
    if (index < 0 || index >= count) return 0;
    if (!noun) return Answer(GetObjectLabel(parents[index], kLabelNumbered, text, nullptr), n, destination);
    ObjectTextContext parent{ parents[index], c->piGlyph };
    return ObjectDescriptionField('A', &parent, n, destination);
}

int32_t DescriptionTemplateIndex(const SketchObject* object, int32_t variant) {
    if (object->constructionType < 0 || object->constructionType >= kConstructionTypeCount) return 0;
    const int32_t d = ConstructionTypeTable[object->constructionType].descriptionTemplate;
    int32_t n = 0;
    SketchObject* const* parents = ParentsOf(object, &n);
    const int32_t* words = ClassData<int32_t>(object);
    switch (d) {
        case 107:
            return 52 + (n == 3 ? 1 : 0);
        case 108:
            if (n == 4) return 49;
            if (n == 3) return 48;
            return n > 0 && parents[0]->objectClass == kClassArc ? 92 : 94;
        case 109:
            return n == 4 ? 47 : n == 3 ? 46 : 93;
        case 110: {
            const int32_t kind = object->objectClass == kClassActionButton ? words[0] : 0;
            if (variant == 1 && kind == 3 && n > 2) return 82;
            if ((kind == 0 || kind == 1) && (words[2] & 4)) return 83;
            return 74 + kind;
        }
        case 111:
            switch (object->objectClass) {
                case kClassCaption: return 99;
                case kClassActionButton: return words[0] == 5 ? 79 : words[0] == 6 ? 80 : 0;
                case kClassCalculation: return KindIsA(object->objectKind, kKindFunction) ? 100 : 101;
                case kClassPicture: return 98;
                default: return 0;
            }
        case 112:
            return variant == 1 && ValueDisplayModeOf(object) == 0 ? 113 : 54;
        case 113:
            return variant == 1 && object->label.level < kLabelSequence ? 114 : 69;
        case 114: {
            const int32_t depth = object->constructionType == kTypeIterationRuleDepth ? 1 : 0;
            return (IterationMapCount(object) == 1 ? 14 : 16) + depth;
        }
        case 115: {
            if (n == 2) return 84;
            const uint8_t* data = nullptr;
            const bool rgb = ConstructionBytes(object, 1, &data) && (data[0] >> 4) == 3;
            return rgb ? 85 : 86;
        }
        default:
            return d;
    }
}

uint32_t DescribeObjectInto(SketchObject* object, char* buffer, uint32_t size, bool piGlyph) {
    if (size == 0) return 0;
    const char* templ = GroupText(kGroupDescriptions, DescriptionTemplateIndex(object, 0));
    ObjectTextContext context{ object, piGlyph ? 1 : 0 };
    const uint32_t n = ExpandCaretCodes(templ, static_cast<uint32_t>(std::strlen(templ)), 0, size - 1, buffer,
                                        ObjectDescriptionField, &context);
    buffer[n < size ? n : size - 1] = 0;
    return n;
}

char* BuildObjectDescription(SketchObject* object, bool piGlyph, int32_t group, int32_t item) {
    const char* templ = GroupText(group, item);
    const uint32_t length = static_cast<uint32_t>(std::strlen(templ));
    ObjectTextContext context{ object, piGlyph ? 1 : 0 };
    const uint32_t full = ExpandCaretCodes(templ, length, 0, 0, nullptr, ObjectDescriptionField, &context);
    char* text = static_cast<char*>(AllocMemory(full + 11, 0));
    if (!text) return nullptr;
    const uint32_t n = ExpandCaretCodes(templ, length, 0, full + 10, text, ObjectDescriptionField, &context);
    text[n] = 0;
    return text;
}

char* DescribeObject(SketchObject* object, bool piGlyph) {
    return BuildObjectDescription(object, piGlyph, kGroupDescriptions, DescriptionTemplateIndex(object, 0));
}
