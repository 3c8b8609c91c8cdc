#include "engine/docio/document_file.h"

#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/services/busy.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/files.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/core/object_creation.h"
#include "engine/docio/legacy_document.h"
#include "engine/docio/packed_values.h"
#include "engine/docio/sketch_io.h"
#include "engine/text/string_groups.h"

namespace {

constexpr char kMagic[4] = { 'Y', 'R', 'N', '4' };
constexpr char kOlderPageMagic[4] = { 'Y', 'R', 'N', 'k' };
constexpr char kOlderToolMagic[4] = { 'Y', 'R', 'N', 'c' };

constexpr int32_t kWriterVersion = 4;
constexpr int32_t kHandheldVersion = 1;
constexpr int32_t kMenuSectionVersion = 1;
// Link buttons of a page whose ids are kept while it is written; a page with more is
// walked once more to restore them.
constexpr int32_t kKeptLinkWords = 64;

// What this reader understands, by section type; 0 = unknown type.
constexpr int32_t kReaderVersions[5] = { 4, 4, 4, 1, 0 };
constexpr int32_t kHighestSectionType = 4;

// Items of the alert group holding the section messages.
constexpr int32_t kPageRefusedText   = 120;
constexpr int32_t kPageCopyText      = 121;
constexpr int32_t kToolSkippedText   = 122;
constexpr int32_t kToolMayFailText   = 123;
constexpr int32_t kMenuUnknownText   = 126;
constexpr int32_t kMenuSkippedText   = 127;
constexpr int32_t kMenuMayFailText   = 128;

constexpr uint32_t kSectionFixedBytes = 16;
// A section header with three empty texts and a section end, with their record headers.
constexpr uint32_t kLeastSectionBytes = 8 + 16 + 3 * 4 + 8;
constexpr uint32_t kSectionTextRoom = 255;

// Older documents with big-endian numbers: version words 10 to 12.
constexpr int32_t kOldestBigEndianVersion = 10;
constexpr int32_t kNewestBigEndianVersion = 12;

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool Keep(ResultCode* worst, ResultCode code) {
    *worst = KeepWorstError(*worst, code);
    return IsFatalError(*worst);
}

void SetSectionText(SectionHeader* header, int32_t slot, int32_t item) {
    CopyGroupString256(kGroupAlerts, item, header->texts[slot]);
}

SectionHeader MakeSectionHeader(int32_t type, int32_t written, int32_t oldest, int32_t a1, int32_t a2,
                                int32_t a3, int32_t t1, int32_t t2, int32_t t3) {
    SectionHeader header = {};
    header.type = type;
    header.versionWritten = written;
    header.oldestReader = oldest;
    header.actions[0] = a1;
    header.actions[1] = a2;
    header.actions[2] = a3;
    const int32_t items[3] = { t1, t2, t3 };
    for (int32_t i = 0; i < 3; ++i)
        if (items[i] != 0) SetSectionText(&header, i, items[i]);
    return header;
}

ResultCode WriteSectionEnd(StreamHandle stream) {
    return StreamWriteRecord(stream, 0, kTagSectionEnd, nullptr);
}

char* CopyMessage(const char* text) {
    const size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(AllocMemory(length + 1, 0));
    if (copy != nullptr) std::memcpy(copy, text, length + 1);
    return copy;
}

// Busy feedback that also answers whether the user asked to stop.
bool StillWanted(BusyTask* task, StreamHandle stream) {
    uint32_t position = 0;
    StreamTell(stream, &position);
    return UpdateBusyTask(task, position / 16);
}

}  // namespace

// ---- Writing --------------------------------------------------------------------

ResultCode WriteFileHeader(StreamHandle stream, const EngineDocument* document, int32_t toolCount, bool handheld) {
    uint8_t header[kFileHeaderBytes] = {};
    const int32_t version = handheld ? kHandheldVersion : kWriterVersion;
    const int32_t current = CurrentPageIndex(document);
    PutU16(header + 0, version);
    PutU16(header + 2, DocumentPageCount(document));
    PutU16(header + 4, toolCount);
    PutU16(header + 6, handheld ? 0 : DocumentMenuCount(document));
    // Sections of other types are never written, so none may be announced: a reader
    // would take the end record for the missing section and call the file damaged.
    PutU16(header + 8, 0);
    PutU16(header + 12, static_cast<uint32_t>(document->documentValue));
    PutU16(header + 14, version);
    PutU16(header + 16, current < 0 ? 0 : current);
    PutU16(header + 18, handheld ? 0 : static_cast<uint16_t>(document->windowWidth));
    PutU16(header + 20, handheld ? 0 : static_cast<uint16_t>(document->windowHeight));
    ResultCode rc = StreamWrite(stream, kMagic, sizeof kMagic);
    if (rc == kResultOK) rc = StreamWriteRecord(stream, sizeof header, kTagFileHeader, header);
    return rc;
}

