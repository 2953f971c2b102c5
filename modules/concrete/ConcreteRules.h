#pragma once
// The rules of hardened concrete ("GB/T 50081-2002") every concrete module
// shares: specimen sizes, the size-conversion coefficient, the loaded
// section, and the median rule. What tells the kinds apart is in each
// module's TConcreteKind (ConcreteKind.h).
#include "GroupResult.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kv::con {

inline constexpr double Pi = 3.14; // π as the standard's worksheets take it

// ---- choices of the parameter form ----
QStringList GradeChoices();                    // "C15" .. "C80"
QStringList AgeChoices();                      // 1, 3, 7, 28
// Stress rates from × step .. to × step, with decimals ("应力速度(MPa/s)").
QStringList StressRates(int from, int to, double step, int decimals);

// A size of the form's list and the entry of the kind's coefficient list it
// takes: 0 for a small size, 2 for a large one, -1 for a standard size whose
// coefficient is a fixed "1".
struct TConSizeChoice {
    QString Text;
    int Coefficient = -1;
};
// Cubes 150, 100 and 200 mm.
std::vector<TConSizeChoice> CubeSizes();
// The sizes given, followed by the cylinders φ150×300, φ100×200 and φ200×400.
std::vector<TConSizeChoice> WithCylinders(std::vector<TConSizeChoice> sizes);

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
// The coefficient as entered; false when it is not a number greater than 0.
bool ParseCoefficient(const QString &text, double *k);
// The coefficient as stored in XiShu (at most 10 characters, '.' decimal).
QString CoefficientText(double k);

// The loaded section of a cube, prism or cylinder in mm²: a × b, or the
// circle of d.
double SectionArea(const TConSize &size);

// ---- group rules ----
// Bounds of the group rules: v lies above (below) bound; a value equal to
// the bound is inside, also after single-precision rounding of the bound.
bool Above(float v, float bound);
bool Below(float v, float bound);
// Median rule of three values: an extreme more than 15 % from the middle
// value gives the middle value; both extremes so give an invalid result.
// Other counts: the plain mean.
fw::TRuleResult MedianRule(const std::vector<float> &values);

} // namespace kv::con
