#include "release2/engine/float_samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/angle_constants.h"
#include "engine/core/arc_data.h"
#include "engine/core/geometry.h"
#include "engine/core/locus.h"
#include "engine/core/shape_families.h"

namespace SR = SampleRecord;

namespace {

float ScreenFloat(double v) {
    if (!(v == v)) return 0.0f;
    return float(std::clamp(v, -double(kScreenLimit), double(kScreenLimit)));
}

bool Exists(const uint8_t* record) { return RecordField<uint32_t>(record, SR::kLocusState) != kSampleMissing; }
bool Joined(const uint8_t* record) { return RecordField<uint32_t>(record, SR::kLocusState) == kSampleRunGoes; }
double ParameterOf(const uint8_t* record) { return RecordField<double>(record, SR::kLocusParameter); }

// The joined piece that ends at sample i: from its predecessor (for the first sample of a
// closed locus the last sample), with the parameters at both ends; the first sample
// stands at the end of the range when its piece comes round from the last.
struct Piece {
    int32_t from, to;
    RealPoint a, b;
    double pa, pb;
};

bool PieceEndingAt(const SketchObject* locus, int32_t i, Piece* piece) {
    const LocusData* L = LocusDataOf(locus);
    const uint8_t* record = L->samples + size_t(i) * L->sampleSize;
    if (!Joined(record)) return false;
    const int32_t from = i > 0 ? i - 1 : L->sampleCount - 1;
    if (from == i) return false;
    const uint8_t* previous = L->samples + size_t(from) * L->sampleSize;
    if (!Exists(previous)) return false;
    *piece = { from, i, FloatSamplePosition(previous), FloatSamplePosition(record), ParameterOf(previous),
               i > 0 ? ParameterOf(record) : L->hi };
    return true;
}

// A squared distance (never negative) rounded to an integer.
int64_t RoundedSquare(double d2) { return d2 < 9.0e18 ? int64_t(d2 + 0.5) : INT64_MAX; }

}  // namespace

void PutFloatSamplePosition(uint8_t* record, RealPoint position) {
    SetRecordField(record, 0, ScreenFloat(position.x));
    SetRecordField(record, 4, ScreenFloat(position.y));
}

RealPoint FloatSamplePosition(const uint8_t* record) {
    return { double(RecordField<float>(record, 0)), double(RecordField<float>(record, 4)) };
}

int32_t FloatNearestLocusSample(const SketchObject* locus, RealPoint point, double* parameter) {
    const LocusData* L = LocusDataOf(locus);
    if (!L->samples || L->sampleCount <= 0) return -1;
    const uint8_t* samples = L->samples;
    const size_t size = L->sampleSize;
    int32_t best = -1;
    int64_t bestD = 0;
    bool bestAtSample = true;
    double bestParameter = 0;
    // A piece whose squared distance is below this can still win: its rounded distance
    // is below the best one's, or equal to it while the best one lies on a sample. The
    // boxes are measured in floats against a bound no smaller.
    double reach = HUGE_VAL;
    float boxReach = HUGE_VALF;
    const auto setReach = [&](double value) {
        reach = value;
        boxReach = std::nextafter(float(value), HUGE_VALF);
    };
    // Keeps a candidate at squared distance d2 that lands on a sample (or inside its piece).
    const auto offer = [&](double d2, bool atSample, int32_t sample, double value) {
        const int64_t d = RoundedSquare(d2);
        if (best >= 0 && (d > bestD || (d == bestD && (atSample || !bestAtSample)))) return;
        best = sample;
        bestD = d;
        bestAtSample = atSample;
        bestParameter = value;
        setReach(double(d) + (atSample ? 0.5 : -0.5));
    };
    // Most pieces lie far away: their box, a little short of them for the float rounding
    // of the point, rules them out before any projection. Until a candidate is found the
    // bound is that of the nearest of a few samples spread over the locus: the scan meets
    // that sample (or a piece that ends at it) and takes it, or a nearer point.
    constexpr float kSlack = 0.01f;
    constexpr int32_t kFirstLook = 128;
    const float qx = float(point.x), qy = float(point.y);
    const int32_t stride = std::max<int32_t>(1, L->sampleCount / kFirstLook);
    for (int32_t i = 0; i < L->sampleCount; i += stride) {
        const uint8_t* record = samples + size_t(i) * size;
        if (!Exists(record)) continue;
        const RealPoint p = FloatSamplePosition(record);
        const double d2 = (p.x - point.x) * (p.x - point.x) + (p.y - point.y) * (p.y - point.y);
        if (d2 < reach) setReach(double(RoundedSquare(d2)) + 0.5);
    }
    const uint8_t* last = samples + (size_t(L->sampleCount) - 1) * size;
    // The sample before the one at hand, when it exists.
    bool previousExists = L->ends == kPathClosed && Exists(last);
    const uint8_t* previous = last;
    float ax = RecordField<float>(last, 0), ay = RecordField<float>(last, 4);
    for (int32_t i = 0; i < L->sampleCount; ++i) {
        const uint8_t* record = samples + size_t(i) * size;
        const uint32_t state = RecordField<uint32_t>(record, SR::kLocusState);
        if (state == kSampleMissing) {
            previousExists = false;
            continue;
        }
        const float bx = RecordField<float>(record, 0), by = RecordField<float>(record, 4);
        if (previousExists && state == kSampleRunGoes) {
            const float boxX = std::max(std::max(std::min(ax, bx) - qx, qx - std::max(ax, bx)) - kSlack, 0.0f);
            const float boxY = std::max(std::max(std::min(ay, by) - qy, qy - std::max(ay, by)) - kSlack, 0.0f);
            if (boxX * boxX + boxY * boxY < boxReach) {
                const RealPoint a = { ax, ay }, b = { bx, by };
                const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
                double f = len2 > 0 ? ((point.x - a.x) * dx + (point.y - a.y) * dy) / len2 : 0.0;
                f = std::clamp(f, 0.0, 1.0);
                const double px = a.x + f * dx - point.x, py = a.y + f * dy - point.y;
                // The first sample's piece comes round from the last: it ends at hi.
                const double pa = ParameterOf(previous), pb = i > 0 ? ParameterOf(record) : L->hi;
                const int32_t from = i > 0 ? i - 1 : L->sampleCount - 1;
                offer(px * px + py * py, f <= 0.0 || f >= 1.0, f < 0.5 ? from : i, pa + f * (pb - pa));
            }
        } else {
            const double dx = double(bx) - point.x, dy = double(by) - point.y;
            if (dx * dx + dy * dy < reach) offer(dx * dx + dy * dy, true, i, ParameterOf(record));
        }
        previousExists = true;
        previous = record;
        ax = bx;
        ay = by;
    }
    if (best >= 0) *parameter = bestParameter;
    return best;
}

