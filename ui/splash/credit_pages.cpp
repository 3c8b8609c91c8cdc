#include <cstdio>
#include <cstring>

#include "engine/core/services/later_release.h"
#include "engine/text/layout.h"
#include "ui/portable/credit_texts.h"
#include "ui/splash/splash_wnd.h"

namespace {

constexpr int32_t kBuildNumber = 400;
constexpr char kReleaseNumber[] = "4.0";
constexpr char kReleaseLine[] = "<SW2<H<T'Version '><%3>>>";
static_assert(kCreditPageCount == kCreditTextPages);

LayoutNode* Attach(LayoutNode* parent, LayoutNode* node) {
    if (node && parent) AppendLayoutChild(parent, node);
    return node;
}

ResultCode ExpandCreditPlaceholder(LayoutNode** out, const char* content, int32_t length, LayoutNode* parent,
                                   LayoutParseContext* context) {
    *out = nullptr;
    if (length != 1) return kLayoutParseSyntax;
    switch (content[0]) {
        case '1': {
            LayoutNode* line = nullptr;
            const ResultCode r = ParseLayoutString(&line, kReleaseLine, context);
            if (r >= kLayoutParseNoMemory) return r;
            *out = Attach(parent, line);
            return r;
        }
        case '2': {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(kBuildNumber));
            *out = CreateTextRunWith(digits, parent);
            return *out ? kLayoutParseOK : kLayoutParseNoMemory;
        }
        case '3':
            *out = CreateTextRunWith(kReleaseNumber, parent);
            return *out ? kLayoutParseOK : kLayoutParseNoMemory;
        case '4':
            *out = CreateLayoutNode(kLayoutEmptySlot, parent, 0);
            return *out ? kLayoutParseOK : kLayoutParseNoMemory;
        default:
            return kLayoutParseSyntax;
    }
}

CreditScroll gCredits{ nullptr, kCreditUnplaced, 0, 1 };

}  // namespace

ResultCode ParseCreditText(const char* text, LayoutNode** out) {
    LayoutParseContext context{ nullptr, ExpandCreditPlaceholder, nullptr, 0 };
    LayoutNode* tree = nullptr;
    const ResultCode r = ParseLayoutString(&tree, text, &context);
    if (r > kLayoutParseWarning) {
        FreeLayoutNode(tree);
        tree = nullptr;
    }
    *out = tree;
    return r;
}

ResultCode BuildCreditPage(int32_t page, LayoutNode** out) {
    *out = nullptr;
    if (page < 0 || page >= kCreditPageCount) return kLayoutParseSyntax;
    if (auto form = LaterForms().text.aboutPageText) {
        const char* text = form(page);
        return text ? ParseCreditText(text, out) : kLayoutParseSyntax;
    }
    return ParseCreditText(CreditPageText(page), out);
}

CreditScroll& Credits() { return gCredits; }

bool InitCredits() {
    FreeCredits();
    BuildCreditPage(0, &gCredits.page);
    gCredits.baseline = kCreditUnplaced;
    gCredits.nextIndex = 1;
    return gCredits.page != nullptr;
}

void FreeCredits() {
    FreeLayoutNode(gCredits.page);
    gCredits.page = nullptr;
}

void ScrollCreditsUp() {
    if (gCredits.baseline != kCreditUnplaced) --gCredits.baseline;
}

void DrawCredits(const LayoutDrawState* state, int32_t right, int32_t top, int32_t bottom) {
    CreditScroll& c = gCredits;
    if (c.page) {
        if (c.page->dirty) MeasureLayout(c.page, state);
        c.height = c.page->ascent + c.page->descent;
        if (c.baseline == kCreditUnplaced) c.baseline = top + (bottom - c.height - top) / 2 + c.page->ascent;
        LayoutDrawState at = *state;
        at.x = static_cast<int16_t>(right - c.page->width);
        at.y = static_cast<int16_t>(c.baseline);
        DrawLayout(c.page, &at);
    }
    if (c.baseline + c.height < top) {
        FreeCredits();
        const int32_t n = c.nextIndex % kCreditPageCount;
        BuildCreditPage(n, &c.page);
        c.nextIndex = n + 1;
        c.baseline = bottom + 1;
        c.height = 0;
    }
}
