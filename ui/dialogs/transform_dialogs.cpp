#include "ui/dialogs/transform_dialogs.h"

#include <iterator>

#include "engine/core/marks.h"
#include "engine/core/services/string_groups.h"
#include "engine/core/sketch.h"
#include "engine/interact/transform_commands.h"
#include "ui/resource_ids.h"

namespace {

constexpr int32_t kUnitGroup = 7;
constexpr int32_t kCaptionHead = 0, kCaptionTail = 1, kCaptionAngle = 2, kCaptionRatio = 3;
constexpr int32_t kCaptionDistance = 4, kCaptionVertical = 5, kCaptionCentre = 6;

RememberedPosition gTranslatePosition{}, gRotatePosition{}, gDilatePosition{};

const Sketch* Current() { return CurrentSketch(); }
int32_t AngleUnit() { return Current() ? Current()->settings.angleUnit : 0; }
int32_t DistanceUnit() { return Current() ? Current()->settings.distanceUnit : 0; }

int32_t& Entry(TransformSettings* s, int32_t entry) { return s->field[entry].value.integer; }

int CheckedOf(CDialog* dialog, int first, int last) {
    for (int id = first; id <= last; ++id)
        if (dialog->IsDlgButtonChecked(id) == BST_CHECKED) return id - first;
    return 0;
}

}  // namespace

// ---- Shared -----------------------------------------------------------------------

TransformDialogBase::TransformDialogBase(UINT templateId, TransformSettings* settings, DialogChangeFn apply,
                                         bool interactive)
    : CYRNDialog(templateId, settings, apply, interactive) {}

void TransformDialogBase::AttachNumber(SmartEdit& edit, int id) {
    if (!edit.m_hWnd) edit.Attach(::GetDlgItem(m_hWnd, id), GetFont());
}

bool TransformDialogBase::ShowCaption(StateButton& button, int32_t caption) {
    if (!button.m_hWnd) button.SubclassDlgItem(button.Id(), this);
    return button.SetLayout(TransformDialogCaption(caption, record));
}

bool TransformDialogBase::ReadField(SmartEdit& edit, int32_t entry, CDataExchange* dx) {
    double v = Settings()->field[entry].value.real;
    if (!edit.Validate(&v, dx)) return false;
    Settings()->field[entry].value.real = v;
    return true;
}

void TransformDialogBase::ShowControl(int id, bool shown) {
    if (HWND c = ::GetDlgItem(m_hWnd, id)) ::ShowWindow(c, shown ? SW_SHOW : SW_HIDE);
}

void TransformDialogBase::SetUnitLabel(int id, int32_t group, int32_t item) { SetDlgItemText(id, GroupText(group, item)); }

void TransformDialogBase::TakeRadio(int first, int last, int id) {
    ::CheckRadioButton(m_hWnd, first, last, id);
    ExchangeWithEngine(true);
    LoadControls();
}

bool TransformDialogBase::RequireCentre(CDataExchange* dx) {
    const Sketch* sketch = Current();
    SketchObject* centre = sketch ? MarkedObject(kMarkCentre) : nullptr;
    return RequireValue(centre, IDS_MARK_CENTRE_FIRST, dx);
}

void TransformDialogBase::Accept(bool ok, CDataExchange* dx) {
    accepted = ok;
    if (ok) return;
    // A quiet refusal (while the user types) moves nothing.
    dx->m_hWndLastControl = nullptr;
    dx->Fail();
}

// ---- Translate --------------------------------------------------------------------

// One row per control: modes, states, flags.
const TranslateVisibilityRow TranslateVisibility[23] = {
    {1041, 1 | 2, 0x01, 2},        {1042, 1 | 2, 0x02, 0},        {1019, 1 | 2, 0x01, 1},
    {1045, 1 | 2, 0x01, 1},        {1023, 1 | 2, 0x02, 1},        {1055, 2, 0x01 | 0x02, 1},
    {1056, 1, 0x01 | 0x02, 1},     {1043, 2, 0x10, 2},            {1044, 2, 0x20, 0},
    {1030, 2, 0x10, 1},            {1046, 2, 0x10, 1},            {1031, 2, 0x20, 1},
    {1050, 2, 0x10 | 0x20, 1},     {1048, 1, 0x04, 2},            {1049, 1, 0x08, 0},
    {1032, 1, 0x04, 1},            {1047, 1, 0x04, 1},            {1033, 1, 0x08, 1},
    {1051, 1, 0x04 | 0x08, 1},     {1053, 4, 0x3f, 1},            {1054, 4, 0x3f, 1},
    {1029, 4, 0x3f, 1},            {1028, 4, 0x3f, 1},
};
static_assert(std::size(TranslateVisibility) == 23);

ControlShape TranslateControlShape(const TranslateVisibilityRow& row, uint8_t modeBit, uint8_t stateBits) {
    if ((row.modes & modeBit) == 0) return {false, false};
    if ((row.states & stateBits) != 0) return {true, true};
    return {(row.flags & 1) == 0, (row.flags & 2) != 0};
}

