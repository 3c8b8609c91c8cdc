// A small OLE container for the GUI scenarios: no program under Wine here embeds an
// object by its class, so this one does, through the OLE calls any container makes. It
// answers the driver's requests (figdriver -c REQUEST) one step at a time and logs
// every call and every notification it gets.
//
//   ole_container LOGFILE STORAGEFILE
//
// Requests: ping, create PROGID, extent, draw, rect [pasted], open, show, inplace,
// deactivate, update [pasted], save, release, load, run [pasted], paste, release-pasted,
// refuse-moves, log, quit.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>

#include "gui/hook_protocol.h"

namespace {

FILE* gLog = nullptr;
std::string gLogText;
std::wstring gStorageFile;
HWND gWindow = nullptr;
IStorage* gRoot = nullptr;
IStorage* gObjectStorage = nullptr;
IOleObject* gObject = nullptr;
DWORD gAdviseCookie = 0;
// The object's in-place side, as it announced itself through SetActiveObject.
IOleInPlaceActiveObject* gActive = nullptr;
// The picture's place: room at its left for the bar an object puts there in place.
RECT gPicture{ 50, 10, 50, 10 };
constexpr wchar_t kObjectStorage[] = L"Object";
// A second object, pasted from the clipboard, drawn beside the first.
IOleObject* gPasted = nullptr;
IStorage* gPastedStorage = nullptr;
RECT gPastedPicture{ 250, 10, 250, 10 };
constexpr wchar_t kPastedStorage[] = L"Pasted";

void Log(const std::string& line) {
    gLogText += line + "\n";
    if (gLog) {
        std::fprintf(gLog, "%s\n", line.c_str());
        std::fflush(gLog);
    }
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(hr));
    return text;
}

HRESULT SaveObject() {
    if (!gObject || !gObjectStorage) return E_UNEXPECTED;
    IPersistStorage* persist = nullptr;
    HRESULT hr = gObject->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist));
    if (FAILED(hr)) return hr;
    hr = OleSave(persist, gObjectStorage, TRUE);
    persist->SaveCompleted(nullptr);
    persist->Release();
    if (SUCCEEDED(hr)) hr = gObjectStorage->Commit(STGC_DEFAULT);
    if (SUCCEEDED(hr) && gRoot) hr = gRoot->Commit(STGC_DEFAULT);
    return hr;
}

// The object's requests for another place are ignored (refuse-moves).
bool gRefuseMoves = false;

