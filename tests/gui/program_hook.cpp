// The test hook of the program's test build: a hidden window that answers the GUI test
// driver's requests about the program's state, and a record of every alert shown. It is
// linked only into the test build; the program itself has no hook.
//
// Requests (one line, words separated by spaces) and their replies:
//   ping                        pong
//   docs                        one line per document: title|path|modified|pages|page|saveType
//   titles                      the main window's title, then each document window's
//   labels                      the front sketch's objects: label shown (0 or 1)|label text
//                               as it stands (none is made)
//   layout-control ID           the plain text of the layout a control of the front dialog
//                               shows (a layout button), or "none"
//   objects                     the front sketch's objects: class kind type exists hidden x y
//                               (x y: a point's position, else the centre of its bounds)
//   lit                         the positions of the front sketch's highlighted objects
//   tool                        the current tool's number
//   alerts                      every alert shown so far: caption|text
//   front                       "main" when the main window is the foreground window and
//                               not minimised, else "other"
//   viewpoint X Y               the screen point of sketch point (X, Y) in the front view
//   tabs                        the front window's tab strip: width|shown|tab texts
//   viewbottom                  the screen y below the front view (its scroll bar's top)
//   toolbutton ID               the screen point at the middle of the toolbox button of
//                               command ID, or "none" when the bar does not show it (the
//                               in-place toolbox while a sketch is active in place)
//   command ID                  posts the command to the main frame
//   build-segment X1 Y1 X2 Y2   two free points and the segment between them
//   dialog                      the front dialog's title, then per control
//                               id|class|text|left top right bottom|shown|enabled|checked|focus
//                               (checked 2: a three-state box in its third state)
//   sheet                       the front property sheet: caption|active tab index|1 when
//                               it is enabled, else 0; then per tab: text|left top right
//                               bottom (screen); or "none"
//   dialog-rect                 the front dialog's screen rectangle: left top right bottom
//   pick-dialog                 opens a modal sketch-interactive dialog (with a size grip)
//                               that picks points from the sketch
//   picks                       the positions of the points it picked, in order
//   hot                         the position of the object highlighted for a pick, or "none"
//   busy-pause MS               every update of a long operation lets MS milliseconds of
//                               messages through first (and again once its window is open)
//   dialog-set ID TEXT          sets a control's text in the front dialog
//   dialog-click ID             posts a button's click to the front dialog
//   dialog-select ID INDEX      chooses an item of a combo box in the front dialog
//   add-page NAME               appends a page to the front document and rebuilds its tabs
//   minimise                    minimises the main window
//   menus                       the main window's menu bar, one line per item:
//                               depth|text|id|row|grey|check (row: the command's menu code, or -1)
//   popup-menu                  the open pop-up menu's items in the same form, or "none"
//   stream-codes                the built-in menu description's command items in order: the
//                               menu code and the row it names (-1 for none)
//   select I...                 selects the front sketch's objects by position (none: clears)
//   selection                   the positions of the selected objects
//   toolbox                     the frame's toolbox: current button, arrow and straightedge
//                               variants, the engine's selected item and member, then per button: id|image|checked|pressed|enabled
//   menurect I [J]              the screen rectangle of menu bar item I, or of item J of its
//                               pop-up while that is open: left top right bottom
//   popup-rect J                the screen rectangle of item J of the open pop-up menu
//   opened                      milliseconds from the last press of the primary button to the
//                               last pop-up window (pop-out or menu) made for the main window
//   popout                      the open pop-out: group placement members hot, then per cell
//                               the screen centre; or "none"
//   frames [I]                  the animation frames the front sketch has run; with I also
//                               that object's x y as "objects" gives them, read together
//   values                      the front sketch's measurements and calculations: position value
//   build-parameter V           a new parameter of value V with its default change settings
//   status                      the text of the status bar's first pane
//   undo                        the Undo item's text for the front sketch
//   editing                     "1" while a caption is edited in the front sketch, else "0"
//   group-text G I              the text of string group G, item I, as the program finds it
//   toolbox-shown               "1" when the toolbox bar's window is shown, else "0"
//   tooltip                     the text of each tool tip window on the screen, one per line
//   symbol-glyph CODE           the math symbol font's face, then how the character CODE
//                               of that font draws at 32 pixels: "ink N box M", N the
//                               inked pixels, M those that differ from the font's missing-
//                               character box drawn the same way (0: it draws as a box)
//   scrollbars                  the front document window's scroll bars that are shown, one
//                               per line: "control H|V min max page pos" for a scroll bar
//                               window, "own H|V" for a window's own bar (its style)
//   scrollbar-end H|V           the screen point on the far arrow (right, bottom) of the
//                               front document window's shown scroll bar of that direction
//   colors                      the front sketch's objects: class type r,g,b value (the
//                               object's colour; its measured value, or "-")
//   preview                     the open print preview: zoom, first page, pages shown and
//                               counted, the vertical bar's range (or none), whether the
//                               horizontal bar shows, the print settings and the page's print
//                               extent; or "none"
//   preview-control ID          a control of the preview bar: screen rect, enabled, checked|text
//   preview-page I              the screen rect of the I-th shown page of the preview
//   print-scale P               the front page's print scale becomes P percent
//   background R G B            gives the front sketch that background colour
//   bounds I                    the bounds of the front sketch's object at position I:
//                               left top right bottom, in sketch pixels
//   dialog-answer KIND ok|cancel [V...]
//                               the answer of the next command dialog of that kind: for the
//                               dialogs whose record is a row of fields (Parametric Color),
//                               the values put into fields 0, 1, ... before it closes
//   dialog-edit KIND ok|cancel EDIT [/ EDIT...]
//                               the answer of the next Preferences (5) or Document Options
//                               (12) run: the edits its sheet or dialog makes (see
//                               EditOptionsRecord); dialog-runs shows the pages shown and the
//                               start page, or the view it opened on
//   units                       the front sketch's distance unit, then new sketches'
//   dialog-runs                 each command dialog run so far: kind|ok or cancel|the
//                               values of its fields as it opened ("sheet" instead of ok or
//                               cancel: an unscripted Properties sheet the user answered)
//   edited-text                 the layout text of the caption being edited, or "none"
//   edit-frame                  the frame around the caption being edited (sketch pixels):
//                               left top right bottom, or "none"
//   caption I                   object I's text: its block's wrap width (0 none), its rows'
//                               plain texts separated by "/", then its layout text:
//                               width|rows|text, or "none"
//   styles                      the front sketch's objects: class, the text style's eleven
//                               fields, then "|" and those of a caption's text (or "-"),
//                               then "|" and its layout text
//   motions                     the front sketch's motions: object index, speed (1 medium),
//                               paused, finished
//   bars                        the text palette, notation bar and motion controller: name shown floating
//                               left top right bottom, then per control or button:
//                               "  id|text|left top right bottom|enabled|checked" (screen)
//   script-view                 the Script View: "script shown floating l t r b ...", its
//                               floating frame "  frame|title|l t r b|corner-less sizing|
//                               owned by the main frame|above the main frame",
//                               each control "  id|text|l t r b|enabled|visible", then
//                               "  rows|items|rows|top item|pressed row|extent" and per row
//                               "  row N|l t r b|highlight|separator|given index|object's
//                               place in the tool (-1 none)|its colour|line style|traced"
//   buttons                     the front sketch's action buttons: position|type|caption|
//                               run state|left top right bottom
//   build-buttons KIND          engine-made action buttons (animate, move, scroll, link,
//                               present, address:TEXT) in the front sketch: "ok", or why not
//   window                      the front sketch's window rectangle: left top right bottom
//   list-lines ID               the lines of a list box of the front dialog:
//                               index|text|selected|left top right bottom (screen)
//   menu-item-rect TEXT         the screen rectangle of the item of that text in any open
//                               pop-up menu (submenus too), or "none"
//   cursor                      the shown cursor: "list-item" (the program's list-line
//                               cursor), "sizens", "no", "arrow" or "other"
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/app.h"
#include "classlib/docmgr.h"
#include "classlib/doctempl.h"
#include "engine/calc/calc_editor.h"
#include "engine/core/drawing_pass.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/point_objects.h"
#include "engine/core/points.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/measurements.h"
#include "engine/core/services/tables.h"
#include "engine/core/sketch.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/current_tool.h"
#include "engine/interact/doc_options.h"
#include "engine/interact/custom_tool_library.h"
#include "engine/interact/object_properties.h"
#include "engine/interact/parametric_color_command.h"
#include "engine/core/clipboard_availability.h"
#include "engine/interact/preferences_dialog.h"
#include "engine/core/services/later_release.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/tool_playback.h"
#include "engine/interact/toolbox.h"
#include "engine/interact/undo.h"
#include "engine/interact/caption_editing.h"
#include "engine/core/services/string_groups.h"
#include "engine/text/captions.h"
#include "engine/text/layout_edit_session.h"
#include "engine/text/layout.h"
#include "engine/text/object_labels.h"
#include "gui/hook_engine_state.h"
#include "gui/hook_protocol.h"
#include "platform/win32/fonts.h"
#include "platform/win32/test_hooks.h"
#include "ui/app/main_app.h"
#include "ui/dialogs/state_button.h"
#include "ui/dialogs/yrn_dialog.h"
#include "ui/doc/document_services.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/frames/child_frame.h"
#include "ui/frames/inplace_frame.h"
#include "ui/resource_ids.h"
#include "ui/frames/main_frame.h"
#include "engine/interact/motion.h"
#include "ui/frames/page_tabs.h"
#include "ui/app/main_app.h"
#include "engine/core/services/user_interface.h"
#include "ui/menus.h"
#include "ui/view/yrn_preview.h"
#include "ui/portable/menu_stream.h"
#include "ui/splash/splash_wnd.h"
#include "ui/tool_popout.h"
#include "ui/toolbox_bar.h"
#include "ui/view/sketch_view.h"

