#include "release2/win32/module_strings.h"

#include <windows.h>

#include "release2/text/string_resources.h"

namespace {

int32_t LoadModuleString(uint32_t id, char* buffer, int32_t size) {
    return LoadStringA(GetModuleHandleA(nullptr), id, buffer, size);
}

}  // namespace

void UseModuleStrings() {
    StringResourceSource source = { nullptr, 0, LoadModuleString };
    HMODULE module = GetModuleHandleA(nullptr);
    // The resource stays mapped for the life of the process: the pointer is kept.
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kGroupTableResource), RT_RCDATA)) {
        const DWORD bytes = SizeofResource(module, found);
        HGLOBAL loaded = LoadResource(module, found);
        const void* words = loaded ? LockResource(loaded) : nullptr;
        if (words && bytes >= 2) {
            source.groupTable = static_cast<const uint16_t*>(words);
            source.groupTableWords = bytes / 2;
        }
    }
    SetStringResourceSource(source);
}
