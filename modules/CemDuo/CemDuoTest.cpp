#include "CemDuoTest.h"

#include "CemRules.h"
#include "ModuleSql.h"
#include "SqlText.h"

#include <QCoreApplication>

namespace kv::cem {

namespace {

fw::TModuleData MakeCemDuo()
{
    fw::TModuleData d = CemCompData();
    d.MachineMask = 2;
    d.CurveWord = QStringLiteral("CemDuo");
    d.CountMessage = QT_TRANSLATE_NOOP("TModuleText", "试件数量错误");
    return d;
}

QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }

QString Value(const fw::TStoredRow &row, const char *name)
{
    for (auto it = row.begin(); it != row.end(); ++it)
        if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

} // namespace

const fw::TModuleData &CemDuoData()
{
    static const fw::TModuleData d = MakeCemDuo();
    return d;
}

TCemDuoTest::TCemDuoTest() : TCemCompTest(CemDuoData()) {}

fw::TReportBlock FlexuralBlock(const QList<fw::TStoredRow> &specimens, QString *standard,
                               const fw::TStoredRow &flexGroup)
{
    fw::TReportBlock b;
    b.Heading = T("水泥抗折结果数据：");
    b.Columns = {T("序号"), T("边长(mm)"), T("跨距(mm)"), T("力值(N)"), T("强度(MPa)")};
    std::vector<float> strengths;
    for (int i = 0; i < specimens.size() && i < 3; ++i) {
        const fw::TStoredRow &r = specimens[i];
        const double mpa = ParseNumber(Value(r, "OneMpa"));
        b.Rows.append({QString::number(i + 1), Value(r, "LenAv"), Value(r, "HeiAv"),
                       FixedText(ParseNumber(Value(r, "OneKn")), 2), FixedText(mpa, 1)});
        strengths.push_back(fw::ShownValue(mpa, 1));
    }
    b.ValidCaption = T("有效强度(MPa)");
    b.ValidValue = fw::StrengthResultText(FlexuralRule(strengths), static_cast<int>(strengths.size()));
    if (standard)
        *standard = Value(flexGroup, "ExpCop");
    return b;
}

void TCemDuoTest::AddReportBlocks(fw::TReport &report, const QString &groupNo, const QString &age) const
{
    const fw::TStoredRow flexGroup = [&] {
        const QList<fw::TStoredRow> rows = Select(fw::GroupRowSql(QStringLiteral("CemFlexGroup"), groupNo, age));
        return rows.isEmpty() ? fw::TStoredRow() : rows.first();
    }();
    const QList<fw::TStoredRow> specimens = Select(fw::FlexuralRowsSql(QStringLiteral("CemFlexOne"), groupNo, age));
    QString standard;
    report.Blocks.append(FlexuralBlock(specimens, &standard, flexGroup));
    if (!standard.isEmpty())
        report.Blocks.last().Heading += QStringLiteral("  ") + T("检测依据") + QLatin1Char(' ') + standard;
}

QStringList TCemDuoTest::ExtraGroupFieldTitles() const { return {T("抗折有效力值"), T("抗折有效强度")}; }

QStringList TCemDuoTest::ExtraSpecimenFieldTitles() const
{
    return {T("抗折载荷"), T("抗折强度"), T("抗折边长"), T("抗折跨距")};
}

fw::TTemplateValues TCemDuoTest::TemplateValues(const QString &groupNo, const QString &age) const
{
    // The flexural values of the same group, from the CemFlex tables, as the
    // report's flexural block shows them.
    fw::TTemplateValues v = TCemCompTest::TemplateValues(groupNo, age);
    const QList<fw::TStoredRow> flexGroups = Select(fw::GroupRowSql(QStringLiteral("CemFlexGroup"), groupNo, age));
    const fw::TStoredRow flexGroup = flexGroups.isEmpty() ? fw::TStoredRow() : flexGroups.first();
    const QList<fw::TStoredRow> specimens = Select(fw::FlexuralRowsSql(QStringLiteral("CemFlexOne"), groupNo, age));
    const fw::TReportBlock block = FlexuralBlock(specimens, nullptr, flexGroup);
    for (auto &g : v.Group) {
        if (g.first == T("抗折有效力值"))
            g.second = Value(flexGroup, "GrokN");
        else if (g.first == T("抗折有效强度"))
            g.second = specimens.isEmpty() ? QString() : block.ValidValue;
    }
    for (int i = 0; i < v.Specimens.size(); ++i) {
        const fw::TStoredRow r = i < specimens.size() ? specimens[i] : fw::TStoredRow();
        for (auto &s : v.Specimens[i]) {
            if (s.first == T("抗折载荷"))
                s.second = r.isEmpty() ? QString() : FixedText(ParseNumber(Value(r, "OneKn")), 2);
            else if (s.first == T("抗折强度"))
                s.second = r.isEmpty() ? QString() : FixedText(ParseNumber(Value(r, "OneMpa")), 1);
            else if (s.first == T("抗折边长"))
                s.second = Value(r, "LenAv");
            else if (s.first == T("抗折跨距"))
                s.second = Value(r, "HeiAv");
        }
    }
    return v;
}

} // namespace kv::cem
