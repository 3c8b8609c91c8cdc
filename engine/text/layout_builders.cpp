// Layout trees built from engine data: object names with their decorations, lists of
// names, units, and the placeholders of description templates.
#include "engine/text/layout_builders.h"

#include <cstdio>
#include <cstring>

#include "engine/core/iterations.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/core/straight_objects.h"
#include "engine/core/units.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "engine/text/number_text.h"
#include "engine/text/object_descriptions.h"
#include "engine/text/string_groups.h"

int32_t DescriptionDepth = 0;

namespace {

constexpr int32_t kKindPlot = 55;
constexpr int32_t kKindDerivativeFamily = 57;
constexpr int32_t kKindTriangle = 47;
// Template of each expression form's variable and result name (x, y, theta, r).
constexpr int32_t kFormVariableNames[4][2] = { { 13, 14 }, { 14, 13 }, { 15, 16 }, { 16, 15 } };
// Below this many nested parents a derived name is built from its parents' names; a
// longer chain shows its label text (the same letters, without rebuilding each link).
constexpr int32_t kMaxNameDepth = 64;

const char* const kLabelTemplates[26] = {
    "<%>", "<SO5<%>>", "<SO4<%>>", "<SO2<%>>", "<SO3<%>>", "<H<!100><%>>", "<H<!102><%>>",
    "<H<%'X2'><T'='><%'1'><(<%'Y2'>>>", "<H<T'x='><%'1'><(<T'y'>>>", "<H<%'Y2'><T'='><%'1'><(<%'X2'>>>",
    "<H<T'y='><%'1'><(<T'x'>>>", "<H<T'r='><%'1'><(<!71>>>", "<H<!71><T'='><%'1'><(<T'r'>>>",
    "<T1xx>", "<T1xy>", "<!71>", "<T1xr>",
    "<H<T' '><%l><!d7><%a>>", "<H<T' '><S+2</<%a><%l>>>>", "<H<T' '><S+2</<%l><%a>>>>",
    "<%L>", "<%A>", "<H<T' '><%l>>", "<H<T' '><%a>>", "<!b0>", "<H<!70><%A>>",
};

SketchObject* const* ParentsOf(const SketchObject* o, int32_t* count) {
    *count = 0;
    return reinterpret_cast<SketchObject* const*>(PtrListItems(o->parents, count));
}

bool IsGivenOfTool(const SketchObject* o) {
    const Sketch* s = CurrentSketch();
    return s && o->givenIndex >= 0 && o->givenIndex < s->givenKindCount;
}

LayoutNode* Append(LayoutNode* parent, LayoutNode* node) {
    if (node && parent) AppendLayoutChild(parent, node);
    return node;
}

// Parses a layout text with a placeholder callback (or none); a result of 2 or more
// frees what was made. The tree, when made, is appended to the parent.
ResultCode ParseInto(LayoutNode** out, const char* text, size_t length, LayoutNode* parent,
                     LayoutPlaceholderFn placeholder, void* user) {
    *out = nullptr;
    LayoutParseContext context{ nullptr, placeholder, user, 0 };
    LayoutNode* tree = nullptr;
    const ResultCode rc = ParseLayoutString(&tree, text, length, &context);
    if (rc >= kLayoutParseNoMemory) {
        if (tree) FreeLayoutNode(tree);
        return rc;
    }
    *out = Append(parent, tree);
    return rc;
}
ResultCode ParseInto(LayoutNode** out, const char* text, LayoutNode* parent, LayoutPlaceholderFn placeholder,
                     void* user) {
    return ParseInto(out, text, std::strlen(text), parent, placeholder, user);
}

struct NameContext {
    SketchObject* object;
    int32_t depth;
};

LayoutNode* ParentNameNode(SketchObject* object, int32_t depth);

// The plain name: the label with its subscript, or for a name derived from several
// parents the row of their names.
LayoutNode* NameNode(SketchObject* object, int32_t depth) {
    char text[kLabelBufferSize];
    uint32_t n = 0;
    GetObjectLabel(object, kLabelFromParents, text, &n);
    const int32_t level = object->label.level;
    int32_t count = 0;
    SketchObject* const* parents = ParentsOf(object, &count);
    if (count > 0 && (level == kLabelFromParents || level == kLabelDerived) && depth < kMaxNameDepth) {
        int32_t first = 0, last = 0;
        ParentLabelSource source{};
        ParentLabelRange(object, &first, &last, &source);
        const bool derivative = KindIsA(object->objectKind, kKindDerivativeFamily);
        if ((source.several || derivative) && first <= last && first < count) {
            LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
            if (!row) return nullptr;
            for (int32_t i = first; i <= last && i < count; ++i) {
                if (i > first && parents[i] == parents[i - 1]) continue;
                LayoutNode* part = ParentNameNode(parents[i], depth + 1);
                if (!part) {
                    FreeLayoutNode(row);
                    return nullptr;
                }
                AppendLayoutChild(row, part);
            }
            if (derivative && last <= first && !CreateTextRunWith("'", row)) {
                FreeLayoutNode(row);
                return nullptr;
            }
            return NormalizeLayout(row, nullptr);
        }
    }
    return BuildLabelWithSubscript(text, n, -1, nullptr);
}

LayoutNode* ParentNameNode(SketchObject* object, int32_t depth) { return NameNode(object, depth); }

ResultCode LabelPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                            LayoutParseContext* context) {
    auto* name = static_cast<NameContext*>(context->user);
    if (length > 0) {
        DescriptionContext d{ name->object, 0, 0, nullptr };
        return ExpandObjectPlaceholder(out, content, length, parent, &d);
    }
    *out = Append(parent, NameNode(name->object, name->depth));
    return *out ? kLayoutParseOK : kLayoutParseNoMemory;
}

