#include "engine/interact/iterate_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/alerts.h"
#include "engine/core/iterations.h"
#include "engine/core/marks.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/random.h"
#include "engine/core/sketch.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/pick_session.h"
#include "engine/text/layout.h"
#include "engine/text/object_text.h"
#include "engine/text/string_groups.h"

namespace {

constexpr int32_t kIterateGroup = 17;
// Items of string group 17.
constexpr int32_t kItemPreImage   = 42;
constexpr int32_t kItemTo         = 43;
constexpr int32_t kItemMapOne     = 44;
constexpr int32_t kItemMapsOneTo  = 45;
constexpr int32_t kItemFirstImage = 46;
constexpr int32_t kItemMapNumber  = 47;
constexpr int32_t kItemArrow      = 48;
constexpr int32_t kItemMoreMaps   = 49;
constexpr int32_t kItemUnmapped   = 50;
constexpr int32_t kPromptPoints   = 51;
constexpr int32_t kPromptValues   = 52;
constexpr int32_t kPromptBoth     = 53;
constexpr int32_t kMessageDepth   = 54;
constexpr int32_t kMessageNotPointImage = 55;
constexpr int32_t kMessageNotValueImage = 56;
constexpr int32_t kMessageNoMemory  = 57;
constexpr int32_t kMessageNoImages  = 58;
constexpr int32_t kMessageFixedDepth = 59;
constexpr int32_t kMessageEmpty     = 84;

// Alerts before the dialog opens.
constexpr ResultCode kAlertNoPointDestinations = 144;
constexpr ResultCode kAlertNoValueDestinations = 145;
constexpr ResultCode kAlertNoDestinations      = 146;
constexpr ResultCode kAlertConflictingSeeds    = 147;

constexpr int32_t kIterateHelpTopic = 41;
constexpr int32_t kToDepthArgument  = 0x100;

// Cell limits: wider or taller contents are drawn small, and clipped if still too big.
constexpr int32_t kCellWidthLimit  = 75;
constexpr int32_t kCellHeightLimit = 30;
constexpr int32_t kColumnGap = 10;
constexpr int32_t kRowGap    = 6;
// The room a map cell's button face takes.
constexpr int32_t kMapCellWidth   = 5;
constexpr int32_t kMapCellAscent  = 3;
constexpr int32_t kMapCellDescent = 2;
constexpr int32_t kMapCellShift   = 3;
constexpr int32_t kLastColumn     = 7;

IterateDialogFields* Dialog(void* record) { return static_cast<IterateDialogFields*>(record); }

bool IsValue(const SketchObject* o) { return KindIsA(EffectiveKind(o), kKindCalculation); }
bool IsPoint(const SketchObject* o) { return o->objectClass == kClassPoint; }

SketchObject*& DestinationOf(IterateModel* model, int32_t map, int32_t seed) {
    return model->destinations[(map - 1) * model->n + seed];
}

IterateCell& Cell(IterateModel* model, int32_t column, int32_t row) {
    return model->cells[row * kIterateGridColumns + column];
}

int32_t Entry(const IterateDialogFields* d, int32_t e) { return d->entry[e].value.integer; }
bool Enabled(const IterateDialogFields* d, int32_t e) { return (d->entry[e].state & kEntryEnabled) != 0; }

// Sets an entry's enabled bit, marking the entry when the bit changes.
bool SetEnabled(IterateDialogFields* d, int32_t e, bool enabled) {
    const bool was = Enabled(d, e);
    if (was == enabled) return false;
    d->entry[e].state = (d->entry[e].state & ~kEntryEnabled) | (enabled ? kEntryEnabled : 0) | kEntryChanged;
    return true;
}

void SetValue(IterateDialogFields* d, int32_t e, int32_t value) {
    if (Entry(d, e) == value) return;
    d->entry[e].value.integer = value;
    d->entry[e].state |= kEntryChanged;
}

void SelectCurrentSeed(IterateModel* model) {
    DeselectAll();
    if (model->currentRow < model->n) SelectSketchObject(model->seeds[model->currentRow]);
}

int32_t PromptOf(SketchObject* const* objects, int32_t count) {
    bool points = false, others = false;
    for (int32_t i = 0; i < count; ++i) (IsPoint(objects[i]) ? points : others) = true;
    return points && others ? kPromptBoth : points ? kPromptPoints : kPromptValues;
}

ResultCode MissingAlert(int32_t prompt) {
    return prompt == kPromptPoints ? kAlertNoPointDestinations
           : prompt == kPromptValues ? kAlertNoValueDestinations
                                     : kAlertNoDestinations;
}

// The selection as an array, newest first, chained through tempLink for the dependents.
int32_t SelectionArray(SketchObject*** out) {
    int32_t count = 0;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) ++count;
    *out = nullptr;
    if (count == 0) return 0;
    auto** items = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * size_t(count), 0));
    if (!items) return -1;
    int32_t i = 0;
    for (SketchObject* o = CurrentSketch()->selectionHead; o; o = o->nextSelected) items[i++] = o;
    *out = items;
    return count;
}

