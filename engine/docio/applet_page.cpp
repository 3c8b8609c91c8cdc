#include "engine/docio/applet_page.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/calc/value_objects.h"
#include "engine/core/action_button_data.h"
#include "engine/core/construction_data.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/motions.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "engine/docio/packed_values.h"
#include "engine/text/captions.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"

namespace {

constexpr int32_t kAnyClass = 18;
constexpr int32_t kPlain = 17;    // hidden and traced
constexpr int32_t kStyled = 27;   // hidden, color, thick and traced
constexpr int32_t kAttrHidden = 0x1;
constexpr int32_t kAttrColor = 0x2;
constexpr int32_t kAttrThick = 0x8;
constexpr int32_t kAttrTraced = 0x10;

enum ConditionKind : int32_t {
    kNoCondition = 0, kParentCount = 1, kFirstClassWord = 2, kVerticalAxis = 3, kKindIs = 4, kKindIsNot = 5,
    kUnselectable = 6,
};

// Export marks: 0 not yet, 1 unsupported, k + 2 written as object k + 1.
constexpr uint32_t kMarkNone = 0;
constexpr uint32_t kMarkUnsupported = 1;

struct TokenName {
    uint16_t token;
    const char* name;
};
const TokenName kAppletTokens[19] = {
    { 0x1000, "+" },     { 0x1001, "-" },     { 0x1002, "*" },     { 0x1003, "/" },     { 0x1004, "^" },
    { 0x1005, "%" },     { 0x2000, "@sin_" }, { 0x2001, "@cos_" }, { 0x2002, "@tan_" }, { 0x2003, "@asin" },
    { 0x2004, "@acos" }, { 0x2005, "@atan" }, { 0x2006, "@abs_" }, { 0x2007, "@sqrt" }, { 0x2009, "@log_" },
    { 0x2008, "@ln__" }, { 0x200c, "@trnc" }, { 0x200b, "@rond" }, { 0x200a, "@sgn_" },
};

}  // namespace

