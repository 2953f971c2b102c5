#pragma once
// The marks of a report template as the template window edits them: one row
// per parameter the test kind can deliver (its kind-7 group captions and
// kind-8 specimen captions), read from the workbook's "DIY_" names and made
// into names again by the layout rule.
#include "BaseTest.h"
#include "xlsx/XlsxBook.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kv {

enum class TMarkLayout { Horizontal = 0, Vertical = 1 }; // "横向", "纵向"

struct TMarkRow {
    QString Name;       // the parameter's caption, as the test kind gives it
    bool Specimen = false;
    QString Position;   // "Sheet1!$B$3"; empty: not marked (specimen rows: specimen 1)
    TMarkLayout Layout = TMarkLayout::Vertical;
    QString Spacing = QStringLiteral("1"); // cells between two specimens, as typed
};

struct TTemplateMarks {
    QList<TMarkRow> Specimens;  // listed first, as the window shows them
    QList<TMarkRow> Group;
    QString Count = QStringLiteral("0"); // "本组个数", as typed
};

// The captions of the test kind: kind 7 (group) and kind 8 (specimens) run
// with an empty group number; their field names.
QStringList TemplateParameterNames(TBaseTest &test, db::TDbConnection &conn, quint8 kind);

// The rows for the parameters, with what the workbook's marks say: a group
// row's position, a specimen row's first cell, layout and spacing and the
// group size (the number of marks of one specimen parameter).
TTemplateMarks ReadTemplateMarks(const QList<xlsx::TDefinedName> &marks, const QStringList &groupNames,
                                 const QStringList &specimenNames);

// The marks of the rows: "DIY_"+name for a group row, "DIY_"+name+"_"+k for
// specimen k = 1..Count. False with *error ("本组个数出错", "排列间隔出错").
bool BuildTemplateMarks(const TTemplateMarks &m, QList<xlsx::TDefinedName> &names, QString *error);

} // namespace kv
