#include "engine/interact/object_properties.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "engine/calc/measurements.h"
#include "engine/calc/parameters.h"
#include "engine/calc/tables.h"
#include "engine/calc/value_display.h"
#include "engine/calc/value_objects.h"
#include "engine/core/action_button_data.h"
#include "engine/core/alerts.h"
#include "engine/core/iterations.h"
#include "engine/core/locus.h"
#include "engine/core/memory.h"
#include "engine/core/object_creation.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/action_buttons.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/preferences.h"
#include "engine/core/services/tables.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/status_text.h"
#include "engine/core/units.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/action_buttons.h"
#include "engine/interact/command_executors.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/locus_commands.h"
#include "engine/interact/motion_params.h"
#include "engine/interact/pick_session.h"
#include "engine/interact/selection_census.h"
#include "engine/interact/tool_playback.h"
#include "engine/text/object_descriptions.h"
#include "engine/text/object_labels.h"
#include "engine/text/object_text.h"
#include "engine/text/status_prompt.h"

PropertiesPages PropertiesPageSet = {};

namespace {

constexpr uint32_t kShownEnabled = kFieldEnabled | kFieldVisible;
constexpr int32_t  kPromptGroup = 16;
constexpr int32_t  kPickPromptItem = 38;
constexpr int32_t  kLayoutTemplateGroup = 13;
constexpr int32_t  kGivenDescriptionItem = 126;
constexpr int32_t  kSelectionGroup = 14;  // command states that follow the selection's labels
constexpr double   kMaxPresentationSeconds = 300.0;
constexpr int32_t  kLargestIterationDepth = 20;
constexpr int32_t  kKindTableCategory = 66;

// Where the sheet was last closed: the page the next command opens on.
int32_t gLastPage = 0;
// The open run's cancelled flag, cleared when a retarget stores the pages.
bool* gRunCancelled = nullptr;

// The Label page's text lives here: the field holds a caller buffer.
char gLabelText[kLabelBufferSize];
// The label as loaded, and as the live apply last saw it.
char gLabelLoaded[kLabelBufferSize];
char gLabelSeen[kLabelBufferSize];
// The style the Style... button edits: a copy, applied on OK.
TextStyle gLabelStyle;
TextStyle gLabelStyleLoaded;

// What Cancel puts back on an iteration (it is applied while the sheet is open).
IterationParameters gIterationSaved;

int32_t IntOf(const DialogField& f) { return f.value.integer; }
void SetInt(DialogField& f, int32_t v) { f.value.integer = v; }
void SetReal(DialogField& f, double v) { f.value.real = v; }
void Show(DialogField& f, bool shown) {
    if (shown) f.state |= kFieldVisible;
    else f.state &= ~kFieldVisible;
}
void Enable(DialogField& f, bool enabled) {
    if (enabled) f.state |= kFieldEnabled;
    else f.state &= ~kFieldEnabled;
}

bool IsToolGiven(const SketchObject* o) {
    const Sketch* sketch = CurrentSketch();
    if (!sketch || o->givenIndex < 0) return false;
    int32_t count = 0;
    PtrListSize(sketch->givenList, &count);
    return o->givenIndex < count;
}

bool CarriesGeometricLabel(const SketchObject* o) {
    ObjectPredicateFn follows = ObjectClassTable[o->objectClass].labelFollowsGeometry;
    return follows != nullptr && follows(o);
}

bool IsBlank(const char* text) {
    for (; *text; ++text)
        if (*text != ' ' && *text != '\t') return false;
    return true;
}

SketchObject* ParentAt(const SketchObject* o, int32_t index) {
    int32_t count = 0;
    PtrListSize(o->parents, &count);
    return index < count ? static_cast<SketchObject*>(PtrListItem(o->parents, index)) : nullptr;
}

// The current sketch is the body of the custom tool shown with its steps: edits go
// straight into the objects, without undo.
bool InToolBodyMode() {
    Sketch* sketch = CurrentSketch();
    return sketch != nullptr && sketch == GetPlaybackTool(nullptr);
}

// A toggling Hide/Show button takes the mode its targets' visibility asks for.
void UpdateToggleButton(SketchObject* button) {
    int32_t targets = 0, visible = 0;
    PtrListSize(button->parents, &targets);
    for (int32_t t = 0; t < targets; ++t) {
        auto* o = static_cast<SketchObject*>(PtrListItem(button->parents, t));
        if (o != nullptr && o->hidden == kShown) ++visible;
    }
    if (visible == 0 && targets > 0) ActionButtonSetShowMode(button, true);
    else if (visible > 0) ActionButtonSetShowMode(button, false);
}

// An automatic caption made afresh from the button's type and targets.
void RegenerateButtonCaption(SketchObject* button) {
    char text[kLabelBufferSize] = "";
    int32_t level = kLabelSequence;
    ActionButtonCaption(button, text, sizeof text, &level);
    StoreLabelText(button, text, true);
    button->label.level = level;
    ActionButtonFrameMetrics(button);
    AddObjectToDirtyRect(button);
}

void DeselectIfHidden(SketchObject* o) {
    if (o->hidden != kShown && o->nextSelected != kNotLinked) DeselectSketchObject(o);
}

// ---- Templates: kind, state, upper, lower per field ------------------------------------

struct FieldShape {
    int32_t  kind;
    uint32_t state;
    int32_t  upper;
    int32_t  lower;
};

template <size_t N>
void CopyShapes(DialogField* fields, const FieldShape (&shapes)[N]) {
    for (size_t i = 0; i < N; ++i)
        fields[i] = DialogField{ shapes[i].kind, shapes[i].state, {}, shapes[i].upper, shapes[i].lower };
}

constexpr uint32_t SE = kShownEnabled;

//                                  kind              state  upper            lower
const FieldShape kObjectShapes[] = {
    { kFieldObject,     0,  0,       0 },
    { kFieldObject,     0,  0,       0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldFlag,       0,  4,       0 },
    { kFieldSelection,  SE, 0,       0 },
    { kFieldSelection,  SE, 0,       0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldOwnedText,  SE, 0,       0 },
};
const FieldShape kLabelShapes[] = {
    { kFieldText,       SE, int32_t(kLabelBufferSize), 0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldButton,     SE, 0,       0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldChoice,     0,  83,      80 },
};
const FieldShape kPlotShapes[] = {
    { kFieldInteger,    SE, INT_MAX, kMinLocusSamples },
    { kFieldChoice,     SE, 1,       0 },
    { kFieldObject,     0,  0,       0 },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldObject,     0,  0,       0 },
};
const FieldShape kValueShapes[] = {
    { kFieldListChoice, SE, kMaxPrecision, 0 },
    { kFieldChoice,     SE, 3,       0 },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldChoice,     0,  2,       0 },
};
const FieldShape kAnimateShapes[] = {
    { kFieldObjectList, 0,  0,       0 },
    { kFieldObjectList, 0,  0,       0 },
    { kFieldObjectList, 0,  0,       0 },
    { kFieldInteger,    0,  0,       0 },
    { kFieldInteger,    SE, 0,       0 },
    { kFieldSelection,  SE, 3,       0 },
    { kFieldSelection,  SE, 3,       0 },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldChoice,     SE, 1,       0 },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
};
const FieldShape kHideShowShapes[] = {
    { kFieldChoice,     SE, 2,       0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldFlag,       SE, 1,       0 },
};
const FieldShape kMoveShapes[] = {
    { kFieldListChoice, SE, 3,       0 },
    { kFieldChoice,     SE, 1,       0 },
};
const FieldShape kScrollShapes[] = {
    { kFieldChoice,     SE, 1,       0 },
};
const FieldShape kLinkShapes[] = {
    { kFieldChoice,     SE, 1,       0 },
    { kFieldSelection,  SE, 0,       0 },
    { kFieldSelection,  SE, 0,       0 },
    { kFieldOwnedText,  SE, 0,       0 },
};
const FieldShape kPresentationShapes[] = {
    { kFieldChoice,     SE, 1,       0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldFlag,       SE, 1,       0 },
    { kFieldChoice,     SE, 2,       0 },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
};
const FieldShape kIterationShapes[] = {
    { kFieldInteger,    SE, 1,       1 },
    { kFieldChoice,     SE, 1,       0 },
    { kFieldChoice,     SE, 1,       0 },
    { kFieldFlag,       0,  1,       0 },
};
const FieldShape kParameterShapes[] = {
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldNumber,     SE, INT_MAX, INT_MIN },
    { kFieldChoice,     SE, 1,       0 },
};
const FieldShape kTableShapes[] = {
    { kFieldFlag,       SE, 1,       0 },
};

