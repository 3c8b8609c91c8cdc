#include "engine/text/object_labels.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/geometry.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_stack.h"
#include "engine/core/object_tables.h"
#include "engine/core/paths.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/document_io.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/fonts.h"
#include "engine/core/services/text_objects.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout_builders.h"
#include "engine/text/object_text.h"
#include "engine/text/string_groups.h"

namespace {

constexpr int32_t kPolygonLabelVertices = 7;  // polygons with fewer derive their labels
constexpr int32_t kKindPlot = 55;
constexpr int32_t kKindDerivativeFamily = 57;
constexpr int32_t kLabelRightRoom = 8;
constexpr int32_t kLabelBelowRoom = 5;
constexpr int32_t kScreenClamp = 30000;
// Steps of a walk through parents that cannot meet itself; a bound all the same.
constexpr int32_t kMaxLabelWalk = 1 << 22;

SketchObject* const* Parents(const SketchObject* o, int32_t* count) {
    *count = 0;
    return reinterpret_cast<SketchObject* const*>(PtrListItems(o->parents, count));
}
SketchObject* const* Children(const SketchObject* o, int32_t* count) {
    *count = 0;
    return reinterpret_cast<SketchObject* const*>(PtrListItems(o->children, count));
}

bool KnownType(const SketchObject* o) { return o->constructionType >= 0 && o->constructionType < kConstructionTypeCount; }
uint32_t TypeFlags(const SketchObject* o) { return KnownType(o) ? ConstructionTypeTable[o->constructionType].flags : 0; }
bool IsImage(const SketchObject* o) {
    return KnownType(o) && ConstructionTypeTable[o->constructionType].transformOp != kNoTransformOp;
}
bool IsPlot(const SketchObject* o) { return KindIsA(o->objectKind, kKindPlot); }
bool IsDerivative(const SketchObject* o) { return KindIsA(o->objectKind, kKindDerivativeFamily); }
bool IsButton(const SketchObject* o) { return o->objectClass == kClassActionButton; }
bool IsValueObject(const SketchObject* o) { return KindIsA(o->objectKind, kKindCalculation); }
bool IsPolygonInterior(const SketchObject* o) { return o->constructionType == kTypePolygonInterior; }
bool IsVisible(const SketchObject* o) { return o->hidden == kShown && o->exists == 1; }
int32_t TextFamilyOf(const SketchObject* o) {
    return o->objectClass >= 0 && o->objectClass < kClassCount ? ObjectClassTable[o->objectClass].textFamily : 7;
}

// A polygon's vertices: its parents less the trailing repeats of the first.
int32_t PolygonVertexCount(const SketchObject* o) {
    int32_t n = 0;
    SketchObject* const* p = Parents(o, &n);
    while (n > 1 && p[n - 1] == p[0]) --n;
    return n;
}

uint32_t LabelLength(const ObjectLabel& label) {
    if (label.heapLength != 0) return label.heapLength;
    uint32_t n = 0;
    while (n < 4 && label.text.inlineText[n]) ++n;
    return n;
}
const char* LabelChars(const ObjectLabel& label) {
    return label.heapLength != 0 ? label.text.heapText : label.text.inlineText;
}

// Copies the current label (never more than kMaxLabelLength characters).
uint32_t CopyLabel(const SketchObject* o, char* out) {
    uint32_t n = LabelLength(o->label);
    if (n > kMaxLabelLength) n = kMaxLabelLength;
    if (n) std::memcpy(out, LabelChars(o->label), n);
    out[n] = 0;
    return n;
}

void Append(char* text, const char* more) {
    uint32_t n = static_cast<uint32_t>(std::strlen(text));
    while (*more && n < kMaxLabelLength) text[n++] = *more++;
    text[n] = 0;
}

int16_t ClampToScreen(int32_t v) { return RoundToScreen(v); }

// The drag in progress: one at a time.
struct LabelDrag {
    SketchObject* object;
    ScreenPoint   grab;
};
LabelDrag gDrag{};

// Nesting of label derivations; the outermost one labels the ancestors first, so that no
// derivation recurses more than one level whatever the chain's length.
int32_t gDeriveDepth = 0;
bool    gAncestorsPass = false;

}  // namespace

bool LabelFollowsGeometry(const SketchObject* o) {
    if (o->objectClass < 0 || o->objectClass >= kClassCount) return false;
    ObjectPredicateFn follows = ObjectClassTable[o->objectClass].labelFollowsGeometry;
    return follows && follows(o);
}

// ---- Sequences

void InitLabelSequences(Sketch* sketch) {
    for (int32_t i = 0; i < kLabelSequenceCount; ++i) {
        const uint32_t n = static_cast<uint32_t>(std::strlen(GroupText(kGroupLabelSequences, i)));
        sketch->labelSequences[i] = { 0, n < 2 ? 1 : 0, 1 };
    }
}

