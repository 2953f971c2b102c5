#include "CemFlexTest.h"

#include "CemCompTest.h"
#include "CemRules.h"
#include "ParamCheck.h"
#include "ParamForm.h"
#include "SqlText.h"

#include <QComboBox>
#include <QCoreApplication>

namespace kv::cem {

using fw::TParamField;

namespace {

QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }

const QString kSide = QStringLiteral("LenAv");
const QString kSpan = QStringLiteral("HeiAv");

fw::TModuleData MakeCemFlex()
{
    fw::TModuleData d = CementData();
    d.NameSource = QT_TRANSLATE_NOOP("TModuleText", "水泥胶砂抗折");
    d.MachineMask = 4;
    d.TableWord = QStringLiteral("CemFlex");
    d.CurveWord = QStringLiteral("CemFlex");
    d.SpecimenColumns = {QStringLiteral("LenAv varchar(5)"), QStringLiteral("HeiAv varchar(5)")};
    d.ParamColumns = fw::ParamTableColumns({{QStringLiteral("LenAv"), QStringLiteral("varchar(5)"), TParamField::Extra, kSide},
                                           {QStringLiteral("HeiAv"), QStringLiteral("varchar(5)"), TParamField::Extra, kSpan}},
                                           {{QStringLiteral("QDDJ"), QStringLiteral("varchar(5)"), TParamField::Grade, {}}});
    d.AgeField.Choices = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7"),
                          QStringLiteral("28")};
    d.RateField = {QT_TRANSLATE_NOOP("TModuleText", "加载速度(N/s)"), {QStringLiteral("50"), QStringLiteral("100")}, true};
    d.Checks = {fw::TCheck::GroupNo, fw::TCheck::Variety, fw::TCheck::Age,  fw::TCheck::Module,
                fw::TCheck::Rate,    fw::TCheck::Count,   fw::TCheck::Delay};
    d.Defaults.Size.clear();
    d.Defaults.Rate = QStringLiteral("50");
    d.Defaults.Count = QStringLiteral("3");
    d.Defaults.Created = 3;
    d.Defaults.Extra = {{kSide, QStringLiteral("30")}, {kSpan, QStringLiteral("80")}};
    d.CountMessage = QT_TRANSLATE_NOOP("TModuleText", "试件块数出错");
    d.SavedMessage = QT_TRANSLATE_NOOP("TModuleText", "保存成功");
    d.SaveErrorMessage = QT_TRANSLATE_NOOP("TModuleText", "保存失败");
    d.RateToController = 1.0;
    d.RateUnit = QStringLiteral("(N/s)");
    d.RateDecimals = 1;
    d.ForceInKN = false;
    d.SizeCaption = QT_TRANSLATE_NOOP("TModuleText", "边长*跨距");
    d.SizeUnit = QStringLiteral("(mm*mm)");
    d.ReportHeading = QT_TRANSLATE_NOOP("TModuleText", "水泥抗折结果数据：");
    d.ReportColumns = {QT_TRANSLATE_NOOP("TModuleText", "序号"), QT_TRANSLATE_NOOP("TModuleText", "边长*跨距(mm)"),
                       QT_TRANSLATE_NOOP("TModuleText", "试样品种"), QT_TRANSLATE_NOOP("TModuleText", "龄  期"),
                       QT_TRANSLATE_NOOP("TModuleText", "力值(N)"), QT_TRANSLATE_NOOP("TModuleText", "强度(MPa)")};
    return d;
}

double SideOf(const fw::TParamValues &v, const QString &key, bool *ok)
{
    double value = 0.0;
    *ok = fw::PositiveNumber(v.Extra.value(key), &value);
    return value;
}

} // namespace

const fw::TModuleData &CemFlexData()
{
    static const fw::TModuleData d = MakeCemFlex();
    return d;
}

double FlexDivisor(double side, double span) { return span > 0.0 ? side * side * side / 1.5 / span : 0.0; }

TCemFlexTest::TCemFlexTest() : TFrameworkTest(CemFlexData()) {}

int TCemFlexTest::GetDefaultUnit(int) { return 0; }

fw::TRuleResult TCemFlexTest::GroupRule(const std::vector<float> &values) const { return FlexuralRule(values); }

fw::TGroupResults TCemFlexTest::EvaluateGroup(const std::vector<float> &forces,
                                              const std::vector<float> &strengths) const
{
    // Both results of the flexural rule are written with one decimal.
    const fw::TRuleResult f = FlexuralRule(forces);
    const fw::TRuleResult s = FlexuralRule(strengths);
    return {fw::ForceResultText(f, static_cast<int>(forces.size()), 1),
            fw::StrengthResultText(s, static_cast<int>(strengths.size()), 1), s.Marked};
}

QString TCemFlexTest::CheckModuleValues(const fw::TParamValues &v) const
{
    bool ok = false;
    SideOf(v, kSide, &ok);
    if (!ok)
        return T("边长输入错误");
    SideOf(v, kSpan, &ok);
    if (!ok)
        return T("跨距输入错误");
    return {};
}

QString TCemFlexTest::PrepareSpecimen(TSpecial &s, const fw::TParamValues &v) const
{
    bool ok = false;
    const double b = SideOf(v, kSide, &ok);
    const double L = SideOf(v, kSpan, &ok);
    s.FLength = static_cast<float>(b);
    s.FHeight = static_cast<float>(L);
    s.FArea = FlexDivisor(b, L);
    return {};
}

QStringList TCemFlexTest::SpecimenSizeSql(const TSpecial &s) const
{
    return {QuotedStr(FixedText(s.FLength, 1)), QuotedStr(FixedText(s.FHeight, 1))};
}

void TCemFlexTest::RestoreSpecimen(TSpecial &s, const fw::TStoredRow &row) const
{
    TFrameworkTest::RestoreSpecimen(s, row);
    s.FArea = FlexDivisor(s.FLength, s.FHeight);
}

QString TCemFlexTest::StrengthSql() const { return QStringLiteral("1.5 * ONEKN * HeiAv / (lenav  * LenAv * LenAv)"); }

void TCemFlexTest::StoredGroupValues(fw::TParamValues &v, const fw::TStoredRow &groupRow,
                                     const QList<fw::TStoredRow> &specimens) const
{
    TFrameworkTest::StoredGroupValues(v, groupRow, specimens);
    if (!specimens.isEmpty()) {
        TSpecial s;
        RestoreSpecimen(s, specimens.last());
        v.Extra[kSide] = QString::number(s.FLength);
        v.Extra[kSpan] = QString::number(s.FHeight);
    }
}

void TCemFlexTest::SetupForm(fw::TParamForm &form)
{
    // Side and span stand where the other forms have the size.
    QComboBox *side = form.AddExtraCombo(kSide, QT_TRANSLATE_NOOP("TModuleText", "边长"),
                                         {QStringLiteral("30"), QStringLiteral("40"), QStringLiteral("50"),
                                          QStringLiteral("60")},
                                         true, form.AgeBox());
    form.AddExtraCombo(kSpan, QT_TRANSLATE_NOOP("TModuleText", "跨距"),
                       {QStringLiteral("80"), QStringLiteral("100"), QStringLiteral("120"), QStringLiteral("140"),
                        QStringLiteral("160")},
                       true, side);
}

void TCemFlexTest::FormChanged(fw::TParamForm &form) { RefillGrades(form, FShownVariety); }

} // namespace kv::cem
