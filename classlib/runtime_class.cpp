#include "classlib/runtime_class.h"

#include "classlib/command_ids.h"
#include "classlib/str.h"

#include <cstring>

CRuntimeClass CObject::classCObject = { "CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                        nullptr, nullptr };

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CObject::IsKindOf(const CRuntimeClass* cls) const {
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
        if (c == base) return true;
    }
    return false;
}

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CException)

bool CException::GetErrorMessage(char* buffer, UINT size, UINT* helpId) const {
    if (helpId) *helpId = 0;
    if (buffer && size) buffer[0] = 0;
    return false;
}

CFileException::CFileException(int cause, LONG osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName{} {
    if (fileName) lstrcpynA(m_strFileName, fileName, MAX_PATH);
}

bool CFileException::GetErrorMessage(char* buffer, UINT size, UINT* helpId) const {
    if (helpId) *helpId = 0;
    if (!buffer || size == 0) return false;
    UINT id = IDS_LIB_READ_ERROR;
    switch (m_cause) {
    case fileNotFound: case badPath: id = IDS_LIB_FILE_NOT_FOUND; break;
    case accessDenied: case sharingViolation: case lockViolation: id = IDS_LIB_ACCESS_DENIED; break;
    default: break;
    }
    CString text;
    FormatResourceString(text, id, m_strFileName);
    lstrcpynA(buffer, text, static_cast<int>(size));
    if (helpId) *helpId = id;
    return true;
}