ResultCode WriteSectionHeader(StreamHandle stream, const SectionHeader& header) {
    uint8_t payload[kSectionFixedBytes + 3 * CountedStringSize(kSectionTextRoom)] = {};
    PutU16(payload + 0, header.type);
    PutU16(payload + 2, header.versionWritten);
    PutU16(payload + 4, header.oldestReader);
    for (int32_t i = 0; i < 3; ++i) PutU16(payload + 6 + 2 * i, header.actions[i]);
    uint32_t used = kSectionFixedBytes;
    for (int32_t i = 0; i < 3; ++i) {
        uint32_t length = static_cast<uint32_t>(strnlen(header.texts[i], kSectionTextRoom));
        uint8_t* at = payload + used;
        at[0] = static_cast<uint8_t>(length);
        at[1] = static_cast<uint8_t>(length >> 8);
        std::memcpy(at + 2, header.texts[i], length);
        at[2 + length] = 0;
        used += CountedStringSize(length);
    }
    return StreamWriteRecord(stream, used, kTagSectionHeader, payload);
}

ResultCode WritePageSection(StreamHandle stream, Sketch* page, bool singlePage, bool handheld) {
    const int32_t version = handheld ? kHandheldVersion : kWriterVersion;
    const int32_t a = singlePage ? kActionRefuse : kActionCopy;
    const SectionHeader header = MakeSectionHeader(kSectionPage, version, version, a, a, kActionCopyNoTitle,
                                                   0, kPageRefusedText, kPageCopyText);
    ResultCode rc = WriteSectionHeader(stream, header);
    if (IsFatalError(rc)) return rc;
    Keep(&rc, WritePageSketch(stream, page, handheld));
    if (!IsFatalError(rc)) Keep(&rc, WriteSectionEnd(stream));
    return rc;
}

ResultCode WriteMenuSection(StreamHandle stream, const uint8_t* bytes, uint32_t length) {
    const SectionHeader header = MakeSectionHeader(kSectionMenu, kMenuSectionVersion, kMenuSectionVersion,
                                                   kActionMessage, kActionCopy, kActionMessage,
                                                   kMenuUnknownText, kMenuSkippedText, kMenuMayFailText);
    ResultCode rc = WriteSectionHeader(stream, header);
    if (rc == kResultOK) rc = StreamWriteRecord(stream, length, kTagMenuDescription, bytes);
    if (rc == kResultOK) rc = StreamWriteRecord(stream, 0, kTagMenuEnd, nullptr);
    if (rc == kResultOK) rc = WriteSectionEnd(stream);
    return rc;
}

namespace {

ResultCode WriteToolSection(StreamHandle stream, ToolList* tools, int32_t index) {
    Sketch* tool = nullptr;
    ResultCode rc = ToolListAcquire(tools, index, &tool);
    if (rc != kResultOK) return rc;
    const SectionHeader header = MakeSectionHeader(kSectionTool, kWriterVersion, kWriterVersion, kActionCopy,
                                                   kActionCopy, kActionMessage, 0, kToolSkippedText,
                                                   kToolMayFailText);
    rc = WriteSectionHeader(stream, header);
    if (!IsFatalError(rc)) Keep(&rc, WriteToolSketch(stream, tool));
    if (!IsFatalError(rc)) Keep(&rc, WriteSectionEnd(stream));
    ToolListRelease(tools, index);
    return rc;
}

// Tools whose file is missing keep an empty slot in a list; they have nothing to store.
int32_t StoredToolCount(ToolList* tools) {
    int32_t n = 0;
    for (int32_t i = 0; i < (tools ? ToolListCount(tools) : 0); ++i) {
        Sketch* tool = nullptr;
        if (ToolListAcquire(tools, i, &tool) == kResultOK) {
            ++n;
            ToolListRelease(tools, i);
        }
    }
    return n;
}

}  // namespace

