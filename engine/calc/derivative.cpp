// Symbolic differentiation by rewriting. The expression is a tree of immutable nodes in
// one growing array (a rule builds new nodes and may share old ones), copied compactly
// after every pass; every walk is recursive only to the bounded depth.
#include "engine/calc/derivative.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/calc/calculation_objects.h"
#include "engine/calc/value_objects.h"
#include "engine/core/memory.h"
#include "engine/core/units.h"
#include "engine/text/captions.h"

namespace {

enum Kind : uint8_t { kNum, kAngle, kDist, kVar, kParent, kAdd, kSub, kMul, kDiv, kPow, kNeg, kFunc, kCall, kD };

struct Node {
    uint8_t kind;
    uint16_t code;  // function code, or parent index of values and calls
    int32_t a;      // left operand, or the only one
    int32_t b;      // right operand
    double v;       // value of constants (radians, pixels)
};

constexpr double kPiValue = 3.1415926535898;
constexpr double kEValue = 2.7182818284591;
constexpr double kIntegerLimit = 9999999;
constexpr double kStep = 0.005;

// Visit flags: a rule applies when every flag of the visit is in its mask.
constexpr uint32_t kVisitPre = 1 | 4;
constexpr uint32_t kVisitPost = 1 | 8;
constexpr uint32_t kVisitLeaf = 1;

bool Binary(uint8_t k) { return k >= kAdd && k <= kPow; }
bool Unary(uint8_t k) { return k == kNeg || k == kFunc || k == kCall || k == kD; }

struct Rewriter {
    Node* nodes = nullptr;
    uint32_t count = 0;
    uint32_t cap = 0;
    SketchObject** parents = nullptr;
    uint32_t parentCount = 0;
    const DeriveBusy* busy = nullptr;
    ResultCode fail = kResultOK;
    uint32_t applications = 0;
    uint32_t visits = 0;
    bool changed = false;

    ~Rewriter() {
        if (nodes) FreeMemory(nodes);
        if (parents) FreeMemory(parents);
    }

    int32_t New(const Node& n) {
        if (fail) return -1;
        if (count == cap) {
            if (cap >= kMaxSymbolicNodes) {
                fail = kDeriveTooComplex;
                return -1;
            }
            const uint32_t grown = cap ? cap * 2 : 256;
            auto* bigger = static_cast<Node*>(AllocMemory(grown * sizeof(Node), 0));
            if (!bigger) {
                fail = kResultOutOfMemory;
                return -1;
            }
            if (count) std::memcpy(bigger, nodes, count * sizeof(Node));
            if (nodes) FreeMemory(nodes);
            nodes = bigger;
            cap = grown;
        }
        nodes[count] = n;
        return int32_t(count++);
    }
    int32_t Num(double v) { return New({kNum, 0, -1, -1, v}); }
    int32_t Var() { return New({kVar, 0, -1, -1, 0}); }
    int32_t Un(uint8_t k, uint16_t code, int32_t a) { return a < 0 ? -1 : New({k, code, a, -1, 0}); }
    int32_t Bin(uint8_t k, int32_t a, int32_t b) { return a < 0 || b < 0 ? -1 : New({k, 0, a, b, 0}); }
    int32_t Add(int32_t a, int32_t b) { return Bin(kAdd, a, b); }
    int32_t Mul(int32_t a, int32_t b) { return Bin(kMul, a, b); }
    int32_t Div(int32_t a, int32_t b) { return Bin(kDiv, a, b); }
    int32_t Pow(int32_t a, int32_t b) { return Bin(kPow, a, b); }
    int32_t Neg(int32_t a) { return Un(kNeg, 0, a); }
    int32_t Fn(uint16_t f, int32_t a) { return Un(kFunc, f, a); }
    int32_t D(int32_t a) { return Un(kD, 0, a); }
    // A folded constant: none (no rule) when it is not finite, which no text can carry.
    int32_t Fold(double v) { return std::isfinite(v) ? Num(v) : -2; }

    Node At(int32_t i) const { return nodes[i]; }
    uint8_t K(int32_t i) const { return nodes[i].kind; }
    double V(int32_t i) const { return nodes[i].v; }
    int32_t L(int32_t i) const { return nodes[i].a; }
    int32_t R(int32_t i) const { return nodes[i].b; }

    bool IsConst(int32_t i) const { return K(i) == kNum; }
    bool IsPlain(int32_t i) const { return K(i) == kNum && V(i) != kPiValue && V(i) != kEValue; }
    bool IsValue(int32_t i, double v) const { return IsPlain(i) && V(i) == v; }
    bool IsInteger(int32_t i) const {
        return IsPlain(i) && std::fabs(V(i)) <= kIntegerLimit && V(i) == std::floor(V(i));
    }

    bool Equal(int32_t x, int32_t y, uint32_t depth = 0) const {
        if (x == y) return true;
        if (depth > kMaxSymbolicDepth) return false;
        const Node& p = nodes[x];
        const Node& q = nodes[y];
        if (p.kind != q.kind || p.code != q.code) return false;
        if (p.kind <= kDist) return p.v == q.v;
        if (Binary(p.kind)) return Equal(p.a, q.a, depth + 1) && Equal(p.b, q.b, depth + 1);
        if (Unary(p.kind)) return Equal(p.a, q.a, depth + 1);
        return true;
    }

    void Poll() {
        if (!fail && busy && busy->cancelled && busy->cancelled(busy->user)) fail = kDeriveInterrupted;
    }

    // ---- ordering

