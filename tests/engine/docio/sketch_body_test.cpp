#include "engine/docio/sketch_body.h"

#include <gtest/gtest.h>

#include "tests/support/scratch_folder.h"

#include "stream_bytes.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "fake_sketch_model.h"
#include "seed_files.h"

namespace {

constexpr FormatInfo kPage = { 1, 4, 4 };
constexpr FormatInfo kPartial = { 2, 4, 4 };
constexpr FormatInfo kHandheld = { 1, 1, 1 };

class SketchBody : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitStreamTable()); }
    void TearDown() override {
        SetAllocFailureAfter(0);
        FreeStreamTable();
    }

    std::vector<uint8_t> Write(FakeSketch& sketch, const FormatInfo& f, ResultCode expected = kResultOK) {
        StreamHandle h;
        EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
        EXPECT_EQ(WriteSketchBody(h, &sketch, kFakeWriteOps, f), expected);
        EXPECT_EQ(CloseStream(h), kResultOK);
        return TakeStreamVector(h);
    }

    // The same through a file stream, read back whole.
    std::vector<uint8_t> WriteFile(FakeSketch& sketch, const FormatInfo& f, ResultCode expected = kResultOK) {
        ScratchFolder scratch;
        const std::string path = scratch.Path("sketch_body.bin");
        StreamHandle h;
        EXPECT_EQ(OpenFileStreamForWrite(path.c_str(), &h), kResultOK);
        EXPECT_EQ(WriteSketchBody(h, &sketch, kFakeWriteOps, f), expected);
        EXPECT_EQ(CloseStream(h), kResultOK);
        std::vector<uint8_t> bytes;
        if (FILE* file = std::fopen(path.c_str(), "rb")) {
            uint8_t chunk[4096];
            for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
            std::fclose(file);
        }
        EXPECT_EQ(DeleteStreamFile(path.c_str()), kResultOK);
        return bytes;
    }

    ResultCode Read(const std::vector<uint8_t>& bytes, FakeSketch& sketch, const FormatInfo& f) {
        StreamHandle h;
        EXPECT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        ResultCode rc = ReadSketchBody(h, &sketch, kFakeReadOps, f);
        DiscardStream(h);
        return rc;
    }
};

std::vector<uint32_t> Tags(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> tags;
    for (size_t at = 0; at + 8 <= bytes.size(); at += 8 + GetLE32(bytes.data() + at)) tags.push_back(GetLE32(bytes.data() + at + 4));
    return tags;
}

size_t Find(const std::vector<uint8_t>& bytes, uint32_t tag, size_t nth = 0) {
    for (size_t at = 0; at + 8 <= bytes.size(); at += 8 + GetLE32(bytes.data() + at))
        if (GetLE32(bytes.data() + at + 4) == tag && nth-- == 0) return at;
    return std::string::npos;
}

// A page with one of most things: points, a segment on them, its midpoint, a caption
// with a style and label, a picture, a selection and a mark.
void MakeRichPage(FakeSketch& s) {
    s.header = { 10, 20, 0, 0, 7, 1, 1, 2, -3, 0 };
    s.comment = "about this page";
    s.hasComment = true;
    s.sketchRecords[kTagPreferenceFirst + 5] = { 1, 2, 3, 4 };
    s.sketchRecords[kTagLabelStateBase + 1] = { 5, 0, 6, 0 };
    FakeObject* a = s.Add(0, 1);
    FakeObject* b = s.Add(0, 1);
    a->label = { 'A', 0 };
    a->styled = true;
    a->style[0] = 3;
    a->style[1] = 12;
    FakeObject* seg = s.Add(2, 2, { a, b });
    FakeObject* mid = s.Add(1, 1, { seg });
    mid->extra = { 0x11, 0, 0, 0 };
    FakeObject* caption = s.Add(0, 0);
    caption->styled = true;
    caption->style[0] = 5;
    caption->style[1] = 18;
    caption->style[2] = 2;
    caption->selectable = false;
    FakeObject* picture = s.Add(0, 16);
    GlobalBlock dib(40 + 8 + 4 * 2);
    uint8_t* d = dib.Bytes();
    PutLE32(d, 40);
    PutLE32(d + 4, 2);
    PutLE32(d + 8, 2);
    PutLE16(d + 12, 1);
    PutLE16(d + 14, 1);
    picture->picture.assign(d, d + dib.Size());
    s.selection = { seg, a };
    s.marked = b;
}