ResultCode WriteEngineDocument(StreamHandle stream, EngineDocument* document, bool handheld) {
    if (document == nullptr) return kResultInvalidArg;
    ToolList* tools = DocumentToolList(document);
    const int32_t toolCount = handheld ? 0 : StoredToolCount(tools);
    if (gEngine.frontDocument == document) CmdStateInvalidate(kCommandGroupSaveAndClose);
    const int32_t pageCount = DocumentPageCount(document);
    const int32_t menuCount = handheld ? 0 : DocumentMenuCount(document);
    BusyTask* busy = BeginBusyTask(kBusySaving, static_cast<uint32_t>(pageCount + toolCount + menuCount), true);
    // Sections of other types were only counted when read and are not written: the
    // actions describe the file being written.
    const bool singlePage = pageCount == 1 && DocumentToolCount(document) == 0 && DocumentMenuCount(document) == 0;
    ResultCode rc = handheld ? kResultHandheldForm : kResultOK;
    uint32_t done = 0;
    auto step = [&](ResultCode code) {
        if (Keep(&rc, code)) return false;
        if (!UpdateBusyTask(busy, ++done)) Keep(&rc, kResultCancelled);
        return !IsFatalError(rc);
    };
    bool going = !Keep(&rc, WriteFileHeader(stream, document, toolCount, handheld));
    for (int32_t i = 0; going && i < pageCount; ++i) {
        Sketch* page = DocumentPageAt(document, i);
        // The file keeps link targets as page indexes; memory keeps page ids.
        PageLinkWord saved[kKeptLinkWords];
        const int32_t kept = ConvertPageLinksToIndexes(document, page, saved, kKeptLinkWords);
        const ResultCode written = WritePageSection(stream, page, singlePage, handheld);
        if (kept < 0) ConvertPageLinks(document, page, false);
        for (int32_t k = 0; k < kept; ++k) *saved[k].word = saved[k].id;
        going = step(written);
    }
    if (!handheld) {
        for (int32_t i = 0; going && tools != nullptr && i < ToolListCount(tools); ++i) {
            Sketch* tool = nullptr;
            if (ToolListAcquire(tools, i, &tool) != kResultOK) continue;
            ToolListRelease(tools, i);
            going = step(WriteToolSection(stream, tools, i));
        }
        for (int32_t i = 0; going && i < menuCount; ++i) {
            const MenuBlob* blob = DocumentMenuAt(document, i);
            going = step(WriteMenuSection(stream, blob->bytes, static_cast<uint32_t>(blob->length)));
        }
    }
    if (!IsFatalError(rc)) Keep(&rc, StreamWriteRecord(stream, 0, kTagFileEnd, nullptr));
    EndBusyTask(busy);
    return rc;
}

// ---- Reading --------------------------------------------------------------------

