#include "ui/dialogs/param_color_dialogs.h"

#include <algorithm>
#include <cmath>

#include "engine/core/parametric_color.h"
#include "engine/core/services/text_style.h"
#include "engine/core/sketch.h"
#include "engine/interact/parametric_color_command.h"
#include "platform/win32/fonts.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kPluralLabel = 1223, kSingularLabel = 1224;
constexpr int kFirstModel = 1168, kFirstRepeat = 1171, kFromId = 1154, kToId = 1170;
// The bars by repeat mode (0, 1, 2), and the labels under their left and right marks.
constexpr int kBarIds[3] = {1218, 1217, 1216};
constexpr int kLeftLabels[3] = {1225, 1221, 1219};
constexpr int kRightLabels[3] = {1226, 1222, 1220};
constexpr int16_t kLabelFontNumber = 1, kLabelFontSize = 12;
// The selections each dialog is made for: one value and one object, three values and one.
constexpr int32_t kOneTargetOneValue = 2, kOneTargetThreeValues = 4;

int CheckedIndex(HWND dialog, int first, int count) {
    for (int i = 0; i < count; ++i)
        if (IsDlgButtonChecked(dialog, first + i) == BST_CHECKED) return i;
    return 0;
}

int32_t SelectedCount() {
    const Sketch* sketch = CurrentSketch() ? CurrentSketch() : gEngine.frontSketch;
    int32_t count = 0;
    for (SketchObject* o = sketch ? sketch->selectionHead : nullptr; o; o = o->nextSelected) ++count;
    return count;
}

int32_t ClampedColumn(double column) {
    return static_cast<int32_t>(std::clamp(std::round(column), -30000.0, 30000.0));
}

}  // namespace

void ParamColorBarColumns(int32_t width, int32_t mode, bool spectrum, COLORREF* colors) {
    if (width < 3) return;
    const double step = 2.8 / (width - 2);
    const int32_t zero = ClampedColumn(0.9 / step), one = ClampedColumn(1.9 / step + 1);
    double t = -0.9;
    for (int32_t i = 1; i <= width - 2; ++i, t += step) {
        uint8_t r = 0, g = 0, b = 0;
        if (i != zero && i != one) ParametricColorFromValue(t, 0.0, 1.0, mode, spectrum, &r, &g, &b);
        colors[i] = RGB(r, g, b);
    }
}

BEGIN_MESSAGE_MAP(ParamColorDialog, CYRNDialog)
    ON_CONTROL_RANGE(BN_CLICKED, 1168, 1169, OnModelRadio)
    ON_CONTROL_RANGE(BN_CLICKED, 1171, 1173, OnRepeatRadio)
    ON_CONTROL_RANGE(BN_CLICKED, 1216, 1218, OnBarClick)
    ON_EN_CHANGE(kFromId, OnFromChange)
    ON_EN_CHANGE(kToId, OnToChange)
END_MESSAGE_MAP()

ParamColorDialog::ParamColorDialog(DialogField* fields, DialogChangeFn apply, bool interactive, bool threeValues)
    : CYRNDialog(threeValues ? IDD_PARAM_COLOR_RGB : IDD_PARAM_COLOR, fields, apply, interactive),
      threeValues_(threeValues) {}

ParamColorDialog::~ParamColorDialog() {
    if (m_hWnd) DestroyWindow();
    if (labelFont_) DeleteObject(labelFont_);
}

bool ParamColorDialog::OnInitDialog() {
    if (!threeValues_)
        for (Bar& bar : bars_) bar.SubclassDlgItem(kBarIds[&bar - bars_], this);
    const bool result = CYRNDialog::OnInitDialog();
    if (!threeValues_) {
        CopyRangeText(kFromId, 0);
        CopyRangeText(kToId, 1);
    }
    return result;
}