// Every seed enters the category, then in sketch order each object one of whose parents is
// in it, unless the object's drag code for that parent says it does not follow it.
void MarkIterationCandidates(const IterateModel* model, bool* points, bool* values) {
    *points = *values = false;
    for (int32_t i = 0; i < model->n; ++i) MarkObject(kMarkCategoryIterate, model->seeds[i], false);
    for (SketchObject* o = CurrentSketch()->firstObject; o && o != kNotLinked; o = o->nextInSketch) {
        if (HasMarkCategory(kMarkCategoryIterate, o)) continue;
        int32_t count = 0;
        void** parents = PtrListItems(o->parents, &count);
        bool enters = false;
        for (int32_t p = 0; p < count && !enters; ++p) {
            if (!HasMarkCategory(kMarkCategoryIterate, static_cast<SketchObject*>(parents[p]))) continue;
            const int32_t position = std::min(p, kDragPositionCount - 1);
            enters = ConstructionTypeTable[o->constructionType].dragCodes[0][position] != 7;
        }
        if (!enters) continue;
        MarkObject(kMarkCategoryIterate, o, false);
        if (IsPoint(o) && o->exists == 1 && o->hidden == kShown) *points = true;
        if (IsValue(o)) *values = true;
    }
}

// The template of a cell, '%' standing for `number`.
struct NumberUser {
    int32_t number;
};
ResultCode NumberPlaceholder(LayoutNode** out, const char*, int32_t, LayoutNode* parent, LayoutParseContext* context) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", static_cast<NumberUser*>(context->user)->number);
    *out = CreateTextRunWith(text, parent);
    return *out ? kLayoutParseOK : kLayoutParseNoMemory;
}

LayoutNode* TemplateLayout(int32_t item, int32_t number) {
    char text[128];
    GetGroupString(kIterateGroup, item, text, sizeof text);
    NumberUser user{ number };
    LayoutParseContext context{ nullptr, NumberPlaceholder, &user, 0 };
    LayoutNode* tree = nullptr;
    if (ParseLayoutString(&tree, text, &context) >= kLayoutParseNoMemory) {
        if (tree) FreeLayoutNode(tree);
        return nullptr;
    }
    return tree;
}

LayoutDrawState StateAt(GraphicsPort* port, int32_t font, int32_t size) {
    LayoutDrawState state{};
    state.port = port;
    state.style.field[kStyleFont] = static_cast<int16_t>(font);
    state.style.field[kStyleSize] = static_cast<int16_t>(size);
    return state;
}

void MeasureCell(IterateModel* model, GraphicsPort* port, int32_t column, int32_t row) {
    IterateCell& cell = Cell(model, column, row);
    cell = IterateCell{ 1, 0, 0, 0, 0 };
    LayoutNode* content = IterateCellContent(model, column, row);
    if (!content) return;
    const bool mapCell = IsMapCell(model, column, row);
    const auto measure = [&](int32_t size) {
        const LayoutDrawState state = StateAt(port, model->font, size);
        MeasureLayout(content, &state);
        cell.width = content->width + content->overhang + (mapCell ? kMapCellWidth : 0);
        cell.ascent = content->ascent + (mapCell ? kMapCellAscent : 0);
        cell.descent = content->descent + (mapCell ? kMapCellDescent : 0);
        return cell.width <= kCellWidthLimit && cell.ascent <= kCellHeightLimit && cell.descent <= kCellHeightLimit;
    };
    if (measure(model->size)) {
        cell.style = 0;
    } else {
        MarkLayoutSubtreeDirty(content);
        if (measure(model->smallSize)) {
            cell.style = 1;
        } else {
            cell.style = 2;
            cell.width = std::min(cell.width, kCellWidthLimit);
            cell.ascent = std::min(cell.ascent, kCellHeightLimit);
            cell.descent = std::min(cell.descent, kCellHeightLimit);
        }
    }
    FreeLayoutNode(content);
}

