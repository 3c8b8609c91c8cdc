#include "release2/platform/picture_layout.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/core/memory.h"
#include "engine/core/result_codes.h"
#include "engine/docio/dib_chunks.h"

namespace {

int32_t Clamp32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

int32_t MulDivRounded(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t magnitude = uint64_t(product < 0 ? -product : product);
    const uint64_t divisor = uint64_t(c < 0 ? -int64_t(c) : int64_t(c));
    const uint64_t q = (magnitude + divisor / 2) / divisor;
    if (q > uint64_t(std::numeric_limits<int32_t>::max())) return -1;
    return negative ? -int32_t(q) : int32_t(q);
}

bool ComputePictureMappingNumbers(const PictureMappingInput& in, bool enhanced, PictureMapping* out) {
    *out = PictureMapping{};
    const ScreenRect& r = in.rect;
    const int64_t s = in.scale > 0 ? in.scale : 1, p = in.percent, d = in.dpi;
    const int64_t width = int64_t(r.right) - r.left, height = int64_t(r.bottom) - r.top;
    if (width <= 0 || height <= 0 || d <= 0 || p <= 0) return false;
    if (in.widthMm <= 0 || in.heightMm <= 0 || in.widthPx <= 0 || in.heightPx <= 0) return false;

    out->lineBounds = { Clamp32(s * (r.left * p / 100 + 1)), Clamp32(s * (r.top * p / 100 + 1)),
                        Clamp32(s * (r.right * p / 100 - 1)), Clamp32(s * (r.bottom * p / 100 - 1)) };
    // 25.4 mm an inch, in hundredths: edge x 2540 / d, written with p as a percentage.
    auto frameEdge = [&](int32_t edge) { return Clamp32(s * edge * p * 254 / (10 * d)); };
    out->frame = { frameEdge(r.left), frameEdge(r.top), frameEdge(r.right), frameEdge(r.bottom) };

    // Pixels that are not square: the longer side is stretched so the picture keeps its
    // shape on the reference device.
    const int64_t across = int64_t(in.heightMm) * in.widthPx, down = int64_t(in.widthMm) * in.heightPx;
    // Widening multiplies by down / across, heightening by across / down.
    auto stretch = [&](int32_t length, bool wide) {
        return wide ? MulDivRounded(length, Clamp32(down), Clamp32(across))
                    : MulDivRounded(length, Clamp32(across), Clamp32(down));
    };
    if (across < down) {
        out->frame.right = out->frame.left + stretch(out->frame.right - out->frame.left, true);
    } else if (down < across) {
        out->frame.bottom = out->frame.top + stretch(out->frame.bottom - out->frame.top, false);
    }

    if (enhanced) {
        out->windowExtentX = Clamp32((width * p + 50) / 100);
        out->windowExtentY = Clamp32((height * p + 50) / 100);
        out->viewportExtentX = Clamp32(width * in.widthPx * 254 / (10 * d * in.widthMm));
        out->viewportExtentY = Clamp32(height * in.heightPx * 254 / (10 * d * in.heightMm));
    } else {
        out->windowExtentX = Clamp32(s * width);
        out->windowExtentY = Clamp32(s * height);
        if (across < down) out->windowExtentX = stretch(out->windowExtentX, true);
        else if (down < across) out->windowExtentY = stretch(out->windowExtentY, false);
        out->windowOriginX = Clamp32(s * r.left);
        out->windowOriginY = Clamp32(s * r.top);
    }
    return true;
}

bool BuildPlaceableHeader(int32_t width, int32_t height, int32_t unitsPerInch, uint8_t header[22]) {
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) return false;
    if (unitsPerInch <= 0 || unitsPerInch > 0xFFFF) return false;
    std::memset(header, 0, kPlaceableHeaderBytes);
    Put16(header, kPlaceableKey & 0xFFFF);
    Put16(header + 2, kPlaceableKey >> 16);
    Put16(header + 10, uint32_t(width));
    Put16(header + 12, uint32_t(height));
    Put16(header + 14, uint32_t(unitsPerInch));
    uint32_t sum = 0;
    for (int32_t i = 0; i < 10; ++i) sum ^= uint32_t(header[2 * i] | header[2 * i + 1] << 8);
    Put16(header + 20, sum);
    return true;
}

const uint8_t* GetDibBits(const uint8_t* dib, uint32_t size) {
    PackedDibLayout layout{};
    if (!ParsePackedDib(dib, size, &layout)) return nullptr;
    return dib + layout.bitsOffset;
}

int32_t MakeDibBottomUp(uint8_t* dib, uint32_t size) {
    PackedDibLayout layout{};
    if (!ParsePackedDib(dib, size, &layout) || layout.height >= 0 || layout.headerBytes < kDibHeaderBytes)
        return kResultOK;
    if ((dib[12] | dib[13] << 8) != 1 || (layout.compression != 0 && layout.compression != 3)) return kResultOK;
    const uint32_t rows = uint32_t(-int64_t(layout.height));
    const uint32_t rowBytes = (layout.bitsPerPixel * uint32_t(layout.width) + 31) / 32 * 4;
    auto* buffer = static_cast<uint8_t*>(AllocMemory(rowBytes ? rowBytes : 1, 0));
    if (!buffer) return kResultOutOfMemory;
    uint8_t* bits = dib + layout.bitsOffset;
    for (uint32_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        std::memcpy(buffer, bits + size_t(top) * rowBytes, rowBytes);
        std::memcpy(bits + size_t(top) * rowBytes, bits + size_t(bottom) * rowBytes, rowBytes);
        std::memcpy(bits + size_t(bottom) * rowBytes, buffer, rowBytes);
    }
    FreeMemory(buffer);
    const uint32_t height = rows;
    dib[8] = uint8_t(height);
    dib[9] = uint8_t(height >> 8);
    dib[10] = uint8_t(height >> 16);
    dib[11] = uint8_t(height >> 24);
    return kResultOK;
}
