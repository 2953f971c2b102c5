#pragma once
// Cell addresses of a workbook: "B3", "$B$3", a range "B3:D5", and a
// reference with its sheet ("'My sheet'!$B$3:$D$5") as defined names hold it.
#include <QString>

namespace kv::xlsx {

struct TCellPos {
    int Row = 0;    // 1-based; 0 = none
    int Column = 0; // 1-based
    bool Valid() const { return Row > 0 && Column > 0; }
    bool operator==(const TCellPos &o) const { return Row == o.Row && Column == o.Column; }
    bool operator<(const TCellPos &o) const { return Row != o.Row ? Row < o.Row : Column < o.Column; }
};

struct TCellRange {
    TCellPos First, Last;
    bool Valid() const { return First.Valid() && Last.Valid(); }
    bool Contains(const TCellPos &p) const
    {
        return p.Row >= First.Row && p.Row <= Last.Row && p.Column >= First.Column && p.Column <= Last.Column;
    }
};

// A reference with its sheet; Sheet is empty when the text named none.
struct TSheetRef {
    QString Sheet;
    TCellRange Range;
    bool Valid() const { return Range.Valid(); }
};

QString ColumnName(int column);           // 1 -> "A", 28 -> "AB"
int ColumnNumber(const QString &letters); // "AB" -> 28, 0 when not letters
TCellPos ParseCell(const QString &text);  // "B3" or "$B$3"
TCellRange ParseRange(const QString &text); // "B3", "B3:D5", with or without '$'
// "Sheet1!$B$3", "'a b'!B3:C4"; a leading '=' is dropped.
TSheetRef ParseSheetRef(const QString &text);
QString CellName(const TCellPos &p, bool absolute = false); // "B3" / "$B$3"
// "Sheet1!$B$3" (the sheet quoted when it needs it), "…!$B$3:$C$4" for a range.
QString SheetRefText(const QString &sheet, const TCellRange &range);

} // namespace kv::xlsx
