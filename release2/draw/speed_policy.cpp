#include "release2/draw/speed_policy.h"

#include "engine/core/services/clock.h"

namespace {

constexpr SpeedPolicy kStartingPolicy = { kSpeedOnProbation, 0, 0, 0, 0 };
SpeedPolicy gPolicy = kStartingPolicy;

int64_t Area(const ScreenRect& r) { return int64_t(r.right - r.left) * int64_t(r.bottom - r.top); }

}  // namespace

SpeedPolicy& TheSpeedPolicy() { return gPolicy; }
void ResetSpeedPolicy() { gPolicy = kStartingPolicy; }

void AllowAntiAliasThisRedraw(bool* allow) {
    *allow = gPolicy.state == kSpeedOn || gPolicy.state == kSpeedOnProbation;
    SetDeadline(&gPolicy.deadline, *allow ? kAntiAliasedBudgetMs : kPlainBudgetMs);
}

void UpdateAntiAliasPolicy(const ScreenRect& redrawn, const ScreenRect& window) {
    const bool slow = DeadlinePassed(gPolicy.deadline);
    const bool large = !slow && Area(redrawn) * 4 > Area(window);
    SpeedPolicy& p = gPolicy;
    switch (p.state) {
    case kSpeedOn:
        if (slow) p.state = kSpeedOnProbation;
        else if (large && p.penalty > 60) --p.penalty;
        break;
    case kSpeedOnProbation:
        if (slow) {
            p.penalty += 10;
            p.offCount = int32_t(p.penalty);
            p.state = kSpeedOff;
        } else if (large) {
            p.state = kSpeedOn;
        }
        break;
    case kSpeedOff:
        if (slow) {
            p.offCount = int32_t(p.penalty);
        } else if (large && --p.offCount <= 0) {
            p.state = kSpeedOffProbation;
            p.recovery = 15;
        }
        break;
    case kSpeedOffProbation:
        if (large) {
            if (p.recovery++ >= 30) p.state = kSpeedOnProbation;
        } else if (slow) {
            p.recovery -= 2;
            if (p.recovery <= 0) {
                p.state = kSpeedOff;
                p.offCount = int32_t(p.penalty);
            }
        }
        break;
    default: p = kStartingPolicy; break;
    }
}

void ForceAntiAliasRedraw() { gPolicy.state = kSpeedOnProbation; }
