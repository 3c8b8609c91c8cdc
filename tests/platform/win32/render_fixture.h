// Drawing into a 32-bit DIB section through a GraphicsPort, with a current sketch whose
// colours the test sets, and sketch objects made by hand from their class data.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "platform/win32/render/graphics_port.h"

// A top-down 32-bit DIB selected into a memory DC.
class DibCanvas {
public:
    DibCanvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~DibCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void Fill(COLORREF color) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToDib(color);
    }
    // The pixel as a COLORREF; white outside the canvas.
    COLORREF At(int x, int y) const {
        GdiFlush();
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return RGB(255, 255, 255);
        const uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF color) const {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < width_ * height_; ++i) n += (bits_[i] & 0xFFFFFF) == ToDib(color);
        return n;
    }
    // The smallest rectangle holding every pixel that is not `background` (right and
    // bottom exclusive); empty when there is none.
    RECT Extent(COLORREF background) const {
        GdiFlush();
        RECT r{ width_, height_, 0, 0 };
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if ((bits_[y * width_ + x] & 0xFFFFFF) != ToDib(background)) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
    std::vector<uint32_t> Snapshot() const {
        GdiFlush();
        return std::vector<uint32_t>(bits_, bits_ + width_ * height_);
    }

private:
    static uint32_t ToDib(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }
    int       width_, height_;
    HDC       dc_;
    HBITMAP   bitmap_;
    HGDIOBJ   old_;
    uint32_t* bits_ = nullptr;
};

// A sketch that is current for the fixture's life, with white background and blue
// highlight, and sketch objects that live as long as the fixture.
class RenderTest : public ::testing::Test {
protected:
    static constexpr COLORREF kWhite = RGB(255, 255, 255);
    static constexpr COLORREF kBlack = RGB(0, 0, 0);
    static constexpr COLORREF kHighlight = RGB(0, 0, 255);
    static constexpr COLORREF kSelection = RGB(255, 0, 0);

    RenderTest() : canvas_(200, 200) {
        sketch_ = static_cast<Sketch*>(std::calloc(1, sizeof(Sketch)));
        sketch_->settings.palette[kColorSlotBackground] = kWhite;
        sketch_->settings.palette[kColorSlotHighlight] = kHighlight;
        ScreenRectSetEmptyForTest(&sketch_->dirtyRect);
        ScreenRectSetEmptyForTest(&sketch_->tracedArea);
        previous_ = gEngine.currentSketch;
        gEngine.currentSketch = sketch_;
        canvas_.Fill(kWhite);
        port_ = {};
        port_.dc = canvas_.dc();
        port_.lineBounds = { 0, 0, canvas_.width(), canvas_.height() };
        port_.ropMode = R2_MASKPEN;
        port_.contrastColor = kBlack;
        port_.selectionColor = kSelection;
        port_.tracesDirty = kTracesClean;
    }
    ~RenderTest() override {
        gEngine.currentSketch = previous_;
        std::free(sketch_);
        for (void* block : objects_) std::free(block);
    }

    static void ScreenRectSetEmptyForTest(ScreenRect* r) { *r = kEmptyScreenRect; }

    void SetBackground(COLORREF color) {
        sketch_->settings.palette[kColorSlotBackground] = color;
        canvas_.Fill(color);
    }

    template <typename Data>
    SketchObject* MakeObject(int32_t objectClass, int32_t kind, COLORREF color, Data** data) {
        void* block = std::calloc(1, sizeof(SketchObject) + sizeof(Data) + 8);
        objects_.push_back(block);
        auto* object = static_cast<SketchObject*>(block);
        object->objectClass = objectClass;
        object->objectKind = kind;
        object->color = color;
        object->lineStyle = 1;
        object->exists = 1;
        object->givenIndex = -1;
        object->nextSelected = kNotLinked;
        object->nextInSketch = kNotLinked;
        object->prevInLayer = object->nextInLayer = kNotLinked;
        *data = ClassData<Data>(object);
        return object;
    }

    DibCanvas     canvas_;
    GraphicsPort  port_;
    Sketch*       sketch_;
    Sketch*       previous_;
    std::vector<void*> objects_;
};

// The records of an enhanced metafile drawn by `draw` on its reference DC.
struct MetaRecord {
    DWORD type;
    std::vector<DWORD> params;
};

inline int CALLBACK CollectMetaRecord(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM out) {
    MetaRecord m{ r->iType, {} };
    m.params.assign(r->dParm, r->dParm + (r->nSize - 8) / 4);
    reinterpret_cast<std::vector<MetaRecord>*>(out)->push_back(std::move(m));
    return 1;
}

template <typename Draw>
std::vector<MetaRecord> RecordMetafile(GraphicsPort* port, Draw draw) {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    HDC saved = port->dc;
    port->dc = dc;
    draw();
    port->dc = saved;
    HENHMETAFILE file = CloseEnhMetaFile(dc);
    std::vector<MetaRecord> records;
    EnumEnhMetaFile(nullptr, file, CollectMetaRecord, &records, nullptr);
    DeleteEnhMetaFile(file);
    return records;
}

inline int CountRecords(const std::vector<MetaRecord>& records, DWORD type) {
    int n = 0;
    for (const MetaRecord& r : records) n += r.type == type;
    return n;
}

inline const MetaRecord* FindRecord(const std::vector<MetaRecord>& records, DWORD type) {
    for (const MetaRecord& r : records)
        if (r.type == type) return &r;
    return nullptr;
}

// The number of points of a polyline or polygon record (16- or 32-bit form).
inline int RecordPointCount(const MetaRecord& r) { return static_cast<int>(r.params[4]); }
