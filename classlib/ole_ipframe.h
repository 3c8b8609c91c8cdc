// The frame around an embedded document's view while it is active in place inside its
// container: a child of the container's window, its bars in the container's frame, its
// menu shared with the container's, plus the resize bar and the drop target it keeps.
#pragma once
#include <windows.h>
#include <ole2.h>

#include "classlib/frame.h"

class COleServerDoc;

// The hatched border of an object active in place, with eight handles that resize it.
// It lies over the frame's client and lets the pointer through to the view beneath,
// except over a handle.
class COleResizeBar : public CWnd {
    DECLARE_DYNAMIC(COleResizeBar)
public:
    bool Create(CWnd* parent, DWORD style, UINT id);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The handles, clockwise from the top left corner: 0 top left, 1 top, 2 top right,
    // 3 right, 4 bottom right, 5 bottom, 6 bottom left, 7 left; -1 for none.
    static int HandleAt(const RECT& area, POINT p);
    static RECT HandleRect(const RECT& area, int handle);
    // The rectangle after its handle moved by (dx, dy): the handle's edges follow, and
    // the rectangle keeps a least size with its opposite edges where they were.
    static RECT DraggedRect(const RECT& start, int handle, int dx, int dy);

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void EndDrag(bool apply);

    int handle_ = -1;
    POINT dragFrom_{};
    RECT startPosition_{};
};

// Registers a window as a target of OLE drag and drop. The target takes nothing dropped.
class COleDropTarget : public CCmdTarget {
    DECLARE_DYNAMIC(COleDropTarget)
public:
    ~COleDropTarget() override;
    bool Register(CWnd* wnd);
    void Revoke();

private:
    HWND hwnd_ = nullptr;
    IDropTarget* target_ = nullptr;
};

class COleIPFrameWnd : public CFrameWnd {
    DECLARE_DYNAMIC(COleIPFrameWnd)
public:
    COleIPFrameWnd();
    ~COleIPFrameWnd() override;

    // Makes the frame and its view inside the container's window at the position.
    bool CreateInPlace(COleServerDoc* doc, CRuntimeClass* viewClass, HWND container, const RECT& position);
    // The bars the frame puts in the container's frame (and document frame, when it has one).
    virtual bool OnCreateControlBars(HWND containerFrame, HWND containerDocument);
    // The menu whose pop-ups join the container's in the shared menu.
    virtual HMENU BuildInPlaceMenu();
    // The container moved or clipped the object.
    void RepositionFrame(const RECT& position, const RECT& clip);
    // The frame's place in the container's window.
    RECT PositionInContainer() const;
    // The user dragged the resize bar to this place: the document asks the container.
    void OnResizeRequest(const RECT& position);
    // Asks the container's frame for room at its left for a bar of this width; the
    // bar's place in the container's frame client, or an empty rectangle.
    RECT ClaimLeftBorder(int width);

    IOleInPlaceFrame* m_pFrame = nullptr;
    IOleInPlaceUIWindow* m_pDocFrame = nullptr;
    HWND m_hContainerFrame = nullptr;
    COleServerDoc* m_pServerDoc = nullptr;
    HMENU m_hSharedMenu = nullptr;
    HOLEMENU m_hOleMenu = nullptr;
    OLEMENUGROUPWIDTHS m_menuWidths{};
};
