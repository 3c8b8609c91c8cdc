// Helpers of the class library's tests: pumping messages with a time limit and
// leaving no quit message behind.
#pragma once

#include "classlib/base.h"

#include <functional>
#include <string>
#include <vector>

namespace classlib_test {

// Dispatches messages until done() holds or timeoutMs pass; true when done.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            if (done()) return true;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

// Removes what a destroyed main window left in the queue (its quit message).
inline void DrainMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) ::DispatchMessageA(&msg);
    }
}

// A log the test classes append to, read back as one string.
struct Log {
    std::vector<std::string> entries;
    void Add(const std::string& s) { entries.push_back(s); }
    std::string Joined() const {
        std::string out;
        for (const std::string& e : entries) out += (out.empty() ? "" : " ") + e;
        return out;
    }
    void Clear() { entries.clear(); }
};

}  // namespace classlib_test