// Maps whose destinations are all their seeds' own or repeat an earlier map's produce
// nothing new: only the others are iterated.
int32_t GatherMapEntries(const IterateModel* model, SketchObject** entries) {
    const int32_t n = model->n;
    for (int32_t i = 0; i < n; ++i) entries[i] = model->seeds[i];
    int32_t kept = 0;
    for (int32_t k = 1; k <= model->m; ++k) {
        SketchObject** map = entries + (kept + 1) * n;
        for (int32_t i = 0; i < n; ++i) {
            SketchObject* d = model->destinations[(k - 1) * n + i];
            map[i] = d ? d : model->seeds[i];
        }
        bool repeat = false;
        for (int32_t earlier = 0; earlier <= kept && !repeat; ++earlier)
            repeat = std::equal(map, map + n, entries + earlier * n);
        if (!repeat) ++kept;
    }
    return kept;
}

void SelectIterationResults(SketchObject* iteration) {
    DeselectAll();
    int32_t count = 0;
    void** children = PtrListItems(iteration->children, &count);
    for (int32_t i = 0; i < count; ++i) {
        auto* child = static_cast<SketchObject*>(children[i]);
        if (child->exists == 1 && child->hidden == kShown && child->objectClass != kClassTable)
            SelectSketchObject(child);
    }
}

void DestroyPreview(IterateModel* model) {
    if (!model->preview) return;
    DestroyIterationObjects(model->preview);
    model->preview = nullptr;
}

}  // namespace

// ---- Model

bool PrepareIterateModel(IterateModel* model, bool toDepth) {
    *model = IterateModel{};
    Sketch* sketch = CurrentSketch();
    if (!sketch || !sketch->selectionHead) return false;
    if (toDepth) {
        model->depthValue = sketch->selectionHead;
        DeselectSketchObject(model->depthValue);
    }
    bool conflicted = false;
    SketchObject** seeds = nullptr;
    int32_t n = 0;
    for (;;) {
        FreeMemory(seeds);
        n = SelectionArray(&seeds);
        if (n <= 0) return false;
        for (int32_t i = 0; i < n; ++i) seeds[i]->tempLink = i + 1 < n ? seeds[i + 1] : nullptr;
        SketchObject* conflict = nullptr;
        SketchObject* chain = IterationDependents(seeds, n, &conflict);
        if (conflict) {
            DeselectSketchObject(conflict);
            conflicted = true;
            continue;
        }
        if (!chain) {
            ShowAlertByCode(MissingAlert(PromptOf(seeds, n)), 1);
            FreeMemory(seeds);
            return false;
        }
        break;
    }
    model->seeds = seeds;
    model->n = static_cast<uint16_t>(n);
    model->m = 1;
    model->destinations = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * size_t(n), kAllocZero));
    model->cells = static_cast<IterateCell*>(
        AllocMemory(sizeof(IterateCell) * size_t(n + 2) * kIterateGridColumns, kAllocZero));
    if (!model->destinations || !model->cells) {
        FreeIterateModel(model);
        ShowAlertByCode(kResultOutOfMemory, 1);
        return false;
    }
    model->prompt = static_cast<int16_t>(PromptOf(seeds, n));
    model->currentMap = 1;
    model->pickingAllowed = 1;
    model->columns = 3;
    model->previewSeed = static_cast<int32_t>(GetRandomSeed());
    SelectCurrentSeed(model);
    if (conflicted) ShowAlertByCode(kAlertConflictingSeeds, 1);
    return true;
}

void FreeIterateModel(IterateModel* model) {
    FreeMemory(model->seeds);
    FreeMemory(model->destinations);
    FreeMemory(model->cells);
    model->seeds = model->destinations = nullptr;
    model->cells = nullptr;
}

void InitIterateDialog(IterateDialogFields* d, IterateModel* model) {
    const int32_t budget = IterationBudget();
    d->model = model;
    d->entry[kIterateHeader]       = { 9, 0, { .integer = 0 }, 0, 0 };
    d->entry[kIterateConfirm]      = { 1, 3, { .integer = 0 }, 0, 0 };
    d->entry[kIterateFinalOnly]    = { 0, kEntryEnabled, { .integer = 0 }, 0, 0 };
    d->entry[kIterateNonPointOnly] = { 0, 0, { .integer = 0 }, 0, 0 };
    d->entry[kIterateTabulate]     = { 1, 0, { .integer = 1 }, 0, 0 };
    d->entry[kIterateRandomPlaces] = { 0, 0, { .integer = 0 }, 0, 0 };
    d->entry[kIterateAddMap]       = { 1, 0, { .integer = 0 }, 0, 0 };
    d->entry[kIterateRemoveMap]    = { 1, 0, { .integer = 0 }, 0, 0 };
    d->entry[kIterateDepth]        = { 5, model->depthValue ? 0 : kEntryEnabled, { .integer = 3 }, budget, 1 };
    d->entry[kIterateMessage]      = { 4, kEntryChanged, { .text = model->message }, kIterateMessageRoom, 0 };
}