namespace {

std::vector<std::string> gAlerts;
HHOOK gCbtHook = nullptr;
HHOOK gMessageHook = nullptr;
DWORD gButtonDownTime = 0;
DWORD gPopupMadeTime = 0;

HWND MainWindow();

// Scripted answers of the command dialogs, and what each dialog opened with.
struct DialogAnswer {
    int32_t kind;
    bool ok;
    std::vector<double> values;
    // The Properties sheet: "page.field=value" settings, a text for a text field.
    std::vector<std::string> settings;
    std::vector<std::string> edits;  // for the Preferences sheet and Document Options
};
std::deque<DialogAnswer> gDialogAnswers;
std::vector<std::string> gDialogRuns;

bool RecordIsFieldRow(int32_t kind) { return kind == kDialogParamColor || kind == kDialogParamColorRgb; }

// A field's value as a number, read and written by its kind.
double FieldNumber(const DialogField& f) { return f.kind == kFieldNumber ? f.value.real : f.value.integer; }
void SetFieldNumber(DialogField* f, double v) {
    if (f->kind == kFieldNumber) f->value.real = v;
    else f->value.integer = static_cast<int32_t>(v);
}

// What the Properties sheet opened with: the object's place in the sketch, the start
// page, the object's hidden state and whether it is selected alone.
std::string PropertiesOpened(const PropertiesPages* pages) {
    const DialogField* object = pages->pages[kPageObject];
    if (!object) return "no pages";
    auto* o = static_cast<SketchObject*>(object[0].value.pointer);
    int index = 0;
    for (SketchObject* s = gEngine.frontSketch ? gEngine.frontSketch->firstObject : nullptr; s && s != o; s = s->nextInSketch) ++index;
    const bool alone = gEngine.frontSketch && gEngine.frontSketch->selectionHead == o && o->nextSelected == nullptr;
    return std::to_string(index) + " " + std::to_string(pages->startPage) + " " + std::to_string(o->hidden) + " " +
           (alone ? "alone" : "not-alone");
}

void SetPropertiesField(PropertiesPages* pages, const std::string& setting) {
    int page = -1, field = -1;
    char value[256] = "";
    if (std::sscanf(setting.c_str(), "%d.%d=%255[^\n]", &page, &field, value) < 2) return;
    if (page < 0 || page >= kPropertyPageCount || !pages->pages[page] || field < 0 || field >= PropertyPageFieldCount(page)) return;
    DialogField& f = pages->pages[page][field];
    if (f.kind == kFieldText) std::snprintf(f.value.text, size_t(f.upper), "%s", value);
    else if (f.kind == kFieldNumber) f.value.real = std::atof(value);
    else f.value.integer = std::atoi(value);
}

int AnswerPropertiesSheet(PropertiesPages* pages) {
    std::string run = "4|";
    const std::string opened = PropertiesOpened(pages);
    if (gDialogAnswers.empty() || gDialogAnswers.front().kind != kDialogProperties) {
        // Unscripted, the program's own sheet runs (the user answers it).
        gDialogRuns.push_back(run + "sheet|" + opened);
        return -1;
    }
    const DialogAnswer answer = gDialogAnswers.front();
    gDialogAnswers.pop_front();
    for (const std::string& setting : answer.settings) SetPropertiesField(pages, setting);
    if (!answer.settings.empty()) PropertiesApplyLive(pages);
    gDialogRuns.push_back(run + (answer.ok ? "ok|" : "cancel|") + opened);
    return answer.ok ? IDOK : IDCANCEL;
}

// What the Preferences sheet and the Document Options dialog will do with their records,
// one edit at a time: "unit N", "picture-scale N", "apply this|new|both"; "rename I TEXT", "move F T",
// "delete I", "copy I", "tool-rename N TEXT", "tool-move F T".
void EditOptionsRecord(int32_t kind, void* record, const std::string& edit) {
    std::istringstream in(edit);
    std::string op, text;
    int a = 0, b = 0;
    in >> op;
    if (kind == kDialogPreferences) {
        auto* set = static_cast<PreferencePageSet*>(record);
        if (op == "unit" && in >> a && set->pages[kPrefPageUnits]) {
            set->pages[kPrefPageUnits][0].value.integer = a;
            PreferencesSheetApply(set);
        }
        // The Export page's picture scale by its place in the list (1, 2, 4, 8).
        if (op == "picture-scale" && in >> a && set->pages[kPrefPageExport]) {
            set->pages[kPrefPageExport][2].value.integer = a;
            PreferencesSheetApply(set);
        }
        if (op == "apply" && in >> text)
            PreferencesApplyMode() = text == "this" ? kApplyThisSketch : text == "new" ? kApplyNewSketches : kApplyBoth;
        return;
    }
    EngineDocument* document = static_cast<DocOptionsRecord*>(record)->document;
    if (op == "rename" && in >> a) {
        std::getline(in >> std::ws, text);
        DocOptionsRenamePage(document, a, text.c_str());
    } else if (op == "move" && in >> a >> b) {
        MoveListEntry(document, a, b);
    } else if (op == "delete" && in >> a) {
        DocOptionsDeletePage(document, a);
    } else if (op == "copy" && in >> a) {
        DocOptionsCopyPage(document, DocumentPageAt(document, a), document->owner, nullptr);
    } else if (op == "tool-rename" && in >> a) {
        std::getline(in >> std::ws, text);
        CustomToolRename(a, text.c_str());
    } else if (op == "tool-move" && in >> a >> b) {
        DocOptionsMoveTool(a, b);
    }
}

int AnswerCommandDialog(int32_t kind, void* record) {
    if (kind == kDialogProperties) return AnswerPropertiesSheet(static_cast<PropertiesPages*>(record));
    std::ostringstream run;
    run << kind << "|";
    auto* fields = RecordIsFieldRow(kind) ? static_cast<DialogField*>(record) : nullptr;
    std::ostringstream opened;
    for (int32_t i = 0; fields && i < kParamColorFieldCount; ++i) opened << (i ? " " : "") << FieldNumber(fields[i]);
    if (kind == kDialogPreferences && record) {
        const auto* set = static_cast<const PreferencePageSet*>(record);
        int shown = 0;
        for (const DialogField* page : set->pages) shown += page != nullptr;
        opened << shown << " " << set->startPage;
    }
    if (kind == kDialogDocumentOptions && record) opened << static_cast<const DocOptionsRecord*>(record)->view;
    // Unscripted, the program's own dialog runs (the user answers it).
    if (gDialogAnswers.empty() || gDialogAnswers.front().kind != kind) return -1;
    bool ok = false;
    {
        const DialogAnswer answer = gDialogAnswers.front();
        gDialogAnswers.pop_front();
        ok = answer.ok;
        for (size_t i = 0; fields && i < answer.values.size() && i < size_t(kParamColorFieldCount); ++i)
            SetFieldNumber(&fields[i], answer.values[i]);
        for (const std::string& edit : answer.edits) EditOptionsRecord(kind, record, edit);
    }
    run << (ok ? "ok" : "cancel") << "|" << opened.str();
    gDialogRuns.push_back(run.str());
    return ok ? IDOK : IDCANCEL;
}

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
// Pop-up windows made while the main window exists: the pop-out and the menus' windows.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (create && (create->style & WS_POPUP) && MainWindow()) gPopupMadeTime = GetTickCount();
    }
    if (code == HCBT_ACTIVATE) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        // A message box's text is the static 0xFFFF, the alert dialog's its static 1077.
        HWND text = ClassOf(hwnd) == "#32770" ? GetDlgItem(hwnd, 0xFFFF) : nullptr;
        if (!text && ClassOf(hwnd) == "#32770") text = GetDlgItem(hwnd, 1077);
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