int32_t LabelSequenceOfObject(const SketchObject* object) {
    if (object->objectClass != kClassCalculation) {
        return object->objectClass >= 0 && object->objectClass < kLabelSequenceCount ? object->objectClass : 7;
    }
    if (KindIsA(object->objectKind, kKindFunction)) return 11;
    // A parameter is known by its kind: the calculator also builds parentless
    // calculations free, and those count with the measurements.
    if (KindIsA(object->objectKind, kKindPlainParameter) || KindIsA(object->objectKind, kKindDistanceParameter) ||
        KindIsA(object->objectKind, kKindAngleParameter))
        return 0;
    return 7;
}

void CopyAutoLabelState(const LabelSequence* from, LabelSequence* to) {
    std::memmove(to, from, sizeof(LabelSequence) * kLabelSequenceCount);
}

void NextAutoLabel(int32_t sequence, char* text) {
    text[0] = 0;
    if (sequence < 0 || sequence >= kLabelSequenceCount) return;
    LabelSequence& q = CurrentSketch()->labelSequences[sequence];
    const char* letters = GroupText(kGroupLabelSequences, sequence);
    int32_t n = static_cast<int32_t>(std::strlen(letters));
    if (n > kMaxSequenceText) n = kMaxSequenceText;
    if (n == 0) {
        // No letters: the round alone names the object ("[1]", "[2]", ...).
        if (q.round <= 0) q.round = 1;
        std::snprintf(text, kLabelBufferSize, "[%d]", q.round);
        if (q.round < INT32_MAX) ++q.round;
        q.position = 0;
        return;
    }
    // A position read from a file may lie anywhere: never read outside the letters.
    if (q.position >= n) q.position = n - 1;
    if (q.position < 0) q.position = 0;
    const char letter = letters[q.position];
    if (q.round <= 0) std::snprintf(text, kLabelBufferSize, "%c", letter);
    else std::snprintf(text, kLabelBufferSize, "%c[%d]", letter, q.round);
    if (++q.position >= n) {
        q.position = 0;
        if (q.round < INT32_MAX) ++q.round;
    }
}

// ---- Derivation

int32_t ParentLabelRange(const SketchObject* object, int32_t* first, int32_t* last, ParentLabelSource* source) {
    int32_t count = 0;
    SketchObject* const* parents = Parents(object, &count);
    *first = (TypeFlags(object) & kTypeSkipFirstLabel) ? 1 : 0;
    if (IsImage(object) || IsPlot(object) || IsDerivative(object)) *last = 0;
    else *last = count - 1;
    if (IsPolygonInterior(object)) {
        while (*last > *first && parents[*last] == parents[*first]) --*last;
    }
    if (source) {
        source->sourceLevel = kLabelNone;
        source->several = *last > *first ? 1 : 0;
        if (!source->several && *first < count && *first >= 0) {
            // Through parents whose own labels are derived, to the label they come from;
            // bounded by the object count so that a cycle ends.
            const SketchObject* p = parents[*first];
            for (int32_t steps = 0; p && steps < kMaxLabelWalk; ++steps) {
                if (p->label.level != kLabelFromParents && p->label.level != kLabelDerived) break;
                int32_t f = 0, l = 0, n = 0;
                ParentLabelRange(p, &f, &l, nullptr);
                SketchObject* const* pp = Parents(p, &n);
                if (l > f || f >= n || f < 0) break;
                p = pp[f];
            }
            if (p) source->sourceLevel = p->label.level;
        }
    }
    return *last;
}

namespace {

bool DeriveApplies(const SketchObject* o, bool imagesOnly) {
    const bool kindAllows = (TypeFlags(o) & kTypeLabelFromParents) || IsImage(o) ||
                            (IsPolygonInterior(o) && PolygonVertexCount(o) < kPolygonLabelVertices && !imagesOnly) ||
                            IsDerivative(o) || IsPlot(o) || IsButton(o);
    return kindAllows && (!imagesOnly || IsImage(o));
}

// Whether asking a parent for level 2 (with the flag its child passes) would derive.
bool WouldDerive(const SketchObject* p, bool imagesOnly) {
    const int32_t wanted = imagesOnly && !IsImage(p) ? kLabelSequence : kLabelFromParents;
    return p->label.level < wanted && wanted == kLabelFromParents && DeriveApplies(p, imagesOnly) &&
           !IsPlot(p) && !IsButton(p);
}

// Labels, deepest first, every ancestor that the derivation of `object` will ask for,
// in the order the recursive derivation would ask for them (so sequence letters fall the
// same way). Each of those derivations then finds its parents labelled.
void LabelAncestorsFirst(SketchObject* object) {
    struct Frame {
        SketchObject* object;
        int32_t next, last;
        bool flag;  // the images-only flag this object was asked with
        int32_t level;  // its own level, while it reads as deriving
    };
    Frame* frames = nullptr;
    uint32_t depth = 0, capacity = 0;
    // Objects on the way down read as deriving (level 8), as a derivation in progress
    // does: a parent met again there is a cycle and keeps its label.
    auto push = [&](SketchObject* o, bool flag) {
        if (depth == capacity) {
            const uint32_t grown = capacity ? capacity * 2 : 64;
            if (!ReallocMemoryOf(&frames, sizeof(Frame) * grown, false)) return false;
            capacity = grown;
        }
        int32_t first = 0, last = 0;
        ParentLabelRange(o, &first, &last, nullptr);
        frames[depth++] = { o, first, last, flag, o->label.level };
        o->label.level = kLabelDeriving;
        return true;
    };
    gAncestorsPass = true;
    if (push(object, false)) {
        while (depth > 0) {
            Frame& f = frames[depth - 1];
            int32_t count = 0;
            SketchObject* const* parents = Parents(f.object, &count);
            if (f.next > f.last || f.next >= count) {
                const Frame finished = f;
                --depth;
                finished.object->label.level = finished.level;
                if (depth > 0) GenerateObjectLabel(finished.object, kLabelFromParents, nullptr, true, finished.flag);
                continue;
            }
            SketchObject* p = parents[f.next++];
            const bool flag = IsImage(f.object);
            if (WouldDerive(p, flag)) {
                if (!push(p, flag)) GenerateObjectLabel(p, kLabelFromParents, nullptr, true, flag);
            } else {
                GenerateObjectLabel(p, kLabelFromParents, nullptr, true, flag);
            }
        }
    }
    gAncestorsPass = false;
    FreeMemory(frames);
}

}  // namespace