    void Serialize(int32_t i, std::vector<std::pair<uint32_t, double>>* out, uint32_t depth) const {
        if (depth > kMaxSymbolicDepth) return;
        const Node& n = nodes[i];
        if (Binary(n.kind)) {
            Serialize(n.a, out, depth + 1);
            Serialize(n.b, out, depth + 1);
        } else if (Unary(n.kind)) {
            Serialize(n.a, out, depth + 1);
        }
        out->push_back({uint32_t(n.kind) << 16 | n.code, n.v});
    }
    // Negative when x comes first: the longer first; at equal length the last differing
    // token, the larger first.
    int Compare(int32_t x, int32_t y) const {
        std::vector<std::pair<uint32_t, double>> p, q;
        Serialize(x, &p, 0);
        Serialize(y, &q, 0);
        if (p.size() != q.size()) return p.size() > q.size() ? -1 : 1;
        for (size_t k = p.size(); k-- > 0;) {
            if (p[k] != q[k]) return p[k] > q[k] ? -1 : 1;
        }
        return 0;
    }

    void Collect(int32_t i, uint8_t k, std::vector<int32_t>* out, uint32_t depth = 0) const {
        if (K(i) == k && depth < kMaxSymbolicDepth) {
            Collect(L(i), k, out, depth + 1);
            Collect(R(i), k, out, depth + 1);
        } else {
            out->push_back(i);
        }
    }

    double Degree(int32_t t) const {
        if (K(t) == kDiv) return Degree(L(t)) - Degree(R(t));
        std::vector<int32_t> factors;
        Collect(t, kMul, &factors);
        double d = 0;
        for (int32_t f : factors) {
            if (K(f) == kVar) d += 1;
            else if (K(f) == kPow && K(L(f)) == kVar) d += IsConst(R(f)) ? V(R(f)) : 0.000001;
        }
        return d;
    }

    bool TermBefore(int32_t x, int32_t y) const {
        const double dx = Degree(x), dy = Degree(y);
        if (dx != dy) return dx < dy;
        const bool qx = K(x) == kDiv, qy = K(y) == kDiv;
        if (qx != qy) return qx;
        if (qx) {
            if (IsConst(R(x)) && IsConst(R(y))) return V(R(x)) > V(R(y));
            const int c = Compare(R(x), R(y));
            if (c) return c < 0;
            return Compare(L(x), L(y)) < 0;
        }
        return Compare(x, y) < 0;
    }

    int FactorClass(int32_t base) const {
        switch (K(base)) {
            case kFunc: case kCall: return 1;
            case kVar: return 2;
            case kParent: return 3;
            case kAngle: return 4;
            case kDist: return 5;
            case kNum: return V(base) == kEValue ? 6 : V(base) == kPiValue ? 7 : 8;
            default: return 0;
        }
    }
    bool FactorBefore(int32_t x, int32_t y) const {
        const int32_t bx = K(x) == kPow ? L(x) : x, by = K(y) == kPow ? L(y) : y;
        const int cx = FactorClass(bx), cy = FactorClass(by);
        if (cx != cy) return cx < cy;
        int c = 0;
        if (cx == 0) c = Compare(bx, by);
        else if (cx == 1) c = nodes[bx].kind != nodes[by].kind || nodes[bx].code != nodes[by].code
                                  ? (uint32_t(nodes[bx].kind) << 16 | nodes[bx].code) > (uint32_t(nodes[by].kind) << 16 | nodes[by].code) ? -1 : 1
                                  : Compare(L(bx), L(by));
        else if (cx == 3) c = nodes[bx].code == nodes[by].code ? 0 : nodes[bx].code > nodes[by].code ? -1 : 1;
        if (c) return c < 0;
        const bool kx = K(x) != kPow || IsConst(R(x)), ky = K(y) != kPow || IsConst(R(y));
        if (kx != ky) return !kx;
        if (kx) {
            const double ex = K(x) == kPow ? V(R(x)) : 1, ey = K(y) == kPow ? V(R(y)) : 1;
            return ex < ey;
        }
        return false;
    }

    // ---- rules; each answers the new node, or -1 when it does not apply

    static int64_t Gcd(int64_t a, int64_t b) {
        a = a < 0 ? -a : a;
        b = b < 0 ? -b : b;
        while (b) {
            const int64_t t = a % b;
            a = b;
            b = t;
        }
        return a;
    }
    // The gcd of two integer constants when it reduces them, else 0.
    int64_t Reducer(int32_t x, int32_t y) const {
        if (!IsInteger(x) || !IsInteger(y)) return 0;
        const int64_t g = Gcd(int64_t(V(x)), int64_t(V(y)));
        return g == 0 || g == 1 ? 0 : g;
    }

