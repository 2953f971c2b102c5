#include "app/ImportCommand.h"

#include "app/Startup.h"
#include "store/DataModule.h"
#include "store/DbChoice.h"
#include "store/DbTransfer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace kv {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("kv::ImportCommand", text); }

void Say(FILE *to, const QString &line)
{
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
    std::fflush(to);
}

} // namespace

int ImportSqliteCommand(const QString &sqliteFile, const QString &databaseFile)
{
    if (sqliteFile.isEmpty() || !QFileInfo(sqliteFile).isFile()) {
        Say(stderr, tr("找不到要导入的数据库文件 %1").arg(sqliteFile));
        return 2;
    }
    const QString ini = TDbChoice::IniFileFor(databaseFile);
    const TDbChoice choice = TDbChoice::Load(ini);
    if (!choice.Server) {
        Say(stderr, tr("%1 中没有设置数据库服务器, 请先在数据库设置中选择服务器").arg(ini));
        return 2;
    }
    try {
        // Read from a copy: the file may be in use or in a folder nobody may write.
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("import.sqlite"));
        if (!dir.isValid() || !QFile::copy(sqliteFile, copy))
            throw db::EDatabaseError(tr("无法读取 %1").arg(sqliteFile));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        db::TDbConnection from, to;
        from.open(copy);
        to.openServer(choice.Params);
        const QVector<TTableCount> counts = CopyDatabase(from, to);
        qint64 total = 0;
        for (const TTableCount &c : counts) {
            Say(stdout, tr("%1: %2 行").arg(c.Table).arg(c.Rows));
            total += c.Rows;
        }
        Say(stdout, tr("已导入 %1 个表, 共 %2 行, 到 %3").arg(counts.size()).arg(total).arg(choice.Params.Describe()));
        return 0;
    } catch (const db::EDatabaseError &e) {
        Say(stderr, tr("导入失败: %1").arg(e.message()));
        return 1;
    }
}

QString ImportDatabaseFile(const QString &programFile)
{
    TStartup::TOptions o;
    o.ProgramFile = programFile;
    return TStartup(o).ProgramDir() + QLatin1Char('/') + QLatin1String(TZovData::DatabaseFileName);
}

} // namespace kv
