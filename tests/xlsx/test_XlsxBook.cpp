// The workbook layer on templates made by LibreOffice: what it reads, and
// what it writes as an independent reader (openpyxl) sees it, with every
// part it had no reason to touch byte for byte the template's.
#include "XlsxReadBack.h"
#include "xlsx/XlsxBook.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv::xlsx;

namespace {

QString Data(const char *name) { return QStringLiteral(KV_XLSX_DATA "/") + QLatin1String(name); }

QByteArray Hash(const QString &file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

QStringList Strings(const QJsonValue &v)
{
    QStringList s;
    for (const QJsonValue &x : v.toArray())
        s << x.toString();
    return s;
}

} // namespace

TEST(XlsxBook, ReadsTheTemplateLibreOfficeMade)
{
    TXlsxBook book;
    QString error;
    ASSERT_TRUE(book.Open(Data("cemcomp_report.xlsx"), &error)) << error.toStdString();
    EXPECT_EQ(book.SheetNames(), (QStringList{QStringLiteral("报告"), QStringLiteral("曲线")}));
    EXPECT_EQ(book.Cell(0, 1, 1).Text, QStringLiteral("水泥胶砂抗压强度检验报告"));  // a shared string
    EXPECT_TRUE(book.Style(book.Cell(0, 1, 1).Style).Bold);
    EXPECT_EQ(book.Style(book.Cell(0, 7, 2).Style).NumFmt, QStringLiteral("0.00"));
    EXPECT_TRUE(book.Cell(0, 15, 2).IsFormula);
    EXPECT_EQ(book.Cell(0, 12, 1).Text, QStringLiteral("6"));
    EXPECT_EQ(book.Cell(1, 1, 2).Text, QStringLiteral("力值(kN)"));
    ASSERT_EQ(book.MergedCells(0).size(), 2);
    EXPECT_EQ(CellName(book.MergedCells(0)[1].First), QStringLiteral("B14"));
    EXPECT_GT(book.ColumnWidth(0, 3), 10.0);
    EXPECT_EQ(book.Extent(0).Row, 15);

    // 9 group and specimen marks of one "_" or two, the lab's own names beside them.
    EXPECT_EQ(book.Marks().size(), 8 + 18);
    int sheet = -1;
    TCellRange r;
    ASSERT_TRUE(book.Resolve(QStringLiteral("DIY_有效强度"), sheet, r));
    EXPECT_EQ(sheet, 0);
    EXPECT_EQ(CellName(r.First) + QLatin1Char(':') + CellName(r.Last), QStringLiteral("B14:C14"));
    EXPECT_FALSE(book.Resolve(QStringLiteral("DIY_速度"), sheet, r));
    bool printArea = false;
    for (const TDefinedName &n : book.DefinedNames())
        printArea |= n.Name == QLatin1String("_xlnm.Print_Area") && n.LocalSheet == 0;
    EXPECT_TRUE(printArea);
}

TEST(XlsxBook, WrittenCopyReadsBackWithEveryStyleMergePrintSettingAndPicture)
{
    KV_NEED_OPENPYXL();
    QTemporaryDir dir;
    const QString templ = Data("cemcomp_report.xlsx");
    const QByteArray before = Hash(templ);
    TXlsxBook book;
    ASSERT_TRUE(book.Open(templ));
    auto put = [&](const char *name, const TCellValue &v) {
        int sheet;
        TCellRange r;
        ASSERT_TRUE(book.Resolve(QString::fromUtf8(name), sheet, r)) << name;
        book.SetRange(sheet, r, v);
    };
    put("DIY_组号", TCellValue::FromText(QStringLiteral("E2E'1 <&>\"")));
    put("DIY_龄期", TCellValue::Auto(QStringLiteral("28")));
    put("DIY_试验日期", TCellValue::Auto(QStringLiteral("2026-12-08")));
    put("DIY_有效强度", TCellValue::Auto(QStringLiteral("40.1")));  // a merged range
    for (int k = 1; k <= 6; ++k)
        put(QStringLiteral("DIY_载荷_%1").arg(k).toUtf8().constData(), TCellValue::FromNumber(60 + k + 0.25));
    // Curves of three specimens: columns 2k-1 and 2k from row 2 on.
    for (int k = 1; k <= 3; ++k)
        for (int i = 0; i < 40; ++i) {
            book.SetCell(1, {2 + i, 2 * k - 1}, TCellValue::FromNumber(i * 0.1));
            book.SetCell(1, {2 + i, 2 * k}, TCellValue::FromNumber(k * 10 + i * 0.5));
        }
    const QString out = dir.filePath(QStringLiteral("filled.xlsx"));
    QString error;
    ASSERT_TRUE(book.SaveAs(out, &error)) << error.toStdString();
    EXPECT_EQ(Hash(templ), before) << "the template is never written";

    const QJsonObject t = xlsxtest::ReadBack(templ, &error);
    const QJsonObject w = xlsxtest::ReadBack(out, &error);
    ASSERT_FALSE(w.isEmpty()) << error.toStdString();
    const QJsonObject cells = xlsxtest::Cells(w, QStringLiteral("报告"));
    EXPECT_EQ(cells[QStringLiteral("B3")].toString(), QStringLiteral("E2E'1 <&>\""));
    EXPECT_EQ(cells[QStringLiteral("D3")].toDouble(), 28.0);
    EXPECT_EQ(cells[QStringLiteral("B4")].toString(), QStringLiteral("2026-12-08"));
    EXPECT_DOUBLE_EQ(cells[QStringLiteral("B14")].toDouble(), 40.1);
    EXPECT_FALSE(cells.contains(QStringLiteral("C14"))) << "the hidden cell of a merged area stays empty";
    EXPECT_DOUBLE_EQ(cells[QStringLiteral("B12")].toDouble(), 66.25);
    EXPECT_EQ(cells[QStringLiteral("B15")].toString(), QStringLiteral("=AVERAGE(C7:C12)"));
    EXPECT_EQ(cells[QStringLiteral("A1")].toString(), QStringLiteral("水泥胶砂抗压强度检验报告"));
    const QJsonObject curve = xlsxtest::Cells(w, QStringLiteral("曲线"));
    EXPECT_EQ(curve[QStringLiteral("B1")].toString(), QStringLiteral("力值(kN)")); // the template's header row
    EXPECT_DOUBLE_EQ(curve[QStringLiteral("E41")].toDouble(), 3.9);
    EXPECT_DOUBLE_EQ(curve[QStringLiteral("F41")].toDouble(), 30 + 39 * 0.5);
    // Styles, merged cells, names and print settings as the template had them.
    for (const char *key : {"formats", "bold", "merged", "orientation", "print_area", "names", "local"})
        EXPECT_EQ(w[QLatin1String(key)], t[QLatin1String(key)]) << key;
    EXPECT_EQ(w[QStringLiteral("formats")].toObject()[QStringLiteral("报告")].toObject()[QStringLiteral("B12")].toString(),
              QStringLiteral("0.00"));
    // Only the two sheets and the workbook (recalculation on opening) changed.
    const QJsonObject tp = t[QStringLiteral("parts")].toObject(), wp = w[QStringLiteral("parts")].toObject();
    EXPECT_EQ(tp.keys(), wp.keys());
    QStringList changed;
    for (const QString &p : tp.keys())
        if (tp[p] != wp[p])
            changed << p;
    EXPECT_EQ(changed, (QStringList{QStringLiteral("xl/workbook.xml"), QStringLiteral("xl/worksheets/sheet1.xml"),
                                    QStringLiteral("xl/worksheets/sheet2.xml")}));
    EXPECT_TRUE(tp.contains(QStringLiteral("xl/media/image1.png")));
    // The formula keeps no stale result: a reader computes it from the new values.
    TXlsxBook again;
    ASSERT_TRUE(again.Open(out));
    EXPECT_TRUE(again.Cell(0, 15, 2).IsFormula);
    EXPECT_TRUE(again.Cell(0, 15, 2).Text.isEmpty());
}

TEST(XlsxBook, MarksReplacedAndACurveSheetAddedToAOneSheetTemplate)
{
    KV_NEED_OPENPYXL();
    QTemporaryDir dir;
    TXlsxBook book;
    ASSERT_TRUE(book.Open(Data("horizontal.xlsx")));
    ASSERT_EQ(book.SheetCount(), 1);
    ASSERT_EQ(book.Marks().size(), 5);
    book.SetMarks({{QStringLiteral("DIY_组号"), QStringLiteral("Sheet1!$B$2")},
                   {QStringLiteral("DIY_载荷_1"), SheetRefText(QStringLiteral("Sheet1"), ParseRange(QStringLiteral("C4")))},
                   {QStringLiteral("DIY_备注"), SheetRefText(QStringLiteral("Sheet1"), ParseRange(QStringLiteral("B6:D6")))}});
    const int curves = book.AddSheet(QStringLiteral("曲线"));
    book.SetCell(curves, {2, 1}, TCellValue::FromNumber(0.5));
    book.SetCell(curves, {1, 1}, TCellValue::FromText(QStringLiteral("时间")));
    const QString out = dir.filePath(QStringLiteral("marks.xlsx"));
    ASSERT_TRUE(book.SaveAs(out));

    QString error;
    const QJsonObject w = xlsxtest::ReadBack(out, &error);
    ASSERT_FALSE(w.isEmpty()) << error.toStdString();
    EXPECT_EQ(Strings(w[QStringLiteral("sheets")]), (QStringList{QStringLiteral("Sheet1"), QStringLiteral("曲线")}));
    const QJsonObject names = w[QStringLiteral("names")].toObject();
    EXPECT_EQ(names.keys(), (QStringList{QStringLiteral("DIY_备注"), QStringLiteral("DIY_组号"), QStringLiteral("DIY_载荷_1"),
                                         QStringLiteral("Lab_name")}));
    EXPECT_EQ(names[QStringLiteral("DIY_备注")].toString(), QStringLiteral("Sheet1!$B$6:$D$6"));
    EXPECT_EQ(xlsxtest::Cells(w, QStringLiteral("曲线"))[QStringLiteral("A2")].toDouble(), 0.5);
    // Read again by our own reader: the new marks and sheet.
    TXlsxBook again;
    ASSERT_TRUE(again.Open(out));
    EXPECT_EQ(again.Marks().size(), 3);
    EXPECT_EQ(again.Cell(1, 1, 1).Text, QStringLiteral("时间"));
}

TEST(XlsxBook, BrokenFilesAreRefusedWithTheirName)
{
    QTemporaryDir dir;
    auto write = [&](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(QLatin1String(name)));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    QFile good(Data("horizontal.xlsx"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    const QStringList files = {write("text.xlsx", "not a workbook"), write("cut.xlsx", bytes.left(bytes.size() / 2)),
                               dir.filePath(QStringLiteral("missing.xlsx"))};
    for (const QString &f : files) {
        TXlsxBook book;
        QString error;
        EXPECT_FALSE(book.Open(f, &error)) << f.toStdString();
        EXPECT_TRUE(error.contains(f)) << error.toStdString();
    }
    // A sound zip that is no workbook.
    TXlsxBook book;
    QString error;
    TXlsxPackage zip;
    ASSERT_TRUE(zip.Read(Data("horizontal.xlsx"), nullptr));
    zip.RemovePart(QStringLiteral("xl/workbook.xml"));
    ASSERT_TRUE(zip.Write(dir.filePath(QStringLiteral("nobook.xlsx")), nullptr));
    EXPECT_FALSE(book.Open(dir.filePath(QStringLiteral("nobook.xlsx")), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(XlsxBook, References)
{
    EXPECT_EQ(ColumnName(28), QStringLiteral("AB"));
    EXPECT_EQ(ColumnNumber(QStringLiteral("XFD")), 16384);
    const TSheetRef r = ParseSheetRef(QStringLiteral("='Lab''s sheet'!$C$10:$D$12"));
    EXPECT_EQ(r.Sheet, QStringLiteral("Lab's sheet"));
    EXPECT_EQ(r.Range.First.Row, 10);
    EXPECT_EQ(r.Range.Last.Column, 4);
    EXPECT_EQ(SheetRefText(r.Sheet, r.Range), QStringLiteral("'Lab''s sheet'!$C$10:$D$12"));
    EXPECT_FALSE(ParseSheetRef(QStringLiteral("#REF!")).Valid());
    EXPECT_EQ(TCellValue::Auto(QStringLiteral("007")).Kind, TCellValue::Text);
    EXPECT_EQ(TCellValue::Auto(QStringLiteral("-3.50")).Kind, TCellValue::Number);

    // A name over the whole sheet fills its first cells and is done (the walk
    // used to visit all 17 billion).
    TXlsxBook book;
    ASSERT_TRUE(book.Open(Data("horizontal.xlsx")));
    book.SetRange(0, ParseRange(QStringLiteral("$A$1:$XFD$1048576")), TCellValue::FromNumber(1));
}
