#include "ConcreteTest.h"

#include "ModuleSql.h"
#include "ParamCheck.h"
#include "ParamForm.h"
#include "SqlText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

namespace kv::con {

using fw::TParamField;

namespace {

QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }

double Number(const fw::TStoredRow &row, const QString &name)
{
    return ParseNumber(TConcreteTest::StoredField(row, name));
}

QString Mm(float v) { return QString::number(v); }

} // namespace

fw::TModuleData ConcreteData(const TConcreteKind &kind)
{
    fw::TModuleData d;
    d.NameSource = kind.NameSource;
    d.Standard = QStringLiteral("GB/T 50081-2002");
    d.MachineMask = kind.MachineMask;
    d.MenuGroup = 1;
    d.TableWord = kind.Word;
    d.CurveWord = kind.Word;
    d.CaptionSuffix = kind.CaptionSuffix;
    d.GroupExtraColumns = kind.GroupExtraColumns;
    const QString v5 = QStringLiteral(" varchar(5)");
    d.SpecimenColumns = QStringList{QStringLiteral("LenAv") + v5, QStringLiteral("WidAv") + v5,
                                    QStringLiteral("HeiAv") + v5} +
                        kind.SpecimenColumns;
    d.ParamColumns = fw::ParamTableColumns(
        {{QStringLiteral("GuiGe"), kind.GuiGeType, TParamField::SizeIndex, {}},
         {QStringLiteral("XiShu"), QStringLiteral("varchar(30)"), TParamField::Extra, XiShuKey}});

    d.VarietyField = {QT_TRANSLATE_NOOP("TModuleText", "强度等级"), GradeChoices(), true};
    d.AgeField = {QT_TRANSLATE_NOOP("TModuleText", "试件龄期(天)"), AgeChoices(), true};
    d.SizeField = {QT_TRANSLATE_NOOP("TModuleText", "试件规格(mm)"), SizeChoices(kind), false};
    d.RateField = {QT_TRANSLATE_NOOP("TModuleText", "应力速度(MPa/s)"), RateChoices(kind), true};
    QStringList counts;
    for (int i = 1; i <= kind.MaxCount; ++i)
        counts << QString::number(i);
    d.CountField = {QT_TRANSLATE_NOOP("TModuleText", "试件块数"), counts, false};

    d.Defaults.GroupNo = QStringLiteral("2008");
    d.Defaults.Variety = kind.Grade;
    d.Defaults.Age = QStringLiteral("28");
    d.Defaults.SizeIndex = 0;
    d.Defaults.Rate = kind.Rate;
    d.Defaults.Count = QStringLiteral("3");
    d.Defaults.Created = 3;
    d.Defaults.Continuous = true;
    d.Defaults.Delay = QStringLiteral("20");
    d.Defaults.Extra = {{XiShuKey, kind.Coefficient}};

    // Sizes come from the list; the coefficient is checked in its place.
    d.Checks = {fw::TCheck::GroupNo, fw::TCheck::Variety, fw::TCheck::Age,  fw::TCheck::Module,
                fw::TCheck::Rate,    fw::TCheck::Count,   fw::TCheck::Delay};
    d.SizeParts = 3;
    d.CountMessage = QString::fromUtf8(kind.CountMessage);
    d.RateToController = 1.0; // the load rate comes from the size (ControllerRate)
    d.RateUnit = QStringLiteral("(MPa/s)");
    d.RateDecimals = 3;
    d.SizeUnit = QStringLiteral("(mm)");
    d.ReportColumns = {QT_TRANSLATE_NOOP("TModuleText", "序号"), QT_TRANSLATE_NOOP("TModuleText", "试件规格(mm)"),
                       QT_TRANSLATE_NOOP("TModuleText", "强度等级"), QT_TRANSLATE_NOOP("TModuleText", "龄  期"),
                       QT_TRANSLATE_NOOP("TModuleText", "力值(kN)"), QT_TRANSLATE_NOOP("TModuleText", "强度(MPa)")};
    return d;
}

TConcreteTest::TConcreteTest(const TConcreteKind &kind, const fw::TModuleData &data) : TFrameworkTest(data), FKind(kind) {}

QString TConcreteTest::LoadRateLabelText() const { return FRateLabel ? FRateLabel->text() : QString(); }

