#include "store/DbTransfer.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

namespace kv {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("kv::DbTransfer", text); }

QVector<QVector<QVariant>> Rows(const QSqlDatabase &db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw db::EDatabaseError(q.lastError().text() + QLatin1Char('\n') + sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec())
        throw db::EDatabaseError(q.lastError().text() + QLatin1Char('\n') + sql);
    QVector<QVector<QVariant>> out;
    while (q.next()) {
        QVector<QVariant> r;
        for (int i = 0; i < q.record().count(); ++i)
            r << q.value(i);
        out << r;
    }
    return out;
}

QString Bracket(const QString &name) { return QLatin1Char('[') + name + QLatin1Char(']'); }

// A name in the server's text: lower case (as unquoted names are folded).
QString ServerName(const QString &name)
{
    QString n = name.toLower();
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

struct TColumn {
    QString Name;
    QString JetType;
    bool Numeric = false;
};

// The Jet type of a SQLite column by its declared type's affinity.
QString JetType(const QString &declared, bool *numeric)
{
    const QString t = declared.toUpper();
    *numeric = true;
    if (t.contains(QLatin1String("INT")))
        return QStringLiteral("int");
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")) ||
        t.contains(QLatin1String("NUMERIC")) || t.contains(QLatin1String("DECIMAL")))
        return QStringLiteral("double");
    *numeric = false;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return QStringLiteral("datetime");
    if (t.contains(QLatin1String("BLOB")))
        return QStringLiteral("longbinary");
    return QStringLiteral("varchar(255)");
}