    // Sum rules with the optional "+": `l` is the left operand matched (Y of X + Y).
    int32_t SumWithin(int32_t l, int32_t r, int rule) {
        switch (rule) {
            case 1: return IsPlain(l) && IsPlain(r) ? Fold(V(r) + V(l)) : -1;
            case 4: return Equal(l, r) ? Mul(r, Num(2)) : -1;
            case 5: return K(l) == kMul && IsPlain(R(l)) && Equal(L(l), r) ? Mul(r, Fold(V(R(l)) + 1)) : -1;
            case 6: return K(r) == kMul && IsPlain(R(r)) && Equal(L(r), l) ? Mul(l, Fold(V(R(r)) + 1)) : -1;
            case 7:
                return K(l) == kMul && K(r) == kMul && IsPlain(R(l)) && IsPlain(R(r)) && Equal(L(l), L(r))
                           ? Mul(L(r), Fold(V(R(r)) + V(R(l))))
                           : -1;
            case 8:
                // c/b + a
                if (K(l) == kDiv && IsInteger(L(l)) && IsInteger(R(l)) && IsInteger(r))
                    return Div(Fold(V(r) * V(R(l)) + V(L(l))), Num(V(R(l))));
                return -1;
            case 9:
                // L/b + c/a
                if (K(l) == kDiv && K(r) == kDiv && IsInteger(L(l)) && IsInteger(R(l)) && IsInteger(L(r)) &&
                    IsInteger(R(r)))
                    return Div(Fold(V(L(l)) * V(R(r)) + V(L(r)) * V(R(l))), Fold(V(R(r)) * V(R(l))));
                return -1;
            case 11: return K(l) == kDiv && K(r) == kDiv && Equal(R(l), R(r)) ? Div(Add(L(l), L(r)), R(r)) : -1;
            case 12: return K(l) != kAdd && TermBefore(r, l) ? Add(r, l) : -1;
            default: return -1;
        }
    }
    int32_t Sum(int32_t n) {
        const int32_t left = L(n), right = R(n);
        const bool x = K(left) == kAdd;
        for (int rule = 1; rule <= 12; ++rule) {
            int32_t out = -1;
            if (rule == 2) out = IsValue(left, 0) ? right : -1;
            else if (rule == 3) out = IsValue(right, 0) ? left : -1;
            else if (rule == 10) out = K(right) == kAdd ? Add(Add(left, L(right)), R(right)) : -1;
            else {
                out = SumWithin(x ? R(left) : left, right, rule);
                if (out >= 0 && x) out = Add(L(left), out);
            }
            if (out >= 0 || fail) return out;
        }
        return -1;
    }

    int32_t Difference(int32_t n, uint32_t flags) {
        const int32_t l = L(n), r = R(n);
        if (flags == kVisitPre) return Equal(l, r) ? Num(0) : -1;
        if (IsPlain(l) && IsPlain(r)) {
            const int32_t f = Fold(V(l) - V(r));
            if (f != -2) return f;
        }
        if (IsValue(r, 0)) return l;
        if (Equal(l, r)) return Num(0);
        if (IsValue(l, 0)) return Neg(r);
        return Add(l, Neg(r));
    }

    int32_t ProductWithin(int32_t l, int32_t r, int rule) {
        switch (rule) {
            case 1: return IsPlain(l) && IsPlain(r) ? Fold(V(r) * V(l)) : -1;
            case 6: return Equal(l, r) ? Pow(r, Num(2)) : -1;
            case 7: return K(l) == kPow && IsPlain(R(l)) && Equal(L(l), r) ? Pow(r, Fold(V(R(l)) + 1)) : -1;
            case 8: return K(l) == kPow && K(r) == kPow && Equal(L(l), L(r)) ? Pow(L(r), Add(R(r), R(l))) : -1;
            case 9: return K(r) == kPow && IsPlain(R(r)) && Equal(L(r), l) ? Pow(l, Fold(V(R(r)) + 1)) : -1;
            case 14: return K(l) != kMul && FactorBefore(r, l) ? Mul(r, l) : -1;
            default: return -1;
        }
    }
    int32_t Product(int32_t n, uint32_t flags) {
        const int32_t left = L(n), right = R(n);
        const bool x = K(left) == kMul;
        // The list is tried in its order; before the operands only rules 2 and 3 apply.
        for (int rule = 1; rule <= 14; ++rule) {
            int32_t out = -1;
            if (flags == kVisitPre && rule != 2 && rule != 3) continue;
            if (rule == 2) out = IsValue(right, 0) ? Num(0) : -1;
            else if (rule == 3) out = IsValue(left, 0) ? Num(0) : -1;
            else if (rule == 4) out = IsValue(right, 1) ? left : -1;
            else if (rule == 5) out = K(right) == kMul ? Mul(Mul(left, L(right)), R(right)) : -1;
            else if (rule == 10) out = K(right) == kAdd ? Add(Mul(R(right), left), Mul(L(right), left)) : -1;
            else if (rule == 11) out = K(left) == kAdd ? Add(Mul(R(left), right), Mul(L(left), right)) : -1;
            else if (rule == 12) out = K(left) == kDiv ? Div(Mul(L(left), right), R(left)) : -1;
            else if (rule == 13) out = K(right) == kDiv ? Div(Mul(left, L(right)), R(right)) : -1;
            else {
                out = ProductWithin(x ? R(left) : left, right, rule);
                if (out >= 0 && x) out = Mul(L(left), out);
            }
            if (out >= 0 || fail) return out;
        }
        return -1;
    }