void ObjectPageTemplate(DialogField* f) { CopyShapes(f, kObjectShapes); }
void LabelPageTemplate(DialogField* f) { CopyShapes(f, kLabelShapes); }
void PlotPageTemplate(DialogField* f) { CopyShapes(f, kPlotShapes); }
void ValuePageTemplate(DialogField* f) { CopyShapes(f, kValueShapes); }
void AnimatePageTemplate(DialogField* f) { CopyShapes(f, kAnimateShapes); }
void HideShowPageTemplate(DialogField* f) { CopyShapes(f, kHideShowShapes); }
void MovePageTemplate(DialogField* f) { CopyShapes(f, kMoveShapes); }
void ScrollPageTemplate(DialogField* f) { CopyShapes(f, kScrollShapes); }
void LinkPageTemplate(DialogField* f) { CopyShapes(f, kLinkShapes); }
void PresentationPageTemplate(DialogField* f) { CopyShapes(f, kPresentationShapes); }
void IterationPageTemplate(DialogField* f) { CopyShapes(f, kIterationShapes); }
void ParameterPageTemplate(DialogField* f) { CopyShapes(f, kParameterShapes); }
void TablePageTemplate(DialogField* f) { CopyShapes(f, kTableShapes); }

// ---- Object page -----------------------------------------------------------------------

void SetHiddenState(SketchObject* o, int32_t state, bool undo) {
    if (InToolBodyMode()) {
        AddObjectToDirtyRect(o);
        o->hidden = state;
        AddObjectToDirtyRect(o);
    } else {
        ChangeObjectHidden(o, state, undo);
    }
}

void FreeObjectPageHoldings(DialogField* f) {
    PtrList parents = static_cast<PtrList>(IntOf(f[4]));
    PtrList children = static_cast<PtrList>(IntOf(f[5]));
    FreePtrList(&parents);
    FreePtrList(&children);
    SetInt(f[4], 0);
    SetInt(f[5], 0);
    FreeMemory(f[7].value.text);
    f[7].value.text = nullptr;
}

void ObjectPageIo(int32_t op, SketchObject* o, DialogField* f) {
    if (op == kPageLoad) {
        const bool given = IsToolGiven(o);
        f[0].value.pointer = o;
        f[1].value.pointer = nullptr;
        SetInt(f[2], o->hidden != kShown ? 1 : 0);
        SetInt(f[3], o->hidden);
        Enable(f[2], !given && o->objectClass != kClassIteration);
        // The object is shown while the sheet is about it; no undo step for that.
        if (o->hidden != kShown) SetHiddenState(o, kShown, false);
        int32_t count = 0;
        SetInt(f[4], static_cast<int32_t>(CopyPtrListUnique(o->parents, o->constructionType == kTypePolygonInterior, &count)));
        Enable(f[4], count > 0 && IntOf(f[4]) != 0);
        count = 0;
        SetInt(f[5], static_cast<int32_t>(CopyPtrListUnique(o->children, false, &count)));
        Enable(f[5], count > 0 && IntOf(f[5]) != 0);
        SetInt(f[6], o->selectable != 0 ? 1 : 0);
        Enable(f[6], !given);
        f[7].value.text = given ? BuildObjectDescription(o, false, kLayoutTemplateGroup, kGivenDescriptionItem)
                                : DescribeObject(o, false);
    } else {
        const int32_t loaded = IntOf(f[3]);
        if (op == kPageStore) {
            const int32_t wanted = IntOf(f[2]) ? (loaded != kShown ? loaded : kHiddenByUser) : kShown;
            if (InToolBodyMode()) {
                SetHiddenState(o, wanted, false);
            } else {
                // Back to the state before the sheet first, so the undo step records the change.
                if (loaded != kShown) SetHiddenState(o, loaded, false);
                if (wanted != loaded) SetHiddenState(o, wanted, true);
            }
            o->selectable = IntOf(f[6]) ? 1 : 0;
        } else if (loaded != kShown) {
            SetHiddenState(o, loaded, false);
        }
        FreeObjectPageHoldings(f);
    }
    DeselectIfHidden(o);
}

