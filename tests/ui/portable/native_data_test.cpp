#include "ui/portable/native_data.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/docio/document_fixture.h"

namespace {

class NativeData : public DocumentTest {
protected:
    std::vector<uint8_t> Store(EngineDocument* d) {
        void* bytes = nullptr;
        uint32_t length = 0;
        EXPECT_EQ(StoreNativeData(d, &bytes, &length), kResultOK);
        std::vector<uint8_t> out(static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + length);
        FreeMemory(bytes);
        return out;
    }
    ResultCode Load(const std::vector<uint8_t>& bytes, EngineDocument** d) {
        char* message = nullptr;
        const ResultCode rc = LoadNativeData(bytes.data(), static_cast<uint32_t>(bytes.size()), this, d, &message);
        FreeMemory(message);
        Adopt(*d);
        return rc;
    }
};

}  // namespace

// What a container stored comes back whole: the sketch an embedding held is not lost
// when the container saves and loads it again.
TEST_F(NativeData, StoredBytesLoadBackTheWholeDocument) {
    EngineDocument* d = RichDocument();
    const std::vector<uint8_t> stored = Store(d);
    ASSERT_GT(stored.size(), 8u);
    EngineDocument* back = nullptr;
    ASSERT_EQ(Load(stored, &back), kResultOK);
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back->currentPage, nullptr);
    EXPECT_EQ(DocumentPageCount(back), DocumentPageCount(d));
    EXPECT_EQ(DocumentToolCount(back), DocumentToolCount(d));
    EXPECT_EQ(DocumentMenuCount(back), DocumentMenuCount(d));
    EXPECT_EQ(Store(back), stored);
}

TEST_F(NativeData, DamagedBytesFailWithoutADocument) {
    const std::vector<uint8_t> good = Store(RichDocument());
    std::vector<uint8_t> flipped = good;
    for (size_t i = 0; i < 16 && i < flipped.size(); ++i) flipped[i] ^= 0x5A;
    struct Case { const char* name; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        { "nothing", {} },
        // What a store of only the item size would have left.
        { "item size only", { 100, 0, 0, 0, 100, 0, 0, 0 } },
        { "cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + 12) },
        { "header garbled", flipped },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineDocument* d = nullptr;
        EXPECT_TRUE(IsFatalResult(Load(c.bytes, &d)));
        EXPECT_EQ(d, nullptr);
    }
    // Cut short after its first page it still opens what it holds, with a warning.
    EngineDocument* part = nullptr;
    const ResultCode rc = Load(std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), &part);
    if (!IsFatalResult(rc)) {
        ASSERT_NE(part, nullptr);
        EXPECT_NE(part->currentPage, nullptr);
    }
}

// A document without a page (an empty document stored) is refused like an opened file.
TEST_F(NativeData, ADocumentWithoutPagesIsRefused) {
    EngineDocument* empty = NewDocument();
    void* bytes = nullptr;
    uint32_t length = 0;
    const ResultCode stored = StoreNativeData(empty, &bytes, &length);
    std::vector<uint8_t> data(static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + length);
    FreeMemory(bytes);
    if (IsFatalResult(stored)) {
        EXPECT_EQ(length, 0u);
        return;
    }
    EngineDocument* d = nullptr;
    EXPECT_TRUE(IsFatalResult(Load(data, &d)));
    EXPECT_EQ(d, nullptr);
}

// A store that runs out of memory reports it and hands over no bytes.
TEST_F(NativeData, AFailedStoreAnswersNoBytes) {
    EngineDocument* d = RichDocument();
    bool sawFailure = false;
    for (uint32_t n = 1; n < 200; ++n) {
        SetAllocFailureAfter(n);
        void* bytes = nullptr;
        uint32_t length = 0;
        const ResultCode rc = StoreNativeData(d, &bytes, &length);
        SetAllocFailureAfter(0);
        if (IsFatalResult(rc)) {
            sawFailure = true;
            EXPECT_EQ(bytes, nullptr);
            EXPECT_EQ(length, 0u);
        } else {
            EXPECT_NE(bytes, nullptr);
            FreeMemory(bytes);
        }
    }
    EXPECT_TRUE(sawFailure);
}