LRESULT CALLBACK MessageProc(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && msg && (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK)) {
        gButtonDownTime = msg->time;
    }
    return CallNextHookEx(gMessageHook, code, wParam, lParam);
}

HWND MainWindow() {
    CWinApp* app = CurrentApp();
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

// Words separated by one blank.
void AppendWord(std::string& out, const std::string& word) {
    if (!out.empty()) out += ' ';
    out += word;
}

std::string LitObjects() {
    std::string out;
    Sketch* sketch = gEngine.frontSketch;
    int32_t i = 0;
    for (SketchObject* o = sketch ? sketch->firstObject : nullptr; o; o = o->nextInSketch, ++i)
        if (o->stateFlags & kObjectHot) AppendWord(out, std::to_string(i));
    return out;
}

std::string Labels() {
    std::string out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return out;
    SketchScope scope(sketch);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        char label[kLabelBufferSize];
        GetObjectLabel(o, kLabelNone, label, nullptr);
        out += std::to_string(int(o->label.shown)) + "|" + label + "\n";
    }
    return out;
}

std::string LayoutControlText(int id) {
    HWND control = ::GetDlgItem(FrontDialog(), id);
    auto* button = dynamic_cast<StateButton*>(control ? CWnd::FromHandlePermanent(control) : nullptr);
    if (!button || !button->layout) return "none";
    LayoutWriteContext w{ nullptr, nullptr, kWritePlainText, nullptr };
    std::string text(size_t(SerializeLayout(button->layout, nullptr, &w)), '\0');
    SerializeLayout(button->layout, text.data(), &w);
    return text;
}

// The rows in use of each table of the front sketch, in sketch order.
std::string TableRows() {
    std::string out;
    Sketch* sketch = gEngine.frontSketch;
    for (SketchObject* o = sketch ? sketch->firstObject : nullptr; o; o = o->nextInSketch)
        if (o->objectClass == kClassTable) AppendWord(out, std::to_string(TableDataOf(o)->rowCount));
    return out;
}

// ---- A sketch-interactive dialog of the test build ----------------------------------

constexpr UINT kOpenPickDialog = WM_APP + 1;
std::vector<int> gPicks;

int PositionOf(const SketchObject* wanted) {
    int i = 0;
    for (SketchObject* o = gEngine.frontSketch ? gEngine.frontSketch->firstObject : nullptr; o; o = o->nextInSketch, ++i)
        if (o == wanted) return i;
    return -1;
}

bool AcceptPoints(SketchObject* object, void*) { return object && object->objectClass == kClassPoint; }
int32_t PickApplied(void*) { return 1; }
void NotePick(SketchObject* object, void*, PickApplyFn* apply) {
    gPicks.push_back(PositionOf(object));
    *apply = PickApplied;
}

// Template 152 (the New Tool name) as a resizable dialog whose OK button follows the
// corner and whose edit follows the width.
class PickTestDialog : public CYRNDialog {
public:
    PickTestDialog() : CYRNDialog(152, nullptr, nullptr, true) {
        static const ControlAnchor anchors[] = {
            { 1059, kAnchorStretchX, 0 }, { IDOK, kAnchorMoveX | kAnchorMoveY, 0 }, { 0, 0, 0 },
        };
        SetAnchors(anchors, true);
        caption = "Pick Test";
    }
    bool OnInitDialog() override {
        ModifyStyle(0, WS_THICKFRAME, SWP_FRAMECHANGED);
        return CYRNDialog::OnInitDialog();
    }
};

void RunPickDialog() {
    gPicks.clear();
    PickSessionBegin(AcceptPoints, NotePick, nullptr, nullptr);
    PickTestDialog dialog;
    dialog.DoModal();
    PickSessionEnd();
}

std::string Colors() {
    std::ostringstream out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "";
    SketchScope scope(sketch);
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        out << o->objectClass << " " << o->constructionType << " " << (o->color & 0xFF) << ","
            << (o->color >> 8 & 0xFF) << "," << (o->color >> 16 & 0xFF) << " ";
        double value = 0;
        char text[40] = "-";
        if (ParentValue(o, &value)) std::snprintf(text, sizeof text, "%.17g", value);
        out << text << "\n";
    }
    return out.str();
}

std::string EditedText() {
    LayoutEditSession* s = gEngine.frontSketch ? gEngine.frontSketch->editSession : nullptr;
    if (!s || !s->tree) return "none";
    LayoutWriteContext context{};
    const int32_t n = SerializeLayout(s->tree, nullptr, &context);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) out.resize(static_cast<size_t>(SerializeLayout(s->tree, out.data(), &context)));
    return out;
}

std::string Styles() {
    std::ostringstream out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "";
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch) {
        out << o->objectClass;
        for (int16_t f : o->textStyle.field) out << " " << f;
        out << " |";
        if (const CaptionData* d = CaptionDataOf(o)) {
            for (int16_t f : d->style.field) out << " " << f;
            if (d->layout) {
                LayoutWriteContext context{};
                std::string text(static_cast<size_t>(SerializeLayout(d->layout, nullptr, &context)), '\0');
                text.resize(static_cast<size_t>(SerializeLayout(d->layout, text.data(), &context)));
                out << " | " << text;
            }
        } else {
            out << " -";
        }
        out << "\n";
    }
    return out.str();
}

std::string LayoutText(LayoutNode* node, uint32_t options) {
    LayoutWriteContext context{};
    context.options = options;
    std::string text(static_cast<size_t>(SerializeLayout(node, nullptr, &context)), '\0');
    text.resize(static_cast<size_t>(SerializeLayout(node, text.data(), &context)));
    return text;
}

// Object I's text as its block of rows holds it: the wrap width, the rows' plain texts
// separated by '/', then the layout text.
std::string CaptionLayout(int wanted) {
    Sketch* sketch = gEngine.frontSketch;
    SketchObject* o = sketch && wanted >= 0 ? sketch->firstObject : nullptr;
    for (int i = 0; o && i < wanted; ++i) o = o->nextInSketch;
    const CaptionData* d = o ? CaptionDataOf(o) : nullptr;
    if (!d || !d->layout) return "none";
    LayoutNode* block = d->layout;
    while (block && block->kind == kLayoutStyle) block = block->firstChild;
    std::ostringstream out;
    if (block && block->kind == kLayoutStackedRows) {
        out << static_cast<StackedRowsNode*>(block)->wrapWidth << "|";
        for (LayoutNode* row = block->firstChild; row; row = row->nextSibling)
            out << (row == block->firstChild ? "" : "/") << LayoutText(row, kWritePlainText);
    } else {
        out << "0|" << LayoutText(d->layout, kWritePlainText);
    }
    out << "|" << LayoutText(d->layout, 0);
    return out.str();
}

