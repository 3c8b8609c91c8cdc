// Numbers typed by the user in dialog fields: a number or a small expression of
// digits, the decimal separator or a point, "(", ")", "+", "-", "*", "/", "^", pi
// ("pi", "Pi" or "p") and e, read by compiling and evaluating it as a calculation.
#pragma once

// True with the finite value of the text; false for an empty text, a character
// outside those above, an expression that does not compile, an undefined or infinite
// result (1/0), or memory running out.
bool ParseTypedNumber(const char* text, double* value);