// type, class, condition kind, value, name, arguments, attributes
const AppletVocabularyRow AppletVocabulary[kAppletVocabularyRows] = {
    { 0, 1, kUnselectable, 0, "FixedPoint", { 1 }, kPlain },
    { 0, 1, kNoCondition, 0, "Point", { 1 }, kPlain },
    { 1, kAnyClass, kNoCondition, 0, "Midpoint", { 2 }, kStyled },
    { 2, kAnyClass, kNoCondition, 0, "Segment", { 3 }, kStyled },
    { 68, kAnyClass, kNoCondition, 0, "Ray", { 3 }, kStyled },
    { 67, kAnyClass, kNoCondition, 0, "Line", { 3 }, kStyled },
    { 3, kAnyClass, kNoCondition, 0, "Circle", { 2 }, kStyled },
    { 4, kAnyClass, kNoCondition, 0, "Circle by radius", { 2 }, kStyled },
    { 5, kAnyClass, kNoCondition, 0, "Perpendicular", { 3 }, kStyled },
    { 6, kAnyClass, kNoCondition, 0, "Parallel", { 3 }, kStyled },
    { 8, kAnyClass, kNoCondition, 0, "Polygon", { 2 }, kStyled },
    { 9, kAnyClass, kNoCondition, 0, "Intersect", { 2 }, kStyled },
    { 10, kAnyClass, kNoCondition, 0, "Circle interior", { 2 }, kStyled },
    { 11, kAnyClass, kNoCondition, 0, "Intersect1", { 2 }, kStyled },
    { 12, kAnyClass, kNoCondition, 0, "Intersect2", { 2 }, kStyled },
    { 13, kAnyClass, kNoCondition, 0, "Intersect1", { 2 }, kStyled },
    { 14, kAnyClass, kNoCondition, 0, "Intersect2", { 2 }, kStyled },
    { 15, kAnyClass, kNoCondition, 0, "Point on object", { 2, 16 }, kStyled },
    { 38, kAnyClass, kNoCondition, 0, "Reflection", { 2 }, kStyled },
    { 20, kAnyClass, kNoCondition, 0, "VectorTranslation", { 2 }, kStyled },
    { 33, kAnyClass, kNoCondition, 0, "Rotation/MeasuredAngle", { 2 }, kStyled },
    { 21, kAnyClass, kNoCondition, 0, "Translation", { 2, 9, 9 }, kStyled },
    { 27, kAnyClass, kNoCondition, 0, "Translation/MarkedAngle/FixedDistance", { 2, 9 }, kStyled },
    { 30, kAnyClass, kNoCondition, 0, "Translation/MarkedAngle/MarkedDistance", { 2 }, kStyled },
    { 28, kAnyClass, kNoCondition, 0, "Translation/FixedAngle/MarkedDistance", { 2, 10 }, kStyled },
    { 25, kAnyClass, kNoCondition, 0, "Translation", { 2, 17 }, kStyled },
    { 56, kAnyClass, kNoCondition, 0, "UnitPoint", { 2, 7 }, kStyled },
    { 58, kAnyClass, kNoCondition, 0, "SquareUnitPoint", { 2 }, kStyled },
    { 62, kAnyClass, kVerticalAxis, 0, "HorizontalAxis", { 2 }, kStyled },
    { 62, kAnyClass, kVerticalAxis, 1, "VerticalAxis", { 2 }, kStyled },
    { 65, kAnyClass, kNoCondition, 0, "CoordSysByAxes", { 2 }, kStyled },
    { 59, kAnyClass, kNoCondition, 0, "RectangularUnitPoint", { 2, 7 }, kStyled },
    { 73, kAnyClass, kNoCondition, 0, "PlotXY", { 4 }, kStyled },
    { 53, kAnyClass, kNoCondition, 0, "Coordinates", { 2, 1, 12 }, kStyled },
    { 31, kAnyClass, kNoCondition, 0, "Rotation", { 2, 10 }, kStyled },
    { 32, kAnyClass, kNoCondition, 0, "Rotation/MarkedAngle", { 2 }, kStyled },
    { 34, kAnyClass, kNoCondition, 0, "Dilation", { 2, 7 }, kStyled },
    { 35, kAnyClass, kNoCondition, 0, "Dilation/SegmentRatio", { 2 }, kStyled },
    { 36, kAnyClass, kNoCondition, 0, "Dilation/3PtRatio", { 2 }, kStyled },
    { 37, kAnyClass, kNoCondition, 0, "Dilation/MarkedRatio", { 2 }, kStyled },
    { 40, kAnyClass, kNoCondition, 0, "Length", { 2, 1, 12 }, kStyled },
    { 45, kAnyClass, kNoCondition, 0, "Angle", { 2, 1, 12 }, kStyled },
    { 43, kAnyClass, kNoCondition, 0, "Perimeter", { 2, 1, 12 }, kStyled },
    { 44, kAnyClass, kNoCondition, 0, "Circumference", { 2, 1, 12 }, kStyled },
    { 50, kAnyClass, kNoCondition, 0, "Radius", { 2, 1, 12 }, kStyled },
    { 46, kAnyClass, kNoCondition, 0, "Area", { 2, 1, 12 }, kStyled },
    { 49, kAnyClass, kNoCondition, 0, "Slope", { 2, 1, 12 }, kStyled },
    { 41, kAnyClass, kNoCondition, 0, "Distance", { 3, 1, 12 }, kStyled },
    { 42, kAnyClass, kNoCondition, 0, "Distance", { 3, 1, 12 }, kStyled },
    { 0, 11, kKindIsNot, 54, "Parameter", { 13, 1, 12 }, kStyled },
    { 0, 0, kNoCondition, 0, "FixedText", { 1, 12 }, kStyled },
    { 52, kAnyClass, kNoCondition, 0, "Calculate", { 1, 12, 14, 6, 2 }, kStyled },
    { 51, kAnyClass, kParentCount, 2, "Ratio/Segments", { 2, 1, 12 }, kStyled },
    { 51, kAnyClass, kParentCount, 3, "Ratio/Points", { 2, 1, 12 }, kStyled },
    { 66, kAnyClass, kFirstClassWord, 0, "HideButton", { 15, 11, 6, 2 }, kStyled },
    { 66, kAnyClass, kFirstClassWord, 1, "ShowButton", { 15, 11, 6, 2 }, kStyled },
    { 66, kAnyClass, kFirstClassWord, 3, "MoveButton", { 15, 8, 11, 6, 3 }, kStyled },
    { 66, kAnyClass, kFirstClassWord, 2, "AnimateButton", { 15, 11, 6, 19 }, kStyled },
    { 39, kAnyClass, kNoCondition, 0, "Locus", { 5, 18 }, kStyled },
    { 90, kAnyClass, kNoCondition, 0, "PeggedText", { 2 }, kStyled },
};

