// Superscripts and subscripts (a smaller script beside a base) and fractions.
#include <algorithm>

#include "engine/core/services/drawing_metrics.h"
#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"

namespace {

const LayoutNode kMissing{};

// The parser does not check child counts; a missing part measures as nothing.
const LayoutNode& Part(const LayoutNode* node, int32_t index) {
    const LayoutNode* c = LayoutChildAt(node, index);
    return c ? *c : kMissing;
}

int32_t DelegateToPart(LayoutNode* part, LayoutNode** holder, LayoutDrawState* state,
                       ScreenPoint point, int32_t* side) {
    ScreenPoint rel{ static_cast<int16_t>(point.x - part->x),
                     static_cast<int16_t>(point.y - part->y) };
    rel = ClampPointToNode(part, rel);
    *holder = part;
    const LayoutKindRecord& row = LayoutKindTable[part->kind];
    return row.caretFromPoint ? row.caretFromPoint(holder, state, rel, side) : 0;
}

}  // namespace

int32_t ScriptEdgeAxis(LayoutNode* node, int32_t side, int32_t* shift, int32_t* textAscent) {
    LayoutNode* base = node->firstChild;
    if (!base) return EdgeAxisOfStructure(node, side, shift, textAscent);
    if (side == 0) *shift += base->y;
    const LayoutKindRecord& row = LayoutKindTable[base->kind];
    if (!row.edgeAxis) return EdgeAxisOfStructure(base, side, shift, textAscent);
    return row.edgeAxis(base, side, shift, textAscent);
}

int32_t MeasureScript(LayoutNode* node, LayoutDrawState*) {
    const LayoutNode& b = Part(node, 0);
    const LayoutNode& s = Part(node, 1);
    const int32_t A = b.ascent, D = b.descent;
    int32_t r;  // height of the script's baseline above the base's
    if (node->kind == kLayoutSuperscript) {
        r = A / 5;
        if (s.ascent + r < A) r = A - s.ascent;
        if (r - s.descent < (A - D) / 2) r = (A - D) / 5 + s.descent;
    } else {
        r = A - s.ascent;
        if (r - s.descent > -D) r = s.descent - D;
        if (s.ascent + r > (A - D) / 2) r = (3 * (A - D)) / 4 - s.ascent;
    }
    LayoutNode m{};
    m.width = b.width + b.overhang + s.width + s.overhang;
    m.overhang = 0;
    m.ascent = m.caretAscent = std::max(s.ascent + r, A);
    m.descent = std::max(D, s.descent - r);
    m.caretCount = b.caretCount + s.caretCount + 2;
    if (LayoutNode* base = node->firstChild) {
        base->x = 0;
        base->y = 0;
        if (LayoutNode* script = base->nextSibling) {
            script->x = static_cast<int16_t>(b.width + b.overhang);
            script->y = static_cast<int16_t>(-r);
        }
    }
    return StoreLayoutMetrics(node, m);
}

void DrawScript(LayoutNode* node, LayoutDrawState* state) {
    LayoutNode* base = node->firstChild;
    if (!base) return;
    const int16_t px = state->x, py = state->y;
    state->x = static_cast<int16_t>(px + base->x);
    state->y = static_cast<int16_t>(py + base->y);
    if (LayoutKindTable[base->kind].draw) LayoutKindTable[base->kind].draw(base, state);
    // The script, and anything the parser let follow it, one script level up.
    for (LayoutNode* script = base->nextSibling; script; script = script->nextSibling) {
        ++state->style.field[kStyleScriptLevel];
        state->x = static_cast<int16_t>(px + script->x);
        state->y = static_cast<int16_t>(py + script->y);
        PortApplyTextStyle(state);
        if (LayoutKindTable[script->kind].draw) LayoutKindTable[script->kind].draw(script, state);
        --state->style.field[kStyleScriptLevel];
        PortApplyTextStyle(state);
    }
    state->x = px;
    state->y = py;
}

