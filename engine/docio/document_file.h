// The document file: the magic "YRN4", a file header record, one section per page,
// custom tool and menu description, and an end record. Each section opens with a
// header naming the writer's version, the oldest reader that can read it and what
// older or different readers must do with it (skip it, open the document as a copy,
// show a message, refuse the document), so that documents of later versions open as
// far as they are understood.
#pragma once
#include <cstdint>

#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

enum DocumentRecordTag : uint32_t {
    kTagFileHeader      = 900,
    kTagFileEnd         = 901,
    kTagSectionHeader   = 902,
    kTagSectionEnd      = 903,
    kTagMenuDescription = 1004,
    kTagMenuEnd         = 1005,
};

constexpr uint32_t kFileHeaderBytes = 28;

enum SectionType : int32_t {
    kSectionFileLevel = 0,
    kSectionPage      = 1,
    kSectionTool      = 2,
    kSectionMenu      = 3,
};

enum SectionAction : int32_t {
    kActionNone       = 0,
    kActionRefuse     = 1,  // the document cannot be opened
    kActionCopyNoTitle = 2, // open as a copy and clear the page's title
    kActionCopy       = 3,  // open as a copy
    kActionMessage    = 4,  // only show the section's message
};

// Result codes of the document reader and writer (warnings 1-16, then fatal).
constexpr ResultCode kResultOlderFormat    = 1;   // converted from an older format
constexpr ResultCode kResultOlderToolFile  = 2;
constexpr ResultCode kResultOlderWriter    = 7;   // written by a version below 4
constexpr ResultCode kResultHandheldForm   = 8;
constexpr ResultCode kResultSectionSkipped = 11;
constexpr ResultCode kResultNotADocument   = 33;
constexpr ResultCode kResultOtherVersion   = 34;  // newer, or unreadable
constexpr ResultCode kResultVersionTooOld  = 37;
constexpr ResultCode kResultNoSketches     = 40;

// A section header in memory; texts of up to 255 characters.
struct SectionHeader {
    int32_t type;
    int32_t versionWritten;
    int32_t oldestReader;
    int32_t actions[3];  // unknown type; reader below the oldest; reader below the written
    char    texts[3][256];
};

// Writes the whole file into a file or memory stream; the caller closes the stream and
// decides what a fatal result means. The handheld form (versions 1, no tools, no menus)
// answers at least warning 8. Nothing of the document's saved state changes here: a
// save clears it only once the new file is in place (SaveEngineDocumentToPath).
ResultCode WriteEngineDocument(StreamHandle stream, EngineDocument* document, bool handheld);
ResultCode WriteFileHeader(StreamHandle stream, const EngineDocument* document, int32_t toolCount, bool handheld);
ResultCode WriteSectionHeader(StreamHandle stream, const SectionHeader& header);
ResultCode WritePageSection(StreamHandle stream, Sketch* page, bool singlePage, bool handheld);
ResultCode WriteMenuSection(StreamHandle stream, const uint8_t* bytes, uint32_t length);

// What ReadFileHeader hands out besides the document's arrays.
struct FileHeaderInfo {
    int32_t sectionTotal;
    int32_t versionWritten;
    int32_t currentPageIndex;  // -1 when the stored one names no page
    int32_t pageCount;
};

// Reads a whole document into a new EngineDocument. A fatal result frees it (*document
// is then null). *openAsCopy is set for warnings that open the document as a copy;
// *message, when not null, is a section's own message (an AllocMemory block the caller
// frees) to show in place of the code's text, a fatal code's included. With headerOnly, pages are skipped and
// custom tools and menu descriptions read (the tool-folder scan).
ResultCode ReadEngineDocument(StreamHandle stream, EngineDocument** document, bool* openAsCopy,
                              void* owner, char** message, bool headerOnly);
ResultCode ReadDocumentBody(StreamHandle stream, EngineDocument* document, bool* openAsCopy,
                            char** message, bool headerOnly);
ResultCode ReadFileHeader(StreamHandle stream, EngineDocument* document, FileHeaderInfo* info);
ResultCode ReadSectionHeader(StreamHandle stream, int32_t* type, int32_t* action,
                             int32_t* versionWritten, char** message);
// The page's body is read in the format version its section was written in.
ResultCode ReadPageSection(StreamHandle stream, EngineDocument* document, bool olderFormat,
                           int32_t headerPageCount, int32_t versionWritten, Sketch** page);
ResultCode ReadMenuSection(StreamHandle stream, EngineDocument* document);
// Reads and drops records up to the next 903, which it leaves unread.
ResultCode SkipSection(StreamHandle stream);

// The engine's part of saving a document to a path: the file is written beside the
// target under a temporary name, closed (its close error joins the result) and only
// then put in the target's place, keeping the target's attributes. The document's
// saved state is cleared only after that; a fatal result deletes the temporary file and
// leaves the old file and the document's modified state as they were.
ResultCode SaveEngineDocumentToPath(EngineDocument* document, const char* path, bool handheld);
