#include "ModuleSql.h"

#include "SqlText.h"

#include <QCoreApplication>

namespace kv::fw {

namespace {

QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }

// "expr as [title]": titles are translated texts and may hold blanks.
QString As(const QString &expr, const QString &title)
{
    QString t = title;
    t.remove(QLatin1Char(']'));
    return expr + QStringLiteral(" as [") + t + QLatin1Char(']');
}

QString ForeignKey(const QString &table, const QString &groupTable)
{
    return QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" ADD CONSTRAINT ") + table +
           QStringLiteral(" FOREIGN KEY (Zuhao,LingQi) REFERENCES ") + groupTable +
           QStringLiteral("(ZuHao,LingQi) on delete cascade");
}

bool Has(const QStringList &existing, const QString &name)
{
    return existing.contains(name, Qt::CaseInsensitive);
}

QString ConstantColumns(const QStringList &titles)
{
    QString out;
    for (const QString &t : titles)
        out += QStringLiteral(", ") + As(QStringLiteral("''"), t);
    return out;
}

} // namespace

std::vector<TParamColumn> ParamTableColumns(const std::vector<TParamColumn> &sizeColumns,
                                            const std::vector<TParamColumn> &tail)
{
    std::vector<TParamColumn> c = {{QStringLiteral("ZuHao"), QStringLiteral("varchar(30)"), TParamField::GroupNo, {}},
                                   {QStringLiteral("PingZhong"), QStringLiteral("varchar(30)"), TParamField::Variety, {}},
                                   {QStringLiteral("LingQi"), QStringLiteral("varchar(3)"), TParamField::Age, {}}};
    c.insert(c.end(), sizeColumns.begin(), sizeColumns.end());
    const std::vector<TParamColumn> common = {
        {QStringLiteral("Speed"), QStringLiteral("varchar(10)"), TParamField::Rate, {}},
        {QStringLiteral("GroNum"), QStringLiteral("int"), TParamField::Count, {}},
        {QStringLiteral("LoadType"), QStringLiteral("int"), TParamField::Continuous, {}},
        {QStringLiteral("YanShi"), QStringLiteral("int"), TParamField::Delay, {}},
        {QStringLiteral("SelectGroNum"), QStringLiteral("int"), TParamField::Created, {}}};
    c.insert(c.end(), common.begin(), common.end());
    c.insert(c.end(), tail.begin(), tail.end());
    return c;
}

QStringList CreateTableStatements(const TModuleData &d, const QStringList &existing)
{
    QStringList out;
    if (!Has(existing, d.GroupTable())) {
        QStringList cols = {QStringLiteral("ZuHao varchar(30)"),   QStringLiteral("LingQi varchar(3)"),
                            QStringLiteral("GroNum int"),          QStringLiteral("PingZhong varchar(30)"),
                            QStringLiteral("Speed varchar(30)"),   QStringLiteral("GrokN varchar(30)"),
                            QStringLiteral("GroMPa varchar(30)"),  QStringLiteral("ExpMan varchar(30)"),
                            QStringLiteral("ExpDate varchar(30)"), QStringLiteral("ExpCop varchar(30)")};
        cols += d.GroupExtraColumns;
        cols << QStringLiteral("SelectGroNum int") << QStringLiteral("primary key (ZuHao, LingQi)");
        out << QStringLiteral("Create Table ") + d.GroupTable() + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) +
                   QLatin1Char(')');
    }
    if (!Has(existing, d.SpecimenTable())) {
        QStringList cols = {QStringLiteral("ZuHao varchar(30)"), QStringLiteral("LingQi varchar(3)"),
                            QStringLiteral("PingZhong varchar(20)"), QStringLiteral("OnekN varchar(10)"),
                            QStringLiteral("ShunXu int")};
        cols += d.SpecimenColumns;
        cols << QStringLiteral("primary key (ZuHao, LingQi, ShunXu)");
        out << QStringLiteral("Create Table ") + d.SpecimenTable() + QStringLiteral(" (") +
                   cols.join(QStringLiteral(", ")) + QLatin1Char(')');
        out << ForeignKey(d.SpecimenTable(), d.GroupTable());
    }
    if (!Has(existing, d.ParamTable())) {
        QStringList cols;
        for (const TParamColumn &c : d.ParamColumns)
            cols << c.Name + QLatin1Char(' ') + c.Type;
        out << QStringLiteral("Create Table ") + d.ParamTable() + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) +
                   QLatin1Char(')');
    }
    if (!Has(existing, d.CaptionTable())) {
        out << QStringLiteral("Create Table ") + d.CaptionTable() +
                   QStringLiteral(" (ZuHao varchar(30), LingQi varchar(3), SunXu int, Name1 varchar(50), "
                                  "Data1 varchar(50), Name2 varchar(50), Data2 varchar(50), "
                                  "primary key (ZuHao, LingQi, SunXu))");
        out << ForeignKey(d.CaptionTable(), d.GroupTable());
    }
    return out;
}

