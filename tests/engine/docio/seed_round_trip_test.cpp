// Every document the fuzz targets start from (written by the tests, cut, damaged and
// converted from older formats): what opens must save; the saved file opens again with
// no worse result and the same objects; saved again it gives the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document_fixture.h"
#include "engine/docio/legacy_document.h"
#include "engine/core/random.h"
#include "engine/core/services/tables.h"
#include "engine/docio/sketch_io.h"
#include "fuzz/document_round_trip.h"

namespace {

#ifdef _WIN32
const std::string kSeedRoot = std::string("Z:") + FIG_SEED_ROOT;  // the Unix root under Wine
#else
const std::string kSeedRoot = FIG_SEED_ROOT;
#endif

struct SeedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// The files of one target's seed folder, in name order; `skip` leading bytes are the
// target's own (the memory-failure target's request number).
std::vector<SeedFile> Seeds(const char* target, size_t skip = 0) {
    std::vector<SeedFile> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kSeedRoot + "/" + target, error)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes{ std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
        if (bytes.size() < skip) continue;
        bytes.erase(bytes.begin(), bytes.begin() + std::ptrdiff_t(skip));
        files.push_back({ std::string(target) + "/" + entry.path().filename().string(), std::move(bytes) });
    }
    std::sort(files.begin(), files.end(), [](const SeedFile& a, const SeedFile& b) { return a.name < b.name; });
    return files;
}

// Each page's objects by class, in sketch order.
std::vector<std::vector<int32_t>> ObjectClasses(EngineDocument* d) {
    std::vector<std::vector<int32_t>> pages;
    for (int32_t i = 0; i < DocumentPageCount(d); ++i) {
        pages.emplace_back();
        for (SketchObject* o = DocumentPageAt(d, i)->firstObject; o; o = o->nextInSketch)
            pages.back().push_back(o->objectClass);
    }
    return pages;
}

class SeedRoundTrip : public DocumentTest {
protected:
    // The document opened from `bytes` must save; the save must open as well as the
    // original did, with the same objects, and save again to the same bytes.
    void CheckRoundTrip(EngineDocument* document, ResultCode opened) {
        if (DocumentPageCount(document) == 0) return;  // refused by the user interface
        const std::vector<uint8_t> first = Write(document);
        ReadResult again = Read(first);
        ASSERT_NE(again.document, nullptr) << "saved file does not open: " << again.code;
        EXPECT_LE(again.code, opened == kResultOK ? kResultOK : 16);
        EXPECT_EQ(ObjectClasses(again.document), ObjectClasses(document));
        EXPECT_EQ(DocumentToolCount(again.document), DocumentToolCount(document));
        const std::vector<uint8_t> second = Write(again.document);
        EXPECT_TRUE(second == first) << "second save differs (" << first.size() << " and " << second.size()
                                     << " bytes)";
    }
    void CheckDocuments(const char* target, size_t skip = 0) {
        const std::vector<SeedFile> seeds = Seeds(target, skip);
        ASSERT_FALSE(seeds.empty()) << kSeedRoot << "/" << target;
        for (const SeedFile& seed : seeds) {
            SCOPED_TRACE(seed.name);
            ReadResult r = Read(seed.bytes);
            if (!r.document) continue;
            CheckRoundTrip(r.document, r.code);
        }
    }
};

TEST_F(SeedRoundTrip, DocumentsSaveAndSaveAgainToTheSameBytes) {
    CheckDocuments("document_read_fuzz");
    CheckDocuments("document_read_oom_fuzz", 2);
}

// Older documents open through the document reader or, bare, straight into a page.
TEST_F(SeedRoundTrip, ConvertedOlderDocumentsSaveAndSaveAgainToTheSameBytes) {
    CheckDocuments("legacy_document_fuzz");
    for (const SeedFile& seed : Seeds("legacy_document_fuzz")) {
        SCOPED_TRACE(seed.name);
        EngineDocument* d = NewDocument();
        Sketch* page = AddPage(d);
        StreamHandle h = 0;
        ASSERT_EQ(OpenMemoryStreamCopy(seed.bytes.data(), uint32_t(seed.bytes.size()), &h), kResultOK);
        Sketch* previous = nullptr;
        SetCurrentSketch(page, &previous);
        const ResultCode rc = ReadLegacyDocument(h, page, d, nullptr);
        if (!IsFatalResult(rc)) RecomputeSketch(false);
        SetCurrentSketch(previous, nullptr);
        DiscardStream(h);
        if (!IsFatalResult(rc)) CheckRoundTrip(d, rc);
    }
}

