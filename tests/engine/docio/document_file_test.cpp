#include "engine/docio/document_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/text/string_groups.h"
#include "tests/engine/docio/document_fixture.h"
#include "tests/engine/docio/seed_files.h"
#include "tests/support/file_size_limit.h"

#if defined(__linux__)
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

using DocumentFile = DocumentTest;

// Walks the records of a file after the magic: {tag, payload offset, length}.
struct RecordAt {
    uint32_t tag;
    size_t   payload;
    uint32_t length;
};
std::vector<RecordAt> Records(const std::vector<uint8_t>& file) {
    std::vector<RecordAt> out;
    size_t p = 4;
    while (p + 8 <= file.size()) {
        const uint32_t length = GetU32(file, p);
        out.push_back({GetU32(file, p + 4), p + 8, length});
        p += 8 + length;
    }
    return out;
}

std::vector<uint8_t> SectionWords(const std::vector<uint8_t>& file, const RecordAt& r) {
    std::vector<uint8_t> words;
    for (int i = 0; i < 8; ++i) words.push_back(uint8_t(GetU16(file, r.payload + 2 * i)));
    return words;
}

std::string SectionText(const std::vector<uint8_t>& file, const RecordAt& r, int index) {
    size_t p = r.payload + 16;
    for (int i = 0; i < index; ++i) p += (GetU16(file, p) + 4) & ~size_t{1};
    return std::string(reinterpret_cast<const char*>(&file[p + 2]), GetU16(file, p));
}

TEST_F(DocumentFile, OnePageFileHasTheFramingAndSectionOfASingleDocument) {
    EngineDocument* d = NewDocument();
    AddPage(d);
    const std::vector<uint8_t> file = Write(d);
    SaveFuzzSeed("document_read_fuzz", "one_page", file);
    ASSERT_EQ(std::string(file.begin(), file.begin() + 4), "YRN4");
    const std::vector<RecordAt> r = Records(file);
    ASSERT_GE(r.size(), 6u);
    const size_t n = r.size();
    EXPECT_EQ(r[0].tag, 900u);
    EXPECT_EQ(r[1].tag, 902u);
    EXPECT_EQ(r[2].tag, 1000u);
    EXPECT_EQ(r[n - 3].tag, 1001u);
    EXPECT_EQ(r[n - 2].tag, 903u);
    EXPECT_EQ(r[n - 1].tag, 901u);
    EXPECT_EQ(r[0].length, 28u);
    EXPECT_EQ(GetU16(file, r[0].payload + 0), 4);   // version written
    EXPECT_EQ(GetU16(file, r[0].payload + 2), 1);   // pages
    EXPECT_EQ(GetU16(file, r[0].payload + 12), 1);  // document value
    EXPECT_EQ(GetU16(file, r[0].payload + 14), 4);  // oldest reader
    EXPECT_EQ(SectionWords(file, r[1]), (std::vector<uint8_t>{1, 4, 4, 1, 1, 2, 0, 0}));
    EXPECT_EQ(SectionText(file, r[1], 0), "");
    EXPECT_EQ(SectionText(file, r[1], 1), "That document was created with a newer version of Velmora and cannot be opened.");
    EXPECT_EQ(SectionText(file, r[1], 2), GroupText(kGroupAlerts, 121));
    EXPECT_EQ(r.back().length, 0u);
    for (const RecordAt& rec : r) EXPECT_EQ(rec.length % 2, 0u) << rec.tag;

    ReadResult back = Read(file);
    EXPECT_EQ(back.code, kResultOK);
    EXPECT_FALSE(back.openAsCopy);
    EXPECT_FALSE(back.hasMessage);
    ASSERT_NE(back.document, nullptr);
    EXPECT_EQ(DocumentPageCount(back.document), 1);
    EXPECT_FALSE(IsDocumentModified(back.document));
    EXPECT_EQ(RecordedDocumentServices().framesFitted, std::vector<EngineDocument*>{back.document});
}

