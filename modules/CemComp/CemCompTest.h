#pragma once
// TCemCompTest: cement mortar compressive strength ("水泥胶砂抗压"), the test
// of the modules CemComp and CemDuo, on the tables with the word CemComp.
#include "FrameworkTest.h"

namespace kv::cem {

// The module data of CemComp (first controller family).
const fw::TModuleData &CemCompData();
// Cement data shared by the compressive and flexural forms: varieties,
// grades, ages, the last-parameter defaults.
fw::TModuleData CementData();

// Refills the grade list when the variety shown differs from shownVariety;
// the grade shown before stays selected when the new list has it.
void RefillGrades(fw::TParamForm &form, QString &shownVariety);

class TCemCompTest : public fw::TFrameworkTest {
public:
    explicit TCemCompTest(const fw::TModuleData &data = CemCompData());

protected:
    fw::TRuleResult GroupRule(const std::vector<float> &values) const override;
    void FormChanged(fw::TParamForm &form) override;

private:
    QString FShownVariety;
};

} // namespace kv::cem
