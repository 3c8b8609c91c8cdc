// The recent-file list: the most recent first, kept in the registry profile.
#pragma once

#include "classlib/str.h"

#include <vector>

class CRecentFileList {
public:
    // size entries at most, stored as entryFormat ("File%d", numbered from 1) in section.
    CRecentFileList(UINT start, const char* section, const char* entryFormat, int size);
    virtual ~CRecentFileList() = default;

    int GetSize() const { return size_; }
    int GetCount() const { return static_cast<int>(names_.size()); }
    const CString& operator[](int i) const { return names_[static_cast<size_t>(i)]; }
    // Moves path to the front (adding it when absent, dropping the oldest beyond size).
    virtual void Add(const char* path);
    virtual void Remove(int index);
    // Reads the list back; entries that are empty, too long or repeated are skipped.
    virtual void ReadList();
    virtual void WriteList();
    // Lists the names in the menu in place of the item of the first recent-file command.
    virtual void UpdateMenu(CCmdUI* ui);

    UINT m_nStart;
    CString m_strSectionName;
    CString m_strEntryFormat;

private:
    int size_;
    std::vector<CString> names_;
};