int32_t DecorationOf(const SketchObject* o) {
    if (o->label.level == kLabelFromParents) {
        switch (o->objectClass) {
            case kClassStraight:
                if (KindIsA(o->objectKind, kKindSegment)) return 3;
                if (KindIsA(o->objectKind, kKindLine)) return 2;
                if (KindIsA(o->objectKind, kKindRay)) return 4;
                return 0;
            case kClassCircle:
            case kClassCircleInterior:
                return 5;
            case kClassPolygonInterior:
                return o->objectKind == kKindTriangle ? 6 : 0;
            case kClassArc:
            case kClassArcInterior:
                return 1;
            default:
                return 0;
        }
    }
    if (o->label.level == kLabelDerived && KindIsA(o->objectKind, kKindPlot)) {
        const bool given = IsGivenOfTool(o);
        switch (FunctionPlotForm(o)) {
            case 0: return given ? 10 : 9;
            case 1: return given ? 8 : 7;
            case 2: return 11;
            case 3: return 12;
            default: return 10;
        }
    }
    return 0;
}

bool KindToldByDecoration(const SketchObject* o) {
    int32_t count = 0;
    ParentsOf(o, &count);
    return o->objectClass == kClassStraight || o->objectClass == kClassCircle ||
           o->objectClass == kClassCircleInterior || o->objectClass == kClassArc ||
           (o->objectClass == kClassPolygonInterior && count == 3);
}

// `child` followed by a run of `text` in a new node of the kind (a subscript or a
// superscript); null when memory runs out, with `child` freed too.
LayoutNode* WrapWithText(int32_t kind, LayoutNode* child, const char* text) {
    LayoutNode* wrap = CreateLayoutNode(kind, nullptr, 0);
    if (wrap && AppendLayoutChild(wrap, child) && CreateTextRunWith(text, wrap)) return wrap;
    // Asked before the wrapper goes: freeing it frees the child too once it holds it.
    const bool held = wrap && child->parent == wrap;
    if (wrap) FreeLayoutNode(wrap);
    if (!held) FreeLayoutNode(child);
    return nullptr;
}

}  // namespace

