// Byte streams with virtual operations and the typed reader and writer on top of them,
// through which pictures are stored as device-independent chunks. With the error
// classes these are the only engine classes with virtual functions, and the only engine
// code that throws: every exception is caught where a picture record is read or
// written and turned into a result code there.
#pragma once
#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "engine/docio/streams.h"

// Thrown by the stream-backed byte streams: the value is the engine result code.
enum YrnErrTag : int32_t {};

// A failure of a platform call (or a damaged block), with its error number.
class vmz_XPlatformError : public std::runtime_error {
public:
    explicit vmz_XPlatformError(uint32_t error) : std::runtime_error(""), error_(error) {}
    uint32_t Error() const { return error_; }

private:
    uint32_t error_;
};

class ByteStream {
public:
    virtual ~ByteStream();
    virtual bool    HasData();                 // BytesAvailable() > 0
    virtual bool    HasRoom();                 // Room() > 0
    virtual int32_t BytesAvailable();
    virtual int32_t Room();                    // bytes that may still be written
    virtual int32_t Size();
    virtual void    Reserve(int32_t bytes);
    virtual int32_t Position();
    virtual void    Seek(int32_t position);    // absolute
    virtual void    Rewind();
    virtual void    Flush();
    virtual void    Read(void* buffer, int32_t count) = 0;
    virtual void    Write(const void* buffer, int32_t count) = 0;
};

constexpr int32_t kUnlimitedRoom = 0x7FFFFFFF;

// A byte stream over a StreamHandle; any nonzero code of the stream layer is thrown as
// YrnErrTag.
class StreamHandleByteStream : public ByteStream {
public:
    explicit StreamHandleByteStream(StreamHandle stream);
    int32_t BytesAvailable() override { return available_; }
    int32_t Room() override { return room_; }
    int32_t Size() override;
    int32_t Position() override;
    void    Seek(int32_t position) override;
    void    Rewind() override { Seek(0); }
    void    Read(void* buffer, int32_t count) override;
    void    Write(const void* buffer, int32_t count) override;

private:
    void Recount();
    StreamHandle stream_;
    int32_t      available_ = 0;
    int32_t      room_ = kUnlimitedRoom;
};

// The same over a C-library file.
class StdioByteStream : public ByteStream {
public:
    explicit StdioByteStream(FILE* file);
    int32_t BytesAvailable() override { return available_; }
    int32_t Room() override { return room_; }
    int32_t Size() override;
    int32_t Position() override;
    void    Seek(int32_t position) override;
    void    Rewind() override { Seek(0); }
    void    Flush() override;
    void    Read(void* buffer, int32_t count) override;
    void    Write(const void* buffer, int32_t count) override;

private:
    void Recount();
    FILE*   file_;
    int32_t available_ = 0;
    int32_t room_ = kUnlimitedRoom;
};

// Forwards the size and position operations to an inner stream.
class FilterByteStream : public ByteStream {
public:
    explicit FilterByteStream(ByteStream& inner) : inner_(inner) {}
    int32_t BytesAvailable() override { return inner_.BytesAvailable(); }
    int32_t Room() override { return inner_.Room(); }
    int32_t Size() override { return inner_.Size(); }
    void    Reserve(int32_t bytes) override { inner_.Reserve(bytes); }
    int32_t Position() override { return inner_.Position(); }
    void    Seek(int32_t position) override { inner_.Seek(position); }

protected:
    ByteStream& inner_;
};

// Lets at most `limit` bytes be read from the inner stream; on destruction reads and
// drops the rest of the limit, so that the inner stream ends after the limited range.
class vmz_CLimitingReadSink : public FilterByteStream {
public:
    vmz_CLimitingReadSink(ByteStream& inner, int32_t limit) : FilterByteStream(inner), remaining_(limit < 0 ? 0 : limit), limit_(limit < 0 ? 0 : limit) {}
    ~vmz_CLimitingReadSink() override;
    int32_t BytesAvailable() override;
    int32_t Room() override { return 0; }
    int32_t Size() override { return limit_; }
    void    Read(void* buffer, int32_t count) override;
    void    Write(const void* buffer, int32_t count) override;

private:
    int32_t remaining_;
    int32_t limit_;
};

// Typed values over a byte stream. With `swap` set every multi-byte value is stored
// most significant byte first; without it least significant first.
class TypedReader {
public:
    TypedReader(ByteStream& stream, bool swap) : stream_(stream), swap_(swap) {}
    uint8_t       ReadU8();
    int8_t        ReadI8();
    unsigned char ReadUChar();
    signed char   ReadSChar();
    int16_t       ReadI16();
    uint16_t      ReadU16();
    int32_t       ReadI32();
    uint32_t      ReadU32();
    float         ReadFloat();
    double        ReadDouble();
    void          Skip(int32_t count);
    void          ReadBytes(void* buffer, int32_t count);
    void          ReadArray16(uint16_t* values, int32_t count);
    void          ReadArray32(uint32_t* values, int32_t count);
    void          ReadArrayFloat(float* values, int32_t count);
    void          ReadArrayDouble(double* values, int32_t count);
    ByteStream&   Stream() { return stream_; }

private:
    uint64_t ReadScalar(int bytes);
    ByteStream& stream_;
    bool        swap_;
};

class TypedWriter {
public:
    TypedWriter(ByteStream& stream, bool swap) : stream_(stream), swap_(swap) {}
    void        WriteU8(uint8_t v);
    void        WriteI8(int8_t v);
    void        WriteUChar(unsigned char v);
    void        WriteSChar(signed char v);
    void        WriteI16(int16_t v);
    void        WriteU16(uint16_t v);
    void        WriteI32(int32_t v);
    void        WriteU32(uint32_t v);
    void        WriteFloat(float v);
    void        WriteDouble(double v);
    void        WriteBytes(const void* buffer, int32_t count);
    void        WriteArray16(const uint16_t* values, int32_t count);
    void        WriteArray32(const uint32_t* values, int32_t count);
    void        WriteArrayFloat(const float* values, int32_t count);
    void        WriteArrayDouble(const double* values, int32_t count);
    ByteStream& Stream() { return stream_; }

private:
    void WriteScalar(uint64_t v, int bytes);
    ByteStream& stream_;
    bool        swap_;
};
