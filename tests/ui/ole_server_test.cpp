#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/app.h"
#include "classlib/archive.h"
#include "classlib/command_ids.h"
#include "classlib/ole_template_server.h"
#include "engine/core/engine_startup.h"
#include "engine/core/object_creation.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/sketch.h"
#include "engine/docio/document_file.h"
#include "engine/docio/engine_document.h"
#include "ui/doc/doc_manager.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/frames/child_frame.h"
#include "ui/resource_ids.h"
#include "ui/view/sketch_view.h"

namespace {

// The file dialog answers with the name the test chose and remembers its title.
class ServerTestApp : public CWinApp {
public:
    ServerTestApp() : CWinApp("ServerTest") {}
    std::string answer;
    UINT promptTitle = 0;
    bool DoPromptFileName(CString& fileName, UINT titleId, DWORD, bool, CDocTemplate*) override {
        promptTitle = titleId;
        if (answer.empty()) return false;
        fileName = answer.c_str();
        return true;
    }
};

int ObjectCount(Sketch* page) {
    int n = 0;
    for (SketchObject* o = page->firstObject; o; o = o->nextInSketch) ++n;
    return n;
}

void AddPoint(Sketch* page, double x, double y) {
    SketchScope scope(page);
    const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
    SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
    ASSERT_NE(p, nullptr);
    RecomputeObject(p, nullptr, true);
    SetPointPosition(p, x, y, 1, nullptr, false);
}

class OleServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartEngine()); }
    static void TearDownTestSuite() { ShutdownEngine(); }
    void SetUp() override {
        doc_ = new CFernwickDoc;
        doc_->m_bAutoDelete = false;
        ASSERT_TRUE(doc_->OnNewDocument());
    }
    void TearDown() override { delete doc_; }

    // The document's native data, as a container's stream would hold it.
    std::vector<uint8_t> Stored(CFernwickDoc* doc) {
        IStream* stream = nullptr;
        EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        CArchive ar(stream, CArchive::store);
        doc->Serialize(ar);
        EXPECT_FALSE(ar.Failed());
        std::vector<uint8_t> bytes = Contents(stream);
        stream->Release();
        return bytes;
    }
    static std::vector<uint8_t> Contents(IStream* stream) {
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
        LARGE_INTEGER zero{};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        ULONG got = 0;
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
        return bytes;
    }
    // Loads bytes into a fresh document; answers the archive's failure code (0: loaded).
    int32_t Load(CFernwickDoc* into, const std::vector<uint8_t>& bytes) {
        IStream* stream = nullptr;
        EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        ULONG put = 0;
        if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &put);
        LARGE_INTEGER zero{};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        CArchive ar(stream, CArchive::load);
        into->Serialize(ar);
        stream->Release();
        return ar.FailureCode();
    }

    ServerTestApp app_;
    CFernwickDoc* doc_ = nullptr;
};

}  // namespace

// An embedded sketch stored by its container and loaded again holds what it held.
TEST_F(OleServer, NativeDataRoundTripKeepsTheSketch) {
    AddPoint(doc_->CurrentPage(), 20, 30);
    AddPoint(doc_->CurrentPage(), 70, 40);
    const std::vector<uint8_t> bytes = Stored(doc_);
    ASSERT_GT(bytes.size(), 8u);

    CFernwickDoc loaded;
    loaded.m_bAutoDelete = false;
    ASSERT_TRUE(loaded.OnNewDocument());
    EXPECT_EQ(Load(&loaded, bytes), 0);
    ASSERT_NE(loaded.CurrentPage(), nullptr);
    EXPECT_EQ(ObjectCount(loaded.CurrentPage()), 2);
    EXPECT_EQ(Stored(&loaded), bytes);
}

// Damaged bytes fail the load with the reader's code and leave the document as it was.
TEST_F(OleServer, DamagedNativeDataFailsAndKeepsTheDocument) {
    AddPoint(doc_->CurrentPage(), 20, 30);
    const std::vector<uint8_t> good = Stored(doc_);
    std::vector<uint8_t> garbled = good;
    for (size_t i = 0; i < 16 && i < garbled.size(); ++i) garbled[i] ^= 0x33;
    const std::vector<std::vector<uint8_t>> damaged = {
        {}, { 100, 0, 0, 0, 100, 0, 0, 0 }, garbled, std::vector<uint8_t>(good.begin(), good.begin() + 10),
    };
    for (const auto& bytes : damaged) {
        SCOPED_TRACE(bytes.size());
        Sketch* before = doc_->CurrentPage();
        const int32_t code = Load(doc_, bytes);
        EXPECT_TRUE(IsFatalResult(code)) << code;
        EXPECT_EQ(doc_->CurrentPage(), before);
        EXPECT_EQ(ObjectCount(doc_->CurrentPage()), 1);
    }
}