TEST_F(SketchBody, OneFreePointWritesTheDocumentedRecords) {
    FakeSketch s;
    s.Add(0, 1);
    std::vector<uint8_t> bytes = Write(s, kPage);
    std::vector<uint32_t> want = { 1000 };
    for (uint32_t k = 2400; k <= 2417; ++k) want.push_back(k);
    want.insert(want.end(), { 2399, 9004, 9008, 2000, 2201, 2007, 1001 });
    EXPECT_EQ(Tags(bytes), want);
    size_t stamp = Find(bytes, kTagBuildStamp);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + stamp + 8)), kBuildStamp);
    EXPECT_EQ(GetLE32(bytes.data() + 8 + 24), 1u);  // the header's object count
    SaveFuzzSeed("sketch_body_fuzz", "one_point_page", bytes);
}

TEST_F(SketchBody, RichPageRoundTripsByteForByte) {
    FakeSketch s;
    MakeRichPage(s);
    std::vector<uint8_t> bytes = Write(s, kPage);
    SaveFuzzSeed("sketch_body_fuzz", "rich_page", bytes);
    FakeSketch back;
    ASSERT_EQ(Read(bytes, back, kPage), kResultOK);
    ASSERT_EQ(back.objects.size(), 6u);
    EXPECT_EQ(back.comment, "about this page");
    EXPECT_EQ(back.header.pageId, 7);
    EXPECT_EQ(back.header.distanceUnit, 2);
    EXPECT_EQ(back.header.redrawLevel, -3);
    FakeObject* seg = back.objects[2].get();
    ASSERT_EQ(seg->parents.size(), 2u);
    EXPECT_EQ(seg->parents[1], back.objects[1].get());
    EXPECT_EQ(back.objects[3]->parents[0], seg);
    EXPECT_EQ(back.objects[3]->extra, (std::vector<uint8_t>{ 0x11, 0, 0, 0 }));
    EXPECT_EQ(back.objects[0]->label, (std::vector<uint8_t>{ 'A', 0 }));
    EXPECT_EQ(back.objects[4]->style[1], 18);
    EXPECT_EQ(back.objects[4]->style[0], 5);  // font through the font table
    EXPECT_FALSE(back.objects[4]->selectable);
    EXPECT_EQ(back.objects[5]->picture, s.objects[5]->picture);
    ASSERT_EQ(back.selection.size(), 2u);
    EXPECT_EQ(back.selection[0], seg);
    EXPECT_EQ(back.marked, back.objects[1].get());
    EXPECT_EQ(back.sketchRecords[kTagPreferenceFirst + 5], (std::vector<uint8_t>{ 1, 2, 3, 4 }));
    // Selection is reported in the order selected; the writer keeps it.
    back.pageId = s.pageId;
    EXPECT_EQ(Write(back, kPage), bytes);
}

TEST_F(SketchBody, HandheldFormWritesTheOlderRecords) {
    FakeSketch s;
    MakeRichPage(s);
    s.header.right = 300;
    s.header.bottom = 200;
    s.pageId = 9;
    std::vector<uint8_t> bytes = Write(s, kHandheld);
    std::vector<uint32_t> tags = Tags(bytes);
    auto has = [&](uint32_t t) { return std::find(tags.begin(), tags.end(), t) != tags.end(); };
    EXPECT_TRUE(has(kTagLabelStateV1));
    EXPECT_FALSE(has(kTagLabelSequence18));
    EXPECT_FALSE(has(kTagLabelStateBase));
    EXPECT_FALSE(has(kTagObjectEnd));
    EXPECT_FALSE(has(kTagNotSelectable));
    EXPECT_FALSE(has(kTagPictureDib));
    EXPECT_FALSE(has(kTagStyleIndex));
    EXPECT_FALSE(has(kTagTextStyle));
    EXPECT_TRUE(has(kTagOldStyle));
    EXPECT_TRUE(has(kTagPageId));
    EXPECT_EQ(GetLE16(bytes.data() + 8 + 8), 300);  // right, bottom in place of the page id
    EXPECT_EQ(GetLE16(bytes.data() + 8 + 10), 200);
    SaveFuzzSeed("sketch_body_fuzz", "handheld_page", bytes);
    FakeSketch back;
    ASSERT_EQ(Read(bytes, back, kHandheld), kResultOK);
    ASSERT_EQ(back.objects.size(), 6u);
    EXPECT_EQ(back.objects[4]->style[1], 18);
    EXPECT_EQ(back.objects[4]->style[2], 2);  // bold
    EXPECT_EQ(back.objects[4]->style[0], 5);
    EXPECT_EQ(back.pageId, 0x8000 | 9);
    EXPECT_EQ(back.header.right, 300);
}