TEST_F(DocumentFile, SectionHeadersOfAFullDocument) {
    EngineDocument* d = RichDocument();
    const std::vector<uint8_t> file = Write(d);
    std::vector<std::vector<uint8_t>> headers;
    for (const RecordAt& r : Records(file))
        if (r.tag == 902) headers.push_back(SectionWords(file, r));
    const std::vector<std::vector<uint8_t>> expected = {
        {1, 4, 4, 3, 3, 2, 0, 0}, {1, 4, 4, 3, 3, 2, 0, 0}, {1, 4, 4, 3, 3, 2, 0, 0},
        {2, 4, 4, 3, 3, 4, 0, 0}, {2, 4, 4, 3, 3, 4, 0, 0},
        {3, 1, 1, 4, 3, 4, 0, 0}, {3, 1, 1, 4, 3, 4, 0, 0},
    };
    EXPECT_EQ(headers, expected);
    const std::vector<RecordAt> r = Records(file);
    EXPECT_EQ(GetU16(file, r[0].payload + 2), 3);
    EXPECT_EQ(GetU16(file, r[0].payload + 4), 2);
    EXPECT_EQ(GetU16(file, r[0].payload + 6), 2);
    EXPECT_EQ(GetU16(file, r[0].payload + 12), 7);
    EXPECT_EQ(GetU16(file, r[0].payload + 16), 2);
    EXPECT_EQ(GetU16(file, r[0].payload + 18), 640);
    EXPECT_EQ(GetU16(file, r[0].payload + 20), 480);
}

TEST_F(DocumentFile, RoundTripGivesIdenticalBytesAndTheSameDocument) {
    EngineDocument* d = RichDocument();
    DocumentPageAt(d, 0)->pageFlags = 1;  // snap points to the grid
    DocumentPageAt(d, 0)->redrawLevel = -2;
    DocumentPageAt(d, 2)->windowRect = {30, 40, 50, 60};
    SketchSettings& settings = DocumentPageAt(d, 1)->settings;
    settings.traceFade = 5;
    settings.precision[2] = 4;
    settings.palette[7] = 0x203040;
    const std::vector<uint8_t> first = Write(d);
    SaveFuzzSeed("document_read_fuzz", "rich", first);
    ReadResult back = Read(first);
    ASSERT_EQ(back.code, kResultOK);
    ASSERT_NE(back.document, nullptr);
    EngineDocument* r = back.document;
    EXPECT_FALSE(back.openAsCopy);
    EXPECT_FALSE(IsDocumentModified(r));
    ASSERT_EQ(DocumentPageCount(r), 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(DocumentPageAt(r, i)->pageId, DocumentPageAt(d, i)->pageId);
        EXPECT_EQ(DocumentPageAt(r, i)->document, r);
        EXPECT_EQ(DocumentPageAt(r, i)->viewOwner, this);
        EXPECT_EQ(std::memcmp(&DocumentPageAt(r, i)->settings, &DocumentPageAt(d, i)->settings, sizeof(SketchSettings)), 0);
        // Each page's window has the document's page window size at its stored corner.
        const ScreenRect w = DocumentPageAt(r, i)->windowRect;
        EXPECT_EQ(w.left, DocumentPageAt(d, i)->windowRect.left);
        EXPECT_EQ(w.right - w.left, 640);
        EXPECT_EQ(w.bottom - w.top, 480);
    }
    EXPECT_EQ(DocumentPageAt(r, 0)->pageFlags, 1);
    EXPECT_EQ(DocumentPageAt(r, 0)->redrawLevel, -2);
    EXPECT_EQ(CurrentPageIndex(r), 2);
    EXPECT_EQ(DocumentToolCount(r), 2);
    // Page and tool names come back: a tool's name is its sketch's title.
    EXPECT_STREQ(DocumentPageAt(r, 0)->title, "First");
    EXPECT_EQ(DocumentPageAt(r, 1)->title, nullptr);
    EXPECT_STREQ(DocumentPageAt(r, 2)->title, "Third page");
    char name[64];
    ASSERT_TRUE(ToolListName(DocumentToolList(r), 0, name, sizeof name));
    EXPECT_STREQ(name, "Perpendicular Bisector");
    ASSERT_TRUE(ToolListName(DocumentToolList(r), 1, name, sizeof name));
    EXPECT_STREQ(name, "Incircle");
    // Every object read is in its draw-layer ring once, and the rings are whole.
    for (int32_t i = 0; i < 3; ++i) {
        const Sketch* page = DocumentPageAt(r, i);
        size_t objects = 0;
        for (const SketchObject* o = page->firstObject; o != nullptr; o = o->nextInSketch) ++objects;
        size_t inRings = 0;
        for (SketchObject* head : page->layerHeads) {
            if (head == nullptr) continue;
            const SketchObject* o = head;
            do {
                ASSERT_EQ(o->nextInLayer->prevInLayer, o);
                o = o->nextInLayer;
                ASSERT_LE(++inRings, objects);
            } while (o != head);
        }
        EXPECT_EQ(inRings, objects) << i;
    }
    ASSERT_EQ(DocumentMenuCount(r), 2);
    EXPECT_EQ(std::vector<uint8_t>(DocumentMenuAt(r, 0)->bytes, DocumentMenuAt(r, 0)->bytes + 6),
              (std::vector<uint8_t>{1, 0, 2, 0, 3, 0}));
    EXPECT_EQ(r->documentValue, 7);
    EXPECT_EQ(r->windowWidth, 640);
    EXPECT_EQ(r->windowHeight, 480);
    EXPECT_EQ(Write(r), first);
}

