// Record 2308: the grid form of a coordinate system.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/object_tables.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/geometry_codecs.h"
#include "engine/docio/record_codecs.h"
#include "engine/docio/transfer_context.h"
#include "tests/engine/docio/codec_checks.h"

namespace {

struct SystemBlock {
    alignas(8) unsigned char bytes[sizeof(SketchObject) + sizeof(CoordSystemData)] = {};
    SketchObject* object() { return reinterpret_cast<SketchObject*>(bytes); }
    explicit SystemBlock(int32_t form) {
        object()->objectClass = kClassCoordinateSystem;
        CoordSystemOf(object())->gridForm = form;
    }
};

TEST(CoordSystemRecord, TheFormIsOneU16AndRoundTrips) {
    for (int32_t form : { kGridPolar, kGridSquare, kGridRectangular }) {
        SCOPED_TRACE(form);
        SystemBlock s(form), blank(kGridSquare);
        const std::vector<uint8_t> bytes = WriteThroughCodec(TransferCoordSystemData, s.object(), kCurrentPageFormat);
        EXPECT_EQ(bytes, (std::vector<uint8_t>{ uint8_t(form), 0 }));
        ExpectCodecRoundTrip(TransferCoordSystemData, s.object(), blank.object(), sizeof s.bytes, kCurrentPageFormat);
    }
}

TEST(CoordSystemRecord, ShortRecordsAndUnknownFormsAreRefused) {
    struct Case { std::vector<uint8_t> bytes; ResultCode rc; int32_t form; };
    const Case cases[] = {
        { {}, 35, kGridSquare },
        { { 2 }, 35, kGridSquare },
        { { 3, 0 }, kResultSkippedObject, kGridSquare },
        { { 0, 1 }, kResultSkippedObject, kGridSquare },  // 256
        { { 0, 0 }, kResultOK, kGridPolar },
        { { 2, 0, 9 }, 4, kGridRectangular },  // longer: read with a warning
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        SystemBlock s(kGridSquare);
        std::vector<uint8_t> exact(c.bytes);
        EXPECT_EQ(ReadCodecRecord(TransferCoordSystemData, s.object(), exact.data(), uint32_t(exact.size()),
                                  kCurrentPageFormat),
                  c.rc);
        EXPECT_EQ(CoordSystemOf(s.object())->gridForm, c.form);
    }
}

}  // namespace
