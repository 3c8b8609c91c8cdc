// Saving and opening a document of 100,000 objects, each against a plain baseline run
// in the same process: fwrite of the file's bytes for saving (also timed beside every
// save, for the ratio), and for opening a plain
// parse that reads the file into one buffer and makes one heap record of the engine's
// object size per object record (the opening benchmark runs it beside each opening and
// reports the ratio). Two more figures say what stands between opening and its
// baseline: the plain parse with zero-filled records, and a recompute of the page. The memory of an open document is measured in a fresh process
// (this program started again with --open-rss), so that nothing the benchmarks
// allocated before counts.
//
//   taskset -c 3 build/bench/bench/document_io_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

extern char** environ;

namespace {

constexpr int32_t kObjects = 100000;
constexpr uint32_t kTagObjectHeaderRecord = 2000;

// The time of this thread on the processor, the system calls it makes included: other
// work on a busy machine does not count, as it would on a wall clock.
struct Clock {
    using time_point = double;
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }
};

double Seconds(double a, double b) { return b - a; }

// A private folder for the files of this run, removed at exit.
const std::filesystem::path& WorkFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "document_io_bench.XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(WorkFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// A page of `objects` objects: two free points, then a chain of segments and their
// midpoints, each segment joining the last two points, so that every object has few
// children, as in drawings.
EngineDocument* MakeDocument(int32_t objects) {
    InitStreamTable();
    EngineDocument* document = nullptr;
    CreateEngineDocument(&document, nullptr);
    void* item = nullptr;
    AddDocumentItem(document, &item, kDocumentItemPage, nullptr);
    Sketch* previous = nullptr;
    SetCurrentSketch(static_cast<Sketch*>(item), &previous);
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
    for (int32_t made = 2; made + 2 <= objects; made += 2) {
        SketchObject* segment = build(kTypeSegment, older, newer);
        SketchObject* middle = build(kTypeMidpoint, segment, nullptr);
        older = newer;
        newer = middle;
    }
    RecomputeSketch(false);
    SetCurrentSketch(previous, nullptr);
    return document;
}

bool SaveDocument(EngineDocument* document, const std::string& path) {
    StreamHandle h = 0;
    if (OpenFileStreamForWrite(path.c_str(), &h) != kResultOK) return false;
    ResultCode rc = WriteEngineDocument(h, document, false);
    ResultCode closed = CloseStream(h);
    return !IsFatalResult(rc) && closed == kResultOK;
}

struct BenchDocument {
    EngineDocument*      document = nullptr;
    std::string          path;
    std::vector<uint8_t> bytes;  // the file as saved
};

BenchDocument& Shared() {
    static BenchDocument shared = [] {
        BenchDocument b;
        b.document = MakeDocument(kObjects);
        b.path = (WorkFolder() / "document.yrn").string();
        if (!SaveDocument(b.document, b.path)) {
            std::fprintf(stderr, "the benchmark document could not be saved\n");
            std::exit(1);
        }
        b.bytes.resize(std::filesystem::file_size(b.path));
        FILE* f = std::fopen(b.path.c_str(), "rb");
        if (!f || std::fread(b.bytes.data(), 1, b.bytes.size(), f) != b.bytes.size()) std::exit(1);
        std::fclose(f);
        return b;
    }();
    return shared;
}

// Both writers make a new file each time: the old one is removed outside the timer, so
// that neither pays for the file system flushing a truncated file's blocks at close.
template <typename Write>
void TimeWritesToNewFile(benchmark::State& state, const char* name, Write write) {
    BenchDocument& b = Shared();
    const std::string path = (WorkFolder() / name).string();
    for (auto _ : state) {
        std::remove(path.c_str());
        const Clock::time_point start = Clock::now();
        write(path);
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(b.bytes.size()));
}

// Each iteration also writes the saved bytes through the C library to a new file (the
// baseline of BM_PlainFwrite), timed apart, so that the ratio compares two figures taken
// at the same moment on the same core. The reported time is the save's.
void BM_SaveDocument(benchmark::State& state) {
    BenchDocument& b = Shared();
    const std::string path = (WorkFolder() / "saved.yrn").string();
    const std::string plainPath = (WorkFolder() / "plain_beside.yrn").string();
    double saveSeconds = 0, plainSeconds = 0;
    bool saveFirst = true;
    for (auto _ : state) {
        std::remove(path.c_str());
        std::remove(plainPath.c_str());
        // The two take turns to go first, so that neither always meets the other's
        // bytes still on their way to the disk.
        double save = 0, plain = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const Clock::time_point start = Clock::now();
            if ((turn == 0) == saveFirst) {
                benchmark::DoNotOptimize(SaveDocument(b.document, path));
                save = Seconds(start, Clock::now());
            } else {
                FILE* f = std::fopen(plainPath.c_str(), "wb");
                benchmark::DoNotOptimize(std::fwrite(b.bytes.data(), 1, b.bytes.size(), f));
                std::fclose(f);
                plain = Seconds(start, Clock::now());
            }
        }
        saveFirst = !saveFirst;
        saveSeconds += save;
        plainSeconds += plain;
        state.SetIterationTime(save);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(b.bytes.size()));
    state.counters["file_bytes"] = double(b.bytes.size());
    state.counters["fwrite_ms"] = 1e3 * plainSeconds / double(state.iterations());
    state.counters["ratio"] = plainSeconds > 0 ? saveSeconds / plainSeconds : 0;
}