TEST_F(DocumentFile, HandheldFormHasVersionOneAndNoToolsOrMenus) {
    EngineDocument* d = RichDocument();
    for (int32_t i = 0; i < 3; ++i) DocumentPageAt(d, i)->windowRect = {10, 20, 10 + 640, 20 + 480};
    const std::vector<uint8_t> file = Write(d, true, kResultHandheldForm);
    SaveFuzzSeed("document_read_fuzz", "handheld", file);
    const std::vector<RecordAt> r = Records(file);
    EXPECT_EQ(GetU16(file, r[0].payload + 0), 1);
    EXPECT_EQ(GetU16(file, r[0].payload + 4), 0);
    EXPECT_EQ(GetU16(file, r[0].payload + 6), 0);
    EXPECT_EQ(GetU16(file, r[0].payload + 14), 1);
    EXPECT_EQ(GetU16(file, r[0].payload + 18), 0);
    int pageSections = 0;
    for (const RecordAt& rec : r) {
        if (rec.tag != 902) continue;
        ++pageSections;
        EXPECT_EQ(GetU16(file, rec.payload), 1);
        EXPECT_EQ(GetU16(file, rec.payload + 2), 1);
        EXPECT_EQ(GetU16(file, rec.payload + 4), 1);
    }
    EXPECT_EQ(pageSections, 3);
    // Version 1 is older than this reader's 4: the document opens as a copy.
    ReadResult back = Read(file);
    EXPECT_EQ(back.code, kResultOlderWriter);
    EXPECT_TRUE(back.openAsCopy);
    ASSERT_NE(back.document, nullptr);
    EXPECT_EQ(DocumentPageCount(back.document), 3);
    // The file header has no window size in this form: the pages give it.
    EXPECT_EQ(back.document->windowWidth, 640);
    EXPECT_EQ(back.document->windowHeight, 480);
}

// A file with one page section whose header the case gives, then one normal page.
std::vector<uint8_t> FileWithSections(const std::vector<std::vector<uint8_t>>& sections, uint32_t pages,
                                      uint32_t tools, uint32_t menus) {
    std::vector<uint8_t> f = Magic();
    PutRecord(f, 900, FileHeaderPayload(pages, tools, menus));
    for (const auto& s : sections) f.insert(f.end(), s.begin(), s.end());
    PutRecord(f, 901, {});
    return f;
}

std::vector<uint8_t> Section(const std::vector<uint8_t>& header, int body /* 0 none, 1 page, 2 tool, 3 menu */) {
    std::vector<uint8_t> s;
    PutRecord(s, 902, header);
    if (body == 1 || body == 2) PutBody(s, body == 1);
    if (body == 3) {
        PutRecord(s, 1004, {5, 6});
        PutRecord(s, 1005, {});
    }
    PutRecord(s, 903, {});
    return s;
}

