// Parentheses, brackets, braces, absolute-value bars and radicals around one content node.
#include <algorithm>

#include "engine/core/services/text_port.h"
#include "engine/text/layout.h"
#include "engine/text/layout_kinds.h"

namespace {

const LayoutNode kNoContent{};

const LayoutNode& Content(const LayoutNode* node) {
    return node->firstChild ? *node->firstChild : kNoContent;
}

void DelimiterChars(int32_t kind, char* open, char* close) {
    switch (kind) {
    case kLayoutBrackets: *open = '['; *close = ']'; break;
    case kLayoutBraces:   *open = '{'; *close = '}'; break;
    case kLayoutAbsBars:  *open = '|'; *close = '|'; break;
    default:              *open = '('; *close = ')'; break;
    }
}

}  // namespace

int32_t MeasureDelimiter(LayoutNode* node, LayoutDrawState* state) {
    auto* d = static_cast<DelimiterNode*>(node);
    const LayoutNode& c = Content(node);
    LayoutNode m{};
    m.caretCount = c.caretCount + 2;
    char open, close;
    DelimiterChars(node->kind, &open, &close);
    int32_t contentX = 0;
    if (node->kind == kLayoutAbsBars || node->kind == kLayoutRadical) {
        d->mode = 0;
    } else {
        int32_t a = 0, dsc = 0, leading = 0;
        PortFontMetrics(state, &a, &dsc, &leading);
        d->mode = a == c.ascent && dsc == c.descent ? 1 : 2;
        if (d->mode == 1) {
            const int32_t w1 = PortGlyphWidth(state, static_cast<unsigned char>(open), a);
            const int32_t w2 = PortGlyphWidth(state, static_cast<unsigned char>(close), a);
            d->sideWidth = std::max(w1, w2);
            m.ascent = m.caretAscent = a;
            m.descent = dsc;
            m.width = c.width + c.overhang + w1 + w2;
            contentX = d->sideWidth;
        }
    }
    const int32_t h = c.ascent + c.descent;
    if (d->mode == 2) {
        int32_t w1 = 0, w2 = 0, symbolAscent = 0, symbolDescent = 0;
        PortMeasureSymbolPair(state, open, close, h, &w1, &w2, &symbolAscent, &symbolDescent);
        d->height = symbolAscent;
        d->thickness = symbolDescent;
        m.ascent = c.ascent;
        m.descent = c.descent;
        const int32_t extra = symbolAscent + symbolDescent - h;
        if (extra > 0) {
            m.ascent += extra / 2;
            m.descent += extra - extra / 2;
        }
        d->sideWidth = std::max(w1, w2);
        m.width = c.width + c.overhang + w1 + w2;
        m.caretAscent = m.ascent;
        contentX = d->sideWidth;
    } else if (d->mode == 0) {
        // Line thickness, bar width and overbar gap grow with the content's height.
        const int32_t t = std::max(1, (h + 40) / 80);
        d->innerGap = d->outerGap = d->thickness = t;
        d->height = h + 2 * t;
        m.ascent = c.ascent + 2 * t;
        m.descent = c.descent + 2 * t;
        d->barWidth = std::max(1, (d->height + 20) / 40);
        d->overbarGap = std::max(1, (d->height + 25) / 70);
        int32_t leftPart, rightPart;
        if (node->kind == kLayoutAbsBars) {
            d->innerGap = d->outerGap = 2 * t;
            d->sideWidth = d->barWidth;
            leftPart = rightPart = d->barWidth + 4 * t;
        } else {
            d->sideWidth = d->height / 2;
            leftPart = d->height / 2 + 2 * t;
            rightPart = 2 * t;
            m.ascent = c.ascent + 2 * t + d->overbarGap;
            d->height += d->overbarGap / 2;
            m.descent = c.descent;
        }
        m.width = c.width + c.overhang + leftPart + rightPart;
        m.caretAscent = m.ascent;
        contentX = leftPart;
    }
    if (node->firstChild) {
        node->firstChild->x = static_cast<int16_t>(contentX);
        node->firstChild->y = 0;
    }
    m.overhang = 0;
    return StoreLayoutMetrics(node, m);
}

