#include "engine/docio/byte_streams.h"

#include <cerrno>
#include <cstring>

ByteStream::~ByteStream() = default;
bool    ByteStream::HasData() { return BytesAvailable() > 0; }
bool    ByteStream::HasRoom() { return Room() > 0; }
int32_t ByteStream::BytesAvailable() { return 0; }
int32_t ByteStream::Room() { return 0; }
int32_t ByteStream::Size() { return 0; }
void    ByteStream::Reserve(int32_t) {}
int32_t ByteStream::Position() { return 0; }
void    ByteStream::Seek(int32_t) {}
void    ByteStream::Rewind() { Flush(); }
void    ByteStream::Flush() {}

namespace {

[[noreturn]] void ThrowCode(ResultCode code) { throw static_cast<YrnErrTag>(code); }

}  // namespace

// ---- over a StreamHandle

StreamHandleByteStream::StreamHandleByteStream(StreamHandle stream) : stream_(stream) { Recount(); }

void StreamHandleByteStream::Recount() {
    uint32_t size = 0, pos = 0;
    ResultCode rc = StreamSize(stream_, &size);
    if (rc == kResultOK) rc = StreamTell(stream_, &pos);
    if (rc != kResultOK) ThrowCode(rc);
    available_ = size > pos ? static_cast<int32_t>(size - pos > 0x7FFFFFFFu ? 0x7FFFFFFFu : size - pos) : 0;
    room_ = kUnlimitedRoom;
}

int32_t StreamHandleByteStream::Size() {
    uint32_t size = 0;
    ResultCode rc = StreamSize(stream_, &size);
    if (rc != kResultOK) ThrowCode(rc);
    return static_cast<int32_t>(size);
}

int32_t StreamHandleByteStream::Position() {
    uint32_t pos = 0;
    ResultCode rc = StreamTell(stream_, &pos);
    if (rc != kResultOK) ThrowCode(rc);
    return static_cast<int32_t>(pos);
}

void StreamHandleByteStream::Seek(int32_t position) {
    ResultCode rc = StreamSeek(stream_, position, 0);
    if (rc != kResultOK) ThrowCode(rc);
    Recount();
}

void StreamHandleByteStream::Read(void* buffer, int32_t count) {
    if (count < 0) ThrowCode(kResultInvalidArg);
    ResultCode rc = StreamRead(stream_, buffer, static_cast<uint32_t>(count));
    if (rc != kResultOK) {
        available_ = 0;
        ThrowCode(rc);
    }
    available_ = available_ > count ? available_ - count : 0;
}

void StreamHandleByteStream::Write(const void* buffer, int32_t count) {
    if (count < 0) ThrowCode(kResultInvalidArg);
    ResultCode rc = StreamWrite(stream_, buffer, static_cast<uint32_t>(count));
    if (rc != kResultOK) {
        room_ = 0;
        ThrowCode(rc);
    }
    if (room_ != kUnlimitedRoom) room_ = room_ > count ? room_ - count : 0;
}

// ---- over a C-library file

StdioByteStream::StdioByteStream(FILE* file) : file_(file) { Recount(); }

void StdioByteStream::Recount() {
    int32_t size = Size(), pos = Position();
    available_ = size > pos ? size - pos : 0;
    room_ = kUnlimitedRoom;
}

int32_t StdioByteStream::Size() {
    errno = 0;
    long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) ThrowCode(MapCrtError(errno));
    long end = std::ftell(file_);
    if (std::fseek(file_, here, SEEK_SET) != 0 || end < 0) ThrowCode(MapCrtError(errno));
    return static_cast<int32_t>(end);
}

int32_t StdioByteStream::Position() {
    errno = 0;
    long p = std::ftell(file_);
    if (p < 0) ThrowCode(MapCrtError(errno));
    return static_cast<int32_t>(p);
}

void StdioByteStream::Seek(int32_t position) {
    errno = 0;
    if (std::fseek(file_, position, SEEK_SET) != 0) ThrowCode(MapCrtError(errno));
    Recount();
}

void StdioByteStream::Flush() { std::fflush(file_); }

void StdioByteStream::Read(void* buffer, int32_t count) {
    if (count < 0) ThrowCode(kResultInvalidArg);
    errno = 0;
    if (std::fread(buffer, 1, static_cast<size_t>(count), file_) != static_cast<size_t>(count)) {
        available_ = 0;
        ThrowCode(std::feof(file_) ? kResultEndOfData : MapCrtError(errno));
    }
    available_ = available_ > count ? available_ - count : 0;
}

void StdioByteStream::Write(const void* buffer, int32_t count) {
    if (count < 0) ThrowCode(kResultInvalidArg);
    errno = 0;
    if (std::fwrite(buffer, 1, static_cast<size_t>(count), file_) != static_cast<size_t>(count)) {
        room_ = 0;
        ThrowCode(MapCrtError(errno));
    }
    if (room_ != kUnlimitedRoom) room_ = room_ > count ? room_ - count : 0;
}

// ---- limiting sink