QString GroupWhere(const QString &groupNo, const QString &age)
{
    return QStringLiteral(" where ZuHao = ") + QuotedStr(groupNo) + QStringLiteral(" and LingQi = ") + QuotedStr(age);
}

QString ColumnName(const QString &definition) { return definition.section(QLatin1Char(' '), 0, 0); }

namespace {

// "insert into table (names) Values(values)" of the group and specimen rows.
QString RowInsert(const QString &table, const QStringList &names, const QStringList &values)
{
    return QStringLiteral("insert into ") + table + QStringLiteral(" (") + names.join(QStringLiteral(", ")) +
           QStringLiteral(") Values(") + values.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString GroupUpdate(const TModuleData &d, const QString &assignments, const QString &groupNo, const QString &age)
{
    return QStringLiteral("update ") + d.GroupTable() + QStringLiteral(" set ") + assignments +
           GroupWhere(groupNo, age);
}

QString SpecimenUpdate(const TModuleData &d, const QString &assignment, const QString &groupNo, const QString &age,
                       int no)
{
    return QStringLiteral("update ") + d.SpecimenTable() + QStringLiteral(" set ") + assignment +
           GroupWhere(groupNo, age) + QStringLiteral(" and ShunXu = ") + SqlNum(qint64(no));
}

} // namespace

QString GroupRowSql(const QString &groupTable, const QString &groupNo, const QString &age)
{
    return QStringLiteral("select * from ") + groupTable + GroupWhere(groupNo, age);
}

QString GroupInsertSql(const TModuleData &d, const TGroupRow &g)
{
    QStringList names = {QStringLiteral("ZuHao"),     QStringLiteral("LingQi"), QStringLiteral("GroNum"),
                         QStringLiteral("PingZhong"), QStringLiteral("Speed"),  QStringLiteral("GrokN"),
                         QStringLiteral("GroMPa"),    QStringLiteral("ExpMan"), QStringLiteral("ExpDate"),
                         QStringLiteral("ExpCop")};
    QStringList values = {QuotedStr(g.GroupNo),  QuotedStr(g.Age),      QStringLiteral("0"),
                          QuotedStr(g.PingZhong), QuotedStr(g.Speed),   QStringLiteral("'0'"),
                          QStringLiteral("'0'"),  QuotedStr(g.Operator), QuotedStr(g.TestDate),
                          QuotedStr(g.Standard)};
    for (const QString &c : d.GroupExtraColumns)
        names << ColumnName(c);
    values += g.ExtraSql;
    names << QStringLiteral("SelectGroNum");
    values << SqlNum(qint64(g.Wanted));
    return RowInsert(d.GroupTable(), names, values);
}

QString GroupResultSql(const TModuleData &d, const QString &groupNo, const QString &age, const QString &force,
                       const QString &strength, int stored)
{
    QString set = QStringLiteral("GroKn = ") + QuotedStr(force) + QStringLiteral(", GroMpa = ") + QuotedStr(strength);
    if (stored >= 0)
        set += QStringLiteral(", GroNum = ") + SqlNum(qint64(stored));
    return GroupUpdate(d, set, groupNo, age);
}

QString CloseGroupSql(const TModuleData &d, const QString &groupNo, const QString &age)
{
    return GroupUpdate(d, QStringLiteral("SelectGroNum = GroNum"), groupNo, age);
}

QString GroupEndSql(const TModuleData &d, const QString &groupNo, const QString &age, int n)
{
    return GroupUpdate(d, QStringLiteral("SelectGroNum = ") + SqlNum(qint64(n)), groupNo, age);
}

QString SpecimenInsertSql(const TModuleData &d, const TSpecimenRow &s)
{
    QStringList names = {QStringLiteral("ZuHao"), QStringLiteral("LingQi"), QStringLiteral("PingZhong"),
                         QStringLiteral("OnekN"), QStringLiteral("ShunXu")};
    QStringList values = {QuotedStr(s.GroupNo), QuotedStr(s.Age), QuotedStr(s.PingZhong),
                          QuotedStr(FixedText(s.Force, 2)), SqlNum(qint64(s.No))};
    for (const QString &c : d.SpecimenColumns)
        names << ColumnName(c);
    values += s.SizeSql;
    return RowInsert(d.SpecimenTable(), names, values);
}

QString SpecimenForceSql(const TModuleData &d, const QString &groupNo, const QString &age, int no, double force)
{
    return SpecimenUpdate(d, QStringLiteral("OnekN = ") + QuotedStr(FixedText(force, 2)), groupNo, age, no);
}

QString SpecimenOutsideSql(const TModuleData &d, const QString &groupNo, const QString &age, int no)
{
    return SpecimenUpdate(d, QStringLiteral("IsOut = 1"), groupNo, age, no);
}

QString FlexuralRowsSql(const QString &specimenTable, const QString &groupNo, const QString &age)
{
    return QStringLiteral("Select LenAv,HeiAv,OneKn,1.5*Onekn*HeiAv /(lenav *lenav * lenav) as OneMpa from ") +
           specimenTable + GroupWhere(groupNo, age) + QStringLiteral(" order by ShunXu");
}

QString CorrectionsSql(const QString &testName, const QString &groupNo)
{
    return QStringLiteral("select UserName, At from AuditTrail where TestKind = ") + QuotedStr(testName) +
           QStringLiteral(" and GroupNo = ") + QuotedStr(groupNo) + QStringLiteral(" and Action = ") +
           QuotedStr(QStringLiteral("修正")) + QStringLiteral(" order by At desc");
}

QString DefaultCaptionsSql(const QString &testName)
{
    return QStringLiteral("select * from DefaultCaptionInfo where expobj = ") + QuotedStr(testName) +
           QStringLiteral(" order by sunxu");
}

QStringList SearchTitles()
{
    return {T("组号"), T("龄期"), T("强度等级"), T("本组个数"), T("有效力值"), T("有效强度"), T("试验日期")};
}

// A LIKE pattern that finds text anywhere in a value, its % and _ matched
// literally ('!' escapes them and itself).
QString ContainsPattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('!'), QStringLiteral("!!"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("!%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("!_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

QString SearchSql(const TModuleData &d, int kind, const QString &from, const QString &upTo)
{
    if (kind != 0 && kind != 1)
        return {};
    const QStringList cols = {QStringLiteral("zuhao"),  QStringLiteral("lingqi"), QStringLiteral("pingzhong"),
                              QStringLiteral("gronum"), QStringLiteral("GroKn"),  QStringLiteral("GroMpa"),
                              QStringLiteral("expdate")};
    const QStringList titles = SearchTitles();
    QStringList list;
    for (int i = 0; i < cols.size(); ++i)
        list << As(cols[i], titles[i]);
    QString sql = QStringLiteral("select ") + list.join(QStringLiteral(", ")) + QStringLiteral(" from ") + d.GroupTable();
    const QString column = kind == 0 ? QStringLiteral("zuhao") : QStringLiteral("expdate");
    if (upTo.isEmpty()) {
        if (kind == 0)
            sql += QStringLiteral(" where zuhao like ") + QuotedStr(ContainsPattern(from)) +
                   QStringLiteral(" escape '!'");
        else
            sql += QStringLiteral(" where expdate >= ") + QuotedStr(from);
    } else {
        sql += QStringLiteral(" where ") + column + QStringLiteral(" >= ") + QuotedStr(from) + QStringLiteral(" and ") +
               column + QStringLiteral(" <= ") + QuotedStr(upTo);
    }
    return sql;
}

QString RecordSql(const TModuleData &d, int kind, const TRecordArgs &a)
{
    const QString where = GroupWhere(a.GroupNo, a.Age);
    switch (kind) {
    case 2:
        return QStringLiteral("Select * from ") + d.CaptionTable() + where + QStringLiteral(" order by sunxu");
    case 3:
        return QStringLiteral("Delete * from ") + d.CaptionTable() + where;
    case 4:
    case 5:
        return QStringLiteral("delete * from ") + d.GroupTable() + where;
    case 6:
        return QStringLiteral("insert into ") + d.CaptionTable() +
               QStringLiteral(" (ZuHao, LingQi, SunXu, Name1, Data1, Name2, Data2) Values(") +
               QStringList{QuotedStr(a.GroupNo), QuotedStr(a.Age), SqlNum(qint64(a.Row)), QuotedStr(a.Name1),
                           QuotedStr(a.Data1), QuotedStr(a.Name2), QuotedStr(a.Data2)}
                   .join(QLatin1Char(',')) +
               QLatin1Char(')');
    case 7: {
        const QStringList cols = {QStringLiteral("ZuHao"),  QStringLiteral("LingQi"), QStringLiteral("GroNum"),
                                  QStringLiteral("PingZhong"), QStringLiteral("Speed"), QStringLiteral("GrokN"),
                                  QStringLiteral("GroMPa"), QStringLiteral("ExpMan"), QStringLiteral("ExpDate"),
                                  QStringLiteral("ExpCop")};
        const QStringList titles = {T("组号"),     T("龄期"),     T("本组个数"), T("品种"),     T("速度"),
                                    T("有效力值"), T("有效强度"), T("试验员"),   T("试验日期"), T("试验标准")};
        QStringList list;
        for (int i = 0; i < cols.size(); ++i)
            list << As(cols[i], titles[i]);
        return QStringLiteral("select ") + list.join(QStringLiteral(", ")) + ConstantColumns(a.ExtraGroupTitles) +
               QStringLiteral(" from ") + d.GroupTable() + where;
    }
    case 8: {
        const QString force = d.ForceInKN ? QStringLiteral("OnekN / 1000") : QStringLiteral("OnekN");
        return QStringLiteral("select ") + As(force, T("载荷")) + QStringLiteral(", ") +
               As(QLatin1Char('(') + a.StrengthSql + QLatin1Char(')'), T("强度")) + QStringLiteral(", ") +
               As(QLatin1Char('(') + a.SizeSql + QLatin1Char(')'), T("规格")) + ConstantColumns(a.ExtraSpecimenTitles) +
               QStringLiteral(" from ") + d.SpecimenTable() + where + QStringLiteral(" order by ShunXu");
    }
    default:
        return {};
    }
}

QString SpecimenRowsSql(const TModuleData &d, const QString &groupNo, const QString &age)
{
    return QStringLiteral("select * from ") + d.SpecimenTable() + GroupWhere(groupNo, age) +
           QStringLiteral(" order by ShunXu");
}

QString ParamSelectSql(const TModuleData &d) { return QStringLiteral("select * from ") + d.ParamTable(); }

QString ParamDeleteSql(const TModuleData &d) { return QStringLiteral("delete from ") + d.ParamTable(); }

namespace {

QString IntText(const QString &text)
{
    bool ok = false;
    const double v = ParseNumber(text.trimmed(), &ok);
    return SqlNum(qint64(ok ? qRound64(v) : 0));
}

} // namespace

QString ParamInsertSql(const TModuleData &d, const TParamValues &v)
{
    QStringList names, values;
    for (const TParamColumn &c : d.ParamColumns) {
        names << c.Name;
        QString value;
        switch (c.Field) {
        case TParamField::GroupNo: value = QuotedStr(v.GroupNo.trimmed()); break;
        case TParamField::Variety: value = QuotedStr(v.Variety.trimmed()); break;
        case TParamField::Grade: value = QuotedStr(v.Grade.trimmed()); break;
        case TParamField::Age: value = QuotedStr(v.Age.trimmed()); break;
        case TParamField::Size: value = QuotedStr(v.Size.trimmed()); break;
        case TParamField::SizeIndex: value = SqlNum(qint64(v.SizeIndex < 0 ? 0 : v.SizeIndex)); break;
        case TParamField::Rate: value = QuotedStr(FixedText(ParseNumber(v.Rate.trimmed()), 1)); break;
        case TParamField::Count: value = IntText(v.Count); break;
        case TParamField::Continuous: value = SqlNum(qint64(v.Continuous ? 1 : 0)); break;
        case TParamField::Delay: value = IntText(v.Delay); break;
        case TParamField::Created: value = SqlNum(qint64(v.Created)); break;
        case TParamField::Extra: value = QuotedStr(v.Extra.value(c.ExtraKey).trimmed()); break;
        }
        values << value;
    }
    return QStringLiteral("insert into ") + d.ParamTable() + QStringLiteral(" (") + names.join(QStringLiteral(", ")) +
           QStringLiteral(") values (") + values.join(QStringLiteral(", ")) + QLatin1Char(')');
}

TParamValues ParamFromRow(const TModuleData &d, const QMap<QString, QString> &row)
{
    TParamValues v = d.Defaults;
    auto get = [&](const QString &name) {
        for (auto it = row.begin(); it != row.end(); ++it)
            if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                return it.value();
        return QString();
    };
    for (const TParamColumn &c : d.ParamColumns) {
        const QString t = get(c.Name);
        switch (c.Field) {
        case TParamField::GroupNo: v.GroupNo = t; break;
        case TParamField::Variety: v.Variety = t; break;
        case TParamField::Grade: v.Grade = t; break;
        case TParamField::Age: v.Age = t; break;
        case TParamField::Size: v.Size = t; break;
        case TParamField::SizeIndex: v.SizeIndex = t.toInt(); break;
        case TParamField::Rate: v.Rate = t; break;
        case TParamField::Count: v.Count = t; break;
        case TParamField::Continuous: v.Continuous = t.toInt() != 0; break;
        case TParamField::Delay: v.Delay = t; break;
        case TParamField::Created: v.Created = t.toInt(); break;
        case TParamField::Extra: v.Extra[c.ExtraKey] = t; break;
        }
    }
    return v;
}

} // namespace kv::fw
