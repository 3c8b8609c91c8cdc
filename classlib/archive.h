// A byte archive over an OLE stream: what a document writes when a container stores an
// embedded object, and reads when it loads it again.
#pragma once
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <vector>

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // The stream stays the caller's; the archive neither adds nor drops a reference.
    CArchive(IStream* stream, Mode mode) : m_stream(stream), m_mode(mode) {}

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    // False, and the archive failed, when not every byte went.
    bool Write(const void* data, uint32_t n);
    // The bytes read (fewer at the stream's end).
    uint32_t Read(void* data, uint32_t n);
    // The rest of the stream, up to limit bytes; false (archive failed) when more is there
    // or reading fails.
    bool ReadToEnd(std::vector<uint8_t>& out, uint32_t limit);

    // The serializer's own failure (a result code of its own; nonzero once failed).
    void Fail(int32_t code) { if (!m_failure) m_failure = code ? code : -1; }
    bool Failed() const { return m_failure != 0; }
    int32_t FailureCode() const { return m_failure; }

    IStream* m_stream;

private:
    Mode m_mode;
    int32_t m_failure = 0;
};
