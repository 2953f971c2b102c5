#include "MorCubeTest.h"

#include <QCoreApplication>

namespace kv::mor {

using fw::TParamField;

namespace {

fw::TModuleData MakeMorCube()
{
    fw::TModuleData d;
    d.NameSource = QT_TRANSLATE_NOOP("TModuleText", "建筑砂浆抗压");
    d.Standard = QStringLiteral("JGJ 70-90");
    d.MachineMask = 3;
    d.MenuGroup = 3;
    d.TableWord = QStringLiteral("MorCube");
    d.CurveWord = QStringLiteral("MorCube");
    d.SpecimenColumns = {QStringLiteral("LenAv varchar(5)"), QStringLiteral("WidAv varchar(5)"),
                         QStringLiteral("HeiAv varchar(5)")};
    d.ParamColumns =
        fw::ParamTableColumns({{QStringLiteral("GuiGe"), QStringLiteral("integer"), TParamField::SizeIndex, {}}});
    d.GroupNoField = {QT_TRANSLATE_NOOP("TModuleText", "试样编号"), {}, true};
    d.VarietyField = {QT_TRANSLATE_NOOP("TModuleText", "试样品种"),
                      {QStringLiteral("M3"), QStringLiteral("M5"), QStringLiteral("M7.5"), QStringLiteral("M10"),
                       QStringLiteral("M12.5"), QStringLiteral("M15"), QStringLiteral("M20"), QStringLiteral("M25"),
                       QStringLiteral("M30"), QStringLiteral("M40")},
                      true};
    d.AgeField = {QT_TRANSLATE_NOOP("TModuleText", "试样龄期(天)"),
                  {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7"),
                   QStringLiteral("28")},
                  true};
    d.RateField = {QT_TRANSLATE_NOOP("TModuleText", "加载速度(kN/s)"),
                   {QStringLiteral("0.5"), QStringLiteral("0.7"), QStringLiteral("0.9"), QStringLiteral("1.1"),
                    QStringLiteral("1.3"), QStringLiteral("1.5")},
                   true};
    d.CountField = {QT_TRANSLATE_NOOP("TModuleText", "试样块数"),
                    {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                     QStringLiteral("5"), QStringLiteral("6")},
                    false};
    d.SizeField = {QT_TRANSLATE_NOOP("TModuleText", "试件规格(mm)"), {QStringLiteral("70.7*70.7*70.7")}, true};
    d.Defaults.GroupNo = QStringLiteral("2008");
    d.Defaults.Variety = QStringLiteral("M3");
    d.Defaults.Age = QStringLiteral("7");
    d.Defaults.SizeIndex = 0;
    d.Defaults.Rate = QStringLiteral("0.5");
    d.Defaults.Count = QStringLiteral("3");
    d.Defaults.Created = 3;
    d.Defaults.Continuous = true;
    d.Defaults.Delay = QStringLiteral("20");
    d.Checks = {fw::TCheck::GroupNo, fw::TCheck::Variety, fw::TCheck::Age,  fw::TCheck::Rate,
                fw::TCheck::Count,   fw::TCheck::Size,    fw::TCheck::Delay};
    d.SizeParts = 3;
    d.CountMessage = QT_TRANSLATE_NOOP("TModuleText", "试件块数出错");
    d.SizeUnit = QStringLiteral("(mm*mm*mm)");
    d.ReportColumns = {QT_TRANSLATE_NOOP("TModuleText", "序号"), QT_TRANSLATE_NOOP("TModuleText", "试件规格(mm)"),
                       QT_TRANSLATE_NOOP("TModuleText", "试样品种"), QT_TRANSLATE_NOOP("TModuleText", "龄  期"),
                       QT_TRANSLATE_NOOP("TModuleText", "力值(kN)"), QT_TRANSLATE_NOOP("TModuleText", "强度(MPa)")};
    return d;
}

} // namespace

const fw::TModuleData &MorCubeData()
{
    static const fw::TModuleData d = MakeMorCube();
    return d;
}

fw::TRuleResult MortarRule(const std::vector<float> &values)
{
    fw::TRuleResult r;
    r.Value = fw::MeanOf(values);
    if (values.size() != 6)
        return r;
    const float m = r.Value;
    int hi = 0, lo = 0;
    float sum = 0.0f;
    for (int i = 0; i < 6; ++i) {
        sum += values[i];
        if (values[i] > values[hi])
            hi = i;
        if (values[i] < values[lo])
            lo = i;
    }
    const bool hiInside = values[hi] - m <= 0.2f * m;
    const bool loInside = m - values[lo] <= 0.2f * m;
    if (hiInside && loInside)
        return r;
    r.Value = (sum - values[hi] - values[lo]) / 4.0f;
    r.Marked = {hiInside ? lo : hi};
    return r;
}

TMorCubeTest::TMorCubeTest() : TFrameworkTest(MorCubeData()) {}

fw::TRuleResult TMorCubeTest::GroupRule(const std::vector<float> &values) const { return MortarRule(values); }

} // namespace kv::mor
