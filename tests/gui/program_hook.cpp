// The test hook of the program's test build: a hidden window that answers the GUI test
// driver's requests about the program's state, and a record of every alert shown. It is
// linked only into the test build; the program itself has no hook.
//
// Requests (one line, words separated by spaces) and their replies:
//   ping                        pong
//   docs                        one line per document: title|path|modified|pages|page|saveType
//   titles                      the main window's title, then each document window's
//   objects                     the front sketch's objects: class kind type exists hidden x y
//                               (x y: a point's position, else the centre of its bounds)
//   tool                        the current tool's number
//   alerts                      every alert shown so far: caption|text
//   front                       "main" when the main window is the foreground window and
//                               not minimised, else "other"
//   viewpoint X Y               the screen point of sketch point (X, Y) in the front view
//   tabs                        the front window's tab strip: width|shown|tab texts
//   viewbottom                  the screen y below the front view (its scroll bar's top)
//   toolbutton ID               the screen point at the middle of the toolbox button of
//                               command ID, or "none" when the bar does not show it
//   command ID                  posts the command to the main frame
//   build-segment X1 Y1 X2 Y2   two free points and the segment between them
//   dialog                      the front dialog's title, then id|class|text per control
//   dialog-set ID TEXT          sets a control's text in the front dialog
//   dialog-click ID             posts a button's click to the front dialog
//   dialog-select ID INDEX      chooses an item of a combo box in the front dialog
//   add-page NAME               appends a page to the front document and rebuilds its tabs
//   minimise                    minimises the main window
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/app.h"
#include "classlib/doctempl.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/current_tool.h"
#include "gui/hook_protocol.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/frames/child_frame.h"
#include "ui/frames/main_frame.h"
#include "ui/frames/page_tabs.h"
#include "ui/view/sketch_view.h"

namespace {

std::vector<std::string> gAlerts;
HHOOK gCbtHook = nullptr;

std::string TextOf(HWND hwnd) {
    char text[1024] = "";
    if (hwnd) GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Alerts and message boxes are dialogs whose text is the static control 0xFFFF.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        HWND text = ClassOf(hwnd) == "#32770" ? GetDlgItem(hwnd, 0xFFFF) : nullptr;
        if (text) {
            std::string line = TextOf(hwnd) + "|" + TextOf(text);
            for (char& c : line) {
                if (c == '\n' || c == '\r') c = ' ';
            }
            gAlerts.push_back(line);
        }
    }
    return CallNextHookEx(gCbtHook, code, wParam, lParam);
}

HWND MainWindow() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

CFernwickDoc* FrontDoc() { return gEngine.frontSketch ? DocumentOfSketch(gEngine.frontSketch) : nullptr; }