void BarLine(std::ostringstream& out, const char* name, CControlBar& bar) {
    RECT r{};
    const bool shown = bar.m_hWnd && IsWindowVisible(bar.m_hWnd);
    if (bar.m_hWnd) GetWindowRect(bar.m_hWnd, &r);
    out << name << " " << (shown ? 1 : 0) << " " << (bar.m_hWnd && bar.IsFloating() ? 1 : 0) << " " << r.left << " "
        << r.top << " " << r.right << " " << r.bottom;
    HWND parent = bar.m_hWnd ? GetParent(bar.m_hWnd) : nullptr;
    char cls[64] = "";
    if (parent) GetClassNameA(parent, cls, sizeof cls);
    out << " own " << (bar.m_hWnd && (GetWindowLongA(bar.m_hWnd, GWL_STYLE) & WS_VISIBLE) ? 1 : 0) << " parent " << cls << " "
        << (parent && (GetWindowLongA(parent, GWL_STYLE) & WS_VISIBLE) ? 1 : 0) << "\n";
}

void ControlLine(std::ostringstream& out, HWND control, UINT id, bool checked) {
    RECT r{};
    char text[128] = "";
    if (control) {
        GetWindowRect(control, &r);
        GetWindowTextA(control, text, sizeof text);
    }
    out << "  " << id << "|" << text << "|" << r.left << " " << r.top << " " << r.right << " " << r.bottom << "|"
        << (control && IsWindowEnabled(control) ? 1 : 0) << "|" << (checked ? 1 : 0) << "\n";
}

void ButtonLines(std::ostringstream& out, CToolBar& bar) {
    const int n = bar.m_hWnd ? bar.GetCount() : 0;
    for (int i = 0; i < n; ++i) {
        const UINT id = bar.GetItemID(i);
        if (id == 0 || (bar.GetButtonStyle(i) & TBSTYLE_SEP)) continue;
        RECT r{};
        bar.GetItemRect(i, &r);
        MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        const LRESULT state = bar.SendMessage(TB_GETSTATE, id);
        out << "  " << id << "||" << r.left << " " << r.top << " " << r.right << " " << r.bottom << "|"
            << ((state & TBSTATE_ENABLED) ? 1 : 0) << "|" << ((state & TBSTATE_CHECKED) ? 1 : 0) << "\n";
    }
}

std::string Bars() {
    std::ostringstream out;
    CMainFrame* frame = TheMainFrame();
    if (!frame) return "";
    TextPaletteBar& palette = frame->m_textPalette;
    BarLine(out, "palette", palette);
    ControlLine(out, palette.fontName.m_hWnd, kFontComboId, false);
    ControlLine(out, palette.fontSize.m_hWnd, kSizeComboId, false);
    ControlLine(out, palette.colorMenu.m_hWnd, kColorMenuButtonId, false);
    ControlLine(out, palette.swatch.m_hWnd, kColorSwatchId, false);
    ButtonLines(out, palette);
    BarLine(out, "notation", frame->m_notationBar);
    ButtonLines(out, frame->m_notationBar);
    MotionControllerBar& motion = frame->m_motionController;
    BarLine(out, "motion", motion);
    ControlLine(out, motion.targetButton.m_hWnd, kMotionTargetId, false);
    ControlLine(out, motion.speedBox ? motion.speedBox->m_hWnd : nullptr, kMotionSpeedBoxId, false);
    ControlLine(out, motion.spin.m_hWnd, kMotionSpinId, false);
    ButtonLines(out, motion);
    out << "  spin-position|" << motion.spinPosition << "|" << (motion.spin.m_hWnd ? motion.spin.SendMessage(UDM_GETPOS32) : 0)
        << "\n";
    return out.str();
}

// 1 when a top-level window lies above the main frame on the screen.
int AboveMainFrame(HWND window) {
    CMainFrame* frame = TheMainFrame();
    for (HWND w = GetTopWindow(nullptr); w && window; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == window) return 1;
        if (frame && w == frame->m_hWnd) return 0;
    }
    return 0;
}

// An object's place in the shown tool's sketch, -1 for none.
int ToolObjectIndex(const SketchObject* object) {
    Sketch* tool = GetPlaybackTool(nullptr);
    int index = 0;
    for (SketchObject* o = tool && object ? tool->firstObject : nullptr; o; o = o->nextInSketch, ++index)
        if (o == object) return index;
    return -1;
}

// The Script View: its bar line, its floating frame, each control
// ("  id|text|left top right bottom|enabled|visible"), then the list's rows.
std::string ScriptViewState() {
    std::ostringstream out;
    CMainFrame* frame = TheMainFrame();
    if (!frame) return "";
    ScriptViewBar& bar = frame->m_scriptView;
    BarLine(out, "script", bar);
    if (!bar.m_hWnd) return out.str();
    HWND floating = GetAncestor(bar.m_hWnd, GA_ROOT);
    RECT fr{};
    char title[128] = "";
    if (floating && floating != frame->m_hWnd) {
        GetWindowRect(floating, &fr);
        GetWindowTextA(floating, title, sizeof title);
    }
    out << "  frame|" << title << "|" << fr.left << " " << fr.top << " " << fr.right << " " << fr.bottom << "|"
        << ((floating && (GetWindowLongA(floating, GWL_STYLE) & MFS_4THICKFRAME)) ? 1 : 0) << "|"
        << (floating && GetWindow(floating, GW_OWNER) == frame->m_hWnd ? 1 : 0) << "|" << AboveMainFrame(floating) << "\n";
    for (UINT id : { kScriptCommentId, kScriptStepListId, kScriptApplyLabelId, kScriptNextStepId, kScriptAllStepsId,
                     kScriptStatusId, kScriptHelpId }) {
        HWND control = GetDlgItem(bar.m_hWnd, int(id));
        RECT r{};
        char text[512] = "";
        if (control) {
            GetWindowRect(control, &r);
            GetWindowTextA(control, text, sizeof text);
        }
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        out << "  " << id << "|" << text << "|" << r.left << " " << r.top << " " << r.right << " " << r.bottom << "|"
            << (control && IsWindowEnabled(control) ? 1 : 0) << "|"
            << (control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) ? 1 : 0) << "\n";
    }
    CScriptStepListBox& list = bar.stepList;
    const int count = list.m_hWnd ? list.GetCount() : 0;
    out << "  rows|" << count << "|" << bar.rowCount << "|" << (list.m_hWnd ? list.GetTopIndex() : 0) << "|"
        << bar.pressedRow << "|" << (list.m_hWnd ? list.SendMessage(LB_GETHORIZONTALEXTENT) : 0) << "\n";
    for (int i = 0; i < count; ++i) {
        RECT r{};
        list.SendMessage(LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(list.m_hWnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        ToolScriptRow row{};
        DescribeToolScriptRow(i + 1, &row);
        out << "  row " << (i + 1) << "|" << r.left << " " << r.top << " " << r.right << " " << r.bottom << "|"
            << row.highlight << "|" << row.separator << "|" << row.givenIndex << "|" << ToolObjectIndex(row.object) << "|"
            << (row.object ? row.object->color : 0) << "|" << (row.object ? row.object->lineStyle : -1) << "|"
            << (row.object ? row.object->traced : 0) << "\n";
    }
    return out.str();
}

// The front sketch's motions: "object-index speed paused finished", speed 1 = medium.
std::string Motions() {
    std::ostringstream out;
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "";
    for (Motion* m = sketch->motion.motionsHead; m; m = m->next) {
        int index = 0;
        for (SketchObject* o = sketch->firstObject; o && o != m->target; o = o->nextInSketch) ++index;
        char speed[32];
        std::snprintf(speed, sizeof speed, "%.4f", MotionSpeed(m) / (SpeedUnit() * 3));
        out << index << " " << speed << " " << (sketch->motion.paused ? 1 : 0) << " " << (m->finished ? 1 : 0) << "\n";
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
    RECT r{};
    GetWindowRect(child, &r);
    // 1 checked, 2 the third state of a three-state box.
    const LRESULT check = ClassOf(child) == "Button" ? SendMessageA(child, BM_GETCHECK, 0, 0) : 0;
    const int checked = check == BST_CHECKED ? 1 : check == BST_INDETERMINATE ? 2 : 0;
    *out << GetDlgCtrlID(child) << "|" << ClassOf(child) << "|" << TextOf(child) << "|" << r.left << " " << r.top
         << " " << r.right << " " << r.bottom << "|" << (IsWindowVisible(child) ? 1 : 0) << "|"
         << (IsWindowEnabled(child) ? 1 : 0) << "|" << checked << "|" << (GetFocus() == child ? 1 : 0)
         << "\n";
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

void DumpMenu(HMENU menu, int depth, std::ostringstream* out) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        char text[512] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        const UINT id = sub ? 0 : GetMenuItemID(menu, i);
        uint32_t slot = 0;
        const long row = !sub && MenuIdToSlot(id, &slot) ? long(CmdStateItemRow(slot)) : -1;
        *out << depth << "|" << text << "|" << id << "|" << row << "|" << ((state & MF_GRAYED) ? 1 : 0) << "|"
             << ((state & MF_CHECKED) ? 1 : 0) << "\n";
        if (sub) DumpMenu(sub, depth + 1, out);
    }
}

std::string Menus() {
    HWND main = MainWindow();
    HMENU bar = main ? GetMenu(main) : nullptr;
    if (!bar) return "none";
    std::ostringstream out;
    DumpMenu(bar, 0, &out);
    return out.str();
}

// A pop-up menu that is showing is a window of the menu class; it tells its menu.
BOOL CALLBACK FindPopupMenu(HWND hwnd, LPARAM data) {
    if (ClassOf(hwnd) == "#32768" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(data) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HMENU OpenPopupMenu() {
    HWND window = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPopupMenu, reinterpret_cast<LPARAM>(&window));
    return window ? reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1 /* MN_GETHMENU */, 0, 0)) : nullptr;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

std::string PopupMenu() {
    HMENU menu = OpenPopupMenu();
    if (!menu) return "none";
    std::ostringstream out;
    DumpMenu(menu, 0, &out);
    return out.str().empty() ? "empty" : out.str();
}

// ---- Lists, open menus and the cursor, for the Document Options scenario ----------------

std::string ListLines(int id) {
    HWND dialog = FrontDialog();
    HWND list = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!list) return "none";
    std::ostringstream out;
    const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[512] = "";
        if (SendMessageA(list, LB_GETTEXTLEN, WPARAM(i), 0) < LRESULT(sizeof text))
            SendMessageA(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        RECT r{};
        SendMessageA(list, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
        out << i << "|" << text << "|" << (i == selected ? 1 : 0) << "|" << RectText(r) << "\n";
    }
    return out.str();
}

BOOL CALLBACK CollectPopupMenus(HWND hwnd, LPARAM data) {
    if (ClassOf(hwnd) == "#32768" && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
    return TRUE;
}

std::string MenuItemRect(const std::string& wanted) {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectPopupMenus, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
        for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
            char text[512] = "";
            GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
            RECT r{};
            if (wanted == text && GetMenuItemRect(nullptr, menu, UINT(i), &r)) return RectText(r);
        }
    }
    return "none";
}