// Pages and partial sketches as the clipboard and the body reader hold them.
TEST_F(SeedRoundTrip, SketchBodiesSaveAndSaveAgainToTheSameBytes) {
    for (const char* target : { "sketch_body_fuzz", "paste_fuzz" }) {
        for (const SeedFile& seed : Seeds(target)) {
            SCOPED_TRACE(seed.name);
            for (const FormatInfo& f : { kCurrentPageFormat, kCurrentPartialFormat }) {
                auto read = [&](const std::vector<uint8_t>& bytes) {
                    StreamHandle h = 0;
                    EXPECT_EQ(OpenMemoryStreamCopy(bytes.data(), uint32_t(bytes.size()), &h), kResultOK);
                    Sketch* sketch = nullptr;
                    ReadSketch(h, &sketch, nullptr, f);
                    DiscardStream(h);
                    return sketch;
                };
                auto write = [&](Sketch* sketch) {
                    StreamHandle h = 0;
                    EXPECT_EQ(OpenMemoryStream(0, &h), kResultOK);
                    EXPECT_EQ(WriteSketch(h, sketch, f.sketchKind == 1, false), kResultOK);
                    EXPECT_EQ(CloseStream(h), kResultOK);
                    return TakeStreamVector(h);
                };
                Sketch* sketch = read(seed.bytes);
                if (!sketch) continue;
                int32_t givens = 0;
                Sketch* previous = nullptr;
                SetCurrentSketch(sketch, &previous);
                PtrListSize(sketch->givenList, &givens);
                SetCurrentSketch(previous, nullptr);
                if (f.sketchKind == 2 && givens == 0) {
                    FreeSketch(sketch);
                    continue;
                }
                const std::vector<uint8_t> first = write(sketch);
                FreeSketch(sketch);
                Sketch* again = read(first);
                ASSERT_NE(again, nullptr);
                const std::vector<uint8_t> second = write(again);
                FreeSketch(again);
                EXPECT_TRUE(second == first) << "format " << f.sketchKind << ": second save differs";
            }
        }
    }
}

// A document opened while memory fails at any one request either fails with out of
// memory or is the whole document: saved, it gives the bytes of the document opened with
// memory to spare. (A value's text the recompute after reading could not make was lost,
// the page opening as if whole.)
TEST_F(SeedRoundTrip, OpeningWithoutMemoryGivesTheWholeDocumentOrOutOfMemory) {
    std::vector<uint8_t> file;
    for (SeedFile& seed : Seeds("document_read_fuzz"))
        if (seed.name.ends_with("/every_kind")) file = std::move(seed.bytes);
    ASSERT_FALSE(file.empty());
    SetRandomSeed(1);
    const uint64_t before = AllocRequestCount();
    ReadResult full = Read(file);
    const uint64_t requests = AllocRequestCount() - before;
    ASSERT_NE(full.document, nullptr);
    const std::vector<uint8_t> whole = Write(full.document);
    for (uint32_t n = 1; n <= requests; ++n) {
        StreamHandle h = 0;
        ASSERT_EQ(OpenMemoryStreamCopy(file.data(), uint32_t(file.size()), &h), kResultOK);
        EngineDocument* starved = nullptr;
        bool copy = false;
        char* message = nullptr;
        SetRandomSeed(1);  // pages stored without an id get the same fresh one
        SetAllocFailureAfter(n);
        const ResultCode code = ReadEngineDocument(h, &starved, &copy, this, &message, false);
        SetAllocFailureAfter(0);
        DiscardStream(h);
        FreeMemory(message);
        if (!starved) {
            ASSERT_EQ(code, kResultOutOfMemory) << n;
            continue;
        }
        // The one smaller document allowed: a table too large for memory keeps its
        // header rows, with a warning.
        const bool cut = code != full.code && IsWarningResult(code) && fuzz_round_trip::TableCut(full.document, starved);
        const bool same = code == full.code && Write(starved) == whole;
        FreeEngineDocument(starved);
        if (cut) continue;
        ASSERT_EQ(code, full.code) << n;
        ASSERT_TRUE(same) << "request " << n << " lost part of the document";
    }
}

}  // namespace
