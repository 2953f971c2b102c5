#pragma once
// TMorCubeTest: building mortar compressive strength ("建筑砂浆抗压") of
// 70.7 mm cubes by "JGJ 70-90".
#include "FrameworkTest.h"

namespace kv::mor {

const fw::TModuleData &MorCubeData();

// Six values: the mean, unless the largest or the smallest lies more than
// 20 % from it; then the mean of the middle four, the cause marked. Other
// counts: the plain mean.
fw::TRuleResult MortarRule(const std::vector<float> &values);

class TMorCubeTest : public fw::TFrameworkTest {
public:
    TMorCubeTest();

protected:
    fw::TRuleResult GroupRule(const std::vector<float> &values) const override;
};

} // namespace kv::mor
