// Record 2317, the class data of tables: what a page saves and reads back, and the
// records that a damaged or hostile file may hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec_checks.h"
#include "seed_files.h"
#include "stream_bytes.h"
#include "engine/calc/table_fixture.h"
#include "engine/calc/tables.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/core/sketch_fixture.h"
#include "engine/docio/sketch_io.h"
#include "engine/docio/sketch_records.h"
#include "engine/docio/streams.h"
#include "engine/docio/text_record_codecs.h"
#include "engine/text/layout.h"
#include "engine/text/layout_test_util.h"

namespace {


// A payload of record 2317: the sub-record head, the header and the cell text (padded
// with zeros to a multiple of 4 unless `pad` is false).
std::vector<uint8_t> TableRecord(int16_t rows, int16_t columns, const std::string& text, bool pad = true) {
    std::vector<uint8_t> r(28, 0);
    std::string body = text;
    if (pad) body.resize((body.size() + 3) & ~size_t(3), '\0');
    PutLE32(r.data(), 2317);
    PutLE32(r.data() + 4, uint32_t(28 + body.size()));
    PutLE32(r.data() + 8, 16);
    PutLE16(r.data() + 12, 40);   // left
    PutLE16(r.data() + 14, 50);   // top
    PutLE16(r.data() + 16, uint16_t(rows));
    PutLE16(r.data() + 18, uint16_t(columns));
    PutLE16(r.data() + 20, 1);    // tracking
    r.insert(r.end(), body.begin(), body.end());
    return r;
}

std::string PlainText(LayoutNode* l) { return l ? WriteLayout(l, kWritePlainText) : ""; }

class TableRecordTest : public TableSketchTest {
protected:
    void SetUp() override {
        TableSketchTest::SetUp();
        ASSERT_TRUE(InitStreamTable());
    }

    ResultCode Read(const std::vector<uint8_t>& bytes) {
        return ReadCodecRecord(TransferTableData, table, bytes.data(), uint32_t(bytes.size()), kCurrentPageFormat);
    }
};

}  // namespace

TEST_F(TableRecordTest, APageKeepsItsTablesEntriesAndTracking) {
    SetPointPosition(b, 3, 4, 1, nullptr, false);
    RecomputeObject(distance, nullptr, true);
    ASSERT_EQ(AddTableEntry(table), kResultOK);
    SetTableCollectFlag(table, 0);
    const std::vector<uint8_t> record = WriteThroughCodec(TransferTableData, table, kCurrentPageFormat);
    SaveFuzzSeed("text_records_fuzz", "table", record);
    // 28 bytes more than the padded cell text: 4 rows of 2 cells, 3 of them texts.
    ASSERT_GE(record.size(), 28u);
    EXPECT_EQ((record.size() - 28) % 4, 0u);
    EXPECT_EQ(GetLE16(record.data() + 16), 4);
    EXPECT_EQ(GetLE16(record.data() + 18), 2);
    EXPECT_EQ(GetLE16(record.data() + 20), 0);

    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(WriteSketch(h, sketch, true, false), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    std::vector<uint8_t> bytes = TakeStreamVector(h);
    SaveFuzzSeed("sketch_body_fuzz", "table", bytes);
    ASSERT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
    Sketch* back = nullptr;
    ASSERT_EQ(ReadSketch(h, &back, nullptr, kCurrentPageFormat), kResultOK);
    DiscardStream(h);
    SketchObject* read = nullptr;
    for (SketchObject* o = back->firstObject; o; o = o->nextInSketch)
        if (o->objectClass == kClassTable) read = o;
    ASSERT_NE(read, nullptr);
    const TableData* d = TableDataOf(read);
    EXPECT_EQ(d->rowCount, 4);
    EXPECT_EQ(d->columnCount, 2);
    EXPECT_EQ(d->trackLastRow, 0);
    EXPECT_EQ(read->bounds.left, table->bounds.left);
    EXPECT_EQ(read->bounds.top, table->bounds.top);
    for (int32_t r = 1; r < 4; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(PlainText(TableCellAt(read, r, 1)->layout), PlainText(TableCellAt(table, r, 1)->layout));
        EXPECT_GT(TableCellAt(read, r, 0)->metric, 0);  // laid out again
    }
    FreeSketch(back);
    SetCurrentSketch(sketch, nullptr);
}

TEST_F(TableRecordTest, DamagedRecordsAreRefusedBeforeAnythingIsAllocated) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ResultCode code;
    };
    std::vector<uint8_t> shortPayload = TableRecord(2, 2, "0000");
    shortPayload.resize(15);
    const Case cases[] = {
        { "payload shorter than its header", shortPayload, 35 },
        { "negative rows", TableRecord(-3, 2, "000000"), 35 },
        { "negative columns", TableRecord(3, -2, "000000"), 35 },
        { "more cells than bytes", TableRecord(32767, 32767, "0000"), 35 },
        { "rows times columns beyond 16 bits", TableRecord(-32768, -32768, "0000"), 35 },
        { "text ends before the last cell", TableRecord(3, 2, "0000", false), 35 },
        { "text ends inside a cell", TableRecord(3, 2, "00000<T'ab"), 35 },
        { "a cell that does not parse", TableRecord(3, 2, "00000<Q>"), 35 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint64_t before = AllocRequestCount();
        EXPECT_EQ(Read(c.bytes), c.code);
        if (std::string(c.name).find("cell") == std::string::npos) {
            EXPECT_EQ(AllocRequestCount(), before);
        }
        EXPECT_EQ(TableDataOf(table)->readRecord, nullptr);
    }
}