int32_t ScriptCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                             int32_t* side) {
    LayoutNode* node = *holder;
    LayoutNode* base = node->firstChild;
    LayoutNode* script = base ? base->nextSibling : nullptr;
    if (!base || !script) return 0;
    const int32_t baseColumn = base->width + base->overhang;
    if (point.x < baseColumn) {
        if (point.y > base->ascent) return DelegateToPart(base, holder, state, point, side);
        return point.x > base->width / 2 ? base->caretCount + 1 : 0;
    }
    if (point.x > node->width) return node->caretCount;
    if (point.y < script->ascent + script->descent - node->ascent) {
        ++state->style.field[kStyleScriptLevel];
        const int32_t stop = DelegateToPart(script, holder, state, point, side);
        --state->style.field[kStyleScriptLevel];
        return stop;
    }
    return point.x > baseColumn + script->width / 2 ? node->caretCount : base->caretCount;
}

int32_t ScriptChildCaretOffset(LayoutNode* node, LayoutNode* child) {
    const int32_t own = CaretOffsetOfNode(node);
    if (child == node->firstChild) return own;
    return own + node->firstChild->caretCount + 1;
}

void ScriptChildStyle(LayoutNode* node, LayoutNode* child, const TextStyle*, TextStyle* out) {
    FillTextStyle(out, 0);
    if (child != node->firstChild) out->field[kStyleScriptLevel] = 1;
}

LayoutNode* NormalizeScript(LayoutNode* node, const TextStyle* inherited) {
    LayoutNode* hoisted = HoistCommonStyle(node, inherited);
    if (hoisted != node) return hoisted;
    LayoutNode* base = node->firstChild;
    LayoutNode* script = base ? base->nextSibling : nullptr;
    // Only a well-formed script (base and script, nothing more) gives way to its base:
    // with more children the unwrapped node would leave them without a place.
    if (script && !script->nextSibling && script->kind == kLayoutEmptySlot) {
        FreeLayoutNode(script);
        UnwrapLayoutNode(node);
        MarkNeedsNormalize(base);
        return base;
    }
    return node;
}

LayoutNode* MakeTwoSlotTemplate(int32_t kind, LayoutNode** first, LayoutNode** second,
                                LayoutNode** third) {
    LayoutNode* node = CreateLayoutNode(kind, nullptr, 0);
    if (!node) return nullptr;
    LayoutNode* a = CreateQuestionMarkRun(node);
    LayoutNode* b = a ? CreateQuestionMarkRun(node) : nullptr;
    if (!b) {
        FreeLayoutNode(node);
        return nullptr;
    }
    *first = a;
    *second = b;
    *third = a;
    return node;
}

LayoutNode* SuperscriptTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return MakeTwoSlotTemplate(kLayoutSuperscript, c, s, e);
}
LayoutNode* SubscriptTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return MakeTwoSlotTemplate(kLayoutSubscript, c, s, e);
}
LayoutNode* FractionTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return MakeTwoSlotTemplate(kLayoutFraction, c, s, e);
}

static int32_t PartPlainText(LayoutNode* part, char** cursor, LayoutWriteContext* context) {
    if (!part) return 0;
    const LayoutKindRecord& row = LayoutKindTable[part->kind];
    return row.writePlainText ? row.writePlainText(part, cursor, context) : 0;
}

int32_t SuperscriptPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    LayoutNode* base = node->firstChild;
    int32_t n = PutLayoutChar(cursor, '(');
    n += PartPlainText(base, cursor, context);
    n += PutLayoutChar(cursor, '^');
    n += PartPlainText(base ? base->nextSibling : nullptr, cursor, context);
    n += PutLayoutChar(cursor, ')');
    return n;
}

int32_t SubscriptPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    LayoutNode* base = node->firstChild;
    int32_t n = PartPlainText(base, cursor, context);
    if (LayoutNode* script = base ? base->nextSibling : nullptr) {
        n += PutLayoutChar(cursor, '[');
        n += PartPlainText(script, cursor, context);
        n += PutLayoutChar(cursor, ']');
    }
    return n;
}

