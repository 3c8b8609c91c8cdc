#include "ui/frames/clipboard_viewer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>

namespace {

// Every test window is a well-behaved viewer through the same link code as the main frame,
// counting the clipboard changes it hears of.
struct Viewer {
    ClipboardViewerLink link;
    int draws = 0;
};
std::map<HWND, Viewer> gViewers;

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = gViewers.find(window);
    if (found != gViewers.end()) {
        Viewer& v = found->second;
        if (message == WM_DRAWCLIPBOARD) {
            ++v.draws;
            PassDrawClipboard(v.link);
            return 0;
        }
        if (message == WM_CHANGECBCHAIN) {
            PassChangeCbChain(&v.link, reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class ClipboardViewerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ViewerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ClipboardViewerTest";
        RegisterClassA(&wc);
    }
    void TearDown() override {
        for (auto& [window, viewer] : gViewers) {
            LeaveClipboardChain(window, &viewer.link);
            DestroyWindow(window);
        }
        gViewers.clear();
    }
    HWND Join() {
        HWND window = CreateWindowA("ClipboardViewerTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
        gViewers[window] = Viewer{};
        JoinClipboardChain(window, &gViewers[window].link);
        Pump();
        return window;
    }
    static void Pump() {
        for (int round = 0; round < 20; ++round) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
        }
    }
    // Another program's copy, as far as the viewers can tell.
    void Copy(HWND owner) {
        ASSERT_TRUE(OpenClipboard(owner));
        EmptyClipboard();
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
        std::memcpy(GlobalLock(text), "kite", 5);
        GlobalUnlock(text);
        SetClipboardData(CF_TEXT, text);
        CloseClipboard();
        Pump();
    }
    void ResetDraws() {
        for (auto& entry : gViewers) entry.second.draws = 0;
    }
};

}  // namespace

TEST_F(ClipboardViewerTest, ChangesReachEveryViewerAndALeavingOneIsSkipped) {
    HWND behind = Join();   // a viewer that joined before the frame
    HWND frame = Join();
    HWND front = Join();    // a second viewer, joined after the frame
    EXPECT_EQ(gViewers[frame].link.next, behind);
    EXPECT_EQ(gViewers[front].link.next, frame);

    HWND owner = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ResetDraws();
    Copy(owner);
    EXPECT_EQ(gViewers[front].draws, 1);
    EXPECT_EQ(gViewers[frame].draws, 1);
    EXPECT_EQ(gViewers[behind].draws, 1);

    // The viewer behind the frame leaves: the frame's next viewer becomes the one after it.
    const HWND afterBehind = gViewers[behind].link.next;  // a viewer from outside the test, if any
    LeaveClipboardChain(behind, &gViewers[behind].link);
    Pump();
    EXPECT_EQ(gViewers[frame].link.next, afterBehind);
    ResetDraws();
    Copy(owner);
    EXPECT_EQ(gViewers[front].draws, 1);
    EXPECT_EQ(gViewers[frame].draws, 1);
    EXPECT_EQ(gViewers[behind].draws, 0);

    // The frame leaves: the viewer in front now passes straight on.
    LeaveClipboardChain(frame, &gViewers[frame].link);
    Pump();
    EXPECT_EQ(gViewers[frame].link.next, nullptr);
    EXPECT_FALSE(gViewers[frame].link.joined);
    EXPECT_EQ(gViewers[front].link.next, afterBehind);
    ResetDraws();
    Copy(owner);
    EXPECT_EQ(gViewers[front].draws, 1);
    EXPECT_EQ(gViewers[frame].draws, 0);
    DestroyWindow(owner);
}