std::string CursorName() {
    HCURSOR cursor = GetCursor();
    if (cursor && cursor == LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(187))) return "list-item";
    if (cursor == LoadCursorA(nullptr, IDC_SIZENS)) return "sizens";
    if (cursor == LoadCursorA(nullptr, IDC_NO)) return "no";
    if (cursor == LoadCursorA(nullptr, IDC_ARROW)) return "arrow";
    return "other";
}

// The codes of the menu description built into the program (figlate's has its own).
std::string StreamCodes() {
    uint32_t length = 0;
    const uint8_t* bytes = DefaultMenuStream(&length);
    menu_stream::MenuStreamTree tree;
    if (menu_stream::ReadMenuStream(bytes, length, &tree) != menu_stream::ReadResult::Ok) return "bad";
    std::ostringstream out;
    for (const menu_stream::MenuStreamPopup& popup : tree.popups) {
        for (const menu_stream::MenuStreamItem& item : popup.items) {
            uint32_t row = 0;
            if (item.kind != menu_stream::ItemKind::Command) continue;
            out << item.code << " " << (MenuCodeToCommandRow(item.code, &row) ? long(row) : -1L) << "\n";
        }
    }
    return out.str();
}

std::string Select(std::istringstream& in) {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "no sketch";
    SketchScope scope(sketch);
    DeselectAll();
    int wanted = 0;
    while (in >> wanted) {
        int i = 0;
        SketchObject* o = sketch->firstObject;
        for (; o && i < wanted; o = o->nextInSketch) ++i;
        if (!o) return "no object " + std::to_string(wanted);
        SelectSketchObject(o);
    }
    if (CFernwickDoc* doc = DocumentOfSketch(sketch)) doc->InvalidateViews(false, true, true);
    return "ok";
}

std::string Selection() {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "no sketch";
    std::ostringstream out;
    int i = 0;
    for (SketchObject* o = sketch->firstObject; o; o = o->nextInSketch, ++i) {
        if (IsSelected(o)) out << i << " ";
    }
    return out.str();
}

CMainFrame* MainFrame() {
    CWinApp* app = CurrentApp();
    return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr;
}

CToolBar* ToolboxInUse();

// The main frame's toolbox state, then the buttons of the bar in use (the in-place one
// while a sketch is active in place).
std::string Toolbox() {
    CMainFrame* frame = MainFrame();
    CToolBar* inUse = ToolboxInUse();
    if (!frame || !inUse || !inUse->m_hWnd) return "none";
    HWND bar = inUse->m_hWnd;
    std::ostringstream out;
    int32_t item = 0, member = 0;
    GetToolboxSelection(&item, &member);
    out << frame->m_currentToolboxButton << " " << frame->m_arrowVariant << " " << frame->m_straightedgeVariant << " "
        << item << " " << member << "\n";
    const int count = int(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!SendMessageA(bar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&button))) continue;
        if (button.fsStyle & TBSTYLE_SEP) continue;
        out << button.idCommand << "|" << button.iBitmap << "|" << ((button.fsState & TBSTATE_CHECKED) ? 1 : 0) << "|"
            << ((button.fsState & TBSTATE_PRESSED) ? 1 : 0) << "|" << ((button.fsState & TBSTATE_ENABLED) ? 1 : 0)
            << "\n";
    }
    return out.str();
}

BOOL CALLBACK FindPopout(HWND hwnd, LPARAM data) {
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (auto* popout = dynamic_cast<ToolPopoutWnd*>(CWnd::FromHandlePermanent(hwnd))) {
        *reinterpret_cast<ToolPopoutWnd**>(data) = popout;
        return FALSE;
    }
    return TRUE;
}

std::string Popout() {
    ToolPopoutWnd* popout = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPopout, reinterpret_cast<LPARAM>(&popout));
    if (!popout) return "none";
    std::ostringstream out;
    out << popout->group << " " << popout->placement << " " << popout->memberCount << " " << popout->hotCell << "\n";
    for (int cell = 0; cell <= popout->memberCount; ++cell) {
        POINT at = PopoutCellOrigin(cell, popout->memberCount, popout->placement);
        at.x += kPopoutCellWidth / 2;
        at.y += kPopoutCellHeight / 2;
        ClientToScreen(popout->m_hWnd, &at);
        out << at.x << " " << at.y << "\n";
    }
    return out.str();
}

// The splash window: "none", or its window handle and screen rectangle, the main
// window's rectangle, about or splash, the screen's colour flag, whether credits show,
// the next credit page and the shown page's baseline.
std::string SplashState() {
    SplashWnd* splash = SplashWnd::Current();
    if (!splash || !splash->m_hWnd) return "none";
    RECT r{}, f{};
    GetWindowRect(splash->m_hWnd, &r);
    if (MainWindow()) GetWindowRect(MainWindow(), &f);
    char text[256];
    std::snprintf(text, sizeof text, "%lu %ld %ld %ld %ld frame %ld %ld %ld %ld %s %d %d %d %d",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(splash->m_hWnd)), r.left, r.top,
                  r.right - r.left, r.bottom - r.top, f.left, f.top, f.right - f.left, f.bottom - f.top,
                  splash->m_aboutMode ? "about" : "splash", splash->m_colourDisplay ? 1 : 0,
                  splash->m_creditsShown ? 1 : 0, static_cast<int>(Credits().nextIndex),
                  static_cast<int>(Credits().baseline));
    return text;
}