namespace {

constexpr int32_t kGroupFormula = 14;
constexpr int32_t kItemValueNames = 42;  // + form: "y", "x", "r", "theta"
constexpr int32_t kItemArgumentNames = 34;  // + form: the variable of each form

// The automatic label of a parent of the plot's coordinate system, appended; false when
// the system has no such parent.
bool AppendSystemParentLabel(char* buffer, uint32_t size, const SketchObject* system, int32_t index) {
    int32_t count = 0;
    SketchObject* const* parents = Parents(system, &count);
    if (index >= count || !parents[index]) return false;
    GenerateObjectLabel(parents[index], kLabelAutomatic, nullptr, true, false);
    char label[kLabelBufferSize];
    CopyLabel(parents[index], label);
    AppendToFixedBuffer(buffer, size, label, 0);
    return true;
}

}  // namespace

uint32_t LocusLabelText(char* buffer, uint32_t size, SketchObject* plot) {
    const uint32_t before = static_cast<uint32_t>(strnlen(buffer, size));
    const int32_t stored = FunctionPlotForm(plot);
    const int32_t form = stored >= 0 && stored <= 3 ? stored : 0;
    int32_t count = 0;
    SketchObject* const* parents = Parents(plot, &count);
    SketchObject* function = count > 0 ? parents[0] : nullptr;
    const SketchObject* system = count > 1 ? parents[1] : nullptr;
    // The axes name the value and the argument, unless the system stands for whatever a
    // custom tool is given.
    const bool axesName = system && system->givenIndex == -1 && (form == 0 || form == 1);
    char text[kLabelBufferSize];
    if (!axesName || !AppendSystemParentLabel(buffer, size, system, form == 0 ? 1 : 0)) {
        GetGroupString(kGroupFormula, kItemValueNames + form, text, sizeof text);
        AppendToFixedBuffer(buffer, size, text, 0);
    }
    AppendToFixedBuffer(buffer, size, "=", 0);
    if (function) {
        GenerateObjectLabel(function, kLabelFromParents, nullptr, true, false);
        CopyLabel(function, text);
        AppendToFixedBuffer(buffer, size, text, 0);
    }
    AppendToFixedBuffer(buffer, size, "(", 0);
    if (!axesName || !AppendSystemParentLabel(buffer, size, system, form == 0 ? 0 : 1)) {
        GetGroupString(kGroupFormula, kItemArgumentNames + form, text, sizeof text);
        AppendToFixedBuffer(buffer, size, text, 0);
    }
    AppendToFixedBuffer(buffer, size, ")", 0);
    return static_cast<uint32_t>(strnlen(buffer, size)) - before;
}

bool JoinParentLabels(SketchObject* object, char* text, int32_t* code, bool prime) {
    text[0] = 0;
    *code = 0;
    int32_t first = 0, last = 0, count = 0;
    ParentLabelRange(object, &first, &last, nullptr);
    SketchObject* const* parents = Parents(object, &count);
    const bool image = IsImage(object);
    for (int32_t i = first; i <= last && i < count; ++i) {
        SketchObject* p = parents[i];
        const int32_t rc = GenerateObjectLabel(p, kLabelFromParents, nullptr, true, image);
        if (rc != 0) {
            *code = rc;
            return false;
        }
        char label[kLabelBufferSize];
        CopyLabel(p, label);
        Append(text, label);
    }
    if (prime) Append(text, "'");
    if (image) {
        const uint32_t n = static_cast<uint32_t>(std::strlen(text));
        const uint32_t split = FindLabelSubscript(text, n);
        if (split && n < kMaxLabelLength) {
            std::memmove(text + split + 1, text + split, n - split + 1);
            text[split] = '\'';
        } else {
            Append(text, "'");
        }
    }
    return true;
}

