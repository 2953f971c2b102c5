#include "records/RecordsBrowser.h"

#include "host/TestList.h"
#include "xlsx/TemplateFiles.h"

#include <QDir>

namespace kv {

std::vector<TTestKind> RecordTestKinds(const TMyFunction &tests, quint32 machineBit)
{
    std::vector<TTestKind> kinds;
    for (quint8 section = 1; section <= 3; ++section)
        for (int i = 0; i < tests.TestCount(); ++i) {
            TBaseTest *t = tests.Test(i);
            if (t && (t->FMachineMask & machineBit) != 0 && t->FMenuGroup == section)
                kinds.push_back({tests.TestName(i), t, i});
        }
    return kinds;
}

QString TemplateFolder(const QString &programDir, const QString &testName)
{
    return QDir(programDir).filePath(QStringLiteral("Report/") + testName);
}

QStringList ReportTemplates(const QString &folder)
{
    // Each template once: an old .xls and the .xlsx made of it are one.
    QStringList names;
    for (const xlsx::TTemplateFile &t : xlsx::TemplateFiles(folder))
        names << t.Name;
    return names;
}

QString PrintRequest(const QString &groupNo, const QString &templateName)
{
    if (templateName.isEmpty())
        return groupNo + QStringLiteral("::::");
    return groupNo + QStringLiteral("::") + templateName + QStringLiteral("::");
}

QString SearchStatement(TBaseTest &test, int kind, const QString &from, const QString &to)
{
    // Group numbers are stored without surrounding blanks: a search text
    // drops them the same way.
    QString sql;
    test.BuildSearchSQL(kind, from.trimmed(), sql, to.trimmed());
    return sql;
}

QString RecordStatement(TBaseTest &test, const QString &groupNo, quint8 kind)
{
    QString sql;
    test.BuildRecordSQL(groupNo, kind, sql, 0, QString(), QString(), QString(), QString());
    return sql;
}

} // namespace kv
