// figlate's path and address rules that need no system call: file addresses made
// canonical before the shell sees them, the save dialog's name operations, the Help
// menu's end and the host's save commands.
#pragma once
#include <cstddef>
#include <cstdint>

// The alert of a link that cannot be opened.
constexpr int32_t kFileUrlClimbsAbove = 403;

// In place: doubled slashes (and the ones after the scheme) stay, a "." segment goes
// with its slash, a ".." segment goes with the segment before it. 0, or 403 when a ".."
// climbs above the address's start (the text then stays as far as the pass got).
int32_t NormalizeFileUrl(char* address);

// Cuts the text after its last backslash (which stays). 0 for an empty text, else 92 (the
// backslash's code), also when there is none and the text stays whole.
int32_t StripFileName(char* text);

// Replaces what follows the last dot of the file name (after the last backslash or
// slash) by `extension`; a name without a dot stays as it is. False, with the text
// unchanged, when the result would not fit in `size` bytes.
bool ReplaceExtension(char* text, size_t size, const char* extension);

// Whether a Help menu entry's text ends the entries at entry `index`: an empty text, a
// single blank, or an index past 63.
bool HelpMenuEndsAt(const char* text, int32_t index);

// The main window's command that the host's save executor sends for `argument`: 0 save,
// 1 save as, 2 save as web page, 17 and 18 (the Save and Save As rows' arguments) save
// in place and save as; any other argument is itself the command.
uint32_t HostSaveCommandFor(int32_t argument);
constexpr uint32_t kCommandSave          = 57603;
constexpr uint32_t kCommandSaveAs        = 57604;
constexpr uint32_t kCommandSaveAsWebPage = 33902;

// x toward zero as a 64-bit integer; NaN gives 0 and values past the type's range its
// nearest end, where a plain conversion is undefined.
int64_t TruncateRealToInt(double x);

// The help file that figlate's help topics point into, inside the help folder.
constexpr const char kCompiledHelpFile[] = "Velmora.chm";
// The prefix of figlate's help folder address: topics open in the compiled help viewer.
constexpr const char kHelpAddressPrefix[] = "ms-its:";
// A help target "help://hX.htm" as figlate's "help://Velmora.chm::/hX.htm"; other texts
// as they are. The result is written to `out` (`size` bytes); false when it does not fit.
bool CompiledHelpTarget(const char* target, char* out, size_t size);

// The save type of the later release's dialog: filters 1 to 5 are the document, the
// handheld document, the web page, the enhanced and the Windows metafile; a name whose
// extension is one of theirs overrules the filter.
int32_t ChosenLaterSaveType(int32_t filterIndex, const char* name);
// The extension (without its dot) that a save type's file gets.
const char* SaveTypeExtension(int32_t saveType);

// The file-type identifier of a document template's string ("\n"-separated fields): the
// field after the fifth separator, else "Velmora.Document". False when it does not fit.
bool DocumentTypeIdentifier(const char* templateText, char* out, size_t size);
