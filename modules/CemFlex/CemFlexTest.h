#pragma once
// TCemFlexTest: cement mortar flexural strength ("水泥胶砂抗折") on the
// flexure channel. Forces are held, shown and stored in N.
#include "FrameworkTest.h"

namespace kv::cem {

const fw::TModuleData &CemFlexData();

// The divisor of a prism of side b on span L: force ÷ it = 1.5 F L ÷ b³.
double FlexDivisor(double side, double span);

class TCemFlexTest : public fw::TFrameworkTest {
public:
    TCemFlexTest();
    int GetDefaultUnit(int Kind) override;

protected:
    fw::TRuleResult GroupRule(const std::vector<float> &values) const override;
    fw::TGroupResults EvaluateGroup(const std::vector<float> &forces,
                                    const std::vector<float> &strengths) const override;
    QString CheckModuleValues(const fw::TParamValues &v) const override;
    QString PrepareSpecimen(TSpecial &s, const fw::TParamValues &v) const override;
    QStringList SpecimenSizeSql(const TSpecial &s) const override;
    void RestoreSpecimen(TSpecial &s, const fw::TStoredRow &row) const override;
    QString StrengthSql() const override;
    void StoredGroupValues(fw::TParamValues &v, const fw::TStoredRow &groupRow,
                           const QList<fw::TStoredRow> &specimens) const override;
    void SetupForm(fw::TParamForm &form) override;
    void FormChanged(fw::TParamForm &form) override;

private:
    QString FShownVariety;
};

} // namespace kv::cem