// ---- Grid

int32_t MapOfColumn(const IterateModel* model, int32_t column) {
    if (model->m > 4 && column == kLastColumn) return 0;
    return model->m - column + 3;
}

int32_t ColumnOfMap(const IterateModel* model, int32_t map) {
    if (model->m < 5 || map > model->m - 4) return model->m - map + 3;
    return kLastColumn;
}

bool IsMapCell(const IterateModel* model, int32_t column, int32_t row) {
    return row >= 2 && column >= 3 && !(model->m > 4 && column >= kLastColumn);
}

LayoutNode* IterateCellContent(const IterateModel* model, int32_t column, int32_t row) {
    const bool folded = model->m > 4 && column == kLastColumn;
    if (row == 1) {
        if (column == 1) return TemplateLayout(kItemPreImage, 0);
        if (column == 2) return TemplateLayout(kItemTo, 0);
        if (folded) return model->m == 5 ? TemplateLayout(kItemMapOne, 0) : TemplateLayout(kItemMapsOneTo, model->m - 4);
        if (model->m == 1) return TemplateLayout(kItemFirstImage, 0);
        return TemplateLayout(kItemMapNumber, MapOfColumn(model, column));
    }
    const int32_t seed = row - 2;
    if (seed < 0 || seed >= model->n) return nullptr;
    if (column == 1) return BuildObjectLabelLayout(model->seeds[seed], nullptr, false, false);
    if (column == 2) return TemplateLayout(kItemArrow, 0);
    if (folded) return TemplateLayout(kItemMoreMaps, 0);
    const int32_t map = MapOfColumn(model, column);
    if (map < 1 || map > model->m) return nullptr;
    SketchObject* d = model->destinations[(map - 1) * model->n + seed];
    return d ? BuildObjectLabelLayout(d, nullptr, false, false) : TemplateLayout(kItemUnmapped, 0);
}

void InvalidateIterateCell(IterateModel* model, int32_t column, int32_t row) {
    if (column < 0 || column >= kIterateGridColumns || row < 0 || row > model->n + 1) return;
    Cell(model, column, row).valid = 0;
    Cell(model, column, 0).valid = 0;
    Cell(model, 0, row).valid = 0;
    model->gridValid = 0;
}

void InvalidateIterateGrid(IterateModel* model) {
    for (int32_t r = 0; r <= model->n + 1; ++r)
        for (int32_t c = 0; c < kIterateGridColumns; ++c) Cell(model, c, r).valid = 0;
    model->gridValid = 0;
}

void MeasureIterateGrid(IterateDialogFields* dialog, GraphicsPort* port, int32_t font, int32_t size,
                        int32_t smallSize, int32_t* width, int32_t* height) {
    IterateModel* model = dialog->model;
    if (font != model->font || size != model->size || smallSize != model->smallSize) {
        model->font = font;
        model->size = size;
        model->smallSize = smallSize;
        InvalidateIterateGrid(model);
    }
    if (!model->gridValid) {
        const int32_t rows = model->n + 1;
        for (int32_t r = 1; r <= rows; ++r)
            for (int32_t c = 1; c <= model->columns; ++c)
                if (!Cell(model, c, r).valid) MeasureCell(model, port, c, r);
        for (int32_t r = 1; r <= rows; ++r) {
            IterateCell& h = Cell(model, 0, r);
            if (h.valid) continue;
            h = IterateCell{ 1, 0, 0, 0, 0 };
            for (int32_t c = 1; c <= model->columns; ++c) {
                h.ascent = std::max(h.ascent, Cell(model, c, r).ascent);
                h.descent = std::max(h.descent, Cell(model, c, r).descent);
            }
        }
        for (int32_t c = 1; c <= model->columns; ++c) {
            IterateCell& w = Cell(model, c, 0);
            if (w.valid) continue;
            w = IterateCell{ 1, 0, 0, 0, 0 };
            for (int32_t r = 1; r <= rows; ++r) w.width = std::max(w.width, Cell(model, c, r).width);
        }
        model->gridHeight = 0;
        for (int32_t r = 1; r <= rows; ++r)
            model->gridHeight += Cell(model, 0, r).ascent + Cell(model, 0, r).descent + (r > 1 ? kRowGap : 0);
        model->gridWidth = 0;
        for (int32_t c = 1; c <= model->columns; ++c) model->gridWidth += Cell(model, c, 0).width + (c > 1 ? kColumnGap : 0);
        model->gridValid = 1;
    }
    *width = model->gridWidth;
    *height = model->gridHeight;
}