bool DeriveLabelFromParents(SketchObject* object, char* text, int32_t* code, bool imagesOnly) {
    *code = 0;
    if (!DeriveApplies(object, imagesOnly)) return false;
    if (gDeriveDepth == 0 && !gAncestorsPass && !IsPlot(object) && !IsButton(object)) LabelAncestorsFirst(object);
    const int32_t saved = object->label.level;
    object->label.level = kLabelDeriving;
    ++gDeriveDepth;
    bool made = true;
    if (IsPlot(object)) {
        LocusLabelText(text, kLabelBufferSize, object);
    } else if (IsButton(object)) {
        int32_t level = 0;
        ActionButtonCaption(object, text, kLabelBufferSize, &level);
    } else {
        made = JoinParentLabels(object, text, code, IsDerivative(object));
    }
    --gDeriveDepth;
    object->label.level = saved;
    return made;
}

int32_t GenerateObjectLabel(SketchObject* object, int32_t level, const char* given, bool propagate,
                            bool imagesOnly) {
    if (imagesOnly && !IsImage(object) && level < kLabelSequence) level = kLabelSequence;
    if (object->label.level >= level) return 0;
    char text[kLabelBufferSize] = {0};
    int32_t made = level;
    int32_t code = 0;
    const int32_t sequence = LabelSequenceOfObject(object);
    switch (level) {
        case kLabelNumbered:
            if (IsButton(object)) {
                ActionButtonCaption(object, text, kLabelBufferSize, &made);
            } else {
                LabelSequence& q = CurrentSketch()->labelSequences[sequence];
                std::snprintf(text, sizeof text, GroupText(kGroupLabelSequences, kNumberedLabelSequence), q.number);
                if (q.number < INT32_MAX) ++q.number;
            }
            break;
        case kLabelFromParents:
            if (DeriveLabelFromParents(object, text, &code, imagesOnly)) {
                if (code != 0) return code;
                made = kLabelFromParents;
                break;
            }
            if (code != 0) return code;
            [[fallthrough]];
        case kLabelAutomatic:
            if (IsValueObject(object)) {
                NextAutoLabel(sequence, text);
                made = kLabelSequence;
                break;
            }
            [[fallthrough]];
        case kLabelDerived:
            if (!IsImage(object) && !IsPlot(object) && !IsDerivative(object) && !IsButton(object)) {
                NextAutoLabel(sequence, text);
                made = kLabelSequence;
            } else if (DeriveLabelFromParents(object, text, &code, false)) {
                if (code != 0) return code;
                made = kLabelDerived;
            } else {
                if (code != 0) return code;
                NextAutoLabel(sequence, text);
                made = kLabelSequence;
            }
            break;
        case kLabelGiven:
        case kLabelDeriving:
            if (given) {
                std::strncpy(text, given, kMaxLabelLength);
                text[kMaxLabelLength] = 0;
            }
            made = kLabelGiven;
            break;
        default:  // 5 and 6: a sequence letter (buttons: their caption)
            if (IsButton(object)) {
                ActionButtonCaption(object, text, kLabelBufferSize, &made);
            } else {
                NextAutoLabel(sequence, text);
                made = kLabelSequence;
            }
            break;
    }
    object->label.level = made;
    StoreLabelText(object, text, propagate);
    return 0;
}

// ---- Storing and reading

uint32_t FindLabelSubscript(const char* text, uint32_t length) {
    if (length <= 3 || text[length - 1] != ']' || text[length - 2] == '[') return 0;
    int32_t nesting = 0;
    for (uint32_t i = length - 1; i > 0; --i) {
        if (text[i] == ']') ++nesting;
        else if (text[i] == '[' && --nesting == 0) return i;
    }
    return 0;
}

void FreeLabelText(ObjectLabel* label) {
    if (label->heapLength != 0) FreeMemory(label->text.heapText);
    label->text.heapText = nullptr;
    label->heapLength = 0;
    label->subscriptAt = 0;
    label->shown = 0;
}

void ClearObjectLabel(SketchObject* object) {
    object->label.shown = 0;
    FreeLabelText(&object->label);
}

int32_t StoreLabelText(SketchObject* object, const char* text, bool propagate) {
    ObjectLabel& label = object->label;
    uint32_t n = static_cast<uint32_t>(strnlen(text, kMaxLabelLength));
    if (n == LabelLength(label) && std::memcmp(text, LabelChars(label), n) == 0) return 0;
    const bool shown = label.shown != 0;
    if (shown) InvalidateLabelRect(object);
    if (label.heapLength != 0) FreeMemory(label.text.heapText);
    label.text.heapText = nullptr;
    label.heapLength = 0;
    label.subscriptAt = 0;
    int32_t rc = 0;
    if (n > 4) {
        char* copy = static_cast<char*>(AllocMemory(n + 1, 0));
        if (!copy) {
            rc = kResultOutOfMemory;
            n = 0;
        } else {
            std::memcpy(copy, text, n);
            copy[n] = 0;
            label.text.heapText = copy;
            label.heapLength = static_cast<uint16_t>(n);
        }
    } else {
        std::memcpy(label.text.inlineText, text, n);
    }
    label.subscriptAt = static_cast<uint16_t>(FindLabelSubscript(text, n));
    if (TextFamilyOf(object) != 7) RelayoutObjectText(object, shown || IsButton(object));
    if (shown) {
        PlaceObjectLabel(object);
        InvalidateLabelRect(object);
    }
    if (propagate) PropagateLabelChange(object);
    return rc;
}