ResultCode ReadFileHeader(StreamHandle stream, EngineDocument* document, FileHeaderInfo* info) {
    *info = FileHeaderInfo{0, 0, -1, 0};
    uint8_t magic[4];
    ResultCode rc = StreamRead(stream, magic, sizeof magic);
    // A file too short for the magic holds no document at all.
    if (rc == kResultEndOfData) return kResultNotADocument;
    if (rc != kResultOK) return rc;

    uint8_t header[kFileHeaderBytes] = {};
    bool olderFormat = false;
    if (std::memcmp(magic, kMagic, 4) == 0) {
        uint32_t tag = 0, length = 0;
        rc = StreamReadRecordInto(stream, &tag, &length, header, sizeof header);
        if (rc == kResultRecordShort) rc = kResultOK;  // the missing fields read 0
        // The magic says document: a file that ends inside its header is a damaged one.
        if (rc == kResultEndOfData) return kResultDamaged;
        if (IsFatalError(rc)) return rc;
        if (tag != kTagFileHeader) return kResultOtherVersion;
    } else if (std::memcmp(magic, kOlderPageMagic, 4) == 0) {
        olderFormat = true;
        rc = kResultOlderFormat;
        PutU16(header + 2, 1);
    } else if (std::memcmp(magic, kOlderToolMagic, 4) == 0) {
        // Older tool documents hold no records of this format: reading their one tool
        // section would take their bytes for record headers. They are refused.
        return kResultOtherVersion;
    } else {
        const uint32_t word = uint32_t(magic[0]) | uint32_t(magic[1]) << 8 | uint32_t(magic[2]) << 16 |
                              uint32_t(magic[3]) << 24;
        if ((word & 0xC0FFFFu) != 0) return kResultNotADocument;
        uint8_t version[2];
        rc = StreamRead(stream, version, sizeof version);
        if (rc == kResultEndOfData) return kResultNotADocument;
        if (rc != kResultOK) return rc;
        const int32_t v = version[0] << 8 | version[1];
        if (v < kOldestBigEndianVersion) return kResultVersionTooOld;
        if (v > kNewestBigEndianVersion) return kResultOtherVersion;
        olderFormat = true;
        rc = kResultOlderFormat;
        PutU16(header + 2, 1);
    }

    const int32_t versionWritten = GetU16(header + 0);
    if (!olderFormat) {
        if (GetU16(header + 14) > kWriterVersion) return kResultOtherVersion;
        if (versionWritten > kWriterVersion) Keep(&rc, kResultRecordLong);
        else if (versionWritten < kWriterVersion) Keep(&rc, kResultOlderWriter);
    }
    const int32_t pages = GetU16(header + 2);
    const int32_t tools = GetU16(header + 4);
    const int32_t menus = GetU16(header + 6);
    const int32_t others = GetU16(header + 8);
    document->documentValue = GetU16(header + 12);
    info->sectionTotal = pages + tools + menus + others;
    info->versionWritten = versionWritten;
    info->pageCount = pages;
    const int32_t current = GetU16(header + 16);
    if (current < pages) info->currentPageIndex = current;
    if (versionWritten > 1) {
        document->windowWidth = static_cast<int16_t>(GetU16(header + 18));
        document->windowHeight = static_cast<int16_t>(GetU16(header + 20));
    }
    // The counts come from the file: room is made only for as many sections as the
    // rest of the stream can hold (the arrays grow if more really follow).
    uint32_t position = 0, size = 0;
    StreamTell(stream, &position);
    StreamSize(stream, &size);
    const int32_t fit = static_cast<int32_t>((size > position ? size - position : 0) / kLeastSectionBytes);
    auto bounded = [fit](int32_t n) { return n < fit ? n : fit; };
    ResultCode sized = ReserveDocumentItems(document, kDocumentItemPage, bounded(pages));
    if (sized == kResultOK && tools != 0) sized = ReserveDocumentItems(document, kDocumentItemTool, bounded(tools));
    if (sized == kResultOK) sized = ReserveDocumentItems(document, kDocumentItemMenu, bounded(menus));
    if (sized == kResultOK) sized = ReserveDocumentItems(document, kDocumentItemOther, bounded(others));
    if (sized != kResultOK) {
        for (int32_t type = kDocumentItemPage; type < kDocumentItemTypes; ++type) FreeDocumentArray(document, type);
        return sized;
    }
    return rc;
}

ResultCode SkipSection(StreamHandle stream) {
    for (;;) {
        const uint32_t next = StreamPeekRecordTag(stream);
        if (next == kTagSectionEnd) return kResultOK;
        uint32_t tag = 0, length = 0;
        ResultCode rc = StreamReadRecordHeader(stream, &tag, &length);
        if (rc == kResultOK && length != 0) {
            uint32_t position = 0, size = 0;
            rc = StreamTell(stream, &position);
            if (rc == kResultOK) rc = StreamSize(stream, &size);
            if (rc == kResultOK) {
                if (length > size - position) rc = kResultEndOfData;
                else rc = StreamSeek(stream, static_cast<int32_t>(length), 1);
            }
        }
        if (rc != kResultOK) return rc;
    }
}

namespace {

// Skips a section whose header was refused, its 903 included.
ResultCode SkipRestOfSection(StreamHandle stream) {
    ResultCode rc = SkipSection(stream);
    uint32_t tag = 0, length = 0;
    if (rc == kResultOK) rc = StreamReadRecordHeader(stream, &tag, &length);
    if (rc == kResultOK && length != 0) rc = StreamSeek(stream, static_cast<int32_t>(length), 1);
    return rc;
}

}  // namespace