// ---- Label page ------------------------------------------------------------------------

int32_t UseLabelCaptionItem(const SketchObject* o) {
    if (IsToolGiven(o)) return o->objectKind < 68 && KindIsA(o->objectKind, kKindCoordinateSystem) ? 83 : 82;
    return InToolBodyMode() ? 81 : 80;
}

void LabelPageIo(int32_t op, SketchObject* o, DialogField* f) {
    const bool toolBody = InToolBodyMode();
    if (op == kPageLoad) {
        gLabelText[0] = '\0';
        if (o->label.level >= kLabelAutomatic) GetObjectLabel(o, o->label.level, gLabelText, nullptr);
        std::memcpy(gLabelLoaded, gLabelText, sizeof gLabelText);
        std::memcpy(gLabelSeen, gLabelText, sizeof gLabelText);
        f[0].value.text = gLabelText;
        f[0].upper = int32_t(kLabelBufferSize);

        const bool geometric = CarriesGeometricLabel(o);
        SetInt(f[1], IsLabelShownOrImplied(o) ? 1 : 0);
        Show(f[1], geometric);
        Enable(f[1], geometric && !(toolBody && IsToolGiven(o)));

        const int32_t family = ObjectClassTable[o->objectClass].textFamily;
        if (o->label.level >= kLabelAutomatic || family < 0 || family > 4) gLabelStyle = o->textStyle;
        else gLabelStyle = ThePreferences().defaultTextStyles[family];
        gLabelStyleLoaded = gLabelStyle;
        f[2].value.pointer = &gLabelStyle;
        Show(f[2], geometric || o->objectClass == kClassActionButton);
        Enable(f[2], !toolBody);

        SetInt(f[3], o->label.useInTools != 0 ? 1 : 0);
        Enable(f[3], o->constructionType != kTypeFree);
        SetInt(f[4], UseLabelCaptionItem(o));
        return;
    }
    if (op != kPageStore) return;
    char* text = f[0].value.text;
    if (text) {
        text[kLabelBufferSize - 1] = '\0';
        if (IsBlank(text)) {
            if (o->label.level > kLabelNumbered) SetInt(f[1], 0);
        } else if (std::strcmp(text, gLabelLoaded) != 0) {
            SetObjectLabel(o, text, !toolBody);
            DialogField* value = PropertiesPageSet.pages[kPageValue];
            if (value && IntOf(value[1]) == kDisplayCurrentLabel) DisplayWithCurrentLabel(o);
        }
    }
    if (f[1].state & kFieldVisible) {
        const bool show = IntOf(f[1]) != 0;
        if (show != IsLabelShownOrImplied(o)) {
            SetLabelShown(o, show, nullptr, true);
            CmdStateInvalidate(kSelectionGroup);
        }
    }
    if (!toolBody && std::memcmp(&gLabelStyle, &gLabelStyleLoaded, sizeof gLabelStyle) != 0)
        ApplyTextStyleToObject(o, &gLabelStyle, 0);
    o->label.useInTools = IntOf(f[3]) ? 1 : 0;
    if (toolBody) GivenPropertiesChanged(o, false);
    else CmdStateInvalidate(kSelectionGroup);
}

// ---- Plot page -------------------------------------------------------------------------

bool IsFunctionPlot(const SketchObject* o) { return o->objectKind == kKindFunctionPlot; }

bool AngleDomain(const SketchObject* o) {
    return IsFunctionPlot(o) && LocusDataOf(o)->form == kFormRofTheta;
}

void PlotPageIo(int32_t op, SketchObject* o, DialogField* f) {
    LocusData* d = LocusDataOf(o);
    const bool toolBody = InToolBodyMode();
    const bool plot = IsFunctionPlot(o);
    const bool angle = AngleDomain(o);
    const int32_t angleUnit = CurrentSketchAngleUnit();
    if (op == kPageLoad) {
        SetInt(f[0], d->sampleCount);
        f[0].upper = ThePreferences().maxSamples;
        f[0].lower = kMinLocusSamples;
        Enable(f[0], !toolBody);
        SetInt(f[1], d->drawOption != 0 ? 1 : 0);
        Show(f[1], o->objectKind == kKindPointLocus || plot);
        f[2].value.pointer = plot ? ParentAt(o, 0) : nullptr;
        f[5].value.pointer = ParentAt(o, 1);
        double lo = std::fmin(d->lo, d->hi);
        double hi = std::fmax(d->lo, d->hi);
        if (angle) {
            RadiansToAngleUnits(&lo, true);
            RadiansToAngleUnits(&hi, true);
        }
        SetReal(f[3], lo);
        SetReal(f[4], hi);
        for (int32_t i = 3; i <= 4; ++i) {
            Show(f[i], plot);
            Enable(f[i], plot && (!toolBody || angle));
        }
        return;
    }
    if (op != kPageStore) return;
    const int32_t samples = IntOf(f[0]);
    if (samples != d->sampleCount) {
        int32_t clamped = samples < kMinLocusSamples ? kMinLocusSamples : samples;
        if (clamped > ThePreferences().maxSamples) clamped = ThePreferences().maxSamples;
        if (clamped != d->sampleCount) SetLocusSampleCount(o, clamped);
    }
    if (f[1].state & kFieldVisible) d->drawOption = IntOf(f[1]) == 1 ? 1 : 0;
    if (!plot) return;
    double lo = f[3].value.real, hi = f[4].value.real;
    if (!std::isfinite(lo) || !std::isfinite(hi)) return;
    if (angle) {
        AngleToRadians(&lo, angleUnit);
        AngleToRadians(&hi, angleUnit);
    }
    if (lo > hi) std::swap(lo, hi);
    if (lo == hi) hi = lo + 1;
    if (lo == d->lo && hi == d->hi) return;
    RecordLocusRangeUndo(o);
    d->lo = lo;
    d->hi = hi;
    if (!toolBody) RecomputeAndRedrawObject(o);
}

