// Puts the current sketch's units back to those every calculation test starts with.
#include "engine/calc/calc_fixture.h"

namespace {

class ResetSketchUnits : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        calc_test::SketchUnits::Set(calc_test::kTestDistanceUnit, calc_test::kTestAngleUnit);
    }
};

const bool kInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetSketchUnits);
    return true;
}();

}  // namespace
