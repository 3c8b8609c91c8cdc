// Building documents, files and byte images for the document tests.
#pragma once
#include <gtest/gtest.h>

#include "stream_bytes.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/services/undo.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/random.h"
#include "engine/core/sketch.h"
#include "engine/core/tool_list.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/core/services/busy.h"
#include "engine/core/services/files.h"
#include "engine/docio/streams.h"
#include "engine/docio/transfer_context.h"
#include "tests/support/document_services_double.h"
#include "tests/support/views_double.h"

class DocumentTest : public ::testing::Test {
protected:
    // An undo step on a page: a record without entries becomes its undo position.
    static void AddUndoStep(Sketch* page) {
        Sketch* previous = nullptr;
        SetCurrentSketch(page, &previous);
        const UndoDescriptor d = { kUndoNameConstruct, kUndoNounNone, 0, nullptr };
        uint8_t* cursor = nullptr;
        UndoRecord* record = UndoRecordCreate(&d, 0, 0, &cursor);
        ASSERT_NE(record, nullptr);
        UndoRecordCommit(record, false);
        SetCurrentSketch(previous, nullptr);
    }
    void SetUp() override {
        FreeStreamTable();
        ASSERT_TRUE(InitStreamTable());
        ResetDocumentServices();
        NoCurrentOrFrontSketch();
        SetRandomSeed(1);
    }
    void TearDown() override {
        SetAllocFailureAfter(0);
        for (EngineDocument* d : owned_) FreeEngineDocument(d);
        NoCurrentOrFrontSketch();
        FreeStreamTable();
    }

    static void NoCurrentOrFrontSketch() {
        SetCurrentSketch(nullptr, nullptr);
        MakeCurrentSketchFront();
    }

    EngineDocument* NewDocument() {
        EngineDocument* d = nullptr;
        EXPECT_EQ(CreateEngineDocument(&d, this), kResultOK);
        owned_.push_back(d);
        return d;
    }
    void Forget(EngineDocument* d) { std::erase(owned_, d); }
    void Adopt(EngineDocument* d) {
        if (d != nullptr) {
            owned_.push_back(d);
        }
    }

    Sketch* AddPage(EngineDocument* d, const char* title = nullptr) {
        void* item = nullptr;
        EXPECT_EQ(AddDocumentItem(d, &item, kDocumentItemPage, this), kResultOK);
        auto* page = static_cast<Sketch*>(item);
        if (title != nullptr) {
            EXPECT_EQ(SetSketchTitle(page, title), kResultOK);
        }
        return page;
    }
    // Objects of the classes built so far, made in the sketch: points, a segment, its
    // midpoint and a circle. A tool's free points are its givens.
    static void FillSketch(Sketch* sketch, double shift, bool tool = false) {
        Sketch* previous = nullptr;
        SetCurrentSketch(sketch, &previous);
        auto point = [](double x, double y) {
            const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
            SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
            EXPECT_NE(p, nullptr);
            SetPointPosition(p, x, y, 1, nullptr, false);
            return p;
        };
        auto build = [](int32_t type, std::initializer_list<SketchObject*> parents) {
            PtrList list = 0;
            for (SketchObject* o : parents) EXPECT_TRUE(PtrListAppend(&list, o));
            SketchObject* o = ConstructObject(type, nullptr, list, 0, true, false, nullptr);
            EXPECT_NE(o, nullptr);
            return o;
        };
        SketchObject* a = point(10 + shift, 20);
        SketchObject* b = point(110 + shift, 60);
        SketchObject* segment = build(kTypeSegment, {a, b});
        build(kTypeMidpoint, {segment});
        build(kTypeCircleByPoint, {a, b});
        RecomputeSketch(false);
        if (tool) {
            EXPECT_TRUE(PtrListAppend(&sketch->givenList, a));
            EXPECT_TRUE(PtrListAppend(&sketch->givenList, b));
        }
        SetCurrentSketch(previous, nullptr);
    }

    Sketch* AddTool(EngineDocument* d, const char* title) {
        Sketch* tool = CreateSketch(0, nullptr);
        EXPECT_EQ(SetSketchTitle(tool, title), kResultOK);
        FillSketch(tool, 5, true);
        EXPECT_EQ(InsertDocumentItem(d, tool, kDocumentItemTool, nullptr), kResultOK);
        return tool;
    }
    void AddMenu(EngineDocument* d, std::vector<uint8_t> bytes) {
        EXPECT_EQ(AddMenuBlob(d, bytes.data(), static_cast<uint32_t>(bytes.size())), kResultOK);
    }

