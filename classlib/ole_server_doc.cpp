#include "classlib/ole_server_doc.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "classlib/app.h"
#include "classlib/archive.h"
#include "classlib/com_object.h"
#include "classlib/docmgr.h"
#include "classlib/doctempl.h"
#include "classlib/frame.h"
#include "classlib/gdi.h"
#include "classlib/ole_ipframe.h"
#include "classlib/ole_template_server.h"
#include "classlib/view.h"

namespace {

constexpr wchar_t kContentsStream[] = L"Contents";

// One HIMETRIC size of the document's default when the item gives none.
constexpr SIZE kDefaultExtent = { 2540, 2540 };

// Whether a user works with the program: it was started by one, or a document of its
// own (not an embedding) is open.
bool UserHasControl() {
    if (!COleTemplateServer::StartedForContainer()) return true;
    CWinApp* app = CurrentApp();
    CDocManager* manager = app ? app->m_pDocManager : nullptr;
    if (!manager) return false;
    for (POSITION t = manager->GetFirstDocTemplatePosition(); t;) {
        CDocTemplate* tmpl = manager->GetNextDocTemplate(t);
        for (POSITION d = tmpl->GetFirstDocPosition(); d;) {
            CDocument* doc = tmpl->GetNextDoc(d);
            if (!doc->IsKindOf(RUNTIME_CLASS(COleServerDoc)) || !static_cast<COleServerDoc*>(doc)->IsEmbedded()) {
                return true;
            }
        }
    }
    return false;
}

void FreeMedium(STGMEDIUM* medium) {
    medium->tymed = TYMED_NULL;
    medium->pUnkForRelease = nullptr;
}

HGLOBAL CopyBlock(HGLOBAL from) {
    const SIZE_T size = ::GlobalSize(from);
    const void* source = size ? ::GlobalLock(from) : nullptr;
    if (!source) return nullptr;
    HGLOBAL to = ::GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = to ? ::GlobalLock(to) : nullptr;
    if (target) {
        std::memcpy(target, source, size);
        ::GlobalUnlock(to);
    } else if (to) {
        ::GlobalFree(to);
        to = nullptr;
    }
    ::GlobalUnlock(from);
    return to;
}

// A metafile picture with its own copy of the records.
HGLOBAL CopyPicture(HGLOBAL from) {
    HGLOBAL to = CopyBlock(from);
    auto* picture = to ? static_cast<METAFILEPICT*>(::GlobalLock(to)) : nullptr;
    if (!picture) return to;
    picture->hMF = ::CopyMetaFileA(picture->hMF, nullptr);
    const bool copied = picture->hMF != nullptr;
    ::GlobalUnlock(to);
    if (copied) return to;
    ::GlobalFree(to);
    return nullptr;
}

// The item as it was when copied. The clipboard is flushed at once, so what it holds
// stays the same whatever the document does next, and outlives the program.
class CopiedItem final : public SingleInterfaceObject<IDataObject> {
public:
    CopiedItem() : SingleInterfaceObject(IID_IDataObject) {}
    // Takes the medium; false (the medium released) when there is no room for it.
    bool Add(CLIPFORMAT format, STGMEDIUM medium) {
        if (!format || medium.tymed == TYMED_NULL) {
            ::ReleaseStgMedium(&medium);
            return false;
        }
        entries_.push_back(Entry{ FORMATETC{ format, nullptr, DVASPECT_CONTENT, -1, medium.tymed }, medium });
        return true;
    }


    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_POINTER;
        FreeMedium(medium);
        const Entry* entry = Find(format);
        if (!entry) return DV_E_FORMATETC;
        const STGMEDIUM& kept = entry->medium;
        if (kept.tymed == TYMED_ISTORAGE) {
            medium->tymed = TYMED_ISTORAGE;
            medium->pstg = kept.pstg;
            medium->pstg->AddRef();
            return S_OK;
        }
        // Each reader gets its own copy of a handle and frees it.
        HANDLE made = nullptr;
        switch (kept.tymed) {
            case TYMED_HGLOBAL: made = CopyBlock(kept.hGlobal); break;
            case TYMED_MFPICT: made = CopyPicture(kept.hMetaFilePict); break;
            case TYMED_ENHMF: made = ::CopyEnhMetaFileA(kept.hEnhMetaFile, nullptr); break;
            default: return DV_E_TYMED;
        }
        if (!made) return E_OUTOFMEMORY;
        medium->tymed = kept.tymed;
        if (kept.tymed == TYMED_HGLOBAL) medium->hGlobal = static_cast<HGLOBAL>(made);
        else if (kept.tymed == TYMED_MFPICT) medium->hMetaFilePict = static_cast<HMETAFILEPICT>(made);
        else medium->hEnhMetaFile = static_cast<HENHMETAFILE>(made);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_POINTER;
        const Entry* entry = Find(format);
        if (!entry || entry->medium.tymed != TYMED_ISTORAGE || medium->tymed != TYMED_ISTORAGE || !medium->pstg) {
            return DATA_E_FORMATETC;
        }
        return entry->medium.pstg->CopyTo(0, nullptr, nullptr, medium->pstg);
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_POINTER;
        return Find(format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        std::vector<FORMATETC> formats;
        for (const Entry& e : entries_) formats.push_back(e.format);
        return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override {
        if (out) *out = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    struct Entry {
        FORMATETC format;
        STGMEDIUM medium;
    };
    ~CopiedItem() {
        for (Entry& e : entries_) ::ReleaseStgMedium(&e.medium);
    }
    const Entry* Find(const FORMATETC* format) const {
        if (format->dwAspect != DVASPECT_CONTENT) return nullptr;
        for (const Entry& e : entries_) {
            if (e.format.cfFormat == format->cfFormat && (format->tymed & e.format.tymed)) return &e;
        }
        return nullptr;
    }

    std::vector<Entry> entries_;
};

// What a container reads before it takes the copy: the class, its size and status, and
// the names to show for it.
HGLOBAL MakeObjectDescriptor(const CLSID& clsid, SIZE extent, const std::wstring& source) {
    DWORD status = 0;
    ::OleRegGetMiscStatus(clsid, DVASPECT_CONTENT, &status);
    std::wstring type;
    LPOLESTR name = nullptr;
    if (SUCCEEDED(::OleRegGetUserType(clsid, USERCLASSTYPE_FULL, &name)) && name) type = name;
    if (name) ::CoTaskMemFree(name);
    const size_t typeBytes = (type.size() + 1) * sizeof(wchar_t);
    const size_t sourceBytes = (source.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(OBJECTDESCRIPTOR) + typeBytes + sourceBytes);
    auto* d = block ? static_cast<OBJECTDESCRIPTOR*>(::GlobalLock(block)) : nullptr;
    if (!d) {
        if (block) ::GlobalFree(block);
        return nullptr;
    }
    d->cbSize = static_cast<ULONG>(sizeof(OBJECTDESCRIPTOR) + typeBytes + sourceBytes);
    d->clsid = clsid;
    d->dwDrawAspect = DVASPECT_CONTENT;
    d->sizel.cx = extent.cx;
    d->sizel.cy = extent.cy;
    d->dwStatus = status;
    d->dwFullUserTypeName = sizeof(OBJECTDESCRIPTOR);
    d->dwSrcOfCopy = static_cast<DWORD>(sizeof(OBJECTDESCRIPTOR) + typeBytes);
    auto* text = reinterpret_cast<uint8_t*>(d);
    std::memcpy(text + d->dwFullUserTypeName, type.c_str(), typeBytes);
    std::memcpy(text + d->dwSrcOfCopy, source.c_str(), sourceBytes);
    ::GlobalUnlock(block);
    return block;
}

}  // namespace

// The OLE object of one embedded document: the interfaces a container calls, with one
// reference count. It keeps the program running while a container holds it.
class ServerObject final : public IOleObject,
                           public IPersistStorage,
                           public IDataObject,
                           public IOleInPlaceObject,
                           public IOleInPlaceActiveObject {
public:
    ServerObject(COleServerDoc* doc, const CLSID& clsid) : doc_(doc), clsid_(clsid) { ::CoAddRefServerProcess(); }

    void Detach() { doc_ = nullptr; }

    // Tells the container's sinks of a change of the picture.
    void SendDataChange() {
        if (dataAdvise_) dataAdvise_->SendOnDataChange(static_cast<IDataObject*>(this), 0, 0);
    }
    void SendSave() {
        if (oleAdvise_) oleAdvise_->SendOnSave();
    }
    void SendClose() {
        if (oleAdvise_) oleAdvise_->SendOnClose();
    }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleObject)) {
            *out = static_cast<IOleObject*>(this);
        } else if (IsEqualIID(riid, IID_IPersistStorage) || IsEqualIID(riid, IID_IPersist)) {
            *out = static_cast<IPersistStorage*>(this);
        } else if (IsEqualIID(riid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
        } else if (IsEqualIID(riid, IID_IOleInPlaceObject) || IsEqualIID(riid, IID_IOleWindow)) {
            *out = static_cast<IOleInPlaceObject*>(this);
        } else if (IsEqualIID(riid, IID_IOleInPlaceActiveObject)) {
            *out = static_cast<IOleInPlaceActiveObject*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) Destroy();
        return left;
    }