BEGIN_MESSAGE_MAP(TranslateDialog, CYRNDialog)
    ON_CONTROL_RANGE(BN_CLICKED, 1016, 1018, OnModeRadio)
    ON_CONTROL_RANGE(BN_CLICKED, 1041, 1049, OnPartRadio)
END_MESSAGE_MAP()

TranslateDialog::TranslateDialog(TransformSettings* settings, DialogChangeFn apply, bool interactive)
    : TransformDialogBase(IDD_TRANSLATE, settings, apply, interactive) {
    static const int32_t kNoValidate[] = {1016, 1017, 1018, 1042, 1044, 0};
    SetNoValidateControls(kNoValidate);
}

bool TranslateDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gTranslatePosition, save, corner);
}

bool TranslateDialog::OnInitDialog() {
    for (StateButton* b : {&head, &tail, &markedDistance, &markedVertical, &markedAngle}) b->SubclassDlgItem(b->Id(), this);
    AttachNumber(distance, 1019);
    AttachNumber(vertical, 1030);
    AttachNumber(angle, 1032);
    return CYRNDialog::OnInitDialog();
}

void TranslateDialog::LoadControls() {
    TransformSettings* s = Settings();
    const int32_t mode = Entry(s, kTfTranslateForm);
    const bool distanceMarked = Entry(s, kTfDistanceSource) != 0;
    const bool verticalMarked = Entry(s, kTfVerticalSource) != 0;
    const bool angleMarked = Entry(s, kTfPolarAngleSource) != 0;
    ::CheckRadioButton(m_hWnd, 1016, 1018, 1016 + (mode >= 0 && mode <= 2 ? mode : 0));
    SetUnitLabel(1045, kUnitGroup, DistanceUnit() + 8);
    SetUnitLabel(1046, kUnitGroup, DistanceUnit() + 8);
    SetUnitLabel(1047, kUnitGroup, AngleUnit() + 11);
    ::CheckRadioButton(m_hWnd, 1041, 1042, distanceMarked ? 1042 : 1041);
    ::CheckRadioButton(m_hWnd, 1043, 1044, verticalMarked ? 1044 : 1043);
    ::CheckRadioButton(m_hWnd, 1048, 1049, angleMarked ? 1049 : 1048);

    const uint8_t modeBit = mode == kTranslateRectangular ? 2 : mode == kTranslateVector ? 4 : 1;
    const uint8_t states = uint8_t((distanceMarked ? 2 : 1) | (angleMarked ? 8 : 4) | (verticalMarked ? 0x20 : 0x10));
    for (const TranslateVisibilityRow& row : TranslateVisibility) {
        const ControlShape shape = TranslateControlShape(row, modeBit, states);
        ShowControl(row.controlId, shape.shown);
        EnableControl(row.controlId, shape.enabled);
    }

    distance.SetValue(s->field[kTfDistance].value.real);
    vertical.SetValue(s->field[kTfVertical].value.real);
    angle.SetValue(s->field[kTfPolarAngle].value.real);

    ShowCaption(head, kCaptionHead);
    ShowCaption(tail, kCaptionTail);
    // The vector's marked points widen the mode entry's range.
    EnableControl(1018, s->field[kTfTranslateForm].upper >= 2);
    EnableControl(1042, ShowCaption(markedDistance, kCaptionDistance));
    EnableControl(1044, ShowCaption(markedVertical, kCaptionVertical));
    EnableControl(1049, ShowCaption(markedAngle, kCaptionAngle));
}

void TranslateDialog::DoDataExchange(CDataExchange* dx) {
    if (!dx->m_bSaveAndValidate) {
        LoadControls();
        return;
    }
    TransformSettings* s = Settings();
    bool ok = true;
    Entry(s, kTfTranslateForm) = CheckedOf(this, 1016, 1018);
    const bool shown1019 = (::GetWindowLongA(::GetDlgItem(m_hWnd, 1019), GWL_STYLE) & WS_VISIBLE) != 0;
    if (IsDlgButtonChecked(1042) != BST_CHECKED && shown1019) ok = ReadField(distance, kTfDistance, dx) && ok;
    Entry(s, kTfDistanceSource) = IsDlgButtonChecked(1042) == BST_CHECKED;
    const bool shown1030 = (::GetWindowLongA(::GetDlgItem(m_hWnd, 1030), GWL_STYLE) & WS_VISIBLE) != 0;
    if (IsDlgButtonChecked(1044) != BST_CHECKED && shown1030) ok = ReadField(vertical, kTfVertical, dx) && ok;
    Entry(s, kTfVerticalSource) = IsDlgButtonChecked(1044) == BST_CHECKED;
    const bool shown1032 = (::GetWindowLongA(::GetDlgItem(m_hWnd, 1032), GWL_STYLE) & WS_VISIBLE) != 0;
    if (IsDlgButtonChecked(1049) != BST_CHECKED && shown1032) ok = ReadField(angle, kTfPolarAngle, dx) && ok;
    Entry(s, kTfPolarAngleSource) = IsDlgButtonChecked(1049) == BST_CHECKED;
    Accept(ok, dx);
}

void TranslateDialog::OnModeRadio(UINT id) { TakeRadio(1016, 1018, int(id)); }

