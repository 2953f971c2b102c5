#include "ui/verify/PointGrid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

namespace kv {

TPointGrid::TPointGrid(std::function<QString(int)> label, const QStringList &headers, QWidget *parent)
    : QTableWidget(0, int(headers.size()), parent), FLabel(std::move(label))
{
    setHorizontalHeaderLabels(headers);
    verticalHeader()->hide();
    // Twelve points show without scrolling.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    setMinimumHeight(horizontalHeader()->sizeHint().height() +
                     TPointRows::MaxPoints * verticalHeader()->defaultSectionSize() + 2 * frameWidth() + 2);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
}

void TPointGrid::SetEditable(bool editable)
{
    FEditable = editable;
    setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
}

void TPointGrid::SetPopup(TPopupCells cells, const QString &insert, const QString &remove, const QString &add,
                          const QString &removeLast)
{
    FPopupCells = cells;
    FPopup = new QMenu(this);
    FPopup->setObjectName(QStringLiteral("pmPoints"));
    connect(FPopup->addAction(insert), &QAction::triggered, this, [this] { InsertPoint(); });
    connect(FPopup->addAction(remove), &QAction::triggered, this, [this] { DeletePoint(); });
    connect(FPopup->addAction(add), &QAction::triggered, this, [this] { AddPoint(); });
    connect(FPopup->addAction(removeLast), &QAction::triggered, this, [this] { RemoveLastPoint(); });
}

bool TPointGrid::PopupAllowed(int row, int column) const
{
    if (!FPopup || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return false;
    return FPopupCells == TPopupCells::LabelColumn ? column == 0 : column > 0;
}

void TPointGrid::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex at = indexAt(event->pos());
    if (!at.isValid() || !PopupAllowed(at.row(), at.column()))
        return;
    // The clicked point is the one the commands work on.
    setCurrentCell(at.row(), at.column());
    FPopup->popup(event->globalPos());
}

void TPointGrid::CommitEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    // Leaving the edited cell hands the editor's text to the grid.
    const QModelIndex at = currentIndex();
    setCurrentIndex(QModelIndex());
    setCurrentIndex(at);
}

TPointRows TPointGrid::Rows() const
{
    TPointRows rows(columnCount() - 1);
    std::vector<QStringList> cells;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList row;
        for (int c = 1; c < columnCount(); ++c)
            row << (item(r, c) ? item(r, c)->text() : QString());
        cells.push_back(row);
    }
    rows.SetRows(cells);
    return rows;
}

void TPointGrid::SetRows(const TPointRows &rows)
{
    setRowCount(rows.Count());
    for (int r = 0; r < rows.Count(); ++r)
        for (int c = 1; c < columnCount(); ++c) {
            auto *cell = new QTableWidgetItem(rows.Cell(r, c - 1));
            if (!FEditable)
                cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
            setItem(r, c, cell);
        }
    Relabel();
}

QStringList TPointGrid::Column(int column) const
{
    QStringList texts;
    for (int r = 0; r < rowCount(); ++r)
        texts << (item(r, column) ? item(r, column)->text() : QString());
    return texts;
}

void TPointGrid::Relabel()
{
    for (int r = 0; r < rowCount(); ++r) {
        auto *cell = new QTableWidgetItem(FLabel(r + 1));
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setBackground(palette().button());
        setItem(r, 0, cell);
    }
}

bool TPointGrid::Apply(const std::function<bool(TPointRows &, int &)> &command)
{
    CommitEdit();
    TPointRows rows = Rows();
    int current = std::max(currentRow(), 0);
    if (!command(rows, current))
        return false;
    const int column = std::max(currentColumn(), 1);
    SetRows(rows);
    if (rows.Count() > 0)
        setCurrentCell(std::min(current, rows.Count() - 1), column);
    return true;
}

bool TPointGrid::AddPoint()
{
    return Apply([](TPointRows &rows, int &current) {
        current = rows.Count();
        return rows.Add();
    });
}

bool TPointGrid::RemoveLastPoint()
{
    return Apply([](TPointRows &rows, int &current) {
        if (!rows.RemoveLast())
            return false;
        current = std::min(current, rows.Count() - 1);
        return true;
    });
}

bool TPointGrid::InsertPoint()
{
    return Apply([](TPointRows &rows, int &current) { return rows.Insert(std::min(current, rows.Count())); });
}

bool TPointGrid::DeletePoint()
{
    return Apply([](TPointRows &rows, int &current) { return rows.Delete(current, current); });
}

} // namespace kv
