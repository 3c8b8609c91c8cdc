// Picture images: taken from the clipboard, attached to a picture object, stored as
// records 8000 (the metafile's bytes) and 8002 (a DIB: the picture's own, or for a
// metafile a bitmap it was played into), and read back.
#include "platform/win32/pictures.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/memory.h"
#include "engine/core/picture_objects.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/preferences.h"
#include "engine/docio/dib_chunks.h"
#include "engine/docio/streams.h"

namespace {

constexpr uint32_t kPictureMetafileTag = 8000;
constexpr int32_t kCoordinateLimit = 30000;
// The rendition is doubled while both sides stay below this and it is smaller than shown.
constexpr int32_t kRenditionSmall = 512;
constexpr int32_t kRenditionStopWidth = 510;
constexpr int32_t kHundredthsOfMmPerInch = 2540;

HENHMETAFILE MetafileOf(const PictureHandles& h) { return static_cast<HENHMETAFILE>(h.metafile); }
HGLOBAL DibOf(const PictureHandles& h) { return static_cast<HGLOBAL>(h.dib); }

int32_t ScreenDpi() {
    const int32_t dpi = ThePreferences().resolution;
    return dpi > 0 ? dpi : 96;
}

// The frame of a metafile in pixels at `dpi`, rounded, or false for a frame of no size.
bool FramePixels(HENHMETAFILE metafile, int32_t dpi, bool round, int32_t* width, int32_t* height) {
    ENHMETAHEADER header{};
    if (!metafile || GetEnhMetaFileHeader(metafile, sizeof header, &header) < sizeof header) return false;
    const double w = double(dpi) * (double(header.rclFrame.right) - header.rclFrame.left) / kHundredthsOfMmPerInch;
    const double h = double(dpi) * (double(header.rclFrame.bottom) - header.rclFrame.top) / kHundredthsOfMmPerInch;
    *width = round ? int32_t(std::clamp(w + 0.5, -1e9, 1e9)) : int32_t(std::clamp(w, -1e9, 1e9));
    *height = round ? int32_t(std::clamp(h + 0.5, -1e9, 1e9)) : int32_t(std::clamp(h, -1e9, 1e9));
    return *width > 0 && *height > 0;
}

// A locked view of a picture's DIB that unlocks itself.
class LockedDib {
public:
    explicit LockedDib(HGLOBAL dib) : dib_(dib) {
        if (!dib_) return;
        bytes_ = static_cast<const uint8_t*>(GlobalLock(dib_));
        const SIZE_T size = bytes_ ? GlobalSize(dib_) : 0;
        size_ = size > 0x7FFFFFFF ? 0x7FFFFFFF : uint32_t(size);
        sound_ = bytes_ && ParsePackedDib(bytes_, size_, &layout_);
    }
    ~LockedDib() {
        if (bytes_) GlobalUnlock(dib_);
    }
    LockedDib(const LockedDib&) = delete;
    LockedDib& operator=(const LockedDib&) = delete;
    bool Sound() const { return sound_; }
    const uint8_t* Bytes() const { return bytes_; }
    const PackedDibLayout& Layout() const { return layout_; }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(bytes_); }
    const void* Bits() const { return bytes_ + layout_.bitsOffset; }

private:
    HGLOBAL dib_;
    const uint8_t* bytes_ = nullptr;
    uint32_t size_ = 0;
    PackedDibLayout layout_{};
    bool sound_ = false;
};

HGLOBAL GlobalCopy(const uint8_t* bytes, uint32_t size, UINT flags) {
    HGLOBAL g = GlobalAlloc(flags, size ? size : 1);
    if (!g) return nullptr;
    void* p = GlobalLock(g);
    if (!p) {
        GlobalFree(g);
        return nullptr;
    }
    std::memcpy(p, bytes, size);
    GlobalUnlock(g);
    return g;
}

// The bitmap as an 8-bit-per-pixel DIB (the system's palette of 256), stored as 8002.
ResultCode WriteBitmapRecord(StreamHandle stream, HBITMAP bitmap, HDC dc, int32_t width, int32_t height) {
    const uint32_t rowBytes = (uint32_t(width) * 8 + 31) / 32 * 4;
    const uint32_t colors = 256 * 4;
    try {
        GlobalBlock dib(kDibHeaderBytes + colors + rowBytes * uint32_t(height));
        std::memset(dib.Bytes(), 0, dib.Size());
        auto* info = reinterpret_cast<BITMAPINFO*>(dib.Bytes());
        info->bmiHeader.biSize = kDibHeaderBytes;
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = height;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = 8;
        info->bmiHeader.biCompression = BI_RGB;
        if (GetDIBits(dc, bitmap, 0, UINT(height), dib.Bytes() + kDibHeaderBytes + colors, info, DIB_RGB_COLORS) == 0)
            return kResultBadStreamKind;
        // GDI may report the colours it used; the stored header counts all 256.
        info->bmiHeader.biClrUsed = 0;
        info->bmiHeader.biSizeImage = 0;
        return WriteDibRecord(stream, dib);
    } catch (const std::bad_alloc&) {
        return kResultOutOfMemory;
    }
}

}  // namespace