int32_t SetObjectLabel(SketchObject* object, const char* text, bool eraseFirst) {
    if (eraseFirst) StoreLabelText(object, "", false);
    object->label.level = kLabelNone;
    GenerateObjectLabel(object, kLabelGiven, text, true, false);
    return 0;
}

const char* GetObjectLabel(SketchObject* object, int32_t level, char* buffer, uint32_t* length) {
    if (object->label.level < level) GenerateObjectLabel(object, level, nullptr, true, false);
    const uint32_t n = CopyLabel(object, buffer);
    if (length) *length = n;
    return buffer;
}

void GetObjectLabel(SketchObject* object, int32_t level) {
    if (object->label.level < level) GenerateObjectLabel(object, level, nullptr, true, false);
}

void GetObjectLabelText(const SketchObject* object, char* buffer, uint32_t size) {
    if (size == 0) return;
    buffer[0] = 0;
    if (!object) return;
    uint32_t n = LabelLength(object->label);
    if (n > size - 1) n = size - 1;
    if (n) std::memcpy(buffer, LabelChars(object->label), n);
    buffer[n] = 0;
}

uint32_t FormatNounAndLabel(SketchObject* object, int32_t level, char* destination, uint32_t size, bool terminate) {
    char label[kLabelBufferSize];
    GetObjectLabel(object, level, label, nullptr);
    const char* noun = KindNoun(EffectiveKind(object), kNounSingular);
    const uint32_t nounLength = static_cast<uint32_t>(std::strlen(noun));
    const uint32_t labelLength = static_cast<uint32_t>(std::strlen(label));
    const uint32_t full = nounLength + 1 + labelLength;
    if (destination && size) {
        const uint32_t room = terminate ? size - 1 : size;
        uint32_t at = 0;
        auto put = [&](const char* s, uint32_t n) {
            for (uint32_t i = 0; i < n && at < room; ++i) destination[at++] = s[i];
        };
        put(noun, nounLength);
        put(" ", 1);
        put(label, labelLength);
        if (terminate) destination[at] = 0;
    }
    return full + (terminate ? 1 : 0);
}

// ---- Creation

void InitObjectLabelWith(SketchObject* object, bool propagate) {
    object->label.pathParameter = kLabelNotPlaced;
    object->label.offsetX = kLabelRightRoom;
    object->label.offsetY = kLabelBelowRoom;
    object->labelPlace.width = -1;
    if (TextFamilyOf(object) < 5 && object->hidden < 2) GenerateObjectLabel(object, kLabelNumbered, nullptr, propagate, false);
}

void InitObjectLabel(SketchObject* object) { InitObjectLabelWith(object, false); }

// ---- Showing

