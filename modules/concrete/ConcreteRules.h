#pragma once
// The rules of hardened concrete ("GB/T 50081-2002") shared by the four
// concrete modules: specimen sizes, the size-conversion coefficient, the
// divisor from force to strength, the load rate derived from a stress rate,
// the records' strength formulas and the group rules (median rule, and the
// fracture rule of the flexural test).
#include "GroupResult.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kv::con {

enum class TConKind { Cube, Axial, Split, Flex };

// ---- choices of the parameter form ----
QStringList SizeChoices(TConKind kind);        // "试件规格(mm)", index 0..n
QStringList CoefficientChoices(TConKind kind); // "修正系数"
QStringList RateChoices(TConKind kind);        // "应力速度(MPa/s)"
QStringList GradeChoices();                    // "C15" .. "C80"
QStringList AgeChoices();                      // 1, 3, 7, 28

// A specimen size as chosen: a cube, prism or beam (three numbers: section
// side a or b, second side, height or length) or a cylinder ("φ" d "*" h).
struct TConSize {
    bool Valid = false;
    bool Round = false;
    float Length = 0.0f;   // LenAv
    float Width = 0.0f;    // WidAv
    float Height = 0.0f;   // HeiAv: height, or the beam's length
    float Diameter = 0.0f; // DiameterAv
};
TConSize ParseConSize(const QString &text);
// The size of a stored specimen row from its columns; round when it has a
// diameter and no side.
TConSize StoredConSize(double lenAv, double widAv, double heiAv, double diameterAv);

// ---- coefficient ----
// Grade "C60" and above (the grade's number; texts outside the list that
// carry no number count as below).
bool HighGrade(const QString &grade);
struct TCoefficientChoice {
    QString Value;          // the entry to show
    bool Editable = false;  // a coefficient found by test may be typed
};
// The coefficient box after a change of size or grade.
TCoefficientChoice ChooseCoefficient(TConKind kind, const QString &grade, int sizeIndex);
// The coefficient as entered; false when it is not a number greater than 0.
bool ParseCoefficient(const QString &text, double *k);
// The coefficient as stored in XiShu (at most 10 characters, '.' decimal).
QString CoefficientText(double k);

// ---- divisor and rate ----
// FArea in mm² (strength = force ÷ divisor), k the coefficient; π as 3.14.
// 0 for a size the kind cannot test (a cylinder beam).
double Divisor(TConKind kind, const TConSize &size, double k);
// Load rate handed to the controller, N/s, from the stress rate in MPa/s.
double LoadRate(TConKind kind, const TConSize &size, double stressRate);
// The text of the label "载荷速度(kN/s)": "%.2f" of the load rate in kN/s;
// empty when size or rate is not usable.
QString LoadRateText(TConKind kind, const QString &sizeText, const QString &stressRate);

// ---- records ----
// The strength of a stored specimen as an SQL expression over its columns
// (ONEKN in N, sizes in mm, XISHU the coefficient).
QString StrengthSql(TConKind kind, bool round);
// The same value computed from the stored texts' numbers.
double RecordStrength(TConKind kind, const TConSize &size, double forceN, double k);

// ---- group rules ----
// Median rule of three values: an extreme more than 15 % from the middle
// value gives the middle value; both extremes so give an invalid result.
// Other counts: the plain mean.
fw::TRuleResult MedianRule(const std::vector<float> &values);
// Flexural group end: with any fracture outside the load points (outside[i])
// the fracture rule, else the median rule.
fw::TRuleResult FlexuralEndRule(const std::vector<float> &values, const std::vector<bool> &outside);

} // namespace kv::con
