#pragma once
// The report templates of one folder (Report/<test name>): each template
// once, by its name; an .xlsx is used, an old .xls only once LibreOffice has
// made an .xlsx of it (the .xls is kept beside it).
#include <QList>
#include <QString>

namespace kv::xlsx {

struct TTemplateFile {
    QString Name;        // file name without the extension ("a.b.xls" is "a.b")
    QString Path;        // the .xlsx, or the .xls when there is no .xlsx
    bool Usable = false; // an .xlsx
};

// In name order.
QList<TTemplateFile> TemplateFiles(const QString &folder);
// The template of that name (see above); Name empty when there is none.
TTemplateFile FindTemplate(const QString &folder, const QString &name);
// Every .xls without its .xlsx converted by LibreOffice; the names that
// could not be converted in *failed. False when LibreOffice is missing.
bool ConvertLegacyTemplates(const QString &folder, QStringList *failed = nullptr);

} // namespace kv::xlsx