void DrawIterateGrid(IterateDialogFields* dialog, GraphicsPort* port, int32_t x, int32_t y) {
    IterateModel* model = dialog->model;
    if (!model->gridValid) return;
    const int32_t currentColumn = ColumnOfMap(model, model->currentMap);
    int32_t left = x;
    for (int32_t c = 1; c <= model->columns; ++c) {
        const int32_t columnWidth = Cell(model, c, 0).width;
        int32_t top = y;
        for (int32_t r = 1; r <= model->n + 1; ++r) {
            const IterateCell& h = Cell(model, 0, r);
            const IterateCell& cell = Cell(model, c, r);
            const ScreenRect box = { RoundToScreen(left), RoundToScreen(top), RoundToScreen(left + columnWidth),
                                     RoundToScreen(top + h.ascent + h.descent) };
            const bool mapCell = IsMapCell(model, c, r);
            const bool pressed = mapCell && r == model->currentRow + 2 && c == currentColumn;
            DrawDialogCellFrame(port, box, mapCell, pressed);
            if (LayoutNode* content = IterateCellContent(model, c, r)) {
                LayoutDrawState state = StateAt(port, model->font, cell.style ? model->smallSize : model->size);
                MeasureLayout(content, &state);
                const int32_t contentWidth = content->width + content->overhang + (mapCell ? kMapCellWidth : 0);
                state.x = RoundToScreen(left + (columnWidth - contentWidth) / 2 + (mapCell ? kMapCellShift : 0));
                state.y = RoundToScreen(top + h.ascent);
                DrawLayout(content, &state);
                FreeLayoutNode(content);
            }
            EndDialogCellFrame(port);
            top += h.ascent + h.descent + kRowGap;
        }
        left += columnWidth + kColumnGap;
    }
}

bool IterateGridHitTest(IterateDialogFields* dialog, ScreenPoint point, bool select, int32_t x, int32_t y) {
    IterateModel* model = dialog->model;
    if (!model->gridValid) return false;
    int32_t column = 0, row = 0;
    for (int32_t c = 1, left = x; c <= model->columns && !column; ++c) {
        const int32_t width = Cell(model, c, 0).width;
        if (point.x >= left && point.x < left + width) column = c;
        left += width + kColumnGap;
    }
    for (int32_t r = 1, top = y; r <= model->n + 1 && !row; ++r) {
        const int32_t height = Cell(model, 0, r).ascent + Cell(model, 0, r).descent;
        if (point.y >= top && point.y < top + height) row = r;
        top += height + kRowGap;
    }
    if (!column || !row || !IsMapCell(model, column, row)) return false;
    if (!select) return true;
    const int32_t map = MapOfColumn(model, column);
    if (row == model->currentRow + 2 && map == model->currentMap) return false;
    InvalidateIterateCell(model, ColumnOfMap(model, model->currentMap), model->currentRow + 2);
    model->currentRow = static_cast<uint16_t>(row - 2);
    model->currentMap = static_cast<uint16_t>(map);
    InvalidateIterateCell(model, column, row);
    model->changed = 1;
    SelectCurrentSeed(model);
    return true;
}

// ---- Commands

namespace {

void MoveToCell(IterateModel* model, int32_t row, int32_t map) {
    InvalidateIterateCell(model, ColumnOfMap(model, model->currentMap), model->currentRow + 2);
    model->currentRow = static_cast<uint16_t>(row);
    model->currentMap = static_cast<uint16_t>(map);
    InvalidateIterateCell(model, ColumnOfMap(model, model->currentMap), model->currentRow + 2);
}

// The visible maps: all of them, or the newest four when they fold.
int32_t FirstVisibleMap(const IterateModel* model) { return model->m >= 5 ? model->m - 3 : 1; }

void StepMap(IterateModel* model, int32_t direction) {
    const int32_t first = FirstVisibleMap(model);
    int32_t map = model->currentMap + direction;
    if (map > model->m) map = first;
    if (map < first) map = model->m;
    MoveToCell(model, model->currentRow, map);
}

}  // namespace

