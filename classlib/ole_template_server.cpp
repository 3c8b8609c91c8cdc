#include "classlib/ole_template_server.h"

#include <cstdio>
#include <vector>

#include "classlib/app.h"
#include "classlib/com_object.h"
#include "classlib/doctempl.h"

namespace {

bool gStartedForContainer = false;

std::vector<COleTemplateServer*>& Servers() {
    static std::vector<COleTemplateServer*> servers;
    return servers;
}

class TemplateClassFactory final : public SingleInterfaceObject<IClassFactory> {
public:
    explicit TemplateClassFactory(CDocTemplate* tmpl) : SingleInterfaceObject(IID_IClassFactory), tmpl_(tmpl) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IUnknown* object = CreateServerObject(tmpl_);
        if (!object) return E_OUTOFMEMORY;
        const HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            CoAddRefServerProcess();
        } else {
            CoReleaseServerProcess();
        }
        return S_OK;
    }

private:
    CDocTemplate* tmpl_;
};

bool SetClassKey(const CString& key, const char* value, const char* valueName = nullptr) {
    HKEY h = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &h,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG r = ::RegSetValueExA(h, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                    static_cast<DWORD>(lstrlenA(value) + 1));
    ::RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

void DeleteClassTree(HKEY parent, const char* key) {
    HKEY h = nullptr;
    if (::RegOpenKeyExA(parent, key, 0, KEY_READ | KEY_WRITE, &h) != ERROR_SUCCESS) return;
    char sub[256];
    // Always the first subkey, which goes before the next look; a subkey that will not
    // go ends the walk rather than being found again for ever.
    while (::RegEnumKeyA(h, 0, sub, sizeof sub) == ERROR_SUCCESS) {
        DeleteClassTree(h, sub);
        HKEY still = nullptr;
        if (::RegOpenKeyExA(h, sub, 0, KEY_READ, &still) == ERROR_SUCCESS) {
            ::RegCloseKey(still);
            break;
        }
    }
    ::RegCloseKey(h);
    ::RegDeleteKeyA(parent, key);
}

}  // namespace

COleTemplateServer::COleTemplateServer() { Servers().push_back(this); }

COleTemplateServer::~COleTemplateServer() {
    RevokeAll();
    if (factory_) factory_->Release();
    auto& all = Servers();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (*it == this) {
            all.erase(it);
            break;
        }
    }
}

void COleTemplateServer::ConnectTemplate(REFCLSID clsid, CDocTemplate* tmpl, bool multiInstance) {
    m_clsid = clsid;
    m_pDocTemplate = tmpl;
    m_bMultiInstance = multiInstance;
    if (!factory_) factory_ = new TemplateClassFactory(tmpl);
}

bool COleTemplateServer::StartedForContainer() { return gStartedForContainer; }

bool COleTemplateServer::RegisterAll() {
    if (!factory_ || cookie_) return cookie_ != 0;
    gStartedForContainer = true;
    const DWORD use = m_bMultiInstance ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE;
    return SUCCEEDED(::CoRegisterClassObject(m_clsid, factory_, CLSCTX_LOCAL_SERVER, use, &cookie_));
}

void COleTemplateServer::RevokeAll() {
    if (!cookie_) return;
    ::CoRevokeClassObject(cookie_);
    cookie_ = 0;
}

CString COleTemplateServer::ClassKeyName() const {
    const CLSID& c = m_clsid;
    CString text;
    text.Format("{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(c.Data1),
                c.Data2, c.Data3, c.Data4[0], c.Data4[1], c.Data4[2], c.Data4[3], c.Data4[4], c.Data4[5],
                c.Data4[6], c.Data4[7]);
    return text;
}

bool COleTemplateServer::UpdateRegistry() {
    if (!m_pDocTemplate) return false;
    CString progId, typeName, shortName;
    if (!m_pDocTemplate->GetDocString(progId, CDocTemplate::regFileTypeId) || progId.IsEmpty()) return false;
    m_pDocTemplate->GetDocString(typeName, CDocTemplate::regFileTypeName);
    m_pDocTemplate->GetDocString(shortName, CDocTemplate::fileNewName);
    if (typeName.IsEmpty()) typeName = progId;
    if (shortName.IsEmpty()) shortName = typeName;
    char module[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(ModuleInstance(), module, sizeof module);
    if (n == 0 || n >= sizeof module) return false;
    CWinApp* app = CurrentApp();
    const CString appName = app && app->m_pszAppName ? app->m_pszAppName : typeName.c_str();
    char misc[16];
    std::snprintf(misc, sizeof misc, "%d", OLEMISC_RECOMPOSEONRESIZE);
    CString icon;
    icon.Format("%s,0", module);

    const CString cls = CString("CLSID\\") + ClassKeyName();
    bool ok = SetClassKey(progId, typeName);
    ok = SetClassKey(progId + "\\CLSID", ClassKeyName()) && ok;
    ok = SetClassKey(progId + "\\Insertable", "") && ok;
    ok = SetClassKey(cls, typeName) && ok;
    ok = SetClassKey(cls + "\\ProgID", progId) && ok;
    ok = SetClassKey(cls + "\\LocalServer32", module) && ok;
    ok = SetClassKey(cls + "\\InprocHandler32", "ole32.dll") && ok;
    ok = SetClassKey(cls + "\\Insertable", "") && ok;
    ok = SetClassKey(cls + "\\DefaultIcon", icon) && ok;
    ok = SetClassKey(cls + "\\MiscStatus", misc) && ok;
    // Verb number, menu text, menu flags and verb attributes.
    ok = SetClassKey(cls + "\\verb\\0", "&Edit,0,2") && ok;
    ok = SetClassKey(cls + "\\verb\\1", "&Open,0,2") && ok;
    // The pictures the object gives: format, aspect, medium, direction (get).
    char formats[2][32];
    std::snprintf(formats[0], sizeof formats[0], "%d,%d,%d,%d", CF_METAFILEPICT, DVASPECT_CONTENT, TYMED_MFPICT,
                  DATADIR_GET);
    std::snprintf(formats[1], sizeof formats[1], "%d,%d,%d,%d", CF_ENHMETAFILE, DVASPECT_CONTENT, TYMED_ENHMF,
                  DATADIR_GET);
    ok = SetClassKey(cls + "\\DataFormats\\GetSet\\0", formats[0]) && ok;
    ok = SetClassKey(cls + "\\DataFormats\\GetSet\\1", formats[1]) && ok;
    ok = SetClassKey(cls + "\\AuxUserType\\2", shortName) && ok;
    ok = SetClassKey(cls + "\\AuxUserType\\3", appName) && ok;
    return ok;
}

bool COleTemplateServer::Unregister() {
    if (!m_pDocTemplate) return false;
    CString progId;
    const CString cls = CString("CLSID\\") + ClassKeyName();
    DeleteClassTree(HKEY_CLASSES_ROOT, cls);
    if (m_pDocTemplate->GetDocString(progId, CDocTemplate::regFileTypeId) && !progId.IsEmpty()) {
        DeleteClassTree(HKEY_CLASSES_ROOT, progId + "\\CLSID");
        DeleteClassTree(HKEY_CLASSES_ROOT, progId + "\\Insertable");
    }
    return true;
}

void COleTemplateServer::UnregisterAll() {
    for (COleTemplateServer* server : Servers()) server->Unregister();
}

const CLSID* ClassIdOfTemplate(const CDocTemplate* tmpl) {
    for (COleTemplateServer* server : Servers()) {
        if (tmpl && server->m_pDocTemplate == tmpl) return &server->m_clsid;
    }
    return nullptr;
}
