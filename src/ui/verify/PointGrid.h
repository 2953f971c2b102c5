#pragma once
// TPointGrid: the grid of a point list (the checkpoints, the force-code
// table). Column 0 labels the points, the other columns hold their values;
// the header row names the columns. The row commands work on TPointRows, so
// their limits are those of the logic; the pop-up menu with the same four
// commands opens only over the cells its window allows.
#include "verify/PointRows.h"

#include <QTableWidget>
#include <functional>

class QAction;
class QMenu;

namespace kv {

class TPointGrid : public QTableWidget {
    Q_OBJECT
public:
    // Where a right click opens the pop-up menu: over the label column of a
    // point, or over one of its value cells.
    enum class TPopupCells { LabelColumn, ValueCells };

    // label: the text of point k from k; headers: every column's heading.
    TPointGrid(std::function<QString(int k)> label, const QStringList &headers, QWidget *parent = nullptr);

    // Value cells editable (the label column never is).
    void SetEditable(bool editable);
    // The pop-up menu and where it opens; without this call there is none.
    void SetPopup(TPopupCells cells, const QString &insert, const QString &remove, const QString &add,
                  const QString &removeLast);
    bool PopupAllowed(int row, int column) const;
    QMenu *Popup() const { return FPopup; }

    // A cell being edited keeps the typed text (before the texts are read).
    void CommitEdit();
    TPointRows Rows() const;
    void SetRows(const TPointRows &rows);
    // Value texts of one column, point by point.
    QStringList Column(int column) const;

    // The four row commands: false (nothing changes) beyond a limit.
    bool AddPoint();
    bool RemoveLastPoint();
    bool InsertPoint();
    bool DeletePoint();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void Relabel();
    bool Apply(const std::function<bool(TPointRows &, int &current)> &command);

    std::function<QString(int)> FLabel;
    bool FEditable = true;
    TPopupCells FPopupCells = TPopupCells::ValueCells;
    QMenu *FPopup = nullptr;
};

} // namespace kv