TEST_F(SketchBody, DroppedObjectsTakeTheirChildrenAndTheCountIsRewritten) {
    FakeSketch s;
    FakeObject* a = s.Add(0, 1);
    FakeObject* b = s.Add(0, 1);
    b->cannotStore = true;
    FakeObject* seg = s.Add(2, 2, { a, b });  // its parent b is not stored
    FakeObject* c = s.Add(0, 1);
    FakeObject* odd = s.Add(0, 18);            // a class that cannot be written
    FakeObject* d = s.Add(0, 1);
    s.selection = { d, seg };
    s.marked = c;
    std::vector<uint8_t> bytes = Write(s, kPage, kResultObjectDropped);
    // A file keeps no trace of the dropped objects either.
    EXPECT_TRUE(WriteFile(s, kPage, kResultObjectDropped) == bytes);
    EXPECT_EQ(GetLE32(bytes.data() + 8 + 24), 3u);
    EXPECT_EQ(a->number, 1u);
    EXPECT_EQ(b->number, 0u);
    EXPECT_EQ(seg->number, 0u);
    EXPECT_EQ(c->number, 2u);
    EXPECT_EQ(odd->number, 0u);
    EXPECT_EQ(d->number, 3u);
    size_t sel = Find(bytes, kTagSelection);
    ASSERT_NE(sel, std::string::npos);
    EXPECT_EQ(GetLE32(bytes.data() + sel), 4u);  // only d
    EXPECT_EQ(GetLE32(bytes.data() + sel + 8), 3u);
    EXPECT_EQ(GetLE32(bytes.data() + Find(bytes, kTagMarkedObject) + 8), 2u);
    FakeSketch back;
    ASSERT_EQ(Read(bytes, back, kPage), kResultOK);
    EXPECT_EQ(back.objects.size(), 3u);
    EXPECT_EQ(back.selection.size(), 1u);
}

// A file stream takes the objects before the style tables and puts the tables in front
// once an object has a style; a memory stream walks the objects first. Both write the
// same bytes wherever the first styled object stands, and however much comes before it.
TEST_F(SketchBody, FilesAndMemoryWriteTheSameBytesWhereverTheFirstStyleStands) {
    struct Case {
        const char* name;
        int styledAt;        // index of the one styled object, -1: none
        bool dropFirst;      // the first object cannot be stored
        size_t bigObjects;   // objects of 64 KB of class data in front of it
        FormatInfo format;
    };
    const Case cases[] = {
        { "no style", -1, false, 0, kPage },
        { "first", 0, false, 0, kPage },
        { "after a dropped object", 2, true, 0, kPage },
        { "last", 4, false, 0, kPage },
        { "handheld, fonts only", 3, false, 0, kHandheld },
        { "partial", 4, false, 0, kPartial },
        { "past the bytes kept ahead", 4, false, 140, kPage },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSketch s;
        for (size_t i = 0; i < c.bigObjects; ++i) s.Add(0, 7)->classData.assign(64u << 10, uint8_t(i));
        FakeObject* a = s.Add(0, 1);
        a->cannotStore = c.dropFirst;
        FakeObject* b = s.Add(0, 1);
        s.Add(2, 2, { a, b });
        s.Add(0, 0);
        s.Add(0, 1);
        if (c.styledAt >= 0) {
            FakeObject* styled = s.objects[c.bigObjects + size_t(c.styledAt)].get();
            styled->styled = true;
            styled->style[0] = 6;
            styled->style[1] = 16;
        }
        s.objects.back()->styled = c.styledAt >= 0;  // a second one, with the same style
        if (c.styledAt >= 0) std::copy(std::begin(s.objects[c.bigObjects + size_t(c.styledAt)]->style),
                                       std::end(s.objects[c.bigObjects + size_t(c.styledAt)]->style),
                                       s.objects.back()->style);
        if (c.format.sketchKind == 2) s.givens = { b };
        const ResultCode expected = c.dropFirst ? kResultObjectDropped : kResultOK;
        const std::vector<uint8_t> bytes = Write(s, c.format, expected);
        EXPECT_TRUE(WriteFile(s, c.format, expected) == bytes);
        const std::vector<uint32_t> tags = Tags(bytes);
        const bool hasFont = std::find(tags.begin(), tags.end(), kTagFont) != tags.end();
        EXPECT_EQ(hasFont, c.styledAt >= 0);
    }
}

