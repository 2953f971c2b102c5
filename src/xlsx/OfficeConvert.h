#pragma once
// LibreOffice, when it is installed, as a converter: an old .xls template
// into .xlsx, a filled workbook into PDF. Nothing else needs an office suite.
#include <QString>

namespace kv::xlsx {

// The soffice program, empty when LibreOffice is not installed. The
// environment variable KV_SOFFICE, when set, names it instead (empty: none).
QString OfficeProgram();

// Converts file into format ("pdf", "xlsx") in outDir; the new file's path
// in *outFile. False with *error when LibreOffice is missing or failed.
bool ConvertWithOffice(const QString &file, const QString &format, const QString &outDir, QString *outFile,
                       QString *error = nullptr);

} // namespace kv::xlsx