    // ---- IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        if (!doc_) return E_UNEXPECTED;
        if (site) site->AddRef();
        if (doc_->m_pClientSite) doc_->m_pClientSite->Release();
        doc_->m_pClientSite = site;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
        if (!site) return E_POINTER;
        *site = doc_ ? doc_->m_pClientSite : nullptr;
        if (*site) (*site)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override {
        if (!doc_) return S_OK;
        const bool save = saveOption == OLECLOSE_SAVEIFDIRTY && doc_->IsModified();
        if (save && doc_->m_pClientSite && FAILED(doc_->m_pClientSite->SaveObject())) return OLE_E_PROMPTSAVECANCELLED;
        doc_->HideOpen();
        SendClose();
        // Clients drop their references after this; the document goes with the last one.
        ::CoDisconnectObject(static_cast<IOleObject*>(this), 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override {
        if (!doc_) return E_UNEXPECTED;
        if (!site) site = doc_->m_pClientSite;
        switch (verb) {
            case OLEIVERB_HIDE:
                if (doc_->IsInPlaceActive()) doc_->DeactivateInPlace();
                doc_->HideOpen();
                return S_OK;
            case OLEIVERB_OPEN:
            case 1:  // the registry's second verb, "Open"
                if (doc_->IsInPlaceActive()) doc_->DeactivateInPlace();
                return doc_->ShowOpen() ? S_OK : E_FAIL;
            case OLEIVERB_PRIMARY:
            case OLEIVERB_SHOW:
            case OLEIVERB_INPLACEACTIVATE:
            case OLEIVERB_UIACTIVATE:
                // In place where the container allows it, else in a frame of its own.
                if (!doc_->m_bOpen && doc_->ActivateInPlace(site, verb != OLEIVERB_INPLACEACTIVATE)) return S_OK;
                if (verb == OLEIVERB_INPLACEACTIVATE || verb == OLEIVERB_UIACTIVATE) {
                    if (doc_->m_bOpen) return doc_->ShowOpen() ? S_OK : E_FAIL;
                    return OLEOBJ_S_CANNOT_DOVERB_NOW;
                }
                return doc_->ShowOpen() ? S_OK : E_FAIL;
            default:
                return OLEOBJ_S_INVALIDVERB;
        }
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override { return ::OleRegEnumVerbs(clsid_, out); }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override {
        if (!out) return E_POINTER;
        *out = clsid_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* out) override {
        return ::OleRegGetUserType(clsid_, form, out);
    }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override {
        if (!size) return E_POINTER;
        COleServerItem* item = doc_ ? doc_->GetEmbeddedItem() : nullptr;
        const SIZE s{ size->cx, size->cy };
        return item && s.cx > 0 && s.cy > 0 && item->OnSetExtent(aspect, s) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override {
        if (!size) return E_POINTER;
        COleServerItem* item = doc_ ? doc_->GetEmbeddedItem() : nullptr;
        SIZE s{};
        if (!item || !item->OnGetExtent(aspect, s)) return E_FAIL;
        size->cx = s.cx;
        size->cy = s.cy;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override {
        if (!oleAdvise_ && FAILED(::CreateOleAdviseHolder(&oleAdvise_))) return E_OUTOFMEMORY;
        return oleAdvise_->Advise(sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return oleAdvise_ ? oleAdvise_->Unadvise(cookie) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override {
        if (out) *out = nullptr;
        return oleAdvise_ ? oleAdvise_->EnumAdvise(out) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override {
        return ::OleRegGetMiscStatus(clsid_, aspect, status);
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // ---- IPersistStorage
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) override { return GetUserClassID(out); }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return doc_ && doc_->IsModified() ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override {
        if (!doc_) return E_UNEXPECTED;
        return doc_->OnNewDocument() ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override {
        if (!doc_ || !storage) return E_UNEXPECTED;
        IStream* stream = nullptr;
        HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
        if (FAILED(hr)) return hr;
        CArchive ar(stream, CArchive::load);
        doc_->DeleteContents();
        doc_->Serialize(ar);
        stream->Release();
        if (ar.Failed()) return STG_E_READFAULT;
        doc_->SetModifiedFlag(false);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override {
        if (!doc_ || !storage) return E_UNEXPECTED;
        IStream* stream = nullptr;
        HRESULT hr = storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                           &stream);
        if (FAILED(hr)) return hr;
        CArchive ar(stream, CArchive::store);
        doc_->Serialize(ar);
        stream->Release();
        if (ar.Failed()) return STG_E_WRITEFAULT;
        ::WriteClassStg(storage, clsid_);
        SendSave();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

    // ---- IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_POINTER;
        FreeMedium(medium);
        const HRESULT ok = QueryGetData(format);
        if (ok != S_OK) return ok;
        COleServerItem* item = doc_ ? doc_->GetEmbeddedItem() : nullptr;
        if (!item) return E_UNEXPECTED;
        const bool anyPicture = format->cfFormat == 0;
        if (format->cfFormat == CF_ENHMETAFILE || (anyPicture && format->tymed == TYMED_ENHMF)) {
            HENHMETAFILE picture = item->MakeEnhancedMetafile();
            if (!picture) return E_OUTOFMEMORY;
            medium->tymed = TYMED_ENHMF;
            medium->hEnhMetaFile = picture;
            return S_OK;
        }
        HMETAFILEPICT picture = item->MakeMetafilePicture();
        if (!picture) return E_OUTOFMEMORY;
        medium->tymed = TYMED_MFPICT;
        medium->hMetaFilePict = picture;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DATA_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_POINTER;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (format->cfFormat == CF_ENHMETAFILE && (format->tymed & TYMED_ENHMF)) return S_OK;
        if (format->cfFormat == CF_METAFILEPICT && (format->tymed & TYMED_MFPICT)) return S_OK;
        // No format named: the container takes whatever draws the object best.
        // (some caches name no medium either).
        if (format->cfFormat == 0 && (format->tymed == TYMED_NULL || (format->tymed & (TYMED_ENHMF | TYMED_MFPICT))))
            return S_OK;
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        // The formats are the ones the class registered.
        return ::OleRegEnumFormatEtc(clsid_, direction, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* cookie) override {
        if (!dataAdvise_ && FAILED(::CreateDataAdviseHolder(&dataAdvise_))) return E_OUTOFMEMORY;
        return dataAdvise_->Advise(static_cast<IDataObject*>(this), format, flags, sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD cookie) override {
        return dataAdvise_ ? dataAdvise_->Unadvise(cookie) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override {
        if (out) *out = nullptr;
        return dataAdvise_ ? dataAdvise_->EnumAdvise(out) : OLE_E_ADVISENOTSUPPORTED;
    }

    // ---- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = doc_ && doc_->m_pInPlaceFrame ? doc_->m_pInPlaceFrame->m_hWnd : nullptr;
        return *out ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
        if (doc_) doc_->DeactivateInPlace();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override {
        if (doc_) doc_->DeactivateUserInterface();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override {
        if (!doc_ || !position) return E_INVALIDARG;
        if (doc_->m_pInPlaceFrame) doc_->m_pInPlaceFrame->RepositionFrame(*position, clip ? *clip : *position);
        doc_->OnSetItemRects(position, clip);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }
    // A server in its own process translates its keys in its own message loop.
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

private:
    ~ServerObject() = default;

    void Destroy() {
        if (oleAdvise_) oleAdvise_->Release();
        if (dataAdvise_) dataAdvise_->Release();
        COleServerDoc* doc = doc_;
        doc_ = nullptr;
        if (doc) {
            doc->object_ = nullptr;
            // The container let go of the object: the document goes with it.
            doc->OnCloseDocument();
        }
        const ULONG serving = ::CoReleaseServerProcess();
        CWinApp* app = CurrentApp();
        // Started for containers alone, the program ends with its last object.
        if (serving == 0 && app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd && !UserHasControl()) {
            app->m_pMainWnd->PostMessage(WM_CLOSE);
        }
        delete this;
    }

    ULONG refs_ = 1;
    COleServerDoc* doc_;
    CLSID clsid_;
    IOleAdviseHolder* oleAdvise_ = nullptr;
    IDataAdviseHolder* dataAdvise_ = nullptr;
};

// ---- The document

IMPLEMENT_DYNAMIC(COleServerDoc, CDocument)

BEGIN_MESSAGE_MAP(COleServerDoc, CDocument)
    ON_COMMAND(CMD_FILE_UPDATE, OnUpdateDocument)
    ON_COMMAND(CMD_FILE_SAVE_COPY_AS, OnFileSaveCopyAs)
END_MESSAGE_MAP()

COleServerDoc::COleServerDoc() = default;

COleServerDoc::~COleServerDoc() {
    DropServerObject();
    if (m_pClientSite) m_pClientSite->Release();
    m_pClientSite = nullptr;
    if (item_ && item_->m_bAutoDelete) delete item_;
    item_ = nullptr;
}

void COleServerDoc::DropServerObject() {
    if (!object_) return;
    ServerObject* object = object_;
    object_ = nullptr;
    object->Detach();
    object->SendClose();
    ::CoDisconnectObject(static_cast<IOleObject*>(object), 0);
}

COleServerItem* COleServerDoc::GetEmbeddedItem() {
    if (!item_) item_ = OnGetEmbeddedItem();
    return item_;
}

void COleServerDoc::Serialize(CArchive& ar) { ar.Fail(-1); }

void COleServerDoc::OnSetItemRects(const RECT* position, const RECT*) {
    if (position) m_itemPosition = *position;
}

bool COleServerDoc::GetZoomFactor(SIZE* numerator, SIZE* denominator) const {
    SIZE num{ 1, 1 }, den{ 1, 1 };
    // In place, the object fills the container's rectangle: the zoom is that rectangle
    // over the item's own size in pixels.
    COleServerItem* item = const_cast<COleServerDoc*>(this)->GetEmbeddedItem();
    SIZE extent{};
    const bool zoomed = m_pInPlaceFrame && item && item->OnGetExtent(DVASPECT_CONTENT, extent) && extent.cx > 0 &&
                        extent.cy > 0 && m_itemPosition.right > m_itemPosition.left &&
                        m_itemPosition.bottom > m_itemPosition.top;
    if (zoomed) {
        HDC screen = ::GetDC(nullptr);
        den.cx = MulDiv(extent.cx, ::GetDeviceCaps(screen, LOGPIXELSX), 2540);
        den.cy = MulDiv(extent.cy, ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
        ::ReleaseDC(nullptr, screen);
        num.cx = m_itemPosition.right - m_itemPosition.left;
        num.cy = m_itemPosition.bottom - m_itemPosition.top;
        if (den.cx <= 0 || den.cy <= 0) num = den = SIZE{ 1, 1 };
    }
    if (numerator) *numerator = num;
    if (denominator) *denominator = den;
    return num.cx != den.cx || num.cy != den.cy;
}

bool COleServerDoc::RequestPositionChange(const RECT& position) {
    COleServerItem* item = GetEmbeddedItem();
    const int width = position.right - position.left, height = position.bottom - position.top;
    if (!m_pInPlaceFrame || !inPlaceSite_ || !item || width <= 0 || height <= 0) return false;
    SIZE oldExtent{};
    if (!item->OnGetExtent(DVASPECT_CONTENT, oldExtent)) return false;
    SIZE num{}, den{};
    GetZoomFactor(&num, &den);
    HDC screen = ::GetDC(nullptr);
    const int perInchX = ::GetDeviceCaps(screen, LOGPIXELSX), perInchY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (perInchX <= 0 || perInchY <= 0 || num.cx <= 0 || num.cy <= 0) return false;
    // The container's pixels back to the item's own at the zoom it is shown with.
    const SIZE extent{ MulDiv(MulDiv(width, den.cx, num.cx), 2540, perInchX),
                       MulDiv(MulDiv(height, den.cy, num.cy), 2540, perInchY) };
    if (!item->OnSetExtent(DVASPECT_CONTENT, extent)) return false;
    // The container moves the object (SetObjectRects) while it answers, or keeps it.
    inPlaceSite_->OnPosRectChange(&position);
    if (!m_pInPlaceFrame) return false;
    if (!::EqualRect(&m_itemPosition, &position)) {
        item->OnSetExtent(DVASPECT_CONTENT, oldExtent);
        return false;
    }
    m_pInPlaceFrame->RepositionFrame(m_itemPosition, m_itemPosition);
    NotifyChanged();
    return true;
}

IUnknown* COleServerDoc::GetServerObject() {
    if (!object_) {
        const CLSID* clsid = ClassIdOfTemplate(GetDocTemplate());
        if (!clsid) return nullptr;
        object_ = new ServerObject(this, *clsid);
        return static_cast<IOleObject*>(object_);
    }
    object_->AddRef();
    return static_cast<IOleObject*>(object_);
}

void COleServerDoc::NotifyChanged() {
    if (object_) object_->SendDataChange();
}

bool COleServerDoc::UpdateContainer() {
    NotifyChanged();
    if (!m_pClientSite) return false;
    return SUCCEEDED(m_pClientSite->SaveObject());
}

void COleServerDoc::OnUpdateDocument() {
    if (!UpdateContainer()) {
        ShowAppMessage(IDS_LIB_UPDATE_FAILED);
        return;
    }
    SetModifiedFlag(false);
}

void COleServerDoc::OnFileSaveCopyAs() { DoSave(nullptr, false); }

bool COleServerDoc::ShowOpen() {
    CWinApp* app = CurrentApp();
    CDocTemplate* tmpl = GetDocTemplate();
    if (!tmpl) return false;
    POSITION pos = GetFirstViewPosition();
    if (!pos) {
        CFrameWnd* frame = tmpl->CreateNewFrame(this, nullptr);
        if (!frame) return false;
        tmpl->InitialUpdateFrame(frame, this, true);
    }
    m_bOpen = true;
    if (app && app->m_pMainWnd && !app->m_pMainWnd->IsWindowVisible()) app->m_pMainWnd->ShowWindow(SW_SHOW);
    if (CView* view = pos ? GetNextView(pos) : nullptr) {
        if (CFrameWnd* frame = view->GetParentFrame()) frame->ActivateFrame(SW_SHOW);
    }
    if (m_pClientSite) {
        m_pClientSite->ShowObject();
        m_pClientSite->OnShowWindow(TRUE);
    }
    return true;
}

void COleServerDoc::HideOpen() {
    if (!m_bOpen) return;
    m_bOpen = false;
    if (m_pClientSite) m_pClientSite->OnShowWindow(FALSE);
}

void COleServerDoc::OnInPlaceActivation(bool) {}

bool COleServerDoc::ActivateInPlace(IOleClientSite* site, bool uiActivate) {
    if (m_pInPlaceFrame) return !uiActivate || ActivateUserInterface();
    CDocTemplate* tmpl = GetDocTemplate();
    if (!site || !tmpl || !tmpl->m_pInPlaceFrameClass) return false;
    IOleInPlaceSite* ips = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&ips))) || !ips) return false;
    if (ips->CanInPlaceActivate() != S_OK) {
        ips->Release();
        return false;
    }
    ips->OnInPlaceActivate();
    HWND container = nullptr;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* docWindow = nullptr;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    COleIPFrameWnd* made = nullptr;
    if (SUCCEEDED(ips->GetWindow(&container)) && container &&
        SUCCEEDED(ips->GetWindowContext(&frame, &docWindow, &position, &clip, &info)) && frame) {
        CObject* object = tmpl->m_pInPlaceFrameClass->CreateObject();
        if (object && object->IsKindOf(RUNTIME_CLASS(COleIPFrameWnd))) {
            made = static_cast<COleIPFrameWnd*>(object);
        } else {
            delete object;
        }
    }
    if (made) {
        made->m_pFrame = frame;
        made->m_pDocFrame = docWindow;
        frame = nullptr;
        docWindow = nullptr;
        made->m_pFrame->GetWindow(&made->m_hContainerFrame);
        m_itemPosition = position;
        m_pInPlaceFrame = made;
        if (!made->CreateInPlace(this, tmpl->GetViewClass(), container, position)) {
            // A frame whose window never came is not deleted by its window's end.
            if (!made->m_hWnd) delete made;
            m_pInPlaceFrame = nullptr;
            made = nullptr;
        }
    }
    if (frame) frame->Release();
    if (docWindow) docWindow->Release();
    if (!made) {
        ips->OnInPlaceDeactivate();
        ips->Release();
        return false;
    }
    inPlaceSite_ = ips;
    OnInPlaceActivation(true);
    if (uiActivate) ActivateUserInterface();
    return true;
}

bool COleServerDoc::ActivateUserInterface() {
    if (uiActive_) return true;
    COleIPFrameWnd* frame = m_pInPlaceFrame;
    if (!frame || !inPlaceSite_ || !frame->m_pFrame) return false;
    inPlaceSite_->OnUIActivate();
    uiActive_ = true;
    frame->OnCreateControlBars(frame->m_hContainerFrame, nullptr);
    // The shared menu: the container's groups, then this program's pop-ups as the
    // object's edit group.
    HMENU shared = ::CreateMenu();
    if (shared) {
        OLEMENUGROUPWIDTHS widths{};
        frame->m_pFrame->InsertMenus(shared, &widths);
        ownMenuCount_ = 0;
        if (HMENU own = frame->BuildInPlaceMenu()) {
            const int count = ::GetMenuItemCount(own);
            const int at = static_cast<int>(widths.width[0]);
            for (int i = 0; i < count; ++i) {
                char text[128] = "";
                ::GetMenuStringA(own, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                HMENU popup = ::GetSubMenu(own, i);
                if (!popup) continue;
                ::InsertMenuA(shared, static_cast<UINT>(at + ownMenuCount_), MF_BYPOSITION | MF_POPUP,
                              reinterpret_cast<UINT_PTR>(popup), text);
                ++ownMenuCount_;
            }
        }
        widths.width[1] = ownMenuCount_;
        frame->m_menuWidths = widths;
        frame->m_hSharedMenu = shared;
        frame->m_hOleMenu = ::OleCreateMenuDescriptor(shared, &widths);
        frame->m_pFrame->SetMenu(shared, frame->m_hOleMenu, frame->m_hWnd);
    }
    IOleInPlaceActiveObject* active = object_ ? static_cast<IOleInPlaceActiveObject*>(object_) : nullptr;
    CString title = GetTitle();
    std::wstring name(title.c_str(), title.c_str() + title.GetLength());
    frame->m_pFrame->SetActiveObject(active, name.c_str());
    if (frame->m_pDocFrame) frame->m_pDocFrame->SetActiveObject(active, name.c_str());
    return true;
}

void COleServerDoc::DeactivateUserInterface() {
    if (!uiActive_) return;
    uiActive_ = false;
    COleIPFrameWnd* frame = m_pInPlaceFrame;
    if (frame && frame->m_pFrame) {
        frame->m_pFrame->SetActiveObject(nullptr, nullptr);
        if (frame->m_pDocFrame) frame->m_pDocFrame->SetActiveObject(nullptr, nullptr);
        if (frame->m_hSharedMenu) {
            frame->m_pFrame->SetMenu(nullptr, nullptr, frame->m_hWnd);
            // The pop-ups stay the program's: out of the shared menu before it goes.
            const int at = static_cast<int>(frame->m_menuWidths.width[0]);
            for (int i = 0; i < ownMenuCount_; ++i) ::RemoveMenu(frame->m_hSharedMenu, static_cast<UINT>(at), MF_BYPOSITION);
            frame->m_pFrame->RemoveMenus(frame->m_hSharedMenu);
            ::DestroyMenu(frame->m_hSharedMenu);
            frame->m_hSharedMenu = nullptr;
        }
        if (frame->m_hOleMenu) ::OleDestroyMenuDescriptor(frame->m_hOleMenu);
        frame->m_hOleMenu = nullptr;
        ownMenuCount_ = 0;
        frame->m_pFrame->SetBorderSpace(nullptr);
    }
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
}

void COleServerDoc::DeactivateInPlace() {
    if (!m_pInPlaceFrame) return;
    DeactivateUserInterface();
    OnInPlaceActivation(false);
    COleIPFrameWnd* frame = m_pInPlaceFrame;
    m_pInPlaceFrame = nullptr;
    // The view goes with the frame; the document stays with its container.
    const bool autoDelete = m_bAutoDelete;
    m_bAutoDelete = false;
    frame->DestroyWindow();
    m_bAutoDelete = autoDelete;
    if (inPlaceSite_) {
        inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_->Release();
        inPlaceSite_ = nullptr;
    }
    NotifyChanged();
}

void COleServerDoc::OnCloseDocument() {
    DeactivateInPlace();
    HideOpen();
    DropServerObject();
    CDocument::OnCloseDocument();
}

HMENU COleServerDoc::GetDefaultMenu() {
    CDocTemplate* tmpl = GetDocTemplate();
    return m_bEmbedded && tmpl ? tmpl->m_hMenuEmbedding : nullptr;
}

HACCEL COleServerDoc::GetDefaultAccelerator() {
    CDocTemplate* tmpl = GetDocTemplate();
    return m_bEmbedded && tmpl ? tmpl->m_hAccelEmbedding : nullptr;
}

IUnknown* CreateServerObject(CDocTemplate* tmpl) {
    if (!tmpl) return nullptr;
    CDocument* doc = tmpl->CreateNewDocument();
    if (!doc) return nullptr;
    if (!doc->IsKindOf(RUNTIME_CLASS(COleServerDoc))) {
        tmpl->RemoveDocument(doc);
        delete doc;
        return nullptr;
    }
    auto* server = static_cast<COleServerDoc*>(doc);
    server->m_bEmbedded = true;
    tmpl->SetDefaultTitle(doc);
    IUnknown* object = server->GetServerObject();
    if (!object) {
        tmpl->RemoveDocument(doc);
        delete doc;
    }
    return object;
}

// ---- The item

IMPLEMENT_DYNAMIC(COleServerItem, CCmdTarget)

COleServerItem::COleServerItem(COleServerDoc* doc, bool autoDelete) : m_bAutoDelete(autoDelete), doc_(doc) {}

COleServerItem::~COleServerItem() = default;

void COleServerItem::Serialize(CArchive& ar) {
    if (doc_ && doc_->GetEmbeddedItem() == this) {
        doc_->Serialize(ar);
    } else {
        ar.Fail(-1);
    }
}

bool COleServerItem::OnGetExtent(DWORD aspect, SIZE& size) {
    if (aspect != DVASPECT_CONTENT) return false;
    size = kDefaultExtent;
    return true;
}

bool COleServerItem::CopyToClipboard(bool) {
    // A link names the object's file by a moniker; an embedding has no file of its own and
    // no moniker, so the copy is offered embedded only, whatever the caller asked.
    const CLSID* clsid = doc_ ? ClassIdOfTemplate(doc_->GetDocTemplate()) : nullptr;
    if (!clsid) return false;

    // The native data in a storage of its own, as a container keeps an embedded object.
    ILockBytes* bytes = nullptr;
    IStorage* storage = nullptr;
    if (FAILED(::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes))) return false;
    HRESULT hr = ::StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                                &storage);
    bytes->Release();
    if (FAILED(hr)) return false;
    IStream* contents = nullptr;
    hr = ::WriteClassStg(storage, *clsid);
    if (SUCCEEDED(hr)) {
        hr = storage->CreateStream(kContentsStream, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                   &contents);
    }
    if (SUCCEEDED(hr)) {
        CArchive ar(contents, CArchive::store);
        Serialize(ar);
        contents->Release();
        if (ar.Failed()) hr = STG_E_WRITEFAULT;
    }
    if (SUCCEEDED(hr)) hr = storage->Commit(STGC_DEFAULT);
    if (FAILED(hr)) {
        storage->Release();
        return false;
    }

    SIZE extent{};
    if (!OnGetExtent(DVASPECT_CONTENT, extent)) extent = kDefaultExtent;
    CString title = doc_->GetTitle();
    const std::wstring source(title.c_str(), title.c_str() + title.GetLength());

    auto* copy = new CopiedItem;
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTORAGE;
    medium.pstg = storage;
    bool complete = copy->Add(static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("Embed Source")), medium);
    medium = STGMEDIUM{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = MakeObjectDescriptor(*clsid, extent, source);
    if (!medium.hGlobal) medium.tymed = TYMED_NULL;
    complete = copy->Add(static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("Object Descriptor")), medium) && complete;
    medium = STGMEDIUM{};
    medium.tymed = TYMED_MFPICT;
    medium.hMetaFilePict = MakeMetafilePicture();
    if (!medium.hMetaFilePict) medium.tymed = TYMED_NULL;
    complete = copy->Add(CF_METAFILEPICT, medium) && complete;
    medium = STGMEDIUM{};
    medium.tymed = TYMED_ENHMF;
    medium.hEnhMetaFile = MakeEnhancedMetafile();
    if (!medium.hEnhMetaFile) medium.tymed = TYMED_NULL;
    complete = copy->Add(CF_ENHMETAFILE, medium) && complete;

    // Half a copy (memory ran short on the way) is not put on the clipboard.
    hr = complete ? ::OleSetClipboard(copy) : E_OUTOFMEMORY;
    if (SUCCEEDED(hr)) hr = ::OleFlushClipboard();
    copy->Release();
    return SUCCEEDED(hr);
}

bool COleServerItem::OnSetExtent(DWORD, const SIZE&) { return false; }

HENHMETAFILE COleServerItem::MakeEnhancedMetafile() {
    SIZE extent{};
    if (!OnGetExtent(DVASPECT_CONTENT, extent)) extent = kDefaultExtent;
    const RECT frame{ 0, 0, extent.cx, extent.cy };
    HDC metafile = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    if (!metafile) return nullptr;
    // The records are in the reference screen's pixels: the item's logical units are
    // spread over the frame's size in those pixels.
    const int pixelsX = ::GetDeviceCaps(metafile, HORZRES), millimetresX = ::GetDeviceCaps(metafile, HORZSIZE);
    const int pixelsY = ::GetDeviceCaps(metafile, VERTRES), millimetresY = ::GetDeviceCaps(metafile, VERTSIZE);
    ::SetMapMode(metafile, MM_ANISOTROPIC);
    if (millimetresX > 0 && millimetresY > 0) {
        ::SetViewportExtEx(metafile, MulDiv(extent.cx, pixelsX, millimetresX * 100),
                           MulDiv(extent.cy, pixelsY, millimetresY * 100), nullptr);
    }
    CDC dc;
    dc.Attach(metafile);
    SIZE size = extent;
    OnDraw(&dc, size);
    dc.Detach();
    return ::CloseEnhMetaFile(metafile);
}

HMETAFILEPICT COleServerItem::MakeMetafilePicture() {
    SIZE extent{};
    if (!OnGetExtent(DVASPECT_CONTENT, extent)) extent = kDefaultExtent;
    HDC metafile = ::CreateMetaFileA(nullptr);
    if (!metafile) return nullptr;
    CDC dc;
    dc.Attach(metafile);
    SIZE size = extent;
    OnDraw(&dc, size);
    dc.Detach();
    HMETAFILE records = ::CloseMetaFile(metafile);
    if (!records) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT));
    auto* picture = block ? static_cast<METAFILEPICT*>(::GlobalLock(block)) : nullptr;
    if (!picture) {
        if (block) ::GlobalFree(block);
        ::DeleteMetaFile(records);
        return nullptr;
    }
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = extent.cx;
    picture->yExt = extent.cy;
    picture->hMF = records;
    ::GlobalUnlock(block);
    return static_cast<HMETAFILEPICT>(block);
}