// Thousands of objects whose records the writer makes itself, with some that cannot be
// stored (and children that lose a parent with them), free points whose geometry goes
// through a codec, and a style that first appears late: files and memory write the same
// bytes, and they read back as the objects that were stored, numbered in order.
void MakeLongPage(FakeSketch& s, size_t segments) {
    FakeObject* a = s.Add(0, 1);
    FakeObject* b = s.Add(0, 1);
    for (size_t i = 0; i < segments; ++i) {
        FakeObject* seg = s.Add(2, 2, { a, b });
        seg->cannotStore = i % 37 == 5;
        seg->selectable = i % 50 != 7;
        FakeObject* mid = s.Add(1, 1, { seg });
        if (i % 300 == 299) a = s.Add(0, 1);
        if (i == segments - 40) {
            mid->styled = true;
            mid->style[0] = 4;
            mid->style[1] = 9;
        }
    }
}

TEST_F(SketchBody, LongRunsOfPlainObjectsWithDropsWriteTheSameEverywhere) {
    FakeSketch s;
    MakeLongPage(s, 3000);
    size_t stored = 0;
    // A partial sketch lists every free object as a given.
    for (const auto& o : s.objects)
        if (o->type == 0) s.givens.push_back(o.get());
    for (const FormatInfo& f : { kPage, kHandheld, kPartial }) {
        SCOPED_TRACE(f.formatVersion * 10 + f.sketchKind);
        const std::vector<uint8_t> bytes = Write(s, f, kResultObjectDropped);
        EXPECT_TRUE(WriteFile(s, f, kResultObjectDropped) == bytes);
        stored = 0;
        uint32_t expected = 1;
        for (const auto& o : s.objects) {
            const bool dropped = o->cannotStore || (!o->parents.empty() && o->parents[0]->cannotStore);
            EXPECT_EQ(o->number, dropped ? 0u : expected);
            if (!dropped) ++expected, ++stored;
        }
        const std::vector<uint32_t> tags = Tags(bytes);
        EXPECT_EQ(size_t(std::count(tags.begin(), tags.end(), kTagObjectHeader)), stored);
        FakeSketch back;
        ASSERT_EQ(Read(bytes, back, f), kResultOK);
        ASSERT_EQ(back.objects.size(), stored);
        for (size_t i = 0, k = 0; i < s.objects.size(); ++i) {
            const FakeObject& o = *s.objects[i];
            if (o.number == 0) continue;
            const FakeObject& r = *back.objects[k++];
            EXPECT_EQ(r.type, o.type);
            EXPECT_EQ(r.parents.size(), o.parents.size());
            if (f.formatVersion >= 2) {
                EXPECT_EQ(r.selectable, o.selectable);
            }
        }
    }
    EXPECT_LT(stored, s.objects.size());
}

// Memory running out anywhere in a long write to a file or to memory gives 8 or a
// complete result, never a crash or a leak.
TEST_F(SketchBody, LongWritesWithoutMemoryFailCleanly) {
    FakeSketch s;
    MakeLongPage(s, 1500);
    ScratchFolder scratch;
    const std::string path = scratch.Path("long.bin");
    for (bool toFile : { false, true }) {
        for (uint32_t n = 1; n < 60; n += 3) {
            SCOPED_TRACE(testing::Message() << (toFile ? "file " : "memory ") << n);
            StreamHandle h;
            ASSERT_EQ(toFile ? OpenFileStreamForWrite(path.c_str(), &h) : OpenMemoryStream(0, &h), kResultOK);
            SetAllocFailureAfter(n);
            const ResultCode rc = WriteSketchBody(h, &s, kFakeWriteOps, kPage);
            SetAllocFailureAfter(0);
            EXPECT_TRUE(rc == kResultObjectDropped || rc == kResultOutOfMemory) << rc;
            if (toFile) CloseStream(h);
            else DiscardStream(h);
        }
    }
    DeleteStreamFile(path.c_str());
}