ResultCode ReadSectionHeader(StreamHandle stream, int32_t* type, int32_t* action, int32_t* versionWritten,
                             char** message) {
    *type = -1;
    *action = kActionNone;
    *versionWritten = 0;
    *message = nullptr;
    uint32_t tag = 0, length = 0;
    const uint8_t* payload = nullptr;
    ResultCode rc = StreamReadRecord(stream, &tag, &length, &payload);
    // The file header announced this section: a file that ends before it was cut short,
    // and opening the rest as if a later version had written it would hide the loss.
    if (rc == kResultEndOfData) return kResultDamaged;
    if (rc != kResultOK) return rc;
    if (tag != kTagSectionHeader || length < kSectionFixedBytes) return kResultDamaged;

    SectionHeader header = {};
    header.type = GetU16(payload + 0);
    header.versionWritten = GetU16(payload + 2);
    header.oldestReader = GetU16(payload + 4);
    for (int32_t i = 0; i < 3; ++i) header.actions[i] = GetU16(payload + 6 + 2 * i);
    uint32_t used = kSectionFixedBytes;
    for (int32_t i = 0; i < 3; ++i) {
        uint32_t textLength = 0, packed = 0;
        if (!CheckCountedString(payload + used, length - used, &textLength, &packed)) return kResultDamaged;
        if (textLength > kSectionTextRoom) textLength = kSectionTextRoom;
        std::memcpy(header.texts[i], payload + used + 2, textLength);
        header.texts[i][textLength] = '\0';
        used += packed;
    }

    int32_t slot = -1;
    rc = kResultOK;
    const int32_t readerVersion = header.type <= kHighestSectionType ? kReaderVersions[header.type] : 0;
    if (readerVersion == 0) {
        rc = kResultSectionSkipped;
        slot = 0;
    } else if (readerVersion < header.oldestReader) {
        slot = 1;
        rc = (header.actions[1] == kActionRefuse || header.type == kSectionFileLevel) ? kResultOtherVersion
                                                                                     : kResultSectionSkipped;
    } else if (readerVersion < header.versionWritten) {
        slot = 2;
    }
    if (slot >= 0) {
        *action = header.actions[slot];
        if (*action > 5) {
            *action = kActionRefuse;
            rc = kResultOtherVersion;
        }
        if (*action >= kActionRefuse && *action <= kActionMessage && header.texts[slot][0] != '\0') {
            *message = CopyMessage(header.texts[slot]);
            if (*message == nullptr) return kResultOutOfMemory;
        }
    }
    if (rc == kResultOK) {
        *type = header.type;
        *versionWritten = header.versionWritten;
        return kResultOK;
    }
    const ResultCode skipped = SkipRestOfSection(stream);
    // A file that ends inside a skipped section has lost nothing this reader could use.
    if (skipped != kResultOK && skipped != kResultEndOfData) Keep(&rc, skipped);
    return rc;
}

ResultCode ReadPageSection(StreamHandle stream, EngineDocument* document, bool olderFormat, int32_t headerPageCount,
                           int32_t versionWritten, Sketch** page) {
    *page = nullptr;
    if (DocumentPageCount(document) >= headerPageCount) return kResultDamaged;
    ResultCode rc = ReserveDocumentItems(document, kDocumentItemPage, 1);
    if (rc != kResultOK) return rc;
    Sketch* sketch = nullptr;
    if (olderFormat) {
        sketch = CreateSketch(0, document);
        if (!sketch) return kResultOutOfMemory;
        Sketch* previous = nullptr;
        SetCurrentSketch(sketch, &previous);
        rc = ReadLegacyDocument(stream, sketch, document, nullptr);
        if (!IsFatalError(rc)) RecomputeSketch(false);
        SetCurrentSketch(previous, nullptr);
        if (IsFatalError(rc)) {
            FreeSketch(sketch);
            return rc;
        }
        InsertDocumentItem(document, sketch, kDocumentItemPage, document->owner);  // room was made above
        *page = sketch;
        return rc;
    }
    FormatInfo format = kCurrentPageFormat;
    if (versionWritten >= kHandheldVersion && versionWritten < kWriterVersion) {
        format.formatVersion = versionWritten;
        format.settingsVersion = versionWritten;
    }
    rc = ReadSketch(stream, &sketch, document, format);
    if (sketch == nullptr) return rc != kResultOK ? rc : kResultDamaged;
    InsertDocumentItem(document, sketch, kDocumentItemPage, document->owner);  // room was made above
    *page = sketch;
    return rc;
}