bool PictureNaturalSize(const PictureHandles& handles, int32_t dpi, int32_t* width, int32_t* height) {
    *width = *height = 0;
    if (HENHMETAFILE m = MetafileOf(handles)) return FramePixels(m, dpi, true, width, height);
    LockedDib dib(DibOf(handles));
    if (!dib.Sound()) return false;
    *width = dib.Layout().width;
    *height = dib.Layout().height < 0 ? -dib.Layout().height : dib.Layout().height;
    return true;
}

void FreePictureHandles(PictureHandles* handles) {
    if (!handles) return;
    if (HENHMETAFILE m = MetafileOf(*handles)) DeleteEnhMetaFile(m);
    if (HGLOBAL g = DibOf(*handles)) GlobalFree(g);
    *handles = PictureHandles{};
}

void CopyPictureHandles(const SketchObject* picture, PictureHandles* handles) {
    *handles = PictureHandles{};
    const PictureHandles& own = PictureDataOf(picture)->handles;
    if (HENHMETAFILE m = MetafileOf(own)) {
        handles->metafile = CopyEnhMetaFileA(m, nullptr);
        return;
    }
    LockedDib dib(DibOf(own));
    // The clipboard takes only movable memory.
    if (dib.Sound()) handles->dib = GlobalCopy(dib.Bytes(), dib.Layout().totalBytes, GMEM_MOVEABLE);
}

HENHMETAFILE DibToMetafile(const uint8_t* bytes, uint32_t size) {
    PackedDibLayout layout{};
    if (!ParsePackedDib(bytes, size, &layout)) return nullptr;
    const int32_t width = layout.width;
    const int32_t height = layout.height < 0 ? -layout.height : layout.height;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    if (screen) ReleaseDC(nullptr, screen);
    if (!dc) return nullptr;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, bytes + layout.bitsOffset,
                  reinterpret_cast<const BITMAPINFO*>(bytes), DIB_RGB_COLORS, SRCCOPY);
    return CloseEnhMetaFile(dc);
}

bool GetPictureFromClipboard(PictureHandles* handles) {
    *handles = PictureHandles{};
    if (!OpenClipboard(nullptr)) return false;
    if (IsClipboardFormatAvailable(CF_ENHMETAFILE)) {
        if (HENHMETAFILE m = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)))
            handles->metafile = CopyEnhMetaFileA(m, nullptr);
    } else if (IsClipboardFormatAvailable(CF_DIB)) {
        LockedDib dib(GetClipboardData(CF_DIB));
        // Another program's block is taken only when everything its header describes is
        // inside it.
        if (dib.Sound()) {
            const PackedDibLayout& l = dib.Layout();
            if (l.headerBytes < kDibHeaderBytes || l.compression != BI_RGB)
                handles->metafile = DibToMetafile(dib.Bytes(), l.totalBytes);
            else
                handles->dib = GlobalCopy(dib.Bytes(), l.totalBytes, GMEM_FIXED);
        }
    }
    CloseClipboard();
    return handles->metafile || handles->dib;
}

