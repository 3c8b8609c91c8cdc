#include "classlib/collections.h"

CMapStringToString::CMapStringToString(INT_PTR) {}

CMapStringToString::~CMapStringToString() { RemoveAll(); }

void CMapStringToString::InitHashTable(UINT size) {
    if (count_ == 0 && size > 0) buckets_.assign(size, nullptr);
}

UINT CMapStringToString::Hash(const char* key) {
    UINT h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(key); *p; ++p) {
        h = (h << 5) + h + *p;
    }
    return h;
}

CMapStringToString::Assoc* CMapStringToString::Find(const char* key, UINT* bucket) const {
    if (!key) key = "";
    UINT h = Hash(key);
    if (buckets_.empty()) return nullptr;
    *bucket = h % buckets_.size();
    for (Assoc* a = buckets_[*bucket]; a; a = a->next) {
        if (a->hash == h && a->key == key) return a;
    }
    return nullptr;
}

CMapStringToString::Assoc* CMapStringToString::Insert(const char* key) {
    if (!key) key = "";
    UINT bucket = 0;
    if (Assoc* a = Find(key, &bucket)) return a;
    if (buckets_.empty()) {
        try { buckets_.assign(17, nullptr); } catch (const std::bad_alloc&) { return nullptr; }
        bucket = Hash(key) % buckets_.size();
    }
    Assoc* a = new (std::nothrow) Assoc{ buckets_[bucket], Hash(key), CString(key), CString() };
    if (!a) return nullptr;
    buckets_[bucket] = a;
    ++count_;
    return a;
}

bool CMapStringToString::Lookup(const char* key, CString& value) const {
    UINT bucket = 0;
    Assoc* a = Find(key, &bucket);
    if (!a) return false;
    value = a->value;
    return true;
}

bool CMapStringToString::SetAt(const char* key, const char* value) {
    Assoc* a = Insert(key);
    if (!a) return false;
    a->value = value;
    return true;
}

CString& CMapStringToString::operator[](const char* key) {
    Assoc* a = Insert(key);
    if (!a) {
        dummy_.Empty();
        return dummy_;
    }
    return a->value;
}

bool CMapStringToString::RemoveKey(const char* key) {
    if (!key) key = "";
    if (buckets_.empty()) return false;
    UINT h = Hash(key);
    for (Assoc** link = &buckets_[h % buckets_.size()]; *link; link = &(*link)->next) {
        if ((*link)->hash == h && (*link)->key == key) {
            Assoc* gone = *link;
            *link = gone->next;
            delete gone;
            --count_;
            return true;
        }
    }
    return false;
}

void CMapStringToString::RemoveAll() {
    for (Assoc*& head : buckets_) {
        while (head) {
            Assoc* next = head->next;
            delete head;
            head = next;
        }
    }
    count_ = 0;
}

// A position is the association itself; the walk goes bucket by bucket.
POSITION CMapStringToString::GetStartPosition() const {
    for (Assoc* head : buckets_) {
        if (head) return reinterpret_cast<POSITION>(head);
    }
    return nullptr;
}

void CMapStringToString::GetNextAssoc(POSITION& pos, CString& key, CString& value) const {
    Assoc* a = reinterpret_cast<Assoc*>(pos);
    key = a->key;
    value = a->value;
    Assoc* next = a->next;
    for (size_t b = a->hash % buckets_.size() + 1; !next && b < buckets_.size(); ++b) {
        next = buckets_[b];
    }
    pos = reinterpret_cast<POSITION>(next);
}