const char* AppletToken(uint16_t token) {
    for (const TokenName& row : kAppletTokens)
        if (row.token == token) return row.name;
    return nullptr;
}

namespace {

SketchObject* ParentAt(const SketchObject* o, int32_t i) {
    return static_cast<SketchObject*>(PtrListItem(o->parents, i));
}
int32_t ParentCount(const SketchObject* o) {
    int32_t n = 0;
    PtrListItems(o->parents, &n);
    return n;
}

// The first 32-bit word of the class data (a button's type).
int32_t FirstClassWord(const SketchObject* o) {
    int32_t word;
    std::memcpy(&word, ClassData<char>(o), sizeof word);
    return word;
}

bool AxisIsVertical(const SketchObject* axis) {
    return axis->objectClass == kClassAxis && ClassData<AxisData>(axis)->horizontal == 0;
}

bool Matches(const AppletVocabularyRow& row, SketchObject* o) {
    if (row.constructionType != o->constructionType) return false;
    if (row.objectClass != kAnyClass && row.objectClass != o->objectClass) return false;
    switch (row.conditionKind) {
    case kParentCount: return ParentCount(o) == row.conditionValue;
    case kFirstClassWord: return FirstClassWord(o) == row.conditionValue;
    case kVerticalAxis: return (AxisIsVertical(o) ? 1 : 0) == row.conditionValue;
    case kKindIs: return KindIsA(o->objectKind, row.conditionValue);
    case kKindIsNot: return !KindIsA(o->objectKind, row.conditionValue);
    case kUnselectable: return o->selectable == 0;
    default: return true;
    }
}

}  // namespace

const AppletVocabularyRow* FindAppletVocabulary(SketchObject* object) {
    for (const AppletVocabularyRow& row : AppletVocabulary)
        if (Matches(row, object)) return &row;
    return nullptr;
}

namespace {

// The page is written through one writer that keeps the first stream error: every
// later write is then skipped, and the error is the export's result.
struct AppletWriter {
    StreamHandle stream;
    ResultCode error;
};

void StreamWriteText(AppletWriter* w, const char* text) {
    if (w->error != kResultOK) return;
    w->error = StreamWrite(w->stream, text, static_cast<uint32_t>(std::strlen(text)));
}
void WriteAppletChar(AppletWriter* w, char c) {
    const char text[2] = { c, '\0' };
    StreamWriteText(w, text);
}
void WriteAppletDecimal(AppletWriter* w, int32_t value) {
    char text[16];
    *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0';
    StreamWriteText(w, text);
}
// "%g", always with '.': the page is read by the applet, not by the user's locale.
void WriteAppletReal(AppletWriter* w, double value) {
    char text[40];
    if (std::isnan(value)) value = 0;
    const auto printed = std::to_chars(text, text + sizeof text - 1, value, std::chars_format::general, 6);
    *(printed.ec == std::errc() ? printed.ptr : text) = '\0';
    StreamWriteText(w, text);
}
// Inside single quotes: a single quotation mark twice, a double one as four singles.
void WriteQuoted(AppletWriter* w, const char* text, uint32_t length) {
    WriteAppletChar(w, '\'');
    for (uint32_t i = 0; i < length; ++i) {
        if (text[i] == '\'') StreamWriteText(w, "''");
        else if (text[i] == '"') StreamWriteText(w, "''''");
        else WriteAppletChar(w, text[i]);
    }
    WriteAppletChar(w, '\'');
}

// The page name, else the file name up to its last ".", without the characters that
// would end the title or start markup.
void WriteAppletTitle(AppletWriter* w, const Sketch* page, const char* fileName) {
    const char* text = page->title && page->title[0] ? page->title : nullptr;
    size_t length = text ? std::strlen(text) : 0;
    if (!text && fileName && fileName[0]) {
        text = fileName;
        const char* dot = std::strrchr(fileName, '.');
        length = dot ? size_t(dot - fileName) : std::strlen(fileName);
    }
    bool any = false;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '"' || text[i] == '&' || text[i] == '<' || text[i] == '>') continue;
        WriteAppletChar(w, text[i]);
        any = true;
    }
    if (!any) StreamWriteText(w, "Java Sketch");
}