TEST_F(OleServer, ExtentCountsAPixelAsAHundredthOfAnInch) {
    CFernwickItem item(doc_);
    struct Case { RECT extent; SIZE himetric; };
    const Case cases[] = {
        { { 0, 0, 100, 100 }, { 2540, 2540 } },
        { { 0, 0, 250, 40 }, { 6350, 1016 } },
        { { 10, 10, 20, 20 }, { 254, 254 } },
    };
    for (const Case& c : cases) {
        doc_->m_scrollExtent = c.extent;
        SIZE size{};
        ASSERT_TRUE(item.OnGetExtent(DVASPECT_CONTENT, size));
        EXPECT_EQ(size.cx, c.himetric.cx);
        EXPECT_EQ(size.cy, c.himetric.cy);
        EXPECT_EQ(doc_->m_itemSize[0], c.extent.right - c.extent.left);
    }
}

namespace {

struct Records {
    std::vector<int> functions;
    int mapMode = 0;
    int windowX = 0, windowY = 0;
};

int CALLBACK CollectRecord(HDC, HANDLETABLE*, METARECORD* record, int, LPARAM data) {
    auto* r = reinterpret_cast<Records*>(data);
    r->functions.push_back(record->rdFunction);
    if (record->rdFunction == META_SETMAPMODE) r->mapMode = record->rdParm[0];
    if (record->rdFunction == META_SETWINDOWEXT) {
        r->windowY = static_cast<int16_t>(record->rdParm[0]);
        r->windowX = static_cast<int16_t>(record->rdParm[1]);
    }
    return 1;
}

}  // namespace

// The picture for the container: the scroll extent as an anisotropic window with y
// downwards (so the sketch lands inside the container's rectangle), then the drawing.
TEST_F(OleServer, PictureRecordsMapTheExtentAndDrawThePage) {
    AddPoint(doc_->CurrentPage(), 20, 30);
    CFernwickItem item(doc_);
    HMETAFILEPICT block = item.MakeMetafilePicture();
    ASSERT_NE(block, nullptr);
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(block));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->mm, MM_ANISOTROPIC);
    EXPECT_EQ(picture->xExt, 2540);
    EXPECT_EQ(picture->yExt, 2540);
    Records records;
    HDC screen = GetDC(nullptr);
    EnumMetaFile(screen, picture->hMF, CollectRecord, reinterpret_cast<LPARAM>(&records));
    ReleaseDC(nullptr, screen);
    DeleteMetaFile(picture->hMF);
    GlobalUnlock(block);
    GlobalFree(block);

    EXPECT_EQ(records.mapMode, MM_ANISOTROPIC);
    EXPECT_EQ(records.windowX, 100);
    EXPECT_EQ(records.windowY, 100);
    // The background and the point follow the mapping.
    EXPECT_GT(records.functions.size(), 4u);

    HENHMETAFILE enhanced = item.MakeEnhancedMetafile();
    ASSERT_NE(enhanced, nullptr);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(enhanced, sizeof header, &header);
    EXPECT_EQ(header.rclFrame.right - header.rclFrame.left, 2540);
    EXPECT_GT(header.nRecords, 4u);
    DeleteEnhMetaFile(enhanced);
}

// Save Copy As of an embedded sketch writes the whole sketch to the chosen file, while the
// embedding keeps no name and stays changed for its container (which has not got it yet).
TEST_F(OleServer, SaveCopyAsWritesTheSketchAndLeavesTheEmbedding) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "fig_ole_copy.yrn";
    DeleteFileA(path.c_str());
    doc_->m_bEmbedded = true;
    AddPoint(doc_->CurrentPage(), 20, 30);
    SetDocumentModified(doc_->m_engine, true);
    ASSERT_TRUE(doc_->IsModified());

    app_.answer = path;
    EXPECT_TRUE(doc_->OnCmdMsg(CMD_FILE_SAVE_COPY_AS, ROUTE_COMMAND, nullptr, nullptr));
    EXPECT_EQ(app_.promptTitle, static_cast<UINT>(IDS_LIB_SAVE_COPY_AS));
    EXPECT_TRUE(doc_->GetPathName().IsEmpty());
    EXPECT_TRUE(doc_->IsModified());

    CFernwickDoc copy;
    copy.m_bAutoDelete = false;
    ASSERT_TRUE(copy.OnOpenDocument(path.c_str()));
    ASSERT_NE(copy.CurrentPage(), nullptr);
    EXPECT_EQ(ObjectCount(copy.CurrentPage()), 1);
    DeleteFileA(path.c_str());
}