// ---- Value page ------------------------------------------------------------------------

void ValuePageIo(int32_t op, SketchObject* o, DialogField* f) {
    ValueDisplay* v = ValueDisplayOf(o);
    const bool parameter = IsParameter(o);
    if (op == kPageLoad) {
        SetInt(f[0], v->precision);
        SetInt(f[1], v->displayMode);
        SetReal(f[2], parameter ? CalculationValue(o) : 0.0);
        Show(f[2], parameter);
        Enable(f[2], parameter);
        SetInt(f[3], parameter ? ParameterUnitKind(o) : 0);
        return;
    }
    if (op != kPageStore) return;
    const int32_t precision = IntOf(f[0]);
    if (precision >= 0 && precision <= kMaxPrecision) v->precision = precision;
    // A parameter has no original name to show (the sheet offers it none).
    const int32_t mode = parameter && IntOf(f[1]) == kDisplayOriginalName ? v->displayMode : IntOf(f[1]);
    if (mode != v->displayMode) {
        if (mode == kDisplayOriginalName) DisplayWithOriginalName(o);
        else if (mode == kDisplayNoName) DisplayWithNoName(o);
        else if (mode == kDisplayCurrentLabel) DisplayWithCurrentLabel(o);
    }
    if (parameter && std::isfinite(f[2].value.real) && f[2].value.real != CalculationValue(o))
        SetParameterValue(o, f[2].value.real, true);
    if (!InToolBodyMode()) RecomputeAndRedrawObject(o);
}

// ---- Action button pages ---------------------------------------------------------------

void HideShowPageIo(int32_t op, SketchObject* o, DialogField* f) {
    ActionButtonData* b = ActionButtonOf(o);
    if (op == kPageLoad) {
        const int32_t mode = (b->buttonOptions & kButtonToggles) ? 2 : b->buttonType == kButtonShow ? 0 : 1;
        SetInt(f[0], mode);
        SetInt(f[1], (b->buttonOptions & kButtonSelectShown) ? 1 : 0);
        SetInt(f[2], (b->buttonOptions & kButtonFade) ? 1 : 0);
        return;
    }
    if (op != kPageStore) return;
    b->buttonOptions = 0;
    switch (IntOf(f[0])) {
    case 0: ActionButtonSetShowMode(o, true); break;
    case 1: ActionButtonSetShowMode(o, false); break;
    default:
        b->buttonOptions = kButtonToggles;
        UpdateToggleButton(o);
        break;
    }
    if (IntOf(f[1])) b->buttonOptions = int16_t(b->buttonOptions | kButtonSelectShown);
    if (IntOf(f[2])) b->buttonOptions = int16_t(b->buttonOptions | kButtonFade);
}

void MovePageIo(int32_t op, SketchObject* o, DialogField* f) {
    ActionButtonData* b = ActionButtonOf(o);
    if (op == kPageLoad) {
        SetInt(f[0], b->buttonOptions >= 0 && b->buttonOptions <= 3 ? b->buttonOptions : 0);
        SetInt(f[1], b->buttonParam & 1);
        return;
    }
    if (op != kPageStore) return;
    const int32_t speed = IntOf(f[0]);
    if (speed >= 0 && speed <= 3) b->buttonOptions = int16_t(speed);
    b->buttonParam = int16_t((b->buttonParam & ~1) | (IntOf(f[1]) ? 1 : 0));
}

void ScrollPageIo(int32_t op, SketchObject* o, DialogField* f) {
    ActionButtonData* b = ActionButtonOf(o);
    if (op == kPageLoad) SetInt(f[0], b->buttonOptions != 0 ? 1 : 0);
    else if (op == kPageStore) b->buttonOptions = IntOf(f[0]) ? 1 : 0;
}

constexpr int16_t kPresentSequential = 0x1;
constexpr int16_t kPresentStopRule   = 0x30;
constexpr int16_t kPresentFirstStops = 0x10;
constexpr int16_t kPresentTimed      = 0x20;

int16_t TenthsOf(double seconds) {
    if (!(seconds > 0)) return 0;  // also a value that is not a number
    if (seconds > kMaxPresentationSeconds) seconds = kMaxPresentationSeconds;
    return int16_t(std::lround(seconds * 10));
}

void PresentationPageIo(int32_t op, SketchObject* o, DialogField* f) {
    ActionButtonData* b = ActionButtonOf(o);
    int32_t actions = 0;
    PtrListSize(o->parents, &actions);
    const bool single = actions < 2;
    const bool sequential = !single && (b->buttonOptions & kPresentSequential);
    if (op == kPageLoad) {
        SetInt(f[0], sequential ? 1 : 0);
        Show(f[0], !single);
        Enable(f[0], !single);
        for (int32_t i = 1; i <= 3; ++i) SetInt(f[i], (b->buttonOptions >> i) & 1);
        const int16_t rule = int16_t(b->buttonOptions & kPresentStopRule);
        SetInt(f[4], rule == kPresentFirstStops ? 1 : rule == kPresentTimed ? 2 : single ? 1 : 0);
        const double seconds = b->buttonParam / 10.0;
        SetReal(f[5], sequential ? 10.0 : seconds);
        SetReal(f[6], sequential ? seconds : 0.0);
        return;
    }
    if (op != kPageStore) return;
    const bool nowSequential = !single && IntOf(f[0]) == 1;
    // A running presentation cannot change its order under way: one press stops it.
    if (nowSequential != sequential && b->runningCount > 0) RunActionButton(o, nullptr);
    int16_t flags = nowSequential ? kPresentSequential : 0;
    for (int32_t i = 1; i <= 3; ++i)
        if (IntOf(f[i])) flags = int16_t(flags | (1 << i));
    const int32_t rule = IntOf(f[4]);
    if (rule == 1) flags = int16_t(flags | kPresentFirstStops);
    else if (rule == 2) flags = int16_t(flags | kPresentTimed);
    b->buttonOptions = flags;
    b->buttonParam = TenthsOf(nowSequential ? f[6].value.real : f[5].value.real);
}