// The export marks of the page's objects, sorted by object address so that a parent's
// mark is found without a walk; they live only while the page is written.
struct MarkEntry {
    const SketchObject* object;
    uint32_t mark;
};
struct ExportMarks {
    MarkEntry* entries;
    int32_t count;
};
ExportMarks gMarks{ nullptr, 0 };

MarkEntry* FindMark(const SketchObject* o) {
    MarkEntry* end = gMarks.entries + gMarks.count;
    MarkEntry* at = std::lower_bound(gMarks.entries, end, o,
                                     [](const MarkEntry& e, const SketchObject* key) { return std::less<>()(e.object, key); });
    return at != end && at->object == o ? at : nullptr;
}
uint32_t ExportMark(const SketchObject* o) {
    const MarkEntry* e = FindMark(o);
    return e ? e->mark : kMarkUnsupported;
}
void SetExportMark(const SketchObject* o, uint32_t mark) {
    if (MarkEntry* e = FindMark(o)) e->mark = mark;
}
int32_t ExportNumber(const SketchObject* o) { return static_cast<int32_t>(ExportMark(o)) - 1; }

bool IsAppletExportable(SketchObject* o) {
    const int32_t n = ParentCount(o);
    for (int32_t i = 0; i < n; ++i)
        if (ExportMark(ParentAt(o, i)) == kMarkUnsupported) return false;
    if (HasValueDisplay(o) && o->constructionType == kTypeFree && (!o->exists || !ValueDisplayOf(o)->defined))
        return false;
    if (o->constructionType == kTypeLocus) {
        if (n < 3) return false;
        const int32_t first = ParentAt(o, 0)->objectClass, second = ParentAt(o, 1)->objectClass;
        if (first != kClassPoint && first != kClassStraight) return false;
        if (ParentAt(o, 2)->objectClass != kClassPoint) return false;
        if (!(second >= kClassStraight && second <= kClassCircleInterior) && second != kClassAxis) return false;
    }
    if (o->constructionType == kTypeActionButton && FirstClassWord(o) == 2) {
        for (int32_t i = 0; i < n; ++i)
            if (ParentAt(o, i)->constructionType != kTypePointOnPath) return false;
    }
    return true;
}

// Reads the construction data in order, never past the object's own block.
struct DataCursor {
    const SketchObject* object;
    uint32_t at;
    double Next() {
        double values[64] = {};
        const uint32_t need = at + 8;
        double value = 0;
        if (need <= sizeof values && ReadConstructionData(object, values, need)) std::memcpy(&value, reinterpret_cast<const char*>(values) + at, 8);
        at += 8;
        return std::isfinite(value) ? value : 0;
    }
};