namespace {

// Whether the labels of a polygon's vertices can stand for its own: every vertex shown
// and each typed label one character, or a letter followed by a digit or "'".
bool VerticesCanLabelPolygon(const SketchObject* polygon) {
    int32_t count = 0;
    SketchObject* const* v = Parents(polygon, &count);
    count = PolygonVertexCount(polygon);
    for (int32_t i = 0; i < count; ++i) {
        if (!IsVisible(v[i])) return false;
        if (v[i]->label.level > kLabelSequence) {
            const uint32_t n = LabelLength(v[i]->label);
            const char* t = LabelChars(v[i]->label);
            const bool plain = n == 1 ||
                               (n == 2 && ((t[0] >= 'A' && t[0] <= 'Z') || (t[0] >= 'a' && t[0] <= 'z')) &&
                                ((t[1] >= '0' && t[1] <= '9') || t[1] == '\''));
            if (!plain) return false;
        }
    }
    return true;
}

void MeasureLabelText(SketchObject* object) {
    char text[kLabelBufferSize];
    const uint32_t n = CopyLabel(object, text);
    const uint32_t split = FindLabelSubscript(text, n);
    int16_t width = 0, height = 0;
    if (split) {
        int16_t h = 0;
        MeasureStyledText(text, static_cast<int32_t>(split), 0, &object->textStyle, 0, &width, &h);
        object->label.baseWidth = static_cast<int16_t>(width);
        MeasureStyledText(text, static_cast<int32_t>(n - 1), 0, &object->textStyle, 0, &width, &height);
        height = static_cast<int16_t>(height + height / 3);
    } else {
        MeasureStyledText(text, static_cast<int32_t>(n), 0, &object->textStyle, 0, &width, &height);
        object->label.baseWidth = static_cast<int16_t>(width);
    }
    object->labelPlace.width = static_cast<int16_t>(width < 0 ? 0 : width > kScreenClamp ? kScreenClamp : width);
    object->labelPlace.height = static_cast<int16_t>(height < 0 ? 0 : height > kScreenClamp ? kScreenClamp : height);
}

// Whether the path routines of the object's kind read class data the object has: a
// document may pair a class with a kind of another shape.
bool PathFitsClass(const SketchObject* o) {
    switch (PathClassOf(o)) {
        case 0: case 1: case 2: return o->objectClass == kClassStraight || o->objectClass == kClassAxis;
        case 3: return o->objectClass == kClassPolygonInterior;
        case 4: return o->objectClass == kClassCircle || o->objectClass == kClassCircleInterior;
        case 5: return o->objectClass == kClassLocus;
        case 6: return o->objectClass == kClassArc || o->objectClass == kClassArcInterior;
        default: return false;
    }
}

bool CanPlace(const SketchObject* object) {
    return IsVisible(object) && IsLinkedIntoSketch(object) && object->label.shown;
}

// The anchor of a label on its object; with a point, the point's projection on the path
// (which also becomes the label's parameter).
ScreenPoint LabelAnchor(SketchObject* object, const ScreenPoint* toward) {
    const ScreenRect& b = object->bounds;
    const PathMethods* m = PathFitsClass(object) ? PathMethodsOf(object) : nullptr;
    if (!m || !m->pointAtParameter || !m->parameterOfPoint) {
        object->label.pathParameter = 0;
        return { static_cast<int16_t>((b.left + b.right) / 2), static_cast<int16_t>((b.top + b.bottom) / 2) };
    }
    RealPoint at{};
    if (toward) {
        double t = 0;
        m->parameterOfPoint(object, RealPoint{ double(toward->x), double(toward->y) }, &at, &t, nullptr);
        if (std::isfinite(t)) object->label.pathParameter = t;
    } else {
        double t = object->label.pathParameter;
        // A parameter that is not finite (a damaged file) counts as not placed.
        if (t == kLabelNotPlaced || !std::isfinite(t)) {
            Sketch* s = CurrentSketch();
            const ScreenRect* visible = s->viewOwner ? &s->windowRect : nullptr;
            if (object->objectClass == kClassLocus && m->randomParameter) {
                RealPoint p{};
                m->randomParameter(object, false, visible, nullptr, &p);
                t = 0;
                m->parameterOfPoint(object, p, nullptr, &t, nullptr);
            } else if (m->parameterRange) {
                double lo = 0, hi = 0;
                m->parameterRange(object, visible, &lo, &hi);
                const double f = object->objectClass == kClassCircle ? 0.875
                               : object->objectClass == kClassAxis   ? 0.05
                                                                     : 0.25;
                t = lo + f * (hi - lo);
            }
            if (!std::isfinite(t)) t = 0;
            object->label.pathParameter = t;
        }
        int32_t exists = 1;
        m->pointAtParameter(object, t, &at, &exists);
        if (!exists || !std::isfinite(at.x) || !std::isfinite(at.y)) {
            const RealPoint here{ double(b.left + object->labelPlace.originX), double(b.top + object->labelPlace.originY) };
            double u = 0;
            at = here;
            m->parameterOfPoint(object, here, &at, &u, nullptr);
            if (std::isfinite(u)) object->label.pathParameter = u;
        }
    }
    return { RoundToScreen(at.x), RoundToScreen(at.y) };
}

void SetOrigin(SketchObject* object, ScreenPoint anchor) {
    object->labelPlace.originX = ClampToScreen(anchor.x + object->label.offsetX - object->bounds.left);
    object->labelPlace.originY = ClampToScreen(anchor.y + object->label.offsetY - object->bounds.top);
}

}  // namespace

void ClampLabelOffset(SketchObject* object) {
    const int32_t w = object->labelPlace.width > 0 ? object->labelPlace.width : 0;
    const int32_t h = object->labelPlace.height > 0 ? object->labelPlace.height : 0;
    int32_t x = object->label.offsetX, y = object->label.offsetY;
    if (x < -w - kLabelRightRoom) x = -w - kLabelRightRoom;
    if (x > kLabelRightRoom) x = kLabelRightRoom;
    if (y < -h - kLabelBelowRoom) y = -h - kLabelBelowRoom;
    if (y > kLabelBelowRoom) y = kLabelBelowRoom;
    object->label.offsetX = static_cast<int16_t>(x);
    object->label.offsetY = static_cast<int16_t>(y);
}

void RemeasureLabel(SketchObject* object) {
    if (!CanPlace(object)) {
        object->labelPlace.width = -1;
        return;
    }
    MeasureLabelText(object);
    ClampLabelOffset(object);
}

void PlaceObjectLabel(SketchObject* object) {
    if (!CanPlace(object) || !LabelFollowsGeometry(object)) return;
    if (object->labelPlace.width < 0) RemeasureLabel(object);
    SetOrigin(object, LabelAnchor(object, nullptr));
}

void SetLabelOffsetFromPoint(SketchObject* object, ScreenPoint point) {
    const ScreenPoint anchor = LabelAnchor(object, &point);
    object->label.offsetX = ClampToScreen(point.x - anchor.x);
    object->label.offsetY = ClampToScreen(point.y - anchor.y);
    ClampLabelOffset(object);
    const LabelPlace before = object->labelPlace;
    SetOrigin(object, anchor);
    if (before.originX != object->labelPlace.originX || before.originY != object->labelPlace.originY)
        SetCurrentDocumentModified();
}

bool GetLabelRect(const SketchObject* object, ScreenRect* rect) { return ObjectLabelRect(object, rect); }

void InvalidateLabelRect(SketchObject* object) {
    ScreenRect r;
    if (IsLinkedIntoSketch(object) && GetLabelRect(object, &r)) UnionDirtyRect(&r);
}

