#include "release2/engine/float_samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

int64_t RoundedSquare(double d2) { return d2 < 9.0e18 ? int64_t(std::floor(d2 + 0.5)) : INT64_MAX; }

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
    if (!L->samples) return -1;
    int32_t best = -1;
    int64_t bestD = 0;
    bool bestAtSample = true;
    double bestParameter = 0;
    // Keeps a candidate at squared distance d2 that lands on a sample (or inside its piece).
    const auto offer = [&](double d2, bool atSample, int32_t sample, double value) {
        const int64_t d = RoundedSquare(d2);
        if (best >= 0 && (d > bestD || (d == bestD && (atSample || !bestAtSample)))) return;
        best = sample;
        bestD = d;
        bestAtSample = atSample;
        bestParameter = value;
    };
    for (int32_t i = 0; i < L->sampleCount; ++i) {
        const uint8_t* record = L->samples + size_t(i) * L->sampleSize;
        if (!Exists(record)) continue;
        Piece piece;
        if (PieceEndingAt(locus, i, &piece)) {
            const double dx = piece.b.x - piece.a.x, dy = piece.b.y - piece.a.y, len2 = dx * dx + dy * dy;
            double f = len2 > 0 ? ((point.x - piece.a.x) * dx + (point.y - piece.a.y) * dy) / len2 : 0.0;
            f = std::clamp(f, 0.0, 1.0);
            const double px = piece.a.x + f * dx - point.x, py = piece.a.y + f * dy - point.y;
            offer(px * px + py * py, f <= 0.0 || f >= 1.0, f < 0.5 ? piece.from : piece.to,
                  piece.pa + f * (piece.pb - piece.pa));
        } else {
            const RealPoint s = FloatSamplePosition(record);
            const double dx = s.x - point.x, dy = s.y - point.y;
            offer(dx * dx + dy * dy, true, i, ParameterOf(record));
        }
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

void AddLocusForms(LaterReleaseForms* forms) {
    forms->locus.putSamplePosition = PutFloatSamplePosition;
    forms->locus.samplePosition = FloatSamplePosition;
    forms->locus.nearestSample = FloatNearestLocusSample;
    forms->locus.spanLength = FloatLocusSpanForRange;
}
