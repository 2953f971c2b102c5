#include "records/TemplateMarks.h"

#include "db/DbEngine.h"
#include "xlsx/CellRef.h"

#include <QCoreApplication>

namespace kv {

namespace {

QString Tr(const char *text) { return QCoreApplication::translate("kv::TfrmConfigRep", text); }

// The mark word of a caption: blanks and characters a name cannot hold left out.
QString Word(const QString &caption)
{
    QString w;
    for (const QChar c : caption)
        if (c.isLetterOrNumber() || c == QLatin1Char('.'))
            w += c;
    return w;
}

bool ToInt(const QString &text, int &value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

QStringList TemplateParameterNames(TBaseTest &test, db::TDbConnection &conn, quint8 kind)
{
    QString sql;
    test.BuildRecordSQL(QString(), kind, sql, 0, QString(), QString(), QString(), QString());
    if (sql.isEmpty())
        return {};
    try {
        db::TDbQuery q(conn);
        q.setSql(sql);
        q.open();
        return q.fieldNames();
    } catch (const std::exception &) {
        return {};
    }
}

TTemplateMarks ReadTemplateMarks(const QList<xlsx::TDefinedName> &marks, const QStringList &groupNames,
                                 const QStringList &specimenNames)
{
    TTemplateMarks m;
    for (const QString &name : groupNames) {
        TMarkRow row;
        row.Name = name;
        for (const xlsx::TDefinedName &d : marks) {
            const QStringList parts = d.Name.mid(4).split(QLatin1Char('_'));
            if (parts.size() == 1 && parts[0] == Word(name))
                row.Position = d.RefersTo;
        }
        m.Group << row;
    }
    int count = 0;
    for (const QString &name : specimenNames) {
        TMarkRow row;
        row.Name = name;
        row.Specimen = true;
        QMap<int, xlsx::TSheetRef> cells; // by specimen number
        for (const xlsx::TDefinedName &d : marks) {
            const QStringList parts = d.Name.mid(4).split(QLatin1Char('_'));
            bool number = false;
            const int k = parts.size() == 2 ? parts[1].toInt(&number) : 0;
            if (number && k >= 1 && parts[0] == Word(name))
                cells.insert(k, xlsx::ParseSheetRef(d.RefersTo));
        }
        if (!cells.isEmpty()) {
            count = cells.size();
            const xlsx::TSheetRef first = cells.first();
            row.Position = xlsx::SheetRefText(first.Sheet, {first.Range.First, first.Range.First});
            if (cells.size() >= 2) {
                const xlsx::TSheetRef second = *std::next(cells.begin());
                const int dk = std::next(cells.begin()).key() - cells.firstKey();
                const bool sameRow = second.Range.First.Row == first.Range.First.Row;
                row.Layout = sameRow ? TMarkLayout::Horizontal : TMarkLayout::Vertical;
                const int cellsApart = sameRow ? second.Range.First.Column - first.Range.First.Column
                                               : second.Range.First.Row - first.Range.First.Row;
                row.Spacing = QString::number(std::abs(cellsApart) / std::max(dk, 1));
            }
        }
        m.Specimens << row;
    }
    m.Count = QString::number(count);
    return m;
}

bool BuildTemplateMarks(const TTemplateMarks &m, QList<xlsx::TDefinedName> &names, QString *error)
{
    names.clear();
    int count = 0;
    if (!ToInt(m.Count, count)) {
        if (error)
            *error = Tr("本组个数出错");
        return false;
    }
    for (const TMarkRow &r : m.Group)
        if (!r.Position.trimmed().isEmpty())
            names.append({QStringLiteral("DIY_") + Word(r.Name), r.Position.trimmed()});
    for (const TMarkRow &r : m.Specimens) {
        if (r.Position.trimmed().isEmpty() || count <= 0)
            continue;
        int spacing = 0;
        if (!ToInt(r.Spacing, spacing)) {
            if (error)
                *error = Tr("排列间隔出错");
            return false;
        }
        const xlsx::TSheetRef first = xlsx::ParseSheetRef(r.Position);
        if (!first.Valid())
            continue;
        for (int k = 1; k <= count; ++k) {
            xlsx::TCellPos p = first.Range.First;
            if (r.Layout == TMarkLayout::Vertical)
                p.Row += (k - 1) * spacing;
            else
                p.Column += (k - 1) * spacing;
            if (!p.Valid())
                continue;
            names.append({QStringLiteral("DIY_") + Word(r.Name) + QLatin1Char('_') + QString::number(k),
                          xlsx::SheetRefText(first.Sheet, {p, p})});
        }
    }
    return true;
}

} // namespace kv
