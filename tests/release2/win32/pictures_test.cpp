#include "release2/platform/win32/pictures.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/ptr_list.h"
#include "engine/core/services/coord_systems.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/preferences.h"
#include "engine/core/straight_objects.h"
#include "engine/docio/streams.h"
#include "platform/win32/clipboard.h"
#include "platform/win32/render/graphics_port.h"
#include "engine/core/memory.h"
#include "engine/core/sketch.h"
#include "release2/draw/win32/antialias_policy.h"
#include "tests/release2/win32/picture_sketch.h"
#include "tests/platform/win32/render_fixture.h"

namespace {

GraphicsPort* gViewPort = nullptr;
GraphicsPort* ViewPortLookup(Sketch*) { return gViewPort; }

// A sketch with one black segment from (40, 40) to (140, 90), shown in a view on the
// screen, with the picture scale and resolution the test sets.
class SketchPictureTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitStreamTable());
        sketch = BeginSegmentSketch(40, 40, 140, 90);
        ASSERT_NE(sketch, nullptr);
        screen = GetDC(nullptr);
        port.windowDC = port.dc = screen;
        gViewPort = &port;
        SetSketchPortLookup(ViewPortLookup);
        saved = ThePreferences();
        ThePreferences().resolution = 96;
        ThePreferences().clipboardScale = 2;
    }
    void TearDown() override {
        ThePreferences().resolution = saved.resolution;
        ThePreferences().clipboardScale = saved.clipboardScale;
        SetSketchPortLookup(nullptr);
        gViewPort = nullptr;
        ReleaseDC(nullptr, screen);
        EndPictureSketch(sketch);
    }
    // The pixels of the segment after playing into a white 32-bit canvas.
    static RECT InkOf(const DibCanvas& canvas) { return canvas.Extent(RGB(255, 255, 255)); }

    Sketch* sketch = nullptr;
    HDC screen = nullptr;
    GraphicsPort port{};
    Preferences saved{};
};

void ExpectNear(const RECT& got, const RECT& want, int tolerance) {
    EXPECT_NEAR(got.left, want.left, tolerance);
    EXPECT_NEAR(got.top, want.top, tolerance);
    EXPECT_NEAR(got.right, want.right, tolerance);
    EXPECT_NEAR(got.bottom, want.bottom, tolerance);
}

}  // namespace

// Scale 2: the 150 by 100 rectangle from (20, 20) is a 300 by 200 picture, the segment
// from (40, 40) to (240, 140) in it.
TEST_F(SketchPictureTest, PlaceableMetafileFilePlaysAtThePictureScale) {
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "wmf", 0, path);
    const ScreenRect rect = { 20, 20, 170, 120 };
    ASSERT_EQ(release2::WritePlaceableMetafile(rect, path), 0);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(path);
    ASSERT_GT(file.size(), 22u);
    auto word = [&](size_t at) { return uint16_t(file[at] | file[at + 1] << 8); };
    EXPECT_EQ(word(0) | word(2) << 16, kPlaceableKey);
    EXPECT_EQ(word(10), 300);
    EXPECT_EQ(word(12), 200);
    EXPECT_EQ(word(14), GetDeviceCaps(screen, LOGPIXELSX));

    HMETAFILE metafile = SetMetaFileBitsEx(UINT(file.size() - 22), file.data() + 22);
    ASSERT_NE(metafile, nullptr);
    DibCanvas canvas(300, 200);
    canvas.Fill(RGB(255, 255, 255));
    SetMapMode(canvas.dc(), MM_ANISOTROPIC);
    SetViewportExtEx(canvas.dc(), 300, 200, nullptr);
    PlayMetaFile(canvas.dc(), metafile);
    DeleteMetaFile(metafile);
    ExpectNear(InkOf(canvas), { 40, 40, 241, 141 }, 3);
}

TEST_F(SketchPictureTest, EnhancedMetafileFramesTheScaledRectangle) {
    const ScreenRect rect = { 20, 20, 170, 120 };
    HENHMETAFILE metafile = release2::RenderSelectionMetafile(rect, nullptr);
    ASSERT_NE(metafile, nullptr);
    char description[16] = {};
    GetEnhMetaFileDescriptionA(metafile, sizeof description, description);
    EXPECT_STREQ(description, "Velmora");
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(metafile, sizeof h, &h);
    EXPECT_EQ(h.rclFrame.left, 2 * 20 * 2540 / 96);
    EXPECT_EQ(h.rclFrame.top, 2 * 20 * 2540 / 96);
    EXPECT_NEAR(h.rclFrame.bottom, 2 * 120 * 2540 / 96, 2 * 120 * 2540 / 96 / 100);
    DibCanvas canvas(300, 200);
    canvas.Fill(RGB(255, 255, 255));
    const RECT whole = { 0, 0, 300, 200 };
    PlayEnhMetaFile(canvas.dc(), metafile, &whole);
    DeleteEnhMetaFile(metafile);
    ExpectNear(InkOf(canvas), { 40, 40, 241, 141 }, 3);

    // The clipboard's old-style picture: mode 8 and the frame's size.
    HGLOBAL block = release2::MakeMetafilePict(rect);
    ASSERT_NE(block, nullptr);
    auto* pict = static_cast<METAFILEPICT*>(GlobalLock(block));
    EXPECT_EQ(pict->mm, MM_ANISOTROPIC);
    EXPECT_NEAR(pict->xExt, 2 * 150 * 2540 / 96, 2 * 150 * 2540 / 96 / 100);
    EXPECT_EQ(pict->yExt, 2 * 120 * 2540 / 96 - 2 * 20 * 2540 / 96);
    DeleteMetaFile(pict->hMF);
    GlobalUnlock(block);
    GlobalFree(block);
}

