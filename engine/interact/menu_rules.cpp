#include "engine/interact/menu_rules.h"

#include <cmath>

#include "engine/calc/value_objects.h"
#include "engine/core/circles.h"
#include "engine/core/geometry.h"
#include "engine/core/points.h"
#include "engine/core/services/command_states.h"
#include "engine/core/services/later_release.h"
#include "engine/interact/command_state.h"
#include "engine/interact/command_table.h"
#include "engine/interact/menu_state_queries.h"
#include "engine/interact/menu_texts.h"
#include "engine/interact/motion.h"
#include "engine/interact/neighbour_services.h"
#include "engine/interact/selection_census.h"
#include "engine/text/layout_edit_session.h"

namespace {

constexpr uint32_t kShowMotionControllerRow = 91;
constexpr uint32_t kFirstLineStyleRow = 81;

SelectionCensus& Census() { return SelectionCensusForRules(); }

const SketchObject* NewestSelected() {
    const Sketch* s = CurrentSketch();
    return s ? s->selectionHead : nullptr;
}

// ---- Predicates --------------------------------------------------------------------

// True at once: the locus search that starts here disables the item later when the
// selection defines no locus.
int32_t PredLocusReady(uint32_t item) {
    ScheduleLocusCandidateSearch(int32_t(item), 1);
    return 1;
}

// Works out predicates 1 and 3 once per census: the three most recently selected
// points, and whether the middle one lies between the other two.
void EnsureCollinearity() {
    SelectionCensus& c = Census();
    if (c.collinearValid) return;
    c.collinearValid = 1;
    c.collinearResult = 0;
    c.collinearOrdered = 0;
    const SketchObject* pts[3] = {};
    int n = 0;
    for (const SketchObject* o = NewestSelected(); o && n < 3; o = o->nextSelected)
        if (o->objectClass == kClassPoint) pts[n++] = o;
    if (n < 3) return;
    // The parameter stays 0 when the latest and the middle point coincide: the cross
    // product is then 0, and no direction exists along which the earliest comes first.
    double parameter = 0;
    int32_t side = 1;
    PointLineRelation(PointPosition(pts[0]), PointPosition(pts[1]), PointPosition(pts[2]), nullptr,
                      &parameter, nullptr, nullptr, &side);
    c.collinearResult = side == 0;
    c.collinearOrdered = side == 0 && parameter < 0.0;
}

int32_t PredCollinear(uint32_t) {
    EnsureCollinearity();
    return Census().collinearResult;
}

int32_t PredPointsOnCircle(uint32_t) {
    const SketchObject* circle = nullptr;
    for (const SketchObject* o = NewestSelected(); o; o = o->nextSelected)
        if (o->objectClass == kClassCircle) { circle = o; break; }
    if (circle) {
        const CircleData* cd = ClassData<CircleData>(circle);
        const double r = cd->radius;
        for (const SketchObject* o = NewestSelected(); o; o = o->nextSelected) {
            if (o->objectClass != kClassPoint) continue;
            const RealPoint p = PointPosition(o);
            const double dx = p.x - cd->centre.x, dy = p.y - cd->centre.y;
            const double d2 = dx * dx + dy * dy;
            if (!(std::abs(d2 - r * r) < 0.0008 * r)) return 0;
        }
        return 1;
    }
    // No circle: the earliest selected point is the centre and the second earliest
    // is on the circle; the walk runs newest first, so they are the last two seen.
    const SketchObject* earliest = nullptr;
    const SketchObject* second = nullptr;
    for (const SketchObject* o = NewestSelected(); o; o = o->nextSelected) {
        if (o->objectClass != kClassPoint) continue;
        second = earliest;
        earliest = o;
    }
    if (!second) return 1;
    const RealPoint centre = PointPosition(earliest), onCircle = PointPosition(second);
    const double rx = onCircle.x - centre.x, ry = onCircle.y - centre.y;
    const double r2 = rx * rx + ry * ry;
    for (const SketchObject* o = NewestSelected(); o; o = o->nextSelected) {
        if (o->objectClass != kClassPoint || o == earliest || o == second) continue;
        const RealPoint p = PointPosition(o);
        const double dx = p.x - centre.x, dy = p.y - centre.y;
        const double e = dx * dx + dy * dy - r2;
        if (!(e * e < 6.4e-7 * r2)) return 0;
    }
    return 1;
}

int32_t PredCollinearOrdered(uint32_t) {
    EnsureCollinearity();
    return Census().collinearResult && Census().collinearOrdered;
}

int32_t PredObjectsIntersect(uint32_t) {
    LineForm forms[2]{};
    int32_t kinds[2] = {};
    int n = 0;
    for (const SketchObject* o = NewestSelected(); o && n < 2; o = o->nextSelected) {
        int32_t flat = 0;
        if ((o->objectClass == kClassStraight || o->objectClass == kClassAxis) &&
            GetLineForm(o, &forms[n], &kinds[n], &flat))
            ++n;
    }
    RealPoint p{};
    return n == 2 && IntersectLines(forms[0], kinds[0], forms[1], kinds[1], &p);
}

const SketchObject* MarkedSystem() {
    return MarkedObject(kMarkSlotCoordSystem);
}

int32_t PredRectangularSystem(uint32_t) {
    const SketchObject* m = MarkedSystem();
    return !m || !m->exists || CoordSystemOf(m)->gridForm != kGridPolar;
}

int32_t PredPlottedByCoordinates(uint32_t) {
    const SketchObject* o = NewestSelected();
    return o && (o->constructionType == 71 || o->constructionType == 72);
}

int32_t PredEvenSelection(uint32_t) { return Census().selectedCount % 2 == 0; }

// Item states of the Motion Controller bar: 0 enabled, 1 enabled and checked,
// 2 disabled; item 6 (the target button) 0 selection, 1 all motions, 2 none.
int32_t gMotionBarStored[8] = {2, 2, 2, 2, 2, 2, 2, 2};
double gShownRangeLow = 0, gShownRangeHigh = -1;

int32_t PredGraphTemplates(uint32_t) {
    const SelectionCensus& c = Census();
    int32_t s[8] = {2, 2, 2, 2, 2, 2, 2, 2};
    if (!c.noSketch) {
        const bool nothingSelected = c.selectedCount == 0;
        bool skipSpeed = false;
        if (c.flags[kFlagAnimating]) {
            if (c.flags[kFlagSomeMoving] || nothingSelected) {
                s[5] = 0;
                s[6] = nothingSelected ? 1 : 0;
                s[1] = 0;
                s[0] = c.flags[kFlagAllMovingFast] ? 2 : 0;
            } else if (c.flags[kFlagGeometricOrParameter]) {
                s[0] = s[6] = 0;
            }
            if (c.flags[kFlagPaused]) {
                s[2] = 1;
                s[5] = 2;
                skipSpeed = true;
            } else {
                s[2] = 0;
            }
        } else if (c.flags[kFlagGeometricOrParameter]) {
            s[0] = s[6] = 0;
        }
        if (!skipSpeed && s[5] == 0) {
            double low = 0, high = 0;
            bool reversible = false;
            if (!MotionSpeedRange(!nothingSelected, &low, &high, &reversible)) {
                s[5] = 2;
            } else {
                if (low != gShownRangeLow || high != gShownRangeHigh) {
                    gShownRangeLow = low;
                    gShownRangeHigh = high;
                    FormatSpeedRangeText(low, high);
                    gMotionBarStored[5] = 0;
                    RefreshMotionControllerItem(5, 0);
                }
                s[7] = reversible ? 0 : 2;
            }
        }
        if (s[6] == 0) {
            gMotionBarStored[6] = 0;
            RefreshMotionControllerItem(6, 0);
        }
        s[3] = s[4] = s[5];
    }
    for (int32_t i = 0; i < 8; ++i) {
        if (s[i] != gMotionBarStored[i]) {
            gMotionBarStored[i] = s[i];
            RefreshMotionControllerItem(i, s[i]);
        }
    }
    return 1;
}

int32_t PredEditingCaption(uint32_t) {
    const Sketch* f = GetFrontSketch();
    return f && f->editSession != nullptr;
}

int32_t PredTextSelected(uint32_t) {
    const Sketch* f = GetFrontSketch();
    return f && f->editSession != nullptr && f->editSession->selStart < f->editSession->selEnd;
}

int32_t PredSystemMarked(uint32_t) {
    const SketchObject* m = MarkedSystem();
    return m && m->exists;
}

int32_t PredCanMarkSystem(uint32_t) {
    const SketchObject* o = NewestSelected();
    return o && OwningCoordSystem(o) != nullptr;
}

int32_t PredTerminalPoints(uint32_t) {
    for (const SketchObject* o = NewestSelected(); o; o = o->nextSelected)
        if (!IsSingleMapPointImage(o)) return 0;
    return 1;
}

int32_t PredIterateToDepth(uint32_t) {
    const SketchObject* newest = NewestSelected();
    if (!newest || !KindIsA(newest->objectKind, kKindCalculation)) return 0;
    for (const SketchObject* o = newest->nextSelected; o; o = o->nextSelected) {
        const bool free = o->constructionType == kTypeFree || o->constructionType == kTypePointOnPath;
        const CalculationData* calc = CalculationDataOf(o);
        const bool pointOrParameter =
            o->objectClass == kClassPoint || (calc && calc->form == kFormCalculation);
        if (!free || !pointOrParameter) return 0;
    }
    return 1;
}

int32_t PredTableRemovable(uint32_t) {
    for (const SketchObject* o = NewestSelected(); o; o = o->nextSelected)
        if (o->objectClass == kClassTable) return TableCanRemoveEntry(o);
    return 0;
}

// ---- Interpreter ---------------------------------------------------------------

bool CountsPass(const uint8_t* op, const SelectionCensus& c) {
    const uint8_t n = op[0];
    for (uint8_t i = 0; i < n; ++i) {
        const uint8_t kind = op[1 + 2 * i], v = op[2 + 2 * i];
        if (kind >= kCensusKindCount) return false;
        if (v < 0x80 ? c.counts[kind] != v : c.counts[kind] < v - 0x80) return false;
    }
    return true;
}

uint16_t MoveContextBits(uint32_t row, uint16_t arg, int32_t* argument) {
    const CommandRow* entry = CommandRowAt(row);
    if (entry && (entry->flags & RowContextFromArgument)) {
        const uint32_t a = (arg & 0x3fffu) | (uint32_t(arg & 0xc000u) << 16);
        *argument = int32_t(a);
    } else {
        *argument = arg;
    }
    return arg;
}

bool LineStyleResult(uint32_t row, uint8_t s, uint16_t* text, uint16_t* variant,
                     uint16_t* executor, int32_t* argument) {
    const SelectionCensus& c = Census();
    const uint32_t style = row - kFirstLineStyleRow;
    const int32_t present = c.lineStylePresent[0] + c.lineStylePresent[1] + c.lineStylePresent[2];
    *text = uint16_t(row + 57);
    if (row == kFirstLineStyleRow && present > 0 && c.gridsOnly) *text = menu_text::kTextDotted;
    if (!c.lineStylePresent[style]) *variant = kVariantPlain;
    else *variant = present == 1 ? kVariantChecked : kVariantMixed;
    *executor = 38;
    *argument = int32_t(style + (s ? 0x80 : 0));
    return present > 0 && !c.noSketch;
}

}  // namespace