void IterateDialogCommand(IterateDialogFields* d, int32_t command) {
    IterateModel* model = d->model;
    const int32_t n = model->n;
    switch (command) {
        case 0:
            if (Enabled(d, kIterateAddMap)) SetValue(d, kIterateAddMap, 1);
            break;
        case 1:
            if (Enabled(d, kIterateRemoveMap)) SetValue(d, kIterateRemoveMap, 1);
            break;
        case 2:
        case 3:
            if (Enabled(d, kIterateNonPointOnly)) SetValue(d, kIterateNonPointOnly, command - 2);
            break;
        case 4:
            SetValue(d, kIterateTabulate, Enabled(d, kIterateTabulate) && !Entry(d, kIterateTabulate) ? 1 : 0);
            break;
        case 5:
            if (Enabled(d, kIterateRandomPlaces)) SetValue(d, kIterateRandomPlaces, 0);
            break;
        case 6:
            if (Entry(d, kIterateRandomPlaces) == 1) model->previewSeed = static_cast<int32_t>(GetRandomSeed());
            if (Enabled(d, kIterateRandomPlaces)) SetValue(d, kIterateRandomPlaces, 1);
            break;
        case 7:
        case 8:
            if (model->depthValue) {
                SetIterateMessage(d, kMessageFixedDepth);
                model->skipNextRebuild = 1;
            } else {
                const DialogField& e = d->entry[kIterateDepth];
                const int32_t depth = Entry(d, kIterateDepth) + (command == 7 ? 1 : -1);
                SetValue(d, kIterateDepth, std::clamp(depth, e.lower, e.upper));
            }
            break;
        case 9:
        case 10:
            SetValue(d, kIterateFinalOnly, command - 9);
            break;
        case 11:
            MoveToCell(model, model->currentRow == 0 ? n - 1 : model->currentRow - 1, model->currentMap);
            break;
        case 12:
            MoveToCell(model, model->currentRow + 1 >= n ? 0 : model->currentRow + 1, model->currentMap);
            break;
        case 13:
            StepMap(model, 1);
            break;
        case 14:
            StepMap(model, -1);
            break;
        case 15:
            if (model->currentRow + 1 >= n) {
                MoveToCell(model, 0, model->currentMap);
                StepMap(model, -1);
            } else {
                MoveToCell(model, model->currentRow + 1, model->currentMap);
            }
            break;
        case 16:
            if (model->currentRow == 0) {
                MoveToCell(model, n - 1, model->currentMap);
                StepMap(model, 1);
            } else {
                MoveToCell(model, model->currentRow - 1, model->currentMap);
            }
            break;
        case 17:
            DestinationOf(model, model->currentMap, model->currentRow) = nullptr;
            InvalidateIterateCell(model, ColumnOfMap(model, model->currentMap), model->currentRow + 2);
            break;
        default:
            return;
    }
    model->changed = 1;
    SelectCurrentSeed(model);
}

// ---- Change routine, preview and entries

int32_t IterateDialogChanged(void* record) {
    IterateDialogFields* d = Dialog(record);
    IterateModel* model = d->model;
    bool structure = false;
    if (Entry(d, kIterateAddMap)) {
        SetValue(d, kIterateAddMap, 0);
        // Unmapped destinations of the old maps stand for their own seeds from now on.
        for (int32_t i = 0; i < model->m * model->n; ++i)
            if (!model->destinations[i]) model->destinations[i] = model->seeds[i % model->n];
        if (ReallocMemoryOf(&model->destinations, sizeof(SketchObject*) * size_t(model->m + 1) * model->n, false)) {
            std::fill_n(model->destinations + model->m * model->n, model->n, nullptr);
            ++model->m;
            model->currentRow = 0;
            model->currentMap = model->m;
            if (model->m == 2) {
                if (Enabled(d, kIterateNonPointOnly)) SetValue(d, kIterateNonPointOnly, 1);
                d->entry[kIterateDepth].upper = kMaxMultiMapDepth;
                if (Entry(d, kIterateDepth) > 3) SetValue(d, kIterateDepth, 3);
            }
            SetIterateMessage(d, kMessageDepth);
        } else {
            SetIterateMessage(d, kMessageNoMemory);
        }
        structure = true;
    }
    if (Entry(d, kIterateRemoveMap)) {
        SetValue(d, kIterateRemoveMap, 0);
        if (model->m >= 2) {
            const int32_t k = model->currentMap;
            SketchObject** all = model->destinations;
            std::copy(all + k * model->n, all + model->m * model->n, all + (k - 1) * model->n);
            if (model->currentMap == model->m) model->currentMap = static_cast<uint16_t>(model->m - 1);
            --model->m;
            model->currentRow = 0;
            if (model->m == 1) {
                SetValue(d, kIterateNonPointOnly, 0);
                d->entry[kIterateDepth].upper = IterationBudget();
            }
            SetIterateMessage(d, kMessageEmpty);
        }
        structure = true;
    }
    if (structure) {
        model->columns = model->m > 4 ? kLastColumn : model->m + 2;
        InvalidateIterateGrid(model);
        SelectCurrentSeed(model);
    }
    if (model->skipNextRebuild) model->skipNextRebuild = 0;
    else BuildIterationPreview(d, true);
    const bool entries = RefreshIterateEntries(d) != 0;
    model->changed = 0;
    return !model->gridValid || entries ? 1 : 0;
}