    // The factors of a product with the exponent each counts by.
    struct Factor {
        int32_t base;
        int32_t exponent;  // -1: 1
    };
    Factor FactorOf(int32_t f) const { return K(f) == kPow ? Factor{L(f), R(f)} : Factor{f, -1}; }
    int32_t ProductOf(const std::vector<int32_t>& factors, size_t skip) {
        int32_t out = -1;
        for (size_t k = 0; k < factors.size(); ++k) {
            if (k == skip) continue;
            out = out < 0 ? factors[k] : Mul(out, factors[k]);
        }
        return out;
    }
    int32_t CommonFactor(int32_t n) {
        const int32_t num = L(n), den = R(n);
        std::vector<int32_t> denFactors, terms;
        Collect(den, kMul, &denFactors);
        Collect(num, kAdd, &terms);
        for (size_t d = 0; d < denFactors.size(); ++d) {
            const Factor q = FactorOf(denFactors[d]);
            if (IsConst(q.base)) continue;
            for (size_t t = 0; t < terms.size(); ++t) {
                std::vector<int32_t> termFactors;
                Collect(terms[t], kMul, &termFactors);
                for (size_t f = 0; f < termFactors.size(); ++f) {
                    const Factor p = FactorOf(termFactors[f]);
                    if (IsConst(p.base) || !Equal(p.base, q.base)) continue;
                    int32_t power;
                    const bool pc = p.exponent < 0 || IsConst(p.exponent);
                    const bool qc = q.exponent < 0 || IsConst(q.exponent);
                    const int32_t pe = p.exponent < 0 ? Num(1) : p.exponent;
                    const int32_t qe = q.exponent < 0 ? Num(1) : q.exponent;
                    if (pc && qc) {
                        const double e = V(pe) - V(qe);
                        power = e == 0 ? Num(1) : Pow(p.base, Num(e));
                    } else {
                        power = Pow(p.base, Add(pe, Neg(qe)));
                    }
                    const int32_t others = ProductOf(termFactors, f);
                    int32_t term = others < 0 ? power : Mul(others, power);
                    const int32_t rest = ProductOf(denFactors, d);
                    if (rest >= 0) term = Div(term, rest);
                    int32_t otherTerms = -1;
                    for (size_t k = 0; k < terms.size(); ++k)
                        if (k != t) otherTerms = otherTerms < 0 ? terms[k] : Add(otherTerms, terms[k]);
                    return otherTerms < 0 ? term : Add(Div(otherTerms, den), term);
                }
            }
        }
        return -1;
    }

    int32_t Quotient(int32_t n, uint32_t flags) {
        const int32_t l = L(n), r = R(n);
        if (flags != kVisitPre && IsValue(r, 1)) return l;
        if (IsValue(l, 0) && !IsValue(r, 0)) return Num(0);  // the one rule before the operands
        if (flags == kVisitPre) return -1;
        if (K(l) == kDiv) return Div(L(l), Mul(R(l), r));
        if (K(r) == kDiv) return Div(Mul(l, R(r)), L(r));
        if (IsPlain(r) && V(r) < 0) return Div(Neg(l), Num(-V(r)));
        if (K(r) == kMul && IsPlain(R(r)) && V(R(r)) < 0) return Div(Neg(l), Mul(L(r), Num(-V(R(r)))));
        if (int64_t g = Reducer(l, r)) return Div(Num(V(l) / double(g)), Num(V(r) / double(g)));
        if (K(r) == kMul)
            if (int64_t g = Reducer(l, R(r))) return Div(Num(V(l) / double(g)), Mul(L(r), Num(V(R(r)) / double(g))));
        if (K(l) == kMul && K(r) == kMul)
            if (int64_t g = Reducer(R(l), R(r)))
                return Div(Mul(L(l), Num(V(R(l)) / double(g))), Mul(L(r), Num(V(R(r)) / double(g))));
        if (K(l) == kMul)
            if (int64_t g = Reducer(R(l), r)) return Div(Mul(L(l), Num(V(R(l)) / double(g))), Num(V(r) / double(g)));
        return CommonFactor(n);
    }

    int32_t Binomial(int32_t b, int32_t a, int n) {
        int32_t sum = -1;
        double c = 1;
        for (int i = 0; i <= n; ++i) {
            int32_t term = -1;
            auto times = [&](int32_t f) { term = term < 0 ? f : Mul(term, f); };
            if (c != 1) times(Num(c));
            if (n - i > 0) times(n - i == 1 ? b : Pow(b, Num(n - i)));
            if (i > 0) times(i == 1 ? a : Pow(a, Num(i)));
            sum = sum < 0 ? term : Add(sum, term);
            c = c * (n - i) / (i + 1);
        }
        return sum;
    }

    int32_t Power(int32_t n, uint32_t flags) {
        const int32_t l = L(n), r = R(n);
        // Rules 1, 4 and 5 apply on every visit, 2 and 3 (between them) only after the operands.
        const bool after = flags != kVisitPre;
        if (IsPlain(r) && V(r) < 0) return Div(Num(1), Pow(l, Num(-V(r))));
        if (after && IsPlain(l) && IsPlain(r)) {
            const int32_t f = Fold(std::pow(V(l), V(r)));
            if (f != -2) return f;
        }
        if (after && IsValue(r, 1)) return l;
        if (IsValue(r, 0) || IsValue(l, 1)) return Num(1);
        if (!after) return -1;
        if (K(l) == kMul) return Mul(Pow(L(l), r), Pow(R(l), r));
        // (C^B)^A is C^(B*A) only for an integer A: (x^2)^(1/2) is |x|, not x.
        if (K(l) == kPow && IsPlain(r) && V(r) == std::floor(V(r))) return Pow(L(l), Mul(R(l), r));
        if (K(r) == kMul && IsPlain(R(r)) && V(R(r)) < 0) return Div(Num(1), Pow(l, Mul(L(r), Num(-V(R(r))))));
        if (K(l) == kAdd && IsInteger(r) && V(r) >= 2 && V(r) <= 14) return Binomial(L(l), R(l), int(V(r)));
        return -1;
    }

    int32_t Negation(int32_t n) {
        const int32_t a = L(n);
        if (K(a) == kNeg) return L(a);
        if (IsPlain(a)) {
            const int32_t f = Fold(-V(a));
            if (f != -2) return f;
        }
        if (K(a) == kAdd) return Add(Neg(L(a)), Neg(R(a)));
        return Mul(a, Num(-1));
    }

