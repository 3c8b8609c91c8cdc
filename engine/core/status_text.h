// The status-line text: one provider at a time supplies it, fetched at idle time.
#pragma once
#include <cstdint>

struct StatusTextProvider;

// Stores a new text in *text: a block from AllocMemory, which the status text then
// owns, or null for none.
using StatusTextCallback = void (*)(char** text, StatusTextProvider* provider);

struct StatusTextProvider {
    StatusTextCallback callback;
    uint32_t           key;
};

// Installs a provider (remembered by value) and asks the platform to refresh the
// status line; a provider with the same callback and key as the installed one
// changes nothing; null is the same as ClearStatusTextProvider.
void SetStatusTextProvider(const StatusTextProvider* provider, int32_t argument);
// Removes the installed provider, if any, and asks for one more refresh.
void ClearStatusTextProvider(int32_t argument);
// When the text is out of date, drops it and asks the provider for a new one.
// *text is the current text (null for none), owned here; answers whether it changed.
bool FetchStatusText(const char** text);
void InitStatusText();
void FreeStatusText();