bool BuildIterationPreview(IterateDialogFields* d, bool preview) {
    IterateModel* model = d->model;
    DestroyPreview(model);
    const int32_t n = model->n;
    auto* entries = static_cast<SketchObject**>(AllocMemory(sizeof(SketchObject*) * size_t(model->m + 1) * n, 0));
    if (!entries) {
        SetIterateMessage(d, kMessageNoMemory);
        return false;
    }
    const int32_t maps = GatherMapEntries(model, entries);
    if (maps == 0) {
        FreeMemory(entries);
        SetIterateMessage(d, kMessageNoImages);
        return false;
    }
    SetRandomSeed(static_cast<uint32_t>(model->previewSeed));
    IterationBuild build{};
    build.entries = entries;
    build.depthValue = model->depthValue;
    build.seedCount = n;
    build.mapCount = maps;
    build.depth = Entry(d, kIterateDepth);
    build.finalOnly = Entry(d, kIterateFinalOnly);
    build.nonPointImagesOnly = Entry(d, kIterateNonPointOnly);
    build.tabulate = Entry(d, kIterateTabulate);
    build.randomOnPaths = Entry(d, kIterateRandomPlaces);
    build.preview = preview ? 1 : 0;
    SketchObject* iteration = BuildIteration(&build);
    FreeMemory(entries);
    model->previewHasNonPointImages = build.hasNonPointImages;
    model->previewHasPointImages = build.hasPointImages;
    model->previewHasTable = build.hasTable;
    if (!iteration) {
        SetIterateMessage(d, kMessageNoImages);
        return false;
    }
    model->preview = iteration;
    SketchObject* head = iteration;
    iteration->tempLink = nullptr;
    CollectDependents(&head, true);
    RecomputeObjects(head, true, nullptr);
    const int32_t depth = IterationDataOf(iteration)->parameters.depth;
    if (!model->depthValue && depth < Entry(d, kIterateDepth)) {
        SetValue(d, kIterateDepth, depth);
        SetIterateMessage(d, kMessageNoMemory);
    } else {
        SetIterateMessage(d, kMessageDepth);
    }
    return true;
}

int32_t RefreshIterateEntries(void* record) {
    IterateDialogFields* d = Dialog(record);
    IterateModel* model = d->model;
    const SketchObject* preview = model->preview;
    bool changed = false;
    if (SetEnabled(d, kIterateConfirm, preview != nullptr)) {
        changed = true;
        if (preview) SetIterateMessage(d, kMessageDepth);
    }
    bool differs = false;
    for (int32_t i = 0; i < model->n && !differs; ++i) {
        const SketchObject* dest = DestinationOf(model, model->m, i);
        differs = dest && dest != model->seeds[i];
    }
    changed |= SetEnabled(d, kIterateAddMap, differs);
    changed |= SetEnabled(d, kIterateRemoveMap, model->m >= 2);
    changed |= SetEnabled(d, kIterateRandomPlaces, preview && IterationDataOf(preview)->pathState);
    changed |= SetEnabled(d, kIterateNonPointOnly,
                          preview && model->previewHasPointImages && model->previewHasNonPointImages);
    changed |= SetEnabled(d, kIterateTabulate, preview && model->previewHasTable);
    return changed ? 1 : 0;
}

