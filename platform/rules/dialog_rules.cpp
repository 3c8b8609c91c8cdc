#include "platform/rules/dialog_rules.h"

#include <cstring>

#include "engine/text/number_text.h"

DialogCorner FirstDialogCorner(const DialogRect& dialog, const DialogRect& mainWindow) {
    // 64-bit sums: screen coordinates near the 32-bit limits must not wrap.
    const int64_t x = (int64_t(mainWindow.left) + mainWindow.right - dialog.Width()) / 2;
    const int64_t y = (int64_t(mainWindow.top) + mainWindow.bottom - dialog.Height()) / 3;
    return { static_cast<int32_t>(x), static_cast<int32_t>(y) };
}

namespace {

int32_t KeepOnAxis(int32_t start, int32_t length, int32_t low, int32_t high) {
    if (start < low) return low;
    const int64_t excess = int64_t(start) + length - high;
    if (excess > 0) {
        const int64_t moved = int64_t(start) - excess;
        return moved < low ? low : static_cast<int32_t>(moved);
    }
    return start;
}

}  // namespace

DialogCorner KeepCornerOnDesktop(DialogCorner corner, int32_t width, int32_t height, const DialogRect& desktop) {
    return { KeepOnAxis(corner.x, width, desktop.left, desktop.right),
             KeepOnAxis(corner.y, height, desktop.top, desktop.bottom) };
}

bool ExchangePosition(RememberedPosition* position, bool save, DialogCorner* corner) {
    if (save) {
        position->corner = *corner;
        position->valid = 1;
        return true;
    }
    *corner = position->corner;
    return position->valid != 0;
}

namespace {

// +1 or -1 when an odd change of size leaves the centre half a pixel off, so that
// centred controls stay centred over many small resizes.
int32_t HalfCorrection(int32_t change, int32_t newSize) {
    if ((change & 1) == 0) return 0;
    if (change > 0 && (newSize & 1) == 0) return 1;
    if (change < 0 && (newSize & 1) != 0) return -1;
    return 0;
}

enum class Group { kNone, kA, kB };

Group GroupOf(uint16_t flags) {
    if (flags & kAnchorGroupA) return Group::kA;
    if (flags & kAnchorGroupB) return Group::kB;
    return Group::kNone;
}

}  // namespace

void LayoutAnchoredRects(const ControlAnchor* rows, size_t count, DialogRect* rects, const bool* exists,
                         int32_t* layoutWidth, int32_t* layoutHeight, int32_t newWidth, int32_t newHeight) {
    const int32_t dx = newWidth - *layoutWidth;
    const int32_t dy = newHeight - *layoutHeight;
    *layoutWidth = newWidth;
    *layoutHeight = newHeight;
    const int32_t cx = HalfCorrection(dx, newWidth);
    const int32_t cy = HalfCorrection(dy, newHeight);

    // The stretching rows share the height change between the two groups: a group with
    // a minimum height takes no more than keeps it there, the other group the rest.
    int32_t shareA = dy, shareB = dy;
    Group previous = Group::kNone, lastMet = Group::kNone;
    for (size_t i = 0; i < count && rows[i].controlId != 0; ++i) {
        if (!exists[i] || (rows[i].flags & kAnchorStretchY) == 0) continue;
        const Group group = GroupOf(rows[i].flags);
        if (group != Group::kNone) {
            int32_t& share = group == Group::kA ? shareA : shareB;
            if (previous != group) share = dy;
            const int32_t m = rows[i].minHeight, h = rects[i].Height();
            if (m != 0 && h + dy < m && share < m - h) share = m - h;
            lastMet = group;
        }
        previous = group;
    }
    if (lastMet == Group::kA) shareB = dy - shareA;
    else if (lastMet == Group::kB) shareA = dy - shareB;
    else shareA = shareB = dy;

    for (size_t i = 0; i < count && rows[i].controlId != 0; ++i) {
        if (!exists[i]) continue;
        const uint16_t f = rows[i].flags;
        DialogRect& r = rects[i];
        if (f & kAnchorStretchX) {
            r.right += dx;
        } else if (f & kAnchorMoveX) {
            r.left += dx;
            r.right += dx;
        } else if (f & kAnchorCentreX) {
            r.left += cx + dx / 2;
            r.right += cx + dx / 2;
        }
        if (f & kAnchorStretchY) {
            if (f & kAnchorGroupA) {
                r.bottom += shareA;
            } else if (f & kAnchorGroupB) {
                r.top += shareA;
                r.bottom += dy;
            } else {
                r.bottom += dy;
            }
        } else if (f & kAnchorMoveY) {
            if (f & kAnchorGroupB) {
                r.top += shareA;
                r.bottom += shareA + shareB;
            } else {
                r.top += dy;
                r.bottom += dy;
            }
        } else if (f & kAnchorCentreY) {
            r.top += cy + dy / 2;
            r.bottom += cy + dy / 2;
        } else if (f & kAnchorGroupA) {
            r.bottom += shareA;
        }
    }
}

