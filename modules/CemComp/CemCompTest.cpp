#include "CemCompTest.h"

#include "CemRules.h"
#include "ParamForm.h"

#include <QComboBox>

namespace kv::cem {

using fw::TParamColumn;
using fw::TParamField;

fw::TModuleData CementData()
{
    fw::TModuleData d;
    d.Standard = QStringLiteral("GB/T 17671-1999");
    d.MenuGroup = 2;
    d.VarietyField = {QT_TRANSLATE_NOOP("TModuleText", "试件品种"),
                      {QStringLiteral("P·I"), QStringLiteral("P·II"), QStringLiteral("P·O"), QStringLiteral("P·S·A"),
                       QStringLiteral("P·S·B"), QStringLiteral("P·P"), QStringLiteral("P·F"), QStringLiteral("P·C")},
                      true};
    d.GradeField = {QT_TRANSLATE_NOOP("TModuleText", "强度等级"), GradesOfVariety(QString()), false};
    d.AgeField = {QT_TRANSLATE_NOOP("TModuleText", "试件龄期(天)"),
                  {QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("28")},
                  true};
    d.CountField = {QT_TRANSLATE_NOOP("TModuleText", "试件块数"),
                    {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                     QStringLiteral("5"), QStringLiteral("6")},
                    false};
    d.Defaults.GroupNo = QStringLiteral("2008");
    d.Defaults.Variety = QStringLiteral("325R");
    d.Defaults.Age = QStringLiteral("28");
    d.Defaults.Size = QStringLiteral("50*50");
    d.Defaults.Rate = QStringLiteral("2.4");
    d.Defaults.Count = QStringLiteral("6");
    d.Defaults.Created = 6;
    d.Defaults.Continuous = true;
    d.Defaults.Delay = QStringLiteral("20");
    d.Defaults.Grade = QStringLiteral("42.5");
    return d;
}

namespace {

fw::TModuleData MakeCemComp()
{
    fw::TModuleData d = CementData();
    d.NameSource = QT_TRANSLATE_NOOP("TModuleText", "水泥胶砂抗压");
    d.MachineMask = 1;
    d.TableWord = QStringLiteral("CemComp");
    d.SpecimenSuffix = QStringLiteral("GROne");
    d.CurveWord = QStringLiteral("CemComp");
    d.SpecimenColumns = {QStringLiteral("LenAv varchar(5)"), QStringLiteral("WidAv varchar(5)")};
    d.ParamColumns = fw::ParamTableColumns({{QStringLiteral("GuiGe"), QStringLiteral("varchar(30)"), TParamField::Size, {}}},
                                           {{QStringLiteral("QDDJ"), QStringLiteral("varchar(5)"), TParamField::Grade, {}}});
    d.SizeField = {QT_TRANSLATE_NOOP("TModuleText", "试件规格(mm)"), {QStringLiteral("40*40"), QStringLiteral("50*50")},
                   true};
    d.RateField = {QT_TRANSLATE_NOOP("TModuleText", "加载速度(kN/s)"),
                   {QStringLiteral("0.6"), QStringLiteral("1.0"), QStringLiteral("2.4"), QStringLiteral("5.0")},
                   true};
    d.SizeParts = 2;
    d.CountMessage = QT_TRANSLATE_NOOP("TModuleText", "试件块数出错");
    d.ReportHeading = QT_TRANSLATE_NOOP("TModuleText", "水泥抗压结果数据：");
    d.ReportColumns = {QT_TRANSLATE_NOOP("TModuleText", "序号"), QT_TRANSLATE_NOOP("TModuleText", "试件规格(mm * mm)"),
                       QT_TRANSLATE_NOOP("TModuleText", "试样品种"), QT_TRANSLATE_NOOP("TModuleText", "龄  期"),
                       QT_TRANSLATE_NOOP("TModuleText", "力值(kN)"), QT_TRANSLATE_NOOP("TModuleText", "强度(MPa)")};
    return d;
}

} // namespace

const fw::TModuleData &CemCompData()
{
    static const fw::TModuleData d = MakeCemComp();
    return d;
}

void RefillGrades(fw::TParamForm &form, QString &shownVariety)
{
    QComboBox *variety = form.VarietyBox();
    QComboBox *gradeBox = form.GradeBox();
    if (!variety || !gradeBox || variety->currentText() == shownVariety)
        return;
    shownVariety = variety->currentText();
    const QString grade = gradeBox->currentText();
    const QStringList grades = GradesOfVariety(shownVariety);
    gradeBox->clear();
    gradeBox->addItems(grades);
    gradeBox->setCurrentIndex(qMax(0, grades.indexOf(grade)));
}

TCemCompTest::TCemCompTest(const fw::TModuleData &data) : TFrameworkTest(data) {}

fw::TRuleResult TCemCompTest::GroupRule(const std::vector<float> &values) const { return CompressiveRule(values); }

void TCemCompTest::FormChanged(fw::TParamForm &form) { RefillGrades(form, FShownVariety); }

} // namespace kv::cem