void SetIterateMessage(IterateDialogFields* d, int32_t item) {
    IterateModel* model = d->model;
    char text[kIterateMessageRoom] = { 0 };
    if (item == kMessageDepth) {
        char format[64];
        GetGroupString(kIterateGroup, item, format, sizeof format);
        const int32_t depth = model->depthValue ? DepthFromValue(model->depthValue, model->m) : Entry(d, kIterateDepth);
        std::snprintf(text, sizeof text, format, depth);
    } else if (item != kMessageEmpty) {
        GetGroupString(kIterateGroup, item, text, sizeof text);
    }
    std::memcpy(model->message, text, sizeof text);
    model->message[kIterateMessageRoom - 1] = 0;
    d->entry[kIterateMessage].state |= kEntryChanged;
    model->changed = 1;
}

// ---- Picking

bool IteratePickFilter(SketchObject* object, void* record) {
    const IterateModel* model = Dialog(record)->model;
    if (!object || !model->pickingAllowed || !HasMarkCategory(kMarkCategoryIterate, object)) return false;
    return IsPoint(model->seeds[model->currentRow]) ? IsPoint(object) : IsValue(object);
}

void IteratePickAccept(SketchObject* object, void* record, int32_t (**apply)(void*)) {
    IterateDialogFields* d = Dialog(record);
    IterateModel* model = d->model;
    const int32_t map = model->currentMap;
    for (int32_t i = 0; i < model->n; ++i) {
        if (i != model->currentRow && DestinationOf(model, map, i) == object) {
            DestinationOf(model, map, i) = nullptr;
            InvalidateIterateCell(model, ColumnOfMap(model, map), i + 2);
        }
    }
    DestinationOf(model, map, model->currentRow) = object;
    InvalidateIterateCell(model, ColumnOfMap(model, map), model->currentRow + 2);
    BuildIterationPreview(d, true);
    IterateDialogCommand(d, 15);
    *apply = RefreshIterateEntries;
}

void IteratePickRefused(SketchObject* object, void* record, int32_t (**apply)(void*)) {
    IterateDialogFields* d = Dialog(record);
    const IterateModel* model = d->model;
    *apply = RefreshIterateEntries;
    const SketchObject* seed = model->seeds[model->currentRow];
    if (!object) SetIterateMessage(d, kMessageEmpty);
    else if (IsPoint(object) && IsPoint(seed)) SetIterateMessage(d, kMessageNotPointImage);
    else if (IsValue(object) && IsValue(seed)) SetIterateMessage(d, kMessageNotValueImage);
    else SetIterateMessage(d, model->prompt);
}

// ---- The command

ResultCode IterateCommand(int32_t argument) {
    if (!CurrentSketch()) return kResultOK;
    IterateModel model;
    if (!PrepareIterateModel(&model, (argument & kToDepthArgument) != 0)) return kResultOK;
    IterateDialogFields dialog{};
    InitIterateDialog(&dialog, &model);
    SetIterateMessage(&dialog, model.prompt);
    RefreshIterateEntries(&dialog);

    bool points = false, values = false;
    MarkIterationCandidates(&model, &points, &values);
    ResultCode missing = kResultOK;
    if (model.prompt == kPromptPoints && !points) missing = kAlertNoPointDestinations;
    else if (model.prompt == kPromptValues && !values) missing = kAlertNoValueDestinations;
    else if (model.prompt == kPromptBoth && !values) missing = points ? kAlertNoValueDestinations : kAlertNoDestinations;
    else if (model.prompt == kPromptBoth && !points) missing = kAlertNoPointDestinations;
    if (missing != kResultOK) {
        ShowAlertByCode(missing, 1);
        ClearMark(kMarkCategoryIterate);
        FreeIterateModel(&model);
        return kResultOK;
    }

    PickSessionBegin(IteratePickFilter, IteratePickAccept, IteratePickRefused, &dialog);
    const bool confirmed = RunCommandDialog(kDialogIterate, &dialog, IterateDialogChanged, kIterateHelpTopic, 1);
    PickSessionEnd();
    ClearMark(kMarkCategoryIterate);

    if (confirmed && BuildIterationPreview(&dialog, false)) {
        SketchObject* iteration = model.preview;
        model.preview = nullptr;
        SelectIterationResults(iteration);
    } else {
        DestroyPreview(&model);
        DeselectAll();
        for (int32_t i = 0; i < model.n; ++i)
            if (model.seeds[i]->exists == 1 && model.seeds[i]->hidden == kShown) SelectSketchObject(model.seeds[i]);
    }
    FreeIterateModel(&model);
    return kResultOK;
}