    // A document of three pages, two tools and two menu descriptions.
    EngineDocument* RichDocument() {
        EngineDocument* d = NewDocument();
        FillSketch(AddPage(d, "First"), 0);
        AddPage(d);
        FillSketch(AddPage(d, "Third page"), 40);
        AddTool(d, "Perpendicular Bisector");
        AddTool(d, "Incircle");
        AddMenu(d, {1, 0, 2, 0, 3, 0});
        AddMenu(d, {9, 9});
        d->documentValue = 7;
        d->windowWidth = 640;
        d->windowHeight = 480;
        EXPECT_EQ(GoToPage(d, 2), kResultOK);
        return d;
    }

    std::vector<uint8_t> Write(EngineDocument* d, bool handheld = false, ResultCode expected = kResultOK) {
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteEngineDocument(h, d, handheld), expected);
        EXPECT_EQ(CloseStream(h), kResultOK);
        return TakeStreamVector(h);
    }

    struct ReadResult {
        ResultCode code;
        EngineDocument* document;
        bool openAsCopy;
        std::string message;
        bool hasMessage;
    };
    ReadResult Read(const std::vector<uint8_t>& bytes, bool headerOnly = false) {
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStreamCopy(bytes.data(), static_cast<uint32_t>(bytes.size()), &h), kResultOK);
        ReadResult r{};
        char* message = nullptr;
        r.code = ReadEngineDocument(h, &r.document, &r.openAsCopy, this, &message, headerOnly);
        if (message) {
            r.hasMessage = true;
            r.message = message;
            FreeMemory(message);
        }
        DiscardStream(h);
        Adopt(r.document);
        return r;
    }

    // Reads the file with the nth allocation failing; the document (owned by the caller)
    // and the code.
    ResultCode ReadFailingAt(const std::vector<uint8_t>& file, uint32_t n, EngineDocument** out) {
        StreamHandle h = 0;
        EXPECT_EQ(OpenMemoryStreamCopy(file.data(), static_cast<uint32_t>(file.size()), &h), kResultOK);
        bool copy = false;
        char* message = nullptr;
        SetAllocFailureAfter(n);
        const ResultCode rc = ReadEngineDocument(h, out, &copy, this, &message, false);
        SetAllocFailureAfter(0);
        DiscardStream(h);
        FreeMemory(message);
        return rc;
    }

    std::vector<EngineDocument*> owned_;
};

// Little-endian byte images of records, for files built by hand.
inline void PutU16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
inline uint32_t GetU32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
inline uint16_t GetU16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

inline void PutRecord(std::vector<uint8_t>& b, uint32_t tag, const std::vector<uint8_t>& payload) {
    PutU32(b, static_cast<uint32_t>(payload.size()));
    PutU32(b, tag);
    b.insert(b.end(), payload.begin(), payload.end());
}

inline std::vector<uint8_t> CountedText(const std::string& text) {
    std::vector<uint8_t> b;
    PutU16(b, static_cast<uint32_t>(text.size()));
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    if (text.size() % 2 == 0) b.push_back(0);
    return b;
}

inline std::vector<uint8_t> SectionHeaderPayload(uint32_t type, uint32_t written, uint32_t oldest,
                                                 uint32_t a1, uint32_t a2, uint32_t a3,
                                                 const char* t1 = "", const char* t2 = "",
                                                 const char* t3 = "") {
    std::vector<uint8_t> b;
    for (uint32_t v : {type, written, oldest, a1, a2, a3, 0u, 0u}) PutU16(b, v);
    for (const char* t : {t1, t2, t3}) {
        std::vector<uint8_t> c = CountedText(t);
        b.insert(b.end(), c.begin(), c.end());
    }
    return b;
}

inline std::vector<uint8_t> FileHeaderPayload(uint32_t pages, uint32_t tools, uint32_t menus,
                                              uint32_t written = 4, uint32_t oldest = 4,
                                              uint32_t others = 0, size_t size = 28) {
    std::vector<uint8_t> b;
    for (uint32_t v : {written, pages, tools, menus, others, 0u, 1u, oldest, 0u, 0u, 0u}) PutU16(b, v);
    b.resize(size, 0);
    return b;
}

inline std::vector<uint8_t> Magic() { return {'Y', 'R', 'N', '4'}; }

// A page or tool body as the sketch writer stores it: begin and end records.
inline void PutBody(std::vector<uint8_t>& b, bool page, uint16_t pageId = 0x8123) {
    std::vector<uint8_t> header(36, 0);
    header[8] = uint8_t(pageId);
    header[9] = uint8_t(pageId >> 8);
    PutRecord(b, page ? 1000 : 1002, header);
    PutRecord(b, page ? 1001 : 1003, {});
}

// Offsets of every record boundary after the magic.
inline std::vector<size_t> RecordBoundaries(const std::vector<uint8_t>& file) {
    std::vector<size_t> at;
    size_t p = 4;
    at.push_back(p);
    while (p + 8 <= file.size()) {
        p += 8 + GetU32(file, p);
        at.push_back(p);
    }
    return at;
}