    int32_t Derivative(int32_t n) {
        const int32_t a = L(n);
        const uint8_t k = K(a);
        switch (k) {
            case kAdd: return Add(D(L(a)), D(R(a)));
            case kMul: return Add(Mul(R(a), D(L(a))), Mul(L(a), D(R(a))));
            case kPow:
                if (K(L(a)) == kVar && IsPlain(R(a))) return Mul(Num(V(R(a))), Pow(Var(), Num(V(R(a)) - 1)));
                return Mul(Add(Mul(Div(D(L(a)), L(a)), R(a)), Mul(Fn(kFnLn, L(a)), D(R(a)))), a);
            case kDiv:
                if (IsConst(R(a))) return Div(D(L(a)), R(a));
                return Div(Add(Mul(R(a), D(L(a))), Neg(Mul(D(R(a)), L(a)))), Pow(R(a), Num(2)));
            case kVar: return Num(1);
            case kNum: case kDist: case kAngle: case kParent: return Num(0);
            case kNeg: return Neg(D(L(a)));
            case kFunc: {
                const int32_t x = L(a);
                const uint16_t f = nodes[a].code;
                // Trigonometric functions take and give the sketch's angle unit: in
                // degrees their slopes carry pi/180 (or 180/pi for the inverse ones).
                int32_t dx = D(x);
                if (CurrentSketchAngleUnit() != kAngleRadians) {
                    if (f == kFnSin || f == kFnCos || f == kFnTan) dx = Mul(dx, Div(Num(kPiValue), Num(180)));
                    else if (f == kFnArcsin || f == kFnArccos || f == kFnArctan)
                        dx = Mul(dx, Div(Num(180), Num(kPiValue)));
                }
                auto rootOfOneMinusSquare = [&] { return Fn(kFnSqrt, Add(Num(1), Neg(Pow(x, Num(2))))); };
                switch (f) {
                    case kFnCos: return Mul(dx, Neg(Fn(kFnSin, x)));
                    case kFnSin: return Mul(dx, Fn(kFnCos, x));
                    case kFnTan: return Div(dx, Pow(Fn(kFnCos, x), Num(2)));
                    case kFnAbs: return Mul(dx, Fn(kFnSgn, x));
                    case kFnLn: return Div(dx, x);
                    case kFnLog: return Div(dx, Mul(x, Fn(kFnLn, Num(10))));
                    case kFnArcsin: return Div(dx, rootOfOneMinusSquare());
                    case kFnArccos: return Neg(Div(dx, rootOfOneMinusSquare()));
                    case kFnArctan: return Div(dx, Add(Num(1), Pow(x, Num(2))));
                    case kFnSqrt: return Div(dx, Mul(Fn(kFnSqrt, x), Num(2)));
                    case kFnRound: case kFnSgn: case kFnTrunc: return Num(0);
                    default: return -1;
                }
            }
            default: return -1;
        }
    }

    int32_t Inline(int32_t n);

    int32_t General(int32_t n, uint32_t flags) {
        const Node c = At(n);
        if (flags == kVisitPre) return -1;
        if (c.kind == kCall) return Inline(n);
        if (c.kind == kFunc) {
            const int32_t a = c.a;
            if (c.code == kFnLn && K(a) == kPow) return Mul(Fn(kFnLn, L(a)), R(a));
            if (c.code == kFnLog && IsValue(a, 10)) return Num(1);
            if (c.code == kFnAbs && IsPlain(a)) return Num(std::fabs(V(a)));
            if (c.code == kFnSqrt) return Pow(a, Div(Num(1), Num(2)));
            return -1;
        }
        if (flags == kVisitLeaf && IsPlain(n) && V(n) != 0 && std::fabs(V(n)) != 1) {
            const double k = 1 / V(n);
            if (std::fabs(k) <= kIntegerLimit && k == std::floor(k)) return Div(Num(1), Num(k));
        }
        return -1;
    }

    int32_t TryRules(int32_t n, uint32_t flags) {
        switch (K(n)) {
            case kAdd: return flags == kVisitPre ? -1 : Sum(n);
            case kSub: return Difference(n, flags);
            case kMul: return Product(n, flags);
            case kDiv: return Quotient(n, flags);
            case kPow: return Power(n, flags);
            case kNeg: return flags == kVisitPre ? -1 : Negation(n);
            case kD: {
                if (flags != kVisitPre) return Derivative(n);
                const uint8_t k = K(L(n));
                return k == kFunc && (At(L(n)).code == kFnRound || At(L(n)).code == kFnSgn || At(L(n)).code == kFnTrunc)
                           ? Num(0)
                           : -1;
            }
            default: return General(n, flags);
        }
    }

    int32_t Apply(int32_t n, uint32_t flags) {
        Poll();
        if (++visits > kMaxRewriteVisits) fail = kDeriveTooComplex;
        for (uint32_t k = 0; !fail; ++k) {
            const int32_t next = TryRules(n, flags);
            if (fail || next < 0) break;
            if (k >= kMaxApplicationsPerVisit || ++applications > kMaxRewriteApplications) {
                fail = kDeriveTooComplex;
                break;
            }
            n = next;
            changed = true;
        }
        return fail ? -1 : n;
    }

