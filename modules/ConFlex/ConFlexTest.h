#pragma once
// TConFlexTest: flexural strength of concrete beams ("普通混凝土抗折") by
// "GB/T 50081-2002". After each specimen the operator says whether the beam
// broke between the load points; a fracture outside them brings the fracture
// rule in place of the median rule at group end.
#include "ConcreteTest.h"

namespace kv::con {

const TConcreteKind &ConFlexKind();
const fw::TModuleData &ConFlexData();

// A beam: the specimen with the fracture position.
class TConFlexSpecial : public TSpecial {
public:
    int FIsOut = 0; // 1 = fracture outside the load points
};

class TConFlexTest : public TConcreteTest {
public:
    TConFlexTest() : TConcreteTest(ConFlexKind(), ConFlexData()) {}

    TConFlexSpecial *GetFlexSpecial(int index) const;

protected:
    fw::TGroupResults EvaluateGroupEnd(const std::vector<float> &forces,
                                       const std::vector<float> &strengths) const override;
    fw::TGroupResults EvaluateStored(const QList<fw::TStoredRow> &rows) const override;
    void RestoreSpecimen(TSpecial &s, const fw::TStoredRow &row) const override;
    void SpecimenStored(int k) override;
    std::unique_ptr<TSpecial> NewSpecial() const override;
};

// Flexural group end: with any fracture outside the load points (outside[i])
// the fracture rule, else the median rule.
fw::TRuleResult FlexuralEndRule(const std::vector<float> &values, const std::vector<bool> &outside);
// Both results of a flexural group by the fracture positions.
fw::TGroupResults FlexuralResults(const std::vector<float> &forces, const std::vector<float> &strengths,
                                  const std::vector<bool> &outside);

} // namespace kv::con
