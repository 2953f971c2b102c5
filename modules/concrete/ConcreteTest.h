#pragma once
// TConcreteTest: what the concrete modules add to the framework — the size
// list, the coefficient box and its choice by grade and size, the load-rate
// label, the divisor and controller rate of each specimen, the stored
// columns, and the median rule — all from the module's TConcreteKind.
#include "ConcreteKind.h"
#include "FrameworkTest.h"

#include <QLabel>
#include <QPointer>

namespace kv::con {

// Key of the coefficient box in TParamValues::Extra and its columns.
inline const QString XiShuKey = QStringLiteral("XiShu");

// The module data of a concrete kind: what every concrete module shares,
// with the kind's names, mask, tables, choices and defaults.
fw::TModuleData ConcreteData(const TConcreteKind &kind);

class TConcreteTest : public fw::TFrameworkTest {
public:
    // data is ConcreteData(kind), kept by the module.
    TConcreteTest(const TConcreteKind &kind, const fw::TModuleData &data);

    const TConcreteKind &Kind() const { return FKind; }
    // The load rate the label shows ("%.2f" kN/s; empty when not usable).
    QString LoadRateLabelText() const;

    // A column of a stored row, by name in any case.
    static QString StoredField(const fw::TStoredRow &row, const QString &name);

    QWidget *CreateParamForm(QWidget *Owner) override;
    bool ResumeGroup() override;

protected:
    fw::TRuleResult GroupRule(const std::vector<float> &values) const override;
    QString CheckModuleValues(const fw::TParamValues &v) const override;
    QString PrepareSpecimen(TSpecial &s, const fw::TParamValues &v) const override;
    float ControllerRate(const fw::TParamValues &v, const TSpecial &s) const override;
    QString GroupSpeedText() const override;
    QStringList GroupExtraSql() const override;
    QStringList SpecimenSizeSql(const TSpecial &s) const override;
    void RestoreSpecimen(TSpecial &s, const fw::TStoredRow &row) const override;
    double RecordStrength(const fw::TStoredRow &row) const override;
    QString RecordSizeText(const fw::TStoredRow &row) const override;
    QString StrengthSql() const override;
    QString SizeSql() const override;
    double StoredRate(const fw::TStoredRow &groupRow) const override;
    double RateUnitNewtons(const fw::TStoredRow &row) const override;
    void StoredGroupValues(fw::TParamValues &v, const fw::TStoredRow &groupRow,
                           const QList<fw::TStoredRow> &specimens) const override;
    void SetupForm(fw::TParamForm &form) override;
    void FormChanged(fw::TParamForm &form) override;

    // The size of the form values (the list entry chosen).
    TConSize SizeOf(const fw::TParamValues &v) const;
    // The size and coefficient of a stored specimen row.
    static TConSize StoredSize(const fw::TStoredRow &row);
    static double StoredCoefficient(const fw::TStoredRow &row);
    // Sets the coefficient box for the grade and size shown.
    void ChooseCoefficientShown(fw::TParamForm &form);

private:
    const TConcreteKind &FKind;
    QPointer<QLabel> FRateLabel; // owned by the form
    QString FShownGrade;
    int FShownSize = -2;
};

} // namespace kv::con
