#include "classlib/str.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

CString CString::Left(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(s_.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(s_.substr(s_.size() - static_cast<size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::SpanExcluding(const char* set) const {
    size_t n = s_.find_first_of(set ? set : "");
    return CString(n == std::string::npos ? s_ : s_.substr(0, n));
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    size_t n = s_.find(ch, static_cast<size_t>(start));
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t n = s_.find(sub, static_cast<size_t>(start));
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::ReverseFind(char ch) const {
    size_t n = s_.rfind(ch);
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::FindOneOf(const char* set) const {
    size_t n = s_.find_first_of(set ? set : "");
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

int CString::Replace(char from, char to) {
    int count = 0;
    for (char& c : s_) {
        if (c == from) { c = to; ++count; }
    }
    return count;
}

int CString::Replace(const char* from, const char* to) {
    if (!from || !*from) return 0;
    const std::string f(from), t(to ? to : "");
    int count = 0;
    for (size_t pos = s_.find(f); pos != std::string::npos; pos = s_.find(f, pos + t.size())) {
        s_.replace(pos, f.size(), t);
        ++count;
    }
    return count;
}

int CString::Remove(char ch) {
    size_t before = s_.size();
    s_.erase(std::remove(s_.begin(), s_.end(), ch), s_.end());
    return static_cast<int>(before - s_.size());
}

int CString::Insert(int index, char ch) {
    index = std::clamp(index, 0, GetLength());
    s_.insert(s_.begin() + index, ch);
    return GetLength();
}

int CString::Insert(int index, const char* text) {
    index = std::clamp(index, 0, GetLength());
    s_.insert(static_cast<size_t>(index), text ? text : "");
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0) {
        s_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    }
    return GetLength();
}

void CString::MakeUpper() {
    for (char& c : s_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower() {
    for (char& c : s_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void CString::TrimLeft() {
    size_t n = 0;
    while (n < s_.size() && std::isspace(static_cast<unsigned char>(s_[n]))) ++n;
    s_.erase(0, n);
}

void CString::TrimRight() {
    while (!s_.empty() && std::isspace(static_cast<unsigned char>(s_.back()))) s_.pop_back();
}

void CString::TrimLeft(char ch) {
    size_t n = 0;
    while (n < s_.size() && s_[n] == ch) ++n;
    s_.erase(0, n);
}

void CString::TrimRight(char ch) {
    while (!s_.empty() && s_.back() == ch) s_.pop_back();
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) {
        s_.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    s_.assign(buffer.data(), static_cast<size_t>(n));
}

void CString::FormatMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char* out = nullptr;
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, format,
                               0, 0, reinterpret_cast<char*>(&out), 0, &args);
    va_end(args);
    s_.assign(out ? out : "", n);
    if (out) LocalFree(out);
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) s_.resize(static_cast<size_t>(minLength));
    return s_.data();
}

char* CString::GetBufferSetLength(int length) {
    s_.resize(static_cast<size_t>(length > 0 ? length : 0));
    return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        newLength = static_cast<int>(std::strlen(s_.c_str()));
    }
    s_.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

bool CString::LoadString(UINT id) {
    char buffer[1024];
    int n = ::LoadStringA(ResourceModule(), id, buffer, sizeof buffer);
    if (n > 0) {
        s_.assign(buffer, static_cast<size_t>(n));
        return true;
    }
    if (const char* text = BuiltInLibraryString(id)) {
        s_ = text;
        return true;
    }
    s_.clear();
    return false;
}

void SubstituteArguments(CString& out, const char* format, const char* const* args, int count) {
    std::string result;
    for (const char* p = format ? format : ""; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            int n = p[1] - '1';
            if (n < count && args[n]) result += args[n];
            ++p;
        } else {
            result += *p;
        }
    }
    out = CString(result);
}

void FormatResourceString(CString& out, UINT id, const char* arg1) {
    CString format;
    format.LoadString(id);
    SubstituteArguments(out, format, &arg1, 1);
}

void FormatResourceString(CString& out, UINT id, const char* arg1, const char* arg2) {
    CString format;
    format.LoadString(id);
    const char* args[2] = { arg1, arg2 };
    SubstituteArguments(out, format, args, 2);
}

bool ExtractField(CString& out, const char* full, int n, char separator) {
    out.Empty();
    if (!full || n < 0) return false;
    const char* p = full;
    for (; n > 0; --n) {
        p = std::strchr(p, separator);
        if (!p) return false;
        ++p;
    }
    const char* end = std::strchr(p, separator);
    out = end ? CString(p, static_cast<int>(end - p)) : CString(p);
    return true;
}