QWidget *TConcreteTest::CreateParamForm(QWidget *Owner)
{
    FShownSize = -2;
    QWidget *w = TFrameworkTest::CreateParamForm(Owner);
    // The coefficient is chosen anew whenever the form is shown.
    if (fw::TParamForm *form = ParamForm()) {
        ChooseCoefficientShown(*form);
        FormChanged(*form);
    }
    return w;
}

bool TConcreteTest::ResumeGroup()
{
    if (!TFrameworkTest::ResumeGroup())
        return false;
    // The group goes on with the coefficient its specimens were tested with.
    fw::TParamForm *form = ParamForm();
    QComboBox *box = form ? form->ExtraCombo(XiShuKey) : nullptr;
    const QString k = FParams.Extra.value(XiShuKey);
    if (box && !k.isEmpty()) {
        const int i = box->findText(k);
        if (i >= 0) {
            box->setCurrentIndex(i);
        } else {
            box->setEditable(true);
            box->setCurrentText(k);
        }
    }
    return true;
}

fw::TRuleResult TConcreteTest::GroupRule(const std::vector<float> &values) const { return MedianRule(values); }

QString TConcreteTest::CheckModuleValues(const fw::TParamValues &v) const
{
    if (!SizeOf(v).Valid)
        return T("规格不正确");
    if (!ParseCoefficient(v.Extra.value(XiShuKey), nullptr))
        return T("系数输入不正确");
    return {};
}

TConSize TConcreteTest::SizeOf(const fw::TParamValues &v) const
{
    const QStringList sizes = SizeChoices(FKind);
    if (v.SizeIndex >= 0 && v.SizeIndex < sizes.size())
        return ParseConSize(sizes[v.SizeIndex]);
    return ParseConSize(v.Size);
}

QString TConcreteTest::PrepareSpecimen(TSpecial &s, const fw::TParamValues &v) const
{
    const TConSize size = SizeOf(v);
    double k = 0.0;
    if (!ParseCoefficient(v.Extra.value(XiShuKey), &k))
        return T("系数输入不正确");
    // The divisor uses the coefficient exactly as it is stored.
    k = ParseNumber(CoefficientText(k));
    const double area = Divisor(FKind, size, k);
    if (!(area > 0.0))
        return T("规格不正确");
    s.FShape = size.Round ? 1 : 0;
    s.FLength = size.Length;
    s.FWidth = size.Width;
    s.FHeight = size.Height;
    s.FDiameter = size.Diameter;
    s.FArea = area;
    return {};
}

float TConcreteTest::ControllerRate(const fw::TParamValues &v, const TSpecial &s) const
{
    double r = 0.0;
    fw::PositiveNumber(v.Rate, &r);
    return static_cast<float>(LoadRate(FKind, StoredConSize(s.FLength, s.FWidth, s.FHeight, s.FDiameter), r));
}

QString TConcreteTest::GroupSpeedText() const { return FParams.Rate.trimmed(); }

QStringList TConcreteTest::GroupExtraSql() const
{
    if (Data().GroupExtraColumns.isEmpty())
        return {};
    const TSpecial *first = GetSpecial(0);
    return {SqlNum(qint64(first ? first->FShape : 0))};
}

QStringList TConcreteTest::SpecimenSizeSql(const TSpecial &s) const
{
    double k = 0.0;
    ParseCoefficient(FParams.Extra.value(XiShuKey), &k);
    QStringList out;
    for (const QString &def : Data().SpecimenColumns) {
        const QString c = fw::ColumnName(def).toLower();
        if (c == QLatin1String("lenav"))
            out << QuotedStr(FixedText(s.FLength, 1));
        else if (c == QLatin1String("widav"))
            out << QuotedStr(FixedText(s.FWidth, 1));
        else if (c == QLatin1String("heiav"))
            out << QuotedStr(FixedText(s.FHeight, 1));
        else if (c == QLatin1String("diameterav"))
            out << QuotedStr(FixedText(s.FDiameter, 1));
        else if (c == QLatin1String("xishu"))
            out << QuotedStr(CoefficientText(k));
        else
            out << QStringLiteral("0"); // IsOut: asked after the row is stored
    }
    return out;
}

