#pragma once
// A written workbook as python3-openpyxl reads it (an independent reader),
// with the SHA-1 of every part as Python's zipfile reads them.
#include <QFile>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace xlsxtest {

inline const char *DumpScript()
{
    return R"PY(
import hashlib, json, sys, zipfile, openpyxl
path = sys.argv[1]
wb = openpyxl.load_workbook(path)
out = {"sheets": wb.sheetnames, "names": {}, "local": {}, "cells": {}, "formats": {}, "bold": {},
       "merged": {}, "orientation": {}, "print_area": {}, "parts": {}}
for n in wb.defined_names.definedName:
    (out["local"] if n.localSheetId is not None else out["names"])[n.name] = n.attr_text
for ws in wb.worksheets:
    cells, formats, bold = {}, {}, []
    for row in ws.iter_rows():
        for c in row:
            if c.value is not None:
                cells[c.coordinate] = c.value if isinstance(c.value, (int, float, str)) else str(c.value)
            if c.number_format != "General":
                formats[c.coordinate] = c.number_format
            if c.font is not None and c.font.b:
                bold.append(c.coordinate)
    out["cells"][ws.title] = cells
    out["formats"][ws.title] = formats
    out["bold"][ws.title] = bold
    out["merged"][ws.title] = sorted(str(r) for r in ws.merged_cells.ranges)
    out["orientation"][ws.title] = ws.page_setup.orientation
    out["print_area"][ws.title] = ws.print_area
with zipfile.ZipFile(path) as z:
    for i in z.infolist():
        out["parts"][i.filename] = hashlib.sha1(z.read(i.filename)).hexdigest()
print(json.dumps(out, ensure_ascii=False))
)PY";
}

// The interpreter that has openpyxl (the distribution's first); empty when none.
inline QString Python()
{
    for (const QString &p : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
        if (p.isEmpty() || !QFile::exists(p))
            continue;
        QProcess probe;
        probe.start(p, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        if (probe.waitForFinished(30000) && probe.exitCode() == 0)
            return p;
    }
    return {};
}

// The workbook as openpyxl reads it; an empty object when it failed (*error says why).
inline QJsonObject ReadBack(const QString &file, QString *error = nullptr)
{
    QProcess py;
    py.start(Python(), {QStringLiteral("-c"), QString::fromUtf8(DumpScript()), file});
    if (!py.waitForFinished(60000) || py.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(py.readAllStandardError());
        return {};
    }
    return QJsonDocument::fromJson(py.readAllStandardOutput()).object();
}

inline QJsonObject Cells(const QJsonObject &book, const QString &sheet)
{
    return book.value(QStringLiteral("cells")).toObject().value(sheet).toObject();
}

} // namespace xlsxtest

#define KV_NEED_OPENPYXL()                                                                                 \
    if (xlsxtest::Python().isEmpty())                                                                      \
    GTEST_SKIP() << "python3-openpyxl is not installed (scripts/setup installs it): no independent reader"
