#include "xlsx/CellRef.h"

namespace kv::xlsx {

QString ColumnName(int column)
{
    QString s;
    while (column > 0) {
        const int d = (column - 1) % 26;
        s.prepend(QChar('A' + d));
        column = (column - 1) / 26;
    }
    return s;
}

int ColumnNumber(const QString &letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int n = 0;
    for (const QChar c : letters) {
        const QChar u = c.toUpper();
        if (u < QLatin1Char('A') || u > QLatin1Char('Z'))
            return 0;
        n = n * 26 + (u.unicode() - 'A' + 1);
    }
    return n <= 16384 ? n : 0;
}

TCellPos ParseCell(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char('$'));
    int i = 0;
    while (i < t.size() && t[i].isLetter() && t[i].unicode() < 0x80)
        ++i;
    bool ok = false;
    const int row = t.mid(i).toInt(&ok);
    const int col = ColumnNumber(t.left(i));
    if (!ok || row < 1 || row > 1048576 || col == 0 || t.mid(i).startsWith(QLatin1Char('+')))
        return {};
    return {row, col};
}

TCellRange ParseRange(const QString &text)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    TCellRange r;
    r.First = ParseCell(colon < 0 ? text : text.left(colon));
    r.Last = colon < 0 ? r.First : ParseCell(text.mid(colon + 1));
    if (!r.Valid())
        return {};
    if (r.Last.Row < r.First.Row)
        std::swap(r.First.Row, r.Last.Row);
    if (r.Last.Column < r.First.Column)
        std::swap(r.First.Column, r.Last.Column);
    return r;
}

TSheetRef ParseSheetRef(const QString &text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('=')))
        t.remove(0, 1);
    TSheetRef ref;
    const int bang = t.lastIndexOf(QLatin1Char('!'));
    if (bang >= 0) {
        QString sheet = t.left(bang);
        if (sheet.size() >= 2 && sheet.startsWith(QLatin1Char('\'')) && sheet.endsWith(QLatin1Char('\'')))
            sheet = sheet.mid(1, sheet.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        ref.Sheet = sheet;
        t = t.mid(bang + 1);
    }
    ref.Range = ParseRange(t);
    return ref;
}

QString CellName(const TCellPos &p, bool absolute)
{
    const QString dollar = absolute ? QStringLiteral("$") : QString();
    return dollar + ColumnName(p.Column) + dollar + QString::number(p.Row);
}

QString SheetRefText(const QString &sheet, const TCellRange &range)
{
    bool plain = !sheet.isEmpty() && !sheet[0].isDigit();
    for (const QChar c : sheet)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.')))
            plain = false;
    const QString name = plain ? sheet : QLatin1Char('\'') + QString(sheet).replace(QStringLiteral("'"), QStringLiteral("''")) + QLatin1Char('\'');
    QString cells = CellName(range.First, true);
    if (!(range.First == range.Last))
        cells += QLatin1Char(':') + CellName(range.Last, true);
    return name + QLatin1Char('!') + cells;
}

} // namespace kv::xlsx
