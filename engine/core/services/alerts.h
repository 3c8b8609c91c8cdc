// Alerts and questions shown by the platform. The engine never builds a window; it
// hands the platform the texts and waits for the answer.
#pragma once
#include <cstdint>

// Button sets of AskQuestion.
constexpr uint32_t kQuestionOkCancel = 3;
constexpr uint32_t kQuestionYesNo    = 12;
// With either set: the second button (Cancel, No) is the default.
constexpr uint32_t kQuestionDefaultNo = 0x100;

// Shows a modal alert: one OK button when `notice` is set, else one Cancel button in
// its place; a Help button only for a nonzero help topic. `owner` is passed through
// from the engine's caller (which window, or whether a dialog is already up).
void ShowAlert(const char* caption, const char* text, int32_t code, int32_t helpTopic,
               uint32_t owner, bool notice);

// Asks a question with the buttons of `buttons`; true on OK or Yes.
bool AskQuestion(const char* caption, const char* text, uint32_t buttons, int32_t code,
                 uint32_t owner);