    int32_t Walk(int32_t n, uint32_t depth) {
        if (depth > kMaxSymbolicDepth) fail = kDeriveTooComplex;
        if (fail) return -1;
        n = Apply(n, kVisitPre);
        if (n < 0) return -1;
        const Node c = At(n);
        if (Binary(c.kind)) {
            const int32_t b = Walk(c.b, depth + 1);
            const int32_t a = b < 0 ? -1 : Walk(c.a, depth + 1);
            if (a < 0) return -1;
            if (a != c.a || b != c.b) n = New({c.kind, c.code, a, b, 0});
            return n < 0 ? -1 : Apply(n, kVisitPost);
        }
        if (Unary(c.kind)) {
            const int32_t a = Walk(c.a, depth + 1);
            if (a < 0) return -1;
            if (a != c.a) n = New({c.kind, c.code, a, -1, 0});
            return n < 0 ? -1 : Apply(n, kVisitPost);
        }
        return Apply(n, kVisitLeaf);
    }

    // Copies the tree that `root` reaches into a fresh array; too complex when it is
    // larger or deeper than the bounds.
    int32_t CopyInto(Node* to, uint32_t* used, int32_t n, uint32_t depth) {
        if (depth > kMaxSymbolicDepth || *used >= kMaxLiveNodes) {
            fail = kDeriveTooComplex;
            return -1;
        }
        Node c = nodes[n];
        if (Binary(c.kind)) {
            c.a = CopyInto(to, used, c.a, depth + 1);
            c.b = c.a < 0 ? -1 : CopyInto(to, used, c.b, depth + 1);
            if (c.b < 0) return -1;
        } else if (Unary(c.kind)) {
            c.a = CopyInto(to, used, c.a, depth + 1);
            if (c.a < 0) return -1;
        }
        if (*used >= kMaxLiveNodes) {
            fail = kDeriveTooComplex;
            return -1;
        }
        to[*used] = c;
        return int32_t((*used)++);
    }
    int32_t Compact(int32_t root) {
        auto* fresh = static_cast<Node*>(AllocMemory(kMaxLiveNodes * sizeof(Node), 0));
        if (!fresh) {
            fail = kResultOutOfMemory;
            return -1;
        }
        uint32_t used = 0;
        root = CopyInto(fresh, &used, root, 0);
        if (root < 0) {
            FreeMemory(fresh);
            return -1;
        }
        FreeMemory(nodes);
        nodes = fresh;
        count = used;
        cap = kMaxLiveNodes;
        // The written code keeps one pool entry per distinct constant, with the entry for
        // the variable besides; a pool that would reach its bound is too complex.
        std::vector<double> values;
        for (uint32_t k = 0; k < count; ++k)
            if (nodes[k].kind <= kDist) values.push_back(nodes[k].v);
        std::sort(values.begin(), values.end());
        const size_t distinct = size_t(std::unique(values.begin(), values.end()) - values.begin());
        if (distinct + 1 >= kMaxSymbolicConstants) {
            fail = kDeriveTooComplex;
            return -1;
        }
        return root;
    }

    // ---- postfix code to tree

    int32_t ParentIndex(SketchObject* o) {
        for (uint32_t k = 0; k < parentCount; ++k)
            if (parents[k] == o) return int32_t(k);
        if (parentCount >= kMaxExpressionIndex) {
            fail = kDeriveTooComplex;
            return -1;
        }
        auto* more = static_cast<SketchObject**>(AllocMemory((parentCount + 1) * sizeof(SketchObject*), 0));
        if (!more) {
            fail = kResultOutOfMemory;
            return -1;
        }
        if (parentCount) std::memcpy(more, parents, parentCount * sizeof(SketchObject*));
        if (parents) FreeMemory(parents);
        parents = more;
        parents[parentCount] = o;
        return int32_t(parentCount++);
    }

    // The function's code with its variable replaced by `argument`.
    int32_t FromCode(const SketchObject* function, int32_t argument) {
        const CalculationData* c = CalculationDataOf(function);
        if (!c || !IsFunctionForm(c->form)) {
            fail = kDeriveTooComplex;
            return -1;
        }
        const CompiledExpression& code = c->compiled;
        SketchObject* const* own = ParentItemsOf(function);
        const uint32_t ownCount = ParentCountOf(function);
        std::vector<int32_t> stack;
        for (uint32_t k = 0; k < code.tokenCount && !fail; ++k) {
            const ExpressionToken t = code.tokens[k];
            const uint32_t i = TokenIndex(t);
            int32_t made = -1;
            switch (TokenClass(t)) {
                case kClassConstant:
                case kClassAngleConst:
                case kClassDistanceConst: {
                    if (TokenClass(t) == kClassConstant && i == 0) {
                        made = argument;
                        break;
                    }
                    if (i >= code.constantCount) break;
                    const uint8_t kind = TokenClass(t) == kClassConstant ? kNum : TokenClass(t) == kClassAngleConst ? kAngle : kDist;
                    made = New({kind, 0, -1, -1, code.pool[i]});
                    break;
                }
                case kClassParentValue:
                case kClassFunctionCall: {
                    if (i >= ownCount) break;
                    const int32_t p = ParentIndex(own[i]);
                    if (p < 0) break;
                    if (TokenClass(t) == kClassParentValue) {
                        made = New({kParent, uint16_t(p), -1, -1, 0});
                    } else if (!stack.empty()) {
                        made = Un(kCall, uint16_t(p), stack.back());
                        stack.pop_back();
                    }
                    break;
                }
                case kClassFunction:
                    if (i < kFunctionCount && !stack.empty()) {
                        made = Fn(uint16_t(i), stack.back());
                        stack.pop_back();
                    }
                    break;
                case kClassOperator:
                    if (i == kOpNegate && !stack.empty()) {
                        made = Neg(stack.back());
                        stack.pop_back();
                    } else if (i <= kOpPower && stack.size() >= 2) {
                        const int32_t right = stack.back();
                        stack.pop_back();
                        const int32_t left = stack.back();
                        stack.pop_back();
                        static const uint8_t kinds[] = {kAdd, kSub, kMul, kDiv, kPow};
                        made = Bin(kinds[i], left, right);
                    }
                    break;
                default:
                    break;
            }
            if (made < 0) {
                if (!fail) fail = kDeriveTooComplex;
                return -1;
            }
            stack.push_back(made);
        }
        if (fail || stack.size() != 1) {
            if (!fail) fail = kDeriveTooComplex;
            return -1;
        }
        return stack.back();
    }
};

int32_t Rewriter::Inline(int32_t n) {
    const Node c = At(n);
    if (c.code >= parentCount) return -1;
    return FromCode(parents[c.code], c.a);
}

// ---- write-back

struct Writer {
    const Rewriter& r;
    ExpressionToken* out;
    uint32_t count = 0;
    ResultCode fail = kResultOK;