double FloatLocusSpanForRange(const SketchObject* locus, double from, double to) {
    const LocusData* L = LocusDataOf(locus);
    if (!L->samples) return 0;
    double sum = 0;
    for (int32_t i = 0; i < L->sampleCount; ++i) {
        Piece piece;
        if (!PieceEndingAt(locus, i, &piece)) continue;
        const double low = std::min(piece.pa, piece.pb), high = std::max(piece.pa, piece.pb);
        double share;
        if (high > low) share = std::max(0.0, std::min(high, to) - std::max(low, from)) / (high - low);
        else share = piece.pb >= from && piece.pb <= to ? 1.0 : 0.0;
        if (share > 0) sum += share * std::hypot(piece.b.x - piece.a.x, piece.b.y - piece.a.y);
    }
    return sum;
}

namespace {

constexpr uint32_t kArcFloats = 48;  // float centre x, y, radius, start angle, end angle
constexpr uint32_t kArcChangedAt = 68;
constexpr uint32_t kFloatArcBytes = 72;
constexpr double kSpanChange = 0.1;

float AngleFloat(double v) { return v == v ? float(v) : 0.0f; }

double SpanOf(float start, float end) {
    double span = double(end) - double(start);
    if (span < 0) span += kTwoPi;
    return span;
}

}  // namespace

uint32_t FloatArcSampleBytes() { return kFloatArcBytes; }

void PutFloatArcSample(const SketchObject* arc, uint8_t* record) {
    const ArcData& a = *ClassData<ArcData>(arc);
    // A straight arc keeps its second end in the radius and start-angle fields.
    const bool real = a.orientation != 0;
    const float now[5] = { ScreenFloat(a.centre.x), ScreenFloat(a.centre.y), ScreenFloat(a.radius),
                           real ? AngleFloat(a.startAngle) : ScreenFloat(a.startAngle),
                           real ? AngleFloat(a.endAngle) : 0.0f };
    float before[5];
    std::memcpy(before, record + kArcFloats, sizeof before);
    const ScreenRect box = real ? arc->bounds : ScreenRect{ 0, 0, 0, 0 };
    ScreenRect oldBox;
    std::memcpy(&oldBox, record, sizeof oldBox);
    const bool moved = std::memcmp(&box, &oldBox, sizeof box) != 0 || now[0] != before[0] || now[1] != before[1] ||
                       (!real && (now[2] != before[2] || now[3] != before[3]));
    const bool resized = real && now[2] != before[2];
    const bool turned = real && std::fabs(SpanOf(now[3], now[4]) - SpanOf(before[3], before[4])) > kSpanChange;
    std::memcpy(record + kArcFloats, now, sizeof now);
    SetRecordField<uint32_t>(record, kArcChangedAt, arc->exists && (moved || resized || turned) ? 1 : 0);
}

void FloatArcSampleGeometry(const uint8_t* record, double* geometry) {
    float g[5];
    std::memcpy(g, record + kArcFloats, sizeof g);
    for (int i = 0; i < 5; ++i) geometry[i] = g[i];
}

bool FloatArcSampleChanged(const uint8_t* record) { return RecordField<uint32_t>(record, kArcChangedAt) != 0; }

void AddLocusForms(LaterReleaseForms* forms) {
    forms->locus.arcSampleBytes = FloatArcSampleBytes;
    forms->locus.putArcSample = PutFloatArcSample;
    forms->locus.arcSampleGeometry = FloatArcSampleGeometry;
    forms->locus.putSamplePosition = PutFloatSamplePosition;
    forms->locus.samplePosition = FloatSamplePosition;
    forms->locus.nearestSample = FloatNearestLocusSample;
    forms->locus.spanLength = FloatLocusSpanForRange;
}