// The top-left of an object in the page window; texts give the baseline of their first
// line, as the applet places text.
void WritePosition(AppletWriter* w, SketchObject* o, const Sketch* page) {
    double x = 0, y = 0;
    if (o->objectClass == kClassPoint) {
        const RealPoint p = PointPosition(o);
        x = p.x;
        y = p.y;
    } else if (o->objectClass == kClassCaption || o->objectClass == kClassMeasurement ||
               o->objectClass == kClassCalculation) {
        CaptionData* c = CaptionDataOf(o);
        if (c && c->layout && c->layout->width <= 0) RelayoutObjectText(o, false);
        x = o->bounds.left;
        y = o->bounds.top + (c && c->layout ? c->layout->ascent : 0);
        if (o->objectClass != kClassCaption) {
            x += DrawingMetrics.intMetricsB[kMetricValueMarginX];
            y += DrawingMetrics.intMetricsB[kMetricValueMarginY];
        }
    } else {
        x = o->bounds.left;
        y = o->bounds.top;
    }
    WriteAppletReal(w, x - page->windowRect.left);
    WriteAppletChar(w, ',');
    WriteAppletReal(w, y - page->windowRect.top);
}

// The text of a value or caption up to its name: cut after the last "=" (":" for
// coordinates) and the blank that follows; without one, only the first character.
void WriteObjectText(AppletWriter* w, SketchObject* o) {
    CaptionData* c = CaptionDataOf(o);
    LayoutWriteContext context{ nullptr, nullptr, kWritePlainText | kWriteRowsAsOneRow, nullptr };
    const int32_t n = c && c->layout ? SerializeLayout(c->layout, nullptr, &context) : 0;
    char* text = static_cast<char*>(AllocMemory(static_cast<size_t>(n) + 1, 0));
    if (!text) {
        if (w->error == kResultOK) w->error = kResultOutOfMemory;
        return;
    }
    if (n > 0) SerializeLayout(c->layout, text, &context);
    text[n] = '\0';
    const char mark = o->constructionType == 53 ? ':' : '=';
    const char* last = std::strrchr(text, mark);
    uint32_t length = 0;
    if (last) {
        length = static_cast<uint32_t>(last - text) + 1;
        if (text[length] == ' ') ++length;
    } else {
        length = n > 0 ? 1 : 0;
    }
    WriteQuoted(w, text, length);
    FreeMemory(text);
}

void WriteExpression(AppletWriter* w, SketchObject* o) {
    WriteAppletChar(w, '\'');
    if (const CalculationData* c = CalculationDataOf(o)) {
        const CompiledExpression& code = c->compiled;
        for (uint32_t i = 0; i < code.tokenCount; ++i) {
            const ExpressionToken t = code.tokens[i];
            const ExpressionToken cls = TokenClass(t);
            if (cls == kClassConstant || cls == kClassAngleConst || cls == kClassDistanceConst) {
                const uint32_t k = TokenIndex(t);
                WriteAppletReal(w, k < code.constantCount ? code.pool[k] : 0);
                WriteAppletChar(w, ' ');
            } else if (cls == kClassParentValue) {
                WriteAppletChar(w, static_cast<char>('A' + TokenIndex(t) % 26));
            } else if (const char* name = AppletToken(t)) {
                StreamWriteText(w, name);
            }
        }
    }
    WriteAppletChar(w, '\'');
}

void WriteLabel(AppletWriter* w, SketchObject* o) {
    char label[kLabelBufferSize];
    uint32_t length = 0;
    GetObjectLabel(o, kLabelFromParents, label, &length);
    WriteQuoted(w, label, static_cast<uint32_t>(std::strlen(label)));
}

// An Animate button's motion record of target i from its construction data (one
// 32-byte record a target, fields little-endian); the defaults when it has none.
MotionParams ButtonMotionRecord(const SketchObject* o, int32_t i) {
    MotionParams p{};
    p.speed = PackReal32(3);
    int32_t items = 0;
    PtrListItems(o->constructionData, &items);
    const size_t bytes = static_cast<size_t>(items) * sizeof(void*);
    if (i < 0 || static_cast<size_t>(i + 1) * sizeof(MotionParams) > bytes) return p;
    const uint8_t* at = reinterpret_cast<const uint8_t*>(PtrListData(o->constructionData)) + i * sizeof(MotionParams);
    std::memcpy(&p, at, sizeof p);
    return p;
}