ResultCode ReadMenuSection(StreamHandle stream, EngineDocument* document) {
    uint32_t tag = 0, length = 0;
    const uint8_t* payload = nullptr;
    ResultCode rc = StreamReadRecord(stream, &tag, &length, &payload);
    if (rc != kResultOK) return rc;
    if (tag != kTagMenuDescription) return kResultDamaged;
    rc = AddMenuBlob(document, payload, length);
    if (rc != kResultOK) return rc;
    rc = StreamReadRecordHeader(stream, &tag, &length);
    if (rc != kResultOK) return rc;
    if (tag != kTagMenuEnd || length != 0) return kResultDamaged;
    return kResultOK;
}

namespace {

ResultCode ReadToolSection(StreamHandle stream, EngineDocument* document, int32_t versionWritten) {
    if (versionWritten < kWriterVersion) {
        ResultCode rc = SkipSection(stream);
        return rc == kResultOK ? kResultSectionSkipped : rc;
    }
    Sketch* tool = nullptr;
    ResultCode rc = ReadSketch(stream, &tool, nullptr, kCurrentPartialFormat);
    if (tool == nullptr) return rc ? rc : kResultDamaged;
    const ResultCode added = InsertDocumentItem(document, tool, kDocumentItemTool, nullptr);
    if (added != kResultOK) {
        FreeSketch(tool);
        return added;
    }
    return rc;
}

}  // namespace