DialogRect SizeGripRect(const DialogRect& client, int32_t scrollBarWidth) {
    const int32_t side = scrollBarWidth + 2;
    return { client.right - side, client.bottom - side, client.right, client.bottom };
}

bool PointOnSizeGrip(const DialogRect& grip, int32_t x, int32_t y) {
    return x > grip.left && y > grip.top;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

IntegerReading ReadIntegerField(const char* text, int32_t lower, int32_t upper, int32_t previous) {
    const char* p = text;
    while (IsBlank(*p)) ++p;
    if (*p == 0) return { IntegerEntry::kEmpty, previous };
    if (*p < '0' || *p > '9') return { IntegerEntry::kNotNumber, previous };
    // Saturates instead of wrapping: any number past 32 bits is simply too large.
    uint64_t n = 0;
    while (*p >= '0' && *p <= '9') {
        n = n * 10 + uint64_t(*p - '0');
        if (n > 0xFFFFFFFFull) n = 0x100000000ull;
        ++p;
    }
    while (IsBlank(*p)) ++p;
    if (*p != 0) return { IntegerEntry::kNotNumber, previous };
    if (int64_t(n) < lower) return { IntegerEntry::kOutOfRange, lower };
    if (int64_t(n) > upper) return { IntegerEntry::kOutOfRange, upper };
    return { IntegerEntry::kAccepted, static_cast<int32_t>(n) };
}

void DefaultNumberFieldCharacters(char decimalSeparator, bool symbolFont, char* out, size_t size) {
    if (size == 0) return;
    static const char kRest[] = "01234567890.+-*/^()p";
    size_t n = 0;
    if (n + 1 < size) out[n++] = decimalSeparator;
    for (const char* p = kRest; *p && n + 1 < size; ++p) out[n++] = (*p == '^' && symbolFont) ? kSymbolCaret : *p;
    out[n] = 0;
}

bool FilterTypedCharacters(char* text, const char* allowed) {
    char* out = text;
    bool removed = false;
    for (const char* p = text; *p; ++p) {
        if (std::strchr(allowed, *p)) *out++ = *p;
        else removed = true;
    }
    *out = 0;
    return removed;
}

char NumberFieldTypedCharacter(char typed, char decimalSeparator, bool symbolFont) {
    if (typed == '.') return decimalSeparator;
    if (typed == '^' && symbolFont) return kSymbolCaret;
    return typed;
}

bool EnterStaysInField(const char* typed, const char* shown, char decimalSeparator) {
    if (std::strcmp(typed, shown) == 0) return false;
    for (const char* p = typed; *p; ++p) {
        const char c = *p;
        const bool plain = (c >= '0' && c <= '9') || c == decimalSeparator || c == 'p' || (c == '-' && p == typed);
        if (!plain) return true;
    }
    return false;
}

void NumberFieldValueText(double value, bool takesSeparator, char decimalSeparator, char* out, size_t size) {
    if (size == 0) return;
    // "p" for pi: it is what the field lets the user type, so the text it shows passes
    // its own filter and reads back as the same value.
    FormatNumberText(out, static_cast<uint32_t>(size), value, true);
    if (takesSeparator) return;
    if (char* sep = std::strchr(out, decimalSeparator)) *sep = 0;
    if (out[0] == 0 && size >= 2) {
        out[0] = '0';
        out[1] = 0;
    }
}

namespace {

void Offset(DialogRect* r, int32_t dx, int32_t dy) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
}

}  // namespace

AlertGeometry FitAlertToMessage(const AlertGeometry& geometry, int32_t measuredWidth, int32_t measuredHeight) {
    AlertGeometry g = geometry;
    const int32_t dw = measuredWidth - g.message.Width();
    const int32_t dh = measuredHeight - g.message.Height();
    // Taller for more lines, narrower for a short line; a message that already fits its
    // width on fewer lines keeps the template's size.
    if (dh > 0 || dw < 0) {
        g.window.right += dw;
        g.window.bottom += dh;
        g.message.right += dw;
        g.message.bottom += dh;
        Offset(&g.ok, dw, dh);
        Offset(&g.yes, dw, dh);
        Offset(&g.cancel, dw / 2, dh);
        Offset(&g.no, dw / 2, dh);
        Offset(&g.help, 0, dh);
    }
    return g;
}

AlertButtonsShown AlertButtons(AlertGeometry* geometry, int32_t buttons, int32_t helpTopic) {
    AlertButtonsShown shown{};
    shown.ok = (buttons & kAlertOk) != 0;
    shown.cancel = (buttons & kAlertCancel) != 0;
    shown.yes = (buttons & kAlertYes) != 0;
    shown.no = (buttons & kAlertNo) != 0;
    shown.help = helpTopic != 0;
    if (shown.cancel && !shown.ok) geometry->cancel = geometry->ok;
    return shown;
}
