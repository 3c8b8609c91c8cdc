// The program as an OLE server: the document template offered to other programs under a
// class identifier, its class factory while the program runs embedded, and the class's
// entries in the registry (written at every normal start, removed by /Unregserver).
#pragma once
#include <windows.h>
#include <ole2.h>

#include "classlib/runtime_class.h"
#include "classlib/str.h"

class CDocTemplate;

class COleTemplateServer : public CObject {
public:
    COleTemplateServer();
    ~COleTemplateServer() override;

    // multiInstance: a new copy of the program for each object (false: one copy serves all).
    void ConnectTemplate(REFCLSID clsid, CDocTemplate* tmpl, bool multiInstance);
    // Offers the class factory to other programs (the program was started for a
    // container); false when the system refused it.
    bool RegisterAll();
    // The program was started by a container, not by a user.
    static bool StartedForContainer();
    void RevokeAll();
    // Writes the class under HKEY_CLASSES_ROOT: its identifier with the program as local
    // server, the program's name (from the template's file type id) pointing at it, the
    // verbs, the icon and the user type names.
    bool UpdateRegistry();
    // Removes what UpdateRegistry wrote, for every connected server.
    static void UnregisterAll();
    bool Unregister();

    // The class as the registry names it: "{...}".
    CString ClassKeyName() const;

    CLSID m_clsid{};
    CDocTemplate* m_pDocTemplate = nullptr;
    bool m_bMultiInstance = false;

private:
    IClassFactory* factory_ = nullptr;
    DWORD cookie_ = 0;
};

// The object an embedding asks the factory for: a new document of the template with its
// OLE interfaces, or null (the factory answers E_OUTOFMEMORY).
IUnknown* CreateServerObject(CDocTemplate* tmpl);
// The class a template was connected under, or null.
const CLSID* ClassIdOfTemplate(const CDocTemplate* tmpl);