vmz_CLimitingReadSink::~vmz_CLimitingReadSink() {
    // Nothing may escape a destructor: a failing inner stream just ends the skip.
    try {
        uint8_t scratch[256];
        while (remaining_ > 0 && inner_.HasData()) {
            int32_t n = remaining_ < static_cast<int32_t>(sizeof scratch) ? remaining_ : static_cast<int32_t>(sizeof scratch);
            int32_t avail = inner_.BytesAvailable();
            if (n > avail) n = avail;
            inner_.Read(scratch, n);
            remaining_ -= n;
        }
    } catch (...) {
    }
}

int32_t vmz_CLimitingReadSink::BytesAvailable() {
    int32_t inner = inner_.BytesAvailable();
    return remaining_ < inner ? remaining_ : inner;
}

void vmz_CLimitingReadSink::Read(void* buffer, int32_t count) {
    if (count > remaining_) {
        int32_t n = remaining_;
        if (n > 0) inner_.Read(buffer, n);
        remaining_ = 0;
        throw std::underflow_error("vmz_CLimitingReadSink - underflow");
    }
    if (count > 0) inner_.Read(buffer, count);
    remaining_ -= count > 0 ? count : 0;
}

void vmz_CLimitingReadSink::Write(const void*, int32_t) {
    throw std::overflow_error("vmz_CLimitingReadSink - overflow");
}

// ---- typed reader and writer

uint64_t TypedReader::ReadScalar(int bytes) {
    uint8_t b[8];
    stream_.Read(b, bytes);
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        int shift = swap_ ? 8 * (bytes - 1 - i) : 8 * i;
        v |= static_cast<uint64_t>(b[i]) << shift;
    }
    return v;
}

uint8_t       TypedReader::ReadU8() { return static_cast<uint8_t>(ReadScalar(1)); }
int8_t        TypedReader::ReadI8() { return static_cast<int8_t>(ReadScalar(1)); }
unsigned char TypedReader::ReadUChar() { return static_cast<unsigned char>(ReadScalar(1)); }
signed char   TypedReader::ReadSChar() { return static_cast<signed char>(ReadScalar(1)); }
int16_t       TypedReader::ReadI16() { return static_cast<int16_t>(ReadScalar(2)); }
uint16_t      TypedReader::ReadU16() { return static_cast<uint16_t>(ReadScalar(2)); }
int32_t       TypedReader::ReadI32() { return static_cast<int32_t>(ReadScalar(4)); }
uint32_t      TypedReader::ReadU32() { return static_cast<uint32_t>(ReadScalar(4)); }

float TypedReader::ReadFloat() {
    uint32_t bits = ReadU32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

double TypedReader::ReadDouble() {
    uint64_t bits = ReadScalar(8);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

void TypedReader::Skip(int32_t count) {
    for (int32_t i = 0; i < count; ++i) ReadU8();
}

void TypedReader::ReadBytes(void* buffer, int32_t count) { stream_.Read(buffer, count); }

void TypedReader::ReadArray16(uint16_t* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) values[i] = ReadU16();
}
void TypedReader::ReadArray32(uint32_t* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) values[i] = ReadU32();
}
void TypedReader::ReadArrayFloat(float* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) values[i] = ReadFloat();
}
void TypedReader::ReadArrayDouble(double* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) values[i] = ReadDouble();
}

void TypedWriter::WriteScalar(uint64_t v, int bytes) {
    uint8_t b[8];
    for (int i = 0; i < bytes; ++i) {
        int shift = swap_ ? 8 * (bytes - 1 - i) : 8 * i;
        b[i] = static_cast<uint8_t>(v >> shift);
    }
    stream_.Write(b, bytes);
}

void TypedWriter::WriteU8(uint8_t v) { WriteScalar(v, 1); }
void TypedWriter::WriteI8(int8_t v) { WriteScalar(static_cast<uint8_t>(v), 1); }
void TypedWriter::WriteUChar(unsigned char v) { WriteScalar(v, 1); }
void TypedWriter::WriteSChar(signed char v) { WriteScalar(static_cast<unsigned char>(v), 1); }
void TypedWriter::WriteI16(int16_t v) { WriteScalar(static_cast<uint16_t>(v), 2); }
void TypedWriter::WriteU16(uint16_t v) { WriteScalar(v, 2); }
void TypedWriter::WriteI32(int32_t v) { WriteScalar(static_cast<uint32_t>(v), 4); }
void TypedWriter::WriteU32(uint32_t v) { WriteScalar(v, 4); }

void TypedWriter::WriteFloat(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    WriteScalar(bits, 4);
}

void TypedWriter::WriteDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    WriteScalar(bits, 8);
}

void TypedWriter::WriteBytes(const void* buffer, int32_t count) { stream_.Write(buffer, count); }

void TypedWriter::WriteArray16(const uint16_t* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) WriteU16(values[i]);
}
void TypedWriter::WriteArray32(const uint32_t* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) WriteU32(values[i]);
}
void TypedWriter::WriteArrayFloat(const float* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) WriteFloat(values[i]);
}
void TypedWriter::WriteArrayDouble(const double* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) WriteDouble(values[i]);
}