// The Animate page's model: the button's targets, a private copy of its records, and the
// controls of the target shown. Fields 0 and 2 name the copy and the targets, field 1 the
// model, field 3 the packed word of the controls shown.
MotionParamsPage gAnimate;
PtrList          gAnimateCopy = 0;

constexpr int32_t kAnimateControlField[kMotionControlCount] = {
    // direction, speed choice, custom speed, once only, low, high, rate, seconds, discrete
    5, 6, 7, 8, 12, 13, 10, 11, 9,
};

void AnimateFieldsToModel(const DialogField* f) {
    gAnimate.current = IntOf(f[4]);
    gAnimate.direction = IntOf(f[5]);
    gAnimate.speedChoice = IntOf(f[6]);
    gAnimate.customSpeed = f[7].value.real;
    gAnimate.onceOnly = IntOf(f[8]);
    gAnimate.discrete = IntOf(f[9]);
    gAnimate.rate = f[10].value.real;
    gAnimate.seconds = f[11].value.real;
    gAnimate.low = f[12].value.real;
    gAnimate.high = f[13].value.real;
}

void AnimateModelToFields(DialogField* f) {
    SetInt(f[3], static_cast<int32_t>(gAnimate.controlMask));
    SetInt(f[4], gAnimate.current);
    SetInt(f[5], gAnimate.direction);
    SetInt(f[6], gAnimate.speedChoice);
    SetReal(f[7], gAnimate.customSpeed);
    SetInt(f[8], gAnimate.onceOnly);
    SetInt(f[9], gAnimate.discrete);
    SetReal(f[10], gAnimate.rate);
    SetReal(f[11], gAnimate.seconds);
    SetReal(f[12], gAnimate.low);
    SetReal(f[13], gAnimate.high);
    for (int32_t c = 0; c < kMotionControlCount; ++c)
        f[kAnimateControlField[c]].state = static_cast<uint32_t>(gAnimate.states[c]);
}

void SyncAnimatePage(DialogField* f) {
    AnimateFieldsToModel(f);
    MotionParamsSync(&gAnimate);
    AnimateModelToFields(f);
}

// A copy of the button's records; false when memory runs out (the copy is then empty).
bool CopyMotionRecords(PtrList records, int32_t targets, PtrList* copy) {
    *copy = 0;
    for (int32_t i = 0; i < targets; ++i) {
        if (!StoreMotionParams(copy, i, MotionParamsAt(records, i))) {
            FreePtrList(copy);
            return false;
        }
    }
    return true;
}

void AnimatePageIo(int32_t op, SketchObject* o, DialogField* f) {
    if (op == kPageLoad) {
        RefreshNumberTargets(o);
        int32_t targets = 0;
        PtrListSize(o->parents, &targets);
        const bool copied = CopyMotionRecords(o->constructionData, targets, &gAnimateCopy);
        gAnimate = MotionParamsPage{};
        gAnimate.targets = o->parents;
        gAnimate.records = &gAnimateCopy;
        SetInt(f[0], static_cast<int32_t>(gAnimateCopy));
        f[1].value.pointer = &gAnimate;
        SetInt(f[2], static_cast<int32_t>(o->parents));
        SetInt(f[4], targets > 0 ? 1 : 0);
        f[4].lower = targets > 0 ? 1 : 0;
        f[4].upper = targets;
        // Without a copy there is nothing the page could store: it shows but keeps the records.
        Enable(f[4], copied);
        AnimateFieldsToModel(f);
        gAnimate.shown = 0;
        MotionParamsSync(&gAnimate);
        AnimateModelToFields(f);
        if (!copied)
            for (int32_t c = 0; c < kMotionControlCount; ++c) Enable(f[kAnimateControlField[c]], false);
        return;
    }
    if (op == kPageStore && (f[4].state & kFieldEnabled)) {
        SyncAnimatePage(f);
        // The copy takes the place of the button's records.
        PtrList old = o->constructionData;
        o->constructionData = gAnimateCopy;
        gAnimateCopy = 0;
        FreePtrList(&old);
    }
    FreePtrList(&gAnimateCopy);
    gAnimate = MotionParamsPage{};
    SetInt(f[0], 0);
    f[1].value.pointer = nullptr;
}

// The Link page's default web address, offered until the user types another.
constexpr char kDefaultLinkAddress[] = "http://www.example.org/";

bool IsLinkButton(const SketchObject* o) {
    const ActionButtonData* b = ActionButtonOf(o);
    return b && (b->buttonType == kButtonLinkToPage || b->buttonType == kButtonLinkToTarget);
}

// The page's action buttons that a link may press (every kind but links), in sketch
// order: the n-th (1-based) of them, or their count when n is 0.
SketchObject* PressableButton(Sketch* page, int32_t n, int32_t* count) {
    int32_t seen = 0;
    SketchObject* found = nullptr;
    for (SketchObject* o = page ? page->firstObject : nullptr; o; o = o->nextInSketch) {
        if (o->objectClass != kClassActionButton || IsLinkButton(o)) continue;
        if (++seen == n) found = o;
    }
    if (count) *count = seen;
    return found;
}

EngineDocument* LinkDocument() {
    Sketch* here = CurrentSketch();
    return here && here->document ? here->document : gEngine.frontDocument;
}