void ParamColorDialog::LoadControls() {
    DialogField* f = Fields();
    const bool single = SelectedCount() == (threeValues_ ? kOneTargetThreeValues : kOneTargetOneValue);
    ::ShowWindow(::GetDlgItem(m_hWnd, kSingularLabel), single ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(m_hWnd, kPluralLabel), single ? SW_HIDE : SW_SHOW);
    const int32_t model = std::clamp(f[kParamColorFieldModel].value.integer, 0, 1);
    const int32_t repeat = std::clamp(f[kParamColorFieldRepeat].value.integer, 0, 2);
    ::CheckRadioButton(m_hWnd, kFirstModel, kFirstModel + 1, kFirstModel + model);
    ::CheckRadioButton(m_hWnd, kFirstRepeat, kFirstRepeat + 2, kFirstRepeat + repeat);
    if (!threeValues_) {
        if (!labelFont_) {
            TextStyle style{};
            style.field[kStyleFont] = kLabelFontNumber;
            style.field[kStyleSize] = kLabelFontSize;
            labelFont_ = CreateStyleFont(&style, nullptr);
        }
        for (int i = 0; i < 3 && labelFont_; ++i) {
            SendDlgItemMessage(kLeftLabels[i], WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), TRUE);
            SendDlgItemMessage(kRightLabels[i], WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), TRUE);
        }
    }
    if (!from_.m_hWnd) from_.Attach(::GetDlgItem(m_hWnd, kFromId), GetFont());
    if (!to_.m_hWnd) to_.Attach(::GetDlgItem(m_hWnd, kToId), GetFont());
    loading_ = true;
    from_.SetValue(f[kParamColorFieldFrom].value.real);
    to_.SetValue(f[kParamColorFieldTo].value.real);
    loading_ = false;
}

void ParamColorDialog::DoDataExchange(CDataExchange* dx) {
    CYRNDialog::DoDataExchange(dx);
    if (!dx->m_bSaveAndValidate) {
        LoadControls();
        return;
    }
    DialogField* f = Fields();
    f[kParamColorFieldModel].value.integer = CheckedIndex(m_hWnd, kFirstModel, 2);
    f[kParamColorFieldRepeat].value.integer = CheckedIndex(m_hWnd, kFirstRepeat, 3);
    double from = f[kParamColorFieldFrom].value.real, to = f[kParamColorFieldTo].value.real;
    if (!from_.Validate(&from, dx) || !to_.Validate(&to, dx)) {
        // A quiet refusal (while the user types) leaves the focus where it is.
        dx->m_hWndLastControl = nullptr;
        dx->Fail();
    }
    f[kParamColorFieldFrom].value.real = from;
    f[kParamColorFieldTo].value.real = to;
}

void ParamColorDialog::SilentExchange() {
    from_.notifying = to_.notifying = true;
    ExchangeWithEngine(true);
    from_.notifying = to_.notifying = false;
}

void ParamColorDialog::CopyRangeText(int editId, int side) {
    char text[64] = "";
    GetDlgItemText(editId, text, sizeof text);
    for (int i = 0; i < 3; ++i) SetDlgItemText(side == 0 ? kLeftLabels[i] : kRightLabels[i], text);
}

void ParamColorDialog::OnModelRadio(UINT id) {
    ::CheckRadioButton(m_hWnd, kFirstModel, kFirstModel + 1, int(id));
    if (!threeValues_)
        for (int bar : kBarIds) ::InvalidateRect(::GetDlgItem(m_hWnd, bar), nullptr, FALSE);
    SilentExchange();
}

void ParamColorDialog::OnRepeatRadio(UINT id) {
    ::CheckRadioButton(m_hWnd, kFirstRepeat, kFirstRepeat + 2, int(id));
    SilentExchange();
}

void ParamColorDialog::OnBarClick(UINT id) {
    for (int mode = 0; mode < 3; ++mode)
        if (int(id) == kBarIds[mode]) OnRepeatRadio(UINT(kFirstRepeat + mode));
}

void ParamColorDialog::OnFromChange() {
    if (!threeValues_) CopyRangeText(kFromId, 0);
    if (!loading_) SilentExchange();
}

void ParamColorDialog::OnToChange() {
    if (!threeValues_) CopyRangeText(kToId, 1);
    if (!loading_) SilentExchange();
}

void ParamColorDialog::Bar::DrawItem(LPDRAWITEMSTRUCT dis) {
    HDC dc = dis->hDC;
    const int32_t width = dis->rcItem.right - dis->rcItem.left, height = dis->rcItem.bottom - dis->rcItem.top;
    if (width < 3 || height < 2) return;
    const bool spectrum = owner_->IsDlgButtonChecked(kFirstModel) == BST_CHECKED;
    COLORREF* colors = new COLORREF[size_t(width)];
    ParamColorBarColumns(width, mode_, spectrum, colors);
    const int x0 = dis->rcItem.left, y0 = dis->rcItem.top;
    for (int32_t i = 1; i <= width - 2; ++i) {
        HPEN pen = CreatePen(PS_SOLID, 1, colors[i]);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, x0 + i, y0 + 1, nullptr);
        LineTo(dc, x0 + i, y0 + height - 1);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    delete[] colors;
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}
