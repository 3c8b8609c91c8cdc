// Run-time class information: every library class knows its name, size, base class
// and, when it can be made by name, how to make a new instance. Documents, frames and
// views are created from templates through this.
#pragma once

#include "classlib/base.h"

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    // A new object of this class, or null when the class cannot be made by name
    // or memory ran out.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create) \
    CRuntimeClass class_name::class##class_name = { \
        #class_name, static_cast<int>(sizeof(class_name)), schema, create, \
        RUNTIME_CLASS(base_class_name) }; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new (std::nothrow) class_name; } \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#include <new>

// Exceptions that the document road reports to the user.
class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    virtual bool GetErrorMessage(char* buffer, UINT size, UINT* helpId = nullptr) const;
    void Delete() { delete this; }
};

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum Cause { none, genericException, fileNotFound, badPath, tooManyOpenFiles,
                 accessDenied, invalidFile, removeCurrentDir, directoryFull, badSeek,
                 hardIO, sharingViolation, lockViolation, diskFull, endOfFile };
    explicit CFileException(int cause = none, LONG osError = -1, const char* fileName = nullptr);
    bool GetErrorMessage(char* buffer, UINT size, UINT* helpId = nullptr) const override;

    int m_cause;
    LONG m_lOsError;
    char m_strFileName[MAX_PATH];
};

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
};