TEST_F(TableRecordTest, GoodRecordsReadWithTheirWarnings) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ResultCode code;
        int32_t rows;
    };
    const Case cases[] = {
        { "empty cells", TableRecord(3, 2, "000000"), 0, 3 },
        { "a header and a value", TableRecord(3, 2, "000<T'd'>0<T'5'>"), 0, 3 },
        { "no grid", TableRecord(0, 0, ""), 0, 0 },
        { "the metric row alone", TableRecord(1, 2, "00"), 0, 1 },  // gets its header row
        { "text after the last cell", TableRecord(2, 2, "000<T'x'>0<T'y'>"), 4, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.bytes), c.code);
        ASSERT_NE(TableDataOf(table)->readRecord, nullptr);
        EXPECT_EQ(TableDataOf(table)->readRecord->rows, c.rows);
        EXPECT_EQ(TableDataOf(table)->readRecord->track, 1);
        ASSERT_EQ(FinishTableFromRecord(table), kResultOK);
        EXPECT_EQ(TableDataOf(table)->rowCount, c.rows < 2 ? 2 : c.rows);
        EXPECT_EQ(table->bounds.left, c.rows ? 40 : table->bounds.left);
    }
    EXPECT_EQ(PlainText(TableCellAt(table, 1, 1)->layout), "x");  // the last case's header

    // A grid whose columns do not fit the parents is refused.
    EXPECT_EQ(Read(TableRecord(3, 3, "000000000")), 0);
    EXPECT_EQ(FinishTableFromRecord(table), kResultGridDoesNotFit);
    EXPECT_EQ(TableDataOf(table)->cells, nullptr);
}

TEST_F(TableRecordTest, AGridTooLargeForMemoryKeepsItsHeaders) {
    SetAllocFailureAfter(1);  // the grid of 4 rows
    EXPECT_EQ(Read(TableRecord(4, 2, "000<T'x'>0<T'1'>0<T'2'>")), 4);
    SetAllocFailureAfter(0);
    ASSERT_NE(TableDataOf(table)->readRecord, nullptr);
    EXPECT_EQ(TableDataOf(table)->readRecord->rows, 2);
    ASSERT_EQ(FinishTableFromRecord(table), kResultOK);
    EXPECT_EQ(PlainText(TableCellAt(table, 1, 1)->layout), "x");

    SetAllocFailureAfter(1, true);
    EXPECT_EQ(Read(TableRecord(4, 2, "000<T'x'>0<T'1'>0<T'2'>")), 100);
    SetAllocFailureAfter(0);
}

// A table whose grid is made once its parents are known: when memory runs out there,
// the page is out of memory, not a page that opens without its table.
TEST_F(TableRecordTest, MemoryRunningOutWhenTheGridIsMadeIsNotADroppedTable) {
    const std::vector<uint8_t> record = TableRecord(0, 0, "");
    ASSERT_EQ(Read(record), kResultOK);
    SetAllocFailureAfter(1);
    EXPECT_EQ(FinishTableFromRecord(table), kResultOutOfMemory);
    SetAllocFailureAfter(0);

    // A whole page: every failing request ends in 100, or the page holds its table.
    StreamHandle h;
    ASSERT_EQ(OpenMemoryStream(0, &h), kResultOK);
    ASSERT_EQ(WriteSketch(h, sketch, true, false), kResultOK);
    ASSERT_EQ(CloseStream(h), kResultOK);
    std::vector<uint8_t> page = TakeStreamVector(h);
    // The table's class record replaced by one without a grid.
    const uint32_t tag = uint32_t(kTagClassDataBase) + uint32_t(kClassTable);
    size_t at = 0;
    while (at + 8 <= page.size() && GetLE32(page.data() + at + 4) != tag) at += 8 + GetLE32(page.data() + at);
    ASSERT_LT(at + 8, page.size());
    const uint32_t old = GetLE32(page.data() + at);
    page.erase(page.begin() + std::ptrdiff_t(at + 8), page.begin() + std::ptrdiff_t(at + 8 + old));
    page.insert(page.begin() + std::ptrdiff_t(at + 8), record.begin(), record.end());
    PutLE32(page.data() + at, uint32_t(record.size()));
    SaveFuzzSeed("sketch_body_fuzz", "table_without_grid", page);
    bool read = false;
    for (uint32_t n = 1; !read && n < 10000; ++n) {
        SCOPED_TRACE(n);
        ASSERT_EQ(OpenMemoryStreamCopy(page.data(), uint32_t(page.size()), &h), kResultOK);
        Sketch* back = nullptr;
        SetAllocFailureAfter(n);
        const ResultCode rc = ReadSketch(h, &back, nullptr, kCurrentPageFormat);
        SetAllocFailureAfter(0);
        DiscardStream(h);
        if (rc == kResultOutOfMemory) {
            EXPECT_EQ(back, nullptr);
            continue;
        }
        ASSERT_EQ(rc, kResultOK);
        read = true;
        int32_t tables = 0;
        for (SketchObject* o = back->firstObject; o; o = o->nextInSketch) tables += o->objectClass == kClassTable;
        EXPECT_EQ(tables, 1);
        FreeSketch(back);
    }
    EXPECT_TRUE(read);
    SetCurrentSketch(sketch, nullptr);
}