LayoutNode* BuildLabelWithSubscript(const char* text, uint32_t length, int32_t split, LayoutNode* parent) {
    // The subscript is looked for within what is kept: found in a longer text it would
    // lie past the buffer.
    if (length > kMaxLabelLength) length = kMaxLabelLength;
    if (split < 0) split = static_cast<int32_t>(FindLabelSubscript(text, length));
    if (split > 0 && static_cast<uint32_t>(split) + 2 > length) split = 0;
    char buffer[kLabelBufferSize];
    const uint32_t baseLength = split > 0 ? static_cast<uint32_t>(split) : length;
    std::memcpy(buffer, text, baseLength);
    buffer[baseLength] = 0;
    LayoutNode* base = CreateTextRunWith(buffer, nullptr);
    if (!base) return nullptr;
    if (split <= 0) return Append(parent, base);
    const uint32_t inner = length - static_cast<uint32_t>(split) - 2;
    std::memcpy(buffer, text + split + 1, inner);
    buffer[inner] = 0;
    LayoutNode* sub = WrapWithText(kLayoutSubscript, base, buffer);
    return sub ? Append(parent, sub) : nullptr;
}

LayoutNode* BuildObjectLabelLayout(SketchObject* object, LayoutNode* parent, bool noun, bool inDescription) {
    if (KindIsA(object->objectKind, kKindCalculation) && ValueDisplayModeOf(object) == 0 &&
        object->constructionType != 51) {
        if (inDescription) ++DescriptionDepth;
        LayoutNode* name = MeasurementNameLayout(object, nullptr);
        if (inDescription) --DescriptionDepth;
        return name ? Append(parent, name) : nullptr;
    }
    char text[kLabelBufferSize];
    GetObjectLabel(object, kLabelFromParents, text, nullptr);
    const int32_t decoration = DecorationOf(object);
    NameContext name{ object, 0 };
    LayoutNode* tree = nullptr;
    if (ParseInto(&tree, kLabelTemplates[decoration], nullptr, LabelPlaceholder, &name) >= kLayoutParseNoMemory)
        return nullptr;
    if (noun && !KindToldByDecoration(object)) {
        LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
        char nounText[kLabelBufferSize];
        std::snprintf(nounText, sizeof nounText, "%s ", KindNoun(EffectiveKind(object), kNounSingular));
        if (!row || !CreateTextRunWith(nounText, row)) {
            if (row) FreeLayoutNode(row);
            FreeLayoutNode(tree);
            return nullptr;
        }
        AppendLayoutChild(row, tree);
        tree = NormalizeLayout(row, nullptr);
    }
    return Append(parent, tree);
}

LayoutNode* BuildListLayout(int32_t count, int32_t maximum, bool useAnd, ListItemBuilder builder, void* user) {
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return nullptr;
    for (int32_t i = 0; i < count; ++i) {
        if (i == maximum) {
            if (!CreateTextRunWith(", ...", row)) break;
            return row;
        }
        if (i > 0 && !CreateTextRunWith(useAnd && i == count - 1 ? " and " : ", ", row)) {
            FreeLayoutNode(row);
            return nullptr;
        }
        LayoutNode* item = builder(i, user);
        if (!item) {
            FreeLayoutNode(row);
            return nullptr;
        }
        AppendLayoutChild(row, item);
    }
    return row;
}

namespace {

struct UnitContext {
    int32_t angleExponent;
    int32_t distanceExponent;
};

ResultCode UnitPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                           LayoutParseContext* context) {
    *out = nullptr;
    if (length != 1) return kLayoutParseSyntax;
    const auto* u = static_cast<UnitContext*>(context->user);
    int32_t item = 0, exponent = 1;
    switch (content[0]) {
        case 'A': item = 11 + CurrentSketchAngleUnit(); exponent = u->angleExponent; break;
        case 'a': item = 17 + CurrentSketchAngleUnit(); exponent = u->angleExponent; break;
        case 'L': item = 8 + CurrentSketchDistanceUnit(); exponent = u->distanceExponent; break;
        case 'l': item = 14 + CurrentSketchDistanceUnit(); exponent = u->distanceExponent; break;
        default: return kLayoutParseSyntax;
    }
    if (exponent < 0) exponent = -exponent;
    char text[80];
    GetGroupString(kGroupUnits, item, text, sizeof text);
    LayoutNode* run = CreateTextRunWith(text, nullptr);
    if (!run) return kLayoutParseNoMemory;
    if (exponent != 1) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", exponent);
        run = WrapWithText(kLayoutSuperscript, run, digits);
        if (!run) return kLayoutParseNoMemory;
    }
    *out = Append(parent, run);
    return kLayoutParseOK;
}

}  // namespace