    void Put(ExpressionToken t) {
        if (count >= kMaxWrittenTokens) fail = kDeriveTooComplex;
        else out[count++] = t;
    }
    void PutText(const char* s) {
        for (; *s && !fail; ++s) {
            if (*s == '-') Put(kClassOperator | kOpNegate);
            else if (*s >= '0' && *s <= '9') Put(ExpressionToken(*s - '0'));
            else Put(kTokenDecimalPoint);
        }
    }
    // A number as "%.7g" shows it, an exponent as "*10^", such a number in parentheses.
    void PutNumber(double v) {
        char text[40];
        std::snprintf(text, sizeof text, "%.7g", v);
        char* e = std::strchr(text, 'e');
        if (!e) return PutText(text);
        *e = 0;
        const char* digits = e + 1;
        const bool negative = *digits == '-';
        if (*digits == '+' || *digits == '-') ++digits;
        while (*digits == '0' && digits[1]) ++digits;
        Put(kTokenOpen);
        PutText(text);
        Put(kClassOperator | kOpMultiply);
        Put(1);
        Put(0);
        Put(kClassOperator | kOpPower);
        if (negative) Put(kClassOperator | kOpNegate);
        PutText(digits);
        Put(kTokenClose);
    }
    static ExpressionToken OperatorToken(uint8_t k) {
        switch (k) {
            case kAdd: return kClassOperator | kOpAdd;
            case kSub: return kClassOperator | kOpSubtract;
            case kMul: return kClassOperator | kOpMultiply;
            case kDiv: return kClassOperator | kOpDivide;
            case kPow: return kClassOperator | kOpPower;
            case kNeg: return kClassOperator | kOpNegate;
            default: return 0;
        }
    }
    bool Grouped(int32_t child, uint8_t parent, bool right) const {
        const Node& c = r.nodes[child];
        if (parent == 0) return false;
        if (c.kind == kNum || c.kind == kAngle || c.kind == kDist)
            return parent == kPow && (c.v < 0 || std::signbit(c.v));
        const ExpressionToken ct = OperatorToken(c.kind), pt = OperatorToken(parent);
        if (!ct) return false;
        if (OperatorBindsTighter(ct, pt)) return true;
        if (parent == kPow) return true;
        return c.kind == parent && (parent == kSub || parent == kDiv) && right;
    }
    void Operand(int32_t child, uint8_t parent, bool right, uint32_t depth) {
        const bool grouped = Grouped(child, parent, right);
        if (grouped) Put(kTokenOpen);
        Write(child, depth + 1);
        if (grouped) Put(kTokenClose);
    }
    void Write(int32_t n, uint32_t depth) {
        if (fail) return;
        if (depth > kMaxSymbolicDepth) {
            fail = kDeriveTooComplex;
            return;
        }
        const Node& c = r.nodes[n];
        switch (c.kind) {
            case kVar: return Put(kTokenVariable);
            case kParent: return Put(ExpressionToken(kClassParentValue | c.code));
            case kNum:
                if (c.v == kPiValue) return Put(kTokenPi);
                if (c.v == kEValue) return Put(kTokenE);
                return PutNumber(c.v);
            case kAngle: {
                double v = c.v;
                const int32_t unit = CurrentSketchAngleUnit();
                PutNumber(RadiansToAngleUnits(&v, true));
                return Put(ExpressionToken(kTokenAngleUnit + (unit == kAngleRadians ? 0 : kAngleDirectedDegrees)));
            }
            case kDist: {
                double v = c.v;
                PutNumber(ToDistanceUnits(&v));
                return Put(ExpressionToken(kTokenDistanceUnit + CurrentSketchDistanceUnit()));
            }
            case kFunc:
            case kCall:
                Put(ExpressionToken(c.kind == kFunc ? kClassFunction | c.code : kClassFunctionCall | c.code));
                Write(c.a, depth + 1);
                return Put(kTokenClose);
            case kNeg:
                Put(kClassOperator | kOpNegate);
                return Operand(c.a, kPow, false, depth);  // grouped unless a leaf
            case kAdd:
            case kMul:
                // The right operand first: the tree keeps terms and factors in ascending
                // order, the text shows them the usual way round.
                Operand(c.b, c.kind, false, depth);
                Put(OperatorToken(c.kind));
                return Operand(c.a, c.kind, true, depth);
            case kSub:
            case kDiv:
            case kPow:
                Operand(c.a, c.kind, false, depth);
                Put(OperatorToken(c.kind));
                return Operand(c.b, c.kind, true, depth);
            default:
                fail = kDeriveTooComplex;  // an operator D left over
                return;
        }
    }
};

// The infix tokens of the tree at `root`, in a block of the largest size they may take.
ResultCode WriteInfix(const Rewriter& r, int32_t root, ExpressionToken** tokens, uint32_t* count) {
    auto* block = static_cast<ExpressionToken*>(AllocMemory(kMaxWrittenTokens * sizeof(ExpressionToken), 0));
    if (!block) return kResultOutOfMemory;
    Writer w{r, block};
    w.Write(root, 0);
    if (w.fail) {
        FreeMemory(block);
        return w.fail;
    }
    *tokens = block;
    *count = w.count;
    return kResultOK;
}

}  // namespace

