#pragma once
// The compressive cement test of the dual compression/flexure machine: the
// CemComp test on its compression side, whose report also carries the
// flexural results of the same group from the CemFlex tables.
#include "CemCompTest.h"

namespace kv::cem {

const fw::TModuleData &CemDuoData();

class TCemDuoTest : public TCemCompTest {
public:
    TCemDuoTest();

protected:
    void AddReportBlocks(fw::TReport &report, const QString &groupNo, const QString &age) const override;
    QStringList ExtraGroupFieldTitles() const override;
    QStringList ExtraSpecimenFieldTitles() const override;
    fw::TTemplateValues TemplateValues(const QString &groupNo, const QString &age) const override;
};

// The flexural block of a group: the first three CemFlex specimens and the
// valid flexural strength; the standard text of the CemFlex group row.
fw::TReportBlock FlexuralBlock(const QList<fw::TStoredRow> &specimens, QString *standard = nullptr,
                               const fw::TStoredRow &flexGroup = {});

} // namespace kv::cem
