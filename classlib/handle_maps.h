// Temporary wrapper objects for handles that no library object owns. They live
// until the next idle pass (FreeTemporaryObjects), so a pointer from FromHandle must
// not be kept across messages.
#pragma once

#include <unordered_map>

template <class Obj, class Handle>
class TempHandleMap {
public:
    template <class Make>
    Obj* Get(Handle h, Make make) {
        auto found = map_.find(h);
        if (found != map_.end()) return found->second;
        Obj* obj = make();
        if (!obj) return nullptr;
        obj->m_bTemporary = true;
        map_.emplace(h, obj);
        return obj;
    }
    // Detaches (without destroying the handle) and deletes every temporary.
    template <class Release>
    void Clear(Release release) {
        auto map = std::move(map_);
        map_.clear();
        for (auto& [h, obj] : map) {
            release(obj);
            delete obj;
        }
    }

private:
    std::unordered_map<Handle, Obj*> map_;
};

void FreeTemporaryGdiObjects();
void FreeTemporaryMenus();