// The document active in place in a container, if any.
CFernwickDoc* InPlaceDoc() {
    CWinApp* app = CurrentApp();
    CDocManager* manager = app ? app->m_pDocManager : nullptr;
    CFernwickDoc* doc = nullptr;
    for (POSITION t = manager ? manager->GetFirstDocTemplatePosition() : nullptr; t && !doc;) {
        CDocTemplate* tmpl = manager->GetNextDocTemplate(t);
        for (POSITION d = tmpl->GetFirstDocPosition(); d;) {
            CDocument* candidate = tmpl->GetNextDoc(d);
            auto* fern = candidate->IsKindOf(RUNTIME_CLASS(CFernwickDoc)) ? static_cast<CFernwickDoc*>(candidate) : nullptr;
            if (fern && fern->m_pInPlaceFrame) doc = fern;
        }
    }
    return doc;
}

// The toolbox the user sees: the in-place frame's in its container while a sketch is
// active in place, else the main frame's.
CToolBar* ToolboxInUse() {
    if (CFernwickDoc* doc = InPlaceDoc()) return &static_cast<CInPlaceFrame*>(doc->m_pInPlaceFrame)->m_toolbox;
    auto* frame = dynamic_cast<CMainFrame*>(CurrentMainWindow());
    return frame ? frame->m_toolbox : nullptr;
}

// An embedded sketch active in place: "none", or the in-place frame's window and its
// parent's, the toolbox bar's window and its parent's, the view's screen rectangle, the
// screen centre of the point tool's button and the frame's screen rectangle.
std::string InPlaceState() {
    CFernwickDoc* doc = InPlaceDoc();
    if (!doc) return "none";
    auto* frame = static_cast<CInPlaceFrame*>(doc->m_pInPlaceFrame);
    HWND bar = frame->m_toolbox.m_hWnd;
    RECT view{};
    POSITION pos = doc->GetFirstViewPosition();
    if (CView* v = pos ? doc->GetNextView(pos) : nullptr) GetWindowRect(v->m_hWnd, &view);
    RECT button{};
    const int index = bar ? frame->m_toolbox.CommandToIndex(ID_TOOL_POINT) : -1;
    if (index >= 0) {
        frame->m_toolbox.GetItemRect(index, &button);
        MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    }
    std::ostringstream out;
    out << reinterpret_cast<uintptr_t>(frame->m_hWnd) << " " << reinterpret_cast<uintptr_t>(GetParent(frame->m_hWnd))
        << " " << reinterpret_cast<uintptr_t>(bar) << " " << reinterpret_cast<uintptr_t>(bar ? GetParent(bar) : nullptr)
        << " " << RectText(view) << " " << (button.left + button.right) / 2 << " " << (button.top + button.bottom) / 2;
    RECT framePlace{};
    GetWindowRect(frame->m_hWnd, &framePlace);
    out << " " << RectText(framePlace);
    return out.str();
}

std::string StatusText() {
    CMainFrame* frame = MainFrame();
    if (!frame || !frame->m_statusBar.m_hWnd) return "none";
    char text[512] = "";
    SendMessageA(frame->m_statusBar.m_hWnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string UndoText() {
    Sketch* sketch = gEngine.frontSketch;
    if (!sketch) return "no sketch";
    SketchScope scope(sketch);
    char text[256] = "";
    BuildUndoMenuText(text, 50);
    return text;
}

BOOL CALLBACK ListToolTip(HWND hwnd, LPARAM data) {
    if (ClassOf(hwnd) == "tooltips_class32" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<std::ostringstream*>(data) << TextOf(hwnd) << "\n";
    }
    return TRUE;
}

std::string ToolTips() {
    std::ostringstream out;
    EnumThreadWindows(GetCurrentThreadId(), ListToolTip, reinterpret_cast<LPARAM>(&out));
    return out.str();
}

BOOL CALLBACK ListScrollBar(HWND hwnd, LPARAM data) {
    auto* out = reinterpret_cast<std::ostringstream*>(data);
    if (!IsWindowVisible(hwnd)) return TRUE;
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpiA(name, "ScrollBar") == 0) {
        if (style & SBS_SIZEBOX) return TRUE;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(hwnd, SB_CTL, &si);
        *out << "control " << ((style & SBS_VERT) ? "V" : "H") << " " << si.nMin << " " << si.nMax << " " << si.nPage
             << " " << si.nPos << "\n";
        return TRUE;
    }
    if (style & WS_HSCROLL) *out << "own H\n";
    if (style & WS_VSCROLL) *out << "own V\n";
    return TRUE;
}

struct BarSearch {
    bool vertical;
    HWND found;
};

BOOL CALLBACK FindScrollBar(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<BarSearch*>(data);
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (!IsWindowVisible(hwnd) || lstrcmpiA(name, "ScrollBar") != 0 || (style & SBS_SIZEBOX)) return TRUE;
    if (((style & SBS_VERT) != 0) != search->vertical) return TRUE;
    search->found = hwnd;
    return FALSE;
}

std::string ScrollBarEnd(bool vertical) {
    CYRNView* view = FrontView();
    CFrameWnd* frame = view && view->m_hWnd ? view->GetParentFrame() : nullptr;
    if (!frame) return "none";
    BarSearch search{ vertical, nullptr };
    EnumChildWindows(frame->m_hWnd, FindScrollBar, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return "none";
    RECT r;
    GetWindowRect(search.found, &r);
    const int x = vertical ? (r.left + r.right) / 2 : r.right - GetSystemMetrics(SM_CXHSCROLL) / 2;
    const int y = vertical ? r.bottom - GetSystemMetrics(SM_CYVSCROLL) / 2 : (r.top + r.bottom) / 2;
    return std::to_string(x) + " " + std::to_string(y);
}

std::string ScrollBars() {
    CYRNView* view = FrontView();
    CFrameWnd* frame = view && view->m_hWnd ? view->GetParentFrame() : nullptr;
    if (!frame) return "none";
    std::ostringstream out;
    EnumChildWindows(frame->m_hWnd, ListScrollBar, reinterpret_cast<LPARAM>(&out));
    return out.str();
}


// One character of the math symbol font, or (asIndex) the font's glyph 0, the box that a
// missing character shows, drawn black on white into a 64 x 64 bitmap.
std::vector<bool> SymbolGlyphPixels(int code, bool asIndex) {
    constexpr int kSide = 64;
    std::vector<bool> inked(kSide * kSide, false);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kSide, kSide);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all{ 0, 0, kSide, kSide };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TextStyle style;
    for (int16_t& f : style.field) f = 1;
    style.field[kStyleSize] = 32;
    style.field[kStyleScriptLevel] = 0;
    HFONT font = CreateSymbolStyleFont(&style, nullptr);

    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    if (asIndex) {
        const WORD glyph = 0;
        ExtTextOutW(dc, 8, 8, ETO_GLYPH_INDEX, nullptr, reinterpret_cast<LPCWSTR>(&glyph), 1, nullptr);
    } else {
        const char c = static_cast<char>(code);
        ExtTextOutA(dc, 8, 8, 0, nullptr, &c, 1, nullptr);
    }
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) inked[y * kSide + x] = GetPixel(dc, x, y) != RGB(255, 255, 255);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return inked;
}

std::string SymbolGlyph(int code) {
    const std::vector<bool> glyph = SymbolGlyphPixels(code, false);
    const std::vector<bool> box = SymbolGlyphPixels(0, true);
    int ink = 0, differ = 0;
    for (size_t i = 0; i < glyph.size(); ++i) {
        ink += glyph[i] ? 1 : 0;
        differ += glyph[i] != box[i] ? 1 : 0;
    }
    return std::string(MathSymbolFaceName()) + "\nink " + std::to_string(ink) + " box " + std::to_string(differ);
}

CYrnPreview* OpenPreview() {
    CWnd* main = CurrentMainWindow();
    auto* frame = main ? dynamic_cast<CFrameWnd*>(main) : nullptr;
    return frame ? dynamic_cast<CYrnPreview*>(frame->GetActiveView()) : nullptr;
}

