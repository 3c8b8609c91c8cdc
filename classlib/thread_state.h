// State the library keeps per user-interface thread.
#pragma once

#include "classlib/base.h"

struct ThreadState {
    MSG lastSentMsg{};               // the message being handled (for Default)
    CFrameWnd* routingFrame = nullptr;  // the frame routing the current command
    CWnd* wndInit = nullptr;         // the object waiting for its window's creation
    HHOOK createHook = nullptr;
    CWinThread* thread = nullptr;    // the thread object running the message loop
    POINT lastCursorPos{ -1, -1 };   // for telling real mouse moves from repeats
    UINT lastMouseMsg = 0;
    int waitCursorCount = 0;
    HCURSOR waitCursorRestore = nullptr;
};

ThreadState* CurrentThreadState();

// Sets the routing frame for the life of the object.
class RoutingFramePush {
public:
    explicit RoutingFramePush(CFrameWnd* frame) : state_(CurrentThreadState()), old_(state_->routingFrame) {
        state_->routingFrame = frame;
    }
    ~RoutingFramePush() { state_->routingFrame = old_; }

private:
    ThreadState* state_;
    CFrameWnd* old_;
};
