// The program's document: the class library's document life (new, open, save, save
// as, close prompts) over one engine document, whose reader and writer it calls and
// whose result codes it shows. It also serves all its views together (activation,
// the front view, scroll ranges, titles, repainting).
#pragma once
#include <cstdint>

#include "classlib/ole_server_doc.h"
#include "engine/core/idle_tasks.h"
#include "engine/core/result_codes.h"
#include "platform/win32/render/graphics_port.h"

class CMainFrame;
class CYRNView;
struct EngineDocument;
struct GraphicsPort;
struct Sketch;

// What the save dialog chose.
// What the save dialog chose. The two pictures are the later release's.
enum SaveType : int32_t {
    kSaveNative = 0,
    kSaveHandheld = 1,
    kSaveWebPage = 2,
    kSaveEnhancedMetafile = 3,
    kSaveWindowsMetafile = 4,
};
// The save-as-web-page command (the host's save executor with argument 2).
constexpr UINT kSaveAsWebPageCommand = 33902;

class CFernwickDoc : public COleServerDoc {
    DECLARE_DYNCREATE(CFernwickDoc)
public:
    CFernwickDoc();
    ~CFernwickDoc() override;

    // The engine's modified state; the library's flag only follows it.
    bool IsModified() override;
    // Save As with the web page chosen; the save type before it comes back after.
    bool SaveAsWebPage();
    void SetModifiedFlag(bool modified = true) override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const char* path) override;
    bool OnSaveDocument(const char* path) override;
    bool SaveModified() override;
    bool DoSave(const char* path, bool replace = true) override;
    bool DoFileSave() override;
    HMENU GetDefaultMenu() override;
    HACCEL GetDefaultAccelerator() override;
    // The native data of an embedding: the whole engine document, stored and loaded.
    void Serialize(CArchive& ar) override;
    COleServerItem* OnGetEmbeddedItem() override;
    void OnSetItemRects(const RECT* position, const RECT* clip) override;
    void OnInPlaceActivation(bool active) override;

    bool HasOwnFile() const { return m_hasOwnFile != 0; }
    // The document whose Save As dialog is open (the dialog tells it the chosen save
    // type); null outside of one.
    static CFernwickDoc* DocumentBeingSaved();
    EngineDocument* Engine() const { return m_engine; }

    // Services to the views.
    void SetActive(bool activate);
    CYRNView* FrontView() const;
    void SetFrontView(CYRNView* view);
    bool IsFrontView(const CYRNView* view) const { return m_frontView == view; }
    Sketch* CurrentPage() const;
    bool GetFrontPort(GraphicsPort** port);
    void InvalidateViews(bool dirtyOnly, bool updateNow, bool relayout);
    bool AnyViewNeedsPaint();
    void RepaintPendingRect(bool emptyAfter);
    void UpdateVisibleRect();
    void FadeTracesAllViews();
    bool FreeViewBuffers(int32_t mode, HDC dc);
    void SyncScrollAndInvalidate(bool scrollNow);
    void SizeFramesToDocument();
    void UpdateScrollRanges();
    // Queues the scroll-range update for 500 ms from now, once.
    void ScheduleScrollRanges();

    CWinApp* m_app = nullptr;
    CMainFrame* m_mainFrame = nullptr;
    struct ScrollRangeTask {
        IdleTask task;
        uint32_t due;
        CFernwickDoc* owner;
    } m_scrollTask{};
    // The buttons selected in a document just opened run once its window is in front.
    struct OpeningPressTask {
        IdleTask task;
        CFernwickDoc* owner;
    } m_openingPress{};
    static int32_t OpeningPressStep(IdleTask* task, int32_t finish);
    int32_t m_handheldOrigin = 0;
    int32_t m_saveType = kSaveNative;
    uint8_t m_viewsInvalidated = 0;
    uint32_t m_rememberedChangeCount = 0;
    uint8_t m_swallowNextClick = 0;
    uint8_t m_menuJustClosed = 0;
    int32_t m_itemSize[2] = { 10, 10 };
    RECT m_scrollExtent{ 10, 10, 20, 20 };
    CYRNView* m_frontView = nullptr;
    uint8_t m_hasOwnFile = 0;
    int32_t m_needsNewName = 0;
    EngineDocument* m_engine = nullptr;
    // Set with the server state; nothing reads them.
    int32_t m_serverWords[3] = { 0, 0, 0 };

protected:
    void OnCopyItem();
    void OnShowSelections();
    void OnStopAllMotions();
    void OnTextStyleDialog();
    void OnArcSector();
    void OnUpdateArcSector(CCmdUI* ui);
    // The text style commands: plain, bold, underline, italic, overbar, the fixed sizes
    // and the size steps; and the faces of the font menu.
    void OnTextStyleCommand(UINT id);
    void OnUpdateTextStyleCommand(CCmdUI* ui);
    void OnFontCommand(UINT id);
    void OnSaveAsWebPage();
    DECLARE_MESSAGE_MAP()

private:
    void SetServerState(Sketch* page);
    // A save that keeps the file under the document's own name (Save, Save As); only
    // such a save of the native form marks the engine document saved.
    bool savingUnderOwnName_ = true;
};

// The item that draws a document's current page for its container.
class CFernwickItem : public COleServerItem {
    DECLARE_DYNAMIC(CFernwickItem)
public:
    explicit CFernwickItem(CFernwickDoc* doc);
    ~CFernwickItem() override;

    CFernwickDoc* GetFernwickDoc() const { return static_cast<CFernwickDoc*>(GetDocument()); }
    void Serialize(CArchive& ar) override;
    // The current page over the scroll extent, in a metafile DC.
    bool OnDraw(CDC* dc, SIZE& size) override;
    // The scroll extent in HIMETRIC, a pixel counted as a hundredth of an inch.
    bool OnGetExtent(DWORD aspect, SIZE& size) override;
    // A size given by the container or by resizing in place: the scroll extent keeps its
    // corner and takes the size, until the sketch's own extent changes it again.
    bool OnSetExtent(DWORD aspect, const SIZE& size) override;

    GraphicsPort m_port{};
};