void DrawDelimiter(LayoutNode* node, LayoutDrawState* state) {
    auto* d = static_cast<DelimiterNode*>(node);
    const LayoutNode& c = Content(node);
    DrawChildren(node, state);
    char open, close;
    DelimiterChars(node->kind, &open, &close);
    const int16_t px = state->x, py = state->y;
    const int32_t closeOffset = d->sideWidth + c.width + c.overhang;
    if (d->mode == 1) {
        PortDrawGlyph(state, static_cast<unsigned char>(open), node->caretAscent);
        state->x = static_cast<int16_t>(px + closeOffset);
        PortDrawGlyph(state, static_cast<unsigned char>(close), node->caretAscent);
        state->x = px;
        return;
    }
    PortBeginOutline(state);
    if (d->mode == 2) {
        // Centre the Symbol characters on the node's box.
        const int32_t symbolAscent = d->height, symbolDescent = d->thickness;
        const int32_t baseline = py - node->ascent +
                                 (node->ascent + node->descent - symbolAscent - symbolDescent) / 2 +
                                 symbolAscent;
        state->y = static_cast<int16_t>(baseline);
        PortDrawSymbolPair(state, open, close, c.ascent + c.descent, closeOffset);
        state->y = py;
    } else if (node->kind == kLayoutAbsBars) {
        const int32_t top = py + d->thickness - node->ascent;
        const int32_t bottom = top + d->height;
        const ScreenRect left{ static_cast<int16_t>(px + d->outerGap), static_cast<int16_t>(top),
                               static_cast<int16_t>(px + d->outerGap + d->barWidth),
                               static_cast<int16_t>(bottom) };
        const ScreenRect right{ static_cast<int16_t>(px + node->width - d->outerGap - d->barWidth),
                                static_cast<int16_t>(top),
                                static_cast<int16_t>(px + node->width - d->outerGap),
                                static_cast<int16_t>(bottom) };
        PortFillRect(state, &left);
        PortFillRect(state, &right);
    } else {
        PortSelectStylePen(state, 1, (node->ascent + node->descent) / 50 + 1);
        const int32_t x0 = px + d->outerGap;
        const int32_t top = py + d->thickness - node->ascent;
        const int32_t bottom = top + d->height;
        const ScreenPoint sign[5] = {
            { static_cast<int16_t>(x0), static_cast<int16_t>(bottom - d->height / 3) },
            { static_cast<int16_t>(x0 + d->sideWidth / 4), static_cast<int16_t>(bottom - d->height / 3) },
            { static_cast<int16_t>(x0 + d->sideWidth / 2), static_cast<int16_t>(bottom) },
            { static_cast<int16_t>(x0 + d->sideWidth), static_cast<int16_t>(top) },
            { static_cast<int16_t>(px + node->width - d->outerGap), static_cast<int16_t>(top) },
        };
        PortDrawPolyline(state, sign, 5);
        PortSelectStylePen(state, 1, 1);
    }
    PortEndOutline(state);
}

int32_t DelimiterCaretFromPoint(LayoutNode** holder, LayoutDrawState*, ScreenPoint point,
                                int32_t* side) {
    const auto* d = static_cast<const DelimiterNode*>(*holder);
    const LayoutNode& c = Content(d);
    const int32_t x = std::clamp<int32_t>(point.x, 0, std::max(0, d->width - 1));
    if (x <= d->width / 2) {
        *side = x > d->sideWidth / 2 ? 1 : 0;
        return *side;
    }
    const int32_t xr = x - (d->width - d->sideWidth - (d->mode == 0 ? 2 * d->thickness : 0));
    *side = xr > d->sideWidth / 2 ? 1 : 0;
    return c.caretCount + 1 + *side;
}

int32_t DelimiterChildCaretOffset(LayoutNode* node, LayoutNode*) {
    return CaretOffsetOfNode(node) + 1;
}

static LayoutNode* DelimiterTemplate(int32_t kind, LayoutNode** caret, LayoutNode** selStart,
                                     LayoutNode** selEnd) {
    LayoutNode* node = CreateLayoutNode(kind, nullptr, 0);
    if (!node) return nullptr;
    LayoutNode* run = CreateQuestionMarkRun(node);
    if (!run) {
        FreeLayoutNode(node);
        return nullptr;
    }
    *caret = *selStart = *selEnd = run;
    return node;
}

LayoutNode* ParensTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return DelimiterTemplate(kLayoutParens, c, s, e);
}
LayoutNode* BracketsTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return DelimiterTemplate(kLayoutBrackets, c, s, e);
}
LayoutNode* BracesTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return DelimiterTemplate(kLayoutBraces, c, s, e);
}
LayoutNode* AbsBarsTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return DelimiterTemplate(kLayoutAbsBars, c, s, e);
}
LayoutNode* RadicalTemplate(LayoutNode** c, LayoutNode** s, LayoutNode** e) {
    return DelimiterTemplate(kLayoutRadical, c, s, e);
}

int32_t DelimiterPlainText(LayoutNode* node, char** cursor, LayoutWriteContext* context) {
    // The pairs "()[]{}||*)", where "*" stands for "sqrt(".
    static const char kPairs[] = "()[]{}||*)";
    const int32_t pair = node->kind - kLayoutParens;
    const char open = kPairs[2 * pair], close = kPairs[2 * pair + 1];
    int32_t n = open == '*' ? PutLayoutText(cursor, "sqrt(", 5) : PutLayoutChar(cursor, open);
    n += ChildrenPlainText(node, cursor, context);
    n += PutLayoutChar(cursor, close);
    return n;
}

int32_t CopyDelimiter(LayoutNode* copy, const LayoutNode* source) {
    auto* to = static_cast<DelimiterNode*>(copy);
    const auto* from = static_cast<const DelimiterNode*>(source);
    to->mode = from->mode;
    to->sideWidth = from->sideWidth;
    to->height = from->height;
    to->thickness = from->thickness;
    to->innerGap = from->innerGap;
    to->outerGap = from->outerGap;
    to->barWidth = from->barWidth;
    to->overbarGap = from->overbarGap;
    return 1;
}
