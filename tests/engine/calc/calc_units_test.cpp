// Puts the current sketch's units back to those every calculation test starts with.
#include "engine/calc/calc_fixture.h"

namespace {

class ResetSketchUnits : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        SetStandInSketchUnits(calc_test::kTestAngleUnit, calc_test::kTestDistanceUnit);
    }
};

const bool kInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetSketchUnits);
    return true;
}();

}  // namespace
