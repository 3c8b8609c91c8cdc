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

// The path names a web page: it holds ".htm" (so ".html" too).
bool IsWebPagePath(const char* path);

// The part of a path after its last backslash.
const char* PathFileName(const char* path);

// Where the construction applet's archive must lie for a web page saved at the path:
// "zvt\zvt4.jar" in the page's folder.
CString AppletArchivePath(const char* pagePath);

// A web page's result when the applet archive is missing beside it: 13 becomes 15 and
// 14 becomes 16, so that the user is told to move the page rather than asked to preview.
ResultCode AppletResultWithoutArchive(ResultCode code);

// The name a Save proposes for a document without a path: the document's title (up to
// the first character no file name may hold), followed by the template's first
// extension unless the title ends with it already.
CString ProposedSaveName(const CString& title, const CString& filterExtension);

// The page part of a window title: " - " and the page's name, else " - " and its number
// when the document has more than one page, else nothing.
CString PageTitleSuffix(const char* pageName, int32_t pageIndex, int32_t pageCount);

// A window title retitled for a page: the suffix this routine added before (when the
// text still ends with it) is taken off and the new one added, so that a document name
// holding " - " keeps all of it.
CString RetitleWithPage(const CString& text, const CString& previousSuffix, const CString& newSuffix);