TEST_F(SketchBody, PartialSketchWithGivens) {
    FakeSketch s;
    FakeObject* a = s.Add(0, 1);
    FakeObject* b = s.Add(0, 1);
    s.Add(2, 2, { a, b });
    s.givens = { b, a };
    s.toolText = "Segment tool";
    s.hasToolText = true;
    s.comment = "c";
    s.hasComment = true;
    std::vector<uint8_t> bytes = Write(s, kPartial);
    std::vector<uint32_t> tags = Tags(bytes);
    EXPECT_EQ(tags.front(), uint32_t(kTagPartialHeader));
    EXPECT_EQ(tags.back(), uint32_t(kTagPartialEnd));
    EXPECT_EQ(std::find(tags.begin(), tags.end(), uint32_t(kTagBuildStamp)), tags.end());
    SaveFuzzSeed("sketch_body_fuzz", "tool_body", bytes);
    FakeSketch back;
    ASSERT_EQ(Read(bytes, back, kPartial), kResultOK);
    ASSERT_EQ(back.givens.size(), 2u);
    EXPECT_EQ(back.givens[0], back.objects[1].get());
    EXPECT_EQ(back.toolText, "Segment tool");
    EXPECT_EQ(Write(back, kPartial), bytes);

    // A tool body whose 1204 lists fewer numbers than it has free objects.
    std::vector<uint8_t> fewer = bytes;
    size_t at = Find(fewer, kTagToolGivens);
    PutLE32(fewer.data() + at + 8, 1);
    FakeSketch bad;
    EXPECT_EQ(Read(fewer, bad, kPartial), kResultDamaged);
    // Naming a constructed object as a given.
    std::vector<uint8_t> wrong = bytes;
    PutLE32(wrong.data() + at + 12, 3);
    FakeSketch bad2;
    EXPECT_EQ(Read(wrong, bad2, kPartial), kResultDamaged);
}

// Patches one record's payload bytes of a written page.
struct Patch {
    const char* name;
    uint32_t tag;
    size_t nth;
    long offset;  // within the payload (negative: the record head)
    uint32_t value;
    int width;      // bytes written; 0: the value's four bytes and then 'x' to the payload's end
    ResultCode rc;
    size_t objects;  // objects read when the result is not fatal
};

TEST_F(SketchBody, DamagedRecordsGiveCodesNotCrashes) {
    FakeSketch s;
    MakeRichPage(s);
    const std::vector<uint8_t> good = Write(s, kPage);
    const Patch patches[] = {
        { "parent number 0", kTagParents, 0, 4, 0, 4, kResultDamaged, 0 },
        { "parent number past the count", kTagParents, 0, 8, 7, 4, kResultDamaged, 0 },
        { "parent count past the record", kTagParents, 0, 0, 3, 4, kResultDamaged, 0 },
        { "parent count huge", kTagParents, 0, 0, 0x40000001, 4, kResultDamaged, 0 },
        { "parents of the wrong kind", kTagParents, 1, 4, 1, 4, kResultDamaged, 0 },
        { "object count beyond the stream", kTagPageHeader, 0, 24, 0xFFFFFFFF, 4, kResultDamaged, 0 },
        { "unknown construction type", kTagObjectHeader, 2, 0, 70, 4, kResultSkippedObject, 4 },
        { "construction type past the table", kTagObjectHeader, 2, 0, 94, 4, kResultDamaged, 0 },
        { "selection past the count", kTagSelection, 0, 0, 99, 4, kResultRecordLong, 6 },
        { "style index past the table", kTagStyleIndex, 1, 0, 0x7777, 2, kResultRecordLong, 6 },
        { "comment without its end", kTagComment, 0, 12, 0x41414141, 0, kResultRecordLong, 6 },
        { "marked object past the count", kTagMarkedObject, 0, 0, 0, 4, kResultDamaged, 0 },
        { "object end missing", kTagObjectEnd, 0, -4, 2099, 4, kResultDamaged, 0 },
        { "font name without its end", kTagFont, 0, 2, 0x41414141, 0, kResultRecordLong, 6 },
    };
    for (const Patch& p : patches) {
        SCOPED_TRACE(p.name);
        std::vector<uint8_t> bytes = good;
        size_t at = Find(bytes, p.tag, p.nth);
        ASSERT_NE(at, std::string::npos);
        size_t off = size_t(long(at) + 8 + p.offset);
        ASSERT_LE(off + 4, bytes.size());
        if (p.width == 2) {
            PutLE16(bytes.data() + off, uint16_t(p.value));
        } else {
            PutLE32(bytes.data() + off, p.value);
        }
        if (p.width == 0) {
            // No NUL is left in the rest of the payload.
            for (size_t i = off; i < at + 8 + GetLE32(bytes.data() + at); ++i) bytes[i] = 'x';
        }
        FakeSketch back;
        uint64_t before = AllocRequestCount();
        ResultCode rc = Read(bytes, back, kPage);
        EXPECT_EQ(rc, p.rc);
        EXPECT_LT(AllocRequestCount() - before, 200u);
        if (!IsFatalError(rc)) {
            EXPECT_EQ(back.objects.size(), p.objects);
        }
        SaveFuzzSeed("sketch_body_fuzz", std::string("damaged_") + std::to_string(&p - patches), bytes);
    }
}

