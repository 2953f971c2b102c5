#pragma once
// TXlsxBook: a workbook read from an .xlsx file and written to a new one.
// It reads sheets, cells (shared, inline and formula strings, numbers),
// styles, merged cells, column widths and defined names; it writes values
// into cells, replaces the marks (defined names of a prefix) and adds
// sheets. Every part and every byte it does not change stays as it was, so
// styles, merged cells, print settings and pictures of a template survive.
#include "xlsx/CellRef.h"
#include "xlsx/XlsxPackage.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace kv::xlsx {

// A value to write: nothing (clears the value, keeps the cell's style), a
// number or a text.
struct TCellValue {
    enum TKind { Empty, Number, Text } Kind = Empty;
    double Num = 0;
    QString Str;
    static TCellValue FromNumber(double v) { return {Number, v, {}}; }
    static TCellValue FromText(const QString &t) { return {Text, 0, t}; }
    // A text that is a plain decimal number ("40.0", "-3") is written as a
    // number, so the template's number format and formulas apply.
    static TCellValue Auto(const QString &t);
};

// A cell as read.
struct TCell {
    QString Text;        // as shown (a number in its format's decimals)
    bool IsNumber = false;
    double Number = 0;
    bool IsFormula = false;
    int Style = 0;       // index into the cell formats (cellXfs)
};

struct TDefinedName {
    QString Name;
    QString RefersTo;    // without '=' ("Sheet1!$B$3")
    int LocalSheet = -1; // -1: the workbook's; else the sheet index it belongs to
};

// What the cell formats say about one format index.
struct TCellStyle {
    int NumFmtId = 0;
    QString NumFmt;      // its code when it has one
    bool Bold = false;
};

class TXlsxBook {
public:
    TXlsxBook();
    ~TXlsxBook();

    // Reads a workbook; false with *error set (a message for the operator).
    bool Open(const QString &file, QString *error = nullptr);
    // Writes the workbook with the changes to file (never to the one read
    // unless told so); false with *error set.
    bool SaveAs(const QString &file, QString *error = nullptr);

    int SheetCount() const { return FSheets.size(); }
    QStringList SheetNames() const;
    int SheetIndex(const QString &name) const; // -1 when none (case-insensitive)

    TCell Cell(int sheet, int row, int column) const;
    // The last row and column that hold a cell (0, 0 for an empty sheet).
    TCellPos Extent(int sheet) const;
    QList<TCellRange> MergedCells(int sheet) const;
    // Width in characters of a column, 0 when the sheet gives none.
    double ColumnWidth(int sheet, int column) const;
    TCellStyle Style(int index) const;
    int StyleCount() const { return FStyles.size(); }

    QList<TDefinedName> DefinedNames() const;
    // The workbook-level names that begin with prefix (case-insensitive),
    // in the order of the workbook.
    QList<TDefinedName> Marks(const QString &prefix = QStringLiteral("DIY_")) const;
    // Replaces every workbook-level name beginning with prefix by names.
    void SetMarks(const QList<TDefinedName> &names, const QString &prefix = QStringLiteral("DIY_"));

    // Stages a value; written by SaveAs. Cell() shows staged values.
    void SetCell(int sheet, const TCellPos &pos, const TCellValue &value);
    // A name's reference: its sheet index and cells; false when the name is
    // missing or refers to no sheet of the book.
    bool Resolve(const QString &name, int &sheet, TCellRange &range) const;
    // Writes value into the cells of a range: the top-left cell of each
    // merged area and every cell outside one.
    void SetRange(int sheet, const TCellRange &range, const TCellValue &value);
    // Adds a sheet at the end; its index.
    int AddSheet(const QString &name);

private:
    struct TSheet;
    struct TRel {
        QString Type, Target;
    };
    bool ReadStructure(QString *error);
    bool LoadSheet(TSheet &s) const;
    QMap<QString, TRel> ReadRels(const QString &part) const;
    QString RelsPart(const QString &part) const;
    QByteArray WorkbookWithChanges(bool recalc);
    void DropCalcChain();

    TXlsxPackage FPackage;
    QString FWorkbookPart;
    QList<TSheet *> FSheets;
    QStringList FShared;
    QList<TCellStyle> FStyles;
    QList<TDefinedName> FNames;
    bool FMarksChanged = false;
    QString FMarkPrefix;
    QList<TDefinedName> FNewMarks;
    QList<int> FAddedSheets;
};

} // namespace kv::xlsx
