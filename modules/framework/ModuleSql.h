#pragma once
// Every statement text the framework and the modules run, mostly built from
// a module's TModuleData. Every text value passes QuotedStr; numbers are
// written with '.'. The statements run where they are used, through
// KV_MODULE_EXEC for writes, so a failed write names its place.
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

// The column name of a column definition ("LenAv varchar(5)" -> "LenAv").
QString ColumnName(const QString &definition);

// ---- group rows ----
// The row of a group in a group table (CemDuo also reads CemFlexGroup).
QString GroupRowSql(const QString &groupTable, const QString &groupNo, const QString &age);

// The values of a new group row, written with its first specimen; GroNum,
// GrokN and GroMPa start at 0.
struct TGroupRow {
    QString GroupNo;
    QString Age;
    QString PingZhong;
    QString Speed;
    QString Operator;     // ExpMan
    QString TestDate;     // ExpDate, "yyyy-MM-dd"
    QString Standard;     // ExpCop
    QStringList ExtraSql; // SQL values of GroupExtraColumns, in order
    int Wanted = 0;       // SelectGroNum
};
QString GroupInsertSql(const TModuleData &d, const TGroupRow &g);

// The group results GroKn and GroMpa; with stored >= 0 also GroNum, the
// specimens stored so far.
QString GroupResultSql(const TModuleData &d, const QString &groupNo, const QString &age, const QString &force,
                       const QString &strength, int stored = -1);
// SelectGroNum of a group that ends: the specimens wanted become those
// stored (an unfinished group closed), or n (the group ended after n).
QString CloseGroupSql(const TModuleData &d, const QString &groupNo, const QString &age);
QString GroupEndSql(const TModuleData &d, const QString &groupNo, const QString &age, int n);

// ---- specimen rows ----
// The values of a specimen row; SizeSql are the SQL values of
// SpecimenColumns, in order.
struct TSpecimenRow {
    QString GroupNo;
    QString Age;
    QString PingZhong;
    double Force = 0.0;   // N, stored with two decimals
    int No = 0;           // ShunXu
    QStringList SizeSql;
};
QString SpecimenInsertSql(const TModuleData &d, const TSpecimenRow &s);
// A force corrected in the results window, in N.
QString SpecimenForceSql(const TModuleData &d, const QString &groupNo, const QString &age, int no, double force);
// A beam that broke outside the load points (ConFlex's IsOut).
QString SpecimenOutsideSql(const TModuleData &d, const QString &groupNo, const QString &age, int no);
// The flexural prisms of a group in a specimen table with LenAv (side) and
// HeiAv (span), with their strength 1.5 F L ÷ b³ as OneMpa (CemDuo's report
// reads CemFlexOne).
QString FlexuralRowsSql(const QString &specimenTable, const QString &groupNo, const QString &age);

// The caption rows of the report for a test without its own captions.
QString DefaultCaptionsSql(const QString &testName);
// The latest correction of a stored group in the program's audit trail
// (its user and time), newest first.
QString CorrectionsSql(const QString &testName, const QString &groupNo);

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

// The parameter table: its rows; delete every row, then the insert of the
// values.
QString ParamSelectSql(const TModuleData &d);
QString ParamDeleteSql(const TModuleData &d);
QString ParamInsertSql(const TModuleData &d, const TParamValues &v);
// Reads the values of one parameter-table row given as column -> text.
TParamValues ParamFromRow(const TModuleData &d, const QMap<QString, QString> &row);

// Column titles of the search list (translated).
QStringList SearchTitles();

} // namespace kv::fw
