#include "store/DbChoice.h"

#include <QFileInfo>
#include <QSettings>

namespace kv {

QString TDbChoice::IniFileFor(const QString &databaseFile)
{
    return QFileInfo(databaseFile).absolutePath() + QLatin1Char('/') + QLatin1String(FileName);
}

TDbChoice TDbChoice::Load(const QString &iniFile)
{
    TDbChoice c;
    if (!QFileInfo::exists(iniFile))
        return c;
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Database"));
    c.Server = ini.value(QStringLiteral("Engine")).toString().compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0;
    c.Params.Host = ini.value(QStringLiteral("Host")).toString();
    c.Params.Port = ini.value(QStringLiteral("Port"), 5432).toInt();
    c.Params.Database = ini.value(QStringLiteral("Database")).toString();
    c.Params.User = ini.value(QStringLiteral("User")).toString();
    c.Params.Schema = ini.value(QStringLiteral("Schema")).toString();
    if (c.Params.Database.isEmpty())
        c.Server = false;
    return c;
}

bool TDbChoice::Save(const QString &iniFile) const
{
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Database"));
    ini.setValue(QStringLiteral("Engine"), Server ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"));
    ini.setValue(QStringLiteral("Host"), Params.Host);
    ini.setValue(QStringLiteral("Port"), Params.Port);
    ini.setValue(QStringLiteral("Database"), Params.Database);
    ini.setValue(QStringLiteral("User"), Params.User);
    ini.setValue(QStringLiteral("Schema"), Params.Schema);
    ini.remove(QStringLiteral("Password")); // never kept in plain text
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace kv
