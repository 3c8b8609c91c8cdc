// CString: a counted, always NUL-terminated byte string with value semantics.
#pragma once

#include "classlib/base.h"

#include <cstdarg>
#include <cstring>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : s_(text ? text : "") {}
    CString(const char* text, int length) : s_(text ? std::string(text, length > 0 ? length : 0) : "") {}
    CString(char ch, int repeat = 1) : s_(repeat > 0 ? repeat : 0, ch) {}
    CString(const std::string& text) : s_(text) {}

    int GetLength() const { return static_cast<int>(s_.size()); }
    bool IsEmpty() const { return s_.empty(); }
    void Empty() { s_.clear(); }
    operator const char*() const { return s_.c_str(); }
    const char* c_str() const { return s_.c_str(); }
    const std::string& str() const { return s_; }

    char GetAt(int i) const { return s_[static_cast<size_t>(i)]; }
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char ch) { s_[static_cast<size_t>(i)] = ch; }

    CString& operator=(const char* text) { s_ = text ? text : ""; return *this; }
    CString& operator=(char ch) { s_.assign(1, ch); return *this; }
    CString& operator+=(const char* text) { if (text) s_ += text; return *this; }
    CString& operator+=(const CString& other) { s_ += other.s_; return *this; }
    CString& operator+=(char ch) { s_ += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.s_ + b.s_); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.s_ + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.s_); }
    friend CString operator+(const CString& a, char b) { return CString(a.s_ + b); }
    friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
    friend bool operator==(const CString& a, const char* b) { return a.s_ == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

    int Compare(const char* text) const { return std::strcmp(s_.c_str(), text ? text : ""); }
    int CompareNoCase(const char* text) const { return lstrcmpiA(s_.c_str(), text ? text : ""); }

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString SpanExcluding(const char* set) const;

    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* set) const;

    int Replace(char from, char to);
    int Replace(const char* from, const char* to);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);

    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();
    void TrimLeft(char ch);
    void TrimRight(char ch);

    void Format(const char* format, ...);
    void FormatV(const char* format, va_list args);
    void FormatMessage(const char* format, ...);

    // A writable buffer of at least minLength characters; ReleaseBuffer takes the
    // length back (-1: up to the first NUL).
    char* GetBuffer(int minLength);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // The string resource of the program, else the library's own string of that number.
    bool LoadString(UINT id);

private:
    std::string s_;
};

// "%1" and "%2" of string resource id replaced by the arguments.
void FormatResourceString(CString& out, UINT id, const char* arg1);
void FormatResourceString(CString& out, UINT id, const char* arg1, const char* arg2);
void SubstituteArguments(CString& out, const char* format, const char* const* args, int count);

// Field n (0-based) of a string made of fields separated by '\n'; false when absent.
bool ExtractField(CString& out, const char* full, int n, char separator = '\n');

// The library's built-in text of a string number, or null.
const char* BuiltInLibraryString(UINT id);