void TranslateDialog::OnPartRadio(UINT id) {
    if (id == 1041 || id == 1042) TakeRadio(1041, 1042, int(id));
    else if (id == 1043 || id == 1044) TakeRadio(1043, 1044, int(id));
    else if (id == 1048 || id == 1049) TakeRadio(1048, 1049, int(id));
}

// ---- Rotate and Dilate ------------------------------------------------------------

namespace {

//  template      fixed  marked  caption        source             shown while fixed   fields        entries                        unit  position
const CentredTransformForm kRotateForm = {
    IDD_ROTATE,   1030,  1034,   kCaptionAngle, kTfRotationSource, {1032, 1033, 0},   {1032, 0},    {kTfRotationAngle, 0},          1033, &gRotatePosition };
const CentredTransformForm kDilateForm = {
    IDD_DILATE,   1036,  1039,   kCaptionRatio, kTfRatioSource,    {1038, 1042, 1283}, {1038, 1042}, {kTfNumerator, kTfDenominator}, 0,    &gDilatePosition };

}  // namespace

// Each template has only one of the two radio pairs.
BEGIN_MESSAGE_MAP(CentredTransformDialog, CYRNDialog)
    ON_CONTROL_RANGE(BN_CLICKED, 1030, 1031, OnRadio)
    ON_CONTROL_RANGE(BN_CLICKED, 1036, 1037, OnRadio)
END_MESSAGE_MAP()

CentredTransformDialog::CentredTransformDialog(const CentredTransformForm& form, TransformSettings* settings,
                                               DialogChangeFn apply, bool interactive)
    : TransformDialogBase(form.templateId, settings, apply, interactive), form_(form), marked_(form.markedButton) {
    // Choosing the marked amount leaves the typed one as it is.
    const int32_t noValidate[] = {form.fixedRadio + 1, 0};
    SetNoValidateControls(noValidate);
}

bool CentredTransformDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(form_.position, save, corner);
}

bool CentredTransformDialog::OnInitDialog() {
    marked_.SubclassDlgItem(marked_.Id(), this);
    centre_.SubclassDlgItem(centre_.Id(), this);
    for (int i = 0; i < 2; ++i)
        if (form_.numberIds[i]) AttachNumber(numbers_[i], form_.numberIds[i]);
    return CYRNDialog::OnInitDialog();
}

void CentredTransformDialog::LoadControls() {
    TransformSettings* s = Settings();
    const bool marked = Entry(s, form_.sourceEntry) != 0;
    ::CheckRadioButton(m_hWnd, form_.fixedRadio, form_.fixedRadio + 1, form_.fixedRadio + (marked ? 1 : 0));
    for (int id : form_.fixedControls)
        if (id) ShowControl(id, !marked);
    ShowControl(form_.markedButton, marked);
    if (form_.unitLabel) SetUnitLabel(form_.unitLabel, kUnitGroup, AngleUnit() + 5);
    for (int i = 0; i < 2; ++i)
        if (form_.numberIds[i]) numbers_[i].SetValue(s->field[form_.numberEntries[i]].value.real);
    ShowCaption(centre_, kCaptionCentre);
    EnableControl(form_.fixedRadio + 1, ShowCaption(marked_, form_.markedCaption));
    EnableControl(form_.fixedRadio, true);
}

void CentredTransformDialog::DoDataExchange(CDataExchange* dx) {
    if (!dx->m_bSaveAndValidate) {
        LoadControls();
        return;
    }
    accepted = false;
    RequireCentre(dx);
    TransformSettings* s = Settings();
    const bool marked = IsDlgButtonChecked(form_.fixedRadio + 1) == BST_CHECKED;
    Entry(s, form_.sourceEntry) = marked;
    bool ok = true;
    for (int i = 0; i < 2 && ok && !marked; ++i)
        if (form_.numberIds[i]) ok = ReadField(numbers_[i], form_.numberEntries[i], dx);
    Accept(ok, dx);
}

void CentredTransformDialog::OnRadio(UINT id) {
    if (int(id) == form_.fixedRadio || int(id) == form_.fixedRadio + 1)
        TakeRadio(form_.fixedRadio, form_.fixedRadio + 1, int(id));
}

RotateDialog::RotateDialog(TransformSettings* settings, DialogChangeFn apply, bool interactive)
    : CentredTransformDialog(kRotateForm, settings, apply, interactive) {}

DilateDialog::DilateDialog(TransformSettings* settings, DialogChangeFn apply, bool interactive)
    : CentredTransformDialog(kDilateForm, settings, apply, interactive) {}

bool DilateDialog::OnInitDialog() {
    bar_.SubclassDlgItem(1283, this);
    return CentredTransformDialog::OnInitDialog();
}

void DilateDialog::FractionBar::DrawItem(LPDRAWITEMSTRUCT dis) {
    const RECT& r = dis->rcItem;
    HGDIOBJ old = ::SelectObject(dis->hDC, ::GetStockObject(BLACK_PEN));
    ::MoveToEx(dis->hDC, r.left, r.top, nullptr);
    ::LineTo(dis->hDC, r.right, r.top);
    ::SelectObject(dis->hDC, old);
}
