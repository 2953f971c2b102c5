#pragma once
// Statement texts of a module's tables, built from its TModuleData. Every
// text value passes QuotedStr; numbers are written with '.'.
#include "ModuleData.h"

#include <QString>
#include <QStringList>

namespace kv::fw {

// The statements that create the tables missing from existing (names
// compared without regard to case), in the order group, specimen,
// parameter, caption; the specimen and caption tables are each followed by
// their foreign key to the group table with cascading delete.
QStringList CreateTableStatements(const TModuleData &d, const QStringList &existing);

// Where-clause " where ZuHao = '..' and LingQi = '..'".
QString GroupWhere(const QString &groupNo, const QString &age);

// The records window's list of groups: kind 0 by group number (an empty
// upTo matches every group number containing from), kind 1 by test date.
// Empty for another kind.
QString SearchSql(const TModuleData &d, int kind, const QString &from, const QString &upTo);

// Kinds 2..8 of BuildRecordSQL (kind 1 recomputes and has no text).
// strengthSql and sizeSql are the module's expressions over the specimen
// columns (kind 8).
struct TRecordArgs {
    QString GroupNo;
    QString Age;
    int Row = 0;
    QString Name1, Data1, Name2, Data2;
    QString StrengthSql;    // e.g. "ONEKN / (lenav  * widav)"
    QString SizeSql;        // e.g. "LenAv & '*' & WidAv"
    QStringList ExtraGroupTitles;    // constant columns of kind 7 (CemDuo)
    QStringList ExtraSpecimenTitles; // constant columns of kind 8 (CemDuo)
};
QString RecordSql(const TModuleData &d, int kind, const TRecordArgs &a);

// The specimen rows of a group in order, with the stored force.
QString SpecimenRowsSql(const TModuleData &d, const QString &groupNo, const QString &age);

// The parameter table: delete every row, then the insert of the values.
QString ParamDeleteSql(const TModuleData &d);
QString ParamInsertSql(const TModuleData &d, const TParamValues &v);
// Reads the values of one parameter-table row given as column -> text.
TParamValues ParamFromRow(const TModuleData &d, const QMap<QString, QString> &row);

// Column titles of the search list (translated).
QStringList SearchTitles();

} // namespace kv::fw
