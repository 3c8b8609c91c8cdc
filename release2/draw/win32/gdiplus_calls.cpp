#include "release2/draw/win32/gdiplus_calls.h"

namespace {

bool GdiPlusLibraryPresent() {
    HMODULE library = LoadLibraryA("gdiplus.dll");
    if (!library) return false;
    FreeLibrary(library);
    return true;
}

GdiPlusCalls SystemQuestions() {
    GdiPlusCalls calls = {};
    calls.getVersion = GetVersionExA;
    calls.libraryPresent = GdiPlusLibraryPresent;
    return calls;
}

GdiPlusCalls gCalls = SystemQuestions();

}  // namespace

GdiPlusCalls& GdiPlusCallTable() { return gCalls; }

void ResetGdiPlusCallTable() { gCalls = SystemQuestions(); }