int32_t ScriptNeedsGrouping(LayoutNode* node) {
    return NodeNeedsGrouping(node->firstChild);
}

int32_t MeasureFraction(LayoutNode* node, LayoutDrawState* state) {
    auto* f = static_cast<FractionNode*>(node);
    const LayoutNode& n = Part(node, 0);
    const LayoutNode& d = Part(node, 1);
    const int32_t size = ScriptLevelFontSize(&state->style);
    const int32_t bar = size > 24 ? size / 12 : DrawingMetrics.intMetricsA[kMetricLineWeight];
    const int32_t g = DrawingMetrics.intMetricsA[kMetricFractionGap];
    const int32_t margin = DrawingMetrics.intMetricsA[kMetricFractionMargin];
    f->barThickness = bar;
    LayoutNode m{};
    m.ascent = m.caretAscent = bar / 2 + n.descent + n.ascent + g;
    m.descent = (bar + 1) / 2 + d.descent + d.ascent + g;
    const int32_t w = std::max(n.width + n.overhang, d.width + d.overhang);
    f->sideExtension = std::max(2, w / 32);
    m.width = w + 2 * (f->sideExtension + margin);
    m.overhang = 0;
    m.caretCount = n.caretCount + d.caretCount + 3;
    if (LayoutNode* num = node->firstChild) {
        num->x = static_cast<int16_t>((m.width - num->width) / 2);
        num->y = static_cast<int16_t>(-(bar / 2) - num->descent - g);
        if (LayoutNode* den = num->nextSibling) {
            den->x = static_cast<int16_t>((m.width - den->width) / 2);
            den->y = static_cast<int16_t>((bar + 1) / 2 + den->ascent + g);
        }
    }
    return StoreLayoutMetrics(node, m);
}

void DrawFraction(LayoutNode* node, LayoutDrawState* state) {
    const auto* f = static_cast<const FractionNode*>(node);
    DrawChildren(node, state);
    const int32_t margin = DrawingMetrics.intMetricsA[kMetricFractionMargin];
    const int32_t top = state->y - f->barThickness / 2;
    const ScreenRect bar{ static_cast<int16_t>(state->x + margin), static_cast<int16_t>(top),
                          static_cast<int16_t>(state->x + node->width - margin),
                          static_cast<int16_t>(top + f->barThickness) };
    PortBeginOutline(state);
    PortFillRect(state, &bar);
    PortEndOutline(state);
}

int32_t FractionCaretFromPoint(LayoutNode** holder, LayoutDrawState* state, ScreenPoint point,
                               int32_t* side) {
    const auto* f = static_cast<const FractionNode*>(*holder);
    LayoutNode* num = f->firstChild;
    LayoutNode* den = num ? num->nextSibling : nullptr;
    if (!num || !den) return 0;
    const int32_t h = DrawingMetrics.intMetricsA[kMetricFractionGap] + f->barThickness / 2;
    if (point.y >= -h && point.y <= h) return num->caretCount + (point.y <= 0 ? 1 : 2);
    return DelegateToPart(point.y < -h ? num : den, holder, state, point, side);
}

int32_t FractionChildCaretOffset(LayoutNode* node, LayoutNode* child) {
    const int32_t own = CaretOffsetOfNode(node);
    if (child == node->firstChild) return own + 1;
    return own + node->firstChild->caretCount + 2;
}

int32_t FractionPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    LayoutNode* num = node->firstChild;
    int32_t n = PutLayoutChar(cursor, '(');
    n += PartPlainText(num, cursor, context);
    n += PutLayoutChar(cursor, '/');
    n += PartPlainText(num ? num->nextSibling : nullptr, cursor, context);
    n += PutLayoutChar(cursor, ')');
    return n;
}