TEST_F(DocumentFile, SectionActionsForOlderAndOtherReaders) {
    const std::vector<uint8_t> plainPage = Section(SectionHeaderPayload(1, 4, 4, 3, 3, 2), 1);
    struct Case {
        const char* name;
        std::vector<uint8_t> header;
        int body;
        ResultCode code;
        bool copy;
        int32_t pages, tools, menus;
        const char* message;  // null: none handed out
    };
    const Case cases[] = {
        {"page for newer reader, refuse", SectionHeaderPayload(1, 5, 5, 1, 1, 2, "", "refused", "newer"), 1,
         kResultOtherVersion, false, 0, 0, 0, "refused"},
        {"page for newer reader, copy", SectionHeaderPayload(1, 5, 5, 3, 3, 2, "", "skipped", "newer"), 1,
         kResultSectionSkipped, true, 1, 0, 0, "skipped"},
        {"page written later, readable", SectionHeaderPayload(1, 5, 4, 3, 3, 2, "", "", "may lose"), 1,
         kResultOK, true, 2, 0, 0, "may lose"},
        {"tool written by version 3", SectionHeaderPayload(2, 3, 3, 3, 3, 4), 2,
         kResultSectionSkipped, true, 1, 0, 0, nullptr},
        {"menu written later", SectionHeaderPayload(3, 2, 1, 4, 3, 4, "a", "b", "menus may fail"), 3,
         kResultOK, false, 1, 0, 1, "menus may fail"},
        {"unknown section type", SectionHeaderPayload(7, 1, 1, 4, 1, 1, "special", "", ""), 1,
         kResultSectionSkipped, true, 1, 0, 0, "special"},
        {"action out of range", SectionHeaderPayload(1, 5, 5, 9, 9, 9, "", "x", ""), 1,
         kResultOtherVersion, false, 0, 0, 0, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDocumentServices();
        const uint32_t pages = 1 + (c.body == 1 ? 1 : 0);
        const std::vector<uint8_t> file = FileWithSections({Section(c.header, c.body), plainPage}, pages,
                                                           c.body == 2 ? 1 : 0, c.body == 3 ? 1 : 0);
        SaveFuzzSeed("document_read_fuzz", std::string("sections_") + std::to_string(&c - cases), file);
        ReadResult r = Read(file);
        EXPECT_EQ(r.code, c.code);
        // A refusal hands out the section's own text as well: it says why.
        EXPECT_EQ(r.hasMessage, c.message != nullptr);
        if (c.message) {
            EXPECT_EQ(r.message, c.message);
        }
        if (IsFatalError(c.code)) {
            EXPECT_EQ(r.document, nullptr);
            continue;
        }
        ASSERT_NE(r.document, nullptr);
        EXPECT_EQ(r.openAsCopy, c.copy);
        // Only warnings leave the document modified; result 0 clears the flag.
        EXPECT_EQ(IsDocumentModified(r.document), IsWarningResult(c.code));
        EXPECT_EQ(DocumentPageCount(r.document), c.pages);
        EXPECT_EQ(DocumentToolCount(r.document), c.tools);
        EXPECT_EQ(DocumentMenuCount(r.document), c.menus);
    }
}

// A section of a type this reader only counts is not written back: the page alone in
// the saved file is a single page again, which older readers refuse rather than copy.
TEST_F(DocumentFile, SectionsNotWrittenBackAreNotCountedInTheSave) {
    const std::vector<uint8_t> file = FileWithSections(
        {Section(SectionHeaderPayload(0, 4, 4, 3, 3, 2), 0), Section(SectionHeaderPayload(1, 4, 4, 3, 3, 2), 1)}, 2,
        0, 0);
    SaveFuzzSeed("document_read_fuzz", "other_section", file);
    ReadResult r = Read(file);
    ASSERT_NE(r.document, nullptr);
    ASSERT_EQ(DocumentPageCount(r.document), 1);
    const std::vector<uint8_t> saved = Write(r.document);
    std::vector<std::vector<uint8_t>> headers;
    for (const RecordAt& rec : Records(saved))
        if (rec.tag == 902) headers.push_back(SectionWords(saved, rec));
    EXPECT_EQ(headers, (std::vector<std::vector<uint8_t>>{{1, 4, 4, 1, 1, 2, 0, 0}}));
}

TEST_F(DocumentFile, ActionTwoOpensAsCopyWithoutThePageTitle) {
    std::vector<uint8_t> s;
    PutRecord(s, 902, SectionHeaderPayload(1, 5, 4, 3, 3, 2));
    std::vector<uint8_t> header(36, 0);
    PutRecord(s, 1000, header);
    PutRecord(s, 1100, {'T', 'i', 't', 'l', 'e', 0});
    PutRecord(s, 1001, {});
    PutRecord(s, 903, {});
    ReadResult r = Read(FileWithSections({s}, 1, 0, 0));
    ASSERT_EQ(r.code, kResultOK);
    EXPECT_TRUE(r.openAsCopy);
    EXPECT_EQ(DocumentPageAt(r.document, 0)->title, nullptr);
    // A stored id of 0 is replaced by a fresh one.
    EXPECT_NE(DocumentPageAt(r.document, 0)->pageId & 0x8000, 0);
}

TEST_F(DocumentFile, FileHeaderCases) {
    auto headerFile = [](std::vector<uint8_t> header) {
        std::vector<uint8_t> f = Magic();
        PutRecord(f, 900, header);
        PutRecord(f, 902, SectionHeaderPayload(1, 4, 4, 1, 1, 2));
        PutBody(f, true);
        PutRecord(f, 903, {});
        PutRecord(f, 901, {});
        return f;
    };
    auto raw = [](std::vector<uint8_t> bytes) { return bytes; };
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        ResultCode code;
    };
    const Case cases[] = {
        {"longer header", headerFile(FileHeaderPayload(1, 0, 0, 4, 4, 0, 30)), kResultRecordLong},
        {"shorter header", headerFile(FileHeaderPayload(1, 0, 0, 4, 4, 0, 6)), kResultOK},
        {"newer writer", headerFile(FileHeaderPayload(1, 0, 0, 5, 4)), kResultRecordLong},
        {"older writer", headerFile(FileHeaderPayload(1, 0, 0, 3, 3)), kResultOlderWriter},
        {"newer oldest reader", headerFile(FileHeaderPayload(1, 0, 0, 5, 5)), kResultOtherVersion},
        {"older tool document", raw({'Y', 'R', 'N', 'c', 0, 0, 0, 1, 0, 0, 0, 0}), kResultOtherVersion},
        {"big-endian version 9", raw({0, 0, 0, 0, 0, 9, 0, 0}), kResultVersionTooOld},
        {"big-endian version 13", raw({0, 0, 0, 0, 0, 13, 0, 0}), kResultOtherVersion},
        {"not a document", raw({'%', 'P', 'D', 'F', '-', '1'}), kResultNotADocument},
        {"third byte with a top bit", raw({0, 0, 0x40, 0, 0, 11}), kResultNotADocument},
        {"empty file", raw({}), kResultNotADocument},
        {"header tag wrong", raw({'Y', 'R', 'N', '4', 0, 0, 0, 0, 0x85, 3, 0, 0}), kResultOtherVersion},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadResult r = Read(c.file);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.document == nullptr, IsFatalError(c.code));
        if (r.document) {
            EXPECT_EQ(DocumentPageCount(r.document), 1);
        }
    }
}