void LinkPageIo(int32_t op, SketchObject* o, DialogField* f) {
    ActionButtonData* b = ActionButtonOf(o);
    EngineDocument* document = LinkDocument();
    const int32_t pages = document ? DocumentPageCount(document) : 0;
    if (op == kPageLoad) {
        SetInt(f[0], b->buttonType == kButtonLinkToTarget ? 1 : 0);
        int32_t index = -1;
        Sketch* target = b->buttonType == kButtonLinkToPage && document
                             ? FindPageById(document, static_cast<uint16_t>(b->buttonOptions), &index)
                             : nullptr;
        // A missing page, or the button's own, shows as no choice.
        if (target == CurrentSketch()) target = nullptr;
        SetInt(f[1], target ? index + 1 : 0);
        f[1].upper = pages;
        Show(f[1], pages >= 2);
        int32_t count = 0, position = 0;
        PressableButton(target, 0, &count);
        for (int32_t n = 1; target && b->buttonParam != 0 && n <= count; ++n)
            if (ActionButtonOf(PressableButton(target, n, nullptr))->buttonId == b->buttonParam) position = n;
        SetInt(f[2], position);
        f[2].upper = count;
        const char* source = b->linkTarget ? b->linkTarget : kDefaultLinkAddress;
        const size_t length = std::strlen(source) + 1;
        f[3].value.text = static_cast<char*>(AllocMemory(length, 0));
        if (f[3].value.text) std::memcpy(f[3].value.text, source, length);
        return;
    }
    if (op == kPageStore) {
        const bool toPage = IntOf(f[0]) == 0;
        b->buttonType = toPage ? kButtonLinkToPage : kButtonLinkToTarget;
        Sketch* target = nullptr;
        const int32_t chosen = IntOf(f[1]);
        if (toPage && document && chosen >= 1 && chosen <= pages) {
            target = DocumentPageAt(document, chosen - 1);
            if (target) b->buttonOptions = static_cast<int16_t>(target->pageId);
        }
        if (toPage) {
            SketchObject* press = target ? PressableButton(target, IntOf(f[2]), nullptr) : nullptr;
            if (!press) {
                b->buttonParam = 0;
            } else {
                ActionButtonData* pb = ActionButtonOf(press);
                if (pb->buttonId == 0) {
                    int32_t largest = 0, count = 0;
                    PressableButton(target, 0, &count);
                    for (int32_t n = 1; n <= count; ++n) {
                        const ActionButtonData* other = ActionButtonOf(PressableButton(target, n, nullptr));
                        if (other != pb && other->buttonId > largest) largest = other->buttonId;
                    }
                    pb->buttonId = largest + 1;
                }
                b->buttonParam = static_cast<int16_t>(pb->buttonId);
            }
        }
        char* text = f[3].value.text;
        if (toPage && (!text || *text == '\0' || std::strcmp(text, kDefaultLinkAddress) == 0)) {
            FreeMemory(b->linkTarget);
            b->linkTarget = nullptr;
        } else if (text) {
            FreeMemory(b->linkTarget);
            b->linkTarget = text;  // the field's copy passes to the button
            f[3].value.text = nullptr;
        }
    }
    FreeMemory(f[3].value.text);
    f[3].value.text = nullptr;
}

// ---- Iteration, parameter and table pages ---------------------------------------------

SketchObject* IterationBehind(SketchObject* o) {
    if (o->objectClass == kClassIteration) return o;
    if (o->objectClass == kClassIteratedImage) return ParentAt(o, 1);
    if (o->constructionType == kTypeIterationTable) return ParentAt(o, 0);
    return nullptr;
}

int32_t LargestDepth(int32_t mapCount) {
    const int32_t budget = ThePreferences().iterationSamples;
    if (mapCount <= 1) return budget;
    for (int32_t depth = kLargestIterationDepth; depth >= 2; --depth)
        if (CountIterationImages(depth, mapCount) <= uint32_t(budget)) return depth;
    return 1;
}

bool HasPointsOnPaths(SketchObject* iteration) { return IterationDataOf(iteration)->pathState != nullptr; }

void IterationPageIo(int32_t op, SketchObject* o, DialogField* f) {
    SketchObject* it = IterationBehind(o);
    if (!it || it->objectClass != kClassIteration) return;
    IterationParameters& p = IterationDataOf(it)->parameters;
    const bool onPaths = HasPointsOnPaths(it);
    if (op == kPageLoad) {
        gIterationSaved = p;
        SetInt(f[0], p.depth);
        f[0].lower = 1;
        f[0].upper = LargestDepth(p.mapCount);
        Enable(f[0], it->constructionType == kTypeIterationRule);
        SetInt(f[1], p.finalOnly ? 1 : 0);
        SetInt(f[2], p.randomOnPaths ? 1 : 0);
        Show(f[2], onPaths);
        Enable(f[2], onPaths);
        SetInt(f[3], 0);
        return;
    }
    if (op != kPageCancel) return;
    SetIterationProperty(it, kIterationBeginBatch, 0);
    SetIterationProperty(it, kIterationFinalOnly, gIterationSaved.finalOnly);
    SetIterationProperty(it, kIterationDepth, gIterationSaved.depth);
    if (onPaths) {
        SetIterationProperty(it, kIterationSeed, gIterationSaved.seed);
        SetIterationProperty(it, kIterationRandomOnPaths, gIterationSaved.randomOnPaths);
    }
    SetIterationProperty(it, kIterationEndBatch, 0);
}

void ApplyIterationLive(SketchObject* o, DialogField* f) {
    SketchObject* it = IterationBehind(o);
    if (!it || it->objectClass != kClassIteration) return;
    SetIterationProperty(it, kIterationBeginBatch, 0);
    SetIterationProperty(it, kIterationFinalOnly, IntOf(f[1]) ? 1 : 0);
    int32_t depth = IntOf(f[0]);
    if (depth < f[0].lower) depth = f[0].lower;
    if (depth > f[0].upper) depth = f[0].upper;
    SetIterationProperty(it, kIterationDepth, depth);
    if (HasPointsOnPaths(it)) {
        SetIterationProperty(it, kIterationRandomOnPaths, IntOf(f[2]) ? 1 : 0);
        if (IntOf(f[3])) {
            SetIterationProperty(it, kIterationSeed, DrawIterationSeed());
            SetInt(f[3], 0);
        }
    }
    SetIterationProperty(it, kIterationEndBatch, 0);
}