// Copy puts the item on the clipboard as a container pastes it: its native data in a
// storage of the object's class, its descriptor and its pictures, as they were when
// copied. A busy clipboard fails the copy.
TEST_F(OleServer, CopyPutsTheEmbeddedItemOnTheClipboard) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const CLSID clsid = { 0x5b1e0c47, 0x2d3a, 0x4c91, { 0x9e, 0x10, 0x6a, 0x44, 0x21, 0x7f, 0x0b, 0xd3 } };
    auto tmpl = std::make_unique<CYRNDocTemplate>(IDR_DOCUMENT, RUNTIME_CLASS(CFernwickDoc),
                                                  RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CYRNView));
    {
        COleTemplateServer server;
        server.ConnectTemplate(clsid, tmpl.get(), false);
        tmpl->AddDocument(doc_);
        doc_->m_bEmbedded = true;
        AddPoint(doc_->CurrentPage(), 20, 30);
        AddPoint(doc_->CurrentPage(), 70, 40);
        COleServerItem* item = doc_->GetEmbeddedItem();
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->CopyToClipboard(true));
        // Later changes are not the copy's.
        AddPoint(doc_->CurrentPage(), 50, 50);

        IDataObject* data = nullptr;
        ASSERT_EQ(OleGetClipboard(&data), S_OK);
        FORMATETC embed = { static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Embed Source")), nullptr,
                            DVASPECT_CONTENT, -1, TYMED_ISTORAGE };
        STGMEDIUM medium{};
        ASSERT_EQ(data->GetData(&embed, &medium), S_OK);
        ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_ISTORAGE));
        CLSID stored{};
        EXPECT_EQ(ReadClassStg(medium.pstg, &stored), S_OK);
        EXPECT_TRUE(IsEqualCLSID(stored, clsid));
        IStream* contents = nullptr;
        ASSERT_EQ(medium.pstg->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents), S_OK);
        const std::vector<uint8_t> bytes = Contents(contents);
        contents->Release();
        ReleaseStgMedium(&medium);
        CFernwickDoc pasted;
        pasted.m_bAutoDelete = false;
        ASSERT_TRUE(pasted.OnNewDocument());
        EXPECT_EQ(Load(&pasted, bytes), 0);
        EXPECT_EQ(ObjectCount(pasted.CurrentPage()), 2);

        FORMATETC descriptor = { static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Object Descriptor")), nullptr,
                                 DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
        ASSERT_EQ(data->GetData(&descriptor, &medium), S_OK);
        auto* d = static_cast<OBJECTDESCRIPTOR*>(GlobalLock(medium.hGlobal));
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(IsEqualCLSID(d->clsid, clsid));
        EXPECT_EQ(d->sizel.cx, 2540);
        EXPECT_EQ(d->dwDrawAspect, static_cast<DWORD>(DVASPECT_CONTENT));
        GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);

        FORMATETC enhanced = { CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF };
        medium = STGMEDIUM{};
        ASSERT_EQ(data->GetData(&enhanced, &medium), S_OK);
        EXPECT_GT(GetEnhMetaFileBits(medium.hEnhMetaFile, 0, nullptr), 0u);
        ReleaseStgMedium(&medium);
        data->Release();
        // Wine's reader of the OLE clipboard serves no metafile picture (E_FAIL) though the
        // clipboard holds it: read that one as the clipboard has it.
        ASSERT_TRUE(OpenClipboard(nullptr));
        HANDLE block = GetClipboardData(CF_METAFILEPICT);
        auto* picture = block ? static_cast<METAFILEPICT*>(GlobalLock(block)) : nullptr;
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->mm, MM_ANISOTROPIC);
        EXPECT_EQ(picture->xExt, 2540);
        EXPECT_GT(GetMetaFileBitsEx(picture->hMF, 0, nullptr), 0u);
        GlobalUnlock(block);
        CloseClipboard();

        // Another window holds the clipboard open: the copy says it failed.
        HWND holder = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(OpenClipboard(holder));
        EXPECT_FALSE(item->CopyToClipboard(true));
        CloseClipboard();
        DestroyWindow(holder);
        tmpl->RemoveDocument(doc_);
    }
    OleUninitialize();
}