TEST_F(DocumentFile, OlderFormatsAreRecognisedByTheirFirstBytes) {
    // Header-only reading ends with the older-format result before any page is read.
    const std::vector<uint8_t> bigEndian = {0, 0, 0, 0, 0, 11, 0, 0};
    const std::vector<uint8_t> littleEndian = {'Y', 'R', 'N', 'k', 0, 0, 0, 0};
    for (const auto& file : {bigEndian, littleEndian}) {
        ReadResult r = Read(file, true);
        EXPECT_EQ(r.code, kResultOlderFormat);
        ASSERT_NE(r.document, nullptr);
        EXPECT_EQ(DocumentPageCount(r.document), 0);
    }
}

TEST_F(DocumentFile, OnlyToolsGives40ButItsToolsInHeaderOnlyMode) {
    EngineDocument* tools = NewDocument();
    AddTool(tools, "One");
    AddTool(tools, "Two");
    const std::vector<uint8_t> file = Write(tools);
    EXPECT_EQ(Read(file).code, kResultNoSketches);
    ReadResult scan = Read(file, true);
    ASSERT_EQ(scan.code, kResultOK);
    EXPECT_EQ(DocumentToolCount(scan.document), 2);
    EXPECT_EQ(RecordedDocumentServices().busyKinds.back(), kBusyPreparingTools);

    // Header-only skips pages but still reads the tools behind them.
    EngineDocument* d = RichDocument();
    ReadResult rich = Read(Write(d), true);
    ASSERT_EQ(rich.code, kResultOK);
    EXPECT_EQ(DocumentPageCount(rich.document), 0);
    EXPECT_EQ(DocumentToolCount(rich.document), 2);
    EXPECT_EQ(DocumentMenuCount(rich.document), 2);
}