void ParameterPageIo(int32_t op, SketchObject* o, DialogField* f) {
    ParameterMotion m = {};
    GetParameterMotion(o, &m, false);
    if (op == kPageLoad) {
        SetReal(f[0], m.min);
        SetReal(f[1], m.max);
        SetReal(f[2], m.rate);
        SetReal(f[3], m.seconds);
        SetReal(f[4], m.step);
        SetInt(f[5], m.modeFlag ? 0 : 1);
        return;
    }
    if (op != kPageStore) return;
    m.min = f[0].value.real;
    m.max = f[1].value.real;
    m.rate = f[2].value.real;
    m.seconds = f[3].value.real;
    m.step = f[4].value.real;
    m.modeFlag = IntOf(f[5]) == 1 ? 0 : 1;
    SetParameterMotion(o, m);
}

void TablePageIo(int32_t op, SketchObject* o, DialogField* f) {
    if (op == kPageLoad) SetInt(f[0], TableDataOf(o)->trackLastRow ? 1 : 0);
    else if (op == kPageStore && (IntOf(f[0]) != 0) != (TableDataOf(o)->trackLastRow != 0))
        SetTableCollectFlag(o, IntOf(f[0]));
}

// ---- Applicability ---------------------------------------------------------------------

// Pages by class (bit per page) before the further rules.
uint32_t ClassPages(int32_t objectClass) {
    constexpr uint32_t O = 1u << kPageObject, L = 1u << kPageLabel;
    switch (objectClass) {
    case 1: case 2: case 3: case 4: case 5: case 9: case 10: case 11: case 12: case 13: return O | L;
    case 6: return O | (1u << kPagePlot);
    case 7: return O | L | (1u << kPageValue);
    case 14: case 15: return O | (1u << kPageIteration);
    default: return O;
    }
}

// ---- Picking ---------------------------------------------------------------------------

bool PropertiesPickPrompt(SketchObject* object, void*) {
    if (object) SetStatusPrompt(kPromptGroup, kPickPromptItem);
    else ClearStatusTextProvider(0);
    return object != nullptr;
}

int32_t PropertiesPickApply(void*) { return PropertiesRetarget(); }

void PropertiesPickAccept(SketchObject* object, void*, PickApplyFn* apply) {
    DialogField* page = PropertiesPageSet.pages[kPageObject];
    if (!page) return;
    page[1].value.pointer = object;
    *apply = PropertiesPickApply;
}

SketchObject* PagesObject() {
    DialogField* page = PropertiesPageSet.pages[kPageObject];
    return page ? static_cast<SketchObject*>(page[0].value.pointer) : nullptr;
}

}  // namespace

const PropertyPageRow PropertyPageModel[kPropertyPageCount] = {
    //  fields  io                  template              dialog  plot
    {   8,      ObjectPageIo,       ObjectPageTemplate,       167,    0   },
    {   5,      LabelPageIo,        LabelPageTemplate,        169,    0   },
    {   6,      PlotPageIo,         PlotPageTemplate,         168,    181 },
    {   4,      ValuePageIo,        ValuePageTemplate,        170,    0   },
    {   14,     AnimatePageIo,      AnimatePageTemplate,      183,    0   },
    {   3,      HideShowPageIo,     HideShowPageTemplate,     182,    0   },
    {   2,      MovePageIo,         MovePageTemplate,         184,    0   },
    {   1,      ScrollPageIo,       ScrollPageTemplate,       186,    0   },
    {   4,      LinkPageIo,         LinkPageTemplate,         187,    0   },
    {   7,      PresentationPageIo, PresentationPageTemplate, 252,    0   },
    {   4,      IterationPageIo,    IterationPageTemplate,    240,    0   },
    {   6,      ParameterPageIo,    ParameterPageTemplate,    245,    0   },
    {   1,      TablePageIo,        TablePageTemplate,        261,    0   },
};

int32_t PropertyPageFieldCount(int32_t page) {
    return page >= 0 && page < kPropertyPageCount ? PropertyPageModel[page].fieldCount : 0;
}

int32_t PropertyPageForButton(const SketchObject* button) {
    const ActionButtonData* b = ActionButtonOf(button);
    if (!b) return kPageLabel;
    switch (b->buttonType) {
    case kButtonHide: case kButtonShow: return kPageHideShow;
    case kButtonAnimate: return kPageAnimate;
    case kButtonMove: return kPageMove;
    case kButtonScroll: return kPageScroll;
    case kButtonLinkToPage: case kButtonLinkToTarget: return kPageLink;
    case kButtonPresentation: return kPagePresentation;
    default: return kPageLabel;
    }
}

bool PropertyPageApplies(SketchObject* o, int32_t page) {
    if (!o || page < 0 || page >= kPropertyPageCount) return false;
    if (IsToolGiven(o)) return page == kPageObject || page == kPageLabel;
    if (ClassPages(o->objectClass) & (1u << page)) return true;
    switch (page) {
    case kPageValue: {
        const CalculationData* c = CalculationDataOf(o);
        return c && c->form == kFormCalculation;
    }
    case kPageLabel: return o->objectClass == kClassLocus && LocusHasOwnLabel(o);
    case kPageParameter: return IsParameter(o);
    case kPageTable: return KindIsA(o->objectKind, kKindTableCategory);
    case kPageIteration: return o->constructionType == kTypeIterationTable;
    default: return o->objectClass == kClassActionButton && PropertyPageForButton(o) == page;
    }
}

void PropertiesFreePages() {
    for (DialogField*& page : PropertiesPageSet.pages) {
        FreeMemory(page);
        page = nullptr;
    }
}