TEST_F(SketchBody, MarkRecordOfSixBytesIsDamage) {
    FakeSketch s;
    FakeObject* a = s.Add(0, 1);
    s.marked = a;
    std::vector<uint8_t> bytes = Write(s, kPage);
    size_t at = Find(bytes, kTagMarkedObject);
    PutLE32(bytes.data() + at, 6);
    bytes.insert(bytes.begin() + at + 12, { 0, 0 });
    FakeSketch back;
    EXPECT_EQ(Read(bytes, back, kPage), kResultDamaged);

    // A mark or selection before the objects names nothing read yet.
    std::vector<uint8_t> early = Write(s, kPage);
    std::vector<uint8_t> mark(early.begin() + Find(early, kTagMarkedObject), early.begin() + Find(early, kTagMarkedObject) + 12);
    std::vector<uint8_t> sel = mark;
    PutLE32(sel.data() + 4, kTagSelection);
    early.insert(early.begin() + Find(early, kTagObjectHeader), mark.begin(), mark.end());
    early.insert(early.begin() + Find(early, kTagObjectHeader), sel.begin(), sel.end());
    FakeSketch back2;
    EXPECT_EQ(Read(early, back2, kPage), kResultRecordLong);
    EXPECT_EQ(back2.objects.size(), 1u);
}

TEST_F(SketchBody, UnknownTagsByRange) {
    FakeSketch s;
    s.Add(0, 1);
    const std::vector<uint8_t> good = Write(s, kPage);
    struct Case { uint32_t tag; ResultCode rc; };
    const Case cases[] = { { 8500, kResultRecordLong }, { 9500, kResultOK }, { 7000, kResultDamaged },
                           { 20000, kResultOK } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        // Before the objects, between the 2000 and 2007 of an object, and after them.
        for (uint32_t where : { uint32_t(kTagObjectHeader), uint32_t(kTagObjectEnd), uint32_t(kTagPageEnd) }) {
            SCOPED_TRACE(where);
            std::vector<uint8_t> bytes = good;
            size_t at = Find(bytes, where);
            std::vector<uint8_t> rec(12);
            PutLE32(rec.data(), 4);
            PutLE32(rec.data() + 4, c.tag);
            bytes.insert(bytes.begin() + at, rec.begin(), rec.end());
            FakeSketch back;
            ResultCode rc = Read(bytes, back, kPage);
            // Inside an object's records a low unknown tag stands where 2007 must be.
            EXPECT_EQ(rc, c.rc);
        }
    }
}