QString TConcreteTest::StoredField(const fw::TStoredRow &row, const QString &name)
{
    for (auto it = row.begin(); it != row.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

TConSize TConcreteTest::StoredSize(const fw::TStoredRow &row)
{
    return StoredConSize(Number(row, QStringLiteral("LenAv")), Number(row, QStringLiteral("WidAv")),
                         Number(row, QStringLiteral("HeiAv")), Number(row, QStringLiteral("DiameterAv")));
}

double TConcreteTest::StoredCoefficient(const fw::TStoredRow &row)
{
    double k = 0.0;
    return ParseCoefficient(StoredField(row, QStringLiteral("XiShu")), &k) ? k : 1.0;
}

void TConcreteTest::RestoreSpecimen(TSpecial &s, const fw::TStoredRow &row) const
{
    // The divisor of test time, from the stored sizes and coefficient, so a
    // continued group is evaluated like one tested without a break.
    const TConSize size = StoredSize(row);
    s.FShape = size.Round ? 1 : 0;
    s.FLength = size.Length;
    s.FWidth = size.Width;
    s.FHeight = size.Height;
    s.FDiameter = size.Diameter;
    s.FArea = Divisor(FKind, size, StoredCoefficient(row));
}

double TConcreteTest::RecordStrength(const fw::TStoredRow &row) const
{
    return con::RecordStrength(FKind, StoredSize(row), Number(row, QStringLiteral("OnekN")), StoredCoefficient(row));
}

QString TConcreteTest::RecordSizeText(const fw::TStoredRow &row) const
{
    const TConSize s = StoredSize(row);
    if (s.Round)
        return QChar(0x03C6) + Mm(s.Diameter) + QLatin1Char('*') + Mm(s.Height);
    return Mm(s.Length) + QLatin1Char('*') + Mm(s.Width) + QLatin1Char('*') + Mm(s.Height);
}

QString TConcreteTest::StrengthSql() const { return con::StrengthSql(FKind, false); }

QString TConcreteTest::SizeSql() const { return QStringLiteral("LenAv & '*' & WidAv & '*' & HeiAv"); }

double TConcreteTest::StoredRate(const fw::TStoredRow &groupRow) const
{
    // Speed holds the stress rate as entered (MPa/s).
    double rate = 0.0;
    return fw::PositiveNumber(StoredField(groupRow, QStringLiteral("Speed")), &rate) ? rate : 0.0;
}

// The kind's load rate of this specimen's size for 1 MPa/s.
double TConcreteTest::RateUnitNewtons(const fw::TStoredRow &row) const { return LoadRate(FKind, StoredSize(row), 1.0); }

void TConcreteTest::StoredGroupValues(fw::TParamValues &v, const fw::TStoredRow &groupRow,
                                      const QList<fw::TStoredRow> &specimens) const
{
    TFrameworkTest::StoredGroupValues(v, groupRow, specimens);
    // Speed holds the stress rate as entered.
    const QString rate = StoredField(groupRow, QStringLiteral("Speed")).trimmed();
    if (!rate.isEmpty())
        v.Rate = rate;
    if (!specimens.isEmpty()) {
        const fw::TStoredRow &last = specimens.last();
        v.Size = RecordSizeText(last);
        v.SizeIndex = SizeChoices(FKind).indexOf(v.Size);
        v.Extra[XiShuKey] = CoefficientText(StoredCoefficient(last));
    }
}

void TConcreteTest::SetupForm(fw::TParamForm &form)
{
    form.AddExtraCombo(XiShuKey, QT_TRANSLATE_NOOP("TModuleText", "修正系数"), CoefficientChoices(FKind), false);
    FRateLabel = form.AddInfoLabel(QT_TRANSLATE_NOOP("TModuleText", "载荷速度(kN/s)"));
}

void TConcreteTest::ChooseCoefficientShown(fw::TParamForm &form)
{
    QComboBox *box = form.ExtraCombo(XiShuKey);
    if (!box || !form.VarietyBox() || !form.SizeBox())
        return;
    FShownGrade = form.VarietyBox()->currentText();
    FShownSize = form.SizeBox()->currentIndex();
    const TCoefficientChoice c = ChooseCoefficient(FKind, FShownGrade, FShownSize);
    box->setEditable(c.Editable);
    const int i = box->findText(c.Value);
    if (i >= 0)
        box->setCurrentIndex(i);
    else
        box->setCurrentText(c.Value);
}

void TConcreteTest::FormChanged(fw::TParamForm &form)
{
    const QComboBox *variety = form.VarietyBox();
    const QComboBox *size = form.SizeBox();
    if (variety && size && (variety->currentText() != FShownGrade || size->currentIndex() != FShownSize))
        ChooseCoefficientShown(form);
    if (FRateLabel && size && form.RateBox())
        FRateLabel->setText(LoadRateText(FKind, size->currentText(), form.RateBox()->currentText()));
}

} // namespace kv::con
