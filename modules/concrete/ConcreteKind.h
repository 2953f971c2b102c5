#pragma once
// TConcreteKind: one concrete test as a data row. Each concrete module folder
// defines its row (names, tables, choices, defaults, formulas) and hands it
// to TConcreteTest; the shared concrete code works on the row it is given.
#include "ConcreteRules.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <vector>

namespace kv::con {

// How a kind turns force and stress rate into strength and load rate.
struct TConFormulas {
    // FArea in mm² (strength = force ÷ divisor) of a valid size, k > 0 the
    // coefficient; 0 for a size the kind cannot test.
    double (*Divisor)(const TConSize &size, double k) = nullptr;
    // Load rate handed to the controller, N/s, of a valid size from the
    // stress rate in MPa/s.
    double (*LoadRate)(const TConSize &size, double stressRate) = nullptr;
    // The strength of a stored specimen as an SQL expression over its
    // columns (ONEKN in N, sizes in mm, XISHU the coefficient), for a round
    // or a square size.
    QString (*StrengthSql)(bool round) = nullptr;
    // The same value computed from the stored texts' numbers.
    double (*RecordStrength)(const TConSize &size, double forceN, double k) = nullptr;
};

// Compression over the loaded section (cubes, prisms, cylinders): divisor
// section ÷ k, load rate stress rate × section, strength force ÷ section × k.
TConFormulas CompressiveFormulas();

struct TConcreteKind {
    // ---- identity ----
    const char *NameSource = "";       // resource text of the name (context "TModuleText")
    QString Word;                      // table and curve-file word
    quint32 MachineMask = 0;

    // ---- tables (the defaults are those of cubes, prisms and cylinders) ----
    // Group table columns after ExpCop: the shape of the first specimen.
    QStringList GroupExtraColumns{QStringLiteral("SpecialShape int")};
    // Specimen table columns after LenAv, WidAv, HeiAv.
    QStringList SpecimenColumns{QStringLiteral("DiameterAv varchar(5)"), QStringLiteral("XiShu varchar(10)")};
    QString CaptionSuffix = QStringLiteral("CaptionInfo");
    QString GuiGeType;                 // type of the parameter table's size column GuiGe

    // ---- parameter form ----
    std::vector<TConSizeChoice> Sizes; // "试件规格(mm)"
    // "修正系数": the small sizes' entry first, then "1", then the large sizes'.
    QStringList Coefficients;
    QStringList Rates;                 // "应力速度(MPa/s)"
    int MaxCount = 3;                  // the count list is 1 .. MaxCount
    const char *CountMessage = QT_TRANSLATE_NOOP("TModuleText", "试件块数出错"); // resource text

    // ---- defaults (the last parameters when the table is empty) ----
    QString Grade;
    QString Coefficient;
    QString Rate;

    TConFormulas Formulas;
};

// ---- the row applied ----
QStringList SizeChoices(const TConcreteKind &kind);
QStringList CoefficientChoices(const TConcreteKind &kind);
QStringList RateChoices(const TConcreteKind &kind);
// The coefficient box after a change of size or grade: the size's entry,
// editable from grade C60 on (a coefficient found by test); "1" and fixed for
// a standard size.
TCoefficientChoice ChooseCoefficient(const TConcreteKind &kind, const QString &grade, int sizeIndex);
// The divisor (0 for an invalid size or k) and the load rate (0 for an
// invalid size) of the kind's formulas.
double Divisor(const TConcreteKind &kind, const TConSize &size, double k);
double LoadRate(const TConcreteKind &kind, const TConSize &size, double stressRate);
// The text of the label "载荷速度(kN/s)": "%.2f" of the load rate in kN/s;
// empty when size or rate is not usable.
QString LoadRateText(const TConcreteKind &kind, const QString &sizeText, const QString &stressRate);
QString StrengthSql(const TConcreteKind &kind, bool round);
double RecordStrength(const TConcreteKind &kind, const TConSize &size, double forceN, double k);

} // namespace kv::con
