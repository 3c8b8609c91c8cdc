// Saving and opening a document of 100,000 objects, against writing and reading the
// same number of bytes with plain fwrite/fread in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "engine/docio/streams.h"

namespace {

constexpr int32_t kObjects = 100000;

struct BenchDocument {
    EngineDocument* document = nullptr;
    std::string     path;
    uint32_t        bytes = 0;
};

BenchDocument& Shared() {
    static BenchDocument shared = [] {
        BenchDocument b;
        InitStreamTable();
        CreateEngineDocument(&b.document, nullptr);
        void* item = nullptr;
        AddDocumentItem(b.document, &item, kDocumentItemPage, nullptr);
        Sketch* previous = nullptr;
        SetCurrentSketch(static_cast<Sketch*>(item), &previous);
        // Two free points, then a chain of segments and their midpoints, each segment
        // joining the last two points: every object has few children, as in drawings.
        const ObjectTemplate point = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
        SketchObject* older = ConstructObjectEx(&point, nullptr, 0, 0, nullptr, nullptr, false);
        SketchObject* newer = ConstructObjectEx(&point, nullptr, 0, 0, nullptr, nullptr, false);
        SetPointPosition(older, 10, 20, 1, nullptr, false);
        SetPointPosition(newer, 300, 200, 1, nullptr, false);
        auto build = [](int32_t type, SketchObject* a, SketchObject* b) {
            PtrList parents = 0;
            PtrListAppend(&parents, a);
            if (b) PtrListAppend(&parents, b);
            return ConstructObject(type, nullptr, parents, 0, true, false, nullptr);
        };
        for (int32_t made = 2; made + 2 <= kObjects; made += 2) {
            SketchObject* segment = build(kTypeSegment, older, newer);
            SketchObject* middle = build(kTypeMidpoint, segment, nullptr);
            older = newer;
            newer = middle;
        }
        RecomputeSketch(false);
        SetCurrentSketch(previous, nullptr);
        b.path = (std::filesystem::temp_directory_path() / "document_io_bench.yrn").string();
        StreamHandle h = 0;
        OpenFileStreamForWrite(b.path.c_str(), &h);
        WriteEngineDocument(h, b.document, false);
        CloseStream(h);
        b.bytes = static_cast<uint32_t>(std::filesystem::file_size(b.path));
        return b;
    }();
    return shared;
}

void BM_SaveDocument(benchmark::State& state) {
    BenchDocument& b = Shared();
    for (auto _ : state) {
        StreamHandle h = 0;
        OpenFileStreamForWrite(b.path.c_str(), &h);
        benchmark::DoNotOptimize(WriteEngineDocument(h, b.document, false));
        CloseStream(h);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * b.bytes);
    state.counters["file_bytes"] = b.bytes;
}

void BM_OpenDocument(benchmark::State& state) {
    BenchDocument& b = Shared();
    for (auto _ : state) {
        StreamHandle h = 0;
        OpenFileStreamForRead(b.path.c_str(), &h);
        EngineDocument* read = nullptr;
        bool copy = false;
        char* message = nullptr;
        benchmark::DoNotOptimize(ReadEngineDocument(h, &read, &copy, nullptr, &message, false));
        CloseStream(h);
        FreeMemory(message);
        FreeEngineDocument(read);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * b.bytes);
}

// The baseline: the same byte count through the C library in one call each way.
void BM_PlainFwrite(benchmark::State& state) {
    BenchDocument& b = Shared();
    const std::string path = b.path + ".plain";
    std::vector<char> data(b.bytes, 'x');
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        benchmark::DoNotOptimize(std::fwrite(data.data(), 1, data.size(), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * b.bytes);
}

void BM_PlainFread(benchmark::State& state) {
    BenchDocument& b = Shared();
    const std::string path = b.path + ".plain";
    std::vector<char> data(b.bytes, 'x');
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(data.data(), 1, data.size(), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * b.bytes);
}

BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFwrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFread)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
