#include "TestSupport.h"

#include <QFile>
#include <stdexcept>

namespace kvtest {

QString StageDir() { return QStringLiteral(KV_STAGE_DIR); }
QString SourceDir() { return QStringLiteral(KV_SOURCE_DIR); }

TFreshDb FreshDatabase()
{
    TFreshDb db;
    db.dir = std::make_unique<QTemporaryDir>();
    db.path = db.dir->filePath(QStringLiteral("MeasDB.sqlite"));
    const QString installed = StageDir() + QStringLiteral("/MeasDB.sqlite");
    if (!QFile::copy(installed, db.path))
        throw std::runtime_error("cannot copy the installed database " + installed.toStdString());
    QFile::setPermissions(db.path, QFile::ReadOwner | QFile::WriteOwner);
    return db;
}

} // namespace kvtest
