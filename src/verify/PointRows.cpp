#include "verify/PointRows.h"

namespace kv {

QStringList TPointRows::Empty() const
{
    QStringList row;
    for (int c = 0; c < FColumns; ++c)
        row << QString();
    return row;
}

QString TPointRows::Cell(int row, int column) const
{
    if (row < 0 || row >= Count() || column < 0 || column >= FColumns)
        return QString();
    return FRows[size_t(row)][column];
}

void TPointRows::SetCell(int row, int column, const QString &text)
{
    if (row >= 0 && row < Count() && column >= 0 && column < FColumns)
        FRows[size_t(row)][column] = text;
}

void TPointRows::SetRows(const std::vector<QStringList> &rows)
{
    FRows.clear();
    for (const QStringList &r : rows) {
        QStringList row = Empty();
        for (int c = 0; c < FColumns && c < r.size(); ++c)
            row[c] = r[c];
        FRows.push_back(row);
    }
}

bool TPointRows::Add() { return Insert(Count()); }

bool TPointRows::RemoveLast()
{
    int current = 0;
    return Delete(Count() - 1, current);
}

bool TPointRows::Insert(int at)
{
    if (!MayGrow(Count()) || at < 0 || at > Count())
        return false;
    FRows.insert(FRows.begin() + at, Empty());
    return true;
}

bool TPointRows::Delete(int at, int &current)
{
    if (!MayShrink(Count()) || at < 0 || at >= Count())
        return false;
    FRows.erase(FRows.begin() + at);
    current = at < Count() ? at : Count() - 1;
    return true;
}

} // namespace kv