// The applet's motion of each target of an animate button.
void WriteAnimateTargets(AppletWriter* w, SketchObject* o) {
    const int32_t n = ParentCount(o);
    for (int32_t i = 0; i < n; ++i) {
        SketchObject* target = ParentAt(o, i);
        if (i) WriteAppletChar(w, ',');
        WriteAppletDecimal(w, ExportNumber(target));
        WriteAppletChar(w, ',');
        SketchObject* path = ParentAt(target, 0);
        WriteAppletDecimal(w, path ? ExportNumber(path) : 0);
    }
    StreamWriteText(w, ")(");
    for (int32_t i = 0; i < n; ++i) {
        if (i) WriteAppletChar(w, ',');
        const double speed = UnpackReal32(ButtonMotionRecord(o, i).speed);
        WriteAppletDecimal(w, std::isfinite(speed) && speed > 1 ? static_cast<int32_t>(std::min(speed, 1e6)) : 1);
    }
    StreamWriteText(w, ")(");
    for (int32_t i = 0; i < n; ++i) {
        if (i) WriteAppletChar(w, ',');
        WriteAppletDecimal(w, (ButtonMotionRecord(o, i).motionFlags & kMotionFlagOnceOnly) ? 1 : 0);
    }
    StreamWriteText(w, ")(");
    for (int32_t i = 0; i < n; ++i) {
        if (i) WriteAppletChar(w, ',');
        SketchObject* path = ParentAt(ParentAt(o, i), 0);
        const int32_t cls = path ? path->objectClass : -1;
        // The applet's kind of motion is the record's direction: 0 forward, 2 both ways.
        const int32_t motionKind = MotionDirectionOf(ButtonMotionRecord(o, i).motionFlags);
        const bool moves = (cls == kClassStraight && motionKind != 2) || (cls == kClassCircle && motionKind == 0);
        WriteAppletDecimal(w, moves ? 1 : 0);
    }
}

void WriteParents(AppletWriter* w, SketchObject* o, int32_t code) {
    const int32_t n = ParentCount(o);
    for (int32_t k = 0; k < n; ++k) {
        int32_t i = k;
        if (code == 3) i = n - 1 - k;
        else if (code == 4) i = (k + 1) % n;
        else if (code == 5) i = (n >= 3 && k == 1) ? 2 : (n >= 3 && k == 2) ? 1 : k;
        if (k) WriteAppletChar(w, ',');
        WriteAppletDecimal(w, ExportNumber(ParentAt(o, i)));
    }
}