// "zoom Z page C shown N of M vbar MIN MAX|none hbar 0|1 percent P fit F clip C idle S"
std::string PreviewState() {
    CYrnPreview* p = OpenPreview();
    if (!p || !p->m_pPreviewInfo) return "none";
    std::ostringstream out;
    out << "zoom " << p->m_nZoomState << " page " << p->m_nCurrentPage << " shown " << p->m_nPages << " of "
        << p->m_pPreviewInfo->GetMaxPage() << " vbar ";
    const LONG style = GetWindowLongA(p->m_hWnd, GWL_STYLE);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    if ((style & WS_VSCROLL) && GetScrollInfo(p->m_hWnd, SB_VERT, &si)) out << si.nMin << " " << si.nMax;
    else out << "none";
    out << " hbar " << ((style & WS_HSCROLL) ? 1 : 0);
    CYRNView* view = dynamic_cast<CYRNView*>(p->m_pPrintView);
    if (view) {
        char percent[32];
        std::snprintf(percent, sizeof percent, "%.2f", view->m_printSettings.scalePercent);
        out << " percent " << percent << " fit " << view->m_printSettings.fitToPage << " clip "
            << view->m_printSettings.clipLargePlots;
        if (Sketch* page = view->Page()) {
            const ScreenRect& e = page->printExtent;
            out << " extent " << e.left << " " << e.top << " " << e.right << " " << e.bottom;
        }
    }
    if (CMainApp* app = TheApp()) out << " idle " << app->m_idleSuspended[1];
    return out.str();
}

// A control of the preview bar: "left top right bottom enabled checked|text".
std::string PreviewControl(int id) {
    CYrnPreview* p = OpenPreview();
    if (!p || !p->m_pToolBar || !p->m_pToolBar->m_hWnd) return "none";
    HWND control = GetDlgItem(p->m_pToolBar->m_hWnd, id);
    if (!control) return "none";
    RECT r;
    GetWindowRect(control, &r);
    char text[128] = "";
    GetWindowTextA(control, text, sizeof text);
    return RectText(r) + " " + (IsWindowEnabled(control) ? "1" : "0") + " " +
           std::to_string(SendMessageA(control, BM_GETCHECK, 0, 0)) + "|" + text;
}

// The front property sheet: "none", or its caption and active tab index, then per tab
// its text and screen rectangle.
std::string PrefSheetTabs() {
    HWND sheet = FrontDialog();
    HWND tabs = sheet ? reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0)) : nullptr;
    if (!tabs) return "none";
    std::ostringstream out;
    out << TextOf(sheet) << "|" << SendMessageA(tabs, TCM_GETCURSEL, 0, 0) << "|" << (IsWindowEnabled(sheet) ? 1 : 0)
        << "\n";
    const int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        RECT r{};
        SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&r), 2);
        out << text << "|" << RectText(r) << "\n";
    }
    return out.str();
}