bool LabelHitTest(ScreenPoint point, const SketchObject* object) {
    ScreenRect r;
    if (!GetLabelRect(object, &r)) return false;
    return point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom;
}

void SetLabelShown(SketchObject* object, bool show, const ScreenPoint* point, bool act) {
    const bool visible = object->hidden == kShown && object->exists == 1;
    const bool reveal = act && show && !object->label.shown && visible;
    if (IsPolygonInterior(object) && !object->label.shown && object->label.level < kLabelAutomatic &&
        PolygonVertexCount(object) < kPolygonLabelVertices && VerticesCanLabelPolygon(object)) {
        int32_t count = 0;
        SketchObject* const* v = Parents(object, &count);
        count = PolygonVertexCount(object);
        for (int32_t i = 0; i < count; ++i) SetLabelShown(v[i], show, nullptr, act);
        return;
    }
    if (show) {
        if (TextFamilyOf(object) == 0 &&
            (object->label.level < kLabelAutomatic || object->label.pathParameter == kLabelNotPlaced))
            ApplyDefaultTextStyle(object);
        GenerateObjectLabel(object, kLabelAutomatic, nullptr, true, false);
        if (visible) {
            // A stored offset is kept as read while the label is hidden; shown, it comes
            // within reach of the object as it does when a document opens.
            MeasureLabelText(object);
            ClampLabelOffset(object);
            if (point) {
                const ScreenPoint corner = { static_cast<int16_t>(point->x - object->labelPlace.width - 1),
                                             static_cast<int16_t>(point->y - object->labelPlace.height - 1) };
                SetLabelOffsetFromPoint(object, corner);
            }
        }
    } else if (act && visible && object->label.shown) {
        InvalidateLabelRect(object);
    }
    if ((object->label.shown != 0) != show) {
        object->label.shown = show ? 1 : 0;
        SetCurrentDocumentModified();
    }
    if (object->label.shown && visible) PlaceObjectLabel(object);
    if (reveal) InvalidateLabelRect(object);
}

bool IsLabelShownOrImplied(const SketchObject* object) {
    if (object->label.shown) return true;
    if (object->objectClass != kClassPolygonInterior || !IsPolygonInterior(object)) return false;
    if (object->label.level > kLabelFromParents) return false;
    const int32_t n = PolygonVertexCount(object);
    if (n > kPolygonLabelVertices - 1) return false;
    int32_t count = 0;
    SketchObject* const* v = Parents(object, &count);
    for (int32_t i = 0; i < n; ++i)
        if (!IsVisible(v[i]) || !v[i]->label.shown) return false;
    return true;
}

void ShowParentLabels(SketchObject* object) {
    // Walked with a stack: a chain of derived names may be as long as the document.
    StampedVisits visits(&CurrentSketch()->traversalGeneration);
    ObjectStack stack;
    if (!stack.Push(object)) return;
    while (!stack.Empty()) {
        SketchObject* o = stack.Pop();
        int32_t count = 0;
        SketchObject* const* parents = Parents(o, &count);
        for (int32_t i = (TypeFlags(o) & kTypeSkipFirstLabel) ? 1 : 0; i < count; ++i) {
            SketchObject* p = parents[i];
            const bool derivedName = (TypeFlags(p) & kTypeLabelFromParents) ||
                                     (IsPolygonInterior(p) && PolygonVertexCount(p) < kPolygonLabelVertices);
            if (derivedName && p->label.level < kLabelAutomatic) {
                if (!visits.Seen(p)) {
                    if (!visits.Mark(p) || !stack.Push(p)) return;
                }
            } else if (LabelFollowsGeometry(p)) {
                SetLabelShown(p, true, nullptr, true);
            }
        }
    }
}

// ---- Drawing

void DrawObjectLabel(GraphicsPort* port, SketchObject* object) {
    char text[kLabelBufferSize];
    uint32_t n = 0;
    GetObjectLabel(object, kLabelFromParents, text, &n);
    if (n == 0) return;
    int32_t x = object->bounds.left + object->labelPlace.originX;
    int32_t y = object->bounds.top + object->labelPlace.originY;
    const uint32_t split = FindLabelSubscript(text, n);
    auto at = [](int32_t v, int32_t offset) {
        if (!CurrentOutputScale.printing) return v;
        return int32_t(RoundToScreen(v * CurrentOutputScale.factor + offset));
    };
    StyledTextLine line{ port, text, static_cast<int32_t>(split ? split : n), &object->textStyle, 0,
                         ClampToScreen(at(x, CurrentOutputScale.offsetX)),
                         ClampToScreen(at(y, CurrentOutputScale.offsetY)), object };
    DrawStyledTextLine(&line);
    if (!split) return;
    TextStyle small = object->textStyle;
    small.field[kStyleSize] = static_cast<int16_t>(small.field[kStyleSize] * 0.8);
    line.text = text + split + 1;
    line.length = static_cast<int32_t>(n - split - 2);
    line.style = &small;
    line.x = ClampToScreen(at(x + object->label.baseWidth, CurrentOutputScale.offsetX));
    line.y = ClampToScreen(at(y + object->labelPlace.height / 3, CurrentOutputScale.offsetY));
    DrawStyledTextLine(&line);
}

