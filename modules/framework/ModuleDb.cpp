#include "ModuleDb.h"

#include "db/DbEngine.h"
#include "MessageService.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace kv::fw {

EModuleWrite::EModuleWrite(const QString &file, int line, const QString &message)
    : std::runtime_error(message.toStdString()), File(QFileInfo(file).fileName()), Line(line), Message(message)
{
}

QString EModuleWrite::Text() const
{
    return QCoreApplication::translate("TModuleText", "数据库操作出错（单元 %1，第 %2 行）：")
               .arg(File)
               .arg(Line) +
           QLatin1Char('\n') + Message;
}

int ModuleExec(db::TDbConnection *connection, const QString &sql, const char *file, int line, int requireRows)
{
    if (!connection)
        throw EModuleWrite(QString::fromUtf8(file), line,
                           QCoreApplication::translate("TModuleText", "没有数据库连接") + QLatin1Char('\n') + sql);
    int rows = 0;
    try {
        rows = connection->execute(sql);
    } catch (const db::EDatabaseError &e) {
        EModuleWrite w(QString::fromUtf8(file), line, e.message());
        w.Duplicate = e.fault() == db::TDbFault::Duplicate;
        throw w;
    }
    if (rows < requireRows)
        throw EModuleWrite(QString::fromUtf8(file), line,
                           QCoreApplication::translate("TModuleText", "没有找到要修改的记录") + QLatin1Char('\n') + sql);
    return rows;
}

void ReportModuleError(const EModuleWrite &error) { MsgError(error.Text()); }

} // namespace kv::fw
