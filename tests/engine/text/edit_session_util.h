// A bare edit session for the tests of its owners: no callbacks, the tree given as
// layout text, measured in the test style of the text port double.
#pragma once
#include <memory>
#include <string>

#include "engine/text/layout_edit_session.h"
#include "tests/engine/text/layout_test_util.h"

struct EditSessionFree {
    void operator()(LayoutEditSession* session) const { FreeLayoutEditSession(session, 0); }
};
using EditSessionPtr = std::unique_ptr<LayoutEditSession, EditSessionFree>;

inline EditSessionPtr BareEditSession(const std::string& text, int32_t selectionKind = kEditCaretAtEnd) {
    const LayoutDrawState state = TestDrawState();
    LayoutNode* tree = ParseLayout(text).release();
    const ScreenRect frame{ 10, 20, 200, 60 };
    LayoutEditSession* s = CreateLayoutEditSession(tree, &state, &frame, selectionKind, nullptr,
                                                   nullptr, nullptr, nullptr, nullptr);
    if (!s) FreeLayoutNode(tree);
    return EditSessionPtr(s);
}

// A session with one typed change that can be undone.
inline EditSessionPtr EditSessionWithUndo() {
    EditSessionPtr s = BareEditSession("<T'a'>");
    if (s) InsertPlainText(s.get(), "b", 1);
    return s;
}