TEST_F(DocumentFile, DamagedFramingIsRefusedWith35) {
    std::vector<uint8_t> noEnd;
    PutRecord(noEnd, 902, SectionHeaderPayload(1, 4, 4, 1, 1, 2));
    PutBody(noEnd, true);
    PutRecord(noEnd, 1100, {0, 0});  // where 903 must stand
    std::vector<uint8_t> badMenu;
    PutRecord(badMenu, 902, SectionHeaderPayload(3, 1, 1, 4, 3, 4));
    PutRecord(badMenu, 1005, {});
    PutRecord(badMenu, 903, {});
    std::vector<uint8_t> page = Section(SectionHeaderPayload(1, 4, 4, 3, 3, 2), 1);
    std::vector<uint8_t> emptyHeader;
    PutRecord(emptyHeader, 902, {});
    EXPECT_EQ(Read(FileWithSections({noEnd}, 1, 0, 0)).code, kResultDamaged);
    EXPECT_EQ(Read(FileWithSections({page, badMenu}, 1, 0, 1)).code, kResultDamaged);
    EXPECT_EQ(Read(FileWithSections({emptyHeader}, 1, 0, 0)).code, kResultDamaged);
    // More page sections than the header announced.
    EXPECT_EQ(Read(FileWithSections({page, page}, 1, 1, 0)).code, kResultDamaged);
}

TEST_F(DocumentFile, ObjectOfAnotherClassThanItsConstructionIsDamage) {
    EngineDocument* d = RichDocument();
    std::vector<uint8_t> file = Write(d);
    // The first constructed object (a segment) claims to be of a text class.
    for (const RecordAt& r : Records(file)) {
        if (r.tag == 2000 && GetU32(file, r.payload) != 0) {
            file[r.payload + 6] = 7;
            break;
        }
    }
    ReadResult r = Read(file);
    EXPECT_EQ(r.code, kResultDamaged);
    EXPECT_EQ(r.document, nullptr);
}

// A circle stored with the kind of a line would be a path whose routines read its circle
// data as a line's (a locus on it read past the object): damage.
TEST_F(DocumentFile, APathKindOfAnotherShapeIsDamage) {
    EngineDocument* d = RichDocument();
    std::vector<uint8_t> file = Write(d);
    bool found = false;
    for (const RecordAt& r : Records(file)) {
        if (r.tag == 2000 && GetU16(file, r.payload + 6) == kClassCircle) {
            file[r.payload + 8] = 12;  // the stored code of a line
            found = true;
            break;
        }
    }
    ASSERT_TRUE(found);
    SaveFuzzSeed("document_read_fuzz", "circle_of_a_line_kind", file);
    ReadResult r = Read(file);
    EXPECT_EQ(r.code, kResultDamaged);
    EXPECT_EQ(r.document, nullptr);
}