LayoutNode* BuildUnitLayout(int32_t a, int32_t b, bool piForm, LayoutNode* parent) {
    int32_t t;
    if (b == 0 && a == 0) return Append(parent, CreateLayoutNode(kLayoutEmptySlot, nullptr, 0));
    if (b == 0 && a == 1) t = CurrentSketchAngleUnit() != 0 ? 24 : piForm ? 25 : 21;
    else if (b == 0) t = 23;
    else if (a == 0) t = b == 1 ? 20 : 22;
    else if (b < 0) {
        t = a < 0 ? 17 : 18;
        if (a >= 0) b = -b;
    } else {
        t = a > 0 ? 17 : 19;
        if (a <= 0) a = -a;
    }
    UnitContext u{ a, b };
    LayoutNode* tree = nullptr;
    if (ParseInto(&tree, kLabelTemplates[t], nullptr, UnitPlaceholder, &u) >= kLayoutParseNoMemory) return nullptr;
    return Append(parent, NormalizeLayout(tree, nullptr));
}

namespace {

struct ListUser {
    DescriptionContext* context;
    SketchObject* const* parents;
    int32_t count;
    int32_t mode;       // '1' names, '2' pairs, '3' iteration pairs, '4' pre-images, '5' maps
    int32_t seedBase;   // iterations: where the seeds start
    int32_t seedCount;
    int32_t map;        // '5': the map whose images are listed (0-based)
};

LayoutNode* PairNode(SketchObject* a, SketchObject* b) {
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row) return nullptr;
    bool ok = BuildObjectLabelLayout(a, row, false, true) && CreateTextRunWith(" ", row);
    LayoutNode* arrow = ok ? CreateLayoutNode(kLayoutGlyph, row, 0) : nullptr;
    if (arrow) SetGlyphCode(arrow, 0xDE);
    ok = arrow && CreateTextRunWith(" ", row) && BuildObjectLabelLayout(b, row, false, true);
    if (!ok) {
        FreeLayoutNode(row);
        return nullptr;
    }
    return row;
}

LayoutNode* ListItem(int32_t i, void* user);

// One map's images of every seed, bracketed when there are several.
LayoutNode* MapItem(int32_t map, void* user) {
    ListUser inner = *static_cast<ListUser*>(user);
    inner.mode = 'i';
    inner.map = map;
    LayoutNode* list = BuildListLayout(inner.seedCount, 4, false, ListItem, &inner);
    if (!list || inner.seedCount <= 1) return list;
    LayoutNode* bracket = CreateLayoutNode(kLayoutBrackets, nullptr, 0);
    if (!bracket) {
        FreeLayoutNode(list);
        return nullptr;
    }
    AppendLayoutChild(bracket, list);
    return bracket;
}

LayoutNode* ListItem(int32_t i, void* user) {
    auto* u = static_cast<ListUser*>(user);
    const int32_t seed = u->seedBase + i;
    switch (u->mode) {
        case '2': return PairNode(u->parents[2 * i], u->parents[2 * i + 1]);
        case '3': return PairNode(u->parents[seed], u->parents[seed + u->seedCount]);
        case '4': return BuildObjectLabelLayout(u->parents[seed], nullptr, false, true);
        case '5': return MapItem(i, user);
        case 'i': return BuildObjectLabelLayout(u->parents[seed + (u->map + 1) * u->seedCount], nullptr, false, true);
        default: return BuildObjectLabelLayout(u->parents[i], nullptr, false, true);
    }
}

}  // namespace

