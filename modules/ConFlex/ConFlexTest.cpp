#include "ConFlexTest.h"

#include "ModuleDb.h"
#include "ModuleSql.h"
#include "SqlText.h"
#include "ui/MessageService.h"

#include <QCoreApplication>

namespace kv::con {

const fw::TModuleData &ConFlexData()
{
    static const fw::TModuleData d = ConcreteData(TConKind::Flex);
    return d;
}

fw::TGroupResults FlexuralResults(const std::vector<float> &forces, const std::vector<float> &strengths,
                                  const std::vector<bool> &outside)
{
    const fw::TRuleResult f = FlexuralEndRule(forces, outside);
    const fw::TRuleResult s = FlexuralEndRule(strengths, outside);
    return {fw::ForceResultText(f, static_cast<int>(forces.size())),
            fw::StrengthResultText(s, static_cast<int>(strengths.size())), s.Marked};
}

TConFlexSpecial *TConFlexTest::GetFlexSpecial(int index) const
{
    return dynamic_cast<TConFlexSpecial *>(GetSpecial(index));
}

fw::TGroupResults TConFlexTest::EvaluateGroupEnd(const std::vector<float> &forces,
                                                 const std::vector<float> &strengths) const
{
    std::vector<bool> outside;
    for (int i = 0; i < static_cast<int>(strengths.size()); ++i) {
        const TConFlexSpecial *s = GetFlexSpecial(i);
        outside.push_back(s && s->FIsOut == 1);
    }
    return FlexuralResults(forces, strengths, outside);
}

fw::TGroupResults TConFlexTest::EvaluateStored(const QList<fw::TStoredRow> &rows) const
{
    std::vector<float> forces, strengths;
    std::vector<bool> outside;
    for (const fw::TStoredRow &row : rows) {
        TConFlexSpecial s;
        RestoreSpecimen(s, row);
        const double force = ParseNumber(StoredField(row, QStringLiteral("OnekN")));
        forces.push_back(fw::ShownValue(force / 1000.0, 2));
        strengths.push_back(fw::ShownValue(RecordStrength(row), 1));
        outside.push_back(s.FIsOut == 1);
    }
    return FlexuralResults(forces, strengths, outside);
}

void TConFlexTest::RestoreSpecimen(TSpecial &s, const fw::TStoredRow &row) const
{
    TConcreteTest::RestoreSpecimen(s, row);
    if (auto *beam = dynamic_cast<TConFlexSpecial *>(&s)) {
        beam->FIsOut = StoredField(row, QStringLiteral("IsOut")).trimmed() == QLatin1String("1") ? 1 : 0;
    }
}

void TConFlexTest::SpecimenStored(int k)
{
    TConFlexSpecial *s = GetFlexSpecial(k - 1);
    if (!s)
        return;
    s->FIsOut = 0;
    if (MsgYesNo(QCoreApplication::translate("TModuleText", "折断面是否在集中载荷之内?"), TMsgIcon::Question,
                 ParentWidget()))
        return;
    s->FIsOut = 1;
    KV_MODULE_EXEC(FConnection, fw::SpecimenOutsideSql(Data(), FGroupNo, FAge, k));
}

std::unique_ptr<TSpecial> TConFlexTest::NewSpecial() const { return std::make_unique<TConFlexSpecial>(); }

} // namespace kv::con