void WriteArguments(AppletWriter* w, SketchObject* o, const AppletVocabularyRow& row, const Sketch* page) {
    DataCursor data{ o, 0 };
    bool first = true;
    for (const int32_t code : row.arguments) {
        if (code == 0) break;
        if (code == 6) {
            StreamWriteText(w, ")(");
            first = true;
            continue;
        }
        if (!first) WriteAppletChar(w, ',');
        first = false;
        switch (code) {
        case 1:
        case 15:
            WritePosition(w, o, page);
            break;
        case 2: case 3: case 4: case 5:
            WriteParents(w, o, code);
            break;
        case 7:
            WriteAppletReal(w, data.Next());
            break;
        case 8: {
            // A Move button's speed preset; instant (3) and anything else export as 0.
            const ActionButtonData* button = ActionButtonOf(o);
            const int32_t preset = button ? button->buttonOptions : -1;
            static constexpr int32_t kSpeeds[3] = { 1, 3, 5 };
            WriteAppletDecimal(w, preset >= 0 && preset <= 2 ? kSpeeds[preset] : 0);
            break;
        }
        case 9: {
            const uint32_t at = data.at;
            WriteAppletReal(w, data.Next());
            data.at = at + 24;  // the number's entry is 6 words long
            break;
        }
        case 10: {
            const double u = data.Next(), v = data.Next();
            WriteAppletReal(w, -std::atan2(v, u));
            break;
        }
        case 16: {
            SketchObject* path = ParentAt(o, 0);
            if (path && path->objectClass == kClassCircle) {
                const double x = data.Next(), y = data.Next();
                WriteAppletReal(w, -std::atan2(y, x));
            } else {
                WriteAppletReal(w, data.Next());
            }
            break;
        }
        case 17: {
            const double u = data.Next(), v = data.Next();
            data.at = 32;  // the distance entry follows the 32-byte angle entry
            const double r = data.Next();
            WriteAppletReal(w, r * u);
            WriteAppletChar(w, ',');
            WriteAppletReal(w, -(r * v));
            break;
        }
        case 11:
            WriteLabel(w, o);
            break;
        case 12:
            WriteObjectText(w, o);
            break;
        case 13:
            WriteAppletReal(w, HasValueDisplay(o) ? ValueDisplayOf(o)->value : 0);
            break;
        case 14:
            WriteExpression(w, o);
            break;
        case 18:
            WriteAppletDecimal(w, o->objectClass == kClassLocus ? LocusDataOf(o)->sampleCount : 0);
            break;
        case 19:
            WriteAnimateTargets(w, o);
            break;
        default:
            break;
        }
    }
}

void WriteAttributes(AppletWriter* w, SketchObject* o, const AppletVocabularyRow& row) {
    bool any = false;
    auto next = [&]() {
        WriteAppletChar(w, any ? ',' : '[');
        any = true;
    };
    if (o->objectClass == kClassPoint && o->label.shown) {
        next();
        StreamWriteText(w, "label(");
        WriteLabel(w, o);
        WriteAppletChar(w, ')');
    }
    if (row.attributes & kAttrColor) {
        next();
        StreamWriteText(w, "color(");
        WriteAppletDecimal(w, static_cast<int32_t>(o->color & 0xff));
        WriteAppletChar(w, ',');
        WriteAppletDecimal(w, static_cast<int32_t>((o->color >> 8) & 0xff));
        WriteAppletChar(w, ',');
        WriteAppletDecimal(w, static_cast<int32_t>((o->color >> 16) & 0xff));
        WriteAppletChar(w, ')');
    }
    if ((row.attributes & kAttrHidden) && o->hidden != kShown) {
        next();
        StreamWriteText(w, "hidden");
    }
    if ((row.attributes & kAttrTraced) && o->traced) {
        next();
        StreamWriteText(w, "traced");
    }
    if ((row.attributes & kAttrThick) && ObjectClassTable[o->objectClass].hasLineStyle && o->lineStyle == 2) {
        next();
        StreamWriteText(w, "thick");
    }
    if (any) WriteAppletChar(w, ']');
}

void WritePageHead(AppletWriter* w, const Sketch* page, const char* fileName) {
    StreamWriteText(w, "<!-- This page was made with Velmora. -->\r\n");
    StreamWriteText(w, "<HTML>\r\n<TITLE>");
    WriteAppletTitle(w, page, fileName);
    StreamWriteText(w, "</TITLE></HEAD><BODY>\r\n");
    StreamWriteText(w, "<P ALIGN=CENTER><HR SIZE=\"4\">This construction is shown by the "
                       "<A HREF=\"zvt/\">Vantrope</A> applet from a sketch drawn in Velmora.\r\n"
                       "<HR SIZE=\"4\"></P>\r\n");
    StreamWriteText(w, "<H4 ALIGN=CENTER><APPLET CODE=\"YRN.class\"  ARCHIVE=\"zvt4.jar\" CODEBASE=\"zvt\" WIDTH=");
    WriteAppletDecimal(w, page->windowRect.right - page->windowRect.left);
    StreamWriteText(w, " HEIGHT=");
    WriteAppletDecimal(w, page->windowRect.bottom - page->windowRect.top);
    StreamWriteText(w, " ALIGN=CENTER>");
    if (page->settings.angleUnit == 1)
        StreamWriteText(w, "<PARAM NAME=MeasureInDegrees VALUE=1><PARAM NAME=DirectedAngles VALUE=0>\r\n");
    else if (page->settings.angleUnit == 2)
        StreamWriteText(w, "<PARAM NAME=MeasureInDegrees VALUE=1>\r\n");
    const uint32_t back = page->settings.palette[kColorSlotBackground];
    const char* names[3] = { "<PARAM NAME=BackRed VALUE=", "<PARAM NAME=BackGreen VALUE=", "<PARAM NAME=BackBlue VALUE=" };
    for (int32_t i = 0; i < 3; ++i) {
        StreamWriteText(w, names[i]);
        WriteAppletDecimal(w, static_cast<int32_t>((back >> (8 * i)) & 0xff));
        StreamWriteText(w, ">\r\n");
    }
}