ResultCode ReadDocumentBody(StreamHandle stream, EngineDocument* document, bool* openAsCopy, char** message,
                            bool headerOnly) {
    *openAsCopy = false;
    *message = nullptr;
    FileHeaderInfo info;
    ResultCode rc = ReadFileHeader(stream, document, &info);
    const bool olderFormat = rc == kResultOlderFormat || rc == kResultOlderToolFile;
    if (olderFormat && headerOnly) return rc;
    if (rc != kResultOK && rc != kResultRecordLong && rc != kResultOlderWriter && !olderFormat) return rc;
    const ResultCode headerResult = rc;

    uint32_t size = 0;
    StreamSize(stream, &size);
    BusyTask* busy = BeginBusyTask(headerOnly ? kBusyPreparingTools : kBusyOpening, size / 16, true);
    char* kept = nullptr;
    ResultCode keptCode = 0;
    int32_t others = 0;
    for (int32_t i = 0; i < info.sectionTotal; ++i) {
        if (!StillWanted(busy, stream)) {
            Keep(&rc, kResultCancelled);
            break;
        }
        int32_t type = 0, action = 0, versionWritten = 0;
        ResultCode sectionResult = kResultOK;
        if (olderFormat) {
            type = headerResult == kResultOlderFormat ? kSectionPage : kSectionTool;
            action = kActionCopy;
        } else {
            char* text = nullptr;
            sectionResult = ReadSectionHeader(stream, &type, &action, &versionWritten, &text);
            if (text != nullptr) {
                if (kept == nullptr || sectionResult >= keptCode) {
                    FreeMemory(kept);
                    kept = text;
                    keptCode = sectionResult;
                } else {
                    FreeMemory(text);
                }
            }
            Keep(&rc, sectionResult);
        }
        // Past the end of the data every further section would only repeat this one's
        // result: skipped with 11, the document opening as a copy.
        const bool atEnd = !olderFormat && StreamError(stream) == kResultEndOfData &&
                           sectionResult == kResultSectionSkipped;
        if (action == kActionCopy) {
            *openAsCopy = true;
            document->modified = 1;
        }
        if (sectionResult != kResultOK && sectionResult != kResultOlderWriter) {
            if (IsFatalError(rc) || atEnd) break;
            continue;  // its section, 903 included, is skipped already
        }
        ResultCode read = kResultOK;
        switch (type) {
        case kSectionPage:
            if (headerOnly) {
                read = SkipSection(stream);
            } else {
                Sketch* page = nullptr;
                read = ReadPageSection(stream, document, olderFormat, info.pageCount, versionWritten, &page);
                if (page != nullptr && (action == kActionCopyNoTitle || action == kActionCopy)) *openAsCopy = true;
                if (page != nullptr && action == kActionCopyNoTitle) SetSketchTitle(page, nullptr);
            }
            break;
        case kSectionTool:
            read = ReadToolSection(stream, document, olderFormat ? 0 : versionWritten);
            break;
        case kSectionMenu:
            read = ReadMenuSection(stream, document);
            break;
        default:
            // A known type with no reader of its own: its records mean nothing here.
            read = SkipSection(stream);
            ++others;
            break;
        }
        if (Keep(&rc, read)) break;
        if (!olderFormat) {
            uint32_t tag = 0, length = 0;
            ResultCode end = StreamReadRecordHeader(stream, &tag, &length);
            if (end == kResultEndOfData) end = kResultDamaged;  // cut before the section's end
            else if (end == kResultOK && tag != kTagSectionEnd) end = kResultDamaged;
            else if (end == kResultOK && length != 0) end = StreamSeek(stream, static_cast<int32_t>(length), 1);
            if (Keep(&rc, end)) break;
        }
    }
    EndBusyTask(busy);
    // Whatever part ran into the end of the data, the file is shorter than it says.
    if (rc == kResultEndOfData) rc = kResultDamaged;

    if (!IsFatalError(rc) && !headerOnly) {
        for (int32_t i = 0; i < DocumentPageCount(document); ++i)
            ConvertPageLinks(document, DocumentPageAt(document, i), false);
        if (info.currentPageIndex > 0 && info.currentPageIndex < DocumentPageCount(document))
            document->currentPage = DocumentPageAt(document, info.currentPageIndex);
    }
    document->arrays[kDocumentItemOther].count = others;

    if (!headerOnly && !IsFatalError(rc)) {
        if (DocumentPageCount(document) == 0 && DocumentToolCount(document) != 0) {
            rc = kResultNoSketches;
        } else if (kept == nullptr && DocumentPageCount(document) == 0 && DocumentToolCount(document) == 0 &&
                   DocumentMenuCount(document) == 0 && others == 0) {
            // Nothing at all was read: there is no document to show.
            rc = kResultOtherVersion;
        }
    }
    if (IsWarningResult(rc)) {
        *openAsCopy = true;
        document->modified = 1;
    } else if (rc == kResultOK) {
        document->modified = 0;
    }
    if (kept != nullptr && rc == keptCode) {
        *message = kept;
    } else {
        FreeMemory(kept);
    }
    return rc;
}

ResultCode ReadEngineDocument(StreamHandle stream, EngineDocument** out, bool* openAsCopy, void* owner,
                              char** message, bool headerOnly) {
    *out = nullptr;
    *openAsCopy = false;
    *message = nullptr;
    EngineDocument* document = nullptr;
    ResultCode rc = CreateEngineDocument(&document, owner);
    if (rc != kResultOK) return rc;
    rc = ReadDocumentBody(stream, document, openAsCopy, message, headerOnly);
    if (IsFatalError(rc)) {
        // A section's message that came with this refusal stays with the caller: it is
        // the text the user is shown in place of the code's own.
        *openAsCopy = false;
        FreeEngineDocument(document);
        return rc;
    }
    FitFramesToSketch(document);
    *out = document;
    return rc;
}

// ---- Saving to a path -----------------------------------------------------------

ResultCode SaveEngineDocumentToPath(EngineDocument* document, const char* path, bool handheld) {
    char temporary[kMaxPathChars] = {};
    StreamHandle stream = 0;
    ResultCode rc = OpenTempFileStreamForWrite(path, temporary, &stream);
    if (rc == kResultOK) {
        rc = WriteEngineDocument(stream, document, handheld);
        // Buffered bytes reach the disk only here: a full disk may show first at the close.
        Keep(&rc, CloseStream(stream));
    }
    if (!IsFatalError(rc)) Keep(&rc, ReplaceFileKeepingAttributes(path, temporary));
    if (IsFatalError(rc)) {
        if (temporary[0] != '\0') DeleteStreamFile(temporary);
        return rc;
    }
    MarkEngineDocumentSaved(document, handheld, rc);
    return rc;
}