// ---- Dragging

void BeginLabelDrag(SketchObject* object, ScreenPoint point) {
    gDrag.object = object;
    gDrag.grab = { static_cast<int16_t>(point.x - (object->bounds.left + object->labelPlace.originX)),
                   static_cast<int16_t>(point.y - (object->bounds.top + object->labelPlace.originY)) };
}

void DragLabelTo(ScreenPoint point) {
    SketchObject* o = gDrag.object;
    if (!o) return;
    InvalidateLabelRect(o);
    SetLabelOffsetFromPoint(o, { ClampToScreen(point.x - gDrag.grab.x), ClampToScreen(point.y - gDrag.grab.y) });
    InvalidateLabelRect(o);
}

void EndLabelDrag(ScreenPoint point) {
    DragLabelTo(point);
    gDrag.object = nullptr;
}

// ---- Propagation

namespace {

// The work of the propagation in progress: objects whose label changed, still to be
// followed. Objects whose shown text waits for a refresh are in the labels' mark
// category.
struct Propagation {
    bool        running = false;
    int32_t     held = 0;
    ObjectStack work;
};
Propagation gPropagation;

const TextEditOps* EditOpsOf(const SketchObject* o) {
    return o->objectClass >= 0 && o->objectClass < kClassCount ? ObjectClassTable[o->objectClass].textEditOps : nullptr;
}

void QueueRefresh(SketchObject* o, int32_t reason) {
    const TextEditOps* ops = EditOpsOf(o);
    if (!ops || !IsLinkedIntoSketch(o) || !ops->needsTextRefresh || !ops->needsTextRefresh(o, reason)) return;
    if (!HasMarkCategory(kMarkCategoryLabels, o)) MarkObject(kMarkCategoryLabels, o, false);
}

void FollowLabelChange(SketchObject* object) {
    QueueRefresh(object, 0);
    int32_t count = 0;
    SketchObject* const* children = Children(object, &count);
    bool derivedChild = false;
    for (int32_t i = 0; i < count && !derivedChild; ++i)
        derivedChild = children[i]->label.level == kLabelFromParents || children[i]->label.level == kLabelDerived;
    if (object->label.level < kLabelFromParents && derivedChild)
        GenerateObjectLabel(object, kLabelFromParents, nullptr, false, false);
    const int32_t saved = object->label.level;
    object->label.level = kLabelDeriving;
    children = Children(object, &count);
    for (int32_t i = 0; i < count; ++i) {
        SketchObject* c = children[i];
        const int32_t old = c->label.level;
        if (old == kLabelFromParents || old == kLabelDerived) {
            c->label.level = kLabelNone;
            GenerateObjectLabel(c, kLabelFromParents, nullptr, true, false);
            c->label.level = old;
        } else if (old == kLabelAutomatic) {
            c->label.level = kLabelNone;
            GenerateObjectLabel(c, kLabelAutomatic, nullptr, true, false);
        }
        QueueRefresh(c, 1);
        children = Children(object, &count);
    }
    object->label.level = saved;
}

}  // namespace

namespace {

void FollowQueuedLabelChanges() {
    gPropagation.running = true;
    for (;;) {
        while (!gPropagation.work.Empty()) FollowLabelChange(gPropagation.work.Pop());
        if (MarkSlotState(kMarkCategoryLabels) <= 0) break;
        // Refresh in sketch order, so that a text showing another text sees it
        // refreshed; a refresh that changes labels queues more work.
        Sketch* sketch = CurrentSketch();
        bool refreshed = false;
        for (SketchObject* o = sketch->firstObject; o && MarkSlotState(kMarkCategoryLabels) > 0; o = o->nextInSketch) {
            if (!HasMarkCategory(kMarkCategoryLabels, o)) continue;
            UnmarkObject(sketch->marks, kMarkCategoryLabels, o);
            refreshed = true;
            if (const TextEditOps* ops = EditOpsOf(o); ops && ops->refreshText) ops->refreshText(o);
            int32_t count = 0;
            SketchObject* const* children = Children(o, &count);
            for (int32_t i = 0; i < count; ++i) QueueRefresh(children[i], 2);
        }
        // Marked objects the sketch order does not reach (being built) are dropped.
        if (!refreshed) {
            ClearMark(kMarkCategoryLabels);
            if (gPropagation.work.Empty()) break;
        }
    }
    gPropagation.running = false;
}

}  // namespace

void PropagateLabelChange(SketchObject* object) {
    // Nested calls (a child's label changed while its parent's change is followed) only
    // queue: the outermost call follows every change without recursing.
    if (!gPropagation.work.Push(object) || gPropagation.running || gPropagation.held > 0) return;
    FollowQueuedLabelChanges();
}

void HoldLabelPropagation() { ++gPropagation.held; }

void ReleaseLabelPropagation() {
    if (gPropagation.held > 0) --gPropagation.held;
    if (gPropagation.held == 0 && !gPropagation.running && !gPropagation.work.Empty()) FollowQueuedLabelChanges();
}