namespace {

// A clipboard that refuses what the test says, recording what was offered.
struct FakeClipboard {
    bool open = true, empty = true;
    UINT refuse = 0;
    std::vector<UINT> set;
    std::vector<int32_t> errors;
};
FakeClipboard* gFake = nullptr;

BOOL WINAPI FakeOpen(HWND) { return gFake->open; }
BOOL WINAPI FakeEmpty() { return gFake->empty; }
BOOL WINAPI FakeClose() { return TRUE; }
HANDLE WINAPI FakeSet(UINT format, HANDLE data) {
    gFake->set.push_back(format);
    if (format == gFake->refuse) return nullptr;
    // Taken: freed as the clipboard would.
    if (format == CF_ENHMETAFILE) {
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
    } else if (format == CF_METAFILEPICT) {
        auto* pict = static_cast<METAFILEPICT*>(GlobalLock(data));
        DeleteMetaFile(pict->hMF);
        GlobalUnlock(data);
        GlobalFree(data);
    } else {
        GlobalFree(data);
    }
    return data;
}
void RecordError(int32_t id) { gFake->errors.push_back(id); }

}  // namespace

TEST_F(SketchPictureTest, ClipboardFormatsInOrderEachRefusalWithItsMessage) {
    RegisterClipboardFormats();
    const UINT script = SketchClipboardFormat(), layout = LayoutClipboardFormat();
    const release2::ClipboardCalls calls = { FakeOpen, FakeEmpty, FakeSet, FakeClose };
    release2::SetClipboardCalls(&calls);
    release2::SetClipboardErrorSink(RecordError);
    auto copy = [&](FakeClipboard& fake) {
        gFake = &fake;
        auto heap = [](const char* s) {
            char* p = static_cast<char*>(AllocMemory(std::strlen(s), 0));
            std::memcpy(p, s, std::strlen(s));
            return p;
        };
        const uint32_t header = 7;
        return release2::PutSelectionOnClipboard(true, { 20, 20, 170, 120 }, nullptr, heap("seg"), 3, heap("{seg}"), 5,
                                                 reinterpret_cast<uint8_t*>(heap("objects")), 7, &header, 4);
    };
    {
        FakeClipboard fake;
        EXPECT_TRUE(copy(fake));
        EXPECT_EQ(fake.set, (std::vector<UINT>{ CF_ENHMETAFILE, CF_METAFILEPICT, script, CF_TEXT, layout }));
        EXPECT_TRUE(fake.errors.empty());
    }
    struct Case { UINT refuse; int32_t message; };
    const Case refusals[] = { { CF_ENHMETAFILE, 1420 }, { CF_METAFILEPICT, 1421 }, { script, 1423 },
                              { CF_TEXT, 1424 }, { layout, 1425 } };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.message);
        FakeClipboard fake;
        fake.refuse = c.refuse;
        EXPECT_EQ(copy(fake), c.refuse != script);
        EXPECT_EQ(fake.set.size(), 5u);  // the others still go on
        EXPECT_EQ(fake.errors, std::vector<int32_t>{ c.message });
    }
    for (bool openFails : { true, false }) {
        FakeClipboard fake;
        (openFails ? fake.open : fake.empty) = false;
        EXPECT_FALSE(copy(fake));
        EXPECT_TRUE(fake.set.empty());
        EXPECT_EQ(fake.errors, std::vector<int32_t>{ openFails ? 1418 : 1419 });
    }
    release2::SetClipboardCalls(nullptr);
    release2::SetClipboardErrorSink(nullptr);
    gFake = nullptr;
    EXPECT_STREQ(release2::ClipboardErrorText(1418), "Cannot open the clipboard.");
    EXPECT_STREQ(release2::ClipboardErrorText(1423), "Unable to copy script to clipboard..");
}