TEST_F(SketchBody, PagesThatEndEarly) {
    FakeSketch s;
    FakeObject* a = s.Add(0, 1);
    FakeObject* b = s.Add(0, 1);
    s.Add(2, 2, { a, b });
    s.Add(0, 1);
    s.Add(0, 1);
    const std::vector<uint8_t> good = Write(s, kPage);
    const size_t segmentAt = Find(good, kTagObjectHeader, 2);
    const size_t thirdPointEnd = Find(good, kTagObjectHeader, 3);
    struct Case {
        const char* name;
        size_t cut;
        uint32_t count;  // the header's object count; 0: as written
        ResultCode rc;
        size_t objects;
    };
    // Wherever the page is cut, it is damaged: what was read before the cut is not a
    // document of another version.
    const Case cases[] = {
        { "inside the second object's header", Find(good, kTagObjectHeader, 1) + 5, 0, kResultDamaged, 1 },
        { "inside the first object's header", Find(good, kTagObjectHeader) + 3, 0, kResultDamaged, 0 },
        // The segment's header is whole; its parents record never came.
        { "between an object and its parents", segmentAt + 8 + 12, 0, kResultDamaged, 2 },
        { "inside the parents record", segmentAt + 8 + 12 + 6, 0, kResultDamaged, 2 },
        // A count far above what the bytes left could hold is still a page cut short.
        { "count above the bytes left", thirdPointEnd, 40, kResultDamaged, 3 },
        { "count of every number", thirdPointEnd, 0xFFFFFFFF, kResultDamaged, 3 },
        { "nothing after the header", Find(good, kTagObjectHeader), 1000, kResultDamaged, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> cut(good.begin(), good.begin() + c.cut);
        if (c.count) PutLE32(cut.data() + 8 + 24, c.count);
        SaveFuzzSeed("sketch_body_fuzz", std::string("cut_") + std::to_string(&c - cases), cut);
        FakeSketch back;
        EXPECT_EQ(Read(cut, back, kPage), c.rc);
        EXPECT_EQ(back.objects.size(), c.objects);
        EXPECT_EQ(back.pending, nullptr);
    }
    // The same counts on a whole page that ends before them is damage, not an early end.
    std::vector<uint8_t> overcounted = good;
    PutLE32(overcounted.data() + 8 + 24, 0xFFFFFFFF);
    FakeSketch back;
    EXPECT_EQ(Read(overcounted, back, kPage), kResultDamaged);
    // A wrong first record.
    FakeSketch back3;
    EXPECT_EQ(Read(good, back3, kPartial), kResultDamaged);
}

TEST_F(SketchBody, SkippedParentSkipsItsChildren) {
    FakeSketch s;
    FakeObject* a = s.Add(0, 1);
    FakeObject* b = s.Add(0, 1);
    FakeObject* seg = s.Add(2, 2, { a, b });
    s.Add(1, 1, { seg });
    s.Add(0, 1);
    std::vector<uint8_t> bytes = Write(s, kPage);
    PutLE32(bytes.data() + Find(bytes, kTagObjectHeader, 1) + 8, 80);  // b: a type this reader does not know
    FakeSketch back;
    EXPECT_EQ(Read(bytes, back, kPage), kResultSkippedObject);
    EXPECT_EQ(back.objects.size(), 2u);
}

TEST_F(SketchBody, StoppingBetweenObjects) {
    FakeSketch s;
    s.Add(0, 1);
    s.Add(0, 1);
    std::vector<uint8_t> bytes = Write(s, kPage);
    s.stopAfter = 1;
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    EXPECT_EQ(WriteSketchBody(h, &s, kFakeWriteOps, kPage), kResultCancelled);
    DiscardStream(h);
    FakeSketch back;
    back.stopAfter = 1;
    EXPECT_EQ(Read(bytes, back, kPage), kResultCancelled);
}

TEST_F(SketchBody, WritingWithoutMemoryFailsCleanly) {
    FakeSketch s;
    MakeRichPage(s);
    for (uint32_t n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
        SetAllocFailureAfter(n);
        ResultCode rc = WriteSketchBody(h, &s, kFakeWriteOps, kPage);
        SetAllocFailureAfter(0);
        EXPECT_TRUE(rc == kResultOK || rc == kResultOutOfMemory) << rc;
        DiscardStream(h);
    }
    std::vector<uint8_t> bytes = Write(s, kPage);
    for (uint32_t n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        StreamHandle h;
        ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
        FakeSketch back;
        SetAllocFailureAfter(n);
        ResultCode rc = ReadSketchBody(h, &back, kFakeReadOps, kPage);
        SetAllocFailureAfter(0);
        EXPECT_TRUE(rc == kResultOK || rc == kResultOutOfMemory || rc == kResultRecordLong) << rc;
        DiscardStream(h);
    }
}

}  // namespace
