#pragma once
// The rows of a point grid (the checkpoints of a run, the force-code table):
// the cell texts of each point and the row commands with their limits. Both
// grids hold 1 to 12 points; a command beyond a limit does nothing. The
// windows keep their grid in step with these rows.
#include <QString>
#include <QStringList>
#include <vector>

namespace kv {

class TPointRows {
public:
    static constexpr int MinPoints = 1;
    static constexpr int MaxPoints = 12;
    static bool MayGrow(int points) { return points < MaxPoints; }
    static bool MayShrink(int points) { return points > MinPoints; }

    // columns: the value cells of a point (the label column not counted).
    explicit TPointRows(int columns) : FColumns(columns) {}

    int Count() const { return int(FRows.size()); }
    int Columns() const { return FColumns; }
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString &text);
    // Replaces every row (texts beyond the columns are dropped, missing ones empty).
    void SetRows(const std::vector<QStringList> &rows);
    const std::vector<QStringList> &Rows() const { return FRows; }

    // An empty point at the end.
    bool Add();
    // The last point goes.
    bool RemoveLast();
    // An empty point before row at (at = Count appends).
    bool Insert(int at);
    // Row at goes; current is the row to select afterwards: the same index,
    // one less when the last row went.
    bool Delete(int at, int &current);

private:
    QStringList Empty() const;

    int FColumns;
    std::vector<QStringList> FRows;
};

} // namespace kv