TEST_F(DocumentFile, AFileCutShortIsDamagedWhereverItIsCut) {
    EngineDocument* d = RichDocument();
    const std::vector<uint8_t> file = Write(d);
    // Every cut before the end record: at record boundaries and inside records.
    std::vector<size_t> cuts = RecordBoundaries(file);
    for (size_t cut = 4; cut + 8 < file.size(); cut += 5) cuts.push_back(cut);
    for (size_t cut : cuts) {
        if (cut + 8 >= file.size()) continue;
        SCOPED_TRACE(cut);
        ResetDocumentServices();
        ReadResult r = Read(std::vector<uint8_t>(file.begin(), file.begin() + cut));
        // Never a partial copy, never another version or skipped objects.
        EXPECT_EQ(r.code, cut < 4 ? kResultNotADocument : kResultDamaged);
        EXPECT_EQ(r.document, nullptr);
        EXPECT_EQ(RecordedDocumentServices().busyEnded, cut < 4 + 36 ? 0 : 1);
    }
    // Cut after the last section: only the end record is missing, nothing is lost.
    EXPECT_EQ(Read(std::vector<uint8_t>(file.begin(), file.end() - 8)).code, kResultOK);
}

TEST_F(DocumentFile, ReadingUnderMemoryFailureNeverLeaksOrHalfBuilds) {
    EngineDocument* d = RichDocument();
    const std::vector<uint8_t> file = Write(d);
    bool succeeded = false;
    for (uint32_t n = 1; n < 200 && !succeeded; ++n) {
        SCOPED_TRACE(n);
        EngineDocument* r = nullptr;
        const ResultCode rc = ReadFailingAt(file, n, &r);
        if (rc == kResultOK) {
            succeeded = true;
            EXPECT_EQ(DocumentPageCount(r), 3);
        } else {
            EXPECT_EQ(rc, kResultOutOfMemory);
            EXPECT_EQ(r, nullptr);
        }
        FreeEngineDocument(r);
    }
    EXPECT_TRUE(succeeded);
}

TEST_F(DocumentFile, UserStopsReadingWith104) {
    EngineDocument* d = RichDocument();
    const std::vector<uint8_t> file = Write(d);
    ResetDocumentServices();
    RecordedDocumentServices().stopAtUpdate = 2;
    ReadResult r = Read(file);
    EXPECT_EQ(r.code, kResultCancelled);
    EXPECT_EQ(r.document, nullptr);
    EXPECT_EQ(RecordedDocumentServices().busyEnded, 1);
}

TEST_F(DocumentFile, WriteIntoAFullStreamFailsAndChangesNothing) {
    EngineDocument* d = RichDocument();
    SetDocumentModified(d, true);
    std::vector<uint8_t> block(300);
    StreamHandle h = 0;
    ASSERT_EQ(OpenViewStream(block.data(), static_cast<uint32_t>(block.size()), &h), kResultOK);
    EXPECT_EQ(WriteEngineDocument(h, d, false), kResultBlockFull);
    CloseStream(h);
    DiscardStream(h);
    EXPECT_TRUE(IsDocumentModified(d));
    EXPECT_EQ(RecordedDocumentServices().busyKinds, std::vector<int32_t>{kBusySaving});
    EXPECT_EQ(RecordedDocumentServices().busyEnded, 1);
}

TEST_F(DocumentFile, LinkTargetsAreWrittenAsIndexesAndStayIdsInMemory) {
    // Exercised in the engine document tests with buttons; here only the writer's
    // promise: writing leaves every page as it was.
    EngineDocument* d = RichDocument();
    std::vector<uint16_t> ids;
    for (int32_t i = 0; i < 3; ++i) ids.push_back(DocumentPageAt(d, i)->pageId);
    Write(d);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(DocumentPageAt(d, i)->pageId, ids[i]);
}

// ---- The save road ----------------------------------------------------------------

class DocumentSave : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        folder_ = std::filesystem::path(::testing::TempDir()) / (std::string("save_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        target_ = (folder_ / "Triangle.yrn").string();
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(target_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(folder_, ec);
        DocumentTest::TearDown();
    }
    static std::vector<uint8_t> FileBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder_),
                                                 std::filesystem::directory_iterator()));
    }
    // A document with unsaved changes everywhere: the flag, a page's undo position
    // and a tool's change flags.
    EngineDocument* ChangedDocument() {
        EngineDocument* d = RichDocument();
        SetDocumentModified(d, true);
        AddUndoStep(DocumentPageAt(d, 1));
        ToolListSetFlags(DocumentToolList(d), 0, 4);
        return d;
    }
    std::filesystem::path folder_;
    std::string target_;
};