uint32_t SubexpressionLength(const ExpressionToken* code, uint32_t last) {
    int32_t counter = 0;
    for (uint32_t k = last + 1; k-- > 0;) {
        const ExpressionToken t = code[k];
        int32_t operands = 0;
        if (TokenClass(t) == kClassOperator) operands = TokenIndex(t) == kOpNegate ? 1 : TokenIndex(t) <= kOpPower ? 2 : 0;
        else if (TokenClass(t) == kClassFunction || TokenClass(t) == kClassFunctionCall) operands = 1;
        counter += operands;
        if (counter == 0) return last - k + 1;
        --counter;
    }
    return 0;
}

ResultCode BuildDerivativeExpression(InfixExpression* out, ParentArray* parentsOut, SketchObject* source, bool exact,
                                     const DeriveBusy* busy) {
    const CalculationData* data = CalculationDataOf(source);
    if (!data || !IsFunctionForm(data->form)) return kDeriveTooComplex;
    Rewriter r;
    r.busy = busy;
    if (r.ParentIndex(source) < 0) return r.fail;
    int32_t root;
    if (exact) {
        root = r.D(r.Un(kCall, 0, r.Var()));
        bool done = false;
        for (uint32_t pass = 0; pass < kMaxRewritePasses && root >= 0 && !r.fail; ++pass) {
            r.changed = false;
            root = r.Walk(root, 0);
            if (root < 0) break;
            if (!r.changed) {
                done = true;
                break;
            }
            root = r.Compact(root);
        }
        if (!r.fail && !done) r.fail = kDeriveTooComplex;
    } else {
        const int32_t after = r.Un(kCall, 0, r.Add(r.Num(kStep), r.Var()));
        const int32_t before = r.Un(kCall, 0, r.Bin(kSub, r.Var(), r.Num(kStep)));
        root = r.Div(r.Bin(kSub, after, before), r.Num(2 * kStep));
    }
    if (r.fail) return r.fail;
    ExpressionToken* tokens = nullptr;
    uint32_t written = 0;
    if (const ResultCode rc = WriteInfix(r, root, &tokens, &written)) return rc;
    // What the write-back makes must compile, or the derivative is too complex for it.
    InfixExpression check{data->form, written, tokens};
    const int32_t compiled = CompileExpression(&check, r.parents, r.parentCount, nullptr, nullptr, nullptr, nullptr);
    if (compiled != kCompileOK) {
        FreeMemory(tokens);
        return compiled == kCompileNoMemory ? kResultOutOfMemory : kDeriveTooComplex;
    }
    ReallocMemoryOf(&tokens, written * sizeof(ExpressionToken), false);
    out->form = data->form;
    out->count = written;
    out->tokens = tokens;
    parentsOut->items = r.parents;
    parentsOut->count = r.parentCount;
    r.parents = nullptr;
    return kResultOK;
}

ResultCode RederiveFunction(SketchObject* derived, bool exact, const DeriveBusy* busy) {
    if (!CalculationDataOf(derived) || ParentCountOf(derived) == 0) return kDeriveTooComplex;
    SketchObject* source = ParentItemsOf(derived)[0];
    InfixExpression out{};
    ParentArray parents{};
    if (const ResultCode rc = BuildDerivativeExpression(&out, &parents, source, exact, busy)) return rc;
    const int32_t compiled =
        InstallCalculationExpression(derived, out.form, out.tokens, out.count, parents.items, parents.count, source);
    FreeParentArray(&parents);
    if (compiled != kCompileOK) {
        FreeMemory(out.tokens);
        return compiled == kCompileNoMemory ? kResultOutOfMemory : kDeriveTooComplex;
    }
    derived->objectKind = exact ? kKindExactDerivative : kKindApproximateDerivative;
    ++derived->generation;
    ClearValueSlots(derived);
    return kResultOK;
}

ResultCode RewriteFirstRule(SketchObject* function, InfixExpression* out) {
    const CalculationData* data = CalculationDataOf(function);
    if (!data || !IsFunctionForm(data->form)) return kDeriveTooComplex;
    Rewriter r;
    if (r.ParentIndex(function) < 0) return r.fail;
    int32_t root = r.FromCode(function, r.Var());
    if (root < 0) return r.fail;
    const int32_t next = r.TryRules(root, kVisitPost);
    if (r.fail) return r.fail;
    if (next >= 0) root = next;
    out->form = data->form;
    return WriteInfix(r, root, &out->tokens, &out->count);
}

ResultCode MakeApproximateDerivative(SketchObject* derived) { return RederiveFunction(derived, false, nullptr); }