// The baseline of saving: the same bytes to a new file through the C library.
void BM_PlainFwrite(benchmark::State& state) {
    BenchDocument& b = Shared();
    TimeWritesToNewFile(state, "plain.yrn", [&](const std::string& path) {
        FILE* f = std::fopen(path.c_str(), "wb");
        benchmark::DoNotOptimize(std::fwrite(b.bytes.data(), 1, b.bytes.size(), f));
        std::fclose(f);
    });
}

// The baseline of opening: the file read into one buffer, then for every object record
// one heap record of the engine's size for the object's class, into which the payloads
// of the object's records are copied as they stand (no checks, no links). Freeing the
// records is outside the timer, as the document's teardown is. With `zeroed` every
// record is zero-filled whole, as the engine's objects are, so that every byte of it is
// written. Answers the seconds taken.
double PlainParseOnce(bool zeroed, std::vector<uint8_t>& buffer, std::vector<uint8_t*>& records) {
    BenchDocument& b = Shared();
    const Clock::time_point start = Clock::now();
    FILE* f = std::fopen(b.path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    buffer.resize(static_cast<size_t>(size));
    benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
    std::fclose(f);
    uint8_t* record = nullptr;
    uint32_t recordSize = 0;
    uint32_t filled = 0;
    for (size_t at = 4; at + 8 <= buffer.size();) {
        uint32_t length, tag;
        std::memcpy(&length, &buffer[at], 4);
        std::memcpy(&tag, &buffer[at + 4], 4);
        const uint8_t* payload = &buffer[at + 8];
        at += 8 + length;
        if (tag == kTagObjectHeaderRecord) {
            uint16_t classCode;
            std::memcpy(&classCode, payload + 6, 2);
            recordSize = ObjectClassTable[classCode % kClassCount].objectSize;
            record = static_cast<uint8_t*>(zeroed ? std::calloc(1, recordSize) : std::malloc(recordSize));
            records.push_back(record);
            filled = 0;
        }
        if (record) {
            const uint32_t take = length < recordSize - filled ? length : recordSize - filled;
            std::memcpy(record + filled, payload, take);
            filled += take;
        }
    }
    const double seconds = Seconds(start, Clock::now());
    benchmark::DoNotOptimize(records.data());
    for (uint8_t* r : records) std::free(r);
    records.clear();
    return seconds;
}

// Opening is timed up to the read document; freeing it is timed apart (teardown_ms).
// Each iteration also runs both plain parses, so that the ratios to them (open_per_plain,
// open_per_zeroed) come from the same moments of the same run: on a busy machine the
// baselines move with the opening.
void BM_OpenDocument(benchmark::State& state) {
    BenchDocument& b = Shared();
    double teardown = 0, opening = 0, plain = 0, zeroed = 0;
    std::vector<uint8_t*> records;
    records.reserve(kObjects);
    std::vector<uint8_t> buffer;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        StreamHandle h = 0;
        OpenFileStreamForRead(b.path.c_str(), &h);
        EngineDocument* read = nullptr;
        bool copy = false;
        char* message = nullptr;
        benchmark::DoNotOptimize(ReadEngineDocument(h, &read, &copy, nullptr, &message, false));
        CloseStream(h);
        const Clock::time_point opened = Clock::now();
        FreeMemory(message);
        FreeEngineDocument(read);
        teardown += Seconds(opened, Clock::now());
        opening += Seconds(start, opened);
        state.SetIterationTime(Seconds(start, opened));
        state.PauseTiming();
        plain += PlainParseOnce(false, buffer, records);
        zeroed += PlainParseOnce(true, buffer, records);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(b.bytes.size()));
    const double n = double(state.iterations());
    state.counters["teardown_ms"] = benchmark::Counter(teardown * 1e3 / n);
    state.counters["plain_ms"] = benchmark::Counter(plain * 1e3 / n);
    state.counters["zeroed_ms"] = benchmark::Counter(zeroed * 1e3 / n);
    state.counters["open_per_plain"] = benchmark::Counter(opening / plain);
    state.counters["open_per_zeroed"] = benchmark::Counter(opening / zeroed);
}

