#include "TemplateExport.h"

#include "xlsx/XlsxBook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <cmath>

namespace kv::fw {

namespace {

QString Tr(const char *text) { return QCoreApplication::translate("TTemplateExport", text); }

// Cells of the curve columns: the second sheet, from row 2 on.
constexpr int kCurveFirstRow = 2;

} // namespace

QString MarkWord(const QString &caption)
{
    QString w;
    for (const QChar c : caption)
        if (c.isLetterOrNumber() || c == QLatin1Char('.'))
            w += c;
    return w;
}

TFillResult FillTemplate(const TTemplateValues &values, const QString &templateFile, const QString &outFile)
{
    TFillResult result;
    xlsx::TXlsxBook book;
    QString error;
    if (!book.Open(templateFile, &error)) {
        result.Error = Tr("报表模板无法打开：%1").arg(error);
        return result;
    }
    const QList<xlsx::TDefinedName> marks = book.Marks();
    if (marks.isEmpty()) {
        result.Error = Tr("报表模板%1中没有DIY_标记，请先在报表设置中标记参数的位置").arg(QFileInfo(templateFile).fileName());
        return result;
    }
    QMap<QString, QString> group;
    for (const auto &v : values.Group)
        group.insert(MarkWord(v.first), v.second);
    for (const xlsx::TDefinedName &m : marks) {
        int sheet = -1;
        xlsx::TCellRange range;
        if (!book.Resolve(m.Name, sheet, range)) {
            result.Error = Tr("报表模板%1中的标记%2没有指向有效的单元格(%3)，请在报表设置中重新标记")
                               .arg(QFileInfo(templateFile).fileName(), m.Name, m.RefersTo);
            return result;
        }
        const QStringList parts = m.Name.mid(4).split(QLatin1Char('_'));
        bool found = false;
        QString value;
        if (parts.size() == 1 && group.contains(parts[0])) {
            found = true;
            value = group.value(parts[0]);
        } else if (parts.size() == 2) {
            bool isNumber = false;
            const int k = parts[1].toInt(&isNumber);
            if (isNumber && k >= 1) {
                // A specimen the group does not have leaves its cell as it is.
                for (const TNamedValues &s : values.Specimens)
                    for (const auto &v : s)
                        found |= MarkWord(v.first) == parts[0];
                if (found && k <= values.Specimens.size())
                    for (const auto &v : values.Specimens[k - 1])
                        if (MarkWord(v.first) == parts[0])
                            value = v.second;
                if (found && k > values.Specimens.size())
                    continue;
            }
        }
        if (!found) {
            result.Unknown << m.Name;
            continue;
        }
        book.SetRange(sheet, range, xlsx::TCellValue::Auto(value));
        ++result.Cells;
    }
    if (!values.Curves.isEmpty()) {
        int sheet = 1;
        if (book.SheetCount() < 2) {
            sheet = book.AddSheet(Tr("曲线"));
            for (int k = 1; k <= values.Curves.size(); ++k) {
                book.SetCell(sheet, {1, 2 * k - 1}, xlsx::TCellValue::FromText(Tr("第%1块 时间(s)").arg(k)));
                book.SetCell(sheet, {1, 2 * k}, xlsx::TCellValue::FromText(Tr("第%1块 力值(kN)").arg(k)));
            }
        }
        for (int k = 1; k <= values.Curves.size(); ++k) {
            const TCurvePoints &c = values.Curves[k - 1];
            for (int i = 0; i < int(c.size()); ++i) {
                book.SetCell(sheet, {kCurveFirstRow + i, 2 * k - 1}, xlsx::TCellValue::FromNumber(std::round(double(c[size_t(i)].X) * 1000.0) / 1000.0));
                book.SetCell(sheet, {kCurveFirstRow + i, 2 * k},
                             xlsx::TCellValue::FromNumber(std::round(double(c[size_t(i)].Force)) / 1000.0));
            }
        }
    }
    if (QFileInfo(outFile).absoluteFilePath() == QFileInfo(templateFile).absoluteFilePath()) {
        result.Error = Tr("报表文件%1无法保存").arg(QDir::toNativeSeparators(outFile));
        return result;
    }
    if (!book.SaveAs(outFile, &error)) {
        result.Error = Tr("报表文件%1无法保存，请检查文件夹%2是否可写")
                           .arg(QDir::toNativeSeparators(outFile), QDir::toNativeSeparators(QFileInfo(outFile).absolutePath()));
        return result;
    }
    result.Ok = true;
    return result;
}

QString FilledReportPath(const QString &outFolder, const QString &testName, const QString &groupNo, const QString &date,
                         const QString &templateName)
{
    QString name = testName + QLatin1Char('_') + groupNo + QLatin1Char('_') + date + QLatin1Char('_') + templateName;
    for (const QChar bad : QStringLiteral("\\/:*?\"<>|"))
        name.replace(bad, QLatin1Char('_'));
    return QDir(outFolder).filePath(name + QStringLiteral(".xlsx"));
}

} // namespace kv::fw
