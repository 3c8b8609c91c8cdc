// Rules of the document road that need no window: which alert a fatally rejected file
// gets by its extension, the name a save proposes, and the page part of window titles.
#pragma once
#include <cstdint>

#include "classlib/str.h"
#include "engine/core/result_codes.h"

// A fatal reader code as the user sees it: "yrs" files are old scripts (38), files
// whose extension is none of the four document extensions are not documents (33); the
// document extensions and paths without a dot keep the reader's code. Case is ignored.
ResultCode FatalCodeForExtension(const char* path, ResultCode code);

// The path names a handheld document: it holds ".yr4" (exactly, case-sensitive).
bool IsHandheldPath(const char* path);

// The name a Save proposes for a document without a path: the title up to the first of
// space, '#', '%', ';', '/' and '\', followed by the template's extension.
CString ProposedSaveName(const CString& title, const CString& filterExtension);

// The page part of a window title: " - " and the page's name, else " - " and its number
// when the document has more than one page, else nothing.
CString PageTitleSuffix(const char* pageName, int32_t pageIndex, int32_t pageCount);

// A window title retitled for a page: the suffix this routine added before (when the
// text still ends with it) is taken off and the new one added, so that a document name
// holding " - " keeps all of it.
CString RetitleWithPage(const CString& text, const CString& previousSuffix, const CString& newSuffix);