std::string Answer(const std::string& request) {
    std::istringstream in(request);
    std::string verb;
    in >> verb;
    if (verb == "ping") return "pong";
    if (verb == "docs") return Docs();
    if (verb == "line-style") {
        int style = 1;
        in >> style;
        Sketch* sketch = gEngine.frontSketch;
        if (!sketch) return "no sketch";
        SketchScope scope(sketch);
        LineStyleCommand((style & 0x7f) | 0x80);
        if (CFernwickDoc* doc = DocumentOfSketch(sketch)) doc->InvalidateViews(false, true, true);
        return "ok";
    }
    if (verb == "antialias") {
        // As the preferences would store a new choice.
        int value = 0;
        in >> value;
        const auto change = LaterForms().drawing.changeAntiAliasing;
        if (!change) return "none";
        if (!change(uint16_t(value))) return "refused";
        ThePreferences().antiAliasPreference = uint16_t(value);
        return "ok";
    }
    if (verb == "clock") {
        // freeze T, step MS (each read moves it on), release
        std::string how;
        uint32_t value = 0;
        in >> how >> value;
        if (how == "freeze") FreezeTickCountForTest(value);
        else if (how == "step") StepTickCountForTest(value);
        else ReleaseTickCountForTest();
        return "ok";
    }
    if (verb == "redraw") {
        Sketch* sketch = gEngine.frontSketch;
        CFernwickDoc* doc = sketch ? DocumentOfSketch(sketch) : nullptr;
        if (!doc) return "no sketch";
        doc->InvalidateViews(false, true, false);
        return "ok";
    }
    if (verb == "titles") return Titles();
    if (verb == "objects") return Objects();
    if (verb == "lit") return LitObjects();
    if (verb == "labels") return Labels();
    if (verb == "layout-control") {
        int id = 0;
        in >> id;
        return LayoutControlText(id);
    }
    if (verb == "table-rows") return TableRows();
    if (verb == "colors") return Colors();
    if (verb == "styles") return Styles();
    if (verb == "edited-text") return EditedText();
    if (verb == "edit-frame") {
        LayoutEditSession* s = gEngine.frontSketch ? gEngine.frontSketch->editSession : nullptr;
        if (!s) return "none";
        const ScreenRect r = EditorFrameArea(s);
        return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
               std::to_string(r.bottom);
    }
    if (verb == "caption") {
        int wanted = -1;
        in >> wanted;
        return CaptionLayout(wanted);
    }
    if (verb == "bars") return Bars();
    if (verb == "script-view") return ScriptViewState();
    if (verb == "motions") return Motions();
    if (verb == "preview") return PreviewState();
    if (verb == "preview-control") {
        int id = 0;
        in >> id;
        return PreviewControl(id);
    }
    if (verb == "preview-page") {
        unsigned index = 0;
        in >> index;
        CYrnPreview* p = OpenPreview();
        if (!p || index >= p->m_nPages || index >= p->m_nMaxPages) return "none";
        RECT r = p->m_pPageInfo[index].rectScreen;
        MapWindowPoints(p->m_hWnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return RectText(r);
    }
    if (verb == "print-scale") {
        double percent = 0;
        in >> percent;
        Sketch* sketch = gEngine.frontSketch;
        if (!sketch || !(percent > 0)) return "bad";
        sketch->printSettings.scalePercent = percent;
        sketch->printSettings.fitToPage = 0;
        return "ok";
    }
    if (verb == "background") {
        int r = -1, g = -1, b = -1;
        in >> r >> g >> b;
        Sketch* sketch = gEngine.frontSketch;
        if (!sketch || r < 0 || g < 0 || b < 0 || r > 255 || g > 255 || b > 255) return "bad";
        sketch->settings.palette[kColorSlotBackground] = RGB(r, g, b);
        InvalidateSketchViews(sketch);
        return "ok";
    }
    if (verb == "bounds") {
        int wanted = -1;
        in >> wanted;
        Sketch* sketch = gEngine.frontSketch;
        SketchObject* o = sketch ? sketch->firstObject : nullptr;
        for (int i = 0; o && i < wanted; ++i) o = o->nextInSketch;
        if (!o || wanted < 0) return "none";
        return std::to_string(o->bounds.left) + " " + std::to_string(o->bounds.top) + " " +
               std::to_string(o->bounds.right) + " " + std::to_string(o->bounds.bottom);
    }
    if (verb == "dialog-answer") {
        DialogAnswer answer{};
        std::string ok;
        in >> answer.kind >> ok;
        answer.ok = ok == "ok";
        std::string token;
        while (in >> token) {
            if (answer.kind == kDialogProperties) answer.settings.push_back(token);
            else answer.values.push_back(std::atof(token.c_str()));
        }
        gDialogAnswers.push_back(answer);
        return "ok";
    }
    if (verb == "dialog-edit") {
        DialogAnswer answer{};
        std::string ok, rest, edit;
        in >> answer.kind >> ok;
        answer.ok = ok == "ok";
        std::getline(in, rest);
        std::istringstream parts(rest);
        while (std::getline(parts, edit, '/')) {
            while (!edit.empty() && edit.back() == ' ') edit.pop_back();
            if (edit.find_first_not_of(' ') != std::string::npos) answer.edits.push_back(edit);
        }
        gDialogAnswers.push_back(answer);
        return "ok";
    }
    if (verb == "units") {
        // The front sketch's distance unit, then that of new sketches.
        Sketch* sketch = gEngine.frontSketch;
        return std::to_string(sketch ? sketch->settings.distanceUnit : -1) + " " +
               std::to_string(ThePreferences().sketchSettings.distanceUnit);
    }
    if (verb == "dialog-runs") {
        std::string all;
        for (const std::string& line : gDialogRuns) all += line + "\n";
        return all;
    }
    if (verb == "tool") return std::to_string(CurrentToolId());
    if (verb == "tool-folder") {
        // The tool folder's documents the scan has listed so far, one name a line.
        std::string names;
        for (int32_t i = 0; i < ToolFolderFileCount(); ++i) {
            const char* name = nullptr;
            ToolFolderFileTools(i, &name);
            names += std::string(name) + "\n";
        }
        return names;
    }
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
        CToolBar* bar = ToolboxInUse();
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
    if (verb == "frames") {
        Sketch* sketch = gEngine.frontSketch;
        if (!sketch) return "none";
        std::string reply = std::to_string(sketch->motion.frameCount);
        int wanted = -1;
        if (in >> wanted) {
            std::istringstream lines(Objects());
            std::string line;
            for (int i = 0; std::getline(lines, line); ++i) {
                if (i != wanted) continue;
                std::istringstream fields(line);
                std::string skip, x, y;
                for (int k = 0; k < 5; ++k) fields >> skip;
                fields >> x >> y;
                reply += " " + x + " " + y;
            }
        }
        return reply;
    }
    if (verb == "values") return HookValues();
    if (verb == "buttons") return HookButtons();
    if (verb == "window") return HookWindow();
    if (verb == "build-buttons") {
        std::string kind;
        in >> kind;
        const std::string made = HookBuildButtons(kind);
        if (CFernwickDoc* doc = DocumentOfSketch(gEngine.frontSketch)) doc->InvalidateViews(false, true, true);
        return made;
    }
    if (verb == "build-parameter") {
        double v = 0;
        in >> v;
        const std::string made = HookBuildParameter(v);
        if (made == "ok") {
            if (CFernwickDoc* doc = DocumentOfSketch(gEngine.frontSketch)) doc->InvalidateViews(false, true, true);
        }
        return made;
    }
    if (verb == "build-segment") {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        in >> x1 >> y1 >> x2 >> y2;
        return BuildSegment(x1, y1, x2, y2);
    }
    if (verb == "dialog") return DialogControls();
    if (verb == "sheet") return PrefSheetTabs();
    if (verb == "calc") {
        // The open calculator's tokens, then its caret and selection anchor.
        if (!CalcEditorActive()) return "none";
        ExpressionToken tokens[256];
        const uint32_t n = CalcEditorTokens(tokens, 256);
        uint32_t caret = 0, anchor = 0;
        CalcEditorSelection(&caret, &anchor);
        std::ostringstream out;
        for (uint32_t i = 0; i < n && i < 256; ++i) out << (i ? " " : "") << tokens[i];
        out << "|" << caret << " " << anchor;
        return out.str();
    }
    if (verb == "dialog-rect") {
        HWND dialog = FrontDialog();
        RECT r{};
        return dialog && GetWindowRect(dialog, &r) ? RectText(r) : "none";
    }
    if (verb == "pick-dialog") {
        PostMessageA(FindWindowA(kHookWindowClass, nullptr), kOpenPickDialog, 0, 0);
        return "ok";
    }
    if (verb == "picks") {
        std::string all;
        for (int p : gPicks) all += (all.empty() ? "" : " ") + std::to_string(p);
        return all.empty() ? "none" : all;
    }
    if (verb == "hot") {
        for (SketchObject* o = gEngine.frontSketch ? gEngine.frontSketch->firstObject : nullptr; o; o = o->nextInSketch)
            if (o->stateFlags & kObjectHot) return std::to_string(PositionOf(o));
        return "none";
    }
    if (verb == "busy-pause") {
        unsigned ms = 0;
        in >> ms;
        PauseBusyUpdatesForTest(ms);
        return "ok";
    }
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
    if (verb == "menus") return Menus();
    if (verb == "popup-menu") return PopupMenu();
    if (verb == "stream-codes") return StreamCodes();
    if (verb == "select") return Select(in);
    if (verb == "selection") return Selection();
    if (verb == "toolbox") return Toolbox();
    if (verb == "popout") return Popout();
    if (verb == "status") return StatusText();
    if (verb == "undo") return UndoText();
    if (verb == "tooltip") return ToolTips();
    if (verb == "scrollbars") return ScrollBars();
    if (verb == "grey-close") {
        // Greys the Close item (menu code 89, executor 45) until the engine next refreshes
        // it, as the engine would while the command cannot run.
        uint32_t row = 0, slot = 0;
        if (!MenuCodeToCommandRow(89, &row) || !CmdStateFindItem(row, &slot)) return "none";
        uint16_t text = 0, variant = 0;
        int32_t enabled = 0, argument = 0;
        CmdStateGetItem(slot, &text, &variant, &enabled, &argument);
        CmdStateSetItem(slot, 0, text, variant, 45, argument);
        return "ok";
    }
    if (verb == "child-frame") {
        // The active document window's rectangle on the screen: "left top right bottom".
        CMainFrame* frame = TheMainFrame();
        HWND client = frame ? frame->m_hWndMDIClient : nullptr;
        HWND child = client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
        if (!child) return "none";
        RECT r{};
        GetWindowRect(child, &r);
        return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
               std::to_string(r.bottom);
    }
    if (verb == "paste-formats") {
        // What the engine was last told the clipboard holds: objects, text, formatted text, picture.
        const ClipboardAvailability a = CurrentClipboardAvailability();
        return std::to_string(a.sketchObjects) + " " + std::to_string(a.plainText) + " " +
               std::to_string(a.formattedText) + " " + std::to_string(a.picture);
    }
    if (verb == "scrollbar-end") {
        std::string which;
        in >> which;
        return ScrollBarEnd(which == "V");
    }
    if (verb == "symbol-glyph") {
        int code = 0;
        in >> code;
        return SymbolGlyph(code);
    }
    if (verb == "toolbox-shown") {
        CMainFrame* frame = MainFrame();
        return frame && frame->IsToolboxVisible() ? "1" : "0";
    }
    if (verb == "editing") {
        Sketch* sketch = gEngine.frontSketch;
        if (!sketch) return "no sketch";
        SketchScope scope(sketch);
        return IsCaptionEditing() ? "1" : "0";
    }
    if (verb == "group-text") {
        int group = -1, item = -1;
        in >> group >> item;
        return GroupText(group, item);
    }
    if (verb == "opened") return std::to_string(long(gPopupMadeTime - gButtonDownTime));
    if (verb == "menurect") {
        int bar = -1, item = -1;
        in >> bar >> item;
        HWND main = MainWindow();
        HMENU menu = main ? GetMenu(main) : nullptr;
        RECT r{};
        bool ok = false;
        if (menu && item < 0) {
            ok = GetMenuItemRect(main, menu, UINT(bar), &r);
        } else if (HMENU popup = menu ? GetSubMenu(menu, bar) : nullptr) {
            ok = GetMenuItemRect(nullptr, popup, UINT(item), &r);
        }
        return ok ? RectText(r) : "none";
    }
    if (verb == "popup-rect") {
        int item = -1;
        in >> item;
        HMENU menu = OpenPopupMenu();
        RECT r{};
        return menu && GetMenuItemRect(nullptr, menu, UINT(item), &r) ? RectText(r) : "none";
    }
    if (verb == "list-lines") {
        int id = 0;
        in >> id;
        return ListLines(id);
    }
    if (verb == "menu-item-rect") {
        std::string text;
        std::getline(in >> std::ws, text);
        return MenuItemRect(text);
    }
    if (verb == "cursor") return CursorName();
    if (verb == "splash") return SplashState();
    if (verb == "inplace") return InPlaceState();
    if (verb == "mainvisible") return MainWindow() && IsWindowVisible(MainWindow()) ? "1" : "0";
    if (verb == "minimise") {
        if (MainWindow()) ShowWindow(MainWindow(), SW_MINIMIZE);
        return "ok";
    }
    return "unknown request";
}

LRESULT CALLBACK HookWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kOpenPickDialog) {
        RunPickDialog();
        return 0;
    }
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
        gMessageHook = SetWindowsHookExA(WH_GETMESSAGE, MessageProc, nullptr, GetCurrentThreadId());
        ScriptCommandDialogsForTest(AnswerCommandDialog);
    }
} gHookInstaller;

}  // namespace
