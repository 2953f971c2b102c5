#include "xlsx/TemplateFiles.h"

#include "xlsx/OfficeConvert.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace kv::xlsx {

QList<TTemplateFile> TemplateFiles(const QString &folder)
{
    QMap<QString, TTemplateFile> byName;
    const QDir dir(folder);
    for (const QString &f : dir.entryList({QStringLiteral("*.xls"), QStringLiteral("*.xlsx")}, QDir::Files, QDir::Name)) {
        const QString name = f.left(f.lastIndexOf(QLatin1Char('.')));
        const bool xlsx = f.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
        TTemplateFile &t = byName[name];
        if (t.Name.isEmpty() || xlsx)
            t = {name, dir.filePath(f), xlsx};
    }
    return byName.values();
}

TTemplateFile FindTemplate(const QString &folder, const QString &name)
{
    for (const TTemplateFile &t : TemplateFiles(folder))
        if (t.Name == name)
            return t;
    return {};
}

bool ConvertLegacyTemplates(const QString &folder, QStringList *failed)
{
    if (OfficeProgram().isEmpty())
        return false;
    for (const TTemplateFile &t : TemplateFiles(folder))
        if (!t.Usable && !ConvertWithOffice(t.Path, QStringLiteral("xlsx"), folder, nullptr) && failed)
            *failed << t.Name;
    return true;
}

} // namespace kv::xlsx
