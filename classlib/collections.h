// Arrays, lists and the string map. Growth failures are reported as false / null
// rather than thrown, so that callers keep their data when memory runs out.
#pragma once

#include "classlib/runtime_class.h"
#include "classlib/str.h"

#include <new>
#include <utility>
#include <vector>

template <class T>
class CArray : public CObject {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(items_.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return items_.empty(); }
    bool SetSize(INT_PTR size) {
        try { items_.resize(static_cast<size_t>(size)); } catch (const std::bad_alloc&) { return false; }
        return true;
    }
    void RemoveAll() { items_.clear(); }
    T GetAt(INT_PTR i) const { return items_[static_cast<size_t>(i)]; }
    void SetAt(INT_PTR i, const T& v) { items_[static_cast<size_t>(i)] = v; }
    T& ElementAt(INT_PTR i) { return items_[static_cast<size_t>(i)]; }
    T& operator[](INT_PTR i) { return ElementAt(i); }
    const T& operator[](INT_PTR i) const { return items_[static_cast<size_t>(i)]; }
    T* GetData() { return items_.data(); }
    // The new element's index, or -1 when memory ran out.
    INT_PTR Add(const T& v) {
        try { items_.push_back(v); } catch (const std::bad_alloc&) { return -1; }
        return GetSize() - 1;
    }
    bool SetAtGrow(INT_PTR i, const T& v) {
        if (i >= GetSize() && !SetSize(i + 1)) return false;
        items_[static_cast<size_t>(i)] = v;
        return true;
    }
    bool InsertAt(INT_PTR i, const T& v, INT_PTR count = 1) {
        try { items_.insert(items_.begin() + i, static_cast<size_t>(count), v); } catch (const std::bad_alloc&) { return false; }
        return true;
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1) {
        items_.erase(items_.begin() + i, items_.begin() + i + count);
    }

private:
    std::vector<T> items_;
};

class CPtrArray : public CArray<void*> {};
class CObArray : public CArray<CObject*> {};
class CDWordArray : public CArray<DWORD> {};
class CUIntArray : public CArray<UINT> {};
class CWordArray : public CArray<WORD> {};
class CByteArray : public CArray<BYTE> {};
class CStringArray : public CArray<CString> {};

// A doubly linked list; a POSITION is a node.
template <class T>
class CList : public CObject {
    struct Node { Node* next; Node* prev; T data; };

public:
    CList() = default;
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return count_; }
    INT_PTR GetSize() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    T& GetHead() { return head_->data; }
    T& GetTail() { return tail_->data; }
    T GetHead() const { return head_->data; }
    T GetTail() const { return tail_->data; }
    POSITION GetHeadPosition() const { return ToPos(head_); }
    POSITION GetTailPosition() const { return ToPos(tail_); }
    T& GetNext(POSITION& pos) { Node* n = FromPos(pos); pos = ToPos(n->next); return n->data; }
    T GetNext(POSITION& pos) const { Node* n = FromPos(pos); pos = ToPos(n->next); return n->data; }
    T& GetPrev(POSITION& pos) { Node* n = FromPos(pos); pos = ToPos(n->prev); return n->data; }
    T& GetAt(POSITION pos) { return FromPos(pos)->data; }
    void SetAt(POSITION pos, const T& v) { FromPos(pos)->data = v; }

    // The new node, or null when memory ran out.
    POSITION AddHead(const T& v) { return InsertBefore(GetHeadPosition(), v); }
    POSITION AddTail(const T& v) { return InsertAfter(GetTailPosition(), v); }
    POSITION InsertBefore(POSITION pos, const T& v) {
        Node* at = FromPos(pos);
        Node* n = new (std::nothrow) Node{ at, at ? at->prev : tail_, v };
        if (!n) return nullptr;
        if (!at) n->prev = tail_;
        Link(n);
        return ToPos(n);
    }
    POSITION InsertAfter(POSITION pos, const T& v) {
        Node* at = FromPos(pos);
        Node* n = new (std::nothrow) Node{ at ? at->next : nullptr, at, v };
        if (!n) return nullptr;
        Link(n);
        return ToPos(n);
    }
    T RemoveHead() { T v = head_->data; RemoveAt(GetHeadPosition()); return v; }
    T RemoveTail() { T v = tail_->data; RemoveAt(GetTailPosition()); return v; }
    void RemoveAt(POSITION pos) {
        Node* n = FromPos(pos);
        (n->prev ? n->prev->next : head_) = n->next;
        (n->next ? n->next->prev : tail_) = n->prev;
        delete n;
        --count_;
    }
    void RemoveAll() {
        while (head_) RemoveAt(GetHeadPosition());
    }
    POSITION Find(const T& v, POSITION after = nullptr) const {
        for (Node* n = after ? FromPos(after)->next : head_; n; n = n->next) {
            if (n->data == v) return ToPos(n);
        }
        return nullptr;
    }
    POSITION FindIndex(INT_PTR index) const {
        Node* n = head_;
        for (; n && index > 0; --index) n = n->next;
        return index == 0 ? ToPos(n) : nullptr;
    }

private:
    static POSITION ToPos(Node* n) { return reinterpret_cast<POSITION>(n); }
    static Node* FromPos(POSITION p) { return reinterpret_cast<Node*>(p); }
    void Link(Node* n) {
        (n->prev ? n->prev->next : head_) = n;
        (n->next ? n->next->prev : tail_) = n;
        ++count_;
    }

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    INT_PTR count_ = 0;
};

class CPtrList : public CList<void*> {};
class CObList : public CList<CObject*> {};
class CStringList : public CList<CString> {};

// Strings to strings through a hash table of a chosen size (chained buckets).
class CMapStringToString : public CObject {
public:
    explicit CMapStringToString(INT_PTR blockSize = 10);
    ~CMapStringToString() override;

    // The table's bucket count; only before the first insertion.
    void InitHashTable(UINT size);
    UINT GetHashTableSize() const { return static_cast<UINT>(buckets_.size()); }
    INT_PTR GetCount() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    bool Lookup(const char* key, CString& value) const;
    // False when memory ran out (the map is unchanged).
    bool SetAt(const char* key, const char* value);
    CString& operator[](const char* key);
    bool RemoveKey(const char* key);
    void RemoveAll();
    POSITION GetStartPosition() const;
    void GetNextAssoc(POSITION& pos, CString& key, CString& value) const;

private:
    struct Assoc { Assoc* next; UINT hash; CString key; CString value; };
    static UINT Hash(const char* key);
    Assoc* Find(const char* key, UINT* bucket) const;
    Assoc* Insert(const char* key);

    std::vector<Assoc*> buckets_;
    INT_PTR count_ = 0;
    CString dummy_;
};
