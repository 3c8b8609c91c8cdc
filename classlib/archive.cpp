#include "classlib/archive.h"

namespace {
constexpr int32_t kStreamFailure = -2;
constexpr uint32_t kReadChunk = 64 * 1024;
}  // namespace

bool CArchive::Write(const void* data, uint32_t n) {
    if (!IsStoring() || !m_stream) {
        Fail(kStreamFailure);
        return false;
    }
    ULONG written = 0;
    if (FAILED(m_stream->Write(data, n, &written)) || written != n) {
        Fail(kStreamFailure);
        return false;
    }
    return true;
}

uint32_t CArchive::Read(void* data, uint32_t n) {
    if (!IsLoading() || !m_stream) {
        Fail(kStreamFailure);
        return 0;
    }
    ULONG got = 0;
    if (FAILED(m_stream->Read(data, n, &got))) {
        Fail(kStreamFailure);
        return 0;
    }
    return got;
}

bool CArchive::ReadToEnd(std::vector<uint8_t>& out, uint32_t limit) {
    out.clear();
    for (;;) {
        const size_t at = out.size();
        // One byte past the limit tells a stream of exactly the limit from a longer one.
        const uint32_t room = static_cast<uint32_t>(limit + 1 - at);
        const uint32_t want = room < kReadChunk ? room : kReadChunk;
        if (want == 0) break;
        out.resize(at + want);
        const uint32_t got = Read(out.data() + at, want);
        out.resize(at + got);
        if (Failed()) return false;
        if (got == 0) return true;
        if (out.size() > limit) break;
    }
    out.clear();
    Fail(kStreamFailure);
    return false;
}