void WritePageTail(AppletWriter* w, const Sketch* page, const char* fileName) {
    StreamWriteText(w, "\">\r\n");
    StreamWriteText(w, "Sorry, this page requires a Java-compatible web browser.</APPLET>\r\n");
    StreamWriteText(w, "<P ALIGN=CENTER>");
    WriteAppletTitle(w, page, fileName);
    StreamWriteText(w, "</P></H4>\r\n");
    StreamWriteText(w, "</BODY>\r\n</HTML>\r\n");
}

}  // namespace

ResultCode WriteAppletPage(StreamHandle stream, EngineDocument* document, const char* fileName) {
    Sketch* page = document ? document->currentPage : nullptr;
    if (!page) return kResultInvalidArg;
    int32_t count = 0;
    for (const SketchObject* o = page->firstObject; o; o = o->nextInSketch) ++count;
    auto* marks = static_cast<MarkEntry*>(AllocMemory(sizeof(MarkEntry) * static_cast<size_t>(count ? count : 1), 0));
    if (!marks) return kResultOutOfMemory;
    int32_t i = 0;
    for (const SketchObject* o = page->firstObject; o; o = o->nextInSketch) marks[i++] = { o, kMarkNone };
    std::sort(marks, marks + count, [](const MarkEntry& a, const MarkEntry& b) { return std::less<>()(a.object, b.object); });
    gMarks = { marks, count };
    Sketch* previous = nullptr;
    SetCurrentSketch(page, &previous);

    AppletWriter w{ stream, kResultOK };
    WritePageHead(&w, page, fileName);
    StreamWriteText(&w, "<PARAM NAME=Construction VALUE=\"\r\n");
    int32_t written = 0;
    bool skipped = false;
    for (SketchObject* o = page->firstObject; o && w.error == kResultOK; o = o->nextInSketch) {
        const AppletVocabularyRow* row = IsAppletExportable(o) ? FindAppletVocabulary(o) : nullptr;
        if (!row) {
            SetExportMark(o, kMarkUnsupported);
            skipped = true;
            continue;
        }
        ++written;
        WriteAppletChar(&w, '{');
        WriteAppletDecimal(&w, written);
        StreamWriteText(&w, "} ");
        StreamWriteText(&w, row->name);
        WriteAppletChar(&w, '(');
        WriteArguments(&w, o, *row, page);
        WriteAppletChar(&w, ')');
        WriteAttributes(&w, o, *row);
        StreamWriteText(&w, ";\r\n");
        SetExportMark(o, static_cast<uint32_t>(written) + 1);
    }
    WritePageTail(&w, page, fileName);

    if (w.error == kResultOK && skipped) {
        DeselectAll();
        for (SketchObject* o = page->firstObject; o; o = o->nextInSketch)
            if (ExportMark(o) == kMarkUnsupported) SelectSketchObject(o);
    }
    gMarks = { nullptr, 0 };
    FreeMemory(marks);
    SetCurrentSketch(previous, nullptr);
    if (w.error != kResultOK) return w.error;
    return skipped ? kResultAppletPartial : kResultAppletWritten;
}
