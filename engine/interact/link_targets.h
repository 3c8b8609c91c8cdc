// Link targets: the addresses of link buttons and help topics, which may be relative to
// the document's folder ("sketchdoc://"), the program's ("sketchapp://") or the help
// folder ("help://"), turned into addresses the shell opens.
#pragma once
#include <cstdint>

#include "engine/core/result_codes.h"

constexpr ResultCode kAlertLinkFailed       = 403;
constexpr ResultCode kAlertLinkNeedsSave    = 406;
constexpr ResultCode kAlertHelpFolderMissing = 408;

// The start of the rest of the target (after the scheme's ':' and up to two '/'), or null
// when it has no scheme: a run of letters before the first ':'.
const char* FindLinkScheme(const char* target);
// Whether the text before `rest` is the scheme `name` (its length, letters compared
// without case).
bool LinkSchemeIs(const char* target, const char* rest, const char* name);
// *out = a new text (engine memory) of the three parts, null parts empty; 0 or 100.
ResultCode ConcatThree(char** out, const char* a, const char* b, const char* c);

// The address the shell opens for a target, a new text in engine memory (null with the
// code: 100, 406 without a document folder for "sketchdoc://", 408 without a help folder
// for "help://"). Any other scheme, "file" among them, passes unchanged.
char* ResolveLinkTarget(const char* documentFolder, const char* programFolder, const char* target,
                        ResultCode* code);
// Resolves and opens: 0, a resolving code, or 403 when the shell cannot open it.
ResultCode ResolveAndOpenLink(const char* documentFolder, const char* programFolder, const char* target);
// A help topic's target, without folders.
ResultCode OpenLinkTarget(const char* target);

// A link stored in a document may name a program or a file as well as a web page. Only
// a resolved "http" or "https" address opens at once; any other is opened only when the
// user agrees to a question naming it (No is the default), as is every address when
// `askAlways` (a link run because the document was opened). 104 when declined.
ResultCode OpenDocumentLink(const char* documentFolder, const char* programFolder, const char* target,
                            bool askAlways);
// Whether a resolved address opens without asking.
bool IsWebAddress(const char* address);
