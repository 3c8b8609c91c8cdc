// Rules of the dialogs that need no Windows call: where a dialog first appears and how
// it is kept on the desktop, the remembered positions, how anchored controls follow a
// resize, how an integer field reads its text, what a number field lets the user type
// and when Enter stays in it, and how the alert fits itself to its message.
#pragma once
#include <cstddef>
#include <cstdint>

// A rectangle in screen or client pixels, right and bottom exclusive.
struct DialogRect {
    int32_t left, top, right, bottom;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const DialogRect&) const = default;
};

struct DialogCorner {
    int32_t x, y;
    bool operator==(const DialogCorner&) const = default;
};

// First placement: centred horizontally over the main window, one third down it (both
// divisions truncate toward zero, as the stored positions always have).
DialogCorner FirstDialogCorner(const DialogRect& dialog, const DialogRect& mainWindow);

// The corner moved so that a window of that size lies on the desktop; the left and top
// edges win when the window is larger than the desktop.
DialogCorner KeepCornerOnDesktop(DialogCorner corner, int32_t width, int32_t height, const DialogRect& desktop);

// A dialog class's position for the life of the process: valid once it was placed.
struct RememberedPosition {
    int32_t valid;
    DialogCorner corner;
};

// Saving stores the corner and answers true; fetching copies it out and answers
// whether one was stored.
bool ExchangePosition(RememberedPosition* position, bool save, DialogCorner* corner);

// One row of a resize table; a row with identifier 0 ends the table.
struct ControlAnchor {
    uint16_t controlId;
    uint16_t flags;
    uint16_t minHeight;   // 0 = none
};

enum : uint16_t {
    kAnchorStretchX = 0x01,   // the right edge follows the width change
    kAnchorMoveX    = 0x02,   // both edges follow it
    kAnchorCentreX  = 0x04,
    kAnchorStretchY = 0x10,
    kAnchorMoveY    = 0x20,
    kAnchorCentreY  = 0x40,
    kAnchorGroupA   = 0x80,   // the rows sharing the spare height, with their minimums
    kAnchorGroupB   = 0x100,
};

// Lays the anchored controls out for a new client size. rects holds one rectangle per
// row of the table (in client pixels; exists[i] false for a control the dialog lacks,
// which is left alone); each is moved in place. layoutWidth/layoutHeight are the size the
// rectangles were laid out for, and take the new size.
void LayoutAnchoredRects(const ControlAnchor* rows, size_t count, DialogRect* rects, const bool* exists,
                         int32_t* layoutWidth, int32_t* layoutHeight, int32_t newWidth, int32_t newHeight);

// The size grip's square at the bottom-right of the client area, whose side is the
// scroll bar's width plus 2; a point is on the grip strictly right of and below its
// top-left corner.
DialogRect SizeGripRect(const DialogRect& client, int32_t scrollBarWidth);
bool PointOnSizeGrip(const DialogRect& grip, int32_t x, int32_t y);

// What an integer field makes of its text.
enum class IntegerEntry {
    kEmpty,       // nothing typed: the value stays, accepted
    kAccepted,    // a number within the bounds
    kNotNumber,   // refused: the control shows the previous value again
    kOutOfRange,  // refused: the control shows the bound passed, which is stored
};
struct IntegerReading {
    IntegerEntry entry;
    int32_t value;   // the value to store (kAccepted, kOutOfRange) or the previous one
};
// Reads an unsigned decimal integer (blanks around it allowed). A number too large for
// 32 bits is above the upper bound, never wrapped round.
IntegerReading ReadIntegerField(const char* text, int32_t lower, int32_t upper, int32_t previous);

// The characters a number field accepts by default: the decimal separator, then
// "01234567890.+-*/^()p". With a symbol font "^" is typed and shown as character 217.
constexpr char kSymbolCaret = static_cast<char>(217);
void DefaultNumberFieldCharacters(char decimalSeparator, bool symbolFont, char* out, size_t size);

// Removes from text, in place, every character that is not in allowed; true when any was.
bool FilterTypedCharacters(char* text, const char* allowed);

// The character a typed character stands for in a number field: "." is the decimal
// separator and, with a symbol font, "^" is character 217.
char NumberFieldTypedCharacter(char typed, char decimalSeparator, bool symbolFont);

// After Enter replaced what was typed by the value's text: true when Enter stays in the
// field (the expression became its value), false when it goes on to the default button.
// A text of digits, the separator, "p" and a leading "-" goes on even when it was shown
// differently.
bool EnterStaysInField(const char* typed, const char* shown, char decimalSeparator);

// The text a number field shows for a value it was given: the number's text, cut at
// the decimal separator when the field takes no separator ("0" when nothing is left).
void NumberFieldValueText(double value, bool takesSeparator, char decimalSeparator, char* out, size_t size);

// The alert fitted to its message. Rectangles in the dialog's client pixels (the
// dialog's own in screen pixels); the button flags choose which show.
enum : int32_t { kAlertOk = 1, kAlertCancel = 2, kAlertYes = 4, kAlertNo = 8 };
struct AlertGeometry {
    DialogRect window;           // the dialog's window rectangle
    DialogRect message;          // the message's static
    DialogRect ok, yes, cancel, no, help;
};
struct AlertButtonsShown {
    bool ok, yes, cancel, no, help;
};
// measuredWidth/Height: the message's size word-wrapped at the static's width.
AlertGeometry FitAlertToMessage(const AlertGeometry& geometry, int32_t measuredWidth, int32_t measuredHeight);
// Which buttons show; a lone Cancel takes OK's place (moved in geometry).
AlertButtonsShown AlertButtons(AlertGeometry* geometry, int32_t buttons, int32_t helpTopic);