// The object's in-place side, with a reference for the caller, or null.
IOleInPlaceObject* InPlaceObject() {
    IOleInPlaceObject* inPlace = nullptr;
    if (gObject && SUCCEEDED(gObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        return inPlace;
    }
    if (gActive && SUCCEEDED(gActive->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        return inPlace;
    }
    return nullptr;
}

// The site of the one object, and the sink of its notifications.
class Site final : public IOleClientSite, public IAdviseSink, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (IsEqualIID(riid, IID_IAdviseSink)) {
            *out = static_cast<IAdviseSink*>(this);
        } else if (IsEqualIID(riid, IID_IOleInPlaceSite) || IsEqualIID(riid, IID_IOleWindow)) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (IsEqualIID(riid, IID_IOleInPlaceFrame) || IsEqualIID(riid, IID_IOleInPlaceUIWindow)) {
            *out = static_cast<IOleInPlaceFrame*>(this);
        } else {
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE SaveObject() override {
        const HRESULT hr = ::SaveObject();
        Log("site SaveObject " + Hex(hr));
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override {
        Log("site ShowObject");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override {
        Log(std::string("site OnShowWindow ") + (show ? "1" : "0"));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override { Log("sink OnDataChange"); }
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override {
        Log("sink OnViewChange");
        if (gWindow) InvalidateRect(gWindow, nullptr, TRUE);
    }
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}

    // In place: the container's window holds the object, its frame the object's bars.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        *out = gWindow;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override {
        Log("site CanInPlaceActivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        Log("site OnInPlaceActivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override {
        Log("site OnUIActivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        Log("site GetWindowContext");
        *frame = static_cast<IOleInPlaceFrame*>(this);
        *document = nullptr;
        *position = gPicture;
        GetClientRect(gWindow, clip);
        info->fMDIApp = FALSE;
        info->hwndFrame = gWindow;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override {
        Log("site OnUIDeactivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        Log("site OnInPlaceDeactivate");
        if (gWindow) InvalidateRect(gWindow, nullptr, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    // The object asks for another place (resized in place): the container agrees and
    // moves it there, as its picture's place too.
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override {
        Log("site OnPosRectChange " + std::to_string(position->left) + " " + std::to_string(position->top) + " " +
            std::to_string(position->right) + " " + std::to_string(position->bottom));
        if (gRefuseMoves) return S_OK;
        gPicture = *position;
        IOleInPlaceObject* inPlace = InPlaceObject();
        if (!inPlace) return E_UNEXPECTED;
        RECT clip;
        GetClientRect(gWindow, &clip);
        const HRESULT hr = inPlace->SetObjectRects(position, &clip);
        inPlace->Release();
        Log("SetObjectRects " + Hex(hr));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) override {
        GetClientRect(gWindow, border);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override {
        Log(widths ? "frame SetBorderSpace " + std::to_string(widths->left) : std::string("frame SetBorderSpace none"));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        Log(object ? "frame SetActiveObject" : "frame SetActiveObject none");
        if (object) {
            object->AddRef();
            if (gActive) gActive->Release();
            gActive = object;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) override {
        for (LONG& w : widths->width) w = 0;
        Log("frame InsertMenus");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU, HWND) override {
        Log(shared ? "frame SetMenu " + std::to_string(GetMenuItemCount(shared)) : std::string("frame SetMenu none"));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override {
        Log("frame RemoveMenus");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    void STDMETHODCALLTYPE OnSave() override { Log("sink OnSave"); }
    void STDMETHODCALLTYPE OnClose() override { Log("sink OnClose"); }
};

Site gSite;

// Listens to the object and draws it at its size (HIMETRIC to the screen's pixels).
void Attach(const char* step) {
    gObject->SetHostNames(L"Test Container", L"Test Document");
    OleSetContainedObject(gObject, TRUE);
    HRESULT hr = gObject->Advise(static_cast<IAdviseSink*>(&gSite), &gAdviseCookie);
    Log(std::string(step) + " Advise " + Hex(hr));
    IViewObject* view = nullptr;
    if (SUCCEEDED(gObject->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)))) {
        hr = view->SetAdvise(DVASPECT_CONTENT, 0, static_cast<IAdviseSink*>(&gSite));
        Log(std::string(step) + " SetAdvise " + Hex(hr));
        view->Release();
    }
}

std::string Extent() {
    if (!gObject) return "none";
    SIZEL size{};
    const HRESULT hr = gObject->GetExtent(DVASPECT_CONTENT, &size);
    Log("GetExtent " + Hex(hr) + " " + std::to_string(size.cx) + " " + std::to_string(size.cy));
    if (FAILED(hr)) return "failed " + Hex(hr);
    HDC screen = GetDC(nullptr);
    const int w = MulDiv(size.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    const int h = MulDiv(size.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    ReleaseDC(nullptr, screen);
    gPicture = RECT{ 50, 10, 50 + w, 10 + h };
    return std::to_string(size.cx) + " " + std::to_string(size.cy);
}

void ReleasePasted() {
    if (gPasted) {
        const HRESULT hr = gPasted->Close(OLECLOSE_NOSAVE);
        Log("pasted Close " + Hex(hr));
        gPasted->Release();
        gPasted = nullptr;
    }
    if (gPastedStorage) gPastedStorage->Release();
    gPastedStorage = nullptr;
    if (gWindow) InvalidateRect(gWindow, nullptr, TRUE);
}

// Pastes what the clipboard holds as an embedded object, in its own storage, and draws
// it at the size its descriptor gives.
std::string Paste() {
    if (gPasted) return "exists";
    if (!gRoot) return "no storage";
    IDataObject* data = nullptr;
    HRESULT hr = OleGetClipboard(&data);
    Log("OleGetClipboard " + Hex(hr));
    if (FAILED(hr)) return "failed " + Hex(hr);
    hr = OleQueryCreateFromData(data);
    Log("OleQueryCreateFromData " + Hex(hr));
    FORMATETC descriptor{ static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Object Descriptor")), nullptr,
                          DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    STGMEDIUM medium{};
    if (SUCCEEDED(data->GetData(&descriptor, &medium))) {
        if (auto* d = static_cast<OBJECTDESCRIPTOR*>(GlobalLock(medium.hGlobal))) {
            HDC screen = GetDC(nullptr);
            const int w = MulDiv(d->sizel.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540);
            const int h = MulDiv(d->sizel.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540);
            ReleaseDC(nullptr, screen);
            gPastedPicture = RECT{ 250, 10, 250 + w, 10 + h };
            Log("descriptor " + std::to_string(d->sizel.cx) + " " + std::to_string(d->sizel.cy));
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
    }
    for (CLIPFORMAT format : { CLIPFORMAT(CF_METAFILEPICT), CLIPFORMAT(CF_ENHMETAFILE) }) {
        FORMATETC picture{ format, nullptr, DVASPECT_CONTENT, -1,
                           format == CF_METAFILEPICT ? DWORD(TYMED_MFPICT) : DWORD(TYMED_ENHMF) };
        medium = STGMEDIUM{};
        const HRESULT got = data->GetData(&picture, &medium);
        Log("clipboard picture " + std::to_string(format) + " " + Hex(got));
        if (SUCCEEDED(got)) ReleaseStgMedium(&medium);
    }
    hr = gRoot->CreateStorage(kPastedStorage, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                              &gPastedStorage);
    if (SUCCEEDED(hr)) {
        FORMATETC picture{ CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT };
        hr = OleCreateFromData(data, IID_IOleObject, OLERENDER_FORMAT, &picture, &gSite, gPastedStorage,
                               reinterpret_cast<void**>(&gPasted));
        Log("OleCreateFromData " + Hex(hr));
    }
    data->Release();
    if (FAILED(hr)) {
        ReleasePasted();
        return "failed " + Hex(hr);
    }
    InvalidateRect(gWindow, nullptr, TRUE);
    UpdateWindow(gWindow);
    return "ok";
}

void Release() {
    ReleasePasted();
    if (gActive) gActive->Release();
    gActive = nullptr;
    if (gObject) {
        if (gAdviseCookie) gObject->Unadvise(gAdviseCookie);
        gAdviseCookie = 0;
        const HRESULT hr = gObject->Close(OLECLOSE_NOSAVE);
        Log("Close " + Hex(hr));
        gObject->Release();
        gObject = nullptr;
    }
    if (gObjectStorage) gObjectStorage->Release();
    gObjectStorage = nullptr;
    if (gRoot) gRoot->Release();
    gRoot = nullptr;
    if (gWindow) InvalidateRect(gWindow, nullptr, TRUE);
}

std::string Answer(const std::string& request) {
    const std::string verb = request.substr(0, request.find(' '));
    const std::string arg = request.size() > verb.size() ? request.substr(verb.size() + 1) : "";
    if (verb == "ping") return "pong";
    if (verb == "log") return gLogText;
    if (verb == "create") {
        if (gObject) return "exists";
        CLSID clsid{};
        const std::wstring progId(arg.begin(), arg.end());
        HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
        Log("CLSIDFromProgID " + Hex(hr));
        if (FAILED(hr)) return "failed " + Hex(hr);
        hr = StgCreateDocfile(gStorageFile.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &gRoot);
        if (SUCCEEDED(hr)) {
            hr = gRoot->CreateStorage(kObjectStorage, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                      &gObjectStorage);
        }
        if (FAILED(hr)) return "storage failed " + Hex(hr);
        // The picture the container keeps of the object: a metafile of its content. (Wine's
        // cache left to choose a format itself, OLERENDER_DRAW, stays blank here.)
        FORMATETC picture{ CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT };
        hr = OleCreate(clsid, IID_IOleObject, OLERENDER_FORMAT, &picture, &gSite, gObjectStorage,
                       reinterpret_cast<void**>(&gObject));
        Log("OleCreate " + Hex(hr));
        if (FAILED(hr)) return "failed " + Hex(hr);
        Attach("create");
        return "ok";
    }
    if (verb == "extent") return Extent();
    if (verb == "rect") {
        const RECT& r = arg == "pasted" ? gPastedPicture : gPicture;
        POINT p{ r.left, r.top };
        ClientToScreen(gWindow, &p);
        return std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(r.right - r.left) + " " +
               std::to_string(r.bottom - r.top);
    }
    if (verb == "paste") return Paste();
    if (verb == "refuse-moves") {
        gRefuseMoves = true;
        return "ok";
    }
    if (verb == "release-pasted") {
        ReleasePasted();
        return "ok";
    }
    if (verb == "draw") {
        InvalidateRect(gWindow, nullptr, TRUE);
        UpdateWindow(gWindow);
        return "ok";
    }
    if (verb == "open" || verb == "show") {
        if (!gObject) return "none";
        RECT r = gPicture;
        const HRESULT hr =
            gObject->DoVerb(verb == "open" ? OLEIVERB_OPEN : OLEIVERB_SHOW, nullptr, &gSite, 0, gWindow, &r);
        Log("DoVerb " + verb + " " + Hex(hr));
        return SUCCEEDED(hr) ? "ok" : "failed " + Hex(hr);
    }
    if (verb == "inplace") {
        if (!gObject) return "none";
        RECT r = gPicture;
        const HRESULT hr = gObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &gSite, 0, gWindow, &r);
        Log("DoVerb inplace " + Hex(hr));
        return SUCCEEDED(hr) ? "ok" : "failed " + Hex(hr);
    }
    if (verb == "deactivate") {
        if (!gObject) return "none";
        IOleInPlaceObject* inPlace = InPlaceObject();
        HRESULT hr = E_NOINTERFACE;
        if (inPlace) {
            hr = inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        Log("InPlaceDeactivate " + Hex(hr));
        if (gActive) gActive->Release();
        gActive = nullptr;
        return SUCCEEDED(hr) ? "ok" : "failed " + Hex(hr);
    }
    if (verb == "update") {
        IOleObject* object = arg == "pasted" ? gPasted : gObject;
        if (!object) return "none";
        const HRESULT hr = object->Update();
        Log("Update " + Hex(hr));
        InvalidateRect(gWindow, nullptr, TRUE);
        return SUCCEEDED(hr) ? "ok" : "failed " + Hex(hr);
    }
    if (verb == "save") {
        const HRESULT hr = SaveObject();
        Log("save " + Hex(hr));
        return SUCCEEDED(hr) ? "ok" : "failed " + Hex(hr);
    }
    if (verb == "release") {
        Release();
        return "ok";
    }
    if (verb == "load") {
        if (gObject) return "exists";
        HRESULT hr = StgOpenStorage(gStorageFile.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                    &gRoot);
        if (SUCCEEDED(hr)) {
            hr = gRoot->OpenStorage(kObjectStorage, nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                    &gObjectStorage);
        }
        if (FAILED(hr)) return "storage failed " + Hex(hr);
        hr = OleLoad(gObjectStorage, IID_IOleObject, &gSite, reinterpret_cast<void**>(&gObject));
        Log("OleLoad " + Hex(hr));
        if (FAILED(hr)) return "failed " + Hex(hr);
        Attach("load");
        return "ok";
    }
    if (verb == "run") {
        IOleObject* object = arg == "pasted" ? gPasted : gObject;
        if (!object) return "none";
        const HRESULT hr = OleRun(object);
        Log("OleRun " + Hex(hr));
        return SUCCEEDED(hr) ? "ok" : "failed " + Hex(hr);
    }
    if (verb == "quit") {
        Release();
        PostQuitMessage(0);
        return "ok";
    }
    return "unknown request";
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPYDATA: {
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
            if (!data || data->dwData != kHookRequest) return FALSE;
            const std::string reply = Answer(std::string(static_cast<const char*>(data->lpData), data->cbData));
            COPYDATASTRUCT answer{ kHookReply, static_cast<DWORD>(reply.size()), const_cast<char*>(reply.data()) };
            SendMessageA(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd),
                         reinterpret_cast<LPARAM>(&answer));
            return TRUE;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (gObject) {
                const HRESULT hr = OleDraw(gObject, DVASPECT_CONTENT, dc, &gPicture);
                Log("OleDraw " + Hex(hr));
            }
            if (gPasted) {
                const HRESULT hr = OleDraw(gPasted, DVASPECT_CONTENT, dc, &gPastedPicture);
                Log("pasted OleDraw " + Hex(hr));
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    gLog = std::fopen(argv[1], "w");
    const std::string storage = argv[2];
    gStorageFile.assign(storage.begin(), storage.end());
    if (FAILED(OleInitialize(nullptr))) return 3;
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kContainerWindowClass;
    RegisterClassA(&wc);
    // Below the program's main window (768 x 576 at the corner), so that both show.
    gWindow = CreateWindowExA(0, kContainerWindowClass, "Test Container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 585,
                              400, 180, nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Release();
    OleUninitialize();
    Log("ended");
    if (gLog) std::fclose(gLog);
    return 0;
}