void AttachPictureHandles(SketchObject* picture, PictureHandles* handles) {
    PictureData* d = PictureDataOf(picture);
    FreePictureHandles(&d->handles);
    d->handles = *handles;
    *handles = PictureHandles{};
    int32_t width = 0, height = 0;
    ScreenRect& r = picture->bounds;
    // A frame of no size takes the size the picture already has; any size is kept within
    // the coordinate range.
    if (!PictureNaturalSize(d->handles, ScreenDpi(), &width, &height)) {
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
    r.right = int16_t(std::clamp(r.left + width, -kCoordinateLimit, kCoordinateLimit));
    r.bottom = int16_t(std::clamp(r.top + height, -kCoordinateLimit, kCoordinateLimit));
    SyncPictureSize(picture);
    d->naturalWidth = d->width;
    d->naturalHeight = d->height;
}

ResultCode WriteMetafileRecord(StreamHandle stream, SketchObject* picture) {
    HENHMETAFILE m = MetafileOf(PictureDataOf(picture)->handles);
    const UINT size = GetEnhMetaFileBits(m, 0, nullptr);
    if (size == 0) return kResultBadStreamKind;
    auto* bits = static_cast<uint8_t*>(AllocMemory(size, 0));
    if (!bits) return kResultOutOfMemory;
    ResultCode rc = GetEnhMetaFileBits(m, size, bits) == size ? kResultOK : kResultBadStreamKind;
    if (rc == kResultOK) rc = StreamWriteRecord(stream, size, kPictureMetafileTag, bits);
    FreeMemory(bits);
    return rc;
}

ResultCode WriteBitmapRendition(StreamHandle stream, SketchObject* picture) {
    const PictureHandles& h = PictureDataOf(picture)->handles;
    if (HGLOBAL g = DibOf(h)) {
        LockedDib dib(g);
        if (!dib.Sound()) return kResultBadStreamKind;
        try {
            GlobalBlock copy(dib.Layout().totalBytes);
            std::memcpy(copy.Bytes(), dib.Bytes(), copy.Size());
            return WriteDibRecord(stream, copy);
        } catch (const std::bad_alloc&) {
            return kResultOutOfMemory;
        }
    }
    HENHMETAFILE m = MetafileOf(h);
    if (!m) return kResultOK;
    const int32_t shownWidth = std::max(1, picture->bounds.right - picture->bounds.left);
    const int32_t shownHeight = std::max(1, picture->bounds.bottom - picture->bounds.top);
    int32_t w = 0, hgt = 0;
    // A frame of no size, or one beyond the coordinate range, is rendered at the size the
    // picture is shown at (the doubling below would never end on a size of 0).
    if (!FramePixels(m, ScreenDpi(), false, &w, &hgt) || w > kCoordinateLimit || hgt > kCoordinateLimit) {
        w = shownWidth;
        hgt = shownHeight;
    }
    if (w < kRenditionSmall) {
        while (hgt < kRenditionSmall && (w < shownWidth || hgt < shownHeight)) {
            w *= 2;
            hgt *= 2;
            if (w > kRenditionStopWidth) break;
        }
    }
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HDC dc = display ? CreateCompatibleDC(display) : nullptr;
    if (!dc) {
        if (display) DeleteDC(display);
        return kResultOutOfMemory;
    }
    ResultCode rc = kResultOutOfMemory;
    if (HBITMAP bitmap = CreateCompatibleBitmap(display, w, hgt)) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        const RECT all = { -1, -1, w + 1, hgt + 1 };
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const RECT image = { 0, 0, w, hgt };
        PlayEnhMetaFile(dc, m, &image);
        SelectObject(dc, old);
        rc = WriteBitmapRecord(stream, bitmap, dc, w, hgt);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    DeleteDC(display);
    return rc;
}

ResultCode WritePictureRecords(StreamHandle stream, SketchObject* picture, const FormatInfo*) {
    if (MetafileOf(PictureDataOf(picture)->handles)) {
        if (const ResultCode rc = WriteMetafileRecord(stream, picture)) return rc;
    }
    return WriteBitmapRendition(stream, picture);
}

ResultCode ReadMetafileRecord(StreamHandle stream, uint32_t length, HENHMETAFILE* metafile) {
    *metafile = nullptr;
    if (length == 0) return kResultBadStreamKind;
    void* bits = nullptr;
    if (const ResultCode rc = StreamReadAlloc(stream, &bits, length, 0)) return rc;
    *metafile = SetEnhMetaFileBits(length, static_cast<const BYTE*>(bits));
    FreeMemory(bits);
    return *metafile ? kResultOK : kResultBadStreamKind;
}

ResultCode ReadPictureRecord(PictureReadContext* context) {
    uint32_t tag = context->tag, length = context->length;
    if (tag == 0) {
        if (const ResultCode rc = StreamReadRecordHeader(context->stream, &tag, &length)) return rc;
    }
    uint32_t start = 0;
    if (const ResultCode rc = StreamTell(context->stream, &start)) return rc;
    PictureHandles& h = PictureDataOf(context->object)->handles;
    ResultCode rc = kResultOK;
    if (tag != kPictureDibTag && tag != kPictureMetafileTag) {
        rc = kResultRecordLong;
    } else if (!h.metafile && !h.dib) {
        if (tag == kPictureDibTag) {
            GlobalBlock dib;
            rc = ReadDibRecord(context->stream, length, &dib);
            if (auto prepare = LaterForms().platform.prepareReadDib; prepare && !dib.Empty())
                rc = KeepWorstError(rc, prepare(dib.Bytes(), dib.Size()));
            if (!dib.Empty()) {
                h.dib = GlobalCopy(dib.Bytes(), dib.Size(), GMEM_FIXED);
                if (!h.dib) rc = kResultOutOfMemory;
            }
        } else {
            HENHMETAFILE m = nullptr;
            rc = ReadMetafileRecord(context->stream, length, &m);
            h.metafile = m;
            // Bytes GDI refuses damage this picture only: its bitmap record comes next.
            if (rc == kResultBadStreamKind) rc = kResultRecordLong;
        }
    }
    const ResultCode moved = StreamSeek(context->stream, int32_t(start + length), 0);
    return rc != kResultOK ? rc : moved;
}