bool PropertiesPreparePages(SketchObject* object, int32_t startPage) {
    bool loaded[kPropertyPageCount] = {};
    for (int32_t p = 0; p < kPropertyPageCount; ++p) {
        DialogField*& fields = PropertiesPageSet.pages[p];
        if (!PropertyPageApplies(object, p)) {
            FreeMemory(fields);
            fields = nullptr;
            continue;
        }
        const PropertyPageRow& row = PropertyPageModel[p];
        if (!fields) fields = static_cast<DialogField*>(AllocMemory(sizeof(DialogField) * size_t(row.fieldCount), 0));
        if (!fields) {
            // What the loaded pages did to the sketch (a hidden object shown) and hold
            // (lists, texts) goes back, newest first.
            for (int32_t q = p - 1; q >= 0; --q)
                if (loaded[q]) PropertyPageModel[q].io(kPageCancel, object, PropertiesPageSet.pages[q]);
            PropertiesFreePages();
            return false;
        }
        std::memset(fields, 0, sizeof(DialogField) * size_t(row.fieldCount));
        row.makeTemplate(fields);
        row.io(kPageLoad, object, fields);
        loaded[p] = true;
    }
    PropertiesPageSet.startPage = startPage;
    DeselectAll();
    SelectSketchObject(object);
    FlushPendingRedraw(1);
    return true;
}

void PropertiesFinishPages(bool accepted) {
    SketchObject* o = PagesObject();
    if (!o) return;
    if (accepted) AddObjectToDirtyRect(o);
    for (int32_t p = 0; p < kPropertyPageCount; ++p)
        if (DialogField* fields = PropertiesPageSet.pages[p])
            PropertyPageModel[p].io(accepted ? kPageStore : kPageCancel, o, fields);
    if (!accepted) return;
    AddObjectToDirtyRect(o);
    const ActionButtonData* b = ActionButtonOf(o);
    if (b && b->buttonType >= kButtonLinkToPage && b->buttonType <= kButtonPresentation &&
        o->label.level == kLabelSequence)
        RegenerateButtonCaption(o);
}

int32_t PropertiesRetarget() {
    DialogField* page = PropertiesPageSet.pages[kPageObject];
    if (!page) return 0;
    SketchObject* picked = static_cast<SketchObject*>(page[1].value.pointer);
    if (!picked) return 0;
    const int32_t shown = PropertiesPageSet.startPage;
    DeselectAll();
    if (gRunCancelled) *gRunCancelled = false;
    PropertiesFinishPages(true);
    const bool keep = CensusShiftState() != 0 && PropertyPageApplies(picked, shown);
    if (!PropertiesPreparePages(picked, keep ? shown : kPageObject)) {
        PropertiesFreePages();
        return 0;
    }
    return 1;
}

int32_t PropertiesApplyLive(void*) {
    int32_t changed = 0;
    DialogField* label = PropertiesPageSet.pages[kPageLabel];
    DialogField* value = PropertiesPageSet.pages[kPageValue];
    if (label && value && label[0].value.text) {
        char text[kLabelBufferSize];
        std::memcpy(text, label[0].value.text, sizeof text);
        text[sizeof text - 1] = '\0';
        if (IsBlank(text)) text[0] = '\0';
        if (std::strcmp(text, gLabelSeen) != 0) {
            if (text[0] != '\0' && IntOf(value[1]) == kDisplayOriginalName) SetInt(value[1], kDisplayCurrentLabel);
            else if (text[0] == '\0' && IntOf(value[1]) == kDisplayCurrentLabel) SetInt(value[1], kDisplayNoName);
            std::memcpy(gLabelSeen, text, sizeof text);
            changed = 1;
        }
    }
    if (DialogField* iteration = PropertiesPageSet.pages[kPageIteration])
        if (SketchObject* o = PagesObject()) ApplyIterationLive(o, iteration);
    if (DialogField* animate = PropertiesPageSet.pages[kPageAnimate]) SyncAnimatePage(animate);
    return changed;
}

int32_t PropertiesOpenForObject(SketchObject* object, int32_t startPage, bool* cancelledOut) {
    if (cancelledOut) *cancelledOut = true;
    if (!object) return 0;
    if (!PropertyPageApplies(object, startPage)) startPage = kPageObject;
    if (!PropertiesPreparePages(object, startPage)) {
        ShowAlertByCode(kResultOutOfMemory, 1);
        return 0;
    }
    const bool toolBody = InToolBodyMode();
    if (!toolBody) PickSessionBegin(PropertiesPickPrompt, PropertiesPickAccept, nullptr, nullptr);
    bool cancelled = true;
    gRunCancelled = &cancelled;
    bool ok = RunCommandDialog(kDialogProperties, &PropertiesPageSet, PropertiesApplyLive, kPropertiesHelpTopic, 1);
    gRunCancelled = nullptr;
    if (!toolBody) PickSessionEnd();
    // A retarget that could not prepare the picked object's pages left none: the run
    // ends as cancelled, and what it stored stays stored.
    if (!PagesObject()) ok = false;
    if (ok) cancelled = false;
    gLastPage = PropertiesPageSet.startPage;
    SketchObject* shown = PagesObject();
    PropertiesFinishPages(ok);
    PropertiesFreePages();
    if (ok && gEngine.frontDocument) SetDocumentModified(gEngine.frontDocument, true);
    if (toolBody) GivenPropertiesChanged(shown ? shown : object, !cancelled);
    if (cancelledOut) *cancelledOut = cancelled;
    return ok ? 1 : 0;
}

ResultCode PropertiesCommand(int32_t) {
    Sketch* sketch = CurrentSketch();
    if (!sketch || !sketch->selectionHead) return kResultOK;
    // The selection chain holds the newest first: the first selected is its last.
    SketchObject* first = sketch->selectionHead;
    while (first->nextSelected) first = first->nextSelected;
    PropertiesOpenForObject(first, gLastPage, nullptr);
    return kResultOK;
}

void OpenObjectProperties(SketchObject* object) { PropertiesOpenForObject(object, kPageObject, nullptr); }
void OpenLabelProperties(SketchObject* object) { PropertiesOpenForObject(object, kPageLabel, nullptr); }