QVector<TColumn> CreateTable(const QSqlDatabase &src, db::TDbConnection &to, const QString &table)
{
    // cid, name, type, notnull, dflt_value, pk
    const auto info = Rows(src, QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM "
                                               "pragma_table_info(?) ORDER BY cid"),
                           {table});
    QStringList key;
    for (const auto &c : info)
        if (c[4].toInt() > 0)
            key << c[0].toString();
    QVector<TColumn> cols;
    QStringList defs;
    for (const auto &c : info) {
        TColumn col;
        col.Name = c[0].toString();
        col.JetType = JetType(c[1].toString(), &col.Numeric);
        QString def = Bracket(col.Name) + QLatin1Char(' ');
        // SQLite's INTEGER PRIMARY KEY numbers rows the insert leaves out.
        const bool counter = key.size() == 1 && key[0] == col.Name && c[1].toString().toUpper() == QLatin1String("INTEGER");
        def += counter ? QStringLiteral("counter") : col.JetType;
        if (!counter && c[2].toInt())
            def += QStringLiteral(" not null");
        const QString dflt = c[3].toString();
        bool isNumber = false;
        dflt.toDouble(&isNumber);
        if (!counter && !c[3].isNull() && (isNumber || (dflt.startsWith(QLatin1Char('\'')) && dflt.endsWith(QLatin1Char('\'')))))
            def += QStringLiteral(" default ") + dflt;
        defs << def;
        cols << col;
    }
    if (!key.isEmpty()) {
        bool counterKey = false;
        for (const QString &d : defs)
            counterKey = counterKey || d.endsWith(QLatin1String(" counter"));
        if (!counterKey) {
            QStringList k;
            for (const QString &c : key)
                k << Bracket(c);
            defs << QStringLiteral("primary key (") + k.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
    }
    to.execute(QStringLiteral("Create Table ") + Bracket(table) + QStringLiteral(" (") + defs.join(QStringLiteral(", ")) +
               QLatin1Char(')'));
    // Indexes made by a CREATE INDEX (the keys came with the table).
    for (const auto &idx : Rows(src, QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list(?) WHERE origin = 'c'"),
                                {table})) {
        QStringList names;
        for (const auto &c : Rows(src, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"), {idx[0]}))
            names << Bracket(c[0].toString());
        to.execute(QStringLiteral("Create %1Index %2 on %3 (%4)")
                       .arg(idx[1].toInt() ? QStringLiteral("Unique ") : QString(), Bracket(idx[0].toString()),
                            Bracket(table), names.join(QStringLiteral(", "))));
    }
    return cols;
}

int CopyRows(const QSqlDatabase &src, db::TDbConnection &to, const QString &table, const QVector<TColumn> &cols)
{
    QStringList srcNames, dstNames, marks;
    for (const TColumn &c : cols) {
        QString s = c.Name;
        s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        srcNames << QLatin1Char('"') + s + QLatin1Char('"');
        dstNames << ServerName(c.Name);
        marks << QStringLiteral("?");
    }
    QString t = table;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    QSqlQuery read(src);
    read.setForwardOnly(true);
    const QString readSql = QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(srcNames.join(QStringLiteral(", ")), t);
    if (!read.exec(readSql) && !read.exec(QStringLiteral("SELECT %1 FROM \"%2\"").arg(srcNames.join(QStringLiteral(", ")), t)))
        throw db::EDatabaseError(tr("无法读取表 %1: %2").arg(table, read.lastError().text()));
    QSqlQuery write(to.database());
    const QString writeSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(ServerName(table), dstNames.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    int n = 0;
    if (!write.prepare(writeSql))
        throw db::EDatabaseError(tr("无法写入表 %1: %2").arg(table, write.lastError().text()));
    while (read.next()) {
        for (int i = 0; i < cols.size(); ++i) {
            QVariant v = read.value(i);
            // A number column with empty text holds no number.
            if (cols[i].Numeric && v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
                v = QVariant();
            write.bindValue(i, v);
        }
        if (!write.exec())
            throw db::EDatabaseError(tr("无法写入表 %1 的第 %2 行: %3").arg(table).arg(n + 1).arg(write.lastError().text()));
        ++n;
    }
    return n;
}

QVector<TTableCount> CopyTables(const QSqlDatabase &src, db::TDbConnection &to, const QStringList &tables);

} // namespace

QVector<TTableCount> CopyDatabase(db::TDbConnection &from, db::TDbConnection &to)
{
    const QSqlDatabase src = from.database();
    const QStringList tables = from.tableNames();
    for (const QString &t : tables)
        if (to.tableExists(t))
            throw db::EDatabaseError(tr("服务器数据库中已有表 %1, 只能导入到空数据库").arg(t));
    // One transaction (the server's tables are made in it too): a copy that
    // fails half way leaves the server database as empty as it was.
    QSqlDatabase dst = to.database();
    if (!dst.transaction())
        throw db::EDatabaseError(tr("无法写入服务器数据库: %1").arg(dst.lastError().text()));
    try {
        const QVector<TTableCount> counts = CopyTables(src, to, tables);
        if (!dst.commit())
            throw db::EDatabaseError(tr("无法写入服务器数据库: %1").arg(dst.lastError().text()));
        return counts;
    } catch (...) {
        dst.rollback();
        throw;
    }
}

namespace {

QVector<TTableCount> CopyTables(const QSqlDatabase &src, db::TDbConnection &to, const QStringList &tables)
{
    QVector<TTableCount> counts;
    QMap<QString, QVector<TColumn>> columns;
    for (const QString &t : tables)
        columns[t] = CreateTable(src, to, t);
    for (const QString &t : tables)
        counts.append({t, CopyRows(src, to, t, columns[t])});
    // Foreign keys last, when the rows they point at are there.
    for (const QString &t : tables) {
        const auto keys = Rows(src, QStringLiteral("SELECT id, \"table\", \"from\", \"to\", on_delete FROM "
                                                   "pragma_foreign_key_list(?) ORDER BY id, seq"),
                               {t});
        for (int i = 0; i < keys.size();) {
            const int id = keys[i][0].toInt();
            QStringList fromCols, toCols;
            const QString parent = keys[i][1].toString();
            const bool cascade = keys[i][4].toString().compare(QLatin1String("CASCADE"), Qt::CaseInsensitive) == 0;
            for (; i < keys.size() && keys[i][0].toInt() == id; ++i) {
                fromCols << Bracket(keys[i][2].toString());
                if (!keys[i][3].isNull())
                    toCols << Bracket(keys[i][3].toString());
            }
            // The constraint bears the table's name, as the modules name it.
            const QString name = id == 0 ? t : t + QStringLiteral("_%1").arg(id);
            to.execute(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 FOREIGN KEY (%3) REFERENCES %4%5%6")
                           .arg(Bracket(t), Bracket(name), fromCols.join(QStringLiteral(",")), Bracket(parent),
                                toCols.isEmpty() ? QString() : QLatin1Char('(') + toCols.join(QStringLiteral(",")) + QLatin1Char(')'),
                                cascade ? QStringLiteral(" on delete cascade") : QString()));
        }
    }
    return counts;
}

} // namespace

bool FillEmptyServerDatabase(db::TDbConnection &server, const QString &templateFile)
{
    if (!server.tableNames().isEmpty())
        return false;
    // A copy: the installed file may lie in a folder nobody may write.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("template.sqlite"));
    if (!dir.isValid() || !QFile::copy(templateFile, copy))
        throw db::EDatabaseError(db::TDbFault::Missing, tr("无法读取数据库模板 %1").arg(templateFile));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    db::TDbConnection from;
    from.open(copy);
    CopyDatabase(from, server);
    return true;
}

} // namespace kv
