// Sequences of labels typed by the user: from a first label (A, P1, x[1], P') the labels
// that follow it (B, P2, x[2], P'1). The running state is a text "=", prefix, marker,
// suffix, where the marker "{...}" stands where the counting part ends; the label it
// stands for is prefix followed by suffix.
#pragma once
#include <cstdint>

constexpr char kLabelSequenceMarker[] = "{...}";
// Room for a state and for each label it gives, NUL included.
constexpr uint32_t kLabelStateSize = 256;

// The last "{...}" in text, or null.
const char* FindLastMarker(const char* text);
// True for null, an empty text or one of blanks only.
bool IsBlankText(const char* text);

// `state` (kLabelStateSize bytes) holds a state or a plain label; `label` receives this
// step's label (kLabelStateSize bytes) and `state` the state of the next step. A state
// too long for its room loses characters of its suffix, then of its prefix. Answers 0.
int32_t NextLabelInSequence(char* state, char* label);