// The document's picture files hold the page's window with every shown object, selected
// or not: at scale 2 the 400 by 300 window is 800 by 600.
TEST_F(SketchPictureTest, SavedPictureFilesHoldThePagesWindow) {
    DeselectAll();
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    for (bool enhanced : { false, true }) {
        SCOPED_TRACE(enhanced);
        GetTempFileNameA(folder, enhanced ? "emf" : "wmf", 0, path);
        ASSERT_EQ(release2::SaveSketchPicture(path, enhanced), 0);
        DibCanvas canvas(800, 600);
        canvas.Fill(RGB(255, 255, 255));
        if (enhanced) {
            HENHMETAFILE metafile = GetEnhMetaFileA(path);
            ASSERT_NE(metafile, nullptr);
            const RECT whole = { 0, 0, 800, 600 };
            PlayEnhMetaFile(canvas.dc(), metafile, &whole);
            DeleteEnhMetaFile(metafile);
        } else {
            std::ifstream in(path, std::ios::binary);
            const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            ASSERT_GT(file.size(), 22u);
            EXPECT_EQ(file[10] | file[11] << 8, 800);
            EXPECT_EQ(file[12] | file[13] << 8, 600);
            HMETAFILE metafile = SetMetaFileBitsEx(UINT(file.size() - 22), file.data() + 22);
            ASSERT_NE(metafile, nullptr);
            SetMapMode(canvas.dc(), MM_ANISOTROPIC);
            SetViewportExtEx(canvas.dc(), 800, 600, nullptr);
            PlayMetaFile(canvas.dc(), metafile);
            DeleteMetaFile(metafile);
        }
        DeleteFileA(path);
        ExpectNear(InkOf(canvas), { 80, 80, 281, 181 }, 3);
    }
}

namespace {

// The texts an old-style metafile writes, with the corner each starts at.
struct MetafileText {
    std::string text;
    int x, y;
};

int CALLBACK CollectText(HDC, HANDLETABLE*, METARECORD* record, int, LPARAM user) {
    auto* out = reinterpret_cast<std::vector<MetafileText>*>(user);
    const auto* p = reinterpret_cast<const int16_t*>(record->rdParm);
    if (record->rdFunction == META_EXTTEXTOUT) {
        const int n = p[2];
        const int skip = (p[3] & (ETO_CLIPPED | ETO_OPAQUE)) ? 8 : 0;
        out->push_back({ std::string(reinterpret_cast<const char*>(p) + 8 + skip, size_t(n)), p[1], p[0] });
    } else if (record->rdFunction == META_TEXTOUT) {
        const int n = p[0];
        const int words = (n + 1) / 2;
        out->push_back({ std::string(reinterpret_cast<const char*>(p + 1), size_t(n)), p[2 + words], p[1 + words] });
    }
    return 1;
}

const MetafileText* FindText(const std::vector<MetafileText>& texts, const char* text) {
    for (const MetafileText& t : texts) {
        if (t.text == text) return &t;
    }
    return nullptr;
}

}  // namespace

// An old-style metafile's DC cannot measure text: figlate measures the tick numbers on
// the screen, so a vertical axis's numbers end at one column ("-2" starts further left
// than "2"); figmantle's measure nothing there and start at one column.
TEST_F(SketchPictureTest, TickNumbersInAnOldStyleMetafileAreMeasuredOnTheScreen) {
    DeselectAll();
    SketchObject* system = CreateCoordSystem(0, 0, 0, kGridSquare);
    ASSERT_NE(system, nullptr);
    int32_t count = 0;
    SketchObject* const* axes = reinterpret_cast<SketchObject* const*>(PtrListItems(system->parents, &count));
    ASSERT_EQ(count, 2);
    SketchObject* vertical = ClassData<AxisData>(axes[0])->horizontal ? axes[1] : axes[0];
    SelectSketchObject(vertical);
    auto render = [&](bool later) {
        if (later) {
            LaterReleaseForms forms = {};
            AddTickNumberForm(&forms);
            InstallLaterForms(forms);
        }
        std::vector<MetafileText> texts;
        HMETAFILE metafile = release2::RenderSelectionWindowsMetafile({ 0, 0, 400, 300 }, nullptr);
        ResetLaterForms();
        if (!metafile) return texts;
        EnumMetaFile(nullptr, metafile, CollectText, reinterpret_cast<LPARAM>(&texts));
        DeleteMetaFile(metafile);
        return texts;
    };
    const std::vector<MetafileText> later = render(true), shared = render(false);
    const MetafileText *plus = FindText(later, "2"), *minus = FindText(later, "-2");
    ASSERT_TRUE(plus && minus);
    EXPECT_LT(minus->x, plus->x);
    EXPECT_GT(minus->y, plus->y);
    EXPECT_EQ(later.size(), shared.size());
    plus = FindText(shared, "2");
    minus = FindText(shared, "-2");
    ASSERT_TRUE(plus && minus);
    EXPECT_EQ(minus->x, plus->x);
}
