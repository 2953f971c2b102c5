#pragma once
// Printing a stored group through a report template: the group's values go
// into the cells its "DIY_" marks name, the curves into the second sheet,
// and the filled copy is saved under OutFile/; the template stays as it was.
#include "CurveFile.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kv::fw {

using TNamedValues = QList<QPair<QString, QString>>; // caption -> value as text

struct TTemplateValues {
    TNamedValues Group;             // the kind-7 captions
    QList<TNamedValues> Specimens;  // specimen k (from 1) at index k - 1: the kind-8 captions
    QList<TCurvePoints> Curves;     // specimen k's curve (abscissa, force in N)
};

struct TFillResult {
    bool Ok = false;
    QString Error;         // why nothing was written
    QStringList Unknown;   // marks that name no value of the test
    int Cells = 0;         // marks written
};

// The mark of a caption: blanks and characters a name cannot hold removed.
QString MarkWord(const QString &caption);

// Fills a copy of templateFile into outFile. A mark that refers to no cell,
// a broken workbook or an output that cannot be written fails with nothing
// written; outFile is never templateFile.
TFillResult FillTemplate(const TTemplateValues &values, const QString &templateFile, const QString &outFile);

// The output's name: test, group, test date and template, in outFolder.
QString FilledReportPath(const QString &outFolder, const QString &testName, const QString &groupNo,
                         const QString &date, const QString &templateName);

} // namespace kv::fw