const MenuRulePredicate MenuRulePredicates[kMenuRulePredicateCount] = {
    PredLocusReady,           //  0
    PredCollinear,            //  1
    PredPointsOnCircle,       //  2
    PredCollinearOrdered,     //  3
    PredObjectsIntersect,     //  4
    PredRectangularSystem,    //  5
    PredPlottedByCoordinates, //  6
    PredEvenSelection,        //  7
    PredGraphTemplates,       //  8
    PredEditingCaption,       //  9
    PredTextSelected,         // 10
    PredSystemMarked,         // 11
    PredCanMarkSystem,        // 12
    PredTerminalPoints,       // 13
    PredIterateToDepth,       // 14
    PredTableRemovable,       // 15
};

int32_t MenuRulePredicateAnswer(uint32_t predicate, uint32_t item) {
    if (predicate < kMenuRulePredicateCount) return MenuRulePredicates[predicate](item);
    if (auto later = LaterForms().engine.menuPredicate) return later(predicate, item);
    return -1;
}

namespace {
bool EvalRules(const uint8_t* rules, size_t size, uint32_t item, uint32_t row,
               uint16_t stateWord, uint16_t* text, uint16_t* variant, uint16_t* executor,
               int32_t* argument) {
    const SelectionCensus& c = Census();
    const bool skipTests = c.noSketch && row != kShowMotionControllerRow;
    *text = 0;
    *variant = 0;
    *executor = 0;
    *argument = 0;
    size_t pc = stateWord;
    while (pc < size) {
        const uint8_t length = rules[pc];
        const size_t end = pc + length;
        // A rule of length 0 or one that runs past the block ends the program: no
        // program of the block does that, so the row shows disabled.
        if (length < 2 || end > size) return false;
        size_t ip = pc + 1;
        if (skipTests && rules[ip] != kRuleResult && rules[ip] != kRuleLineStyle) {
            pc = end;
            continue;
        }
        bool pass = true;
        while (pass && ip < end) {
            const uint8_t op = rules[ip++];
            const uint8_t* o = rules + ip;
            const size_t left = end - ip;
            switch (op) {
            case kRuleResult: {
                if (left < 6) return false;
                *text = o[0];
                *variant = o[1];
                *executor = o[3];
                MoveContextBits(row, uint16_t(o[4] << 8 | o[5]), argument);
                const bool enabled = o[2] != 0;
                return row == kShowMotionControllerRow ? enabled : enabled && !c.noSketch;
            }
            case kRuleLineStyle:
                if (left < 1 || row < kFirstLineStyleRow || row > kFirstLineStyleRow + 2) return false;
                return LineStyleResult(row, o[0], text, variant, executor, argument);
            case kRuleCounts:
                if (left < 1u + 2u * o[0]) return false;
                pass = CountsPass(o, c);
                ip += 1u + 2u * o[0];
                break;
            case kRuleCountSum:
                if (left < 3) return false;
                pass = o[0] < kCensusKindCount && o[1] < kCensusKindCount &&
                       int32_t(c.counts[o[0]]) == int32_t(c.counts[o[1]]) + int8_t(o[2]);
                ip += 3;
                break;
            case kRuleFlagSet:
            case kRuleFlagClear:
                if (left < 1) return false;
                pass = (CensusCondition(o[0]) != 0) == (op == kRuleFlagSet);
                ip += 1;
                break;
            case kRuleCrossings: {
                if (left < 1) return false;
                const SketchObject* a = NewestSelected();
                const SketchObject* b = a ? a->nextSelected : nullptr;
                pass = a && b && CountSelectionIntersections(a, b) == o[0];
                ip += 1;
                break;
            }
            case kRulePredicate:
            case kRuleNotPredicate: {
                if (left < 1) return false;
                const int32_t answer = MenuRulePredicateAnswer(o[0], item);
                pass = op == kRulePredicate ? answer == 1 : answer == 0;
                ip += 1;
                break;
            }
            case kRuleCountOfSum: {
                if (left < 2u || left < 2u + o[1]) return false;
                int32_t sum = 0;
                for (uint8_t i = 0; i < o[1]; ++i)
                    sum += o[2 + i] < kCensusKindCount ? c.counts[o[2 + i]] : 0;
                pass = o[0] < kCensusKindCount && c.counts[o[0]] == sum;
                ip += 2u + o[1];
                break;
            }
            default:
                break;  // unknown opcodes take no operands and decide nothing
            }
        }
        pc = end;
    }
    return false;
}
}  // namespace

bool EvalMenuRulesForRow(uint32_t row, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                         uint16_t* executor, int32_t* argument) {
    uint32_t item = kCmdStateNoSlot;
    CmdStateFindItem(row, &item);
    return EvalRules(MenuRules.data(), kMenuRulesSize, item, row, stateWord, text, variant,
                     executor, argument);
}

bool EvalMenuRules(uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                   uint16_t* executor, int32_t* argument) {
    return EvalRules(MenuRules.data(), kMenuRulesSize, item, CmdStateItemRow(item), stateWord,
                     text, variant, executor, argument);
}

bool EvalMenuRuleProgram(const uint8_t* rules, size_t size, uint32_t row, uint16_t offset,
                         uint16_t* text, uint16_t* variant, uint16_t* executor,
                         int32_t* argument) {
    return EvalRules(rules, size, kCmdStateNoSlot, row, offset, text, variant, executor, argument);
}