namespace {

// "TA": the user's angle of a transformation (double at byte 16, its unit at byte 24),
// with "Pi" shown as the pi glyph.
ResultCode AngleField(LayoutNode** out, LayoutNode* parent, const SketchObject* object) {
    int32_t words = 0;
    PtrListSize(object->constructionData, &words);
    // More than seven 4-byte words: the angle and its unit lie within.
    if (words <= 0 || static_cast<uint32_t>(words) * sizeof(void*) <= 7 * 4) return kLayoutParseSyntax;
    const uint8_t* data = reinterpret_cast<const uint8_t*>(PtrListData(object->constructionData));
    double angle;
    int32_t unit;
    std::memcpy(&angle, data + 16, sizeof angle);
    std::memcpy(&unit, data + 24, sizeof unit);
    char text[256];
    FormatNumberText(text, sizeof text, angle, false);
    char unitText[64];
    GetGroupString(kGroupUnits, 11 + unit, unitText, sizeof unitText);
    AppendToFixedBuffer(text, sizeof text, unitText, 0);
    const char* pi = std::strstr(text, "Pi");
    if (!pi) {
        *out = Append(parent, CreateTextRunWith(text, nullptr));
        return *out ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    char layout[600] = "<H";
    const size_t before = static_cast<size_t>(pi - text);
    if (before) {
        std::strcat(layout, "<T'");
        std::strncat(layout, text, before);
        std::strcat(layout, "'>");
    }
    std::strcat(layout, "<!70>");
    if (pi[2]) {
        std::strcat(layout, "<T'");
        std::strcat(layout, pi + 2);
        std::strcat(layout, "'>");
    }
    std::strcat(layout, ">");
    const ResultCode rc = ParseInto(out, layout, parent, nullptr, nullptr);
    return rc >= kLayoutParseNoMemory ? rc : kLayoutParseOK;
}

}  // namespace

LayoutNode* BuildAxisNameLayout(SketchObject* system, bool horizontal, LayoutNode* parent) {
    int32_t count = 0;
    SketchObject* const* axes = ParentsOf(system, &count);
    if (count < 2) return nullptr;
    const bool firstIsHorizontal = ClassData<AxisData>(axes[0])->horizontal != 0;
    SketchObject* axis = firstIsHorizontal == horizontal ? axes[0] : axes[1];
    return BuildObjectLabelLayout(axis, parent, false, DescriptionDepth > 0);
}

ResultCode ExpandObjectPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                   DescriptionContext* context) {
    *out = nullptr;
    SketchObject* object = context->object;
    if (length <= 0 || !object) return kLayoutParseSyntax;
    int32_t count = 0;
    SketchObject* const* parents = ParentsOf(object, &count);
    if (length > 3 && content[0] == 'R') {
        // A layout element parsed with the same callback.
        LayoutNode* tree = nullptr;
        const ResultCode rc =
            ParseInto(&tree, content + 1, static_cast<size_t>(length - 1), nullptr, DescriptionPlaceholder, context);
        if (rc >= kLayoutParseNoMemory) return rc;
        *out = Append(parent, NormalizeLayout(tree, nullptr));
        return *out ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    if (length == 2 && content[0] == 'T' && content[1] == 'A') return AngleField(out, parent, object);
    if (content[0] == '@') {
        if (length != 2) return kLayoutParseSyntax;
        ListUser u{ context, parents, count, content[1], 0, 0, 0 };
        LayoutNode* list = nullptr;
        if (content[1] == '1') {
            list = BuildListLayout(count, 6, true, ListItem, &u);
        } else if (content[1] == '2') {
            list = BuildListLayout(count / 2, 6, true, ListItem, &u);
        } else if (content[1] >= '3' && content[1] <= '5') {
            // The iteration lists: only a rule whose counts fit its parents has them.
            if (object->objectClass != kClassIteration || IterationChainBase(object) > count)
                return kLayoutParseSyntax;
            u.seedBase = IterationSeedBase(object);
            u.seedCount = IterationDataOf(object)->parameters.seedCount;
            const int32_t maps = IterationDataOf(object)->parameters.mapCount;
            if (content[1] == '5') list = BuildListLayout(maps, 3, true, ListItem, &u);
            else list = BuildListLayout(u.seedCount, 4, true, ListItem, &u);
        } else {
            return kLayoutParseSyntax;
        }
        if (!list) return kLayoutParseNoMemory;
        *out = Append(parent, list);
        return kLayoutParseOK;
    }
    char mode = 0;
    int32_t at = 0;
    if (content[0] < '0' || content[0] > '9') {
        mode = content[0];
        at = 1;
        if (mode != '+' && mode != 'L' && mode != 'X' && mode != 'Y' && mode != 'd' && mode != 'r')
            return kLayoutParseSyntax;
    }
    if (at >= length) return kLayoutParseSyntax;
    if (count > 9) count = 9;
    LayoutNode* last = nullptr;
    for (int32_t i = at; i < length; ++i) {
        if (content[i] < '0' || content[i] > '9') return kLayoutParseSyntax;
        const int32_t digit = content[i] - '0';
        // A digit naming a parent the object does not have: the template does not fit.
        if (digit > count) {
            if (last) FreeLayoutNode(last);
            return kLayoutParseSyntax;
        }
        SketchObject* named = digit == 0 ? object : parents[digit - 1];
        LayoutNode* node = nullptr;
        switch (mode) {
            case '+':
                node = BuildExpressionNameLayout(named, nullptr);
                break;
            case 'L':
                node = BuildObjectLabelLayout(named, nullptr, true, DescriptionDepth > 0);
                break;
            case 'X':
            case 'Y':
                // A custom tool's given stands for whatever system the user picks.
                if (named->givenIndex >= 0) {
                    node = CreateTextRunWith(mode == 'X' ? "x" : "y", nullptr);
                } else if (named->constructionType != kTypeCoordinateSystem) {
                    if (last) FreeLayoutNode(last);
                    return kLayoutParseSyntax;
                } else {
                    node = BuildAxisNameLayout(named, mode == 'X', nullptr);
                }
                break;
            case 'd':
            case 'r': {
                int32_t form = -1;
                if (KindIsA(named->objectKind, kKindFunction)) form = ExpressionFormOf(named);
                else if (KindIsA(named->objectKind, kKindPlot)) form = FunctionPlotForm(named);
                if (form < 0 || form > 3) {
                    if (last) FreeLayoutNode(last);
                    return kLayoutParseSyntax;
                }
                node = BuildVariableNameLayout(form, mode == 'r', nullptr);
                break;
            }
            default:
                node = BuildObjectLabelLayout(named, nullptr, false, DescriptionDepth > 0);
                break;
        }
        if (!node) {
            if (last) FreeLayoutNode(last);
            return kLayoutParseNoMemory;
        }
        if (last) FreeLayoutNode(last);
        last = node;
    }
    *out = Append(parent, last);
    return kLayoutParseOK;
}

LayoutNode* BuildVariableNameLayout(int32_t form, bool result, LayoutNode* parent) {
    if (form < 0 || form > 3) return nullptr;
    LayoutNode* tree = nullptr;
    ParseInto(&tree, kLabelTemplates[kFormVariableNames[form][result ? 1 : 0]], parent, nullptr, nullptr);
    return tree;
}

LayoutNode* WrapInParentheses(LayoutNode* node) {
    if (!node) return nullptr;
    if (DescriptionDepth <= 0) {
        LayoutNode* parens = CreateLayoutNode(kLayoutParens, nullptr, 0);
        if (!parens) {
            FreeLayoutNode(node);
            return nullptr;
        }
        AppendLayoutChild(parens, node);
        return parens;
    }
    LayoutNode* row = CreateLayoutNode(kLayoutRow, nullptr, 0);
    if (!row || !CreateTextRunWith("(", row)) {
        if (row) FreeLayoutNode(row);
        FreeLayoutNode(node);
        return nullptr;
    }
    AppendLayoutChild(row, node);
    if (!CreateTextRunWith(")", row)) {
        FreeLayoutNode(row);
        return nullptr;
    }
    return row;
}

// ---- Description layouts

namespace {

constexpr int32_t kItemLetHead = 106;
constexpr int32_t kItemHiddenMark = 112;
constexpr int32_t kItemTitleLayout = 55;
constexpr uint32_t kMaxCodeText = 1023;

ResultCode ParseWith(LayoutNode** out, const char* text, size_t length, LayoutNode* parent, DescriptionContext* d) {
    return ParseInto(out, text, length, parent, DescriptionPlaceholder, d);
}

}  // namespace

ResultCode DescriptionPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                  LayoutParseContext* context) {
    *out = nullptr;
    auto* d = static_cast<DescriptionContext*>(context->user);
    SketchObject* object = d->object;
    if (length == 1 && content[0] == '#') {
        if (d->step == 0) *out = Append(parent, CreateLayoutNode(kLayoutEmptySlot, nullptr, 0));
        else {
            char text[32];
            std::snprintf(text, sizeof text, "%i. ", d->step);
            *out = Append(parent, CreateTextRunWith(text, nullptr));
        }
        return *out ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    if (length == 1 && content[0] == '$') {
        *out = Append(parent, d->held);
        d->held = nullptr;
        return *out ? kLayoutParseOK : kLayoutParseSyntax;
    }
    if (length >= 1 && content[0] == '&') {
        if (d->held) FreeLayoutNode(d->held);
        d->held = nullptr;
        LayoutNode* held = nullptr;
        ResultCode rc = length == 1 ? ParseWith(&held, "<%0>", 4, nullptr, d)
                                    : ParseWith(&held, content + 1, static_cast<size_t>(length - 1), nullptr, d);
        if (rc >= kLayoutParseNoMemory) return rc;
        d->held = held;
        const bool quoted = object->label.level > kLabelFromParents && object->label.useInTools;
        const char* wrap = quoted ? "<H<T'\"'><SW2<%$>><T'\"'>>" : "<SW2<%$>>";
        rc = ParseWith(out, wrap, std::strlen(wrap), parent, d);
        if (d->held) FreeLayoutNode(d->held);
        d->held = nullptr;
        return rc;
    }
    if (length == 1 && content[0] == '*') {
        if (object->hidden == kShown) *out = Append(parent, CreateLayoutNode(kLayoutEmptySlot, nullptr, 0));
        else *out = Append(parent, CreateTextRunWith(GroupText(kGroupLayoutTemplates, kItemHiddenMark), nullptr));
        return *out ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    if (length == 1 && content[0] == '=') {
        const char* head = GroupText(kGroupLayoutTemplates, kItemLetHead);
        return ParseWith(out, head, std::strlen(head), parent, d);
    }
    if (length == 2 && content[0] == '^') {
        // Numbers in descriptions write pi as "Pi".
        ObjectTextContext c{ object, 0 };
        char text[kMaxCodeText + 1];
        uint32_t n = ObjectDescriptionField(content[1], &c, 0, nullptr);
        if (n > kMaxCodeText) n = kMaxCodeText;
        ObjectDescriptionField(content[1], &c, n, text);
        text[n] = 0;
        *out = Append(parent, CreateTextRunWith(text, nullptr));
        return *out ? kLayoutParseOK : kLayoutParseNoMemory;
    }
    return ExpandObjectPlaceholder(out, content, length, parent, d);
}

namespace {

LayoutNode* ExpandTemplateAtDepth(int32_t step, SketchObject* object, const char* templ, int32_t depth) {
    DescriptionContext d{ object, 0, step, nullptr };
    const int32_t saved = DescriptionDepth;
    DescriptionDepth = depth;
    LayoutNode* tree = nullptr;
    const ResultCode rc = ParseWith(&tree, templ, std::strlen(templ), nullptr, &d);
    DescriptionDepth = saved;
    if (d.held) FreeLayoutNode(d.held);
    if (rc >= kLayoutParseNoMemory) return nullptr;
    return tree;
}

}  // namespace

LayoutNode* ExpandDescriptionTemplate(int32_t step, SketchObject* object, const char* templ) {
    return ExpandTemplateAtDepth(step, object, templ, 1);
}

LayoutNode* ExpandObjectTemplate(SketchObject* object, const char* templ) {
    return ExpandTemplateAtDepth(0, object, templ, 0);
}

LayoutNode* BuildObjectTitleLayout(SketchObject* object) {
    const char* templ = KindIsA(object->objectKind, kKindCalculation) ? "<%0>" : GroupText(kGroupCalculator, kItemTitleLayout);
    return ExpandDescriptionTemplate(0, object, templ);
}

LayoutNode* BuildObjectDescriptionLayout(int32_t step, SketchObject* object) {
    return ExpandDescriptionTemplate(step, object, GroupText(kGroupLayoutTemplates, DescriptionTemplateIndex(object, 1)));
}