// The dialog on top: a visible, enabled dialog of this thread.
BOOL CALLBACK FindFrontDialog(HWND hwnd, LPARAM data) {
    if (ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        *reinterpret_cast<HWND*>(data) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FrontDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFrontDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string Docs() {
    std::ostringstream out;
    ForEachDocument([&](CDocument* doc) {
        auto* fdoc = doc->IsKindOf(RUNTIME_CLASS(CFernwickDoc)) ? static_cast<CFernwickDoc*>(doc) : nullptr;
        EngineDocument* engine = fdoc ? fdoc->Engine() : nullptr;
        out << doc->GetTitle().c_str() << "|" << doc->GetPathName().c_str() << "|" << (doc->IsModified() ? 1 : 0)
            << "|" << (engine ? DocumentPageCount(engine) : 0) << "|" << (engine ? CurrentPageIndex(engine) : -1)
            << "|" << (fdoc ? fdoc->m_saveType : -1) << "\n";
    });
    return out.str();
}

std::string Titles() {
    std::ostringstream out;
    HWND main = MainWindow();
    out << TextOf(main) << "\n";
    ForEachDocument([&](CDocument* doc) {
        for (POSITION pos = doc->GetFirstViewPosition(); pos;) {
            CView* view = doc->GetNextView(pos);
            if (CFrameWnd* frame = view->GetParentFrame()) out << TextOf(frame->m_hWnd) << "\n";
        }
    });
    return out.str();
}

std::string Objects() {
    std::ostringstream out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "";
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        double x = (o->bounds.left + o->bounds.right) / 2.0;
        double y = (o->bounds.top + o->bounds.bottom) / 2.0;
        if (o->objectClass == kClassPoint) {
            x = PointPosition(o).x;
            y = PointPosition(o).y;
        }
        char line[160];
        std::snprintf(line, sizeof line, "%d %d %d %d %d %.1f %.1f\n", static_cast<int>(o->objectClass),
                      static_cast<int>(o->objectKind), static_cast<int>(o->constructionType),
                      static_cast<int>(o->exists), static_cast<int>(o->hidden), x, y);
        out << line;
    }
    return out.str();
}

CYRNView* FrontView() {
    CFernwickDoc* doc = FrontDoc();
    return doc ? doc->FrontView() : nullptr;
}

std::string ViewPoint(double x, double y) {
    CYRNView* view = FrontView();
    if (!view || !view->m_hWnd) return "none";
    POINT p = view->SketchToDevicePoint(ScreenPoint{ static_cast<int16_t>(std::lround(x)),
                                                     static_cast<int16_t>(std::lround(y)) });
    ClientToScreen(view->m_hWnd, &p);
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

std::string Tabs() {
    CYRNView* view = FrontView();
    CWnd* parent = view && view->m_hWnd ? CWnd::FromHandlePermanent(GetParent(view->m_hWnd)) : nullptr;
    if (!parent || !parent->IsKindOf(RUNTIME_CLASS(CYrnSplitter))) return "none";
    auto* splitter = static_cast<CYrnSplitter*>(parent);
    PageTabCtrl* tabs = splitter->TabControl();
    std::ostringstream out;
    out << splitter->StripWidth() << "|" << (splitter->StripShown() ? 1 : 0);
    for (int i = 0; tabs && i < tabs->GetItemCount(); ++i) out << "|" << tabs->ShownText(i).c_str();
    return out.str();
}

std::string BuildSegment(double x1, double y1, double x2, double y2) {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "no sketch";
    SketchScope scope(sketch);
    auto point = [](double x, double y) {
        const ObjectTemplate t = { kTypeFree, 0, 0, kClassPoint, 1, kKindPoint, 0 };
        SketchObject* p = ConstructObjectEx(&t, nullptr, 0, 0, nullptr, nullptr, false);
        if (p) {
            RecomputeObject(p, nullptr, true);
            SetPointPosition(p, x, y, 1, nullptr, false);
        }
        return p;
    };
    SketchObject* a = point(x1, y1);
    SketchObject* b = point(x2, y2);
    if (!a || !b) return "failed";
    PtrList parents = 0;
    if (!PtrListAppend(&parents, a) || !PtrListAppend(&parents, b)) return "failed";
    SketchObject* s = ConstructObject(kTypeSegment, nullptr, parents, 0, true, false, nullptr);
    if (!s) return "failed";
    RecomputeObject(s, nullptr, true);
    // As after a construction: the document has changes to save.
    if (sketch->document) SetDocumentModified(sketch->document, true);
    if (CFernwickDoc* doc = DocumentOfSketch(sketch)) doc->InvalidateViews(false, true, true);
    return "ok";
}

BOOL CALLBACK ListControl(HWND child, LPARAM data) {
    auto* out = reinterpret_cast<std::ostringstream*>(data);
    *out << GetDlgCtrlID(child) << "|" << ClassOf(child) << "|" << TextOf(child) << "\n";
    return TRUE;
}

std::string DialogControls() {
    HWND dialog = FrontDialog();
    if (!dialog) return "none";
    std::ostringstream out;
    out << TextOf(dialog) << "\n";
    EnumChildWindows(dialog, ListControl, reinterpret_cast<LPARAM>(&out));
    return out.str();
}

// Finds a control of the dialog by identifier at any depth (the Explorer-style dialog
// holds the hook's child dialog).
struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindControl(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

HWND DialogControl(HWND dialog, int id) {
    if (HWND direct = GetDlgItem(dialog, id)) return direct;
    ControlSearch search{ id, nullptr };
    EnumChildWindows(dialog, FindControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Answer(const std::string& request) {
    std::istringstream in(request);
    std::string verb;
    in >> verb;
    if (verb == "ping") return "pong";
    if (verb == "docs") return Docs();
    if (verb == "titles") return Titles();
    if (verb == "objects") return Objects();
    if (verb == "tool") return std::to_string(CurrentToolId());
    if (verb == "tabs") return Tabs();
    if (verb == "viewbottom") {
        CYRNView* view = FrontView();
        if (!view || !view->m_hWnd) return "none";
        RECT r;
        GetWindowRect(view->m_hWnd, &r);
        return std::to_string(r.bottom);
    }
    if (verb == "toolbutton") {
        unsigned id = 0;
        in >> id;
        auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
        CToolBar* bar = frame ? frame->m_toolbox : nullptr;
        RECT r{}, client{};
        if (!bar || !bar->m_hWnd || !bar->SendMessage(TB_GETRECT, id, reinterpret_cast<LPARAM>(&r))) return "none";
        // A button the bar clips away cannot be clicked.
        GetClientRect(bar->m_hWnd, &client);
        POINT p{ (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
        if (!PtInRect(&client, p)) return "none";
        ClientToScreen(bar->m_hWnd, &p);
        return std::to_string(p.x) + " " + std::to_string(p.y);
    }
    if (verb == "alerts") {
        std::string all;
        for (const std::string& line : gAlerts) all += line + "\n";
        return all;
    }
    if (verb == "front") {
        HWND main = MainWindow();
        return main && GetForegroundWindow() == main && !IsIconic(main) ? "main" : "other";
    }
    if (verb == "viewpoint") {
        double x = 0, y = 0;
        in >> x >> y;
        return ViewPoint(x, y);
    }
    if (verb == "command") {
        unsigned id = 0;
        in >> id;
        if (!MainWindow()) return "no window";
        PostMessageA(MainWindow(), WM_COMMAND, id, 0);
        return "ok";
    }
    if (verb == "build-segment") {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        in >> x1 >> y1 >> x2 >> y2;
        return BuildSegment(x1, y1, x2, y2);
    }
    if (verb == "dialog") return DialogControls();
    if (verb == "dialog-select") {
        int id = 0, index = 0;
        in >> id >> index;
        HWND dialog = FrontDialog();
        HWND combo = dialog ? DialogControl(dialog, id) : nullptr;
        if (!combo) return "no control";
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        // What a combo box tells its parent when the user picks an item.
        SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
        return "ok";
    }
    if (verb == "add-page") {
        std::string name;
        std::getline(in, name);
        if (!name.empty() && name[0] == ' ') name.erase(0, 1);
        CFernwickDoc* doc = FrontDoc();
        if (!doc || !doc->Engine()) return "no document";
        void* item = nullptr;
        if (AddDocumentItem(doc->Engine(), &item, kDocumentItemPage, doc) != kResultOK || !item) return "failed";
        if (!name.empty()) SetSketchTitle(static_cast<Sketch*>(item), name.c_str());
        RebuildPageTabs(doc->Engine());
        UpdateWindowTitles(doc->Engine());
        return "ok";
    }
    if (verb == "dialog-set" || verb == "dialog-click") {
        int id = 0;
        in >> id;
        std::string text;
        std::getline(in, text);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        HWND dialog = FrontDialog();
        HWND control = dialog ? DialogControl(dialog, id) : nullptr;
        if (!control) return "no control";
        if (verb == "dialog-set") {
            SetWindowTextA(control, text.c_str());
        } else {
            // Posted: the click may open a modal loop, which the driver must not wait for.
            PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
        }
        return "ok";
    }
    if (verb == "minimise") {
        if (MainWindow()) ShowWindow(MainWindow(), SW_MINIMIZE);
        return "ok";
    }
    return "unknown request";
}

LRESULT CALLBACK HookWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcA(hwnd, message, wParam, lParam);
    auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != kHookRequest) return FALSE;
    const std::string request(static_cast<const char*>(data->lpData), data->cbData);
    const std::string reply = Answer(request);
    COPYDATASTRUCT answer{ kHookReply, static_cast<DWORD>(reply.size()), const_cast<char*>(reply.data()) };
    DWORD_PTR result = 0;
    SendMessageTimeoutA(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd),
                        reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG, 5000, &result);
    return TRUE;
}

// Made before the program starts: a hidden top-level window of the user-interface
// thread, so that its requests are answered between the program's own messages and in
// every modal loop.
struct HookInstaller {
    HookInstaller() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HookWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHookWindowClass;
        RegisterClassA(&wc);
        CreateWindowExA(0, kHookWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        gCbtHook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    }
} gHookInstaller;

}  // namespace