// The baselines alone (see PlainParseOnce). The plain parse with zero-filled records is a
// measure of what stands between the plain parse and opening.
template <bool zeroed>
void PlainParse(benchmark::State& state) {
    BenchDocument& b = Shared();
    std::vector<uint8_t*> records;
    records.reserve(kObjects);
    std::vector<uint8_t> buffer;
    for (auto _ : state) state.SetIterationTime(PlainParseOnce(zeroed, buffer, records));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(b.bytes.size()));
}

void BM_PlainParse(benchmark::State& state) { PlainParse<false>(state); }
void BM_PlainParseZeroed(benchmark::State& state) { PlainParse<true>(state); }

// The recompute of every object in sketch order that ends the reading of a page, timed
// alone on the page read from the benchmark's file: a part of opening that the reading
// rules ask for and the plain parse does not do.
void BM_RecomputeOpenedPage(benchmark::State& state) {
    BenchDocument& b = Shared();
    StreamHandle h = 0;
    OpenFileStreamForRead(b.path.c_str(), &h);
    EngineDocument* read = nullptr;
    bool copy = false;
    char* message = nullptr;
    const ResultCode rc = ReadEngineDocument(h, &read, &copy, nullptr, &message, false);
    CloseStream(h);
    FreeMemory(message);
    if (IsFatalResult(rc)) {
        state.SkipWithError("the document could not be read");
        return;
    }
    Sketch* previous = nullptr;
    SetCurrentSketch(DocumentPageAt(read, 0), &previous);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(RecomputeSketch(false));
        state.SetIterationTime(Seconds(start, Clock::now()));
    }
    SetCurrentSketch(previous, nullptr);
    FreeEngineDocument(read);
}

long StatusKilobytes(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long value = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') value = std::strtol(line + n + 1, nullptr, 10);
    std::fclose(f);
    return value;
}

// Run in a fresh process: opens `path` and prints the resident size before and after,
// and the peak, in kilobytes.
int OpenAndReport(const char* path) {
    InitStreamTable();
    const long before = StatusKilobytes("VmRSS");
    StreamHandle h = 0;
    if (OpenFileStreamForRead(path, &h) != kResultOK) return 1;
    EngineDocument* read = nullptr;
    bool copy = false;
    char* message = nullptr;
    const ResultCode rc = ReadEngineDocument(h, &read, &copy, nullptr, &message, false);
    CloseStream(h);
    if (IsFatalResult(rc)) return 1;
    std::printf("%ld %ld %ld\n", before, StatusKilobytes("VmRSS"), StatusKilobytes("VmHWM"));
    return 0;
}

// Resident memory of an opened document of N objects (the benchmark's argument): the
// growth of the resident size per object, and the peak of the opening process.
void BM_OpenMemory(benchmark::State& state) {
    const int32_t objects = static_cast<int32_t>(state.range(0));
    const std::string path = (WorkFolder() / ("memory" + std::to_string(objects) + ".yrn")).string();
    if (!std::filesystem::exists(path)) {
        EngineDocument* document = MakeDocument(objects);
        const bool saved = SaveDocument(document, path);
        FreeEngineDocument(document);
        if (!saved) {
            state.SkipWithError("the document could not be saved");
            return;
        }
    }
    long before = 0, after = 0, peak = 0;
    for (auto _ : state) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        char self[] = "/proc/self/exe";
        char option[] = "--open-rss";
        char* argv[] = { self, option, const_cast<char*>(path.c_str()), nullptr };
        pid_t child = 0;
        const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        char text[128] = {};
        FILE* from = fdopen(pipeEnds[0], "r");
        const bool got = from && std::fgets(text, sizeof text, from) &&
                         std::sscanf(text, "%ld %ld %ld", &before, &after, &peak) == 3;
        if (from) std::fclose(from);
        int status = 0;
        if (spawned == 0) waitpid(child, &status, 0);
        if (spawned != 0 || !got || status != 0) {
            state.SkipWithError("the opening process failed");
            return;
        }
    }
    state.counters["bytes_per_object"] = double(after - before) * 1024.0 / objects;
    state.counters["peak_rss_mb"] = double(peak) / 1024.0;
}

BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PlainFwrite)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PlainParse)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PlainParseZeroed)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_RecomputeOpenedPage)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_OpenMemory)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--open-rss") == 0) return OpenAndReport(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