TEST_F(DocumentSave, SaveReplacesTheTargetAndOnlyThenClearsTheChanges) {
    {
        std::ofstream old(target_, std::ios::binary);
        old << "old contents";
    }
    EngineDocument* d = ChangedDocument();
    ASSERT_EQ(SaveEngineDocumentToPath(d, target_.c_str(), false), kResultOK);
    EXPECT_FALSE(IsDocumentModified(d));
    EXPECT_FALSE(ToolListTestFlags(DocumentToolList(d), 0, kToolChangedFlags));
    EXPECT_EQ(FileBytes(target_), Write(d));
    EXPECT_EQ(FilesInFolder(), 1u);  // no temporary file left

    // A new file where there was none.
    const std::string fresh = (folder_ / "New.yrn").string();
    EXPECT_EQ(SaveEngineDocumentToPath(d, fresh.c_str(), false), kResultOK);
    EXPECT_EQ(FileBytes(fresh), FileBytes(target_));
}

TEST_F(DocumentSave, HandheldSaveKeepsTheDocumentModified) {
    EngineDocument* d = ChangedDocument();
    EXPECT_EQ(SaveEngineDocumentToPath(d, target_.c_str(), true), kResultHandheldForm);
    EXPECT_TRUE(IsDocumentModified(d));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(DocumentSave, LockedTargetFailsWith19AndKeepsEverything) {
    {
        std::ofstream old(target_, std::ios::binary);
        old << "old contents";
    }
    std::filesystem::permissions(target_, std::filesystem::perms::owner_read);
    EngineDocument* d = ChangedDocument();
    EXPECT_EQ(SaveEngineDocumentToPath(d, target_.c_str(), false), kResultFileLocked);
    EXPECT_TRUE(IsDocumentModified(d));
    EXPECT_TRUE(ToolListTestFlags(DocumentToolList(d), 0, kToolChangedFlags));
    const std::vector<uint8_t> old = FileBytes(target_);
    EXPECT_EQ(std::string(old.begin(), old.end()), "old contents");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(DocumentSave, FailedReplaceLeavesNoTemporaryFileAndTheDocumentModified) {
    // A folder under the target's name cannot be replaced by a file.
    std::filesystem::create_directories(target_);
    EngineDocument* d = ChangedDocument();
    EXPECT_EQ(SaveEngineDocumentToPath(d, target_.c_str(), false), kResultFileLocked);
    EXPECT_TRUE(IsDocumentModified(d));
    EXPECT_TRUE(std::filesystem::is_directory(target_));
    EXPECT_EQ(FilesInFolder(), 1u);
}

#if defined(__linux__)
TEST_F(DocumentSave, DiskFullHalfWayLeavesTheOldFileAndTheModifiedState) {
    const std::vector<uint8_t> oldBytes(64, 0x4f);
    {
        std::ofstream old(target_, std::ios::binary);
        old.write(reinterpret_cast<const char*>(oldBytes.data()), static_cast<std::streamsize>(oldBytes.size()));
    }
    EngineDocument* d = ChangedDocument();
    // Files may not grow past 100 bytes: the write fails part of the way through, and
    // the buffered bytes fail at the latest when the stream is closed.
    ResultCode rc = kResultOK;
    ASSERT_TRUE(WithFileSizeLimit(100, [&] { rc = SaveEngineDocumentToPath(d, target_.c_str(), false); }));
    EXPECT_TRUE(IsFatalError(rc)) << rc;
    EXPECT_TRUE(IsDocumentModified(d));
    EXPECT_TRUE(ToolListTestFlags(DocumentToolList(d), 0, kToolChangedFlags));
    EXPECT_EQ(FileBytes(target_), oldBytes);
    EXPECT_EQ(FilesInFolder(), 1u);
}
#endif

}  // namespace
